// The component walk's settings, its exclusion query and its visited list.
//
// A walk translates one object and, on request, everything it owns and everything it contains,
// with one dictionary: the TCustomMultiDD on which ReplaceCom, ReplaceComOwned, ReplaceComSon and
// ReplaceComLanguage run (declared in KivoMultiDD.h, defined with this unit). That dictionary
// does every lookup and is the IDataLocate the class handlers receive.
//
// ReplaceCom (one object): false for null or an object already in the visited list; a control
// that is not a form and has no parent is also refused, and not entered, so a later step or walk
// may still reach it. Otherwise: a control's non-empty hint is translated and, when font
// replacement is on and a font is given, the control's font takes over the font's attributes;
// then the handler of the object's nearest registered class (KivoClassMethodStorage) is called,
// when there is one and it is not null, with the font whatever the flag says; last the object is
// entered and the result is true. An object of a class without handler is still entered.
//
// ReplaceComOwned and ReplaceComSon read the count of owned components or child controls once and
// take them from index 0: one the query refuses is skipped with everything below it; one that
// ReplaceCom handles is descended into at once (for child controls, when it is a windowed
// control). ReplaceComLanguage runs ReplaceCom on the object, then the owned walk, then the child
// walk, as its flags ask, with one visited list and no query: controls the form owns are handled
// by the owned walk, and a control the form does not own is reached by the child walk only below
// containers that the child walk reached first.
//
// Failure: an error of a lookup, a handler or a setter leaves the walk at once and passes on; the
// object whose handler failed is not entered; what was translated before stays translated.
//
//   kivo::TMultiReplaceOption option;
//   option.SetDDName("Main");
//   option.SetCodePage("1252");
//   kivo::KivoDDStorage->ReplaceComLanguage(option.DDName(), form, option.CodePage(),
//                                           option.SeqNo(), option.Font(), option.ReplaceSelf(),
//                                           option.ReplaceOwned(), option.ReplaceSon(),
//                                           option.ReplaceFont());
//
//   // Several steps of one walk share one visited list:
//   kivo::TReplaceList visited;
//   dd->ReplaceCom(form, "1252", "", nullptr, false, visited);
//   dd->ReplaceComOwned(form, "1252", "", nullptr, false, &query, visited);
//
// Threads: user-interface thread only; the walk changes controls.
#pragma once

#include <memory>
#include <string>
#include <unordered_set>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/Graphics.h"
#include "kivo/rtl/Persistent.h"

namespace kivo {

class TComponent;

// Decides which owned components and child controls a walk may visit.
class IMultiReplaceQuery {
 public:
  // True when the walk may visit `component` (an owned component or a child control it is about
  // to enter); false skips it together with everything below it on that path.
  virtual bool AllowReplaceCom(TComponent* component) = 0;

 protected:
  // Never deleted through the interface.
  ~IMultiReplaceQuery() = default;
};

// The objects that one walk has handled, by identity. The caller creates the list, passes the
// same list to every step of one walk and drops it afterwards.
class TReplaceList {
 public:
  TReplaceList() = default;
  TReplaceList(const TReplaceList&) = delete;
  TReplaceList& operator=(const TReplaceList&) = delete;

  // True when `object` has been entered.
  bool Contains(const TObject* object) const { return objects_.count(object) != 0; }
  // Enters `object`; entering it again changes nothing.
  void Add(const TObject* object) { objects_.insert(object); }
  // The number of objects entered.
  int Count() const { return static_cast<int>(objects_.size()); }
  // Forgets every object.
  void Clear() { objects_.clear(); }

 private:
  std::unordered_set<const TObject*> objects_;  // not owned, never dereferenced
};

// The settings of one replacement: which dictionary (by name), which code page and sequence
// number, what to walk and whether controls get a font.
//
// Persistent properties, in this order: DDName, CodePage, SeqNo (empty), Font (a default font),
// ReplaceSelf, ReplaceOwned, ReplaceSon (true; stored only when false), ReplaceFont (false,
// always stored).
class TMultiReplaceOption : public TPersistent {
  KIVO_CLASS(TMultiReplaceOption, TPersistent)

  // Creates the options with their defaults and a font of their own.
  TMultiReplaceOption();
  ~TMultiReplaceOption() override;
  TMultiReplaceOption(const TMultiReplaceOption&) = delete;
  TMultiReplaceOption& operator=(const TMultiReplaceOption&) = delete;

  // The name of the dictionary to use, looked up in KivoDDStorage by the holder of the options.
  const std::string& DDName() const { return dd_name_; }
  void SetDDName(const std::string& value) { dd_name_ = value; }
  // The code page (target language) of every lookup.
  const std::string& CodePage() const { return code_page_; }
  void SetCodePage(const std::string& value) { code_page_ = value; }
  // The sequence number of every lookup.
  const std::string& SeqNo() const { return seq_no_; }
  void SetSeqNo(const std::string& value) { seq_no_ = value; }
  // The font that visited controls receive while ReplaceFont is on.
  // Ownership: the options own it; never null; the same object for the options' lifetime.
  TFont* Font() const { return font_.get(); }
  // Copies every attribute of `value` into the owned font.
  // Throws: EConvertError "Cannot assign a nil to a TFont" for null.
  void SetFont(const TFont* value) { font_->Assign(value); }
  // Translate the object itself.
  bool ReplaceSelf() const { return replace_self_; }
  void SetReplaceSelf(bool value) { replace_self_ = value; }
  // Translate the components the object owns, recursively.
  bool ReplaceOwned() const { return replace_owned_; }
  void SetReplaceOwned(bool value) { replace_owned_ = value; }
  // Translate the child controls of the object, recursively.
  bool ReplaceSon() const { return replace_son_; }
  void SetReplaceSon(bool value) { replace_son_ = value; }
  // Give each visited control the options' font.
  bool ReplaceFont() const { return replace_font_; }
  void SetReplaceFont(bool value) { replace_font_ = value; }

  // From a TMultiReplaceOption: takes over DDName, CodePage, SeqNo, ReplaceSelf, ReplaceOwned,
  // ReplaceSon and ReplaceFont and copies the attributes of its font into the owned one.
  // Throws: EConvertError "Cannot assign a TX to a TMultiReplaceOption" for any other source,
  // "Cannot assign a nil to a TMultiReplaceOption" for null; nothing changes then.
  void Assign(const TPersistent* source) override;

 private:
  std::string dd_name_;
  std::string code_page_;
  std::string seq_no_;
  std::unique_ptr<TFont> font_;
  bool replace_self_ = true;
  bool replace_owned_ = true;
  bool replace_son_ = true;
  bool replace_font_ = false;
};

}  // namespace kivo
