// The system's components in form files: what the reader makes of them and what the writer writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/core/KivoMsgBox.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiReplacer.h"
#include "kivo/core/KivoMultiScreen.h"
#include "kivo/rtl/FormFile.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/StdCtrls.h"
#include "support/Errors.h"
#include "support/Examples.h"

namespace kivo {
namespace {

using testing::ErrorOf;

// The name of a component sender, for the event logs.
std::string NameOf(const TObject* sender) {
  const auto* c = As<TComponent>(sender);
  return c != nullptr ? c->Name() : std::string("?");
}

// A data module whose published methods the components' events are bound to; each logs
// "Method Sender".
class TMultiFormModule : public TDataModule {
  KIVO_CLASS(TMultiFormModule, TDataModule)

  explicit TMultiFormModule(TComponent* owner) : TDataModule(owner) {}

  void DictBeforeBuild(TObject* sender) { calls.push_back("DictBeforeBuild " + NameOf(sender)); }
  void DictAfterBuild(TObject* sender) { calls.push_back("DictAfterBuild " + NameOf(sender)); }
  void DictBuilding(TObject* sender, const std::string& dd_key, const std::string& /*code_page*/,
                    const std::string& /*seq_no*/, bool& /*accept*/) {
    calls.push_back("DictBuilding " + NameOf(sender) + " " + dd_key);
  }
  void ReplacerBefore(TObject* sender) { calls.push_back("ReplacerBefore " + NameOf(sender)); }
  void ReplacerAfter(TObject* sender) { calls.push_back("ReplacerAfter " + NameOf(sender)); }
  void EyeBefore(TObject* sender, TCustomForm* form, bool& /*replace*/) {
    calls.push_back("EyeBefore " + NameOf(sender) + " " + form->Name());
  }
  void EyeAfter(TObject* sender, TCustomForm* form) {
    calls.push_back("EyeAfter " + NameOf(sender) + " " + form->Name());
  }

  std::vector<std::string> calls;
};
KIVO_DEFINE_CLASS(TMultiFormModule) {
  using M = TMultiFormModule;
  b.Method("DictBeforeBuild", &M::DictBeforeBuild);
  b.Method("DictAfterBuild", &M::DictAfterBuild);
  b.Method("DictBuilding", &M::DictBuilding);
  b.Method("ReplacerBefore", &M::ReplacerBefore);
  b.Method("ReplacerAfter", &M::ReplacerAfter);
  b.Method("EyeBefore", &M::EyeBefore);
  b.Method("EyeAfter", &M::EyeAfter);
}

// A form that counts its replacer's OnBeforeReplace.
class TMultiFormTestForm : public TForm {
  KIVO_CLASS(TMultiFormTestForm, TForm)

  explicit TMultiFormTestForm(TComponent* owner) : TForm(owner) {}

  void ReplacerBefore(TObject* /*sender*/) { ++replacements; }

  int replacements = 0;
};
KIVO_DEFINE_CLASS(TMultiFormTestForm) {
  b.Method("ReplacerBefore", &TMultiFormTestForm::ReplacerBefore);
}

// `bytes` as a form file writes binary data for a property indented by `indent`: hexadecimal
// digits in braces, 32 bytes a line.
std::string Hex(std::string_view bytes, int indent) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string out = "{";
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i % 32 == 0) out += "\n" + std::string(static_cast<size_t>(indent) + 2, ' ');
    const auto c = static_cast<unsigned char>(bytes[i]);
    out += kDigits[c >> 4];
    out += kDigits[c & 15];
  }
  return out + "}";
}

// The names in the dictionary registry, in its order.
std::vector<std::string> RegisteredNames() {
  std::vector<std::string> names;
  for (int i = 0; i < KivoDDStorage->GetDDCount(); ++i) {
    names.push_back(KivoDDStorage->GetDD(i)->DDName());
  }
  return names;
}

// CSV dictionary bytes whose fields are "Key" and "Text" (no code page, no sequence number).
const std::string kKeyTextCsv =
    "\"Key\",\"Text\",\r\n"
    "\"Module\",\"Modul\",\r\n"
    "\"Files\",\"Dateien\",\r\n";

// A data module with every component of the system, each set away from its defaults: the
// replacer's lists refer to components before and after it, the screen watcher holds a
// three-level settings tree in which "Grid1" is both a component item and an excluded name.
std::string FullModuleText() {
  return "object Module: TMultiFormModule\n"
         "  Tag = 7\n"
         "  object FileDict: TKivoMultiFileDD\n"
         "    DDName = 'Files'\n"
         "    DDReaderID = 'KivoTextDFM'\n"
         "    FileName = 'dd\\main.ktf'\n"
         "    UseDefaultFields = False\n"
         "    FieldsOption.DDKeyField = 'Key'\n"
         "    FieldsOption.CodePageField = 'Lang'\n"
         "    FieldsOption.SeqNoField = 'No'\n"
         "    FieldsOption.DisplayValueField = 'Text'\n"
         "    OnBeforeBuildDD = DictBeforeBuild\n"
         "    OnAfterBuildDD = DictAfterBuild\n"
         "    OnBuildingDD = DictBuilding\n"
         "  end\n"
         "  object StreamDict: TKivoMultiStreamDD\n"
         "    DDName = 'Forms'\n"
         "    DDReaderID = 'KivoTextCSV'\n"
         "    UseDefaultFields = False\n"
         "    FieldsOption.DDKeyField = 'Key'\n"
         "    FieldsOption.DisplayValueField = 'Text'\n"
         "    Dictionary.Data = " +
         Hex(kKeyTextCsv, 4) +
         "\n"
         "    OnBuildingDD = DictBuilding\n"
         "  end\n"
         "  object Box: TKivoMsgBox\n"
         "    CodePage = '936'\n"
         "    DDName = 'Forms'\n"
         "  end\n"
         "  object Replacer: TKivoMultiReplacer\n"
         "    ReplaceComs = <\n"
         "      item\n"
         "        Component = Box\n"
         "        ReplaceOption.DDName = 'Forms'\n"
         "        ReplaceOption.CodePage = '936'\n"
         "        ReplaceOption.SeqNo = '2'\n"
         "        ReplaceOption.Font.Name = 'Arial'\n"
         "        ReplaceOption.Font.Size = 10\n"
         "        ReplaceOption.Font.Style = [fsBold, fsItalic]\n"
         "        ReplaceOption.ReplaceSelf = False\n"
         "        ReplaceOption.ReplaceFont = True\n"
         "      end\n"
         "      item\n"
         "        Component = Eye\n"
         "        ReplaceOption.ReplaceOwned = False\n"
         "        ReplaceOption.ReplaceFont = False\n"
         "      end>\n"
         "    UnReplaceComs = <\n"
         "      item\n"
         "        Component = FileDict\n"
         "      end\n"
         "      item\n"
         "        Component = LateBox\n"
         "      end>\n"
         "    AutoReplace = False\n"
         "    OwnerOption.DDName = 'Forms'\n"
         "    OwnerOption.CodePage = '1252'\n"
         "    OwnerOption.ReplaceSon = False\n"
         "    OwnerOption.ReplaceFont = False\n"
         "    OnBeforeReplace = ReplacerBefore\n"
         "    OnAfterReplaced = ReplacerAfter\n"
         "  end\n"
         "  object Eye: TKivoMultiScreenEye\n"
         "    ReplaceNotRegister = False\n"
         "    DefaultReplaceOption.DDName = 'Forms'\n"
         "    DefaultReplaceOption.CodePage = '1252'\n"
         "    DefaultReplaceOption.ReplaceFont = True\n"
         "    ReplaceDatas = <\n"
         "      item\n"
         "        FormClassName = 'TMainForm'\n"
         "        ReplaceForms = <\n"
         "          item\n"
         "            FormName = 'Self'\n"
         "            ReplaceOption.DDName = 'Forms'\n"
         "            ReplaceOption.ReplaceFont = False\n"
         "            ReplaceComs = <\n"
         "              item\n"
         "                ReplaceOption.CodePage = '936'\n"
         "                ReplaceOption.ReplaceFont = False\n"
         "                ComName = 'Panel1'\n"
         "              end\n"
         "              item\n"
         "                ReplaceOption.ReplaceSon = False\n"
         "                ReplaceOption.ReplaceFont = False\n"
         "                ComName = 'Grid1'\n"
         "              end>\n"
         "            UnReplaceComs.Strings = (\n"
         "              'Grid1'\n"
         "              'Memo1')\n"
         "          end\n"
         "          item\n"
         "            FormName = 'MainForm2'\n"
         "            ReplaceOption.ReplaceSelf = False\n"
         "            ReplaceOption.ReplaceFont = False\n"
         "          end>\n"
         "      end\n"
         "      item\n"
         "        FormClassName = 'TAboutBox'\n"
         "      end>\n"
         "    OnBeforeReplace = EyeBefore\n"
         "    OnAfterReplace = EyeAfter\n"
         "  end\n"
         "  object LateBox: TKivoMsgBox\n"
         "    DDName = 'Files'\n"
         "  end\n"
         "end\n";
}

class MultiForm : public ::testing::Test {
 protected:
  // Reads `text`, whose root is a TMultiFormModule; null (and a failure) for another root.
  static std::unique_ptr<TMultiFormModule> ReadModule(const std::string& text) {
    std::unique_ptr<TComponent> root = ReadForm(text, TFormReadOptions{});
    if (!Is<TMultiFormModule>(root.get())) {
      ADD_FAILURE() << "the root is a " << root->ClassName();
      return nullptr;
    }
    return std::unique_ptr<TMultiFormModule>(static_cast<TMultiFormModule*>(root.release()));
  }

  template <class T>
  static T* Find(TComponent& root, const std::string& name) {
    T* found = As<T>(root.FindComponent(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }

  TKivoCore core_;
};

// --- Round trips

TEST_F(MultiForm, EveryComponentWithItsSettingsIsReadAndWrittenBackByteForByte) {
  const std::string text = FullModuleText();
  auto module = ReadModule(text);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(WriteForm(*module), text);

  // The reader gave every component what the text says.
  auto* file = Find<TKivoMultiFileDD>(*module, "FileDict");
  auto* stream = Find<TKivoMultiStreamDD>(*module, "StreamDict");
  auto* box = Find<TKivoMsgBox>(*module, "Box");
  auto* replacer = Find<TKivoMultiReplacer>(*module, "Replacer");
  auto* eye = Find<TKivoMultiScreenEye>(*module, "Eye");
  auto* late_box = Find<TKivoMsgBox>(*module, "LateBox");
  ASSERT_TRUE(file && stream && box && replacer && eye && late_box);
  EXPECT_EQ(KivoDDStorage->FindDD("Files"), file);
  EXPECT_EQ(KivoDDStorage->FindDD("Forms"), stream);
  EXPECT_EQ(RegisteredNames(), (std::vector<std::string>{"Files", "Forms"}));
  EXPECT_EQ(file->DDReaderID(), "KivoTextDFM");
  EXPECT_FALSE(file->UseDefaultFields());
  EXPECT_EQ(file->FieldsOption()->SeqNoField(), "No");
  EXPECT_EQ(stream->Dictionary()->Stream().Bytes(), kKeyTextCsv);
  EXPECT_EQ(box->CodePage(), "936");

  ASSERT_EQ(replacer->ReplaceComs()->Count(), 2);
  EXPECT_EQ(replacer->ReplaceComs()->Items(0)->Component(), box);
  EXPECT_EQ(replacer->ReplaceComs()->Items(1)->Component(), eye);  // forward reference
  const TMultiReplaceOption* first = replacer->ReplaceComs()->Items(0)->ReplaceOption();
  EXPECT_EQ(first->SeqNo(), "2");
  EXPECT_EQ(first->Font()->Name(), "Arial");
  EXPECT_EQ(first->Font()->Size(), 10);
  EXPECT_FALSE(first->ReplaceSelf());
  EXPECT_TRUE(first->ReplaceFont());
  ASSERT_EQ(replacer->UnReplaceComs()->Count(), 2);
  EXPECT_EQ(replacer->UnReplaceComs()->Items(0)->Component(), file);
  EXPECT_EQ(replacer->UnReplaceComs()->Items(1)->Component(), late_box);  // forward reference
  EXPECT_FALSE(replacer->AutoReplace());
  EXPECT_FALSE(replacer->OwnerOption()->ReplaceSon());
  EXPECT_TRUE(replacer->OwnerOption()->ReplaceOwned());

  EXPECT_FALSE(eye->ReplaceNotRegister());
  EXPECT_TRUE(eye->DefaultReplaceOption()->ReplaceFont());
  ASSERT_EQ(eye->ReplaceDatas()->Count(), 2);
  const TMultiReplaceData* data = eye->ReplaceDatas()->FindFormClass("tmainform");
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->DisplayName(), "TMainForm : 2");
  const TMultiReplaceForm* self = data->ReplaceForms()->FindForm("Self");
  ASSERT_NE(self, nullptr);
  EXPECT_EQ(self->DisplayName(), "Self - 2 - 2");
  ASSERT_NE(self->ReplaceComs()->FindCom("grid1"), nullptr);
  EXPECT_FALSE(self->ReplaceComs()->FindCom("Grid1")->ReplaceOption()->ReplaceSon());
  EXPECT_EQ(self->ReplaceComs()->FindCom("Panel1")->ReplaceOption()->CodePage(), "936");
  EXPECT_EQ(self->UnReplaceComs()->IndexOf("Grid1"), 0);
  EXPECT_FALSE(data->ReplaceForms()->FindForm("MainForm2")->ReplaceOption()->ReplaceSelf());
  EXPECT_EQ(late_box->DDName(), "Files");
}

TEST_F(MultiForm, DefaultSettingsWriteOnlyWhatMustBeWritten) {
  std::string text;
  {
    TMultiFormModule module(nullptr);
    module.SetName("Module");
    auto* file = new TKivoMultiFileDD(&module);
    file->SetName("FileDict");
    auto* stream = new TKivoMultiStreamDD(&module);
    stream->SetName("StreamDict");
    (new TKivoMsgBox(&module))->SetName("Box");
    auto* replacer = new TKivoMultiReplacer(&module);
    replacer->SetName("Replacer");
    replacer->ReplaceComs()->Add();
    replacer->UnReplaceComs()->Add();
    auto* eye = new TKivoMultiScreenEye(&module);
    eye->SetName("Eye");
    auto* data = eye->ReplaceDatas()->Add<TMultiReplaceData>();
    data->ReplaceForms()->Add<TMultiReplaceForm>()->ReplaceComs()->Add();
    text = WriteForm(module);
    EXPECT_EQ(text,
              "object Module: TMultiFormModule\n"
              "  object FileDict: TKivoMultiFileDD\n"
              "    DDName = '" +
                  file->DDName() +
                  "'\n"
                  "    DDReaderID = 'KivoTextCSV'\n"
                  "  end\n"
                  "  object StreamDict: TKivoMultiStreamDD\n"
                  "    DDName = '" +
                  stream->DDName() +
                  "'\n"
                  "    DDReaderID = 'KivoTextCSV'\n"
                  "    Dictionary.Data = {}\n"
                  "  end\n"
                  "  object Box: TKivoMsgBox\n"
                  "  end\n"
                  "  object Replacer: TKivoMultiReplacer\n"
                  "    ReplaceComs = <\n"
                  "      item\n"
                  "        ReplaceOption.ReplaceFont = False\n"
                  "      end>\n"
                  "    UnReplaceComs = <\n"
                  "      item\n"
                  "      end>\n"
                  "    OwnerOption.ReplaceFont = False\n"
                  "  end\n"
                  "  object Eye: TKivoMultiScreenEye\n"
                  "    DefaultReplaceOption.ReplaceFont = False\n"
                  "    ReplaceDatas = <\n"
                  "      item\n"
                  "        ReplaceForms = <\n"
                  "          item\n"
                  "            ReplaceOption.ReplaceFont = False\n"
                  "            ReplaceComs = <\n"
                  "              item\n"
                  "                ReplaceOption.ReplaceFont = False\n"
                  "              end>\n"
                  "          end>\n"
                  "      end>\n"
                  "  end\n"
                  "end\n");
  }
  // The original is gone, so the default names are free again.
  auto module = ReadModule(text);
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(WriteForm(*module), text);
  auto* replacer = Find<TKivoMultiReplacer>(*module, "Replacer");
  ASSERT_NE(replacer, nullptr);
  EXPECT_TRUE(replacer->AutoReplace());
  EXPECT_TRUE(replacer->OwnerOption()->ReplaceSelf());
  EXPECT_EQ(replacer->ReplaceComs()->Items(0)->Component(), nullptr);
  auto* eye = Find<TKivoMultiScreenEye>(*module, "Eye");
  ASSERT_NE(eye, nullptr);
  EXPECT_TRUE(eye->ReplaceNotRegister());
  auto* stream = Find<TKivoMultiStreamDD>(*module, "StreamDict");
  ASSERT_NE(stream, nullptr);
  EXPECT_TRUE(stream->UseDefaultFields());
}

TEST_F(MultiForm, AnEmptyReaderIdIsWrittenAndReadBackEmpty) {
  std::string text;
  {
    TMultiFormModule module(nullptr);
    module.SetName("Module");
    auto* dd = new TKivoMultiFileDD(&module);
    dd->SetName("FileDict");
    dd->SetDDName("Main");
    dd->SetDDReaderID("");
    text = WriteForm(module);
  }
  EXPECT_NE(text.find("    DDReaderID = ''\n"), std::string::npos) << text;
  auto module = ReadModule(text);
  ASSERT_NE(module, nullptr);
  auto* dd = Find<TKivoMultiFileDD>(*module, "FileDict");
  ASSERT_NE(dd, nullptr);
  EXPECT_EQ(dd->DDReaderID(), "");
  EXPECT_EQ(WriteForm(*module), text);
}

// --- Form-stored dictionary bytes

TEST_F(MultiForm, DictionaryDataReplacesWhatTheDictionaryHeldAndIsWrittenBackUnchanged) {
  std::string every_byte;
  for (int b = 0; b < 256; ++b) every_byte += static_cast<char>(b);
  struct Case {
    const char* name;
    std::string data;
  };
  const Case cases[] = {{"every byte value, several lines", every_byte}, {"no bytes", ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TKivoMultiStreamDD dd(nullptr);
    dd.Dictionary()->Stream().WriteString(std::string(300, 'x'));  // more than the form holds
    const std::string text =
        "object Dict: TKivoMultiStreamDD\n"
        "  DDName = 'Bytes'\n"
        "  DDReaderID = 'KivoBinary'\n"
        "  Dictionary.Data = " +
        Hex(c.data, 2) + "\nend\n";
    ReadFormInto(dd, text, TFormReadOptions{});
    EXPECT_EQ(dd.Dictionary()->Stream().Bytes(), c.data);
    EXPECT_EQ(dd.Dictionary()->Stream().Position(), 0);
    EXPECT_EQ(WriteForm(dd), text);
  }
}

TEST_F(MultiForm, ALoadedStreamDictionaryStillWritesAllItsBytes) {
  const std::string text =
      "object Dict: TKivoMultiStreamDD\n"
      "  DDName = 'Main'\n"
      "  DDReaderID = 'KivoTextCSV'\n"
      "  Dictionary.Data = " +
      Hex(testing::kCsvExample, 2) + "\nend\n";
  std::unique_ptr<TComponent> root = ReadForm(text, TFormReadOptions{});
  auto* dd = As<TKivoMultiStreamDD>(root.get());
  ASSERT_NE(dd, nullptr);
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "Datei");
  ASSERT_TRUE(dd->IsLoaded());
  EXPECT_EQ(WriteForm(*dd), text);
}

// --- Dictionary names

TEST_F(MultiForm, AFormRenamesItsDictionaryAndFailsWholeWhenTheNameIsTaken) {
  auto first = ReadModule(
      "object First: TMultiFormModule\n"
      "  object Dict: TKivoMultiStreamDD\n"
      "    DDName = 'Main'\n"
      "    Dictionary.Data = {}\n"
      "  end\n"
      "end\n");
  ASSERT_NE(first, nullptr);
  // The dictionary left its default name for the one in the form.
  const std::vector<std::string> before = RegisteredNames();
  EXPECT_EQ(before, std::vector<std::string>{"Main"});
  EXPECT_EQ(KivoDDStorage->FindDD("Main"), first->FindComponent("Dict"));

  // Components before and after the clashing dictionary, and one more dictionary after it.
  const std::string second =
      "object Second: TMultiFormModule\n"
      "  object Box: TKivoMsgBox\n"
      "  end\n"
      "  object Dict: TKivoMultiFileDD\n"
      "    DDName = 'MAIN'\n"
      "  end\n"
      "  object Other: TKivoMultiStreamDD\n"
      "    DDName = 'Other'\n"
      "  end\n"
      "end\n";
  const std::string message = ErrorOf([&] { ReadForm(second, TFormReadOptions{}); });
  EXPECT_NE(message.find("data dictionary: \"MAIN\" already exists."), std::string::npos)
      << message;
  EXPECT_EQ(RegisteredNames(), before);

  TMultiFormModule into(nullptr);
  const std::string into_message = ErrorOf([&] { ReadFormInto(into, second, TFormReadOptions{}); });
  EXPECT_NE(into_message.find("data dictionary: \"MAIN\" already exists."), std::string::npos)
      << into_message;
  EXPECT_EQ(into.ComponentCount(), 0);
  EXPECT_EQ(RegisteredNames(), before);
}

// --- Checks of the items' writers while a form is read

TEST_F(MultiForm, ItemsThatBreakTheListRulesFailTheRead) {
  struct Case {
    const char* name;
    std::string body;  // inside "object M: TMultiFormModule … end"
    std::string message;
  };
  const std::string box = "  object Box: TKivoMsgBox\n  end\n";
  const Case cases[] = {
      {"one component twice in ReplaceComs",
       box + "  object R: TKivoMultiReplacer\n"
             "    ReplaceComs = <\n"
             "      item\n"
             "        Component = Box\n"
             "      end\n"
             "      item\n"
             "        Component = Box\n"
             "      end>\n"
             "  end\n",
       "component: \"Box\" already added."},
      {"one component in both lists",
       box + "  object R: TKivoMultiReplacer\n"
             "    ReplaceComs = <\n"
             "      item\n"
             "        Component = Box\n"
             "      end>\n"
             "    UnReplaceComs = <\n"
             "      item\n"
             "        Component = Box\n"
             "      end>\n"
             "  end\n",
       "component: \"Box\" already added in replace list."},
      {"one form class twice, in other letter case",
       "  object E: TKivoMultiScreenEye\n"
       "    ReplaceDatas = <\n"
       "      item\n"
       "        FormClassName = 'TMainForm'\n"
       "      end\n"
       "      item\n"
       "        FormClassName = 'tmainform'\n"
       "      end>\n"
       "  end\n",
       "form class: \"tmainform\" already added."},
      {"one component name twice in an entry",
       "  object E: TKivoMultiScreenEye\n"
       "    ReplaceDatas = <\n"
       "      item\n"
       "        ReplaceForms = <\n"
       "          item\n"
       "            ReplaceComs = <\n"
       "              item\n"
       "                ComName = 'Panel1'\n"
       "              end\n"
       "              item\n"
       "                ComName = 'Panel1'\n"
       "              end>\n"
       "          end>\n"
       "      end>\n"
       "  end\n",
       "component: \"Panel1\" already added."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = "object M: TMultiFormModule\n" + c.body + "end\n";
    const std::string message = ErrorOf([&] { ReadForm(text, TFormReadOptions{}); });
    EXPECT_NE(message.find(c.message), std::string::npos) << message;
  }
}

// --- Translation when the form has been read

TEST_F(MultiForm, AReplacerTranslatesItsOwnerOnceTheWholeFormIsReadAndNotWhenDesigning) {
  // Each translation also has an entry, so a second replacement would show "twice".
  const std::string csv =
      "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n"
      "\"Open\",\"936\",,\"Offnen\",\r\n"
      "\"Offnen\",\"936\",,\"twice\",\r\n"
      "\"File\",\"936\",,\"Datei\",\r\n"
      "\"Datei\",\"936\",,\"twice\",\r\n";
  const std::filesystem::path path =
      std::filesystem::temp_directory_path() / "kivo_multi_form_test.ktc";
  std::ofstream(path, std::ios::binary) << csv;
  struct Case {
    const char* name;
    std::string dictionary;  // the dictionary's object block
    bool designing;
    bool translated;
  };
  const Case cases[] = {
      {"form-stored dictionary",
       "  object Dict: TKivoMultiStreamDD\n"
       "    DDName = 'Main'\n"
       "    Dictionary.Data = " +
           Hex(csv, 4) + "\n  end\n",
       false, true},
      {"file dictionary",
       "  object Dict: TKivoMultiFileDD\n"
       "    DDName = 'Main'\n"
       "    FileName = '" +
           path.string() + "'\n  end\n",
       false, true},
      {"form-stored dictionary, designing",
       "  object Dict: TKivoMultiStreamDD\n"
       "    DDName = 'Main'\n"
       "    Dictionary.Data = " +
           Hex(csv, 4) + "\n  end\n",
       true, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    // The replacer comes first: the label and the dictionary exist only later in the file.
    const std::string text =
        "object Main: TMultiFormTestForm\n"
        "  Caption = 'Open'\n"
        "  object Replacer: TKivoMultiReplacer\n"
        "    OwnerOption.DDName = 'Main'\n"
        "    OwnerOption.CodePage = '936'\n"
        "    OwnerOption.ReplaceFont = False\n"
        "    OnBeforeReplace = ReplacerBefore\n"
        "  end\n"
        "  object Label1: TLabel\n"
        "    Caption = 'File'\n"
        "  end\n" +
        c.dictionary + "end\n";
    TFormReadOptions options;
    options.designing = c.designing;
    std::unique_ptr<TComponent> root = ReadForm(text, options);
    auto* form = As<TMultiFormTestForm>(root.get());
    ASSERT_NE(form, nullptr);
    auto* label = As<TLabel>(form->FindComponent("Label1"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(form->replacements, c.translated ? 1 : 0);
    EXPECT_EQ(form->Caption(), c.translated ? "Offnen" : "Open");
    EXPECT_EQ(label->Caption(), c.translated ? "Datei" : "File");
  }
  std::filesystem::remove(path);
}

// --- Events

TEST_F(MultiForm, EventsAreBoundToTheRootsMethodsByName) {
  auto module = ReadModule(FullModuleText());
  ASSERT_NE(module, nullptr);
  auto* file = Find<TKivoMultiFileDD>(*module, "FileDict");
  auto* stream = Find<TKivoMultiStreamDD>(*module, "StreamDict");
  auto* replacer = Find<TKivoMultiReplacer>(*module, "Replacer");
  auto* eye = Find<TKivoMultiScreenEye>(*module, "Eye");
  ASSERT_TRUE(file && stream && replacer && eye);

  // The stream dictionary binds only OnBuildingDD; loading asks it for each record.
  EXPECT_EQ(stream->GetDisplayValue("Module", "", ""), "Modul");
  EXPECT_EQ(module->calls, (std::vector<std::string>{"DictBuilding StreamDict Module",
                                                     "DictBuilding StreamDict Files"}));
  module->calls.clear();

  // The file dictionary's file does not exist: its build fails after OnBeforeBuildDD.
  EXPECT_THROW(file->GetDisplayValue("Open", "", ""), EFOpenError);
  ASSERT_TRUE(file->OnAfterBuildDD);
  file->OnAfterBuildDD(file);
  bool accept = true;
  file->OnBuildingDD(file, "Key1", "", "", accept);
  EXPECT_EQ(module->calls,
            (std::vector<std::string>{"DictBeforeBuild FileDict", "DictAfterBuild FileDict",
                                      "DictBuilding FileDict Key1"}));
  module->calls.clear();

  replacer->Replace();
  EXPECT_EQ(module->calls,
            (std::vector<std::string>{"ReplacerBefore Replacer", "ReplacerAfter Replacer"}));
  module->calls.clear();

  TForm other(nullptr);
  other.SetName("Other");
  eye->Replace(&other);
  EXPECT_EQ(module->calls, (std::vector<std::string>{"EyeBefore Eye Other", "EyeAfter Eye Other"}));
}

}  // namespace
}  // namespace kivo
