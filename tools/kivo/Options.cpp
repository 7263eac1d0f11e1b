#include "tools/kivo/Options.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "kivo/core/KivoDDReaderStorage.h"
#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo::tool {

std::string CommandLine::Option(const std::string& name, const std::string& fallback) const {
  const auto it = options.find(name);
  return it == options.end() ? fallback : it->second;
}

std::vector<std::string> CommandLine::Values(const std::string& name) const {
  const auto it = values.find(name);
  return it == values.end() ? std::vector<std::string>() : it->second;
}

bool CommandLine::Flag(const std::string& name) const {
  return std::find(flags.begin(), flags.end(), name) != flags.end();
}

std::string ParseCommandLine(const std::vector<std::string>& args, const CommandSyntax& syntax,
                             CommandLine& line) {
  line = CommandLine();
  for (const std::string& arg : args) {
    if (arg == "--") break;
    if (arg == "--help" || arg == "-h") {
      line.help = true;
      return "";
    }
  }
  std::string error;
  bool options_ended = false;
  for (size_t i = 0; i < args.size() && error.empty(); ++i) {
    const std::string& arg = args[i];
    if (options_ended || arg.size() < 2 || arg[0] != '-') {
      if (line.arguments.size() == syntax.arguments.size())
        error = FormatMessage(SUnexpectedArgument, {arg});
      else
        line.arguments.push_back(arg);
      continue;
    }
    if (arg == "--") {
      options_ended = true;
      continue;
    }
    const size_t equals = arg.find('=');
    const std::string name = arg.substr(0, equals);
    const auto has = [&name](const std::vector<std::string>& names) {
      return std::find(names.begin(), names.end(), name) != names.end();
    };
    if (has(syntax.flags)) {
      if (equals != std::string::npos)
        error = FormatMessage(SFlagWithValue, {name});
      else
        line.flags.push_back(name);
    } else if (!has(syntax.options)) {
      error = FormatMessage(SUnknownOption, {name});
    } else if (equals != std::string::npos) {
      line.options[name] = arg.substr(equals + 1);
      line.values[name].push_back(line.options[name]);
    } else if (i + 1 < args.size()) {
      line.options[name] = args[++i];
      line.values[name].push_back(line.options[name]);
    } else {
      error = FormatMessage(SMissingOptionValue, {name});
    }
  }
  if (error.empty() && line.arguments.size() < syntax.arguments.size())
    error = FormatMessage(SMissingArgument, {syntax.arguments[line.arguments.size()]});
  return error;
}

int UsageError(std::ostream& err, const std::string& command, const std::string& message) {
  err << "kivo: " << message << "\nTry 'kivo " << (command.empty() ? "" : command + " ")
      << "--help'.\n";
  return kExitUsage;
}

int Failure(std::ostream& err, std::string_view message) {
  std::string line;
  for (const char c : message) {
    if (c == '\n')
      line += "\\n";
    else if (c == '\r')
      line += "\\r";
    else
      line += c;
  }
  err << "kivo: " << line << '\n';
  return kExitFailure;
}

std::string ReaderIDForFile(const std::string& file_name) {
  const std::string extension = std::filesystem::path(file_name).extension().string();
  if (SameText(extension, ".ktc") || SameText(extension, ".lng")) return "KivoTextCSV";
  if (SameText(extension, ".ktf")) return "KivoTextDFM";
  if (SameText(extension, ".kbf")) return "KivoBinary";
  return "";
}

bool ChooseReaderID(const CommandLine& line, const std::string& option,
                    const std::string& file_name, std::string& result) {
  const auto it = line.options.find(option);
  result = it != line.options.end() ? it->second : ReaderIDForFile(file_name);
  return it != line.options.end() || !result.empty();
}

const TStreamDDReaderClass& ReaderClass(const std::string& id) {
  const TStreamDDReaderClass* kind = KivoDDReaderStorage->GetDDReader(id);
  if (kind == nullptr) throw Exception(FormatMessage(SDDReaderNotRegistered, {id}));
  return *kind;
}

std::string WithFileName(const std::string& message, const std::string& file_name) {
  if (message.find('"' + file_name + '"') != std::string::npos) return message;
  return FormatMessage(SInFile, {message, file_name});
}

std::string Quoted(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (c == '\t') {
      out += "\\t";
    } else if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else if (byte < 32 || byte == 127) {
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", byte);
      out += hex;
    } else {
      out += c;
    }
  }
  return out + '"';
}

}  // namespace kivo::tool
