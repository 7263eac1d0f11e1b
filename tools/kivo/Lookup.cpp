// kivo lookup: the translation of one key in a dictionary file.
#include <memory>
#include <string>
#include <vector>

#include "kivo/core/KivoMultiDD.h"
#include "tools/kivo/Commands.h"
#include "tools/kivo/Options.h"

namespace kivo::tool {
namespace {

constexpr const char* kLookupUsage =
    "usage: kivo lookup DICT KEY [--codepage CP] [--seqno S] [--reader ID]\n"
    "\n"
    "Loads the dictionary DICT and prints the translation of KEY, or KEY itself when there is\n"
    "none. The lookup is exact on the key, the code page and the sequence number.\n"
    "\n"
    "  --codepage CP   the code page (empty when not given)\n"
    "  --seqno S       the sequence number (empty when not given)\n"
    "  --reader ID     the format of DICT: KivoTextCSV, KivoTextDFM or KivoBinary, in any\n"
    "                  letter case; without it the format follows the file's extension\n"
    "                  (.ktc and .lng, .ktf, .kbf)\n";

std::string Lookup(const std::string& file_name, const std::string& reader_id,
                   const std::string& key, const std::string& code_page,
                   const std::string& seq_no) {
  TKivoCore core;
  ReaderClass(reader_id);  // an unknown reader is not an error of the file
  auto dictionary = std::make_unique<TKivoMultiFileDD>(nullptr);
  dictionary->SetFileName(file_name);
  dictionary->SetDDReaderID(reader_id);
  std::string value;
  AboutFile(file_name, [&] { value = dictionary->GetDisplayValue(key, code_page, seq_no); });
  return value;
}

}  // namespace

int RunLookup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  const std::string error =
      ParseCommandLine(args, {{"DICT", "KEY"}, {"--codepage", "--seqno", "--reader"}, {}}, line);
  if (!error.empty()) return UsageError(err, "lookup", error);
  if (line.help) {
    out << kLookupUsage;
    return kExitSuccess;
  }
  const std::string& file_name = line.arguments[0];
  std::string reader_id;
  if (!ChooseReaderID(line, "--reader", file_name, reader_id))
    return UsageError(err, "lookup", FormatMessage(SUnknownFormat, {file_name, "--reader"}));
  try {
    out << Lookup(file_name, reader_id, line.arguments[1], line.Option("--codepage"),
                  line.Option("--seqno"))
        << '\n';
  } catch (const std::exception& e) {
    return Failure(err, e.what());
  }
  return kExitSuccess;
}

}  // namespace kivo::tool
