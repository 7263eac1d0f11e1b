#include <string>
#include <vector>

#include "KivoTool.h"
#include "support/Bytes.h"

namespace kivo::tool {
namespace {

using testing::Int32LE;
using testing::LengthPrefixed;

struct InfoCase {
  const char* name;
  std::string file_name;
  std::string bytes;
  std::vector<std::string> options;
  std::string out;  // "{dir}" stands for the test's folder
};

class Info : public KivoTool {
 protected:
  void ExpectInfo(const std::vector<InfoCase>& cases) {
    for (const InfoCase& row : cases) {
      SCOPED_TRACE(row.name);
      WriteFile(row.file_name, row.bytes);
      std::vector<std::string> args = {"info", Path(row.file_name)};
      args.insert(args.end(), row.options.begin(), row.options.end());
      const RunResult result = Run(args);
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(result.out, Expand(row.out));
      EXPECT_EQ(result.err, "");
    }
  }
};

const std::string kExampleInfo =
    "fields: \"DDKey\", \"CodePage\", \"SeqNo\", \"DisplayValue\"\n"
    "records announced: 2\n"
    "records: 2\n"
    "code pages: 1\n"
    "  \"936\": 2 records\n"
    "duplicate hash keys: none\n";

TEST_F(Info, DescribesTheExampleInEveryFormat) {
  ExpectInfo({
      {"CSV",
       "example.ktc",
       kExampleCSV,
       {},
       "dictionary: \"{dir}/example.ktc\"\nreader: KivoTextCSV\n" + kExampleInfo},
      {"DFM",
       "example.ktf",
       kExampleDFM,
       {},
       "dictionary: \"{dir}/example.ktf\"\nreader: KivoTextDFM\n" + kExampleInfo},
      {"binary",
       "example.kbf",
       ExampleBinary(),
       {},
       "dictionary: \"{dir}/example.kbf\"\nreader: KivoBinary\n" + kExampleInfo},
      {"--reader",
       "example.bin",
       ExampleBinary(),
       {"--reader", "kivobinary"},
       "dictionary: \"{dir}/example.bin\"\nreader: kivobinary\n" + kExampleInfo},
  });
}

TEST_F(Info, CountsRecordsPerCodePageAndTheAnnouncedCountApart) {
  // A binary header announcing 5 records before the 3 that follow; a record without code page.
  const std::string binary = Int32LE(3) + LengthPrefixed("DDKey") + LengthPrefixed("CodePage") +
                             LengthPrefixed("DisplayValue") + Int32LE(5) + LengthPrefixed("Open") +
                             LengthPrefixed("1252") + LengthPrefixed("Öffnen") +
                             LengthPrefixed("Open") + LengthPrefixed("936") +
                             LengthPrefixed("打开") + LengthPrefixed("Close") + Int32LE(-1) +
                             LengthPrefixed("");
  ExpectInfo({
      {"announced count differs",
       "pages.kbf",
       binary,
       {},
       "dictionary: \"{dir}/pages.kbf\"\n"
       "reader: KivoBinary\n"
       "fields: \"DDKey\", \"CodePage\", \"DisplayValue\"\n"
       "missing fields: \"SeqNo\"\n"
       "records announced: 5\n"
       "records: 3\n"
       "code pages: 3\n"
       "  \"\": 1 record\n"
       "  \"1252\": 1 record\n"
       "  \"936\": 1 record\n"
       "duplicate hash keys: none\n"},
      {"no fields at all",
       "empty.ktc",
       "",
       {},
       "dictionary: \"{dir}/empty.ktc\"\n"
       "reader: KivoTextCSV\n"
       "fields: none\n"
       "missing fields: \"DDKey\", \"CodePage\", \"SeqNo\", \"DisplayValue\"\n"
       "records announced: 0\n"
       "records: 0\n"
       "code pages: 0\n"
       "duplicate hash keys: none\n"},
  });
}

TEST_F(Info, ListsDuplicatedHashKeysOfAFileThatCannotLoad) {
  // "File|936|" three times (a null and an empty sequence number are one key), a key with a tab,
  // quotes and a line break twice; "File|936|1" and "File|1252|" once each. The field names are
  // found without regard to letter case.
  const std::string csv =
      "\"ddkey\",\"CODEPAGE\",\"SeqNo\",\"DisplayValue\",\r\n"
      "\"File\",\"936\",,\"A\",\r\n"
      "\"Say\t\"\"hi\"\"%c%n\",\"936\",\"1\",\"B\",\r\n"
      "\"File\",\"936\",\"\",\"C\",\r\n"
      "\"File\",\"936\",\"1\",\"D\",\r\n"
      "\"Say\t\"\"hi\"\"%c%n\",\"936\",\"1\",\"E\",\r\n"
      "\"File\",\"1252\",,\"F\",\r\n"
      "\"File\",\"936\",,\"G\",\r\n";
  ExpectInfo({
      {"duplicates",
       "duplicates.ktc",
       csv,
       {},
       "dictionary: \"{dir}/duplicates.ktc\"\n"
       "reader: KivoTextCSV\n"
       "fields: \"ddkey\", \"CODEPAGE\", \"SeqNo\", \"DisplayValue\"\n"
       "records announced: 7\n"
       "records: 7\n"
       "code pages: 2\n"
       "  \"1252\": 1 record\n"
       "  \"936\": 6 records\n"
       "duplicate hash keys: 2\n"
       "  \"File\" | \"936\" | \"\": 3 records\n"
       "  \"Say\\t\\\"hi\\\"\\r\\n\" | \"936\" | \"1\": 2 records\n"},
  });
  // The same file does not load as a dictionary.
  const RunResult lookup = Run({"lookup", "{dir}/duplicates.ktc", "File"});
  EXPECT_EQ(lookup.status, 1);
  EXPECT_EQ(lookup.err, Expand("kivo: Duplicate hash list entry: File\t936\t in "
                               "\"{dir}/duplicates.ktc\"\n"));
}

TEST_F(Info, Errors) {
  struct Case {
    const char* name;
    std::vector<std::string> args;  // after "info"
    int status;
    std::string err;
  };
  WriteFile("bad.kbf", Int32LE(1) + Int32LE(-1));
  const std::vector<Case> cases = {
      {"missing file",
       {"{dir}/none.kbf"},
       1,
       "kivo: Cannot open file \"{dir}/none.kbf\". No such file or directory\n"},
      {"malformed binary",
       {"{dir}/bad.kbf"},
       1,
       "kivo: Malformed binary dictionary: negative name length (-1) at byte 4 in "
       "\"{dir}/bad.kbf\"\n"},
      {"unknown reader",
       {"{dir}/bad.kbf", "--reader", "Foo"},
       1,
       "kivo: dictionary reader ID \"Foo\" ,not registered!\n"},
      {"unknown extension",
       {"{dir}/bad.txt"},
       2,
       "kivo: unknown dictionary format of \"{dir}/bad.txt\" (give --reader ID)\n"
       "Try 'kivo info --help'.\n"},
      {"missing file argument", {}, 2, "kivo: missing argument DICT\nTry 'kivo info --help'.\n"},
      {"two files",
       {"{dir}/a.ktc", "{dir}/b.ktc"},
       2,
       "kivo: unexpected argument \"{dir}/b.ktc\"\nTry 'kivo info --help'.\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"info"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, row.status);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, Expand(row.err));
  }
}

}  // namespace
}  // namespace kivo::tool
