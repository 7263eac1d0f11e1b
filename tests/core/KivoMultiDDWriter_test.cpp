#include "kivo/core/KivoMultiDDWriter.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Stream.h"
#include "support/Examples.h"
#include "support/FailingStream.h"
#include "support/MemoryReader.h"

namespace kivo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using testing::FailingStream;
using testing::kNull;
using testing::MemoryReader;

// Runs `fn` and checks that it throws E with exactly `message`.
template <class E>
void ExpectError(const std::function<void()>& fn, const std::string& message) {
  try {
    fn();
    ADD_FAILURE() << "no exception; expected \"" << message << "\"";
  } catch (const E& e) {
    EXPECT_EQ(e.Message(), message);
  }
}

// The source used throughout: a null value in record 1, an empty one in record 2.
MemoryReader ExampleSource() {
  return MemoryReader({"DDKey", "CodePage", "SeqNo", "DisplayValue"},
                      {{"File", "936", kNull, "Datei"}, {"Say \"hi\"", "936", "", "50%\r\nmore"}});
}

// Three records; the second has a null value.
MemoryReader ThreeRecords() {
  return MemoryReader({"Key", "Value"}, {{"a", "1"}, {"b", kNull}, {"c", "3"}});
}

const std::string& kExampleCSV = kivo::testing::kCsvExample;
const std::string& kExampleDFM = kivo::testing::kDfmExample;
const std::string& kExampleBinary = kivo::testing::kBinaryExample;

// A writer to a stream, for the tests that every writer must pass.
struct StreamWriter {
  const char* name;
  void (*write)(IDataRead& source, TStream& dest, const TProgressProc& progress);
};

const StreamWriter kStreamWriters[] = {
    {"csv",
     [](IDataRead& s, TStream& d, const TProgressProc& p) {
       _SaveDataToTextStream(s, d, EncodeTextCSVStr, ',', '"', p);
     }},
    {"dfm",
     [](IDataRead& s, TStream& d, const TProgressProc& p) {
       _SaveDataToTextStream(s, d, EncodeTextDFMStr, ',', '"', p);
     }},
    {"binary",
     [](IDataRead& s, TStream& d, const TProgressProc& p) { _SaveDataToBinaryStream(s, d, p); }},
};

// The same writers to a file.
struct FileWriter {
  const char* name;
  void (*write)(IDataRead& source, const std::string& file_name, const TProgressProc& progress);
  const StreamWriter& stream_writer;
};

const FileWriter kFileWriters[] = {
    {"csv",
     [](IDataRead& s, const std::string& f, const TProgressProc& p) {
       _SaveDataToTextFile(s, f, EncodeTextCSVStr, ',', '"', p);
     },
     kStreamWriters[0]},
    {"dfm",
     [](IDataRead& s, const std::string& f, const TProgressProc& p) {
       _SaveDataToTextFile(s, f, EncodeTextDFMStr, ',', '"', p);
     },
     kStreamWriters[1]},
    {"binary",
     [](IDataRead& s, const std::string& f, const TProgressProc& p) {
       _SaveDataToBinaryFile(s, f, p);
     },
     kStreamWriters[2]},
};

std::string WriteToString(const StreamWriter& writer, IDataRead& source,
                          const TProgressProc& progress = nullptr) {
  TMemoryStream out;
  writer.write(source, out, progress);
  return std::string(out.Bytes());
}

// `value` as the binary format's 4-byte little-endian integer, spelt out byte by byte.
std::string Int32LE(uint32_t value) {
  return {static_cast<char>(value & 0xFF), static_cast<char>((value >> 8) & 0xFF),
          static_cast<char>((value >> 16) & 0xFF), static_cast<char>((value >> 24) & 0xFF)};
}

void ExpectControlsBalanced(const MemoryReader& source) {
  EXPECT_EQ(source.disable_calls, 1);
  EXPECT_EQ(source.enable_calls, 1);
}

// ----- Encoders -----

TEST(KivoMultiDDWriter, EncodersEscapeEveryKindOfByte) {
  struct Row {
    const char* name;
    std::string value;
    std::string csv;
    std::string dfm;
  };
  const Row rows[] = {
      {"empty", "", R"("")", R"("")"},
      {"one quote", "\"", R"("""")", R"("""")"},
      {"quoted word", "Say \"hi\"", R"("Say ""hi""")", R"("Say ""hi""")"},
      {"separator", "a,b", R"("a,b")", R"("a,b")"},
      {"NUL", "\0"s, R"("%0")", "#0"},
      {"CR", "\r", R"("%c")", "#13"},
      {"LF", "\n", R"("%n")", "#10"},
      {"percent", "%", R"("%%")", R"("%")"},
      {"tab then X", "\tX", "\"\tX\"", R"(#9"X")"},
      {"X then CR", "X\r", R"("X%c")", R"("X"#13)"},
      {"CR LF alone", "\r\n", R"("%c%n")", "#13#10"},
      {"text around CR LF", "50%\r\nmore", R"("50%%%c%nmore")", R"("50%"#13#10"more")"},
      {"control bytes 1 and 31", "\x01\x1F", "\"\x01\x1F\"", "#1#31"},
      {"quotes around a CR", "\"\r\"", R"("""%c""")", R"(""""#13"""")"},
      {"bytes 127 and above", "\x7F\x80\xE4\xFF", "\"\x7F\x80\xE4\xFF\"", "\"\x7F\x80\xE4\xFF\""},
      {"space", " ", R"(" ")", R"(" ")"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EncodeTextCSVStr(row.value, '"'), row.csv);
    EXPECT_EQ(EncodeTextDFMStr(row.value, '"'), row.dfm);
    std::string out = "ab";
    AppendTextCSVStr(out, row.value, '"');
    EXPECT_EQ(out, "ab" + row.csv);
    out = "ab";
    AppendTextDFMStr(out, row.value, '"');
    EXPECT_EQ(out, "ab" + row.dfm);
  }
}

TEST(KivoMultiDDWriter, EncodersUseTheGivenQuote) {
  struct Row {
    const char* name;
    std::string value;
    char quote;
    std::string csv;
    std::string dfm;
  };
  const Row rows[] = {
      {"apostrophe", "it's \"x\"", '\'', R"('it''s "x"')", R"('it''s "x"')"},
      {"apostrophe, empty", "", '\'', "''", "''"},
      // The quote test comes first, also for a quote byte that is otherwise escaped.
      {"percent as quote", "a%\r", '%', "%a%%%c%", "%a%%%#13"},
      {"tab as quote", "\t\r", '\t', "\t\t\t%c\t", "\t\t\t\t#13"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    EXPECT_EQ(EncodeTextCSVStr(row.value, row.quote), row.csv);
    EXPECT_EQ(EncodeTextDFMStr(row.value, row.quote), row.dfm);
  }
}

// ----- Output layout -----

std::string Bracket(const std::string& value, char quote) { return "<" + (quote + value) + ">"; }

TEST(KivoMultiDDWriter, WritesTheExampleSourceByteForByte) {
  struct Row {
    const char* name;
    std::function<void(IDataRead&, TStream&)> write;
    std::string expected;
  };
  const Row rows[] = {
      {"csv", [](IDataRead& s, TStream& d) { kStreamWriters[0].write(s, d, nullptr); },
       kExampleCSV},
      {"dfm", [](IDataRead& s, TStream& d) { kStreamWriters[1].write(s, d, nullptr); },
       kExampleDFM},
      {"binary", [](IDataRead& s, TStream& d) { kStreamWriters[2].write(s, d, nullptr); },
       kExampleBinary},
      {"csv with ; and '",
       [](IDataRead& s, TStream& d) {
         _SaveDataToTextStream(s, d, EncodeTextCSVStr, ';', '\'', nullptr);
       },
       "'DDKey';'CodePage';'SeqNo';'DisplayValue';\r\n"
       "'File';'936';;'Datei';\r\n"
       "'Say \"hi\"';'936';'';'50%%%c%nmore';\r\n"},
      {"own encoder",
       [](IDataRead& s, TStream& d) { _SaveDataToTextStream(s, d, Bracket, ';', '\'', nullptr); },
       "<'DDKey>;<'CodePage>;<'SeqNo>;<'DisplayValue>;\r\n"
       "<'File>;<'936>;;<'Datei>;\r\n"
       "<'Say \"hi\">;<'936>;<'>;<'50%\r\nmore>;\r\n"},
  };
  ASSERT_EQ(kExampleBinary.size(), 118u);
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MemoryReader source = ExampleSource();
    // Written from the destination's position, over what follows it.
    TMemoryStream out;
    out.WriteString("abc");
    out.SetPosition(1);
    row.write(source, out);
    EXPECT_EQ(out.Bytes(), "a" + row.expected);
    ExpectControlsBalanced(source);
  }
}

TEST(KivoMultiDDWriter, SourceWithoutRecordsGivesTheHeaderOnly) {
  struct Row {
    const char* name;
    std::vector<std::string> fields;
    std::string csv;
    std::string binary;
  };
  const Row rows[] = {
      {"two fields",
       {"A", "B"},
       "\"A\",\"B\",\r\n",
       "\x02\x00\x00\x00"
       "\x01\x00\x00\x00"
       "A"
       "\x01\x00\x00\x00"
       "B"
       "\x00\x00\x00\x00"s},
      {"no fields", {}, "\r\n", "\x00\x00\x00\x00\x00\x00\x00\x00"s},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    MemoryReader csv_source(row.fields, {});
    EXPECT_EQ(WriteToString(kStreamWriters[0], csv_source), row.csv);
    MemoryReader dfm_source(row.fields, {});
    EXPECT_EQ(WriteToString(kStreamWriters[1], dfm_source), row.csv);
    MemoryReader binary_source(row.fields, {});
    EXPECT_EQ(WriteToString(kStreamWriters[2], binary_source), row.binary);
    ExpectControlsBalanced(binary_source);
  }
}

// Enough records to fill the write buffer several times, with one value larger than the buffer.
MemoryReader LargeSource() {
  std::vector<std::vector<std::string>> rows;
  for (int i = 0; i < 6000; ++i) {
    rows.push_back({"key" + std::to_string(i), "value number " + std::to_string(i)});
  }
  rows[2500][1] = std::string(kDDWriterBufferSize + 4321, 'v');
  return MemoryReader({"Key", "Value"}, std::move(rows));
}

TEST(KivoMultiDDWriter, LargeOutputArrivesWhole) {
  std::string csv = R"("Key","Value",)"
                    "\r\n";
  std::string binary = Int32LE(2) + Int32LE(3) + "Key" + Int32LE(5) + "Value" + Int32LE(6000);
  {
    MemoryReader source = LargeSource();
    for (source._First(); !source._Eof(); source._Next()) {
      const std::string& key = source._GetFieldValue(0);
      const std::string& value = source._GetFieldValue(1);
      csv += "\"" + key + "\",\"" + value + "\",\r\n";
      binary += Int32LE(static_cast<uint32_t>(key.size())) + key +
                Int32LE(static_cast<uint32_t>(value.size())) + value;
    }
  }
  const TProgressProc accept_all = [](double, const std::vector<std::string>&, bool&) {};
  for (const TProgressProc& progress : {TProgressProc(), accept_all}) {
    SCOPED_TRACE(progress ? "with callback" : "without callback");
    MemoryReader csv_source = LargeSource();
    EXPECT_TRUE(WriteToString(kStreamWriters[0], csv_source, progress) == csv);
    MemoryReader binary_source = LargeSource();
    EXPECT_TRUE(WriteToString(kStreamWriters[2], binary_source, progress) == binary);
  }
}

// ----- Progress -----

TEST(KivoMultiDDWriter, ProgressSeesEveryRecordBeforeItIsWritten) {
  for (const StreamWriter& writer : kStreamWriters) {
    SCOPED_TRACE(writer.name);
    MemoryReader source = ThreeRecords();
    std::vector<double> percents;
    std::vector<std::vector<std::string>> records;
    WriteToString(writer, source,
                  [&](double APercent, const std::vector<std::string>& ARecord, bool&) {
                    percents.push_back(APercent);
                    records.push_back(ARecord);
                  });
    ASSERT_EQ(percents.size(), 3u);
    EXPECT_DOUBLE_EQ(percents[0], 1.0 / 3.0);
    EXPECT_DOUBLE_EQ(percents[1], 2.0 / 3.0);
    EXPECT_DOUBLE_EQ(percents[2], 1.0);
    const std::vector<std::vector<std::string>> expected = {{"a", "1"}, {"b", ""}, {"c", "3"}};
    EXPECT_EQ(records, expected);
  }
}

TEST(KivoMultiDDWriter, PercentIsTheRecordNumberOverTheAnnouncedCount) {
  struct Row {
    int announced;
    std::vector<double> percents;
  };
  const Row rows[] = {
      {4, {0.25, 0.5, 0.75}},
      {2, {0.5, 1.0, 1.5}},
      {0, {0.0, 0.0, 0.0}},  // nothing announced: no division
  };
  for (const Row& row : rows) {
    for (const StreamWriter& writer : kStreamWriters) {
      SCOPED_TRACE(std::string(writer.name) + ", announced " + std::to_string(row.announced));
      MemoryReader source = ThreeRecords();
      source.Announce(row.announced);
      std::vector<double> percents;
      WriteToString(writer, source, [&](double APercent, const std::vector<std::string>&, bool&) {
        percents.push_back(APercent);
      });
      EXPECT_EQ(percents, row.percents);
    }
  }
}

TEST(KivoMultiDDWriter, RecordsLeftOutByTheCallbackAreNotWritten) {
  const std::string text = R"("Key","Value",)"
                           "\r\n"
                           R"("a","1",)"
                           "\r\n"
                           R"("c","3",)"
                           "\r\n";
  // The announced count stays 3.
  const std::string binary =
      "\x02\x00\x00\x00"
      "\x03\x00\x00\x00"
      "Key"
      "\x05\x00\x00\x00"
      "Value"
      "\x03\x00\x00\x00"
      "\x01\x00\x00\x00"
      "a"
      "\x01\x00\x00\x00"
      "1"
      "\x01\x00\x00\x00"
      "c"
      "\x01\x00\x00\x00"
      "3"s;
  const std::string* expected[] = {&text, &text, &binary};
  for (size_t w = 0; w < std::size(kStreamWriters); ++w) {
    SCOPED_TRACE(kStreamWriters[w].name);
    MemoryReader source = ThreeRecords();
    const std::string out = WriteToString(kStreamWriters[w], source,
                                          [](double, const std::vector<std::string>& ARecord,
                                             bool& Accept) { Accept = ARecord[0] != "b"; });
    EXPECT_EQ(out, *expected[w]);
  }
}

TEST(KivoMultiDDWriter, AcceptIsTrueOnEntryForEveryRecord) {
  for (const StreamWriter& writer : kStreamWriters) {
    SCOPED_TRACE(writer.name);
    MemoryReader plain = ExampleSource();
    const std::string without_callback = WriteToString(writer, plain);

    MemoryReader source = ExampleSource();
    std::vector<bool> on_entry;
    const std::string with_callback = WriteToString(
        writer, source,
        [&](double, const std::vector<std::string>&, bool& Accept) { on_entry.push_back(Accept); });
    EXPECT_EQ(with_callback, without_callback);
    EXPECT_EQ(on_entry, std::vector<bool>({true, true}));

    // A rejection does not carry over to the next record.
    MemoryReader rejecting = ThreeRecords();
    on_entry.clear();
    WriteToString(writer, rejecting, [&](double, const std::vector<std::string>&, bool& Accept) {
      on_entry.push_back(Accept);
      Accept = false;
    });
    EXPECT_EQ(on_entry, std::vector<bool>({true, true, true}));
  }
}

// ----- Failures -----

TEST(KivoMultiDDWriter, SourceOrCallbackFailureReleasesTheControls) {
  struct Row {
    const char* name;
    int fail_after;  // 0: the source does not fail
    bool callback_fails;
    std::string message;
  };
  const Row rows[] = {
      {"source fails after record 1", 1, false, "source failed"},
      {"source fails after the last record", 3, false, "source failed"},
      {"callback fails on record 2", 0, true, "callback failed"},
  };
  for (const Row& row : rows) {
    for (const StreamWriter& writer : kStreamWriters) {
      SCOPED_TRACE(std::string(row.name) + ", " + writer.name);
      MemoryReader source = ThreeRecords();
      if (row.fail_after > 0) source.FailAfter(row.fail_after);
      TProgressProc progress;
      if (row.callback_fails) {
        progress = [](double, const std::vector<std::string>& ARecord, bool&) {
          if (ARecord[0] == "b") throw Exception("callback failed");
        };
      }
      ExpectError<Exception>([&] { WriteToString(writer, source, progress); }, row.message);
      ExpectControlsBalanced(source);
    }
  }
}

TEST(KivoMultiDDWriter, DestinationFailureAtAnyByteIsReported) {
  struct Row {
    const char* name;
    std::function<MemoryReader()> make_source;
    int64_t step;  // failure points tried: every step-th byte, the ends and the buffer edges
  };
  const Row rows[] = {
      {"example", ExampleSource, 1},
      {"large", LargeSource, 4099},
  };
  for (const Row& row : rows) {
    for (const StreamWriter& writer : kStreamWriters) {
      SCOPED_TRACE(std::string(row.name) + ", " + writer.name);
      MemoryReader plain = row.make_source();
      const std::string full = WriteToString(writer, plain);
      const auto size = static_cast<int64_t>(full.size());
      std::vector<int64_t> limits;
      for (int64_t n = 0; n < size; n += row.step) limits.push_back(n);
      for (int64_t edge = static_cast<int64_t>(kDDWriterBufferSize); edge < size;
           edge += static_cast<int64_t>(kDDWriterBufferSize)) {
        limits.insert(limits.end(), {edge - 1, edge, edge + 1});
      }
      limits.push_back(size - 1);
      MemoryReader source = row.make_source();  // rewound by every write
      for (int64_t n : limits) {
        SCOPED_TRACE(n);
        const int disable_calls = source.disable_calls;
        const int enable_calls = source.enable_calls;
        FailingStream out("", FailingStream::kNever, n);
        ExpectError<EWriteError>([&] { writer.write(source, out, nullptr); }, "Stream write error");
        EXPECT_TRUE(out.Bytes() == std::string_view(full).substr(0, static_cast<size_t>(n)));
        EXPECT_EQ(source.disable_calls, disable_calls + 1);
        EXPECT_EQ(source.enable_calls, enable_calls + 1);
      }
      FailingStream out("", FailingStream::kNever, size);
      writer.write(source, out, nullptr);
      EXPECT_TRUE(out.Bytes() == full);
    }
  }
}

TEST(KivoMultiDDWriter, TextWriterWithoutEncoderIsRefused) {
  MemoryReader source = ExampleSource();
  TMemoryStream out;
  ExpectError<Exception>([&] { _SaveDataToTextStream(source, out, nullptr, ',', '"', nullptr); },
                         "No encoder given for the text dictionary");
  const fs::path file = fs::temp_directory_path() / "kivo-ddwriter-never-created.ktc";
  ExpectError<Exception>(
      [&] { _SaveDataToTextFile(source, file.string(), nullptr, ',', '"', nullptr); },
      "No encoder given for the text dictionary");
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(out.Size(), 0);
  EXPECT_EQ(source.disable_calls, 0);
  EXPECT_EQ(source.enable_calls, 0);
}

TEST(KivoMultiDDWriter, TooLongErrorsNameTheString) {
  EXPECT_EQ(BinaryDDNameTooLong(2, 2147483648u).Message(),
            "Field name too long for a binary dictionary: field 2, 2147483648 bytes");
  EXPECT_EQ(BinaryDDValueTooLong("DisplayValue", 7, 4294967296u).Message(),
            "Value too long for a binary dictionary: field \"DisplayValue\", record 7, "
            "4294967296 bytes");
}

// Needs 2 GiB of memory and several seconds: runs only when KIVO_TEST_HUGE_VALUES is set.
TEST(KivoMultiDDWriter, BinaryWriterRefusesAValueItsLengthsCannotHold) {
  if (std::getenv("KIVO_TEST_HUGE_VALUES") == nullptr) {
    GTEST_SKIP() << "set KIVO_TEST_HUGE_VALUES to write a value of 2^31 bytes";
  }
  std::vector<std::vector<std::string>> rows(2);
  rows[0] = {"a", "b"};
  rows[1].push_back("k");
  rows[1].push_back(std::string(kMaxBinaryDDLength + 1, 'x'));
  MemoryReader source({"Key", "Value"}, std::move(rows));
  TMemoryStream out;
  ExpectError<EWriteError>(
      [&] { _SaveDataToBinaryStream(source, out, nullptr); },
      "Value too long for a binary dictionary: field \"Value\", record 2, 2147483648 bytes");
  ExpectControlsBalanced(source);
}

// ----- Files -----

class KivoMultiDDWriterFile : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string pattern = (fs::temp_directory_path() / "kivo-ddwriter-test-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string PathOf(const std::string& name) const { return (dir_ / name).string(); }

  static std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  fs::path dir_;
};

TEST_F(KivoMultiDDWriterFile, FileInAMissingDirectoryIsNotCreated) {
  for (const FileWriter& writer : kFileWriters) {
    SCOPED_TRACE(writer.name);
    MemoryReader source = ExampleSource();
    const std::string path = PathOf("missing/de.dict");
    ExpectError<EFCreateError>([&] { writer.write(source, path, nullptr); },
                               "Cannot create file \"" + path + "\". No such file or directory");
    EXPECT_EQ(source.disable_calls, 0);
    EXPECT_EQ(source.enable_calls, 0);
  }
}

TEST_F(KivoMultiDDWriterFile, FileHoldsWhatTheStreamWriterWrites) {
  for (const FileWriter& writer : kFileWriters) {
    SCOPED_TRACE(writer.name);
    const std::string path = PathOf(std::string("de.") + writer.name);
    std::ofstream(path, std::ios::binary) << std::string(1000, 'x');  // longer than the output

    MemoryReader source = ExampleSource();
    writer.write(source, path, nullptr);
    ExpectControlsBalanced(source);
    MemoryReader stream_source = ExampleSource();
    EXPECT_EQ(ReadFile(path), WriteToString(writer.stream_writer, stream_source));
  }
}

TEST_F(KivoMultiDDWriterFile, FailedWriteClosesTheFileAndLeavesIt) {
  for (const FileWriter& writer : kFileWriters) {
    SCOPED_TRACE(writer.name);
    const std::string path = PathOf(std::string("de.") + writer.name);
    MemoryReader source = ThreeRecords();
    source.FailAfter(2);
    ExpectError<Exception>([&] { writer.write(source, path, nullptr); }, "source failed");
    ExpectControlsBalanced(source);
    EXPECT_TRUE(fs::exists(path));
    // A writer still holding the file would keep it locked.
    EXPECT_NO_THROW({ TFileStream again(path, fmCreate); });
  }
}

}  // namespace
}  // namespace kivo
