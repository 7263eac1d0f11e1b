// Record readers: the forward-only cursor through which every dictionary source is read, and the
// readers of the three dictionary file formats.
//
// A source — a text file, a binary file, bytes stored in a form, a data set — is a table of
// named fields whose values are byte strings, each with a null flag. Consumers iterate it as
//
//   reader._DisableControls();
//   reader._First();
//   while (!reader._Eof()) {
//     Use(reader._GetFieldValue(0), reader._FieldIsNull(0));
//     reader._Next();
//   }
//   reader._EnableControls();   // also when the scan fails
//
// The stream readers copy the whole source into memory when they are created, parse the field
// names at once and are then on the first record (or at end):
//
//   kivo::TFileStream file("de.ktc", kivo::fmOpenRead | kivo::fmShareDenyWrite);
//   kivo::TTextCSVStreamDDReader reader(file);   // file may be closed from here on
//   reader._GetFieldName(0);                     // "DDKey"
//   reader._GetFieldValue("ddkey");              // the first record's key
//
// Three formats are read:
//
//   * Text (TTextCSVStreamDDReader, TTextDFMStreamDDReader). One header line of field names,
//     then one line per record. Every field, the last included, is followed by the separator
//     (a comma), every line ends in CR LF, a null value is an empty field:
//         "DDKey","CodePage","SeqNo","DisplayValue",
//         "File","936",,"Datei",
//     A field runs from the byte after the previous separator to the next separator outside
//     quoted text (every quote byte toggles, wherever it stands) or to the end of the data; line
//     ends are found only by counting fields. The two flavours differ in how a field's bytes
//     are decoded (see their DecodeStr).
//   * Binary (TBinaryStreamDDReader). 32-bit little-endian integers: the field count N, N names
//     (length, bytes), the announced record count, then records up to the end of the data, each
//     N values (length −1 for null, else length and bytes).
//
// Malformed text never raises (only the DFM flavour's "#" codes can fail to convert); a
// malformed binary header or value length raises the error SMalformedBinaryDictionary.
// Ownership: a reader is owned by whoever created it (a `std::unique_ptr` from a reader class's
// factory, or a local); consumers such as the dictionaries and the writers borrow it
// (`IDataRead&`) for the duration of one call and keep no reference afterwards. A stream reader
// keeps no reference to its source stream after its constructor returns.
// Threads: a reader is single-threaded, no locking.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/Stream.h"

namespace kivo {

// Message format of a binary dictionary that cannot be read: %s is the reason, %d the offset of
// the offending 32-bit integer in the data. The reasons are "negative field count (-1)",
// "field count (2147483647) larger than the data", "negative name length (-1)" and
// "invalid value length (-2)".
inline constexpr const char* SMalformedBinaryDictionary =
    "Malformed binary dictionary: %s at byte %d";

// The record cursor. The order of the operations is fixed and kept by every implementation.
// Integers are 32-bit. Strings returned by reference stay valid until the cursor moves
// (_First, _Next) or the reader is destroyed.
class IDataRead {
 public:
  virtual ~IDataRead() = default;

  // Rewinds to the first record and makes it current; `_Eof` is true when there is none.
  virtual void _First() = 0;
  // Makes the following record current; at the end `_Eof` becomes true and the last record's
  // values, null flags and number stay. Does nothing when `_Eof` is already true.
  virtual void _Next() = 0;
  // True when no current record is available.
  virtual bool _Eof() = 0;
  // The number of fields.
  virtual int _GetFieldCount() = 0;
  // The number of records the source announces: a hint for progress and sizing, not a promise.
  virtual int _GetRecordCount() = 0;
  // The 1-based number of the current record; 0 after `_First` on a source without records.
  virtual int _GetRecordNo() = 0;
  // The name of field `index`.
  virtual const std::string& _GetFieldName(int index) = 0;
  // The current value of field `index`; the empty string for a null value.
  virtual const std::string& _GetFieldValue(int index) = 0;
  // The current value of the first field named `name` (letter case ignored).
  virtual const std::string& _GetFieldValue(const std::string& name) = 0;
  // The current null flag of field `index`.
  virtual bool _FieldIsNull(int index) = 0;
  // The current null flag of the first field named `name` (letter case ignored).
  virtual bool _FieldIsNull(const std::string& name) = 0;
  // Whether field `index` holds large binary or memo data.
  virtual bool _FieldIsBlob(int index) = 0;
  virtual bool _FieldIsBlob(const std::string& name) = 0;
  // Bracket a complete scan, so that a source bound to controls stops updating them.
  virtual void _DisableControls() = 0;
  virtual void _EnableControls() = 0;
};

// Base of every reader class: the record cursor as an object of the class model.
class TCustomDDReader : public TObject, public IDataRead {
  KIVO_CLASS(TCustomDDReader, kivo::TObject)

  // The fifteen operations of IDataRead, in its fixed order.
  void _First() override = 0;
  void _Next() override = 0;
  bool _Eof() override = 0;
  int _GetFieldCount() override = 0;
  int _GetRecordCount() override = 0;
  int _GetRecordNo() override = 0;
  const std::string& _GetFieldName(int index) override = 0;
  const std::string& _GetFieldValue(int index) override = 0;
  const std::string& _GetFieldValue(const std::string& name) override = 0;
  bool _FieldIsNull(int index) override = 0;
  bool _FieldIsNull(const std::string& name) override = 0;
  bool _FieldIsBlob(int index) override = 0;
  bool _FieldIsBlob(const std::string& name) override = 0;
  void _DisableControls() override = 0;
  void _EnableControls() override = 0;
};

// Base of the readers of a byte stream: holds a memory copy of the stream and the current record.
//
// The current record is three arrays of the same length, the field count: the values, the null
// flags and the field names. They are reused from record to record, so a value's storage grows
// to the longest value of its field and is not released while reading.
//
// Indexes. An index outside 0 … field count − 1 (the dictionaries pass −1 for a field the source
// lacks) is answered as a field without data: the name and the value are the empty string and
// the null flag is true. The setters ignore such an index.
//
// Names are found by a linear scan from index 0 comparing with AnsiCompareText; the first equal
// name wins, so of duplicate names only the first is reachable by name. A name that no field
// has gives the empty value.
//
// The constructor only copies the source. Each concrete reader parses the copy in its own
// constructor and ends it with `_First()`, because a base class's constructor cannot reach the
// overrides of the class being constructed.
class TCustomStreamDDReader : public TCustomDDReader {
  KIVO_CLASS(TCustomStreamDDReader, kivo::TCustomDDReader)

  // Copies the whole of `source`, from its first byte whatever its position, into memory. The
  // reader has no fields, `Eof` true, `RecordCount` and `RecordNo` 0.
  // Throws: whatever `source` raises while it is read (EReadError "Stream read error" …).
  explicit TCustomStreamDDReader(TStream& source);
  ~TCustomStreamDDReader() override;

  TCustomStreamDDReader(const TCustomStreamDDReader&) = delete;
  TCustomStreamDDReader& operator=(const TCustomStreamDDReader&) = delete;

  // The properties; FieldCount is read through _GetFieldCount.
  bool Eof() const { return eof_; }
  void SetEof(bool eof) { eof_ = eof; }
  int FieldCount() { return _GetFieldCount(); }
  // Sets the number of fields. Entries below `count` keep their names, values and null flags;
  // new ones are empty and not null. A negative count gives no fields.
  void SetFieldCount(int count);
  int RecordCount() const { return record_count_; }
  void SetRecordCount(int count) { record_count_ = count; }
  int RecordNo() const { return record_no_; }
  void SetRecordNo(int record_no) { record_no_ = record_no; }
  // The number of bytes of the source (the reader's copy of it).
  size_t SourceSize() const { return memory_.Bytes().size(); }

  // The name, current value and current null flag of field `index`; see the class comment for an
  // index outside the fields.
  const std::string& GetField(int index) const;
  void SetField(int index, const std::string& name);
  const std::string& GetValue(int index) const;
  void SetValue(int index, const std::string& value);
  bool GetNull(int index) const;
  void SetNull(int index, bool is_null);

  // The operations of IDataRead, in their fixed order. This class sets only RecordNo to 0 in
  // _First (a derived class calls it, then rewinds and reads the first record); _Eof,
  // _GetRecordCount and _GetRecordNo answer the properties; both _FieldIsBlob answer false; the
  // control brackets do nothing. The others are left to the derived classes.
  void _First() override;
  void _Next() override = 0;
  bool _Eof() override;
  int _GetFieldCount() override;
  int _GetRecordCount() override;
  int _GetRecordNo() override;
  const std::string& _GetFieldName(int index) override = 0;
  const std::string& _GetFieldValue(int index) override = 0;
  const std::string& _GetFieldValue(const std::string& name) override = 0;
  bool _FieldIsNull(int index) override = 0;
  bool _FieldIsNull(const std::string& name) override = 0;
  bool _FieldIsBlob(int index) override;
  bool _FieldIsBlob(const std::string& name) override;
  void _DisableControls() override;
  void _EnableControls() override;

 protected:
  // The memory copy of the source.
  const TMemoryStream& MemoryCopy() const { return memory_; }
  // Its bytes; `Data().size()` is the Size that positions are compared with.
  std::string_view Data() const { return memory_.Bytes(); }
  // The index of the first field named `name` (AnsiCompareText), or −1.
  int FindField(const std::string& name) const;
  // The arrays, for the parsers of derived classes; all three have FieldCount() entries.
  std::vector<std::string>& Names() { return names_; }
  std::vector<std::string>& Values() { return values_; }
  std::vector<bool>& Nulls() { return nulls_; }
  // Adds one field named `name` (empty value, not null) after the last.
  void AddField(std::string name);
  // Adds 1 to RecordNo, which stays at the largest 32-bit value once it has reached it.
  void CountRecord();

 private:
  std::vector<std::string> values_;  // current value per field
  std::vector<bool> nulls_;          // current null flag per field
  std::vector<std::string> names_;   // field names, in source order
  bool eof_ = true;                  // no current record
  int record_count_ = 0;             // announced by the source
  int record_no_ = 0;                // records read since the last _First
  TMemoryStream memory_;             // the whole source
};

// Base of the text readers: parses the line layout in place, leaving the decoding of one field's
// bytes to DecodeStr.
//
// Positions (Start, DataStart, Cur) are offsets into the memory copy; Size is its length. Start
// is 0; DataStart is the position of the byte after the header's CR (the LF); Cur is the scan
// position, which lies on the LF of the previous line between records and may pass Size by a
// few bytes at the end of the data (no byte at or past Size is ever read).
//
// Leniency: nothing in the text makes a reader fail but the DFM flavour's "#" codes. Quotes that
// do not pair, missing separators and stray line breaks only move the field boundaries; a line
// with fewer fields than the header runs on into the next line. A blank line at the end is one
// more record whose first field holds CR LF and whose other fields are null. Data with bare LF
// line ends has no header end: every field is a name and there are no records. An empty source
// gives no fields, `RecordCount` 0 and `Eof` true.
//
// RecordCount is the number of CR bytes outside quoted text, less one for the header (−1 for a
// header without CR), saturated at the largest 32-bit value.
//
// Construction. The constructors here store the characters but do not parse; each concrete
// reader's constructor ends with Open(), which parses with that reader's DecodeStr. So a class
// derived from a concrete reader is parsed during construction with the concrete reader's own
// decoding; such a class that decodes differently calls Open() again at the end of its own
// constructor (Open starts afresh). The flavours' DecodeStr is final: the parser calls
// DecodeStrInto, and a class derived from a flavour changes the decoding by overriding that.
//
// When DecodeStr raises, the error leaves the operation that was reading (the constructor for the
// header and the first record, else _Next); after an error in _Next the current record is partly
// updated and the reader should be rewound with _First or dropped.
class TCustomTextStreamDDReader : public TCustomStreamDDReader {
  KIVO_CLASS(TCustomTextStreamDDReader, kivo::TCustomStreamDDReader)

  // Copies `source` for reading with the separator comma and the quote character '"'.
  // Throws: whatever `source` raises while it is read.
  explicit TCustomTextStreamDDReader(TStream& source);
  // Copies `source` for reading with `separator` and `quote`.
  // Throws: whatever `source` raises while it is read.
  TCustomTextStreamDDReader(TStream& source, char separator, char quote);

  // Operations of IDataRead: _First rewinds to DataStart and reads the first record; _Next reads
  // the following one. A name that no field has gives the empty value and the null flag false.
  void _First() override;
  void _Next() override;
  const std::string& _GetFieldName(int index) override;
  const std::string& _GetFieldValue(int index) override;
  const std::string& _GetFieldValue(const std::string& name) override;
  bool _FieldIsNull(int index) override;
  bool _FieldIsNull(const std::string& name) override;

  // The hooks of the text readers, in their fixed slot order: DecodeStr, ReadFields,
  // ReadAFieldValue, ReadARecord, ReadRecordCount.

  // Decodes the raw bytes of one non-empty field (quotes included) into its value.
  // Throws: what the flavour's decoding raises (the DFM flavour: EConvertError).
  virtual std::string DecodeStr(std::string_view field) = 0;

 protected:
  // Parses the header line from Start: every field up to the first CR that directly follows a
  // field's separator (or up to the end of the data) becomes a field name; then sets DataStart
  // to the byte after that CR, Cur to DataStart and Eof when no byte follows it.
  virtual void ReadFields();
  // Reads one field at Cur into `value` (replacing its contents) and sets `is_null` when the
  // field has no bytes (the value is then empty); Cur moves past the field's separator.
  virtual void ReadAFieldValue(std::string& value, bool& is_null);
  // Reads the record that starts after the LF at Cur: Eof when no byte follows it (the current
  // record and RecordNo then stay); otherwise exactly FieldCount() fields, then counts it.
  virtual void ReadARecord();
  // Counts the CR bytes outside quoted text in the whole data, less one for the header.
  virtual int ReadRecordCount();

  // Decodes `field` into `out`, replacing its contents; ReadAFieldValue calls it for every
  // non-empty field. This version assigns DecodeStr(field); the flavours decode in place and
  // implement their DecodeStr on this, so a class derived from a flavour overrides this one.
  virtual void DecodeStrInto(std::string_view field, std::string& out);

  // Parses the source: when it is not empty, ReadFields, RecordCount := ReadRecordCount, _First.
  // Starts afresh: the fields of an earlier parse are dropped.
  // Throws: what DecodeStr raises in the header or the first record.
  void Open();

  int64_t Start() const { return start_; }
  int64_t DataStart() const { return data_start_; }
  void SetDataStart(int64_t position) { data_start_ = position; }
  int64_t Cur() const { return cur_; }
  void SetCur(int64_t position) { cur_ = position; }
  char Separator() const { return separator_; }
  char Quote() const { return quote_; }

 private:
  int64_t start_ = 0;       // first byte of the memory copy
  int64_t data_start_ = 0;  // the LF after the header's CR
  int64_t cur_ = 0;         // scan position; may pass the size at the end
  char separator_;
  char quote_;
};

// The reader of the CSV flavour of text dictionaries.
//
// Decoding, with Q the quote character:
//   * a field of exactly Q Q is the empty value;
//   * Q Q is one Q; a Q before any other byte, or at the end, is dropped (so quoting is
//     optional: a field without quotes is taken as it stands);
//   * "%%", "%0", "%c", "%n" are "%", byte 0, CR and LF; "%" before any other byte gives that
//     byte ("%x" is "x", "%C" is "C"); a "%" at the end is dropped;
//   * every other byte stands for itself.
// The decoder pairs quotes from the left and keeps no state, so a value of nothing but quote
// characters reads back with one more (Q Q Q Q is two quotes).
//
//   kivo::TTextCSVStreamDDReader reader(stream);
//   reader.DecodeStr("\"50%%%c%nmore\"");   // "50%\r\nmore"
class TTextCSVStreamDDReader : public TCustomTextStreamDDReader {
  KIVO_CLASS(TTextCSVStreamDDReader, kivo::TCustomTextStreamDDReader)

  // Copies and parses `source` (separator comma, quote '"'); the reader is then on record 1 or at
  // end.
  // Throws: whatever `source` raises while it is read.
  explicit TTextCSVStreamDDReader(TStream& source);
  // The same with `separator` and `quote`.
  TTextCSVStreamDDReader(TStream& source, char separator, char quote);

  std::string DecodeStr(std::string_view field) final;

 protected:
  void DecodeStrInto(std::string_view field, std::string& out) override;
};

// The reader of the DFM flavour of text dictionaries.
//
// Decoding, with Q the quote character, keeps track of whether it is inside a quoted run:
//   * a field of exactly Q Q is the empty value;
//   * a run of k quote bytes gives k div 2 quotes inside a run and (k − 1) div 2 outside; an odd
//     k opens or closes the run;
//   * outside a run, "#" and the decimal digits after it give one byte: the low 8 bits of the
//     number ("#13" is CR, "#321" is "A");
//   * every other byte, "#" inside a run included, stands for itself.
//
//   kivo::TTextDFMStreamDDReader reader(stream);
//   reader.DecodeStr("\"50%\"#13#10\"more\"");   // "50%\r\nmore"
class TTextDFMStreamDDReader : public TCustomTextStreamDDReader {
  KIVO_CLASS(TTextDFMStreamDDReader, kivo::TCustomTextStreamDDReader)

  // Copies and parses `source` (separator comma, quote '"'); the reader is then on record 1 or at
  // end.
  // Throws: whatever `source` raises while it is read; EConvertError (see DecodeStr) from the
  // header or the first record.
  explicit TTextDFMStreamDDReader(TStream& source);
  // The same with `separator` and `quote`.
  TTextDFMStreamDDReader(TStream& source, char separator, char quote);

  // Throws: EConvertError "'' is not a valid integer value" for a "#" outside a run without
  // digits after it; EConvertError "'4294967296' is not a valid integer value" for digits beyond
  // the 32-bit range.
  std::string DecodeStr(std::string_view field) final;

 protected:
  void DecodeStrInto(std::string_view field, std::string& out) override;
};

// The reader of binary dictionaries.
//
// Lengths are checked against the bytes that remain before anything is allocated or copied, so
// memory stays within the size of the data. Data that ends early is not an error:
//   * inside the header: the names read completely so far are the fields, RecordCount is 0 and
//     there are no records (an empty source: no fields);
//   * inside a record: the records end with the last complete one, which stays current at end.
// A field count below 0, or one that the rest of the data cannot hold as 4-byte lengths, a name
// length below 0 and a value length below −1 are malformed: the construction (header, first
// record) or _Next raises SMalformedBinaryDictionary, and the reader's state is unchanged by the
// failed _Next. A reader without fields has no records (a record of no fields takes no bytes).
// The announced record count is kept as stored, negative or huge.
//
//   kivo::TBinaryStreamDDReader reader(stream);
//   reader._FieldIsNull("nosuchfield");   // true
//
// A class derived from this one is parsed during its construction by this class.
class TBinaryStreamDDReader : public TCustomStreamDDReader {
  KIVO_CLASS(TBinaryStreamDDReader, kivo::TCustomStreamDDReader)

  // Copies and parses `source`; the reader is then on record 1 or at end.
  // Throws: whatever `source` raises while it is read; Exception "Malformed binary dictionary:
  // negative field count (-1) at byte 0" (and the other reasons of SMalformedBinaryDictionary).
  explicit TBinaryStreamDDReader(TStream& source);

  // Operations of IDataRead: _First rewinds to DataStart and reads the first record; _Next reads
  // the following one. A name that no field has gives the empty value and the null flag true.
  // Throws (_First, _Next): Exception "Malformed binary dictionary: invalid value length (-2) at
  // byte 40" for a value length below −1.
  void _First() override;
  void _Next() override;
  const std::string& _GetFieldName(int index) override;
  const std::string& _GetFieldValue(int index) override;
  const std::string& _GetFieldValue(const std::string& name) override;
  bool _FieldIsNull(int index) override;
  bool _FieldIsNull(const std::string& name) override;

 protected:
  // Reads the record at the read position: Eof at the end of the data or of the last complete
  // record (the current record and RecordNo then stay); otherwise its values, then counts it.
  // Throws: Exception (SMalformedBinaryDictionary) for a value length below −1.
  virtual void ReadARecord();

  // The offset of the first record.
  int64_t DataStart() const { return data_start_; }

 private:
  // Parses the header from offset 0 and sets DataStart and Eof.
  void ReadHeader();

  int64_t data_start_ = 0;  // first record
  int64_t pos_ = 0;         // read position
};

// A reader class for the reader registry: the class and a factory that creates a reader of it
// over a stream.
struct TStreamDDReaderClass {
  TClass cls;
  // Copies and parses the stream (see the reader class's constructor for what it throws).
  std::unique_ptr<TCustomStreamDDReader> (*create)(TStream& source);
};

// The descriptor of reader class R (one per class, for the life of the program).
template <class R>
const TStreamDDReaderClass* StreamDDReaderClass() {
  static_assert(std::is_base_of_v<TCustomStreamDDReader, R>,
                "a reader class derives from TCustomStreamDDReader");
  static const TStreamDDReaderClass descriptor{
      R::StaticClass(), [](TStream& source) -> std::unique_ptr<TCustomStreamDDReader> {
        return std::make_unique<R>(source);
      }};
  return &descriptor;
}

}  // namespace kivo
