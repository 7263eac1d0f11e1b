// The lookup through which class handlers translate texts.
//
// IDataLocate answers one question: the translation of a key for a code page and a sequence
// number. The dictionary component TCustomMultiDD offers it, so a handler that receives one can
// look its texts up without knowing which dictionary it is talking to.
//
//   void Proc_TMyControl(kivo::IDataLocate& locate, kivo::TObject* object,
//                        const std::string& code_page, const std::string& seq_no, kivo::TFont*) {
//     auto* control = static_cast<TMyControl*>(object);
//     control->SetTitle(kivo::GetDisplayValue(locate, control->Title(), code_page, seq_no));
//   }
//
// Lifetime: the implementing object's lifetime belongs to its owner; a handler borrows the
// lookup for one call and must not keep it. Threads: user-interface thread only.
#pragma once

#include <string>

namespace kivo {

class IDataLocate {
 public:
  // The translation of `dd_key` for `code_page` and `seq_no`, or `dd_key` itself when the
  // lookup holds none.
  // Throws: whatever the implementation raises while it loads its records.
  virtual std::string GetDisplayValue(const std::string& dd_key, const std::string& code_page,
                                      const std::string& seq_no) = 0;

 protected:
  // Never deleted through the interface.
  ~IDataLocate() = default;
};

}  // namespace kivo
