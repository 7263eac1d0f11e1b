#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "KivoTool.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/FormFile.h"
#include "kivo/rtl/Stream.h"
#include "tools/kivo/Options.h"

namespace kivo::tool {
namespace {

namespace fs = std::filesystem;

// The shipped example forms and dictionaries (this file is tests/tools/kivo/Translate_test.cpp).
fs::path ExamplesDir() {
  return fs::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "examples" /
         "forms";
}

// One value of a form's syntax tree, written out: where it is, its kind and its text.
struct TFlatValue {
  std::string object;    // Form.Panel.Button
  std::string property;  // Caption, Items.Strings[2], Columns[0].Caption
  TFormValue::Kind kind;
  std::string text;  // strings, identifiers, binary data as they are; numbers in decimal; sets
                     // as "[a,b]"
};

void FlattenValue(const TFormValue& value, const std::string& object, const std::string& property,
                  std::vector<TFlatValue>& values) {
  switch (value.kind) {
    case TFormValue::kList:
      for (size_t i = 0; i < value.items.size(); ++i)
        FlattenValue(value.items[i], object, property + "[" + std::to_string(i) + "]", values);
      return;
    case TFormValue::kCollection:
      for (size_t i = 0; i < value.collection.size(); ++i)
        for (const TFormValue::Property& field : value.collection[i])
          FlattenValue(field.value, object, property + "[" + std::to_string(i) + "]." + field.name,
                       values);
      return;
    case TFormValue::kSet: {
      std::string text = "[";
      for (const TFormValue& item : value.items) text += item.text + ",";
      values.push_back({object, property, value.kind, text + "]"});
      return;
    }
    case TFormValue::kInteger:
      values.push_back({object, property, value.kind, std::to_string(value.integer)});
      return;
    default:
      values.push_back({object, property, value.kind, value.text});
      return;
  }
}

void FlattenObject(const TFormObject& object, const std::string& parent,
                   std::vector<TFlatValue>& values) {
  const std::string path = parent.empty() ? object.name : parent + "." + object.name;
  values.push_back({path, "(class)", TFormValue::kIdent, object.class_name});
  for (const TFormValue::Property& property : object.properties)
    FlattenValue(property.value, path, property.name, values);
  for (const TFormObject& child : object.children) FlattenObject(child, path, values);
}

// Every value of the form text `text`, in the order of the text.
std::vector<TFlatValue> Flatten(const std::string& text) {
  std::vector<TFlatValue> values;
  FlattenObject(ParseFormText(text, "form"), "", values);
  return values;
}

// The key and display value of every record of a dictionary file.
std::map<std::string, std::string> ReadDictionary(const std::string& file_name) {
  TKivoCore core;
  TFileStream file(file_name, fmOpenRead);
  const std::unique_ptr<TCustomStreamDDReader> reader =
      ReaderClass(ReaderIDForFile(file_name)).create(file);
  std::map<std::string, std::string> records;
  for (reader->_First(); !reader->_Eof(); reader->_Next())
    records[reader->_GetFieldValue(0)] = reader->_GetFieldValue(3);
  return records;
}

// True for the string properties that hold interface texts, which the walk translates; the
// others (dictionary settings, action categories, memo lines) are data.
bool IsInterfaceText(const std::string& property) {
  const std::string last = property.substr(property.rfind('.') + 1);
  return last == "Caption" || last == "Hint" || last == "Text" ||
         property.rfind("Items.", 0) == 0 || property.rfind("Tabs.", 0) == 0;
}

// `text` of `property` as the dictionary `records` translates it: list-view rows cell by cell,
// tree nodes after their level.
std::string Translated(const std::map<std::string, std::string>& records,
                       const std::string& property, const std::string& text) {
  const auto lookup = [&records](const std::string& key) {
    const auto it = records.find(key);
    return it == records.end() ? key : it->second;
  };
  if (property.rfind("Items.Nodes[", 0) == 0) {
    const size_t colon = text.find(':');
    return text.substr(0, colon + 1) + lookup(text.substr(colon + 1));
  }
  if (property.rfind("Items.Rows[", 0) == 0) {
    std::string row;
    size_t start = 0;
    for (size_t tab = text.find('\t');; tab = text.find('\t', start)) {
      row += lookup(text.substr(start, tab - start));
      if (tab == std::string::npos) break;
      row += '\t';
      start = tab + 1;
    }
    return row;
  }
  return lookup(text);
}

class Translate : public KivoTool {
 protected:
  void SetUp() override {
    KivoTool::SetUp();
    for (const auto& entry : fs::directory_iterator(ExamplesDir()))
      fs::copy_file(entry.path(), dir_ / entry.path().filename());
  }

  // Checks that `output` is `input` with exactly its interface texts translated by the
  // dictionary `records`: the same objects, properties and values in the same order, every
  // interface text changed (but a menu separator) and every other value as it was. Returns the
  // number of texts that changed.
  int ExpectTranslated(const std::string& input, const std::string& output,
                       const std::map<std::string, std::string>& records) {
    const std::vector<TFlatValue> before = Flatten(input);
    const std::vector<TFlatValue> after = Flatten(output);
    EXPECT_EQ(before.size(), after.size());
    int changed = 0;
    for (size_t i = 0; i < before.size() && i < after.size(); ++i) {
      const TFlatValue& old_value = before[i];
      const TFlatValue& new_value = after[i];
      SCOPED_TRACE(old_value.object + " " + old_value.property);
      EXPECT_EQ(new_value.object, old_value.object);
      EXPECT_EQ(new_value.property, old_value.property);
      EXPECT_EQ(new_value.kind, old_value.kind);
      if (old_value.kind == TFormValue::kString && IsInterfaceText(old_value.property)) {
        EXPECT_EQ(new_value.text, Translated(records, old_value.property, old_value.text));
        if (old_value.text != "-") {
          EXPECT_NE(new_value.text, old_value.text);
        }
      } else {
        EXPECT_EQ(new_value.text, old_value.text);
      }
      if (new_value.text != old_value.text) ++changed;
    }
    return changed;
  }

  static int Lines(const std::string& text) {
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }

  // The example form with its replacer translating it (AutoReplace on) with the dictionary
  // named `dd_name`.
  std::string AutoReplacingForm(const std::string& dd_name) const {
    std::string text = ReadFile("MainForm.dfm");
    const std::string off = "    AutoReplace = False\n";
    const std::string name = "OwnerOption.DDName = 'Italian'";
    EXPECT_NE(text.find(off), std::string::npos);
    EXPECT_NE(text.find(name), std::string::npos);
    text.erase(text.find(off), off.size());
    text.replace(text.find(name), name.size(), "OwnerOption.DDName = '" + dd_name + "'");
    return text;
  }

  // `text` without its replacer's "AutoReplace = False" line.
  static std::string WithoutAutoReplaceLine(std::string text) {
    const std::string off = "    AutoReplace = False\n";
    const size_t at = text.find(off);
    if (at != std::string::npos) text.erase(at, off.size());
    return text;
  }
};

TEST_F(Translate, ExampleFormIsInTheWritersLayoutAndStoresItalianAsCSVBytes) {
  const std::string text = ReadFile("MainForm.dfm");
  EXPECT_EQ(FormObjectToText(ParseFormText(text, "MainForm.dfm")), text);
  WriteFile("none.ktc", "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n");
  // Strict: the example needs nothing that the platform does not know.
  const RunResult result = Run({"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/none.ktc",
                                "--codepage", "65001", "--strict"});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(result.out, text);

  std::string data;
  for (const TFlatValue& value : Flatten(text))
    if (value.object == "MainForm.ItalianDictionary" && value.property == "Dictionary.Data")
      data = value.text;
  EXPECT_EQ(data, ReadFile("Italian.ktc"));
}

TEST_F(Translate, ExampleGetsEveryInterfaceTextTranslatedInEachLanguage) {
  struct Language {
    const char* name;
    std::vector<std::string> dictionary;  // the options that choose the dictionary
    std::string records;                  // the file that holds its records
    std::string caption;                  // the --list line of the form's caption
  };
  const std::vector<Language> languages = {
      {"German, the form's own file dictionary",
       {"--use", "German"},
       "German.ktc",
       "MainForm Caption: \"Document Manager\" -> \"Dokumentverwaltung\""},
      {"French, DFM flavour",
       {"--dict", "{dir}/French.ktf"},
       "French.ktf",
       "MainForm Caption: \"Document Manager\" -> \"Gestionnaire de documents\""},
      {"Spanish, binary",
       {"--dict", "{dir}/Spanish.kbf"},
       "Spanish.kbf",
       "MainForm Caption: \"Document Manager\" -> \"Gestor de documentos\""},
      {"Italian, stored in the form",
       {"--use", "Italian"},
       "Italian.ktc",
       "MainForm Caption: \"Document Manager\" -> \"Gestione documenti\""},
  };
  const std::string input = ReadFile("MainForm.dfm");
  for (const Language& language : languages) {
    SCOPED_TRACE(language.name);
    std::vector<std::string> args = {"translate", "{dir}/MainForm.dfm", "--codepage", "65001"};
    args.insert(args.end(), language.dictionary.begin(), language.dictionary.end());
    const RunResult form = Run(args);
    EXPECT_EQ(form.status, 0);
    EXPECT_EQ(form.err, "");
    const int changed = ExpectTranslated(input, form.out, ReadDictionary(Path(language.records)));

    args.push_back("--list");
    const RunResult list = Run(args);
    EXPECT_EQ(list.status, 0);
    EXPECT_EQ(list.err, "");
    EXPECT_EQ(Lines(list.out), changed);
    EXPECT_EQ(list.out.substr(0, list.out.find('\n')), language.caption);
  }
  EXPECT_EQ(ReadFile("MainForm.dfm"), input);
}

TEST_F(Translate, ListShowsPathPropertyAndQuotedTexts) {
  WriteFile("Dialog.dfm",
            "object Dialog: TForm\n"
            "  Caption = 'Say \"hi\"'\n"
            "  object Tabs: TTabControl\n"
            "    Tabs.Strings = (\n"
            "      'One'\n"
            "      'Two')\n"
            "  end\n"
            "  object Header: THeaderControl\n"
            "    Sections = <\n"
            "      item\n"
            "        Text = 'Left'\n"
            "      end\n"
            "      item\n"
            "        Text = 'Right'\n"
            "      end>\n"
            "  end\n"
            "  object Panel: TPanel\n"
            "    Hint = 'C:\\Temp'\n"
            "    object Label: TLabel\n"
            "      Caption = 'Two'\n"
            "    end\n"
            "    object TLabel\n"
            "      Caption = 'Right'\n"
            "    end\n"
            "  end\n"
            "end\n");
  WriteFile("de.ktc",
            "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n"
            "\"Say \"\"hi\"\"\",\"1252\",,\"Sag \"\"hallo\"\"\t!\",\r\n"
            "\"Two\",\"1252\",,\"Zwei\",\r\n"
            "\"Right\",\"1252\",,\"Rechts\",\r\n"
            "\"C:\\Temp\",\"1252\",,\"D:\\Tmp\",\r\n");
  const RunResult result = Run(
      {"translate", "{dir}/Dialog.dfm", "--dict", "{dir}/de.ktc", "--codepage", "1252", "--list"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "Dialog Caption: \"Say \\\"hi\\\"\" -> \"Sag \\\"hallo\\\"\\t!\"\n"
            "Dialog.Tabs Tabs.Strings[1]: \"Two\" -> \"Zwei\"\n"
            "Dialog.Header Sections[1].Text: \"Right\" -> \"Rechts\"\n"
            "Dialog.Panel Hint: \"C:\\\\Temp\" -> \"D:\\\\Tmp\"\n"
            "Dialog.Panel.Label Caption: \"Two\" -> \"Zwei\"\n"
            "Dialog.Panel.(TLabel#1) Caption: \"Right\" -> \"Rechts\"\n");

  const RunResult nothing = Run(
      {"translate", "{dir}/Dialog.dfm", "--dict", "{dir}/de.ktc", "--codepage", "936", "--list"});
  EXPECT_EQ(nothing.status, 0);
  EXPECT_EQ(nothing.out, "");
}

TEST_F(Translate, EveryWayOfNamingADictionaryGivesTheSameForm) {
  const RunResult reference =
      Run({"translate", "{dir}/MainForm.dfm", "--use", "German", "--codepage", "65001"});
  ASSERT_EQ(reference.status, 0) << reference.err;
  fs::copy_file(Path("German.ktc"), Path("words.txt"));
  struct Case {
    const char* name;
    std::vector<std::string> options;
  };
  const std::vector<Case> cases = {
      {"a --dict under a name of its own", {"--dict", "{dir}/German.ktc=de"}},
      {"a --dict in another format", {"--dict", "{dir}/words.txt", "--reader", "kivotextcsv"}},
      {"--use picks one of several --dict",
       {"--dict", "{dir}/French.ktf", "--dict", "{dir}/German.ktc=de", "--use", "DE"}},
      {"the options' other spelling", {"--dict={dir}/German.ktc=de", "--codepage=65001"}},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"translate", "{dir}/MainForm.dfm", "--codepage", "65001"};
    args.insert(args.end(), row.options.begin(), row.options.end());
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, reference.out);
  }
}

TEST_F(Translate, AFormsOwnReplacerTranslatesItWhileItIsRead) {
  const RunResult italian =
      Run({"translate", "{dir}/MainForm.dfm", "--use", "Italian", "--codepage", "65001"});
  const RunResult italian_list =
      Run({"translate", "{dir}/MainForm.dfm", "--use", "Italian", "--codepage", "65001", "--list"});
  const RunResult german = Run(
      {"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/German.ktc=de", "--codepage", "65001"});
  ASSERT_EQ(italian.status, 0);
  ASSERT_EQ(german.status, 0);

  // The replacer names the form's stored dictionary: no dictionary option is needed.
  WriteFile("Auto.dfm", AutoReplacingForm("Italian"));
  const RunResult automatic = Run({"translate", "{dir}/Auto.dfm"});
  EXPECT_EQ(automatic.status, 0) << automatic.err;
  EXPECT_EQ(automatic.out, WithoutAutoReplaceLine(italian.out));
  // The list compares with the form as read without the replacer's translation.
  const RunResult automatic_list = Run({"translate", "{dir}/Auto.dfm", "--list"});
  EXPECT_EQ(automatic_list.status, 0) << automatic_list.err;
  EXPECT_EQ(automatic_list.out, italian_list.out);

  // The replacer names a dictionary that only --dict supplies, registered before the form is
  // read; the walk does not run again.
  WriteFile("AutoDe.dfm", AutoReplacingForm("de"));
  const RunResult by_dict =
      Run({"translate", "{dir}/AutoDe.dfm", "--dict", "{dir}/German.ktc=de", "--codepage", "1"});
  EXPECT_EQ(by_dict.status, 0) << by_dict.err;
  std::string expected = WithoutAutoReplaceLine(german.out);
  const std::string name = "OwnerOption.DDName = 'Italian'";
  expected.replace(expected.find(name), name.size(), "OwnerOption.DDName = 'de'");
  EXPECT_EQ(by_dict.out, expected);
}

TEST_F(Translate, RelativeFileNamesInTheFormAreTheFormsFolders) {
  const fs::path cwd = fs::current_path();
  ASSERT_NE(cwd, dir_);
  const RunResult found =
      Run({"translate", "{dir}/MainForm.dfm", "--use", "German", "--codepage", "65001", "--list"});
  EXPECT_EQ(found.status, 0) << found.err;
  EXPECT_NE(found.out.find("\"&File\" -> \"&Datei\""), std::string::npos);
  EXPECT_EQ(fs::current_path(), cwd);

  fs::remove(Path("German.ktc"));
  const RunResult missing =
      Run({"translate", "{dir}/MainForm.dfm", "--use", "German", "--codepage", "65001"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.out, "");
  EXPECT_EQ(missing.err, "kivo: Cannot open file \"German.ktc\". No such file or directory\n");
  EXPECT_EQ(fs::current_path(), cwd);

  // OUT and --dict are taken from the current folder, not the form's.
  fs::create_directory(dir_ / "forms");
  fs::rename(Path("MainForm.dfm"), dir_ / "forms" / "MainForm.dfm");
  fs::current_path(dir_);
  const RunResult relative = Run({"translate", "forms/MainForm.dfm", "--dict", "French.ktf",
                                  "--codepage", "65001", "-o", "out.dfm"});
  const fs::path after = fs::current_path();
  fs::current_path(cwd);
  EXPECT_EQ(relative.status, 0) << relative.err;
  EXPECT_EQ(after, dir_);
  EXPECT_NE(ReadFile("out.dfm").find("Caption = 'Gestionnaire de documents'"), std::string::npos);
}

TEST_F(Translate, OutIsReplacedOnlyByACompleteTranslation) {
  WriteFile("out.dfm", "previous");
  const std::vector<std::string> before = Files();

  fs::remove(Path("German.ktc"));  // the walk's lookups fail
  const RunResult failed = Run({"translate", "{dir}/MainForm.dfm", "--use", "German", "--codepage",
                                "65001", "-o", "{dir}/out.dfm"});
  EXPECT_EQ(failed.status, 1);
  EXPECT_EQ(ReadFile("out.dfm"), "previous");
  std::vector<std::string> expected = before;
  expected.erase(std::find(expected.begin(), expected.end(), "German.ktc"));
  EXPECT_EQ(Files(), expected);

  const RunResult to_stdout = Run(
      {"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/Spanish.kbf", "--codepage", "65001"});
  const RunResult to_file = Run({"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/Spanish.kbf",
                                 "--codepage", "65001", "-o", "{dir}/out.dfm"});
  EXPECT_EQ(to_file.status, 0);
  EXPECT_EQ(to_file.out, "");
  EXPECT_EQ(to_file.err, "");
  EXPECT_EQ(ReadFile("out.dfm"), to_stdout.out);
  EXPECT_EQ(Files(), expected);

  const RunResult list = Run({"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/Spanish.kbf",
                              "--codepage", "65001", "--list", "-o", "{dir}/out.txt"});
  EXPECT_EQ(list.status, 0);
  EXPECT_EQ(list.out, "");
  EXPECT_EQ(ReadFile("out.txt").substr(0, 9), "MainForm ");

  const RunResult no_folder = Run({"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/Spanish.kbf",
                                   "-o", "{dir}/none/out.dfm"});
  EXPECT_EQ(no_folder.status, 1);
  EXPECT_EQ(no_folder.err,
            Expand("kivo: Cannot create file \"{dir}/none/out.dfm\". No such file or directory\n"));
}

TEST_F(Translate, MisuseIsAUsageError) {
  struct Case {
    const char* name;
    std::vector<std::string> args;  // after "translate"
    std::string message;            // the first line of the error, after "kivo: "
  };
  const std::vector<Case> cases = {
      {"no form", {}, "missing argument FORM"},
      {"two forms",
       {"{dir}/MainForm.dfm", "{dir}/Foreign.dfm"},
       "unexpected argument \"{dir}/Foreign.dfm\""},
      {"unknown option", {"{dir}/MainForm.dfm", "--force"}, "unknown option \"--force\""},
      {"flag with a value",
       {"{dir}/MainForm.dfm", "--list=yes"},
       "option \"--list\" takes no value"},
      {"option without its value",
       {"{dir}/MainForm.dfm", "--dict"},
       "missing value for option \"--dict\""},
      {"empty OUT",
       {"{dir}/MainForm.dfm", "--use", "German", "-o", ""},
       "missing value for option \"-o\""},
      {"empty --dict", {"{dir}/MainForm.dfm", "--dict="}, "missing value for option \"--dict\""},
      {"dictionary of an unknown format",
       {"{dir}/MainForm.dfm", "--dict", "{dir}/words.txt"},
       "unknown dictionary format of \"{dir}/words.txt\" (give --reader ID)"},
      {"empty dictionary name",
       {"{dir}/MainForm.dfm", "--dict", "{dir}/German.ktc="},
       "missing dictionary name in \"{dir}/German.ktc=\""},
      {"one name twice",
       {"{dir}/MainForm.dfm", "--dict", "{dir}/Spanish.kbf=es", "--dict", "{dir}/French.ktf=ES"},
       "dictionary name \"ES\" given twice"},
      {"nothing to translate with",
       {"{dir}/MainForm.dfm", "--codepage", "65001"},
       "\"{dir}/MainForm.dfm\" has no replacer with AutoReplace on; give --dict FILE or --use "
       "NAME"},
      {"--use naming no dictionary",
       {"{dir}/MainForm.dfm", "--use", "Klingon"},
       "no dictionary named \"Klingon\""},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"translate"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, Expand("kivo: " + row.message + "\nTry 'kivo translate --help'.\n"));
  }
}

TEST_F(Translate, ForeignFormKeepsWhatThePlatformDoesNotKnow) {
  const RunResult result = Run({"translate", "{dir}/Foreign.dfm", "--dict", "{dir}/Foreign.ktc",
                                "--codepage", "65001", "-o", "{dir}/out.dfm"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::map<std::string, std::string> records = ReadDictionary(Path("Foreign.ktc"));
  std::map<std::string, const TFlatValue*> output;
  const std::vector<TFlatValue> after = Flatten(ReadFile("out.dfm"));
  for (const TFlatValue& value : after) output[value.object + " " + value.property] = &value;
  int translated = 0;
  for (const TFlatValue& value : Flatten(ReadFile("Foreign.dfm"))) {
    SCOPED_TRACE(value.object + " " + value.property);
    const auto it = output.find(value.object + " " + value.property);
    ASSERT_NE(it, output.end());
    EXPECT_EQ(it->second->kind, value.kind);
    const bool translates = value.kind == TFormValue::kString && records.contains(value.text) &&
                            IsInterfaceText(value.property);
    EXPECT_EQ(it->second->text, translates ? records.at(value.text) : value.text);
    translated += translates;
  }
  // Every record was used: no text of a known control was left out.
  EXPECT_EQ(translated, static_cast<int>(records.size()));
  // Unknown classes keep their names, unknown properties their values.
  EXPECT_NE(ReadFile("out.dfm").find("  object CustomerGrid: TVendorGrid\n"), std::string::npos);
  EXPECT_NE(ReadFile("out.dfm").find("    Vendor.Options = [voGradient, voRoundCorners]\n"),
            std::string::npos);
}

TEST_F(Translate, StrictReadingRefusesWhatThePlatformDoesNotKnow) {
  WriteFile("Grid.dfm",
            "object Form1: TForm\n"
            "  object Grid: TVendorGrid\n"
            "  end\n"
            "end\n");
  struct Case {
    const char* name;
    std::string form;
    std::string err;
  };
  const std::vector<Case> cases = {
      {"unknown property", "{dir}/Foreign.dfm",
       "kivo: Unknown property 'OldCreateOrder' of CustomerForm (TCustomerForm) at "
       "{dir}/Foreign.dfm:8\n"},
      {"unknown class", "{dir}/Grid.dfm",
       "kivo: Class TVendorGrid not found, for Grid at {dir}/Grid.dfm:2\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const RunResult result =
        Run({"translate", row.form, "--dict", "{dir}/Foreign.ktc", "--strict"});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, Expand(row.err));
  }
}

TEST_F(Translate, UnreadableFormsAreErrorsNamingFileAndLine) {
  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> options;
    int line;
  };
  const std::vector<Case> cases = {
      {"not a form", "hello\n", {}, 1},
      {"empty file", "", {}, 1},
      {"unterminated string", "object A: TForm\n  Caption = 'x\nend\n", {}, 2},
      {"missing end", "object A: TForm\n  object B: TButton\n  end\n", {}, 4},
      {"reference to nothing",
       "object A: TForm\n  object B: TButton\n    Action = Nowhere\n  end\nend\n",
       {},
       3},
      {"unfitting value, strict", "object A: TForm\n  Left = True\nend\n", {"--strict"}, 2},
      {"dictionary name taken by --dict",
       "object A: TForm\n  object D: TKivoMultiStreamDD\n    DDName = 'Foreign'\n  end\nend\n",
       {},
       3},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    WriteFile("Bad.dfm", row.text);
    std::vector<std::string> args = {"translate", "{dir}/Bad.dfm", "--dict", "{dir}/Foreign.ktc"};
    args.insert(args.end(), row.options.begin(), row.options.end());
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err.rfind("kivo: ", 0), 0u) << result.err;
    const std::string place = Expand("{dir}/Bad.dfm:") + std::to_string(row.line);
    EXPECT_NE(result.err.find(place), std::string::npos) << result.err;
    EXPECT_EQ(Lines(result.err), 1) << result.err;
  }

  const RunResult missing = Run({"translate", "{dir}/None.dfm", "--dict", "{dir}/Foreign.ktc"});
  EXPECT_EQ(missing.status, 1);
  EXPECT_EQ(missing.err,
            Expand("kivo: Cannot open file \"{dir}/None.dfm\". No such file or directory\n"));
  const RunResult reader = Run(
      {"translate", "{dir}/MainForm.dfm", "--dict", "{dir}/Foreign.ktc", "--reader", "KivoXML"});
  EXPECT_EQ(reader.status, 1);
  EXPECT_EQ(reader.err, "kivo: dictionary reader ID \"KivoXML\" ,not registered!\n");
}

}  // namespace
}  // namespace kivo::tool
