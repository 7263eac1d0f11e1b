// The example dictionary in its three formats, byte for byte: the fields DDKey, CodePage, SeqNo,
// DisplayValue and the records (File, 936, null, Datei) and (Say "hi", 936, empty,
// 50% CR LF more).
#pragma once

#include <string>

namespace kivo::testing {

using namespace std::string_literals;

inline const std::string kCsvExample =
    "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n"
    "\"File\",\"936\",,\"Datei\",\r\n"
    "\"Say \"\"hi\"\"\",\"936\",\"\",\"50%%%c%nmore\",\r\n";

inline const std::string kDfmExample =
    "\"DDKey\",\"CodePage\",\"SeqNo\",\"DisplayValue\",\r\n"
    "\"File\",\"936\",,\"Datei\",\r\n"
    "\"Say \"\"hi\"\"\",\"936\",\"\",\"50%\"#13#10\"more\",\r\n";

inline const std::string kBinaryExample =
    "\x04\x00\x00\x00"
    "\x05\x00\x00\x00"
    "DDKey"
    "\x08\x00\x00\x00"
    "CodePage"
    "\x05\x00\x00\x00"
    "SeqNo"
    "\x0C\x00\x00\x00"
    "DisplayValue"
    "\x02\x00\x00\x00"
    "\x04\x00\x00\x00"
    "File"
    "\x03\x00\x00\x00"
    "936"
    "\xFF\xFF\xFF\xFF"
    "\x05\x00\x00\x00"
    "Datei"
    "\x08\x00\x00\x00"
    "Say \"hi\""
    "\x03\x00\x00\x00"
    "936"
    "\x00\x00\x00\x00"
    "\x09\x00\x00\x00"
    "50%\r\nmore"s;

}  // namespace kivo::testing
