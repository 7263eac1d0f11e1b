#include "kivo/core/KivoMultiReplace.h"

#include "kivo/core/KivoMultiClassMethod.h"
#include "kivo/rtl/Controls.h"
#include "kivo/rtl/Forms.h"

namespace kivo {

// --- TMultiReplaceOption

KIVO_DEFINE_CLASS(TMultiReplaceOption) {
  using O = TMultiReplaceOption;
  b.String("DDName", &O::DDName, &O::SetDDName);
  b.String("CodePage", &O::CodePage, &O::SetCodePage);
  b.String("SeqNo", &O::SeqNo, &O::SetSeqNo);
  b.Object("Font", &O::Font, &O::SetFont);
  b.Boolean("ReplaceSelf", &O::ReplaceSelf, &O::SetReplaceSelf).Default(true);
  b.Boolean("ReplaceOwned", &O::ReplaceOwned, &O::SetReplaceOwned).Default(true);
  b.Boolean("ReplaceSon", &O::ReplaceSon, &O::SetReplaceSon).Default(true);
  b.Boolean("ReplaceFont", &O::ReplaceFont, &O::SetReplaceFont).NoDefault();
}

TMultiReplaceOption::TMultiReplaceOption() : font_(std::make_unique<TFont>()) {}

TMultiReplaceOption::~TMultiReplaceOption() = default;

void TMultiReplaceOption::Assign(const TPersistent* source) {
  const auto* option = As<TMultiReplaceOption>(source);
  if (option == nullptr) {
    TPersistent::Assign(source);  // raises the unsupported-assignment error
    return;
  }
  font_->Assign(option->font_.get());
  dd_name_ = option->dd_name_;
  code_page_ = option->code_page_;
  seq_no_ = option->seq_no_;
  replace_self_ = option->replace_self_;
  replace_owned_ = option->replace_owned_;
  replace_son_ = option->replace_son_;
  replace_font_ = option->replace_font_;
}

// --- The walk

bool TCustomMultiDD::ReplaceCom(TObject* object, const std::string& code_page,
                                const std::string& seq_no, TFont* font, bool replace_font,
                                TReplaceList& list) {
  if (object == nullptr || list.Contains(object)) return false;
  if (auto* control = As<TControl>(object)) {
    // A control that is not on a form yet is left for a later step or walk.
    if (control->Parent() == nullptr && !Is<TCustomForm>(control)) return false;
    if (!control->Hint().empty()) {
      control->SetHint(GetDisplayValue(control->Hint(), code_page, seq_no));
    }
    if (replace_font && font != nullptr) control->SetFont(font);
  }
  const TClassMethod* entry =
      KivoClassMethodStorage != nullptr
          ? KivoClassMethodStorage->GetNearstClassMethod(object->ClassType())
          : nullptr;
  if (entry != nullptr && entry->Proc() != nullptr) {
    entry->Proc()(*this, object, code_page, seq_no, font);
  }
  list.Add(object);
  return true;
}

void TCustomMultiDD::ReplaceComOwned(TComponent* component, const std::string& code_page,
                                     const std::string& seq_no, TFont* font, bool replace_font,
                                     IMultiReplaceQuery* query, TReplaceList& list) {
  if (component == nullptr) return;
  const int count = component->ComponentCount();
  for (int i = 0; i < count; ++i) {
    TComponent* owned = component->Components(i);
    if (query != nullptr && !query->AllowReplaceCom(owned)) continue;
    if (ReplaceCom(owned, code_page, seq_no, font, replace_font, list)) {
      ReplaceComOwned(owned, code_page, seq_no, font, replace_font, query, list);
    }
  }
}

void TCustomMultiDD::ReplaceComSon(TWinControl* control, const std::string& code_page,
                                   const std::string& seq_no, TFont* font, bool replace_font,
                                   IMultiReplaceQuery* query, TReplaceList& list) {
  if (control == nullptr) return;
  const int count = control->ControlCount();
  for (int i = 0; i < count; ++i) {
    TControl* child = control->Controls(i);
    if (query != nullptr && !query->AllowReplaceCom(child)) continue;
    if (ReplaceCom(child, code_page, seq_no, font, replace_font, list)) {
      if (auto* container = As<TWinControl>(child)) {
        ReplaceComSon(container, code_page, seq_no, font, replace_font, query, list);
      }
    }
  }
}

void TCustomMultiDD::ReplaceComLanguage(TObject* object, const std::string& code_page,
                                        const std::string& seq_no, TFont* font, bool replace_self,
                                        bool replace_owned, bool replace_son, bool replace_font) {
  TReplaceList list;  // released however the walk ends
  if (replace_self) ReplaceCom(object, code_page, seq_no, font, replace_font, list);
  if (replace_owned) {
    if (auto* component = As<TComponent>(object)) {
      ReplaceComOwned(component, code_page, seq_no, font, replace_font, nullptr, list);
    }
  }
  if (replace_son) {
    if (auto* control = As<TWinControl>(object)) {
      ReplaceComSon(control, code_page, seq_no, font, replace_font, nullptr, list);
    }
  }
}

void TKivoMultiDDStorage::ReplaceComLanguage(const std::string& dd_name, TObject* object,
                                             const std::string& code_page,
                                             const std::string& seq_no, TFont* font,
                                             bool replace_self, bool replace_owned,
                                             bool replace_son, bool replace_font) {
  if (TCustomMultiDD* dd = FindDD(dd_name)) {
    dd->ReplaceComLanguage(object, code_page, seq_no, font, replace_self, replace_owned,
                           replace_son, replace_font);
  }
}

}  // namespace kivo
