// kivo translate: a form file translated as an application translates it, with the form's own
// dictionaries and replacers and with dictionary files given on the command line.
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/core/KivoMultiClassMethod.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiReplacer.h"
#include "kivo/rtl/ActnList.h"
#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/FormFile.h"
#include "kivo/rtl/StrUtils.h"
#include "kivo/rtl/Stream.h"
#include "tools/kivo/Commands.h"
#include "tools/kivo/Options.h"
#include "tools/kivo/TempFile.h"

namespace kivo::tool {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTranslateUsage =
    "usage: kivo translate FORM [-o OUT] [--codepage CP] [--seqno S] [--dict FILE[=NAME]]...\n"
    "                      [--use NAME] [--reader ID] [--list] [--strict]\n"
    "\n"
    "Reads the form file FORM, translates it as an application would, and writes the\n"
    "translated form, or with --list the texts that changed, to standard output or to OUT.\n"
    "\n"
    "The dictionaries of --dict are registered first. While the form is read, its own\n"
    "dictionaries register themselves, and a replacer in it whose AutoReplace is on translates\n"
    "it with the replacer's own settings. A form without such a replacer is then walked whole\n"
    "(the form, what it owns, its controls) with one dictionary: the one --use names, else the\n"
    "first --dict. Given --use, the walk runs also after the form's replacer. Action lists are\n"
    "translated too.\n"
    "\n"
    "Relative file names inside the form (a dictionary's FileName) are meant relative to the\n"
    "form's folder: the form is read and translated there, and the tool returns to the current\n"
    "folder afterwards, also after an error. FORM, OUT and the --dict files are relative to the\n"
    "current folder.\n"
    "\n"
    "  -o OUT              write to OUT through a temporary file beside it, which replaces OUT\n"
    "                      only when complete: after an error OUT is as it was\n"
    "  --codepage CP       the code page of the walk's lookups (empty when not given)\n"
    "  --seqno S           the sequence number of the walk's lookups (empty when not given)\n"
    "  --dict FILE[=NAME]  register the dictionary file FILE as NAME (default: the file's name\n"
    "                      without its extension), for the walk and for the form's replacers;\n"
    "                      may be repeated. A FILE whose name holds '=' needs the =NAME.\n"
    "  --use NAME          walk with the dictionary registered as NAME, a --dict one or one of\n"
    "                      the form's own\n"
    "  --reader ID         the format of every --dict file: KivoTextCSV, KivoTextDFM or\n"
    "                      KivoBinary, in any letter case; without it each file's format\n"
    "                      follows its extension (.ktc and .lng, .ktf, .kbf)\n"
    "  --list              instead of the form, write one line per text that changed:\n"
    "                        PATH PROPERTY: \"OLD\" -> \"NEW\"\n"
    "                      PATH is the chain of object names from the form down\n"
    "                      (MainForm.Pages.GeneralSheet.OkButton; an unnamed object shows as\n"
    "                      (TClass#i), i its place among its siblings). PROPERTY is the\n"
    "                      property as the form file names it, [i] counting the strings of a\n"
    "                      list and the items of a collection from 0 (Caption, Hint,\n"
    "                      Items.Strings[2], Columns[0].Caption). Texts are quoted, '\"' and\n"
    "                      '\\' escaped by a backslash and control characters written as \\t,\n"
    "                      \\r, \\n or \\xHH.\n"
    "  --strict            refuse what the platform does not know (a class, a property, a value\n"
    "                      that does not fit, an event naming no method); without it such parts\n"
    "                      are kept and written back as they were read\n";

// Usage errors found after the command line was read.
constexpr const char* SNothingTranslates =
    "\"%s\" has no replacer with AutoReplace on; give --dict FILE or --use NAME";
constexpr const char* SNoDictionaryNamed = "no dictionary named \"%s\"";
constexpr const char* SDictionaryTwice = "dictionary name \"%s\" given twice";
constexpr const char* SMissingDictionaryName = "missing dictionary name in \"%s\"";
// A folder that cannot be entered.
constexpr const char* SCannotEnterFolder = "Cannot change to folder \"%s\". %s";

// One --dict.
struct TDictionaryFile {
  std::string file_name;  // absolute
  std::string name;       // DDName
  std::string reader_id;
};

struct TTranslateRequest {
  std::string form;  // as given, named in messages
  std::string out;   // absolute; empty for standard output
  std::string code_page;
  std::string seq_no;
  std::vector<TDictionaryFile> dictionaries;
  std::string use;  // the walk's dictionary; empty for the first of `dictionaries`
  bool list = false;
  bool strict = false;
};

// Keeps the process in another working directory for a scope.
class TWorkingDirectory {
 public:
  // Throws: Exception "Cannot change to folder "x". <reason>".
  explicit TWorkingDirectory(const fs::path& folder) : saved_(fs::current_path()) {
    if (chdir(folder.c_str()) != 0)
      throw Exception(FormatMessage(SCannotEnterFolder, {folder.string(), SystemMessage(errno)}));
  }
  // Returns to the former working directory.
  ~TWorkingDirectory() {
    std::error_code ignored;
    fs::current_path(saved_, ignored);
  }
  TWorkingDirectory(const TWorkingDirectory&) = delete;
  TWorkingDirectory& operator=(const TWorkingDirectory&) = delete;

 private:
  fs::path saved_;
};

// The whole content of the file `file_name`.
// Throws: EFOpenError "Cannot open file "x". <reason>"; EReadError.
std::string ReadText(const std::string& file_name) {
  TFileStream file(file_name, fmOpenRead | fmShareDenyWrite);
  return file.ReadString(file.Size());
}

// Writes `text` to `file_name` through a temporary file, or to `out` when `file_name` is empty.
// Throws: EFCreateError; EWriteError.
void WriteResult(const std::string& text, const std::string& file_name, std::ostream& out) {
  if (file_name.empty()) {
    out << text;
    return;
  }
  TTempFile temp(file_name);
  AboutFile(file_name, [&] {
    TFileStream dest(temp.Name(), fmCreate);
    dest.WriteString(text);
  });
  temp.Commit();
}

// True when `root` owns a replacer with AutoReplace on, which translated it when it was read.
bool TranslatesItself(const TComponent& root) {
  for (int i = 0; i < root.ComponentCount(); ++i) {
    const auto* replacer = As<TKivoMultiReplacer>(root.Components(i));
    if (replacer != nullptr && replacer->AutoReplace()) return true;
  }
  return false;
}

// Sets AutoReplace to False on every replacer in `object`'s tree.
void DisableAutoReplace(TFormObject& object) {
  const TClass cls = FindClass(object.class_name);
  if (cls != nullptr && cls->InheritsFrom(TKivoMultiReplacer::StaticClass())) {
    std::erase_if(object.properties, [](const TFormValue::Property& property) {
      return SameText(property.name, "AutoReplace");
    });
    TFormValue::Property off;
    off.name = "AutoReplace";
    off.value.kind = TFormValue::kIdent;
    off.value.text = "False";
    object.properties.push_back(std::move(off));
  }
  for (TFormObject& child : object.children) DisableAutoReplace(child);
}

// The form `text` as the writer writes it when no replacer translates it while it is read. The
// text is read a second time for this, after the first reading succeeded.
TFormObject Untranslated(std::string_view text, const TFormReadOptions& options) {
  TFormObject tree = ParseFormText(text, options.file_name);
  DisableAutoReplace(tree);
  const std::unique_ptr<TComponent> root = ReadForm(FormObjectToText(tree), options);
  return WriteFormObject(*root);
}

// --- The texts of a form's syntax tree

// One string value: the object's path, the property's path and the text.
struct TFormText {
  std::string object;
  std::string property;
  std::string text;
};

void CollectValue(const TFormValue& value, const std::string& object, const std::string& property,
                  std::vector<TFormText>& texts) {
  switch (value.kind) {
    case TFormValue::kString:
      texts.push_back({object, property, value.text});
      break;
    case TFormValue::kList:
      for (size_t i = 0; i < value.items.size(); ++i)
        CollectValue(value.items[i], object, property + "[" + std::to_string(i) + "]", texts);
      break;
    case TFormValue::kCollection:
      for (size_t i = 0; i < value.collection.size(); ++i) {
        const std::string item = property + "[" + std::to_string(i) + "].";
        for (const TFormValue::Property& field : value.collection[i])
          CollectValue(field.value, object, item + field.name, texts);
      }
      break;
    default:
      break;
  }
}

// Collects the string values of `object` and of the objects nested in it. An object's path is
// its parent's path, a dot and its name; an unnamed one is "(TClass#i)", i its index among its
// siblings.
void CollectObject(const TFormObject& object, const std::string& parent, size_t index,
                   std::vector<TFormText>& texts) {
  const std::string name = object.name.empty()
                               ? "(" + object.class_name + "#" + std::to_string(index) + ")"
                               : object.name;
  const std::string path = parent.empty() ? name : parent + "." + name;
  for (const TFormValue::Property& property : object.properties)
    CollectValue(property.value, path, property.name, texts);
  for (size_t i = 0; i < object.children.size(); ++i)
    CollectObject(object.children[i], path, i, texts);
}

std::string ChangeLine(const TFormText& where, const std::string& old_text,
                       const std::string& new_text) {
  return where.object + " " + where.property + ": " + Quoted(old_text) + " -> " + Quoted(new_text) +
         "\n";
}

// One line per string value that differs between `before` and `after`, in the order of
// `before`, then the values that only `after` has. A value that one side lacks counts as empty.
std::string ListChanges(const TFormObject& before, const TFormObject& after) {
  std::vector<TFormText> old_texts, new_texts;
  CollectObject(before, "", 0, old_texts);
  CollectObject(after, "", 0, new_texts);
  const auto key = [](const TFormText& text) { return text.object + '\n' + text.property; };
  std::map<std::string, const TFormText*> old_by_key, new_by_key;
  for (const TFormText& text : old_texts) old_by_key.emplace(key(text), &text);
  for (const TFormText& text : new_texts) new_by_key.emplace(key(text), &text);

  std::string lines;
  for (const TFormText& text : old_texts) {
    const auto it = new_by_key.find(key(text));
    const std::string& now = it == new_by_key.end() ? std::string() : it->second->text;
    if (now != text.text) lines += ChangeLine(text, text.text, now);
  }
  for (const TFormText& text : new_texts)
    if (!old_by_key.contains(key(text)) && !text.text.empty())
      lines += ChangeLine(text, "", text.text);
  return lines;
}

// --- The command

// Runs the request; returns the exit status (a usage error found only once the form is read
// is written to `err`).
int Translate(const TTranslateRequest& request, std::ostream& out, std::ostream& err) {
  TKivoCore core;
  KivoClassMethodStorage->RegisterClassMethod(TCustomActionList::StaticClass(),
                                              Proc_TCustomActionList);
  TComponent holder(nullptr);  // owns the --dict dictionaries; freed before the core
  for (const TDictionaryFile& file : request.dictionaries) {
    ReaderClass(file.reader_id);  // an unknown reader fails before the form is read
    auto* dictionary = new TKivoMultiFileDD(&holder);
    dictionary->SetDDName(file.name);
    dictionary->SetFileName(file.file_name);
    dictionary->SetDDReaderID(file.reader_id);
  }

  const std::string text = ReadText(request.form);
  std::string result;
  {
    TWorkingDirectory folder(fs::absolute(request.form).parent_path());
    TFormReadOptions options;
    options.file_name = request.form;
    options.strict = request.strict;
    std::unique_ptr<TComponent> root = ReadForm(text, options);

    const bool translated_itself = TranslatesItself(*root);
    std::optional<TFormObject> before;
    if (!request.use.empty() || !translated_itself) {
      if (request.use.empty() && request.dictionaries.empty())
        return UsageError(err, "translate", FormatMessage(SNothingTranslates, {request.form}));
      const std::string& name =
          request.use.empty() ? request.dictionaries.front().name : request.use;
      TCustomMultiDD* dictionary = KivoDDStorage->FindDD(name);
      if (dictionary == nullptr)
        return UsageError(err, "translate", FormatMessage(SNoDictionaryNamed, {name}));
      if (request.list && !translated_itself) before = WriteFormObject(*root);
      dictionary->ReplaceComLanguage(root.get(), request.code_page, request.seq_no, nullptr, true,
                                     true, true, false);
    }

    if (!request.list) {
      result = WriteForm(*root);
    } else {
      const TFormObject after = WriteFormObject(*root);
      if (!before) {
        root.reset();  // its dictionaries leave the registry before the form is read again
        before = Untranslated(text, options);
      }
      result = ListChanges(*before, after);
    }
  }
  WriteResult(result, request.out, out);
  return kExitSuccess;
}

// Reads "FILE[=NAME]" into `file` and `given` (FILE as given); returns a usage error's message,
// or "".
std::string ParseDictionary(const std::string& value, TDictionaryFile& file, std::string& given) {
  const size_t equals = value.rfind('=');
  given = value;
  if (equals != std::string::npos && equals > 0) {
    given = value.substr(0, equals);
    file.name = value.substr(equals + 1);
    if (file.name.empty()) return FormatMessage(SMissingDictionaryName, {value});
  } else {
    file.name = fs::path(given).stem().string();
  }
  if (given.empty()) return FormatMessage(SMissingOptionValue, {"--dict"});
  file.file_name = fs::absolute(given).string();
  return "";
}

}  // namespace

int RunTranslate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  const std::string error =
      ParseCommandLine(args,
                       {{"FORM"},
                        {"-o", "--codepage", "--seqno", "--dict", "--use", "--reader"},
                        {"--list", "--strict"}},
                       line);
  if (!error.empty()) return UsageError(err, "translate", error);
  if (line.help) {
    out << kTranslateUsage;
    return kExitSuccess;
  }
  TTranslateRequest request;
  request.form = line.arguments[0];
  request.code_page = line.Option("--codepage");
  request.seq_no = line.Option("--seqno");
  request.use = line.Option("--use");
  request.list = line.Flag("--list");
  request.strict = line.Flag("--strict");
  try {
    if (line.options.contains("-o")) {
      if (line.Option("-o").empty())
        return UsageError(err, "translate", FormatMessage(SMissingOptionValue, {"-o"}));
      request.out = fs::absolute(line.Option("-o")).string();
    }
    for (const std::string& value : line.Values("--dict")) {
      TDictionaryFile file;
      std::string given;
      std::string problem = ParseDictionary(value, file, given);
      if (problem.empty() && !ChooseReaderID(line, "--reader", given, file.reader_id))
        problem = FormatMessage(SUnknownFormat, {given, "--reader"});
      for (const TDictionaryFile& other : request.dictionaries)
        if (problem.empty() && AnsiSameText(other.name, file.name))
          problem = FormatMessage(SDictionaryTwice, {file.name});
      if (!problem.empty()) return UsageError(err, "translate", problem);
      request.dictionaries.push_back(std::move(file));
    }
    return Translate(request, out, err);
  } catch (const std::exception& e) {
    return Failure(err, e.what());
  }
}

}  // namespace kivo::tool
