#include "kivo/core/KivoMultiDDReader.h"

#include <cstring>
#include <limits>
#include <utility>

#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Format.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

KIVO_DEFINE_CLASS(TCustomDDReader) {}
KIVO_DEFINE_CLASS(TCustomStreamDDReader) {}
KIVO_DEFINE_CLASS(TCustomTextStreamDDReader) {}
KIVO_DEFINE_CLASS(TTextCSVStreamDDReader) {}
KIVO_DEFINE_CLASS(TTextDFMStreamDDReader) {}
KIVO_DEFINE_CLASS(TBinaryStreamDDReader) {}

namespace {

constexpr char kCR = '\r';

// The answer for a name or value that a reader does not have.
const std::string& EmptyString() {
  static const std::string empty;
  return empty;
}

// The first occurrence of `c` in [p, end), or `end`.
const char* Find(const char* p, const char* end, char c) {
  const void* hit = std::memchr(p, static_cast<unsigned char>(c), static_cast<size_t>(end - p));
  return hit == nullptr ? end : static_cast<const char*>(hit);
}

bool Contains(std::string_view s, char c) {
  return !s.empty() && std::memchr(s.data(), static_cast<unsigned char>(c), s.size()) != nullptr;
}

// The little-endian 32-bit integer at `p`.
int32_t Int32At(const char* p) {
  const auto* b = reinterpret_cast<const unsigned char*>(p);
  const uint32_t v = static_cast<uint32_t>(b[0]) | (static_cast<uint32_t>(b[1]) << 8) |
                     (static_cast<uint32_t>(b[2]) << 16) | (static_cast<uint32_t>(b[3]) << 24);
  return static_cast<int32_t>(v);
}

[[noreturn]] void ThrowMalformed(const std::string& reason, int64_t offset) {
  throw Exception(Format(SMalformedBinaryDictionary, {reason, static_cast<long long>(offset)}));
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TCustomStreamDDReader

TCustomStreamDDReader::TCustomStreamDDReader(TStream& source) {
  memory_.LoadFromStream(source);
  memory_.SetPosition(0);
}

TCustomStreamDDReader::~TCustomStreamDDReader() = default;

void TCustomStreamDDReader::SetFieldCount(int count) {
  const size_t n = count < 0 ? 0 : static_cast<size_t>(count);
  names_.resize(n);
  nulls_.resize(n, false);
  values_.resize(n);
}

const std::string& TCustomStreamDDReader::GetField(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= names_.size()) return EmptyString();
  return names_[static_cast<size_t>(index)];
}

void TCustomStreamDDReader::SetField(int index, const std::string& name) {
  if (index < 0 || static_cast<size_t>(index) >= names_.size()) return;
  names_[static_cast<size_t>(index)] = name;
}

const std::string& TCustomStreamDDReader::GetValue(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= values_.size()) return EmptyString();
  return values_[static_cast<size_t>(index)];
}

void TCustomStreamDDReader::SetValue(int index, const std::string& value) {
  if (index < 0 || static_cast<size_t>(index) >= values_.size()) return;
  values_[static_cast<size_t>(index)] = value;
}

bool TCustomStreamDDReader::GetNull(int index) const {
  if (index < 0 || static_cast<size_t>(index) >= nulls_.size()) return true;
  return nulls_[static_cast<size_t>(index)];
}

void TCustomStreamDDReader::SetNull(int index, bool is_null) {
  if (index < 0 || static_cast<size_t>(index) >= nulls_.size()) return;
  nulls_[static_cast<size_t>(index)] = is_null;
}

void TCustomStreamDDReader::_First() { record_no_ = 0; }
bool TCustomStreamDDReader::_Eof() { return eof_; }
int TCustomStreamDDReader::_GetFieldCount() { return static_cast<int>(names_.size()); }
int TCustomStreamDDReader::_GetRecordCount() { return record_count_; }
int TCustomStreamDDReader::_GetRecordNo() { return record_no_; }
bool TCustomStreamDDReader::_FieldIsBlob(int) { return false; }
bool TCustomStreamDDReader::_FieldIsBlob(const std::string&) { return false; }
void TCustomStreamDDReader::_DisableControls() {}
void TCustomStreamDDReader::_EnableControls() {}

int TCustomStreamDDReader::FindField(const std::string& name) const {
  for (size_t i = 0; i < names_.size(); ++i) {
    if (AnsiCompareText(names_[i], name) == 0) return static_cast<int>(i);
  }
  return -1;
}

void TCustomStreamDDReader::AddField(std::string name) {
  names_.push_back(std::move(name));
  nulls_.push_back(false);
  values_.emplace_back();
}

void TCustomStreamDDReader::CountRecord() {
  if (record_no_ < std::numeric_limits<int>::max()) ++record_no_;
}

// ---------------------------------------------------------------------------------------------
// TCustomTextStreamDDReader

TCustomTextStreamDDReader::TCustomTextStreamDDReader(TStream& source)
    : TCustomTextStreamDDReader(source, ',', '"') {}

TCustomTextStreamDDReader::TCustomTextStreamDDReader(TStream& source, char separator, char quote)
    : TCustomStreamDDReader(source), separator_(separator), quote_(quote) {
  SetEof(Data().empty());
}

void TCustomTextStreamDDReader::Open() {
  SetFieldCount(0);
  SetRecordCount(0);
  SetRecordNo(0);
  cur_ = start_;
  data_start_ = start_;
  SetEof(Data().empty());
  if (Data().empty()) return;
  ReadFields();
  SetRecordCount(ReadRecordCount());
  _First();
}

void TCustomTextStreamDDReader::_First() {
  TCustomStreamDDReader::_First();
  cur_ = data_start_;
  SetEof(cur_ + 1 >= static_cast<int64_t>(Data().size()));
  if (!Eof()) ReadARecord();
}

void TCustomTextStreamDDReader::_Next() { ReadARecord(); }

const std::string& TCustomTextStreamDDReader::_GetFieldName(int index) { return GetField(index); }

const std::string& TCustomTextStreamDDReader::_GetFieldValue(int index) { return GetValue(index); }

const std::string& TCustomTextStreamDDReader::_GetFieldValue(const std::string& name) {
  return GetValue(FindField(name));
}

bool TCustomTextStreamDDReader::_FieldIsNull(int index) { return GetNull(index); }

bool TCustomTextStreamDDReader::_FieldIsNull(const std::string& name) {
  const int index = FindField(name);
  return index >= 0 && GetNull(index);
}

void TCustomTextStreamDDReader::ReadFields() {
  const std::string_view data = Data();
  const auto size = static_cast<int64_t>(data.size());
  SetFieldCount(0);
  cur_ = start_;
  std::string name;
  bool is_null = false;
  while (cur_ < size) {
    ReadAFieldValue(name, is_null);
    AddField(std::move(name));
    name.clear();
    if (cur_ < size && data[static_cast<size_t>(cur_)] == kCR) break;
  }
  cur_ += 1;
  data_start_ = cur_;
  SetEof(cur_ + 1 >= size);
}

void TCustomTextStreamDDReader::ReadAFieldValue(std::string& value, bool& is_null) {
  const std::string_view data = Data();
  const auto size = static_cast<int64_t>(data.size());
  const int64_t first = cur_;
  int64_t last = first;
  if (first < size) {
    // Every quote byte toggles; a separator ends the field only outside quoted text. Inside,
    // only the next quote matters.
    const char* p = data.data() + first;
    const char* const end = data.data() + size;
    bool inside = false;
    while (p < end) {
      if (inside) {
        p = Find(p, end, quote_);
        if (p == end) break;
        inside = false;
        ++p;
      } else if (*p == quote_) {
        inside = true;
        ++p;
      } else if (*p == separator_) {
        break;
      } else {
        ++p;
      }
    }
    last = p - data.data();
  }
  if (last == first) {
    value.clear();
    is_null = true;
  } else {
    DecodeStrInto(data.substr(static_cast<size_t>(first), static_cast<size_t>(last - first)),
                  value);
    is_null = false;
  }
  cur_ = last + 1;
}

void TCustomTextStreamDDReader::ReadARecord() {
  if (cur_ + 1 >= static_cast<int64_t>(Data().size())) {
    SetEof(true);
    return;
  }
  SetEof(false);
  cur_ += 1;  // past the LF
  bool is_null = false;
  for (size_t i = 0; i < Values().size(); ++i) {
    ReadAFieldValue(Values()[i], is_null);
    Nulls()[i] = is_null;
  }
  cur_ += 1;  // past the CR
  CountRecord();
}

int TCustomTextStreamDDReader::ReadRecordCount() {
  const std::string_view data = Data();
  const char* p = data.data();
  const char* const end = p + data.size();
  int64_t count = -1;
  bool inside = false;
  while (p < end) {
    if (inside) {
      p = Find(p, end, quote_);
      if (p == end) break;
      inside = false;
    } else if (*p == quote_) {
      inside = true;
    } else if (*p == kCR) {
      ++count;
    }
    ++p;
  }
  return count > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                 : static_cast<int>(count);
}

void TCustomTextStreamDDReader::DecodeStrInto(std::string_view field, std::string& out) {
  out = DecodeStr(field);
}

// ---------------------------------------------------------------------------------------------
// TTextCSVStreamDDReader

TTextCSVStreamDDReader::TTextCSVStreamDDReader(TStream& source)
    : TCustomTextStreamDDReader(source) {
  Open();
}

TTextCSVStreamDDReader::TTextCSVStreamDDReader(TStream& source, char separator, char quote)
    : TCustomTextStreamDDReader(source, separator, quote) {
  Open();
}

std::string TTextCSVStreamDDReader::DecodeStr(std::string_view field) {
  std::string out;
  DecodeStrInto(field, out);
  return out;
}

void TTextCSVStreamDDReader::DecodeStrInto(std::string_view field, std::string& out) {
  const char q = Quote();
  const size_t n = field.size();
  if (n >= 2 && field[0] == q && field[n - 1] == q) {
    // The common field: quote, text without quotes or escapes, quote ("" included).
    const std::string_view inner = field.substr(1, n - 2);
    if (!Contains(inner, q) && !Contains(inner, '%')) {
      out.assign(inner.data(), inner.size());
      return;
    }
  }
  out.clear();
  const char* p = field.data();
  const char* const end = p + n;
  while (p < end) {
    const char b = *p;
    if (b == q) {
      // A pair is one quote; a single quote is dropped.
      if (end - p >= 2 && p[1] == q) {
        out.push_back(q);
        p += 2;
      } else {
        ++p;
      }
    } else if (b == '%') {
      if (end - p < 2) break;  // a lone '%' at the end is dropped
      switch (p[1]) {
        case '0':
          out.push_back('\0');
          break;
        case 'c':
          out.push_back('\r');
          break;
        case 'n':
          out.push_back('\n');
          break;
        default:  // '%' itself, and any other byte, stands for itself
          out.push_back(p[1]);
          break;
      }
      p += 2;
    } else {
      const char* run = p;
      while (p < end && *p != q && *p != '%') ++p;
      out.append(run, static_cast<size_t>(p - run));
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TTextDFMStreamDDReader

TTextDFMStreamDDReader::TTextDFMStreamDDReader(TStream& source)
    : TCustomTextStreamDDReader(source) {
  Open();
}

TTextDFMStreamDDReader::TTextDFMStreamDDReader(TStream& source, char separator, char quote)
    : TCustomTextStreamDDReader(source, separator, quote) {
  Open();
}

std::string TTextDFMStreamDDReader::DecodeStr(std::string_view field) {
  std::string out;
  DecodeStrInto(field, out);
  return out;
}

void TTextDFMStreamDDReader::DecodeStrInto(std::string_view field, std::string& out) {
  const char q = Quote();
  out.clear();
  const char* p = field.data();
  const char* const end = p + field.size();
  bool inside = false;
  while (p < end) {
    if (*p == q) {
      // A run of k quotes: pairs stand for quotes (outside, the first quote opens the run and
      // is not one of them); an odd run opens or closes the quoted run.
      const char* run = p;
      while (p < end && *p == q) ++p;
      const auto k = static_cast<size_t>(p - run);
      out.append(inside ? k / 2 : (k - 1) / 2, q);
      if (k % 2 == 1) inside = !inside;
    } else if (inside) {
      const char* run = p;
      p = Find(p, end, q);
      out.append(run, static_cast<size_t>(p - run));
    } else if (*p == '#') {
      const char* digits = ++p;
      while (p < end && *p >= '0' && *p <= '9') ++p;
      const int32_t code = StrToInt(std::string_view(digits, static_cast<size_t>(p - digits)));
      out.push_back(static_cast<char>(static_cast<uint32_t>(code) & 0xFF));
    } else {
      out.push_back(*p);
      ++p;
    }
  }
}

// ---------------------------------------------------------------------------------------------
// TBinaryStreamDDReader

TBinaryStreamDDReader::TBinaryStreamDDReader(TStream& source) : TCustomStreamDDReader(source) {
  ReadHeader();
  _First();
}

void TBinaryStreamDDReader::ReadHeader() {
  const std::string_view data = Data();
  const auto size = static_cast<int64_t>(data.size());
  SetFieldCount(0);
  SetRecordCount(0);
  SetRecordNo(0);
  // A header that ends early keeps the names read so far and has no records.
  data_start_ = size;
  pos_ = size;
  SetEof(true);
  int64_t pos = 0;
  if (size - pos < 4) return;
  const int32_t count = Int32At(data.data() + pos);
  if (count < 0) ThrowMalformed(Format("negative field count (%d)", {count}), pos);
  if (count > (size - 4) / 4) {
    ThrowMalformed(Format("field count (%d) larger than the data", {count}), pos);
  }
  pos += 4;
  for (int32_t i = 0; i < count; ++i) {
    if (size - pos < 4) return;
    const int32_t length = Int32At(data.data() + pos);
    if (length < 0) ThrowMalformed(Format("negative name length (%d)", {length}), pos);
    if (length > size - pos - 4) return;
    pos += 4;
    AddField(std::string(data.substr(static_cast<size_t>(pos), static_cast<size_t>(length))));
    pos += length;
  }
  if (size - pos < 4) return;
  SetRecordCount(Int32At(data.data() + pos));
  pos += 4;
  data_start_ = pos;
  pos_ = pos;
  SetEof(pos >= size);
}

void TBinaryStreamDDReader::_First() {
  TCustomStreamDDReader::_First();
  pos_ = data_start_;
  SetEof(pos_ >= static_cast<int64_t>(Data().size()));
  if (!Eof()) ReadARecord();
}

void TBinaryStreamDDReader::_Next() { ReadARecord(); }

void TBinaryStreamDDReader::ReadARecord() {
  const std::string_view data = Data();
  const auto size = static_cast<int64_t>(data.size());
  std::vector<std::string>& values = Values();
  const size_t count = values.size();
  if (pos_ >= size || count == 0) {
    SetEof(true);
    return;
  }
  // Check the whole record before changing anything, so that an incomplete last record leaves
  // the previous one current and a malformed one leaves the reader as it was.
  int64_t pos = pos_;
  for (size_t i = 0; i < count; ++i) {
    if (size - pos < 4) {
      pos_ = size;
      SetEof(true);
      return;
    }
    const int32_t length = Int32At(data.data() + pos);
    if (length < -1) ThrowMalformed(Format("invalid value length (%d)", {length}), pos);
    pos += 4;
    if (length > size - pos) {
      pos_ = size;
      SetEof(true);
      return;
    }
    if (length > 0) pos += length;
  }
  SetEof(false);
  std::vector<bool>& nulls = Nulls();
  pos = pos_;
  for (size_t i = 0; i < count; ++i) {
    const int32_t length = Int32At(data.data() + pos);
    pos += 4;
    if (length < 0) {
      values[i].clear();
      nulls[i] = true;
    } else {
      values[i].assign(data.data() + pos, static_cast<size_t>(length));
      nulls[i] = false;
      pos += length;
    }
  }
  pos_ = pos;
  CountRecord();
}

const std::string& TBinaryStreamDDReader::_GetFieldName(int index) { return GetField(index); }

const std::string& TBinaryStreamDDReader::_GetFieldValue(int index) { return GetValue(index); }

const std::string& TBinaryStreamDDReader::_GetFieldValue(const std::string& name) {
  return GetValue(FindField(name));
}

bool TBinaryStreamDDReader::_FieldIsNull(int index) { return GetNull(index); }

bool TBinaryStreamDDReader::_FieldIsNull(const std::string& name) {
  return GetNull(FindField(name));
}

}  // namespace kivo
