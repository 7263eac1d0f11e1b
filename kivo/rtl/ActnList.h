// Actions: named commands that share their caption, hint and state with the controls using them.
//
// An action (`TAction`) holds the caption, hint, enabled, visible and checked state of a
// command and runs it (`Execute` fires `OnExecute`). Controls and menu items that are linked to
// an action (`TControl::SetAction`, `TMenuItem::SetAction`) take these values when they are
// linked and again whenever the action changes one of them: a new caption written to the action
// reaches every linked control. An action list (`TActionList`) groups the actions of a form;
// an action joins a list with `SetActionList`.
//
//   auto* list = new kivo::TActionList(form);
//   auto* save = new kivo::TAction(form);
//   save->SetActionList(list);
//   button->SetAction(save);      // button's caption becomes save's caption
//   save->SetCaption("Sichern");  // …and follows it
//
// Form files. An action read nested inside an action list joins it (SetParentComponent); a list
// writes its actions nested inside it, in list order (GetChildren).
//
// Links. Each linked client owns one `TBasicActionLink`; the action keeps a list of its links
// (not owned). Destroying the client destroys its link, which leaves the action's list.
// Destroying the action first empties its list (its destructor runs before the component base
// sends any notification) and leaves every link without action, so the client's Action() is
// null from then on. The client also asks the action for a free notification and drops its
// link on the action's removal report, as a component does for every component it refers to.
// No pointer dangles whichever side goes first.
//
// Ownership: actions and action lists are components, owned by their owner (usually the form);
// a list does not own its actions.
// Threads: user-interface thread only.
#pragma once

#include <string>
#include <vector>

#include "kivo/rtl/Component.h"

namespace kivo {

class TBasicAction;
class TCustomActionList;

// Connects one client (a control, a menu item) to an action. The action calls the hooks below
// when its state changes; the base hooks do nothing.
class TBasicActionLink : public TObject {
  KIVO_CLASS(TBasicActionLink, TObject)

  TBasicActionLink() = default;
  // Leaves the action's list of links.
  ~TBasicActionLink() override;
  TBasicActionLink(const TBasicActionLink&) = delete;
  TBasicActionLink& operator=(const TBasicActionLink&) = delete;

  // The linked action, or null once the action is gone.
  TBasicAction* Action() const { return action_; }
  // Leaves the current action's list and joins `action`'s (null: none).
  void SetAction(TBasicAction* action);
  // Runs the linked action; false without action or when the action did nothing.
  bool Execute();

  // Hooks, called by the action after the value changed (and once each when a client links).
  virtual void SetCaption(const std::string& /*caption*/) {}
  virtual void SetHint(const std::string& /*hint*/) {}
  virtual void SetEnabled(bool /*enabled*/) {}
  virtual void SetVisible(bool /*visible*/) {}
  virtual void SetChecked(bool /*checked*/) {}

 private:
  friend class TBasicAction;

  TBasicAction* action_ = nullptr;  // Not owned; cleared by the action's destructor.
};

// A command with an OnExecute handler.
class TBasicAction : public TComponent {
  KIVO_CLASS(TBasicAction, TComponent)

  explicit TBasicAction(TComponent* owner);
  // Leaves every link without action.
  ~TBasicAction() override;

  // Fires OnExecute and returns true; returns false when OnExecute is not assigned.
  virtual bool Execute();
  // Fires OnUpdate and returns true; returns false when OnUpdate is not assigned.
  virtual bool Update();
  // The number of clients linked to the action.
  int ClientCount() const { return static_cast<int>(clients_.size()); }

  TNotifyEvent OnExecute;
  TNotifyEvent OnUpdate;

 protected:
  // The links of the linked clients, in the order they were linked.
  const std::vector<TBasicActionLink*>& Clients() const { return clients_; }

 private:
  friend class TBasicActionLink;

  void RegisterChanges(TBasicActionLink* link);
  void UnRegisterChanges(TBasicActionLink* link);

  std::vector<TBasicActionLink*> clients_;  // Not owned; each link clears itself on destruction.
};

// An action that can belong to an action list.
class TContainedAction : public TBasicAction {
  KIVO_CLASS(TContainedAction, TBasicAction)

  explicit TContainedAction(TComponent* owner);
  // Leaves its action list.
  ~TContainedAction() override;

  // The list the action belongs to, or null.
  TCustomActionList* ActionList() const { return action_list_; }
  // Leaves the current list and joins the end of `list` (null: none).
  void SetActionList(TCustomActionList* list);
  // The action's position in its list, or -1 without list.
  int Index() const;
  const std::string& Category() const { return category_; }
  void SetCategory(const std::string& category) { category_ = category; }

  // Joins `parent` when it is an action list (SetActionList); other parents are ignored.
  void SetParentComponent(TComponent* parent) override;

 private:
  friend class TCustomActionList;

  TCustomActionList* action_list_ = nullptr;  // Not owned; the list clears it when it goes.
  std::string category_;
};

// An action with the state that linked clients show.
class TCustomAction : public TContainedAction {
  KIVO_CLASS(TCustomAction, TContainedAction)

  explicit TCustomAction(TComponent* owner);

  const std::string& Caption() const { return caption_; }
  // Stores the caption and passes it on to every linked client.
  void SetCaption(const std::string& caption);
  const std::string& Hint() const { return hint_; }
  // Stores the hint and passes it on to every linked client.
  void SetHint(const std::string& hint);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);
  bool Visible() const { return visible_; }
  void SetVisible(bool visible);
  bool Checked() const { return checked_; }
  void SetChecked(bool checked);

 private:
  // Calls `hook` with the link of each linked client.
  template <class F>
  void ForEachClient(const F& hook) const;

  std::string caption_;
  std::string hint_;
  bool enabled_ = true;
  bool visible_ = true;
  bool checked_ = false;
};

// The action a form designer places; publishes the state of TCustomAction.
class TAction : public TCustomAction {
  KIVO_CLASS(TAction, TCustomAction)

  explicit TAction(TComponent* owner);
};

// The list of a form's actions, in the order they joined it.
class TCustomActionList : public TComponent {
  KIVO_CLASS(TCustomActionList, TComponent)

  explicit TCustomActionList(TComponent* owner);
  // Destroys what it owns, then leaves the remaining actions without list.
  ~TCustomActionList() override;

  int ActionCount() const { return static_cast<int>(actions_.size()); }
  int GetActionCount() const { return ActionCount(); }
  // The action at `index`. Throws: EListError "List index out of bounds (%d)".
  TContainedAction* Actions(int index) const;
  TContainedAction* GetAction(int index) const { return Actions(index); }

  // The actions, in list order.
  void GetChildren(std::vector<TComponent*>& children) const override;

 private:
  friend class TContainedAction;

  std::vector<TContainedAction*> actions_;  // Not owned; each action leaves on destruction.
};

class TActionList : public TCustomActionList {
  KIVO_CLASS(TActionList, TCustomActionList)

  explicit TActionList(TComponent* owner);
};

}  // namespace kivo
