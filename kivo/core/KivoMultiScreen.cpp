#include "kivo/core/KivoMultiScreen.h"

#include <cstdint>

#include "kivo/core/KivoMultiDD.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Exceptions.h"
#include "kivo/rtl/Forms.h"
#include "kivo/rtl/StrUtils.h"

namespace kivo {

namespace {

TCustomMultiDD* FindDD(const TMultiReplaceOption* option) {
  return KivoDDStorage != nullptr ? KivoDDStorage->FindDD(option->DDName()) : nullptr;
}

// The key of `object` in the translated-forms list: its address in signed decimal.
std::string AddressKey(const TObject* object) {
  return IntToStr(static_cast<int64_t>(reinterpret_cast<intptr_t>(object)));
}

}  // namespace

// --- TMultiReplaceCom2

KIVO_DEFINE_CLASS(TMultiReplaceCom2) {
  using I = TMultiReplaceCom2;
  b.Object("ReplaceOption", &I::ReplaceOption, &I::SetReplaceOption);
  b.String("ComName", &I::ComName, &I::SetComName);
}

TMultiReplaceCom2::TMultiReplaceCom2(TCollection* collection)
    : TCollectionItem(collection), replace_option_(std::make_unique<TMultiReplaceOption>()) {}

TMultiReplaceCom2::~TMultiReplaceCom2() = default;

void TMultiReplaceCom2::SetComName(const std::string& value) {
  if (SameText(value, com_name_)) return;
  if (!value.empty()) {
    auto* coms = static_cast<TMultiReplaceComs2*>(Collection());
    const auto* entry = coms != nullptr ? As<TMultiReplaceForm>(coms->Owner()) : nullptr;
    if (entry != nullptr && entry->UnReplaceComs()->IndexOf(value) >= 0) {
      throw Exception(FormatMessage(SComAddedInUnReplaceList, {value}));
    }
    TMultiReplaceCom2* found = coms != nullptr ? coms->FindCom(value) : nullptr;
    if (found != nullptr && found != this) {
      throw Exception(FormatMessage(SComAlreadyAdded, {value}));
    }
  }
  com_name_ = value;
}

std::string TMultiReplaceCom2::GetDisplayName() const { return com_name_; }

void TMultiReplaceCom2::AssignTo(TPersistent* dest) const {
  auto* target = As<TMultiReplaceCom2>(dest);
  if (target == nullptr) {
    TCollectionItem::AssignTo(dest);
    return;
  }
  target->replace_option_->Assign(replace_option_.get());
  target->com_name_ = com_name_;
}

// --- TMultiReplaceComs2

KIVO_DEFINE_CLASS(TMultiReplaceComs2) {}

TMultiReplaceComs2::TMultiReplaceComs2(TMultiReplaceForm* owner)
    : TOwnedCollection(owner, TMultiReplaceCom2::StaticClass()) {}

TMultiReplaceCom2* TMultiReplaceComs2::FindCom(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(Items(i)->ComName(), name)) return Items(i);
  }
  return nullptr;
}

// --- TMultiReplaceForm

KIVO_DEFINE_CLASS(TMultiReplaceForm) {
  using I = TMultiReplaceForm;
  b.String("FormName", &I::FormName, &I::SetFormName);
  b.Object("ReplaceOption", &I::ReplaceOption, &I::SetReplaceOption);
  b.Collection("ReplaceComs", &I::ReplaceComs, &I::SetReplaceComs);
  b.StringList("UnReplaceComs", &I::UnReplaceComs,
               [](I& self, const TStringList* value) { self.SetUnReplaceComs(value); });
}

TMultiReplaceForm::TMultiReplaceForm(TCollection* collection)
    : TCollectionItem(collection),
      replace_option_(std::make_unique<TMultiReplaceOption>()),
      replace_coms_(std::make_unique<TMultiReplaceComs2>(this)),
      unreplace_coms_(std::make_unique<TStringList>()) {
  unreplace_coms_->SetSorted(true);
  unreplace_coms_->SetDuplicates(dupIgnore);
}

TMultiReplaceForm::~TMultiReplaceForm() = default;

bool TMultiReplaceForm::AllowReplaceCom(TComponent* component) {
  return component != nullptr && unreplace_coms_->IndexOf(component->Name()) < 0;
}

void TMultiReplaceForm::Replace(TCustomForm* form) {
  if (form == nullptr) return;
  TReplaceList list;
  const int count = form->ComponentCount();
  for (int i = 0; i < count; ++i) {
    TComponent* c = form->Components(i);
    if (!AllowReplaceCom(c)) continue;
    const TMultiReplaceCom2* item = replace_coms_->FindCom(c->Name());
    if (item == nullptr || !item->ReplaceOption()->ReplaceSelf()) continue;
    const TMultiReplaceOption* o = item->ReplaceOption();
    if (TCustomMultiDD* dd = FindDD(o)) {
      dd->ReplaceCom(c, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), list);
    }
  }
  for (int i = 0; i < count; ++i) {
    TComponent* c = form->Components(i);
    if (!AllowReplaceCom(c)) continue;
    const TMultiReplaceCom2* item = replace_coms_->FindCom(c->Name());
    if (item == nullptr) continue;
    const TMultiReplaceOption* o = item->ReplaceOption();
    TCustomMultiDD* dd = FindDD(o);
    if (dd == nullptr) continue;
    if (o->ReplaceOwned()) {
      dd->ReplaceComOwned(c, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this, list);
    }
    if (o->ReplaceSon()) {
      if (auto* control = As<TWinControl>(c)) {
        dd->ReplaceComSon(control, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this,
                          list);
      }
    }
  }
  const TMultiReplaceOption* o = replace_option_.get();
  if (TCustomMultiDD* dd = FindDD(o)) {
    if (o->ReplaceSelf()) {
      dd->ReplaceCom(form, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), list);
    }
    if (o->ReplaceOwned()) {
      dd->ReplaceComOwned(form, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this, list);
    }
    if (o->ReplaceSon()) {
      dd->ReplaceComSon(form, o->CodePage(), o->SeqNo(), o->Font(), o->ReplaceFont(), this, list);
    }
  }
}

std::string TMultiReplaceForm::GetDisplayName() const {
  return form_name_ + " - " + IntToStr(replace_coms_->Count()) + " - " +
         IntToStr(unreplace_coms_->Count());
}

void TMultiReplaceForm::AssignTo(TPersistent* dest) const {
  auto* target = As<TMultiReplaceForm>(dest);
  if (target == nullptr) {
    TCollectionItem::AssignTo(dest);
    return;
  }
  target->form_name_ = form_name_;
  target->replace_option_->Assign(replace_option_.get());
  target->replace_coms_->Assign(replace_coms_.get());
  target->unreplace_coms_->Assign(unreplace_coms_.get());
}

// --- TMultiReplaceForms

KIVO_DEFINE_CLASS(TMultiReplaceForms) {}

TMultiReplaceForms::TMultiReplaceForms(TPersistent* owner)
    : TOwnedCollection(owner, TMultiReplaceForm::StaticClass()) {}

TMultiReplaceForm* TMultiReplaceForms::FindForm(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(Items(i)->FormName(), name)) return Items(i);
  }
  return nullptr;
}

// --- TMultiReplaceData

KIVO_DEFINE_CLASS(TMultiReplaceData) {
  using I = TMultiReplaceData;
  b.String("FormClassName", &I::FormClassName, &I::SetFormClassName);
  b.Collection("ReplaceForms", &I::ReplaceForms, &I::SetReplaceForms);
}

TMultiReplaceData::TMultiReplaceData(TCollection* collection)
    : TCollectionItem(collection), replace_forms_(std::make_unique<TMultiReplaceForms>(this)) {}

TMultiReplaceData::~TMultiReplaceData() = default;

void TMultiReplaceData::SetFormClassName(const std::string& value) {
  if (SameText(value, form_class_name_)) return;
  if (!value.empty()) {
    auto* datas = static_cast<TMultiReplaceDatas*>(Collection());
    TMultiReplaceData* found = datas != nullptr ? datas->FindFormClass(value) : nullptr;
    if (found != nullptr && found != this) {
      throw Exception(FormatMessage(SFormClassAlreadyAdded, {value}));
    }
  }
  form_class_name_ = value;
}

std::string TMultiReplaceData::GetDisplayName() const {
  return form_class_name_ + " : " + IntToStr(replace_forms_->Count());
}

void TMultiReplaceData::AssignTo(TPersistent* dest) const {
  auto* target = As<TMultiReplaceData>(dest);
  if (target == nullptr) {
    TCollectionItem::AssignTo(dest);
    return;
  }
  target->form_class_name_ = form_class_name_;
  target->replace_forms_->Assign(replace_forms_.get());
}

// --- TMultiReplaceDatas

KIVO_DEFINE_CLASS(TMultiReplaceDatas) {}

TMultiReplaceDatas::TMultiReplaceDatas(TPersistent* owner)
    : TOwnedCollection(owner, TMultiReplaceData::StaticClass()) {}

TMultiReplaceData* TMultiReplaceDatas::FindFormClass(const std::string& name) const {
  for (int i = 0; i < Count(); ++i) {
    if (SameText(Items(i)->FormClassName(), name)) return Items(i);
  }
  return nullptr;
}

// --- TKivoMultiScreenEye

// Shared by the watcher and the forwarders it installed: `eye` is null once the watcher has
// unhooked or is gone, and the forwarder then only calls the saved handler.
struct TKivoMultiScreenEye::HookState {
  TKivoMultiScreenEye* eye = nullptr;  // Not owned; cleared by UnHookScreenEvent and ~.
  TNotifyEvent saved;
};

struct TKivoMultiScreenEye::Forwarder {
  std::shared_ptr<HookState> state;

  void operator()(TObject* sender) const {
    // Keep the state alive even if the call unhooks the watcher.
    const std::shared_ptr<HookState> keep = state;
    if (keep->eye != nullptr) {
      keep->eye->ActiveFormChange(sender);
    } else if (keep->saved) {
      const TNotifyEvent saved = keep->saved;
      saved(sender);
    }
  }
};

KIVO_DEFINE_CLASS(TKivoMultiScreenEye) {
  using E = TKivoMultiScreenEye;
  b.Boolean("ReplaceNotRegister", &E::ReplaceNotRegister, &E::SetReplaceNotRegister).Default(true);
  b.Object("DefaultReplaceOption", &E::DefaultReplaceOption, &E::SetDefaultReplaceOption);
  b.Collection("ReplaceDatas", &E::ReplaceDatas, &E::SetReplaceDatas);
  b.Event("OnBeforeReplace", &E::OnBeforeReplace);
  b.Event("OnAfterReplace", &E::OnAfterReplace);
}

TKivoMultiScreenEye::TKivoMultiScreenEye(TComponent* owner)
    : TComponent(owner),
      default_option_(std::make_unique<TMultiReplaceOption>()),
      replace_datas_(std::make_unique<TMultiReplaceDatas>(this)) {
  translated_.SetSorted(true);
}

TKivoMultiScreenEye::~TKivoMultiScreenEye() {
  if (hook_ != nullptr) {
    TScreen& screen = Screen();
    const auto* installed = screen.OnActiveFormChange.Fn().target<Forwarder>();
    if (installed != nullptr && installed->state == hook_) {
      screen.OnActiveFormChange = hook_->saved;
    }
    hook_->eye = nullptr;
    hook_.reset();
  }
}

bool TKivoMultiScreenEye::IsTranslated(const TCustomForm* form) const {
  int index = 0;
  return form != nullptr && translated_.Find(AddressKey(form), index);
}

void TKivoMultiScreenEye::HookScreenEvent() {
  if (hook_ != nullptr) return;
  auto state = std::make_shared<HookState>();
  state->eye = this;
  state->saved = Screen().OnActiveFormChange;
  Screen().OnActiveFormChange = Forwarder{state};
  hook_ = std::move(state);
}

void TKivoMultiScreenEye::UnHookScreenEvent() {
  if (hook_ == nullptr) return;
  Screen().OnActiveFormChange = hook_->saved;
  hook_->eye = nullptr;
  hook_.reset();
}

void TKivoMultiScreenEye::ActiveFormChange(TObject* sender) {
  if (hook_ != nullptr && hook_->saved) {
    const TNotifyEvent saved = hook_->saved;  // the handler may unhook us
    saved(sender);
  }
  ReplaceForm(Screen().ActiveForm(), true);
}

void TKivoMultiScreenEye::Replace(TCustomForm* form) { ReplaceForm(form, false); }

void TKivoMultiScreenEye::ReplaceForm(TCustomForm* form, bool from_screen) {
  if (form == nullptr) return;
  int index = 0;
  const std::string key = AddressKey(form);
  if (translated_.Find(key, index)) return;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    const auto* replacer = As<TKivoMultiReplacer>(form->Components(i));
    if (replacer != nullptr && replacer->AutoReplace()) return;
  }
  TMultiReplaceForm* entry = nullptr;
  if (const TMultiReplaceData* data = replace_datas_->FindFormClass(form->ClassName())) {
    entry = data->ReplaceForms()->FindForm(form->Name());
    if (entry == nullptr) entry = data->ReplaceForms()->FindForm("Self");
  }
  bool replace = true;
  if (entry != nullptr) {
    if (OnBeforeReplace) OnBeforeReplace(this, form, replace);
    if (replace) entry->Replace(form);
  } else if (from_screen && !replace_not_register_) {
    replace = false;
  } else {
    if (OnBeforeReplace) OnBeforeReplace(this, form, replace);
    if (replace && KivoDDStorage != nullptr) {
      const TMultiReplaceOption* o = default_option_.get();
      KivoDDStorage->ReplaceComLanguage(o->DDName(), form, o->CodePage(), o->SeqNo(), o->Font(),
                                        o->ReplaceSelf(), o->ReplaceOwned(), o->ReplaceSon(),
                                        o->ReplaceFont());
    }
  }
  if (!replace) return;
  if (OnAfterReplace) OnAfterReplace(this, form);
  FreeNotification(form);
  // The callbacks may have entered the form meanwhile; a sorted list takes it at its place.
  if (!translated_.Find(key, index)) translated_.AddObject(key, form);
}

void TKivoMultiScreenEye::Notification(TComponent* component, TOperation operation) {
  TComponent::Notification(component, operation);
  if (operation != opRemove || ComponentState().Contains(csDestroying)) return;
  int index = 0;
  if (translated_.Find(AddressKey(component), index)) translated_.Delete(index);
}

}  // namespace kivo
