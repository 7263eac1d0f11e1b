// CSV-flavour dictionary bytes made from rows, for tests that load dictionaries they describe.
//
//   dd->Dictionary()->Stream().WriteString(CsvDictionary({{"File", "1252", "", "Datei"}}));
#pragma once

#include <string>
#include <vector>

#include "kivo/core/KivoMultiDDWriter.h"

namespace kivo::testing {

// The header DDKey, CodePage, SeqNo, DisplayValue and one line per row (key, code page, sequence
// number, display value), each field encoded as the CSV-flavour writer does.
inline std::string CsvDictionary(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  auto line = [&out](const std::vector<std::string>& values) {
    for (const std::string& value : values) out += EncodeTextCSVStr(value, '"') + ",";
    out += "\r\n";
  };
  line({"DDKey", "CodePage", "SeqNo", "DisplayValue"});
  for (const auto& row : rows) line(row);
  return out;
}

}  // namespace kivo::testing
