// Dictionary writers: copy any record source into a text dictionary or a binary dictionary.
//
// The writers scan an `IDataRead` once, from `_First` to `_Eof`, and write its field names and
// records to a stream or a new file. A progress callback sees every record before it is written
// and can leave it out.
//
//   kivo::TMemoryStream out;
//   kivo::_SaveDataToTextStream(reader, out, kivo::EncodeTextCSVStr, ',', '"', nullptr);
//   kivo::_SaveDataToBinaryFile(reader, "/tmp/de.kbf", [](double APercent,
//       const std::vector<std::string>& ARecord, bool& Accept) {
//     ShowProgress(APercent);
//     Accept = ARecord[0] != "Obsolete";
//   });
//
// Text layout, with a separator byte SEP and a quote byte QUOTE (the registered readers read
// files written with ',' and '"'): a header line of every field name, encoded and followed by
// SEP, then CR LF; then one line per record of every value, encoded — or nothing for a null
// value — and followed by SEP, then CR LF. A line of n fields thus ends with SEP CR LF; the header
// carries no record count. The encoder decides the flavour: `EncodeTextCSVStr` for CSV files
// (*.ktc, *.lng), `EncodeTextDFMStr` for DFM files (*.ktf). Both write an empty value as
// QUOTE QUOTE, so that it differs from a null one.
//
// Binary layout (*.kbf), every integer 32-bit signed little-endian, no signature, no padding:
// the field count N; N names, each its length and its bytes; the record count the source
// announced; then the records up to the end of the data, each N values in field order, a value
// being its length and its bytes, or −1 alone for a null value. The record count stays what the
// source announced also when the progress callback leaves records out.
//
// Output is collected in a buffer of kDDWriterBufferSize bytes and handed to the destination with
// `TStream::WriteBuffer` whenever the buffer fills, and once at the end. WriteBuffer offers the
// rest again after a short write and raises EWriteError "Stream write error" when the destination
// takes nothing, so a short write is reported, never silently truncated. When a writer fails, the
// destination holds a prefix of the output (possibly empty): the buffer is not flushed after a
// failure.
//
// Controls bracket: every writer calls `source._DisableControls()` before its scan and
// `source._EnableControls()` after it, also when the source, the callback, the encoder or the
// destination fails. When the call fails, an exception from `_EnableControls` is dropped in
// favour of the first error; on success it propagates.
//
// Progress: `APercent` is `_GetRecordNo() / _GetRecordCount()` in floating point — a fraction,
// 1.0 at the last record when the announced count is exact — and 0 for every record when the
// source announces 0 records. Records left out still count in the source's record numbers.
//
// Threads: single-threaded; a writer uses the source and the destination only during the call.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Stream.h"

namespace kivo {

// Message formats of the writers' own errors.
// The text writer was given no encoder.
inline constexpr const char* SNoTextEncoder = "No encoder given for the text dictionary";
// A field name (%d: its index) or a value (%s: its field's name, %d: the record number, then the
// value's length) longer than a binary dictionary's 32-bit lengths can hold.
inline constexpr const char* SBinaryNameTooLong =
    "Field name too long for a binary dictionary: field %d, %d bytes";
inline constexpr const char* SBinaryValueTooLong =
    "Value too long for a binary dictionary: field \"%s\", record %d, %d bytes";

// The errors of the binary writer for a field name (`field`: its index) or a value (of the field
// `field_name` in record `record_no`) of `size` bytes, more than the format's lengths can hold:
// "Value too long for a binary dictionary: field "DisplayValue", record 7, 2147483648 bytes".
EWriteError BinaryDDNameTooLong(int field, size_t size);
EWriteError BinaryDDValueTooLong(const std::string& field_name, int record_no, size_t size);

// The bytes the writers collect before handing them to the destination.
inline constexpr size_t kDDWriterBufferSize = 64 * 1024;
// The longest name or value a binary dictionary can hold: 2^31 − 1 bytes.
inline constexpr size_t kMaxBinaryDDLength = 0x7FFFFFFF;

// The progress callback: receives the fraction of the announced records reached, the values of
// the record about to be written (in field order; a null value is the empty string) and Accept,
// true on entry, which it sets to false to leave the record out. An empty function is unset.
using TProgressProc =
    std::function<void(double APercent, const std::vector<std::string>& ARecord, bool& Accept)>;

// A text encoder: returns the field text for one value, given the quote byte.
using TEncodeStrFunc = std::string (*)(const std::string& value, char quote);

// Encodes a value for the CSV flavour: QUOTE, then every byte of the value with QUOTE doubled,
// NUL as "%0", LF as "%n", CR as "%c" and "%" as "%%" (tested in that order, QUOTE first), every
// other byte copied; then QUOTE. "" gives QUOTE QUOTE; the result never holds a CR.
std::string EncodeTextCSVStr(const std::string& value, char quote);
// Appends EncodeTextCSVStr(value, quote) to `out`.
void AppendTextCSVStr(std::string& out, std::string_view value, char quote);

// Encodes a value for the DFM flavour: runs of bytes of value 32 or more (128–255 included) in
// QUOTE … QUOTE with QUOTE doubled, every byte below 32 outside the quotes as "#" and its decimal
// code ("50%\r\nmore" gives "50%"#13#10"more" with QUOTE '"'). "" gives QUOTE QUOTE. A byte equal
// to QUOTE is quoted whatever its value.
std::string EncodeTextDFMStr(const std::string& value, char quote);
// Appends EncodeTextDFMStr(value, quote) to `out`.
void AppendTextDFMStr(std::string& out, std::string_view value, char quote);

// Writes `source` as a text dictionary to `dest` at its position: names and values encoded with
// `encode` and `quote`, fields followed by `separator` (see the text layout above). `progress`
// may be unset.
// Throws: Exception "No encoder given for the text dictionary" when `encode` is null (before the
// source is touched); EWriteError "Stream write error" (or the destination's own error) when
// `dest` fails; whatever the source, `encode` or `progress` raises.
// Ownership: borrows `source` and `dest` for the call.
void _SaveDataToTextStream(IDataRead& source, TStream& dest, TEncodeStrFunc encode, char separator,
                           char quote, const TProgressProc& progress);

// Creates (or empties) the file `file_name` with TFileStream(file_name, fmCreate) and writes
// `source` to it as _SaveDataToTextStream does. The file is closed also when writing fails, and a
// partly written file is left in place (write to a temporary name and rename to replace a file
// safely).
// Throws: EFCreateError "Cannot create file "/x/de.ktc". No such file or directory" (or the
// system's other reasons) before the source is touched; the errors of _SaveDataToTextStream,
// "Stream write error. No space left on device" for instance.
void _SaveDataToTextFile(IDataRead& source, const std::string& file_name, TEncodeStrFunc encode,
                         char separator, char quote, const TProgressProc& progress);

// Writes `source` as a binary dictionary to `dest` at its position (see the binary layout
// above). `progress` may be unset; a null value is written as −1 whatever the callback saw.
// Throws: EWriteError "Field name too long for a binary dictionary: field 2, 2147483648 bytes" or
// "Value too long for a binary dictionary: field "DisplayValue", record 7, 2147483648 bytes" for
// a string longer than kMaxBinaryDDLength; EWriteError "Stream write error" (or the destination's
// own error) when `dest` fails; whatever the source or `progress` raises.
// Ownership: borrows `source` and `dest` for the call.
void _SaveDataToBinaryStream(IDataRead& source, TStream& dest, const TProgressProc& progress);

// Creates (or empties) the file `file_name` with TFileStream(file_name, fmCreate) and writes
// `source` to it as _SaveDataToBinaryStream does; closes it also on failure and leaves a partly
// written file in place.
// Throws: EFCreateError "Cannot create file "/x/de.kbf". No such file or directory" (or the
// system's other reasons) before the source is touched; the errors of _SaveDataToBinaryStream.
void _SaveDataToBinaryFile(IDataRead& source, const std::string& file_name,
                           const TProgressProc& progress);

}  // namespace kivo
