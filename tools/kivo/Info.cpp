// kivo info: what a dictionary file holds, read record by record so that a file that cannot be
// loaded as a dictionary (duplicate hash keys) is still described.
#include <algorithm>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <unordered_map>
#include <vector>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/rtl/StrUtils.h"
#include "kivo/rtl/Stream.h"
#include "tools/kivo/Commands.h"
#include "tools/kivo/Options.h"

namespace kivo::tool {
namespace {

constexpr const char* kInfoUsage =
    "usage: kivo info DICT [--reader ID]\n"
    "\n"
    "Describes the dictionary DICT: its fields, the record count its header announces and the\n"
    "records it holds, the records per code page, and every hash key (key, code page, sequence\n"
    "number) that more than one record has, which keeps the file from loading as a dictionary.\n"
    "Texts are shown in double quotes with control characters escaped.\n"
    "\n"
    "  --reader ID   the format of DICT: KivoTextCSV, KivoTextDFM or KivoBinary, in any letter\n"
    "                case; without it the format follows the file's extension (.ktc and .lng,\n"
    "                .ktf, .kbf)\n";

// What a scan of a dictionary's records found.
struct TDictionaryInfo {
  std::vector<std::string> fields;
  std::vector<std::string> missing_fields;  // default fields the source lacks
  int announced = 0;                        // the record count the source announces
  int records = 0;                          // the records read
  std::map<std::string, int> code_pages;    // records per code page
  struct Duplicate {
    std::string key, code_page, seq_no;
    int count;
  };
  std::vector<Duplicate> duplicates;  // in the order of their second record
};

// The index of the first field named `name` (letter case ignored), or −1, which a stream reader
// answers as a field without data.
int FieldIndex(IDataRead& reader, const char* name) {
  for (int i = 0; i < reader._GetFieldCount(); ++i)
    if (AnsiSameText(reader._GetFieldName(i), name)) return i;
  return -1;
}

TDictionaryInfo Scan(TCustomStreamDDReader& reader) {
  TDictionaryInfo info;
  for (int i = 0; i < reader._GetFieldCount(); ++i) info.fields.push_back(reader._GetFieldName(i));
  const int key_fields[3] = {FieldIndex(reader, kDDKeyField), FieldIndex(reader, kCodePageField),
                             FieldIndex(reader, kSeqNoField)};
  for (const char* name : {kDDKeyField, kCodePageField, kSeqNoField, kDisplayValueField})
    if (FieldIndex(reader, name) < 0) info.missing_fields.push_back(name);
  info.announced = reader._GetRecordCount();

  std::unordered_map<std::string, int> seen;  // hash key → index into duplicates, or −1
  std::string hash_key;
  for (reader._First(); !reader._Eof(); reader._Next()) {
    ++info.records;
    const std::string& key = reader._GetFieldValue(key_fields[0]);
    const std::string& code_page = reader._GetFieldValue(key_fields[1]);
    const std::string& seq_no = reader._GetFieldValue(key_fields[2]);
    ++info.code_pages[code_page];
    hash_key = key + '\t' + code_page + '\t' + seq_no;
    auto [it, added] = seen.try_emplace(hash_key, -1);
    if (added) continue;
    if (it->second < 0) {
      it->second = static_cast<int>(info.duplicates.size());
      info.duplicates.push_back({key, code_page, seq_no, 1});
    }
    ++info.duplicates[static_cast<size_t>(it->second)].count;
  }
  return info;
}

std::string Records(int count) {
  return std::to_string(count) + (count == 1 ? " record" : " records");
}

std::string QuotedList(const std::vector<std::string>& texts) {
  if (texts.empty()) return "none";
  std::string out;
  for (const std::string& text : texts) out += (out.empty() ? "" : ", ") + Quoted(text);
  return out;
}

void Write(std::ostream& out, const std::string& file_name, const std::string& reader_id,
           const TDictionaryInfo& info) {
  out << "dictionary: " << Quoted(file_name) << '\n';
  out << "reader: " << reader_id << '\n';
  out << "fields: " << QuotedList(info.fields) << '\n';
  if (!info.missing_fields.empty())
    out << "missing fields: " << QuotedList(info.missing_fields) << '\n';
  out << "records announced: " << info.announced << '\n';
  out << "records: " << info.records << '\n';
  out << "code pages: " << info.code_pages.size() << '\n';
  for (const auto& [code_page, count] : info.code_pages)
    out << "  " << Quoted(code_page) << ": " << Records(count) << '\n';
  if (info.duplicates.empty()) {
    out << "duplicate hash keys: none\n";
    return;
  }
  out << "duplicate hash keys: " << info.duplicates.size() << '\n';
  for (const TDictionaryInfo::Duplicate& duplicate : info.duplicates)
    out << "  " << Quoted(duplicate.key) << " | " << Quoted(duplicate.code_page) << " | "
        << Quoted(duplicate.seq_no) << ": " << Records(duplicate.count) << '\n';
}

void Info(const std::string& file_name, const std::string& reader_id, std::ostream& out) {
  TKivoCore core;
  const TStreamDDReaderClass& reader_class = ReaderClass(reader_id);
  TDictionaryInfo info;
  AboutFile(file_name, [&] {
    std::unique_ptr<TCustomStreamDDReader> reader;
    {
      TFileStream source(file_name, fmOpenRead | fmShareDenyWrite);
      reader = reader_class.create(source);
    }
    info = Scan(*reader);
  });
  Write(out, file_name, reader_id, info);
}

}  // namespace

int RunInfo(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  CommandLine line;
  const std::string error = ParseCommandLine(args, {{"DICT"}, {"--reader"}, {}}, line);
  if (!error.empty()) return UsageError(err, "info", error);
  if (line.help) {
    out << kInfoUsage;
    return kExitSuccess;
  }
  const std::string& file_name = line.arguments[0];
  std::string reader_id;
  if (!ChooseReaderID(line, "--reader", file_name, reader_id))
    return UsageError(err, "info", FormatMessage(SUnknownFormat, {file_name, "--reader"}));
  try {
    Info(file_name, reader_id, out);
  } catch (const std::exception& e) {
    return Failure(err, e.what());
  }
  return kExitSuccess;
}

}  // namespace kivo::tool
