#include "kivo/core/KivoMultiDD.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "kivo/core/KivoDDReaderStorage.h"
#include "kivo/rtl/Exceptions.h"
#include "support/CsvDictionary.h"
#include "support/Errors.h"
#include "support/Examples.h"
#include "support/MemoryFiler.h"
#include "support/MemoryReader.h"

namespace kivo {
namespace {

using testing::ErrorOf;
using testing::kNull;
using testing::MemoryReader;

using Rows = std::vector<std::vector<std::string>>;
const std::vector<std::string> kFields = {"DDKey", "CodePage", "SeqNo", "DisplayValue"};

// A dictionary whose source is a memory reader built anew for every load.
class TMemoryDD : public TCustomMultiDD {
  KIVO_CLASS(TMemoryDD, TCustomMultiDD)
  explicit TMemoryDD(TComponent* owner) : TCustomMultiDD(owner) {}

  std::vector<std::string> fields = kFields;
  Rows rows;
  int fail_after = 0;  // the source fails after this record (0: never)
  int builds = 0;
  int disable_calls = 0;
  int enable_calls = 0;

  void BuildDictionary() override {
    ++builds;
    MemoryReader reader(fields, rows);
    if (fail_after > 0) reader.FailAfter(fail_after);
    // Report the reader's bracket counts however the build ends.
    struct Report {
      TMemoryDD& dd;
      MemoryReader& r;
      ~Report() {
        dd.disable_calls = r.disable_calls;
        dd.enable_calls = r.enable_calls;
      }
    } report{*this, reader};
    BuildHashTable(reader);
  }
};
KIVO_DEFINE_CLASS(TMemoryDD) {}

class Dictionary : public ::testing::Test {
 protected:
  TMemoryDD* Make(Rows rows, const std::string& name = "") {
    auto* dd = new TMemoryDD(&form_);
    dd->rows = std::move(rows);
    if (!name.empty()) dd->SetDDName(name);
    return dd;
  }

  TKivoCore core_;
  TComponent form_{nullptr};
};

TEST_F(Dictionary, LookupsAreExactAndFallBackToTheKey) {
  TMemoryDD* dd = Make({{"Open", "1252", "0", "Offnen"},
                        {"Open", "1252", "", "Auf"},
                        {"Close", "1252", "0", ""},
                        {"Save", "936", kNull, "Speichern"}});
  struct Row {
    const char* key;
    const char* code_page;
    const char* seq_no;
    const char* expected;
  } rows[] = {
      {"Open", "1252", "0", "Offnen"},     {"Open", "1252", "", "Auf"},
      {"Open", "1252", "00", "Open"},    // no fallback to another sequence number
      {"open", "1252", "0", "open"},     // nor any case folding
      {"Open", "936", "0", "Open"},      // nor another code page
      {"Close", "1252", "0", ""},        // an empty translation is a translation
      {"Save", "936", "", "Speichern"},  // a null value reads as the empty string
      {"Missing", "1252", "0", "Missing"}, {"", "1252", "0", ""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.key) + "/" + r.code_page + "/" + r.seq_no);
    EXPECT_EQ(dd->GetDisplayValue(r.key, r.code_page, r.seq_no), r.expected);
  }
  EXPECT_EQ(dd->builds, 1);  // loaded once, on the first lookup
  EXPECT_TRUE(dd->IsLoaded());
  EXPECT_EQ(dd->RecordCount(), 4);
  EXPECT_EQ(dd->GetHashKey("Open", "1252", "0"), "Open\t1252\t0");
}

TEST_F(Dictionary, SourceWithoutCodePageOrSequenceColumns) {
  TMemoryDD* dd = Make({{"File", "Datei"}});
  dd->fields = {"ddkey", "DISPLAYVALUE"};  // matched without regard to case
  EXPECT_EQ(dd->GetDisplayValue("File", "", ""), "Datei");
  EXPECT_EQ(dd->GetDisplayValue("File", "1252", ""), "File");
}

TEST_F(Dictionary, FieldNamesComeFromFieldsOptionWhenAsked) {
  TMemoryDD* dd = Make({{"1252", "Open", "Auf", "x"}});
  dd->fields = {"Lang", "Text", "Translation", "Text"};  // the last field of a name wins
  dd->SetUseDefaultFields(false);
  dd->FieldsOption()->SetDDKeyField("text");
  dd->FieldsOption()->SetCodePageField("Lang");
  dd->FieldsOption()->SetDisplayValueField("Translation");
  EXPECT_EQ(dd->GetDisplayValue("x", "1252", ""), "Auf");

  TDDFieldsOption copy;
  copy.Assign(dd->FieldsOption());
  EXPECT_EQ(copy.DDKeyField(), "text");
  EXPECT_EQ(copy.SeqNoField(), "");
  EXPECT_EQ(ErrorOf([&] { dd->SetFieldsOption(nullptr); }),
            "Cannot assign a nil to a TDDFieldsOption");
  EXPECT_EQ(ErrorOf([&] {
              TMultiDictionary d;
              d.Assign(&copy);
            }),
            "Cannot assign a TDDFieldsOption to a TMultiDictionary");
}

TEST_F(Dictionary, MissingKeyOrValueFieldFailsNamingIt) {
  TMemoryDD* dd = Make({{"a", "b"}});
  dd->fields = {"DDKey", "Translation"};
  EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("a", "", ""); }),
            "data dictionary: the source has no field \"DisplayValue\".");
  dd->SetUseDefaultFields(false);  // FieldsOption is empty
  EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("a", "", ""); }),
            "data dictionary: the name of the key field is empty.");
  dd->FieldsOption()->SetDDKeyField("DDKey");
  EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("a", "", ""); }),
            "data dictionary: the name of the display value field is empty.");
  EXPECT_FALSE(dd->IsLoaded());
}

TEST_F(Dictionary, DuplicateHashKeysFailEveryLookupUntilFiltered) {
  TMemoryDD* dd = Make({{"Open", "1252", "0", "A"}, {"Open", "1252", "0", "B"}});
  int before = 0;
  int after = 0;
  dd->OnBeforeBuildDD = [&](TObject* sender) {
    EXPECT_EQ(sender, dd);
    ++before;
  };
  dd->OnAfterBuildDD = [&](TObject*) { ++after; };
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("Open", "1252", "0"); }),
              "Duplicate hash list entry: Open\t1252\t0");
    EXPECT_EQ(dd->enable_calls, dd->disable_calls);
  }
  EXPECT_EQ(before, 2);
  EXPECT_EQ(after, 0);
  EXPECT_FALSE(dd->IsLoaded());

  // A filter that rejects the second record removes the duplicate.
  int seen = 0;
  dd->OnBuildingDD = [&](TObject*, const std::string& key, const std::string& cp,
                         const std::string& seq, bool& accept) {
    EXPECT_EQ(key + cp + seq, "Open12520");
    accept = ++seen != 2;
  };
  EXPECT_EQ(dd->GetDisplayValue("Open", "1252", "0"), "A");
  EXPECT_EQ(after, 1);
}

TEST_F(Dictionary, RejectedRecordsAreAnsweredWithTheKey) {
  TMemoryDD* dd = Make({{"Open", "", "", "Auf"}, {"Close", "", "", "Zu"}});
  dd->OnBuildingDD = [](TObject*, const std::string& key, const std::string&, const std::string&,
                        bool& accept) { accept = key != "Close"; };
  EXPECT_EQ(dd->GetDisplayValue("Close", "", ""), "Close");
  EXPECT_EQ(dd->GetDisplayValue("Open", "", ""), "Auf");
  EXPECT_EQ(dd->RecordCount(), 1);
}

TEST_F(Dictionary, FailedBuildLeavesItUnloadedAndTheNextLookupStartsAfresh) {
  TMemoryDD* dd = Make({{"a", "", "", "1"}, {"b", "", "", "2"}, {"c", "", "", "3"}});
  dd->fail_after = 2;
  EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("a", "", ""); }), "source failed");
  EXPECT_EQ(dd->disable_calls, 1);
  EXPECT_EQ(dd->enable_calls, 1);
  EXPECT_FALSE(dd->IsLoaded());
  dd->fail_after = 0;
  EXPECT_EQ(dd->GetDisplayValue("c", "", ""), "3");
  EXPECT_EQ(dd->RecordCount(), 3);
  EXPECT_EQ(dd->builds, 2);

  // A loaded dictionary does not notice its source until ClearHashTable.
  dd->rows = {{"c", "", "", "new"}};
  EXPECT_EQ(dd->GetDisplayValue("c", "", ""), "3");
  dd->ClearHashTable();
  EXPECT_FALSE(dd->IsLoaded());
  EXPECT_EQ(dd->GetDisplayValue("c", "", ""), "new");
}

TEST_F(Dictionary, EmptySourceAnswersEveryKeyWithItself) {
  TMemoryDD* dd = Make({});
  EXPECT_EQ(dd->GetDisplayValue("x", "1252", "0"), "x");
  EXPECT_TRUE(dd->IsLoaded());
}

TEST_F(Dictionary, TheBaseClassHasNoSource) {
  auto* dd = new TCustomMultiDD(&form_);
  EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("x", "", ""); }), "Abstract Error");
}

TEST_F(Dictionary, WordByWordTranslatesRunsOfLetters) {
  TMemoryDD* dd = Make({{"Open", "1252", "", "Offnen"},
                        {"file", "1252", "", "Datei"},
                        {"File", "1252", "", "Datei"},
                        {"Open", "936", "", "DaKai"},
                        {"file", "936", "", "WenJian"}});
  struct Row {
    const char* text;
    const char* code_page;
    const char* expected;
  } rows[] = {
      {"Open file...", "1252", "Offnen Datei..."},
      {"Open file...", "936", "DaKaiWenJian..."},
      {"File2", "1252", "Datei2"},
      {"  Open  ", "1252", "  Offnen  "},
      {"Open, file!", "936", "DaKai,WenJian!"},
      {"caf\xE9 Open", "1252", "caf\xE9 Offnen"},  // bytes of 128 and above separate words
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.text);
    EXPECT_EQ(dd->GetDisplayValueWordByWord(r.text, r.code_page, ""), r.expected);
  }
  TMemoryDD* unused = Make({});
  EXPECT_EQ(unused->GetDisplayValueWordByWord("", "1252", ""), "");
  EXPECT_EQ(unused->builds, 0);  // an empty text does not load
}

TEST(GetMinPrime, SmallestPrimeNotBelow) {
  const int table[][2] = {{-5, 1},
                          {0, 1},
                          {1, 1},
                          {2, 2},
                          {3, 3},
                          {4, 5},
                          {8, 11},
                          {9, 11},
                          {10, 11},
                          {100, 101},
                          {1000, 1009},
                          {1024, 1031},
                          {2147483647, 2147483647}};
  for (const auto& row : table) {
    SCOPED_TRACE(row[0]);
    EXPECT_EQ(GetMinPrime(row[0]), row[1]);
  }
}

TEST_F(Dictionary, DefaultNamesTakeTheFirstFreeNumber) {
  TMemoryDD* a = Make({});
  TMemoryDD* b = Make({});
  EXPECT_EQ(a->DDName(), "DD0");
  EXPECT_EQ(b->DDName(), "DD1");
  delete a;
  EXPECT_EQ(Make({})->DDName(), "DD0");
  EXPECT_EQ(Make({})->DDName(), "DD2");
}

TEST_F(Dictionary, RenamingKeepsNamesUniqueWithoutRegardToCase) {
  TMemoryDD* main = Make({}, "Main");
  TMemoryDD* other = Make({}, "Other");
  EXPECT_EQ(KivoDDStorage->FindDD("main"), main);
  EXPECT_EQ(ErrorOf([&] { main->SetDDName("MAIN"); }), "data dictionary: \"MAIN\" already exists.");
  EXPECT_EQ(ErrorOf([&] { other->SetDDName("main"); }),
            "data dictionary: \"main\" already exists.");
  EXPECT_EQ(other->DDName(), "Other");
  main->SetDDName("");
  main->SetDDName("Main");
  EXPECT_EQ(main->DDName(), "Main");
  other->SetDDName("Third");
  EXPECT_EQ(KivoDDStorage->FindDD("other"), nullptr);
  EXPECT_EQ(KivoDDStorage->FindDD("THIRD"), other);
  EXPECT_EQ(KivoDDStorage->GetDDCount(), 2);
}

TEST_F(Dictionary, RegistryListsNamesInOrderAndFreesWhatItDeletes) {
  Make({}, "b");
  Make({}, "A");
  Make({}, "c");
  ASSERT_EQ(KivoDDStorage->GetDDCount(), 3);
  EXPECT_EQ(KivoDDStorage->GetDD(0)->DDName(), "A");
  EXPECT_EQ(KivoDDStorage->GetDD(1)->DDName(), "b");
  EXPECT_EQ(KivoDDStorage->GetDD(2)->DDName(), "c");
  EXPECT_EQ(ErrorOf([] { KivoDDStorage->GetDD(3); }), "List index out of bounds (3)");

  KivoDDStorage->DeleteDD("a");
  EXPECT_EQ(KivoDDStorage->FindDD("A"), nullptr);
  EXPECT_EQ(KivoDDStorage->GetDDCount(), 2);
  EXPECT_EQ(form_.ComponentCount(), 2);  // no longer among its owner's components
  KivoDDStorage->DeleteDD("nobody");

  KivoDDStorage->ClearDD();
  EXPECT_EQ(KivoDDStorage->GetDDCount(), 0);
  EXPECT_EQ(form_.ComponentCount(), 0);
  EXPECT_EQ(Make({})->DDName(), "DD0");
}

TEST_F(Dictionary, RegistryShortcutsByName) {
  Make({{"Open", "1252", "", "Auf"}}, "Main");
  EXPECT_EQ(KivoDDStorage->GetDisplayValue("MAIN", "Open", "1252", ""), "Auf");
  EXPECT_EQ(KivoDDStorage->GetDisplayValue("Nobody", "Open", "1252", ""), "Open");
  EXPECT_EQ(KivoDDStorage->GetDisplayValueWordByWord("main", "Open it", "1252", ""), "Auf it");
  EXPECT_EQ(KivoDDStorage->GetDisplayValueWordByWord("Nobody", "Open it", "1252", ""), "Open it");
}

TEST(CoreLifecycle, ShutDownFreesDictionariesWhoseFormsStillExist) {
  TComponent form(nullptr);
  InitializeCore();
  InitializeCore();  // nested: the registries stay until the last FinalizeCore
  ASSERT_NE(KivoDDStorage, nullptr);
  ASSERT_NE(KivoDDReaderStorage, nullptr);
  new TMemoryDD(&form);
  FinalizeCore();
  EXPECT_EQ(form.ComponentCount(), 1);
  FinalizeCore();
  EXPECT_EQ(KivoDDStorage, nullptr);
  EXPECT_EQ(KivoDDReaderStorage, nullptr);
  EXPECT_EQ(form.ComponentCount(), 0);  // the form lost its dictionary
  FinalizeCore();                       // unbalanced: ignored

  try {
    new TMemoryDD(&form);
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(),
              "The dictionary registry does not exist; call kivo::InitializeCore() first");
  }
  EXPECT_EQ(form.ComponentCount(), 0);
}

TEST(CoreLifecycle, ADictionaryOutlivingTheRegistryDestroysCleanly) {
  InitializeCore();
  auto* dd = new TMemoryDD(nullptr);
  dd->rows = {{"a", "", "", "b"}};
  EXPECT_EQ(dd->GetDisplayValue("a", "", ""), "b");
  // A dictionary without owner is freed by the registry at shut-down.
  FinalizeCore();
  EXPECT_EQ(KivoDDStorage, nullptr);
}

TEST_F(Dictionary, MultiDictionaryHoldsBytesAndAlwaysWritesThem) {
  TMultiDictionary d;
  testing::MemoryFiler filer(testing::MemoryFiler::kWriting);
  filer.Write(d);
  ASSERT_EQ(filer.stored.count("Data"), 1u);
  EXPECT_EQ(filer.stored["Data"], "");  // written even when empty

  // Reading takes the bytes from the stream's position on and replaces any content.
  d.Stream().WriteString("old content");
  TMemoryStream source;
  source.WriteString("skip|new");
  source.SetPosition(5);
  d.ReadDictionary(source);
  EXPECT_EQ(d.Stream().Bytes(), "new");
  EXPECT_EQ(d.Stream().Position(), 0);

  TMultiDictionary copy;
  copy.Assign(&d);
  d.Stream().WriteString("XYZ");
  EXPECT_EQ(copy.Stream().Bytes(), "new");
  EXPECT_EQ(ErrorOf([&] { copy.Assign(nullptr); }), "Cannot assign a nil to a TMultiDictionary");

  filer.Write(copy);
  TMultiDictionary back;
  filer.Read(back);
  EXPECT_EQ(back.Stream().Bytes(), "new");
}

TEST_F(Dictionary, ReaderFedDictionariesPublishTheirPropertiesInOrder) {
  auto names = [](TClass cls) {
    std::vector<std::string> out;
    for (const TPropInfo* p : cls->Properties()) out.push_back(p->name);
    return out;
  };
  EXPECT_EQ(names(TKivoMultiFileDD::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "DDName", "DDReaderID", "FileName",
                                      "UseDefaultFields", "FieldsOption", "OnBeforeBuildDD",
                                      "OnAfterBuildDD", "OnBuildingDD"}));
  EXPECT_EQ(names(TKivoMultiStreamDD::StaticClass()),
            (std::vector<std::string>{"Name", "Tag", "DDName", "DDReaderID", "UseDefaultFields",
                                      "FieldsOption", "Dictionary", "OnBeforeBuildDD",
                                      "OnAfterBuildDD", "OnBuildingDD"}));
  auto* file = new TKivoMultiFileDD(&form_);
  auto* stream = new TKivoMultiStreamDD(&form_);
  EXPECT_EQ(file->DDReaderID(), "KivoTextCSV");
  EXPECT_EQ(stream->DDReaderID(), "KivoTextCSV");
  const TPropInfo* use_defaults = TKivoMultiFileDD::StaticClass()->FindProperty("UseDefaultFields");
  EXPECT_TRUE(use_defaults->IsDefault(*file));  // written only when false
  file->SetUseDefaultFields(false);
  EXPECT_FALSE(use_defaults->IsDefault(*file));
  EXPECT_EQ(FindClass("TKivoMultiFileDD"), TKivoMultiFileDD::StaticClass());
}

// ---- dictionaries fed by the registered readers ----

using testing::kCsvExample;

class ReaderFedDictionary : public Dictionary {
 protected:
  void SetUp() override {
    dir_ = std::filesystem::temp_directory_path() /
           ("kivo_dd_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
            ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override { std::filesystem::remove_all(dir_); }
  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }
  void WriteFile(const std::string& name, const std::string& bytes) const {
    std::ofstream(PathOf(name), std::ios::binary) << bytes;
  }

  std::filesystem::path dir_;
};

TEST_F(ReaderFedDictionary, FileDictionaryRetriesAMissingFileAtEveryLookup) {
  auto* dd = new TKivoMultiFileDD(&form_);
  dd->SetFileName(PathOf("main.ktc"));
  int before = 0;
  dd->OnBeforeBuildDD = [&](TObject*) { ++before; };
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("File", "936", ""); }),
              "Cannot open file \"" + PathOf("main.ktc") + "\". No such file or directory");
  }
  EXPECT_EQ(before, 2);
  WriteFile("main.ktc", kCsvExample);
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "Datei");
  EXPECT_EQ(dd->GetDisplayValue("Say \"hi\"", "936", ""), std::string("50%\r\nmore"));

  // A loaded dictionary keeps its answers when its file name changes, until it is cleared.
  WriteFile("other.ktc", "\"DDKey\",\"DisplayValue\",\r\n\"File\",\"Akte\",\r\n");
  dd->SetFileName(PathOf("other.ktc"));
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "Datei");
  dd->ClearHashTable();
  EXPECT_EQ(dd->GetDisplayValue("File", "", ""), "Akte");

  auto* unnamed = new TKivoMultiFileDD(&form_);
  EXPECT_EQ(ErrorOf([&] { unnamed->GetDisplayValue("x", "", ""); }),
            "Cannot open file \"\". No such file or directory");
}

TEST_F(ReaderFedDictionary, TheFileIsHeldAgainstWritersOnlyWhileItBuilds) {
  WriteFile("main.ktc", kCsvExample);
  auto* dd = new TKivoMultiFileDD(&form_);
  dd->SetFileName(PathOf("main.ktc"));
  std::string during;
  dd->OnBuildingDD = [&](TObject*, const std::string&, const std::string&, const std::string&,
                         bool&) {
    if (!during.empty()) return;
    during = ErrorOf([&] { TFileStream writer(PathOf("main.ktc"), fmCreate); });
  };
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "Datei");
  EXPECT_EQ(during, "Cannot create file \"" + PathOf("main.ktc") + "\". The file is in use");
  EXPECT_NO_THROW(TFileStream(PathOf("main.ktc"), fmCreate));
}

TEST_F(ReaderFedDictionary, ReaderIdIsFoundWithoutRegardToCase) {
  WriteFile("main.ktc", kCsvExample);
  auto* dd = new TKivoMultiFileDD(&form_);
  dd->SetFileName(PathOf("main.ktc"));
  dd->SetDDReaderID("kivotextcsv");
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "Datei");
  dd->ClearHashTable();
  dd->SetDDReaderID("KivoXml");
  EXPECT_EQ(ErrorOf([&] { dd->GetDisplayValue("File", "936", ""); }),
            "dictionary reader ID \"KivoXml\" ,not registered!");
}

TEST_F(ReaderFedDictionary, StreamDictionaryReadsItsStoredBytes) {
  auto* dd = new TKivoMultiStreamDD(&form_);
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "File");  // empty: no records
  dd->Dictionary()->Stream().WriteString(kCsvExample);
  dd->ClearHashTable();
  EXPECT_EQ(dd->GetDisplayValue("File", "936", ""), "Datei");
  EXPECT_EQ(dd->Dictionary()->Stream().Bytes(), kCsvExample);  // a build leaves the bytes alone

  // Another dictionary gets a copy that does not follow later changes of the source.
  auto* copy = new TKivoMultiStreamDD(&form_);
  copy->SetDictionary(dd->Dictionary());
  dd->Dictionary()->Stream().Clear();
  EXPECT_EQ(copy->Dictionary()->Stream().Bytes(), kCsvExample);
  EXPECT_EQ(copy->GetDisplayValue("File", "936", ""), "Datei");
  EXPECT_EQ(ErrorOf([&] { copy->SetDictionary(nullptr); }),
            "Cannot assign a nil to a TMultiDictionary");
}

// The dictionaries of the library look key and tail up apart; they answer as the joined hash key
// does, also with tabs in key, code page or sequence number, and while the code page and
// sequence number change from lookup to lookup.
TEST_F(ReaderFedDictionary, LookupsAnswerAsTheJoinedHashKey) {
  const std::string long_key = "A caption that is longer than thirty-two bytes, by far";
  auto* dd = new TKivoMultiStreamDD(&form_);
  dd->Dictionary()->Stream().WriteString(
      testing::CsvDictionary({{"File", "1252", "", "Datei"},
                              {"File", "1252", "1", "Datei 1"},
                              {"File", "936", "", "Wenjian"},
                              {"A\tB", "1252", "", "tab in key"},
                              {"A", "B\t936", "", "tab in code page"},
                              {"A", "1252", "\t", "tab in sequence number"},
                              {"", "", "", "all empty"},
                              {long_key, "1252", "7", "long"}}));
  const struct {
    const char* key;
    const char* code_page;
    const char* seq_no;
    std::string expected;
  } lookups[] = {
      {"File", "1252", "", "Datei"},
      {"File", "1252", "1", "Datei 1"},
      {"File", "936", "", "Wenjian"},
      {"File", "1252", "", "Datei"},  // back to an earlier code page
      {"File", "1252", "2", "File"},
      {"file", "1252", "", "file"},
      {"A\tB", "1252", "", "tab in key"},
      {"A\tB", "936", "", "tab in code page"},  // "A\tB\t936\t", as the record's hash key
      {"A", "B\t936", "", "tab in code page"},
      {"A", "1252", "\t", "tab in sequence number"},
      {"A\t1252", "", "", "tab in sequence number"},  // "A\t1252\t\t"
      {"", "", "", "all empty"},
      {long_key.c_str(), "1252", "7", "long"},
      {long_key.c_str(), "1252", "8", long_key},
  };
  for (int round = 0; round < 2; ++round) {
    for (const auto& l : lookups) {
      SCOPED_TRACE(std::string(l.key) + "|" + l.code_page + "|" + l.seq_no);
      EXPECT_EQ(dd->GetDisplayValue(l.key, l.code_page, l.seq_no), l.expected);
    }
  }
}

// A dictionary class of an application that composes its hash keys otherwise is looked up
// through its own GetHashKey.
class TSeqNoBlindDD : public TKivoMultiStreamDD {
  KIVO_CLASS(TSeqNoBlindDD, TKivoMultiStreamDD)
  explicit TSeqNoBlindDD(TComponent* owner) : TKivoMultiStreamDD(owner) {}
  using TCustomMultiDD::GetHashKey;
  void GetHashKey(const std::string& dd_key, const std::string& code_page, const std::string&,
                  std::string& out) const override {
    out = dd_key + "\t" + code_page + "\t";
  }
};
KIVO_DEFINE_CLASS(TSeqNoBlindDD) {}

TEST_F(ReaderFedDictionary, AnOverriddenHashKeyServesTheLookups) {
  auto* dd = new TSeqNoBlindDD(&form_);
  dd->Dictionary()->Stream().WriteString(testing::CsvDictionary({{"File", "1252", "5", "Datei"}}));
  EXPECT_EQ(dd->GetDisplayValue("File", "1252", "99"), "Datei");
  EXPECT_EQ(dd->GetDisplayValue("File", "1252", ""), "Datei");
  EXPECT_EQ(dd->GetDisplayValue("File", "936", "5"), "File");
}

TEST_F(ReaderFedDictionary, ReaderRegistryAfterStartUp) {
  TKivoMultiStreamDDReaderStorage& r = *KivoDDReaderStorage;
  ASSERT_EQ(r.GetCount(), 3);
  EXPECT_EQ(r.GetDDReaderID(0), "KivoBinary");
  EXPECT_EQ(r.GetDDReaderID(1), "KivoTextCSV");
  EXPECT_EQ(r.GetDDReaderID(2), "KivoTextDFM");
  EXPECT_EQ(ErrorOf([&] { r.GetDDReaderID(3); }), "List index out of bounds (3)");
  const TStreamDDReaderClass* binary = r.GetDDReader("kivobinary");
  ASSERT_NE(binary, nullptr);
  EXPECT_EQ(binary->cls, TBinaryStreamDDReader::StaticClass());
  EXPECT_EQ(r.GetDDReader("KivoXml"), nullptr);

  EXPECT_EQ(ErrorOf([&] { r.RegisterDDReader("KIVOTEXTDFM", binary); }),
            "dictionary reader \"KIVOTEXTDFM\" already registered!");
  EXPECT_EQ(r.GetCount(), 3);
  r.RegisterDDReader("AnotherBinary", binary);  // sorts first; a class may have two names
  EXPECT_EQ(r.GetDDReaderID(0), "AnotherBinary");
  EXPECT_EQ(r.GetDDReaderID(1), "KivoBinary");
  r.UnRegisterDDReader(binary);  // only the first entry that carries it
  EXPECT_EQ(r.GetDDReaderID(0), "KivoBinary");
  const TStreamDDReaderClass* csv = r.GetDDReader("KivoTextCSV");
  r.UnRegisterDDReader(csv);
  r.UnRegisterDDReader(csv);
  EXPECT_EQ(r.GetCount(), 2);
  EXPECT_EQ(r.GetDDReader("KivoTextCSV"), nullptr);
}

}  // namespace
}  // namespace kivo
