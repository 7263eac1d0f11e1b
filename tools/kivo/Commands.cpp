#include "tools/kivo/Commands.h"

#include "kivo/core/Version.h"
#include "kivo/rtl/Exceptions.h"
#include "tools/kivo/Options.h"

namespace kivo::tool {
namespace {

constexpr const char* kUsage =
    "usage: kivo <command> [<args>]\n"
    "       kivo --version\n"
    "\n"
    "Commands:\n";

constexpr const char* kMore =
    "\n"
    "'kivo <command> --help' describes a command. Dictionary formats follow the file\n"
    "extension: .ktc and .lng (KivoTextCSV), .ktf (KivoTextDFM), .kbf (KivoBinary).\n";

void WriteUsage(std::ostream& out) {
  out << kUsage;
  for (const TCommand& command : Commands()) {
    std::string name = command.name;
    name.resize(10, ' ');
    out << "  " << name << command.summary << '\n';
  }
  out << kMore;
}

const TCommand* FindCommand(const std::string& name) {
  for (const TCommand& command : Commands())
    if (name == command.name) return &command;
  return nullptr;
}

}  // namespace

const std::vector<TCommand>& Commands() {
  static const std::vector<TCommand> commands = {
      {"convert", RunConvert, "convert a dictionary into another format"},
      {"lookup", RunLookup, "print the translation of a key"},
      {"info", RunInfo, "describe a dictionary: fields, records, code pages, duplicates"},
      {"translate", RunTranslate,
       "write a form file translated with its own and given dictionaries"},
  };
  return commands;
}

int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return UsageError(err, "", "missing command");
  const std::string& first = args[0];
  if (first == "--help" || first == "-h" || first == "help") {
    if (args.size() == 1) {
      WriteUsage(out);
      return kExitSuccess;
    }
    const TCommand* command = FindCommand(args[1]);
    if (command == nullptr) return UsageError(err, "", FormatMessage(SUnknownCommand, {args[1]}));
    if (args.size() > 2) return UsageError(err, "", FormatMessage(SUnexpectedArgument, {args[2]}));
    return command->run({"--help"}, out, err);
  }
  if (first == "--version") {
    if (args.size() > 1) return UsageError(err, "", FormatMessage(SUnexpectedArgument, {args[1]}));
    out << "kivo " << Version() << '\n';
    return kExitSuccess;
  }
  if (first.size() > 1 && first[0] == '-')
    return UsageError(err, "", FormatMessage(SUnknownOption, {first}));
  const TCommand* command = FindCommand(first);
  if (command == nullptr) return UsageError(err, "", FormatMessage(SUnknownCommand, {first}));
  return command->run(std::vector<std::string>(args.begin() + 1, args.end()), out, err);
}

}  // namespace kivo::tool
