// Byte-string helpers for tests of the file formats: streams over given bytes and the
// little-endian integers of the binary formats.
//
//   kivo::testing::BytesStream in(kivo::testing::Int32LE(4) + "DDKey");
//   kivo::TBinaryStreamDDReader reader(in);
//
// BytesStream declares no class metadata of its own: ClassName() is "TMemoryStream".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "kivo/rtl/Stream.h"

namespace kivo::testing {

// A memory stream holding `bytes`, positioned at 0.
class BytesStream : public TMemoryStream {
 public:
  explicit BytesStream(std::string_view bytes) {
    WriteString(bytes);
    SetPosition(0);
  }
};

// The four bytes of `value` in little-endian order.
inline std::string Int32LE(int32_t value) {
  const auto v = static_cast<uint32_t>(value);
  std::string out(4, '\0');
  for (int i = 0; i < 4; ++i)
    out[static_cast<size_t>(i)] = static_cast<char>((v >> (8 * i)) & 0xFF);
  return out;
}

// A length-prefixed byte string of the binary formats: Int32LE(size) and the bytes.
inline std::string LengthPrefixed(std::string_view bytes) {
  return Int32LE(static_cast<int32_t>(bytes.size())) + std::string(bytes);
}

}  // namespace kivo::testing
