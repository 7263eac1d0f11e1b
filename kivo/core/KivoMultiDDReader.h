// Record readers: the forward-only cursor through which every dictionary source is read.
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
// Ownership: a reader is owned by whoever created it (a `std::unique_ptr` from a reader class's
// factory); consumers such as the dictionaries and the writers borrow it (`IDataRead&`) for the
// duration of one call and keep no reference afterwards.
#pragma once

#include <string>

namespace kivo {

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

}  // namespace kivo
