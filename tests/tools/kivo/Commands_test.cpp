#include "tools/kivo/Commands.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "kivo/core/Version.h"

namespace kivo::tool {
namespace {

struct Result {
  int status;
  std::string out;
  std::string err;
};

Result Kivo(const std::vector<std::string>& args) {
  std::ostringstream out, err;
  const int status = Main(args, out, err);
  return {status, out.str(), err.str()};
}

TEST(Commands, HelpListsEveryCommandOnStandardOutput) {
  for (const std::vector<std::string>& args :
       std::vector<std::vector<std::string>>{{"--help"}, {"-h"}, {"help"}}) {
    SCOPED_TRACE(args[0]);
    const Result result = Kivo(args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.rfind("usage: kivo <command> [<args>]\n", 0), 0u) << result.out;
    for (const TCommand& command : Commands()) {
      std::string name = command.name;
      name.resize(10, ' ');
      EXPECT_NE(result.out.find("\n  " + name + command.summary + "\n"), std::string::npos)
          << command.name;
    }
  }
  std::vector<std::string> names;
  for (const TCommand& command : Commands()) names.push_back(command.name);
  EXPECT_EQ(names, (std::vector<std::string>{"convert", "lookup", "info", "translate"}));
}

TEST(Commands, EachCommandsHelpGoesToStandardOutput) {
  struct Case {
    std::vector<std::string> args;
    std::string usage;  // the first line
  };
  const std::vector<Case> cases = {
      {{"convert", "--help"}, "usage: kivo convert IN OUT [--from ID] [--to ID]\n"},
      {{"convert", "a.ktc", "-h"}, "usage: kivo convert IN OUT [--from ID] [--to ID]\n"},
      {{"convert", "--bogus", "--help"}, "usage: kivo convert IN OUT [--from ID] [--to ID]\n"},
      {{"help", "convert"}, "usage: kivo convert IN OUT [--from ID] [--to ID]\n"},
      {{"lookup", "--help"},
       "usage: kivo lookup DICT KEY [--codepage CP] [--seqno S] [--reader ID]\n"},
      {{"help", "lookup"},
       "usage: kivo lookup DICT KEY [--codepage CP] [--seqno S] [--reader ID]\n"},
      {{"info", "--help"}, "usage: kivo info DICT [--reader ID]\n"},
      {{"help", "info"}, "usage: kivo info DICT [--reader ID]\n"},
      {{"translate", "--help"},
       "usage: kivo translate FORM [-o OUT] [--codepage CP] [--seqno S] [--dict FILE[=NAME]]...\n"},
      {{"translate", "--list", "-h"},
       "usage: kivo translate FORM [-o OUT] [--codepage CP] [--seqno S] [--dict FILE[=NAME]]...\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.args[0] + " " + row.args[1]);
    const Result result = Kivo(row.args);
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out.substr(0, row.usage.size()), row.usage);
  }
  // "--help" after "--" is an argument.
  const Result key = Kivo({"lookup", "/nonexistent/d.ktc", "--", "--help"});
  EXPECT_EQ(key.status, 1);
  EXPECT_EQ(key.out, "");
}

TEST(Commands, VersionPrintsTheLibrarysVersion) {
  const Result result = Kivo({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.out, std::string("kivo ") + Version() + "\n");
  EXPECT_EQ(result.err, "");
}

TEST(Commands, MisuseIsAUsageErrorWithAHint) {
  struct Case {
    const char* name;
    std::vector<std::string> args;
    std::string err;
  };
  const std::vector<Case> cases = {
      {"no command", {}, "kivo: missing command\nTry 'kivo --help'.\n"},
      {"unknown command", {"frob"}, "kivo: unknown command \"frob\"\nTry 'kivo --help'.\n"},
      {"command in capitals",
       {"INFO", "a.ktc"},
       "kivo: unknown command \"INFO\"\nTry 'kivo --help'.\n"},
      {"unknown option", {"--frob"}, "kivo: unknown option \"--frob\"\nTry 'kivo --help'.\n"},
      {"help on an unknown command",
       {"help", "frob"},
       "kivo: unknown command \"frob\"\nTry 'kivo --help'.\n"},
      {"words after --version",
       {"--version", "x"},
       "kivo: unexpected argument \"x\"\nTry 'kivo --help'.\n"},
      {"missing OUT",
       {"convert", "a.ktc"},
       "kivo: missing argument OUT\nTry 'kivo convert --help'.\n"},
      {"missing IN and OUT",
       {"convert"},
       "kivo: missing argument IN\nTry 'kivo convert --help'.\n"},
      {"third file",
       {"convert", "a.ktc", "b.ktf", "c.kbf"},
       "kivo: unexpected argument \"c.kbf\"\nTry 'kivo convert --help'.\n"},
      {"unknown option of a command",
       {"convert", "a.ktc", "b.ktf", "--force"},
       "kivo: unknown option \"--force\"\nTry 'kivo convert --help'.\n"},
      {"unknown option with a value",
       {"convert", "a.ktc", "b.ktf", "--force=yes"},
       "kivo: unknown option \"--force\"\nTry 'kivo convert --help'.\n"},
      {"option without its value",
       {"convert", "a.ktc", "b.ktf", "--from"},
       "kivo: missing value for option \"--from\"\nTry 'kivo convert --help'.\n"},
      {"single-letter option",
       {"info", "a.ktc", "-v"},
       "kivo: unknown option \"-v\"\nTry 'kivo info --help'.\n"},
      {"missing DICT", {"lookup"}, "kivo: missing argument DICT\nTry 'kivo lookup --help'.\n"},
  };
  for (const Case& row : cases) {
    SCOPED_TRACE(row.name);
    const Result result = Kivo(row.args);
    EXPECT_EQ(result.status, 2);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, row.err);
  }
}

}  // namespace
}  // namespace kivo::tool
