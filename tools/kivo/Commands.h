// The kivo tool's commands, for the people who maintain dictionaries.
//
// `Main` takes the words after the program name, runs the command that the first one names and
// returns the exit status: kExitSuccess, kExitFailure for an error (one line "kivo: <message>" on
// `err`) or kExitUsage for a misuse (that line and a hint about --help).
//
//   std::ostringstream out, err;
//   int status = kivo::tool::Main({"lookup", "de.ktc", "&File", "--codepage", "1252"}, out, err);
//
// Every command initialises the core library for its run and writes its results to `out`;
// "--help" after a command writes its usage to `out`. Errors never escape as exceptions, except
// those that are not std::exceptions.
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace kivo::tool {

// A command: the words after its name, the output and the error stream; returns the exit status.
using TCommandFunc = int (*)(const std::vector<std::string>& args, std::ostream& out,
                             std::ostream& err);

// One entry of the command table.
struct TCommand {
  const char* name;
  TCommandFunc run;
  const char* summary;  // one line for `kivo --help`
};

// The commands, in the order `kivo --help` lists them.
const std::vector<TCommand>& Commands();

// Runs the command line `args` (without the program name): a command and its words, "--help",
// "-h" or "help" (the command list; "help CMD" is "CMD --help"), or "--version" ("kivo 0.1.0").
int Main(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// kivo convert IN OUT [--from ID] [--to ID]: reads IN with a registered reader and writes OUT in
// the matching format, through a temporary file in OUT's folder that replaces OUT only when it is
// complete. A bar on standard error shows the progress of a large source on a terminal.
int RunConvert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// kivo lookup DICT KEY [--codepage CP] [--seqno S] [--reader ID]: writes the translation of KEY
// (KEY itself when there is none) and a newline.
int RunLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// kivo info DICT [--reader ID]: writes the fields, the announced and the actual record count,
// the records per code page and the duplicated hash keys of a dictionary file.
int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// kivo translate FORM [-o OUT] [--codepage CP] [--seqno S] [--dict FILE[=NAME]]... [--use NAME]
// [--reader ID] [--list] [--strict]: reads the form file FORM with the given dictionaries
// registered, lets its own replacers translate it or walks it with one dictionary, and writes
// the translated form, or the list of texts that changed, to `out` or to OUT (replaced only when
// complete). The form is read and translated in its own folder, so that relative file names in
// it are relative to it; the working directory is restored afterwards.
int RunTranslate(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace kivo::tool
