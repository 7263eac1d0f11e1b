// A filer for tests: writing collects each binary property's bytes and each strings property's
// strings by name, reading hands them back to the property's reader.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "kivo/rtl/Persistent.h"
#include "kivo/rtl/Stream.h"

namespace kivo::testing {

class MemoryFiler : public TFiler {
 public:
  enum Mode { kWriting, kReading };
  explicit MemoryFiler(Mode mode) : mode_(mode) {}

  void DefineBinaryProperty(const std::string& name, const TStreamProc& read_data,
                            const TStreamProc& write_data, bool has_data) override {
    defined.push_back(name);
    if (mode_ == kWriting) {
      if (!has_data) return;
      TMemoryStream bytes;
      write_data(bytes);
      stored[name] = std::string(bytes.Bytes());
    } else {
      auto it = stored.find(name);
      if (it == stored.end()) return;
      TMemoryStream bytes;
      bytes.WriteString(it->second);
      bytes.SetPosition(0);
      read_data(bytes);
    }
  }

  void DefineStringsProperty(const std::string& name, const TReadStringsProc& read_values,
                             const TWriteStringsProc& write_values, bool has_data) override {
    defined.push_back(name);
    if (mode_ == kWriting) {
      if (has_data) stored_strings[name] = write_values();
    } else {
      auto it = stored_strings.find(name);
      if (it != stored_strings.end()) read_values(it->second);
    }
  }

  void Read(TPersistent& p) {
    mode_ = kReading;
    p.DefineProperties(*this);
  }
  void Write(TPersistent& p) {
    mode_ = kWriting;
    p.DefineProperties(*this);
  }

  std::map<std::string, std::string> stored;                       // binary properties
  std::map<std::string, std::vector<std::string>> stored_strings;  // strings properties
  std::vector<std::string> defined;

 private:
  Mode mode_;
};

}  // namespace kivo::testing
