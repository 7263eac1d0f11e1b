// The screen watcher: translates the application's forms as they become active.
//
// TKivoMultiScreenEye, once hooked into the screen's active-form event, translates every form
// that becomes active and that it has not translated yet, and remembers it until the form is
// destroyed. Forms that own a TKivoMultiReplacer with AutoReplace on are left alone. The
// settings form a tree of persistent collections:
//
//   ReplaceDatas     TMultiReplaceData, one per form class (FormClassName)
//     ReplaceForms   TMultiReplaceForm, one per form (FormName; "Self" covers the others)
//       ReplaceComs  TMultiReplaceCom2, one per component the form owns (ComName)
//
// A form without an entry is translated with DefaultReplaceOption, unless ReplaceNotRegister is
// off and the form came from the screen.
//
//   auto* eye = new kivo::TKivoMultiScreenEye(data_module);
//   eye->DefaultReplaceOption()->SetDDName("Main");
//   eye->DefaultReplaceOption()->SetCodePage("1252");
//   auto* data = eye->ReplaceDatas()->Add<kivo::TMultiReplaceData>();
//   data->SetFormClassName("TMainForm");
//   auto* entry = data->ReplaceForms()->Add<kivo::TMultiReplaceForm>();
//   entry->SetFormName("Self");
//   entry->UnReplaceComs()->Add("LogMemo");
//   eye->HookScreenEvent();
//   ...
//   eye->UnHookScreenEvent();
//
// Hooking: each hook installs a small forwarding callable that shares a state with the watcher;
// the state holds the handler that was installed before (the saved handler). The watcher's
// destructor, when still hooked, puts the saved handler back if its forwarder is still the
// installed handler; otherwise (another handler was installed on top and may call it) it only
// detaches itself from the state, so the forwarder goes on calling the saved handler and never
// the destroyed watcher.
//
// Threads: user-interface thread only.
#pragma once

#include <memory>
#include <string>

#include "kivo/core/KivoMultiReplace.h"
#include "kivo/core/KivoMultiReplacer.h"
#include "kivo/rtl/Collection.h"
#include "kivo/rtl/Component.h"
#include "kivo/rtl/Strings.h"

namespace kivo {

class TCustomForm;
class TKivoMultiScreenEye;
class TMultiReplaceForm;

// Message formats of the name writers (placeholder: the name written).
inline constexpr const char* SFormClassAlreadyAdded = "form class: \"%s\" already added.";
// The component-name writer uses SComAddedInUnReplaceList and SComAlreadyAdded
// (KivoMultiReplacer.h).

// Asked before a form is translated; clearing `replace` (true on entry) declines.
using TBeforeReplaceFormEvent = TEvent<void(TObject* sender, TCustomForm* form, bool& replace)>;
// Told after a form is translated.
using TAfterReplaceFormEvent = TEvent<void(TObject* sender, TCustomForm* form)>;

// Settings of one component that a form owns, found by its Name.
//
// Persistent properties, in this order: ReplaceOption, ComName.
class TMultiReplaceCom2 : public TCollectionItem {
  KIVO_CLASS(TMultiReplaceCom2, TCollectionItem)

  explicit TMultiReplaceCom2(TCollection* collection);
  ~TMultiReplaceCom2() override;

  // Ownership: the item owns its options; never null.
  TMultiReplaceOption* ReplaceOption() const { return replace_option_.get(); }
  // Copies `value` into the owned options.
  // Throws: EConvertError "Cannot assign a nil to a TMultiReplaceOption" for null.
  void SetReplaceOption(const TMultiReplaceOption* value) { replace_option_->Assign(value); }

  const std::string& ComName() const { return com_name_; }
  // Renames the item; a value equal to the current one without regard to letter case changes
  // nothing.
  // Throws: Exception "component: "X" already added in unreplace list." when the owning entry's
  // UnReplaceComs holds `value`; Exception "component: "X" already added." when another item of
  // the collection has that name (letter case ignored). The name stays then.
  void SetComName(const std::string& value);

 protected:
  // ComName.
  std::string GetDisplayName() const override;
  // Into a TMultiReplaceCom2: ComName (without the writer's checks) and ReplaceOption.
  // Throws: EConvertError "Cannot assign a TMultiReplaceCom2 to a TX" for other destinations.
  void AssignTo(TPersistent* dest) const override;

 private:
  std::unique_ptr<TMultiReplaceOption> replace_option_;
  std::string com_name_;
};

// The ReplaceComs of a TMultiReplaceForm.
class TMultiReplaceComs2 : public TOwnedCollection {
  KIVO_CLASS(TMultiReplaceComs2, TOwnedCollection)

  // Ownership: `owner` (may be null) owns the collection.
  explicit TMultiReplaceComs2(TMultiReplaceForm* owner);

  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TMultiReplaceCom2* Items(int index) const {
    return static_cast<TMultiReplaceCom2*>(TCollection::Items(index));
  }
  // The first item whose ComName is `name` (letter case ignored), or null.
  TMultiReplaceCom2* FindCom(const std::string& name) const;
};

// The settings of one form (or, with FormName "Self", of every form of its class without an
// entry of its own). Answers the walk's query by excluding components by name.
//
// Persistent properties, in this order: FormName, ReplaceOption, ReplaceComs, UnReplaceComs.
class TMultiReplaceForm : public TCollectionItem, public IMultiReplaceQuery {
  KIVO_CLASS(TMultiReplaceForm, TCollectionItem)

  explicit TMultiReplaceForm(TCollection* collection);
  ~TMultiReplaceForm() override;

  // The Name of the form covered, or "Self"; may repeat within the collection.
  const std::string& FormName() const { return form_name_; }
  void SetFormName(const std::string& value) { form_name_ = value; }

  // Options for the form itself. Ownership: owned; never null.
  TMultiReplaceOption* ReplaceOption() const { return replace_option_.get(); }
  // Throws: EConvertError "Cannot assign a nil to a TMultiReplaceOption" for null.
  void SetReplaceOption(const TMultiReplaceOption* value) { replace_option_->Assign(value); }

  // Components of the form with options of their own. Ownership: owned; never null.
  TMultiReplaceComs2* ReplaceComs() const { return replace_coms_.get(); }
  // Copies `value` into ReplaceComs (the collection's Assign).
  void SetReplaceComs(const TMultiReplaceComs2* value) { replace_coms_->Assign(value); }

  // Names of components that must not be visited: sorted, letter case ignored, duplicates
  // ignored. Ownership: owned; never null.
  TStringList* UnReplaceComs() const { return unreplace_coms_.get(); }
  // Copies the strings of `value`.
  void SetUnReplaceComs(const TStrings* value) { unreplace_coms_->Assign(value); }

  // False for null and for a component whose Name is in UnReplaceComs.
  bool AllowReplaceCom(TComponent* component) override;

  // Translates `form` with this entry's settings: the listed components the form owns that
  // translate themselves, then what each of them owns and contains, then the form. Excluded
  // components are skipped in every step; settings naming no registered dictionary are skipped.
  // Null does nothing.
  // Throws: the errors of the walk.
  virtual void Replace(TCustomForm* form);

 protected:
  // FormName, " - ", the number of ReplaceComs, " - ", the number of UnReplaceComs.
  std::string GetDisplayName() const override;
  // Into a TMultiReplaceForm: FormName, ReplaceOption, ReplaceComs and UnReplaceComs.
  // Throws: EConvertError "Cannot assign a TMultiReplaceForm to a TX" for other destinations.
  void AssignTo(TPersistent* dest) const override;

 private:
  std::string form_name_;
  std::unique_ptr<TMultiReplaceOption> replace_option_;
  std::unique_ptr<TMultiReplaceComs2> replace_coms_;
  std::unique_ptr<TStringList> unreplace_coms_;
};

// The ReplaceForms of a TMultiReplaceData.
class TMultiReplaceForms : public TOwnedCollection {
  KIVO_CLASS(TMultiReplaceForms, TOwnedCollection)

  // Ownership: `owner` (may be null) owns the collection.
  explicit TMultiReplaceForms(TPersistent* owner);

  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TMultiReplaceForm* Items(int index) const {
    return static_cast<TMultiReplaceForm*>(TCollection::Items(index));
  }
  // The first item whose FormName is `name` (letter case ignored), or null.
  TMultiReplaceForm* FindForm(const std::string& name) const;
};

// The settings of one form class.
//
// Persistent properties, in this order: FormClassName, ReplaceForms.
class TMultiReplaceData : public TCollectionItem {
  KIVO_CLASS(TMultiReplaceData, TCollectionItem)

  explicit TMultiReplaceData(TCollection* collection);
  ~TMultiReplaceData() override;

  const std::string& FormClassName() const { return form_class_name_; }
  // Renames the item; a value equal to the current one without regard to letter case changes
  // nothing.
  // Throws: Exception "form class: "X" already added." when another item of the collection has
  // that class name (letter case ignored). The name stays then.
  void SetFormClassName(const std::string& value);

  // Ownership: owned; never null.
  TMultiReplaceForms* ReplaceForms() const { return replace_forms_.get(); }
  // Copies `value` into ReplaceForms (the collection's Assign).
  void SetReplaceForms(const TMultiReplaceForms* value) { replace_forms_->Assign(value); }

 protected:
  // FormClassName, " : ", the number of ReplaceForms.
  std::string GetDisplayName() const override;
  // Into a TMultiReplaceData: FormClassName (without the writer's checks) and ReplaceForms.
  // Throws: EConvertError "Cannot assign a TMultiReplaceData to a TX" for other destinations.
  void AssignTo(TPersistent* dest) const override;

 private:
  std::string form_class_name_;
  std::unique_ptr<TMultiReplaceForms> replace_forms_;
};

// The watcher's ReplaceDatas.
class TMultiReplaceDatas : public TOwnedCollection {
  KIVO_CLASS(TMultiReplaceDatas, TOwnedCollection)

  // Ownership: `owner` (may be null) owns the collection.
  explicit TMultiReplaceDatas(TPersistent* owner);

  // The item at `index`. Throws: EListError "List index out of bounds (%d)".
  TMultiReplaceData* Items(int index) const {
    return static_cast<TMultiReplaceData*>(TCollection::Items(index));
  }
  // The first item whose FormClassName is `name` (letter case ignored), or null.
  TMultiReplaceData* FindFormClass(const std::string& name) const;
};

// Translates forms once, as they become active.
//
// Persistent properties, in this order: ReplaceNotRegister (true), DefaultReplaceOption,
// ReplaceDatas, OnBeforeReplace, OnAfterReplace.
class TKivoMultiScreenEye : public TComponent {
  KIVO_CLASS(TKivoMultiScreenEye, TComponent)

  explicit TKivoMultiScreenEye(TComponent* owner);
  // Unhooks itself when hooked (see the file comment), then frees what it owns.
  ~TKivoMultiScreenEye() override;

  // Also translate forms without entry that become active.
  bool ReplaceNotRegister() const { return replace_not_register_; }
  void SetReplaceNotRegister(bool value) { replace_not_register_ = value; }

  // Options for forms without entry. Ownership: owned; never null.
  TMultiReplaceOption* DefaultReplaceOption() const { return default_option_.get(); }
  // Throws: EConvertError "Cannot assign a nil to a TMultiReplaceOption" for null.
  void SetDefaultReplaceOption(const TMultiReplaceOption* value) { default_option_->Assign(value); }

  // The per-form-class settings. Ownership: owned; never null.
  TMultiReplaceDatas* ReplaceDatas() const { return replace_datas_.get(); }
  // Copies `value` (the whole settings tree) into ReplaceDatas.
  void SetReplaceDatas(const TMultiReplaceDatas* value) { replace_datas_->Assign(value); }

  TBeforeReplaceFormEvent OnBeforeReplace;
  TAfterReplaceFormEvent OnAfterReplace;

  // True between HookScreenEvent and UnHookScreenEvent.
  bool Hooked() const { return hook_ != nullptr; }
  // The number of forms translated so far and still alive.
  int TranslatedFormCount() const { return translated_.Count(); }
  // True when `form` has been translated and is still alive.
  bool IsTranslated(const TCustomForm* form) const;

  // The installed handler: calls the saved handler with `sender`, then ReplaceForm(the screen's
  // active form, true).
  void ActiveFormChange(TObject* sender);
  // ReplaceForm(form, false).
  void Replace(TCustomForm* form);
  // Translates `form` once (null does nothing); `from_screen` tells that the screen's event
  // asks.
  // Throws: the errors of the walk and of the callbacks; the form is not entered then.
  void ReplaceForm(TCustomForm* form, bool from_screen);

  // After the inherited Notification: forgets a translated form that is removed, unless the
  // watcher is being destroyed.
  void Notification(TComponent* component, TOperation operation) override;

  // Saves the screen's active-form handler and installs the watcher's; ignored while hooked.
  virtual void HookScreenEvent();
  // Puts the saved handler back as the screen's handler, whatever is installed now, and forgets
  // it; nothing when not hooked.
  virtual void UnHookScreenEvent();

 private:
  struct HookState;
  struct Forwarder;

  bool replace_not_register_ = true;
  std::unique_ptr<TMultiReplaceOption> default_option_;
  std::unique_ptr<TMultiReplaceDatas> replace_datas_;
  // Translated forms: addresses in signed decimal, sorted, each with the form (not owned;
  // removed by Notification).
  TStringList translated_;
  std::shared_ptr<HookState> hook_;  // null while not hooked
};

}  // namespace kivo
