#include "kivo/core/KivoMultiDDReader.h"

#include <gtest/gtest.h>

#include <cctype>
#include <climits>
#include <cstdint>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "kivo/rtl/Exceptions.h"
#include "support/Bytes.h"
#include "support/Examples.h"
#include "support/FailingStream.h"
#include "support/MemoryReader.h"

namespace {

using namespace std::string_literals;

using kivo::EConvertError;
using kivo::IDataRead;
using kivo::StreamDDReaderClass;
using kivo::TBinaryStreamDDReader;
using kivo::TCustomStreamDDReader;
using kivo::TStreamDDReaderClass;
using kivo::TTextCSVStreamDDReader;
using kivo::TTextDFMStreamDDReader;
using kivo::testing::BytesStream;
using kivo::testing::Int32LE;
using kivo::testing::kNull;
using kivo::testing::LengthPrefixed;

using Row = std::vector<std::string>;  // a record's values, kNull for a null value

// The example dictionary: fields DDKey, CodePage, SeqNo, DisplayValue; records
// (File, 936, null, Datei) and (Say "hi", 936, empty, 50% CR LF more).
const std::vector<std::string> kExampleNames = {"DDKey", "CodePage", "SeqNo", "DisplayValue"};
const std::vector<Row> kExampleRows = {{"File", "936", kNull, "Datei"},
                                       {"Say \"hi\"", "936", "", "50%\r\nmore"}};

using kivo::testing::kBinaryExample;
using kivo::testing::kCsvExample;
using kivo::testing::kDfmExample;

// One reader class and a source for it.
struct FormatCase {
  const char* name;
  const TStreamDDReaderClass* (*cls)();
  std::string example;
  bool unknown_name_is_null;  // what _FieldIsNull answers for a name no field has
};

const std::vector<FormatCase>& Formats() {
  static const std::vector<FormatCase> formats = {
      {"csv", &StreamDDReaderClass<TTextCSVStreamDDReader>, kCsvExample, false},
      {"dfm", &StreamDDReaderClass<TTextDFMStreamDDReader>, kDfmExample, false},
      {"binary", &StreamDDReaderClass<TBinaryStreamDDReader>, kBinaryExample, true},
  };
  return formats;
}

std::unique_ptr<TCustomStreamDDReader> Open(const FormatCase& format, const std::string& bytes) {
  BytesStream source(bytes);
  return format.cls()->create(source);
}

// The current record.
Row Current(IDataRead& reader) {
  Row row;
  for (int i = 0; i < reader._GetFieldCount(); ++i) {
    row.push_back(reader._FieldIsNull(i) ? kNull : reader._GetFieldValue(i));
  }
  return row;
}

std::vector<std::string> Names(IDataRead& reader) {
  std::vector<std::string> names;
  for (int i = 0; i < reader._GetFieldCount(); ++i) names.push_back(reader._GetFieldName(i));
  return names;
}

// Every record from the current one on; fails the test instead of looping past `limit`.
std::vector<Row> Rest(IDataRead& reader, size_t limit = 1000) {
  std::vector<Row> rows;
  while (!reader._Eof()) {
    if (rows.size() >= limit) {
      ADD_FAILURE() << "more than " << limit << " records";
      break;
    }
    rows.push_back(Current(reader));
    reader._Next();
  }
  return rows;
}

// A binary dictionary of `names`, announcing `count`, with `rows` (kNull for null).
std::string Binary(const std::vector<std::string>& names, int count, const std::vector<Row>& rows) {
  std::string out = Int32LE(static_cast<int32_t>(names.size()));
  for (const std::string& name : names) out += LengthPrefixed(name);
  out += Int32LE(count);
  for (const Row& row : rows) {
    for (const std::string& value : row)
      out += value == kNull ? Int32LE(-1) : LengthPrefixed(value);
  }
  return out;
}

std::string Malformed(const std::string& reason_at) {
  return "Malformed binary dictionary: " + reason_at;
}

// --- The record cursor, in every format ------------------------------------------------------

TEST(KivoMultiDDReader, ReadsTheExampleInEveryFormat) {
  EXPECT_EQ(kBinaryExample.size(), 118u);
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    auto reader = Open(format, format.example);
    EXPECT_EQ(Names(*reader), kExampleNames);
    EXPECT_EQ(reader->_GetRecordCount(), 2);
    ASSERT_FALSE(reader->_Eof());
    EXPECT_EQ(reader->_GetRecordNo(), 1);
    // Record 1: the third value is null and reads as empty.
    EXPECT_TRUE(reader->_FieldIsNull(2));
    EXPECT_EQ(reader->_GetFieldValue(2), "");
    EXPECT_EQ(Current(*reader), kExampleRows[0]);
    reader->_Next();
    EXPECT_EQ(reader->_GetRecordNo(), 2);
    // Record 2: the third value is empty and not null.
    EXPECT_FALSE(reader->_FieldIsNull(2));
    EXPECT_EQ(reader->_GetFieldValue(3), "50%\r\nmore");
    EXPECT_EQ(Current(*reader), kExampleRows[1]);
    for (int i = 0; i < 4; ++i) EXPECT_FALSE(reader->_FieldIsBlob(i));
    EXPECT_FALSE(reader->_FieldIsBlob("DDKey"));
  }
}

TEST(KivoMultiDDReader, CursorKeepsTheLastRecordAtEndAndRestartsOnFirst) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    auto reader = Open(format, format.example);
    reader->_DisableControls();
    reader->_Next();
    reader->_Next();
    EXPECT_TRUE(reader->_Eof());
    EXPECT_EQ(reader->_GetRecordNo(), 2);
    EXPECT_EQ(Current(*reader), kExampleRows[1]);
    // At the end _Next changes nothing.
    reader->_Next();
    EXPECT_TRUE(reader->_Eof());
    EXPECT_EQ(reader->_GetRecordNo(), 2);
    EXPECT_EQ(Current(*reader), kExampleRows[1]);
    reader->_First();
    EXPECT_FALSE(reader->_Eof());
    EXPECT_EQ(reader->_GetRecordNo(), 1);
    EXPECT_EQ(Rest(*reader), kExampleRows);
    reader->_EnableControls();
  }
}

TEST(KivoMultiDDReader, FindsTheFirstFieldOfANameIgnoringCase) {
  struct Case {
    const char* name;
    const TStreamDDReaderClass* (*cls)();
    std::string bytes;
  };
  const std::vector<Case> cases = {
      {"csv", &StreamDDReaderClass<TTextCSVStreamDDReader>,
       "\"DDKey\",\"ddkey\",\"Other\",\r\n\"first\",\"second\",,\r\n"},
      {"dfm", &StreamDDReaderClass<TTextDFMStreamDDReader>,
       "\"DDKey\",\"ddkey\",\"Other\",\r\n\"first\",\"second\",,\r\n"},
      {"binary", &StreamDDReaderClass<TBinaryStreamDDReader>,
       Binary({"DDKey", "ddkey", "Other"}, 1, {{"first", "second", kNull}})},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BytesStream source(c.bytes);
    auto reader = c.cls()->create(source);
    EXPECT_EQ(reader->_GetFieldValue("ddkey"), "first");
    EXPECT_EQ(reader->_GetFieldValue("DDKEY"), "first");
    EXPECT_FALSE(reader->_FieldIsNull("DDKey"));
    EXPECT_TRUE(reader->_FieldIsNull("other"));
  }
}

TEST(KivoMultiDDReader, AnswersAnUnknownNameAsAbsent) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    auto reader = Open(format, format.example);
    EXPECT_EQ(reader->_GetFieldValue("NoSuchField"), "");
    EXPECT_EQ(reader->_FieldIsNull("NoSuchField"), format.unknown_name_is_null);
    EXPECT_FALSE(reader->_FieldIsBlob("NoSuchField"));
  }
}

TEST(KivoMultiDDReader, AnswersAnIndexOutsideTheFieldsAsAFieldWithoutData) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    auto reader = Open(format, format.example);
    for (int index : {-1, 4, INT_MAX, INT_MIN}) {
      SCOPED_TRACE(index);
      EXPECT_EQ(reader->_GetFieldName(index), "");
      EXPECT_EQ(reader->_GetFieldValue(index), "");
      EXPECT_TRUE(reader->_FieldIsNull(index));
      EXPECT_FALSE(reader->_FieldIsBlob(index));
      reader->SetField(index, "x");
      reader->SetValue(index, "x");
      reader->SetNull(index, false);
      EXPECT_EQ(reader->GetField(index), "");
      EXPECT_EQ(reader->GetValue(index), "");
      EXPECT_TRUE(reader->GetNull(index));
    }
    EXPECT_EQ(Current(*reader), kExampleRows[0]);
  }
}

TEST(KivoMultiDDReader, ReadsTheSourceFromItsFirstByteAndKeepsNoReference) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    std::unique_ptr<TCustomStreamDDReader> reader;
    {
      BytesStream source(format.example);
      source.Seek(0, kivo::soEnd);
      reader = format.cls()->create(source);
    }
    EXPECT_EQ(Names(*reader), kExampleNames);
    EXPECT_EQ(Rest(*reader), kExampleRows);
  }
}

TEST(KivoMultiDDReader, PropagatesAFailureOfTheSource) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    kivo::testing::FailingStream source(format.example, 10, kivo::testing::FailingStream::kNever);
    try {
      format.cls()->create(source);
      ADD_FAILURE() << "no error";
    } catch (const kivo::EReadError& e) {
      EXPECT_EQ(e.Message(), "Stream read error");
    }
  }
}

TEST(KivoMultiDDReader, SetFieldCountKeepsTheFirstFields) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    auto reader = Open(format, format.example);
    reader->SetFieldCount(3);
    EXPECT_EQ(reader->FieldCount(), 3);
    EXPECT_EQ(Names(*reader), (std::vector<std::string>{"DDKey", "CodePage", "SeqNo"}));
    EXPECT_EQ(Current(*reader), (Row{"File", "936", kNull}));
    reader->SetFieldCount(5);
    EXPECT_EQ(Names(*reader), (std::vector<std::string>{"DDKey", "CodePage", "SeqNo", "", ""}));
    EXPECT_EQ(Current(*reader), (Row{"File", "936", kNull, "", ""}));
    reader->SetFieldCount(-1);
    EXPECT_EQ(reader->_GetFieldCount(), 0);
  }
}

TEST(KivoMultiDDReader, DescribesEachReaderClassOnce) {
  const TStreamDDReaderClass* csv = StreamDDReaderClass<TTextCSVStreamDDReader>();
  EXPECT_EQ(csv, StreamDDReaderClass<TTextCSVStreamDDReader>());
  EXPECT_NE(csv, StreamDDReaderClass<TTextDFMStreamDDReader>());
  EXPECT_EQ(csv->cls, TTextCSVStreamDDReader::StaticClass());
  EXPECT_EQ(StreamDDReaderClass<TBinaryStreamDDReader>()->cls->Name(), "TBinaryStreamDDReader");
  BytesStream source(kCsvExample);
  auto reader = csv->create(source);
  EXPECT_EQ(reader->ClassName(), "TTextCSVStreamDDReader");
  EXPECT_TRUE(reader->InheritsFrom(kivo::TCustomTextStreamDDReader::StaticClass()));
  EXPECT_TRUE(reader->InheritsFrom(kivo::TCustomDDReader::StaticClass()));
  EXPECT_EQ(kivo::FindClass("TTextDFMStreamDDReader"), TTextDFMStreamDDReader::StaticClass());
}

// --- Text line layout ------------------------------------------------------------------------

struct LayoutCase {
  const char* name;
  std::string bytes;
  std::vector<std::string> names;
  int record_count;
  std::vector<Row> rows;
};

TEST(KivoMultiDDReader, DelimitsTextFieldsByTheLineLayout) {
  const std::vector<LayoutCase> cases = {
      {"empty source", "", {}, 0, {}},
      {"header without CR", "\"A\",\"B\",", {"A", "B"}, -1, {}},
      {"header without separator", "\"A\"", {"A"}, -1, {}},
      {"header with CR LF and nothing after", "\"A\",\"B\",\r\n", {"A", "B"}, 0, {}},
      {"header with CR only", "\"A\",\r", {"A"}, 0, {}},
      {"header ending in an empty field", ",\r\n\"x\",\r\n", {""}, 1, {{"x"}}},
      {"records",
       "\"A\",\"B\",\r\n\"1\",\"2\",\r\n,\"\",\r\n",
       {"A", "B"},
       2,
       {{"1", "2"}, {kNull, ""}}},
      {"separator, CR and LF inside quotes",
       "\"A\",\r\n\"a,b\r\nc\",\r\n",
       {"A"},
       1,
       {{"a,b\r\nc"}}},
      {"unquoted fields", "A,B,\r\nx y,936,\r\n", {"A", "B"}, 1, {{"x y", "936"}}},
      {"trailing blank line",
       "\"A\",\"B\",\r\n\"1\",\"2\",\r\n\r\n",
       {"A", "B"},
       2,
       {{"1", "2"}, {"\r\n", kNull}}},
      {"last record without line end", "\"A\",\r\n\"1\",", {"A"}, 0, {{"1"}}},
      {"last record cut inside its field",
       "\"A\",\"B\",\r\n\"1\",\"2",
       {"A", "B"},
       0,
       {{"1", "2"}}},
      {"short line runs on into the next",
       "\"A\",\"B\",\r\n\"1\",\r\n\"2\",\r\n",
       {"A", "B"},
       2,
       {{"1", "\r\n2"}}},
      {"bare LF line ends", "\"A\",\"B\",\n\"1\",\"2\",\n", {"A", "B", "\n1", "2", "\n"}, -1, {}},
      {"bare CR line ends lose a byte", "A,\rxy,\rzw,\r", {"A"}, 2, {{"y"}, {"w"}}},
      {"bare CR line ends lose an opening quote",
       "\"A\",\r\"1\",\r\"2\",\r",
       {"A"},
       2,
       {{"1,\r2,\r"}}},
      {"unpaired quote swallows the rest",
       "\"A\",\"B\",\r\n\"1,\"2\",\r\n",
       {"A", "B"},
       0,
       {{"1,2,\r\n", kNull}}},
      {"CR after a field without separator is data", "\"A\"\r\n\"B\",\r\n", {"A\r\nB"}, 1, {}},
  };
  for (const LayoutCase& c : cases) {
    SCOPED_TRACE(c.name);
    BytesStream source(c.bytes);
    TTextCSVStreamDDReader reader(source);
    EXPECT_EQ(Names(reader), c.names);
    EXPECT_EQ(reader._GetRecordCount(), c.record_count);
    EXPECT_EQ(reader._GetRecordNo(), c.rows.empty() ? 0 : 1);
    EXPECT_EQ(Rest(reader), c.rows);
    reader._First();
    EXPECT_EQ(Rest(reader), c.rows);
  }
}

TEST(KivoMultiDDReader, ReadsTextWithOtherSeparatorAndQuote) {
  BytesStream source("'A';'B;C';\r\n'it''s';;\r\n");
  TTextCSVStreamDDReader csv(source, ';', '\'');
  EXPECT_EQ(Names(csv), (std::vector<std::string>{"A", "B;C"}));
  EXPECT_EQ(Rest(csv), (std::vector<Row>{{"it's", kNull}}));
  TTextDFMStreamDDReader dfm(source, ';', '\'');
  EXPECT_EQ(Names(dfm), (std::vector<std::string>{"A", "B;C"}));
  EXPECT_EQ(Rest(dfm), (std::vector<Row>{{"it's", kNull}}));
  EXPECT_EQ(dfm.DecodeStr("'a\"b'#9"), "a\"b\t");
}

TEST(KivoMultiDDReader, DecodesCsvFields) {
  BytesStream empty("");
  TTextCSVStreamDDReader reader(empty);
  struct Case {
    const char* name;
    std::string field;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"two quotes are the empty value", "\"\"", ""},
      {"four quotes are two quotes", "\"\"\"\"", "\"\""},
      {"six quotes are three quotes", "\"\"\"\"\"\"", "\"\"\""},
      {"quoted text", "\"File\"", "File"},
      {"unquoted text unchanged", "Say hi", "Say hi"},
      {"doubled quote inside", "\"Say \"\"hi\"\"\"", "Say \"hi\""},
      {"single quote inside dropped", "\"a\"b\"", "ab"},
      {"lone quote", "\"", ""},
      {"lone trailing quote", "ab\"", "ab"},
      {"escapes", "\"50%%%c%nmore\"", "50%\r\nmore"},
      {"zero byte", "%0", "\0"s},
      {"escapes without quotes", "a%cb%n", "a\rb\n"},
      {"percent before another byte gives that byte", "\"%x%C%\"\"", "xC\""},
      {"lone trailing percent dropped", "\"a\"%", "a"},
      {"lone percent", "%", ""},
      {"separator and tab kept", "\"a,b\tc\"", "a,b\tc"},
      {"bytes above 127 kept", "\"\xE4\xF6\xFF\"", "\xE4\xF6\xFF"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reader.DecodeStr(c.field), c.value);
  }
}

TEST(KivoMultiDDReader, DecodesDfmFields) {
  BytesStream empty("");
  TTextDFMStreamDDReader reader(empty);
  struct Case {
    const char* name;
    std::string field;
    std::string value;
  };
  const std::vector<Case> cases = {
      {"two quotes are the empty value", "\"\"", ""},
      {"four quotes are one quote", "\"\"\"\"", "\""},
      {"six quotes are two quotes", "\"\"\"\"\"\"", "\"\""},
      {"codes and a run", "#65#66\"C\"", "ABC"},
      {"hash inside a run", "\"a#13\"", "a#13"},
      {"bytes between runs", "\"a\"x\"b\"", "axb"},
      {"example value", "\"50%\"#13#10\"more\"", "50%\r\nmore"},
      {"doubled quote inside", "\"Say \"\"hi\"\"\"", "Say \"hi\""},
      {"run opened by three quotes", "\"\"\"a\"", "\"a"},
      {"code above 255 keeps its low byte", "#321", "A"},
      {"code with leading zeros", "#0065", "A"},
      {"zero byte", "#0", "\0"s},
      {"largest code", "#2147483647", "\xFF"},
      {"unquoted text", "abc", "abc"},
      {"unclosed run", "\"abc", "abc"},
      {"percent is plain", "\"%c\"", "%c"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(reader.DecodeStr(c.field), c.value);
  }
}

TEST(KivoMultiDDReader, RejectsDfmCodesThatAreNotIntegers) {
  BytesStream empty("");
  TTextDFMStreamDDReader reader(empty);
  struct Case {
    std::string field;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"\"a\"#", "'' is not a valid integer value"},
      {"#", "'' is not a valid integer value"},
      {"#x", "'' is not a valid integer value"},
      {"#-1", "'' is not a valid integer value"},
      {"#2147483648", "'2147483648' is not a valid integer value"},
      {"#99999999999999999999", "'99999999999999999999' is not a valid integer value"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.field);
    try {
      reader.DecodeStr(c.field);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(KivoMultiDDReader, DfmConversionErrorLeavesTheReadingOperation) {
  // In the header or the first record the construction fails.
  for (const std::string& bytes : {"\"A\"#,\r\n"s, "\"A\",\r\n#,\r\n"s}) {
    SCOPED_TRACE(bytes);
    BytesStream source(bytes);
    try {
      TTextDFMStreamDDReader reader(source);
      ADD_FAILURE() << "no error";
    } catch (const EConvertError& e) {
      EXPECT_EQ(e.Message(), "'' is not a valid integer value");
    }
  }
  // Later, _Next fails.
  BytesStream source("\"A\",\r\n#65,\r\n#4294967296,\r\n");
  TTextDFMStreamDDReader reader(source);
  EXPECT_EQ(reader._GetFieldValue(0), "A");
  try {
    reader._Next();
    ADD_FAILURE() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "'4294967296' is not a valid integer value");
  }
  EXPECT_EQ(reader._GetRecordNo(), 1);
  reader._First();
  EXPECT_EQ(reader._GetFieldValue(0), "A");
}

// A reader derived from a flavour: parsed with the flavour's decoding while the flavour is
// constructed, then with its own when it opens the source again.
class UpperCsvReader : public TTextCSVStreamDDReader {
 public:
  UpperCsvReader(kivo::TStream& source, bool reopen) : TTextCSVStreamDDReader(source) {
    if (reopen) Open();
  }

 protected:
  void DecodeStrInto(std::string_view field, std::string& out) override {
    TTextCSVStreamDDReader::DecodeStrInto(field, out);
    for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  }
};

TEST(KivoMultiDDReader, DerivedTextReaderDecodesWithItsOwnHookAfterReopening) {
  const std::string bytes = "\"a\",\r\n\"x\",\r\n\"y\",\r\n";
  BytesStream source(bytes);
  UpperCsvReader plain(source, false);
  EXPECT_EQ(Names(plain), (std::vector<std::string>{"a"}));
  EXPECT_EQ(plain._GetFieldValue(0), "x");
  plain._Next();
  EXPECT_EQ(plain._GetFieldValue(0), "Y");  // records read after construction use the override
  UpperCsvReader reopened(source, true);
  EXPECT_EQ(Names(reopened), (std::vector<std::string>{"A"}));
  EXPECT_EQ(reopened._GetRecordCount(), 2);
  EXPECT_EQ(Rest(reopened), (std::vector<Row>{{"X"}, {"Y"}}));
  EXPECT_EQ(reopened.DecodeStr("\"b\""), "B");
}

// --- Binary layout ---------------------------------------------------------------------------

TEST(KivoMultiDDReader, ReadsBinaryNullsAndEmptyValues) {
  struct Case {
    const char* name;
    std::string bytes;
    std::vector<std::string> names;
    int record_count;
    std::vector<Row> rows;
  };
  const std::vector<Case> cases = {
      {"all null",
       Binary({"A", "B"}, 2, {{kNull, kNull}, {kNull, kNull}}),
       {"A", "B"},
       2,
       {{kNull, kNull}, {kNull, kNull}}},
      {"null after x",
       Binary({"A"}, 2, {{"x"}, {kNull}, {"y"}}),
       {"A"},
       2,
       {{"x"}, {kNull}, {"y"}}},
      {"empty after x", Binary({"A"}, 2, {{"x"}, {""}}), {"A"}, 2, {{"x"}, {""}}},
      {"no records", Binary({"A", "B"}, 0, {}), {"A", "B"}, 0, {}},
      {"announced count kept", Binary({"A"}, -7, {{"v"}}), {"A"}, -7, {{"v"}}},
      {"empty and binary names",
       Binary({"", "\0\r\n"s}, 1, {{"\0"s, "\xFF"}}),
       {"", "\0\r\n"s},
       1,
       {{"\0"s, "\xFF"}}},
      {"empty source", "", {}, 0, {}},
      {"no fields: trailing bytes are no records", Int32LE(0) + Int32LE(5) + "garbage", {}, 5, {}},
      {"header cut in the field count", "\x01\x00"s, {}, 0, {}},
      {"header cut in a name", Int32LE(2) + LengthPrefixed("A") + Int32LE(3) + "B", {"A"}, 0, {}},
      {"header cut before the record count",
       Int32LE(1) + LengthPrefixed("A") + "\x01"s,
       {"A"},
       0,
       {}},
      {"name longer than the data",
       Int32LE(2) + LengthPrefixed("A") + Int32LE(0x7FFFFFFF) + "xy",
       {"A"},
       0,
       {}},
      {"value longer than the data",
       Binary({"A"}, 2, {{"x"}}) + Int32LE(0x7FFFFFFF) + "abc",
       {"A"},
       2,
       {{"x"}}},
      {"record cut in a length",
       Binary({"A", "B"}, 2, {{"x", "y"}}) + LengthPrefixed("z") + "\0"s,
       {"A", "B"},
       2,
       {{"x", "y"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BytesStream source(c.bytes);
    TBinaryStreamDDReader reader(source);
    EXPECT_EQ(Names(reader), c.names);
    EXPECT_EQ(reader._GetRecordCount(), c.record_count);
    EXPECT_EQ(Rest(reader), c.rows);
    if (!c.rows.empty()) {
      EXPECT_EQ(Current(reader), c.rows.back());
    }
    EXPECT_EQ(reader._GetRecordNo(), static_cast<int>(c.rows.size()));
    reader._Next();
    EXPECT_TRUE(reader._Eof());
    reader._First();
    EXPECT_EQ(Rest(reader), c.rows);
  }
}

TEST(KivoMultiDDReader, NullAfterAValueReadsAsEmpty) {
  BytesStream source(Binary({"A"}, 2, {{"x"}, {kNull}}));
  TBinaryStreamDDReader reader(source);
  EXPECT_EQ(reader._GetFieldValue("A"), "x");
  reader._Next();
  EXPECT_TRUE(reader._FieldIsNull(0));
  EXPECT_TRUE(reader._FieldIsNull("a"));
  EXPECT_EQ(reader._GetFieldValue(0), "");
  EXPECT_EQ(reader._GetFieldValue("A"), "");
}

TEST(KivoMultiDDReader, RejectsAMalformedBinaryHeader) {
  struct Case {
    const char* name;
    std::string bytes;
    std::string message;
  };
  const std::vector<Case> cases = {
      {"negative field count", Int32LE(-1), Malformed("negative field count (-1) at byte 0")},
      {"smallest field count", Int32LE(INT_MIN) + Int32LE(0),
       Malformed("negative field count (-2147483648) at byte 0")},
      {"huge field count", Int32LE(0x7FFFFFFF) + Int32LE(0) + Int32LE(0),
       Malformed("field count (2147483647) larger than the data at byte 0")},
      {"field count one more than the lengths", Int32LE(3) + Int32LE(0) + Int32LE(0),
       Malformed("field count (3) larger than the data at byte 0")},
      {"negative name length", Int32LE(2) + LengthPrefixed("A") + Int32LE(-1) + Int32LE(0),
       Malformed("negative name length (-1) at byte 9")},
      {"negative value length in the first record",
       Binary({"A", "B"}, 1, {}) + LengthPrefixed("x") + Int32LE(-2),
       Malformed("invalid value length (-2) at byte 23")},
      {"smallest value length", Binary({"A"}, 1, {}) + Int32LE(INT_MIN),
       Malformed("invalid value length (-2147483648) at byte 13")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    BytesStream source(c.bytes);
    try {
      TBinaryStreamDDReader reader(source);
      ADD_FAILURE() << "no error";
    } catch (const kivo::Exception& e) {
      EXPECT_EQ(e.Message(), c.message);
    }
  }
}

TEST(KivoMultiDDReader, MalformedBinaryRecordFailsNextAndChangesNothing) {
  const std::string bytes = Binary({"A", "B"}, 3, {{"x", kNull}}) + LengthPrefixed("y") +
                            Int32LE(-3) + LengthPrefixed("z") + Int32LE(-1);
  BytesStream source(bytes);
  TBinaryStreamDDReader reader(source);
  ASSERT_EQ(Current(reader), (Row{"x", kNull}));
  for (int attempt = 0; attempt < 2; ++attempt) {
    SCOPED_TRACE(attempt);
    try {
      reader._Next();
      ADD_FAILURE() << "no error";
    } catch (const kivo::Exception& e) {
      EXPECT_EQ(e.Message(), Malformed("invalid value length (-3) at byte 32"));
    }
    EXPECT_FALSE(reader._Eof());
    EXPECT_EQ(reader._GetRecordNo(), 1);
    EXPECT_EQ(Current(reader), (Row{"x", kNull}));
  }
}

// --- Hostile input ---------------------------------------------------------------------------

// Reads everything a reader over `bytes` gives, checking the cursor as it goes. The number of
// records is bounded by the data: a text record takes at least two bytes, a binary one four.
void ScanHostile(const FormatCase& format, const std::string& bytes) {
  std::unique_ptr<TCustomStreamDDReader> reader;
  try {
    reader = Open(format, bytes);
  } catch (const EConvertError&) {
    return;  // DFM codes
  } catch (const kivo::Exception& e) {
    EXPECT_EQ(e.Message().rfind("Malformed binary dictionary: ", 0), 0u) << e.Message();
    return;
  }
  const size_t limit = bytes.size() / 2 + 2;
  for (int pass = 0; pass < 2; ++pass) {
    size_t records = 0;
    while (!reader->_Eof()) {
      ASSERT_LE(++records, limit);
      ASSERT_EQ(reader->_GetRecordNo(), static_cast<int>(records));
      for (int i = 0; i < reader->_GetFieldCount(); ++i) {
        ASSERT_LE(reader->_GetFieldValue(i).size(), bytes.size());
        if (reader->_FieldIsNull(i)) {
          ASSERT_EQ(reader->_GetFieldValue(i), "");
        }
      }
      try {
        reader->_Next();
      } catch (const EConvertError&) {
        break;
      } catch (const kivo::Exception& e) {
        EXPECT_EQ(e.Message().rfind("Malformed binary dictionary: ", 0), 0u) << e.Message();
        break;
      }
    }
    reader->_First();
  }
}

TEST(KivoMultiDDReader, ReadsEveryTruncatedExampleSafely) {
  for (const FormatCase& format : Formats()) {
    SCOPED_TRACE(format.name);
    for (size_t length = 0; length <= format.example.size(); ++length) {
      SCOPED_TRACE(length);
      ScanHostile(format, format.example.substr(0, length));
    }
  }
}

TEST(KivoMultiDDReader, TruncatedBinaryExampleEndsAtTheLastCompleteItem) {
  // Offsets in the example: names end at 13, 25, 34 and 50, the record count at 54, the records
  // at 82 and 118.
  for (size_t length = 0; length <= kBinaryExample.size(); ++length) {
    SCOPED_TRACE(length);
    BytesStream source(kBinaryExample.substr(0, length));
    if (length >= 4 && length < 20) {
      try {
        TBinaryStreamDDReader reader(source);
        ADD_FAILURE() << "no error";
      } catch (const kivo::Exception& e) {
        EXPECT_EQ(e.Message(), Malformed("field count (4) larger than the data at byte 0"));
      }
      continue;
    }
    TBinaryStreamDDReader reader(source);
    const int names = length >= 50 ? 4 : length >= 34 ? 3 : length >= 25 ? 2 : length >= 13 ? 1 : 0;
    EXPECT_EQ(Names(reader),
              std::vector<std::string>(kExampleNames.begin(), kExampleNames.begin() + names));
    EXPECT_EQ(reader._GetRecordCount(), length >= 54 ? 2 : 0);
    const size_t records = length >= 118 ? 2 : length >= 82 ? 1 : 0;
    EXPECT_EQ(Rest(reader), std::vector<Row>(kExampleRows.begin(), kExampleRows.begin() + records));
    EXPECT_EQ(reader._GetRecordNo(), static_cast<int>(records));
  }
}

TEST(KivoMultiDDReader, ReadsRandomBytesSafely) {
  // Bytes that matter to the parsers, and a few that do not.
  const std::string alphabet = "\",,\r\n%%#0123cnx\x01\x00\xFF\xFF\x7F\x80"s;
  std::mt19937 random(20240611);
  std::uniform_int_distribution<size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<size_t> length(0, 48);
  for (int round = 0; round < 3000; ++round) {
    std::string bytes(length(random), '\0');
    for (char& c : bytes) c = alphabet[pick(random)];
    // Binary inputs start with a small field count more often than chance gives.
    const std::string binary = (round % 2 == 0 ? Int32LE(round % 4) : "") + bytes;
    SCOPED_TRACE(round);
    ScanHostile(Formats()[0], bytes);
    ScanHostile(Formats()[1], bytes);
    ScanHostile(Formats()[2], binary);
  }
}

}  // namespace
