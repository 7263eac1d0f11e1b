#include <string>
#include <vector>

#include "KivoTool.h"

namespace kivo::tool {
namespace {

// Two records with the hash key "File\t936\t" (a null and an empty sequence number are the same).
const std::string kDuplicatesCSV =
    "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n"
    "\"File\",\"936\",,\"Datei\",\r\n"
    "\"File\",\"936\",\"\",\"Fichier\",\r\n";

// The example with a second code page and a numbered entry.
const std::string kCodePagesCSV =
    "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n"
    "\"File\",\"936\",,\"Datei\",\r\n"
    "\"File\",\"1252\",,\"Fichier\",\r\n"
    "\"File\",\"1252\",\"2\",\"Dossier\",\r\n";

struct LookupCase {
  const char* name;
  std::vector<std::string> args;  // after "lookup"
  int status;
  std::string out;
  std::string err;
};

class Lookup : public KivoTool {
 protected:
  void SetUp() override {
    KivoTool::SetUp();
    WriteFile("example.ktc", kExampleCSV);
    WriteFile("example.ktf", kExampleDFM);
    WriteFile("example.kbf", ExampleBinary());
    WriteFile("example.dat", ExampleBinary());
    WriteFile("pages.lng", kCodePagesCSV);
    WriteFile("duplicates.ktc", kDuplicatesCSV);
  }

  void ExpectLookups(const std::vector<LookupCase>& cases) {
    for (const LookupCase& row : cases) {
      SCOPED_TRACE(row.name);
      std::vector<std::string> args = {"lookup"};
      args.insert(args.end(), row.args.begin(), row.args.end());
      const RunResult result = Run(args);
      EXPECT_EQ(result.status, row.status);
      EXPECT_EQ(result.out, row.out);
      EXPECT_EQ(result.err, Expand(row.err));
    }
  }
};

TEST_F(Lookup, PrintsTheTranslationOrTheKeyItself) {
  ExpectLookups({
      {"translation", {"{dir}/example.ktc", "File", "--codepage", "936"}, 0, "Datei\n", ""},
      {"value with a line break",
       {"{dir}/example.ktc", "Say \"hi\"", "--codepage", "936"},
       0,
       "50%\r\nmore\n",
       ""},
      {"DFM file", {"{dir}/example.ktf", "Say \"hi\"", "--codepage=936"}, 0, "50%\r\nmore\n", ""},
      {"binary file", {"{dir}/example.kbf", "File", "--codepage", "936"}, 0, "Datei\n", ""},
      {"--reader for an unknown extension",
       {"{dir}/example.dat", "File", "--codepage", "936", "--reader", "KIVOBINARY"},
       0,
       "Datei\n",
       ""},
      {"missing key", {"{dir}/example.ktc", "Edit", "--codepage", "936"}, 0, "Edit\n", ""},
      {"no code page given", {"{dir}/example.ktc", "File"}, 0, "File\n", ""},
      {"other code page", {"{dir}/pages.lng", "File", "--codepage", "1252"}, 0, "Fichier\n", ""},
      {"sequence number",
       {"{dir}/pages.lng", "File", "--codepage", "1252", "--seqno", "2"},
       0,
       "Dossier\n",
       ""},
      {"sequence number without record",
       {"{dir}/pages.lng", "File", "--codepage", "936", "--seqno", "2"},
       0,
       "File\n",
       ""},
      {"key that looks like an option",
       {"{dir}/example.ktc", "--", "--codepage"},
       0,
       "--codepage\n",
       ""},
  });
}

TEST_F(Lookup, ErrorsNameTheirSubject) {
  ExpectLookups({
      {"missing file",
       {"{dir}/none.ktc", "File"},
       1,
       "",
       "kivo: Cannot open file \"{dir}/none.ktc\". No such file or directory\n"},
      {"duplicate hash keys",
       {"{dir}/duplicates.ktc", "File", "--codepage", "936"},
       1,
       "",
       "kivo: Duplicate hash list entry: File\t936\t in \"{dir}/duplicates.ktc\"\n"},
      {"malformed binary",
       {"{dir}/example.ktc", "File", "--reader", "KivoBinary"},
       1,
       "",
       "kivo: Malformed binary dictionary: field count (1262765090) larger than the data at "
       "byte 0 in \"{dir}/example.ktc\"\n"},
      {"unknown reader",
       {"{dir}/example.ktc", "File", "--reader", "Foo"},
       1,
       "",
       "kivo: dictionary reader ID \"Foo\" ,not registered!\n"},
      {"unknown extension",
       {"{dir}/example.dat", "File"},
       2,
       "",
       "kivo: unknown dictionary format of \"{dir}/example.dat\" (give --reader ID)\n"
       "Try 'kivo lookup --help'.\n"},
      {"missing key argument",
       {"{dir}/example.ktc"},
       2,
       "",
       "kivo: missing argument KEY\nTry 'kivo lookup --help'.\n"},
      {"option of another command",
       {"{dir}/example.ktc", "File", "--from", "KivoBinary"},
       2,
       "",
       "kivo: unknown option \"--from\"\nTry 'kivo lookup --help'.\n"},
  });
}

}  // namespace
}  // namespace kivo::tool
