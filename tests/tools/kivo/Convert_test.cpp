#include <sys/stat.h>
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "KivoTool.h"
#include "support/Bytes.h"

namespace kivo::tool {
namespace {

namespace fs = std::filesystem;
using testing::Int32LE;
using testing::LengthPrefixed;

// A conversion of one input file (the only file in the folder) into one output file.
struct ConversionCase {
  const char* name;
  std::string in_name;
  std::string in_bytes;
  std::vector<std::string> options;
  std::string out_name;
  std::string out_bytes;
};

class Convert : public KivoTool {
 protected:
  // Runs every row in an empty folder; checks that it succeeds silently, writes exactly the
  // expected bytes, keeps the input and leaves no other file.
  void ExpectConversions(const std::vector<ConversionCase>& cases) {
    for (const ConversionCase& row : cases) {
      SCOPED_TRACE(row.name);
      fs::remove_all(dir_);
      fs::create_directory(dir_);
      WriteFile(row.in_name, row.in_bytes);
      std::vector<std::string> args = {"convert", Path(row.in_name), Path(row.out_name)};
      args.insert(args.end(), row.options.begin(), row.options.end());
      const RunResult result = Run(args);
      EXPECT_EQ(result.status, 0);
      EXPECT_EQ(result.out, "");
      EXPECT_EQ(result.err, "");
      EXPECT_EQ(ReadFile(row.out_name), row.out_bytes);
      EXPECT_EQ(ReadFile(row.in_name), row.in_bytes);
      EXPECT_EQ(Files(), (std::vector<std::string>{std::min(row.in_name, row.out_name),
                                                   std::max(row.in_name, row.out_name)}));
    }
  }
};

TEST(ConvertExample, BinaryBytesAreTheDocumentedLayout) {
  // The binary example, spelled out byte for byte in support/Examples.h, against its layout built
  // field by field: the record count, the length-prefixed field names, then each record's fields
  // (a length of -1 for a null value).
  using testing::Int32LE;
  using testing::LengthPrefixed;
  const std::string expected =
      Int32LE(4) + LengthPrefixed("DDKey") + LengthPrefixed("CodePage") + LengthPrefixed("SeqNo") +
      LengthPrefixed("DisplayValue") + Int32LE(2) + LengthPrefixed("File") + LengthPrefixed("936") +
      Int32LE(-1) + LengthPrefixed("Datei") + LengthPrefixed("Say \"hi\"") + LengthPrefixed("936") +
      Int32LE(0) + LengthPrefixed("50%\r\nmore");
  EXPECT_EQ(expected.size(), 118U);
  EXPECT_EQ(ExampleBinary(), expected);
}

TEST_F(Convert, ExamplesConvertBetweenTheFormatsByExtension) {
  ExpectConversions({
      {"CSV to DFM", "example.ktc", kExampleCSV, {}, "example.ktf", kExampleDFM},
      {"CSV to binary", "example.ktc", kExampleCSV, {}, "example.kbf", ExampleBinary()},
      {"DFM to CSV", "example.ktf", kExampleDFM, {}, "example.ktc", kExampleCSV},
      {"binary to CSV", "example.kbf", ExampleBinary(), {}, "example.ktc", kExampleCSV},
      {"binary to DFM", "example.kbf", ExampleBinary(), {}, "example.ktf", kExampleDFM},
      {"DFM to binary", "example.ktf", kExampleDFM, {}, "example.kbf", ExampleBinary()},
      {"CSV to .lng", "example.ktc", kExampleCSV, {}, "example.lng", kExampleCSV},
      {".lng to DFM", "example.lng", kExampleCSV, {}, "example.ktf", kExampleDFM},
      {"extensions in capitals", "EXAMPLE.KTC", kExampleCSV, {}, "EXAMPLE.KBF", ExampleBinary()},
      {"extensions in mixed case", "example.Kbf", ExampleBinary(), {}, "example.kTf", kExampleDFM},
  });
}

TEST_F(Convert, FromAndToOverrideTheExtensions) {
  ExpectConversions({
      {"both given, no extensions",
       "in.txt",
       kExampleCSV,
       {"--from", "KIVOTEXTCSV", "--to", "kivobinary"},
       "out.dat",
       ExampleBinary()},
      {"--to against the extension",
       "in.ktc",
       kExampleCSV,
       {"--to", "KivoTextDFM"},
       "out.ktc",
       kExampleDFM},
      {"--from against the extension",
       "in.ktc",
       ExampleBinary(),
       {"--from=kivoBinary"},
       "out.ktf",
       kExampleDFM},
      {"--from=value and --to=value",
       "in",
       kExampleDFM,
       {"--from=KivoTextDFM", "--to=KivoTextCSV"},
       "out",
       kExampleCSV},
      {"options before the files",
       "in.x",
       kExampleCSV,
       {"--to", "kivotextcsv", "--from", "kivotextcsv"},
       "out.y",
       kExampleCSV},
  });
}

TEST_F(Convert, AnUnknownExtensionWithoutAnOptionIsAUsageError) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {"input",
       {"{dir}/in.txt", "{dir}/out.ktc"},
       "kivo: unknown dictionary format of \"{dir}/in.txt\" (give --from ID)\n"},
      {"output",
       {"{dir}/in.ktc", "{dir}/out.txt"},
       "kivo: unknown dictionary format of \"{dir}/out.txt\" (give --to ID)\n"},
      {"no extension",
       {"{dir}/in.ktc", "{dir}/out"},
       "kivo: unknown dictionary format of \"{dir}/out\" (give --to ID)\n"},
      {"--from does not name the output's",
       {"{dir}/in.ktc", "{dir}/out.txt", "--from", "KivoTextCSV"},
       "kivo: unknown dictionary format of \"{dir}/out.txt\" (give --to ID)\n"},
  };
  WriteFile("in.ktc", kExampleCSV);
  WriteFile("in.txt", kExampleCSV);
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    std::vector<std::string> args = {"convert"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, Expand(row.err) + "Try 'kivo convert --help'.\n");
    EXPECT_EQ(Files(), (std::vector<std::string>{"in.ktc", "in.txt"}));
  }
}

TEST_F(Convert, AFailureLeavesAnExistingOutputAndNoTemporaryFile) {
  // A binary source whose second record has a value length of −2: the reader fails while the
  // writer is half-way, after the temporary file exists.
  const std::string bad_second_record =
      Int32LE(1) + LengthPrefixed("DDKey") + Int32LE(2) + LengthPrefixed("File") + Int32LE(-2);
  struct Case {
    const char* name;
    std::string in_name;  // written with in_bytes unless empty
    std::string in_bytes;
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {"missing input",
       "",
       "",
       {"{dir}/none.ktc", "{dir}/out.ktf"},
       "kivo: Cannot open file \"{dir}/none.ktc\". No such file or directory\n"},
      {"malformed binary header",
       "in.kbf",
       Int32LE(-1),
       {"{dir}/in.kbf", "{dir}/out.ktf"},
       "kivo: Malformed binary dictionary: negative field count (-1) at byte 0 in "
       "\"{dir}/in.kbf\"\n"},
      {"malformed binary record",
       "in.kbf",
       bad_second_record,
       {"{dir}/in.kbf", "{dir}/out.ktf"},
       "kivo: Malformed binary dictionary: invalid value length (-2) at byte 25 in "
       "\"{dir}/in.kbf\"\n"},
      {"bad character code in a DFM record",
       "in.ktf",
       kExampleDFM + "\"Bad\",\"936\",,#,\r\n",
       {"{dir}/in.ktf", "{dir}/out.ktf"},
       "kivo: '' is not a valid integer value in \"{dir}/in.ktf\"\n"},
      {"output folder missing",
       "in.ktc",
       kExampleCSV,
       {"{dir}/in.ktc", "{dir}/no/out.ktf"},
       "kivo: Cannot create file \"{dir}/no/out.ktf\". No such file or directory\n"},
      {"output is a folder",
       "in.ktc",
       kExampleCSV,
       {"{dir}/in.ktc", "{dir}/sub.ktf"},
       "kivo: Cannot create file \"{dir}/sub.ktf\". Is a directory\n"},
      {"unknown reader",
       "in.ktc",
       kExampleCSV,
       {"{dir}/in.ktc", "{dir}/out.ktf", "--from", "Foo"},
       "kivo: dictionary reader ID \"Foo\" ,not registered!\n"},
      {"unknown writer",
       "in.ktc",
       kExampleCSV,
       {"{dir}/in.ktc", "{dir}/out.ktf", "--to", "Bar"},
       "kivo: dictionary reader ID \"Bar\" ,not registered!\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    fs::remove_all(dir_);
    fs::create_directory(dir_);
    fs::create_directory(Path("sub.ktf"));
    WriteFile("out.ktf", "old contents");
    if (!row.in_name.empty()) WriteFile(row.in_name, row.in_bytes);
    std::vector<std::string> args = {"convert"};
    args.insert(args.end(), row.args.begin(), row.args.end());
    const RunResult result = Run(args);
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, Expand(row.err));
    EXPECT_EQ(ReadFile("out.ktf"), "old contents");
    std::vector<std::string> expected_files = {"out.ktf", "sub.ktf"};
    if (!row.in_name.empty()) expected_files.insert(expected_files.begin(), row.in_name);
    EXPECT_EQ(Files(), expected_files);
  }
}

TEST_F(Convert, AFileConvertsOntoItself) {
  WriteFile("example.ktc", kExampleCSV);
  const RunResult result =
      Run({"convert", "{dir}/example.ktc", "{dir}/example.ktc", "--to", "KivoBinary"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(ReadFile("example.ktc"), ExampleBinary());
  EXPECT_EQ(Files(), std::vector<std::string>{"example.ktc"});
}

TEST_F(Convert, TheOutputKeepsTheReplacedFilesPermissionsOrGetsThoseOfANewFile) {
  WriteFile("example.ktc", kExampleCSV);
  WriteFile("old.ktf", "old contents");
  ASSERT_EQ(chmod(Path("old.ktf").c_str(), 0640), 0);
  ASSERT_EQ(Run({"convert", "{dir}/example.ktc", "{dir}/old.ktf"}).status, 0);
  ASSERT_EQ(Run({"convert", "{dir}/example.ktc", "{dir}/new.ktf"}).status, 0);

  const mode_t mask = umask(0);
  umask(mask);
  struct stat info;
  ASSERT_EQ(stat(Path("old.ktf").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
  ASSERT_EQ(stat(Path("new.ktf").c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0666u & ~mask);
}

TEST_F(Convert, AnOutputThatIsASymbolicLinkIsReplacedThroughTheLink) {
  WriteFile("example.ktc", kExampleCSV);
  WriteFile("target.ktf", "old contents");
  fs::create_symlink("target.ktf", Path("link.ktf"));
  const RunResult result = Run({"convert", "{dir}/example.ktc", "{dir}/link.ktf"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_TRUE(fs::is_symlink(Path("link.ktf")));
  EXPECT_EQ(ReadFile("target.ktf"), kExampleDFM);
  EXPECT_EQ(Files(), (std::vector<std::string>{"example.ktc", "link.ktf", "target.ktf"}));
}

TEST_F(Convert, ALargeSourceShowsNoProgressWhenTheErrorStreamIsNoTerminal) {
  std::string csv = "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n";
  std::string dfm = csv;
  for (int i = 0; i < 10000; ++i) {
    const std::string record = "\"Key" + std::to_string(i) + "\",\"1252\",,\"Value\",\r\n";
    csv += record;
    dfm += record;
  }
  WriteFile("large.ktc", csv);
  const RunResult result = Run({"convert", "{dir}/large.ktc", "{dir}/large.ktf"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(ReadFile("large.ktf"), dfm);
}

}  // namespace
}  // namespace kivo::tool
