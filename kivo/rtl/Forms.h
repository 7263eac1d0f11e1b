// Forms, frames, data modules and the screen that tracks the application's forms.
//
// A form (`TForm`) is the top-level windowed control; its caption is its Text. Every form joins
// the global screen's list when it is created and leaves it when it is destroyed. Showing or
// activating a form makes it the screen's active form; the screen fires `OnActiveFormChange`
// whenever the active form changes (and only then), so an application-wide watcher can react
// to each form that comes to the front.
//
//   kivo::Screen().OnActiveFormChange = [](kivo::TObject*) {
//     Translate(kivo::Screen().ActiveForm());
//   };
//   auto* form = new TMainForm(nullptr);
//   form->Show();  // visible and the active form now: the handler runs
//
// Forms are created hidden. A form read from a form file with Visible set is shown by Loaded.
// Hiding or destroying the active form leaves the screen without active form (firing the
// event); no other form is activated in its place.
//
// A frame (`TFrame`) is a reusable group of controls placed on forms; a data module
// (`TDataModule`) is a component that holds non-visual components and is no control.
//
// Threads: user-interface thread only.
#pragma once

#include <vector>

#include "kivo/rtl/Controls.h"

namespace kivo {

class TScreen;

// A windowed control whose contents can scroll (forms and frames).
class TScrollingWinControl : public TWinControl {
  KIVO_CLASS(TScrollingWinControl, TWinControl)

  explicit TScrollingWinControl(TComponent* owner);

  bool AutoScroll() const { return auto_scroll_; }
  void SetAutoScroll(bool auto_scroll) { auto_scroll_ = auto_scroll; }

 private:
  bool auto_scroll_ = false;
};

class TCustomForm : public TScrollingWinControl {
  KIVO_CLASS(TCustomForm, TScrollingWinControl)

  // Creates a hidden form and adds it to the screen's forms.
  explicit TCustomForm(TComponent* owner);
  // Destroys what it owns and leaves the screen's forms; when it was the active form, the screen
  // has no active form afterwards (OnActiveFormChange fires; the form's own OnDeactivate does
  // not, its derived parts being gone).
  ~TCustomForm() override;

  // Makes the form the screen's active form; fires OnDeactivate of the form that was active,
  // then this form's OnActivate, then the screen's OnActiveFormChange. Nothing happens when it
  // is active already.
  void Activate() { SetActive(true); }
  // True when the form is the screen's active form.
  bool Active() const;
  // true: as Activate. false: when the form is active, the screen is left without active form.
  void SetActive(bool active);

  // Showing (true) fires OnShow and activates the form; hiding fires OnHide and, when the form
  // is active, leaves the screen without active form. While the form is being loaded only the
  // flag changes (Loaded shows it).
  void SetVisible(bool visible) override;
  // Shows the form when it was read visible.
  void Loaded() override;

  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
};

class TForm : public TCustomForm {
  KIVO_CLASS(TForm, TCustomForm)

  explicit TForm(TComponent* owner);
};

class TCustomFrame : public TScrollingWinControl {
  KIVO_CLASS(TCustomFrame, TScrollingWinControl)

  explicit TCustomFrame(TComponent* owner);
  // Destroys what it owns while the frame is whole.
  ~TCustomFrame() override;
};

class TFrame : public TCustomFrame {
  KIVO_CLASS(TFrame, TCustomFrame)

  explicit TFrame(TComponent* owner);
};

// A container of non-visual components (tables, actions, dictionaries); not a control.
class TDataModule : public TComponent {
  KIVO_CLASS(TDataModule, TComponent)

  explicit TDataModule(TComponent* owner);
  // Destroys what it owns while the module is whole.
  ~TDataModule() override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
};

// The application's forms and its active form.
class TScreen : public TComponent {
  KIVO_CLASS(TScreen, TComponent)

  // Creates an empty screen. Forms join the global screen (Screen()), not this one.
  explicit TScreen(TComponent* owner);

  // The active form, or null.
  TCustomForm* ActiveForm() const { return active_form_; }
  // The number of existing forms.
  int FormCount() const { return static_cast<int>(forms_.size()); }
  // The form at `index`, in the order the forms were created.
  // Throws: EListError "List index out of bounds (%d)".
  TCustomForm* Forms(int index) const;

  // Fired, with the screen as sender, after the active form changed.
  TNotifyEvent OnActiveFormChange;

 private:
  friend class TCustomForm;

  void AddForm(TCustomForm* form);
  void RemoveForm(TCustomForm* form);
  // Makes `form` (may be null) the active form; `notify_old` fires the old form's OnDeactivate.
  void SetActiveForm(TCustomForm* form, bool notify_old);

  std::vector<TCustomForm*> forms_;     // Not owned; each form leaves on destruction.
  TCustomForm* active_form_ = nullptr;  // Not owned; one of forms_ or null.
};

// The global screen. Created on first use and never destroyed, so forms may come and go at any
// time, also while static objects are destroyed at exit; it owns nothing.
TScreen& Screen();

}  // namespace kivo
