#include "kivo/core/KivoMultiDDWriter.h"

#include <algorithm>
#include <cstdint>
#include <exception>
#include <string>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';

// Brackets a scan of `source` with _DisableControls and _EnableControls. Finish() closes the
// bracket after a successful scan; otherwise the destructor closes it, keeping the error that is
// propagating rather than one from _EnableControls.
class ControlsGuard {
 public:
  explicit ControlsGuard(IDataRead& source) : source_(source) { source_._DisableControls(); }
  ~ControlsGuard() {
    if (finished_) return;
    try {
      source_._EnableControls();
    } catch (const std::exception&) {
      // The error that ended the scan is the one to report.
    }
  }
  ControlsGuard(const ControlsGuard&) = delete;
  ControlsGuard& operator=(const ControlsGuard&) = delete;

  // Throws: whatever _EnableControls raises.
  void Finish() {
    finished_ = true;
    source_._EnableControls();
  }

 private:
  IDataRead& source_;
  bool finished_ = false;
};

// Collects output and hands it to the destination in blocks of about kDDWriterBufferSize bytes.
// The bytes still collected when the writer fails are dropped.
class OutputBuffer {
 public:
  explicit OutputBuffer(TStream& dest) : dest_(dest) { bytes_.reserve(kDDWriterBufferSize); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  // The collected bytes, for appending.
  std::string& Bytes() { return bytes_; }
  // Appends `bytes`; a block at least as large as the buffer goes to the destination directly.
  void Write(std::string_view bytes) {
    if (bytes.size() < kDDWriterBufferSize) {
      bytes_.append(bytes);
      FlushIfFull();
      return;
    }
    Flush();
    dest_.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  }
  // Hands the collected bytes to the destination once they fill the buffer.
  void FlushIfFull() {
    if (bytes_.size() >= kDDWriterBufferSize) Flush();
  }
  // Hands the collected bytes to the destination.
  void Flush() {
    dest_.WriteBuffer(bytes_.data(), static_cast<int64_t>(bytes_.size()));
    bytes_.clear();
    if (bytes_.capacity() > 2 * kDDWriterBufferSize) {
      // A huge encoded value grew the buffer: give the memory back.
      std::string().swap(bytes_);
      bytes_.reserve(kDDWriterBufferSize);
    }
  }

 private:
  TStream& dest_;
  std::string bytes_;
};

// APercent for the current record: its number over the announced count, 0 when none is
// announced.
double Percent(IDataRead& source) {
  const int count = source._GetRecordCount();
  if (count == 0) return 0.0;
  return static_cast<double>(source._GetRecordNo()) / static_cast<double>(count);
}

// Runs the record loop shared by the writers: offers every record to `progress` (when set) and
// calls `write_record` for each accepted one. `write_record` receives the values the callback
// saw, or null when there is no callback (it then reads the values from the source).
template <class WriteRecord>
void ScanRecords(IDataRead& source, int field_count, const TProgressProc& progress,
                 WriteRecord write_record) {
  std::vector<std::string> record;
  if (progress) record.resize(static_cast<size_t>(std::max(field_count, 0)));
  source._First();
  while (!source._Eof()) {
    bool accept = true;
    if (progress) {
      for (int i = 0; i < field_count; ++i) {
        record[static_cast<size_t>(i)].assign(source._GetFieldValue(i));
      }
      progress(Percent(source), record, accept);
    }
    if (accept) write_record(progress ? &record : nullptr);
    source._Next();
  }
}

// Value `index` of the record being written: from the callback's copy when there is one.
const std::string& RecordValue(IDataRead& source, const std::vector<std::string>* record,
                               int index) {
  return record != nullptr ? (*record)[static_cast<size_t>(index)] : source._GetFieldValue(index);
}

// Appends the encoded `value`; the two encoders of this unit append in place.
void AppendEncoded(std::string& out, TEncodeStrFunc encode, const std::string& value, char quote) {
  if (encode == &EncodeTextCSVStr) {
    AppendTextCSVStr(out, value, quote);
  } else if (encode == &EncodeTextDFMStr) {
    AppendTextDFMStr(out, value, quote);
  } else {
    out += encode(value, quote);
  }
}

// Appends `value` as 4 bytes, least significant first.
void AppendInt32(std::string& out, int32_t value) {
  const uint32_t bits = static_cast<uint32_t>(value);
  out.push_back(static_cast<char>(bits & 0xFF));
  out.push_back(static_cast<char>((bits >> 8) & 0xFF));
  out.push_back(static_cast<char>((bits >> 16) & 0xFF));
  out.push_back(static_cast<char>((bits >> 24) & 0xFF));
}

// Appends the decimal code of a control byte (0 … 31).
void AppendControlCode(std::string& out, unsigned char byte) {
  out.push_back('#');
  if (byte >= 10) out.push_back(static_cast<char>('0' + byte / 10));
  out.push_back(static_cast<char>('0' + byte % 10));
}

}  // namespace

// ----- Errors -----

EWriteError BinaryDDNameTooLong(int field, size_t size) {
  return EWriteError(
      FormatMessage(SBinaryNameTooLong, {std::to_string(field), std::to_string(size)}));
}

EWriteError BinaryDDValueTooLong(const std::string& field_name, int record_no, size_t size) {
  return EWriteError(FormatMessage(SBinaryValueTooLong,
                                   {field_name, std::to_string(record_no), std::to_string(size)}));
}

// ----- Encoders -----

void AppendTextCSVStr(std::string& out, std::string_view value, char quote) {
  out.reserve(out.size() + value.size() + 2);
  out.push_back(quote);
  size_t run_start = 0;  // the first byte not yet appended
  for (size_t i = 0; i < value.size(); ++i) {
    const char c = value[i];
    char escape = 0;  // the byte after "%", or 0 for a byte copied as it is
    if (c == quote) {
      escape = quote;
    } else if (c == '\0') {
      escape = '0';
    } else if (c == kLF) {
      escape = 'n';
    } else if (c == kCR) {
      escape = 'c';
    } else if (c == '%') {
      escape = '%';
    } else {
      continue;
    }
    out.append(value.data() + run_start, i - run_start);
    run_start = i + 1;
    if (c == quote) {
      out.push_back(quote);
      out.push_back(quote);
    } else {
      out.push_back('%');
      out.push_back(escape);
    }
  }
  out.append(value.data() + run_start, value.size() - run_start);
  out.push_back(quote);
}

std::string EncodeTextCSVStr(const std::string& value, char quote) {
  std::string out;
  AppendTextCSVStr(out, value, quote);
  return out;
}

void AppendTextDFMStr(std::string& out, std::string_view value, char quote) {
  if (value.empty()) {
    out.push_back(quote);
    out.push_back(quote);
    return;
  }
  out.reserve(out.size() + value.size() + 2);
  bool inside = false;  // within a quoted run
  size_t i = 0;
  while (i < value.size()) {
    const char c = value[i];
    if (c == quote) {
      if (!inside) out.push_back(quote);
      inside = true;
      out.push_back(quote);
      out.push_back(quote);
      ++i;
    } else if (static_cast<unsigned char>(c) < 32) {
      if (inside) out.push_back(quote);
      inside = false;
      // This byte and every control byte right after it, the quote byte included.
      for (; i < value.size() && static_cast<unsigned char>(value[i]) < 32; ++i) {
        AppendControlCode(out, static_cast<unsigned char>(value[i]));
      }
    } else {
      if (!inside) out.push_back(quote);
      inside = true;
      out.push_back(c);
      ++i;
    }
  }
  if (inside) out.push_back(quote);
}

std::string EncodeTextDFMStr(const std::string& value, char quote) {
  std::string out;
  AppendTextDFMStr(out, value, quote);
  return out;
}

// ----- Text writer -----

void _SaveDataToTextStream(IDataRead& source, TStream& dest, TEncodeStrFunc encode, char separator,
                           char quote, const TProgressProc& progress) {
  if (encode == nullptr) throw Exception(SNoTextEncoder);
  ControlsGuard controls(source);
  OutputBuffer out(dest);
  std::string& bytes = out.Bytes();

  const int field_count = source._GetFieldCount();
  for (int i = 0; i < field_count; ++i) {
    AppendEncoded(bytes, encode, source._GetFieldName(i), quote);
    bytes.push_back(separator);
    out.FlushIfFull();
  }
  bytes.push_back(kCR);
  bytes.push_back(kLF);

  ScanRecords(source, field_count, progress, [&](const std::vector<std::string>* record) {
    for (int j = 0; j < field_count; ++j) {
      if (!source._FieldIsNull(j)) {
        AppendEncoded(bytes, encode, RecordValue(source, record, j), quote);
      }
      bytes.push_back(separator);
      out.FlushIfFull();
    }
    bytes.push_back(kCR);
    bytes.push_back(kLF);
  });

  out.Flush();
  controls.Finish();
}

void _SaveDataToTextFile(IDataRead& source, const std::string& file_name, TEncodeStrFunc encode,
                         char separator, char quote, const TProgressProc& progress) {
  if (encode == nullptr) throw Exception(SNoTextEncoder);
  TFileStream file(file_name, fmCreate);
  _SaveDataToTextStream(source, file, encode, separator, quote, progress);
}

// ----- Binary writer -----

void _SaveDataToBinaryStream(IDataRead& source, TStream& dest, const TProgressProc& progress) {
  ControlsGuard controls(source);
  OutputBuffer out(dest);
  std::string& bytes = out.Bytes();

  const int field_count = source._GetFieldCount();
  AppendInt32(bytes, field_count);
  for (int i = 0; i < field_count; ++i) {
    const std::string& name = source._GetFieldName(i);
    if (name.size() > kMaxBinaryDDLength) {
      throw BinaryDDNameTooLong(i, name.size());
    }
    AppendInt32(bytes, static_cast<int32_t>(name.size()));
    out.Write(name);
  }
  AppendInt32(bytes, source._GetRecordCount());

  ScanRecords(source, field_count, progress, [&](const std::vector<std::string>* record) {
    for (int j = 0; j < field_count; ++j) {
      if (source._FieldIsNull(j)) {
        AppendInt32(bytes, -1);
        continue;
      }
      const std::string& value = RecordValue(source, record, j);
      if (value.size() > kMaxBinaryDDLength) {
        throw BinaryDDValueTooLong(source._GetFieldName(j), source._GetRecordNo(), value.size());
      }
      AppendInt32(bytes, static_cast<int32_t>(value.size()));
      out.Write(value);
    }
  });

  out.Flush();
  controls.Finish();
}

void _SaveDataToBinaryFile(IDataRead& source, const std::string& file_name,
                           const TProgressProc& progress) {
  TFileStream file(file_name, fmCreate);
  _SaveDataToBinaryStream(source, file, progress);
}

}  // namespace kivo
