// A record reader over rows held in memory, for tests of the consumers of IDataRead.
//
//   kivo::testing::MemoryReader r({"DDKey", "CodePage", "SeqNo", "DisplayValue"},
//                                 {{"File", "936", kNull, "Datei"}});
//
// A value equal to `kNull` is a null value (read as the empty string with the null flag set).
// The reader counts the calls of _DisableControls and _EnableControls, can announce a record
// count other than the number of rows, and can fail in _Next after a given number of records.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "kivo/core/KivoMultiDDReader.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo::testing {

inline const std::string kNull = std::string("\0<null>\0", 8);

class MemoryReader : public IDataRead {
 public:
  MemoryReader(std::vector<std::string> names, std::vector<std::vector<std::string>> rows)
      : names_(std::move(names)),
        rows_(std::move(rows)),
        announced_(static_cast<int>(rows_.size())) {}

  // The record count that _GetRecordCount answers.
  void Announce(int count) { announced_ = count; }
  // _Next raises Exception "source failed" when it would move past record `n` (1-based).
  void FailAfter(int n) { fail_after_ = n; }

  int disable_calls = 0;
  int enable_calls = 0;

  void _First() override {
    pos_ = 0;
    no_ = rows_.empty() ? 0 : 1;
  }
  void _Next() override {
    if (_Eof()) return;
    if (fail_after_ && no_ >= *fail_after_) throw Exception("source failed");
    ++pos_;
    if (pos_ < rows_.size()) ++no_;
  }
  bool _Eof() override { return pos_ >= rows_.size(); }
  int _GetFieldCount() override { return static_cast<int>(names_.size()); }
  int _GetRecordCount() override { return announced_; }
  int _GetRecordNo() override { return no_; }
  const std::string& _GetFieldName(int index) override { return names_.at(Index(index)); }
  const std::string& _GetFieldValue(int index) override {
    const std::string& v = Current().at(Index(index));
    return v == kNull ? empty_ : v;
  }
  const std::string& _GetFieldValue(const std::string& name) override {
    const int i = Find(name);
    return i < 0 ? empty_ : _GetFieldValue(i);
  }
  bool _FieldIsNull(int index) override { return Current().at(Index(index)) == kNull; }
  bool _FieldIsNull(const std::string& name) override {
    const int i = Find(name);
    return i < 0 ? true : _FieldIsNull(i);
  }
  bool _FieldIsBlob(int) override { return false; }
  bool _FieldIsBlob(const std::string&) override { return false; }
  void _DisableControls() override { ++disable_calls; }
  void _EnableControls() override { ++enable_calls; }

 private:
  static size_t Index(int index) {
    if (index < 0) throw std::out_of_range("negative field index");
    return static_cast<size_t>(index);
  }
  const std::vector<std::string>& Current() const {
    // After the end the last record stays readable.
    return rows_.at(pos_ < rows_.size() ? pos_ : rows_.size() - 1);
  }
  int Find(const std::string& name) const {
    for (size_t i = 0; i < names_.size(); ++i) {
      if (AnsiSameText(names_[i], name)) return static_cast<int>(i);
    }
    return -1;
  }

  std::vector<std::string> names_;
  std::vector<std::vector<std::string>> rows_;
  int announced_;
  std::optional<int> fail_after_;
  size_t pos_ = 0;
  int no_ = 0;
  const std::string empty_;
};

}  // namespace kivo::testing
