// The parts that every kivo command shares: its command line, its messages and the dictionary
// formats named by file extensions.
//
// A command's arguments (the words after the command's name) are positional arguments, all
// required, options that take a value, given as "--from ID" or "--from=ID" (an option may be
// given more than once), and flags without value ("--list"); "--help" (or "-h") asks for the
// command's usage, and "--" ends the options.
//
//   kivo::tool::CommandLine line;
//   std::string error = kivo::tool::ParseCommandLine(args, {{"IN", "OUT"}, {"--from"}, {}}, line);
//   if (!error.empty()) return kivo::tool::UsageError(err, "convert", error);
//
// Messages go to the error stream as one line "kivo: <message>"; a usage error adds a second
// line with a hint about --help.
#pragma once

#include <map>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/rtl/Exceptions.h"

namespace kivo::tool {

// Exit statuses.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

// Message formats of usage errors.
inline constexpr const char* SUnknownCommand = "unknown command \"%s\"";
inline constexpr const char* SUnknownOption = "unknown option \"%s\"";
inline constexpr const char* SMissingOptionValue = "missing value for option \"%s\"";
inline constexpr const char* SFlagWithValue = "option \"%s\" takes no value";
inline constexpr const char* SMissingArgument = "missing argument %s";
inline constexpr const char* SUnexpectedArgument = "unexpected argument \"%s\"";
inline constexpr const char* SUnknownFormat = "unknown dictionary format of \"%s\" (give %s ID)";
// A message without the name of the file it concerns gets this after it.
inline constexpr const char* SInFile = "%s in \"%s\"";

// The syntax of one command.
struct CommandSyntax {
  std::vector<std::string> arguments;  // names of the positional arguments, in order ("IN")
  std::vector<std::string> options;    // the options that take a value ("--from")
  std::vector<std::string> flags;      // the options without value ("--list")
};

// A parsed command line.
struct CommandLine {
  std::vector<std::string> arguments;          // as many as the syntax names
  std::map<std::string, std::string> options;  // given options by name; the last one counts
  std::map<std::string, std::vector<std::string>> values;  // every value of each option, in order
  std::vector<std::string> flags;                          // the flags given, in order
  bool help = false;                                       // "--help" or "-h" was given

  // The value of option `name`, or `fallback` when it was not given.
  std::string Option(const std::string& name, const std::string& fallback = "") const;
  // Every value of option `name`, in the order given (empty when it was not given).
  std::vector<std::string> Values(const std::string& name) const;
  // True when flag `name` was given.
  bool Flag(const std::string& name) const;
};

// Parses `args` by `syntax` into `line`. Returns the empty string on success, otherwise the
// message of the first usage error. When "--help" is given, the other words are not checked.
std::string ParseCommandLine(const std::vector<std::string>& args, const CommandSyntax& syntax,
                             CommandLine& line);

// Writes "kivo: <message>" and "Try 'kivo <command> --help'." (without a command: "Try 'kivo
// --help'.") to `err`; returns kExitUsage.
int UsageError(std::ostream& err, const std::string& command, const std::string& message);
// Writes "kivo: <message>" to `err` as one line (CR and LF shown as "\r" and "\n"); returns
// kExitFailure.
int Failure(std::ostream& err, std::string_view message);

// The reader identifier that the extension of `file_name` stands for, without regard to letter
// case: "KivoTextCSV" for .ktc and .lng, "KivoTextDFM" for .ktf, "KivoBinary" for .kbf; empty
// for any other.
std::string ReaderIDForFile(const std::string& file_name);

// The reader identifier of a dictionary file: the value of `option` when `line` has it, else the
// one of the file's extension (an option given empty stays empty). Returns false when the option
// is not given and the extension names no format.
bool ChooseReaderID(const CommandLine& line, const std::string& option,
                    const std::string& file_name, std::string& result);

// The reader class registered as `id` (letter case ignored).
// Throws: Exception "dictionary reader ID "Foo" ,not registered!".
// REQUIRES: the core library is initialised.
const TStreamDDReaderClass& ReaderClass(const std::string& id);

// `message` followed by ` in "<file_name>"`, unless it already holds the quoted file name.
std::string WithFileName(const std::string& message, const std::string& file_name);

// Runs `step`; an Exception that leaves it gets the file name added by WithFileName.
template <class F>
void AboutFile(const std::string& file_name, F&& step) {
  try {
    step();
  } catch (Exception& e) {
    e.SetMessage(WithFileName(e.Message(), file_name));
    throw;
  }
}

// `text` in double quotes with '"' and '\' escaped by a backslash, tab, CR and LF as \t, \r, \n
// and the other bytes below 32 (and 127) as \xHH; other bytes, UTF-8 included, are kept.
std::string Quoted(std::string_view text);

}  // namespace kivo::tool
