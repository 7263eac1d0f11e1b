// Components: named objects in an ownership tree, with destruction notifications.
//
// A component is created with an owner, which owns it from then on: destroying the owner
// destroys what it owns, last inserted first. A component destroyed on its own (deleted by its
// creator or by another component) leaves its owner's list first. A component that keeps a
// pointer to another component beyond one call asks for a free notification; when the other
// component is destroyed, it receives `Notification(other, opRemove)` and forgets the pointer.
// So no pointer inside a tree dangles, whatever the order of destruction.
//
//   TComponent form(nullptr);
//   auto* a = new TComponent(&form);   // owned by form
//   a->SetName("Button1");
//   form.FindComponent("BUTTON1");     // == a (names ignore letter case)
//
// Construction: the constructor inserts the component into its owner, so the owner and its
// components receive `Notification(c, opInsert)` while `c` is still being constructed (only its
// TComponent part exists then): a receiver may store or compare the pointer, nothing more.
//
// Destruction: a derived class whose members its owned components may use while they are being
// destroyed calls `Destroying()` and `DestroyComponents()` first in its own destructor; the
// TComponent destructor does both otherwise, after the derived parts are gone. Virtual calls
// made during destruction reach the classes that still exist, as always in C++.
//
// Threads: components belong to the user-interface thread.
#pragma once

#include <string>
#include <vector>

#include "kivo/rtl/Persistent.h"
#include "kivo/rtl/Set.h"

namespace kivo {

// The states a component can be in.
enum TComponentStateFlag {
  csLoading,           // being read from a form file; cleared by Loaded
  csReading,           // its properties are being read
  csWriting,           // its properties are being written
  csDestroying,        // being destroyed
  csDesigning,         // lives in a form designer
  csFreeNotification,  // has asked another component for free notification
};
using TComponentState = TSet<TComponentStateFlag>;

// What happened to a component that a notification reports.
enum TOperation { opInsert, opRemove };

class TComponent : public TPersistent {
  KIVO_CLASS(TComponent, TPersistent)

  // Creates a component owned by `owner` (may be null) with an empty name.
  // Ownership: `owner` owns the new component; without owner the creator does.
  explicit TComponent(TComponent* owner);
  // Destroys the owned components, notifies every component that asked for free notification,
  // and leaves the owner.
  ~TComponent() override;
  TComponent(const TComponent&) = delete;
  TComponent& operator=(const TComponent&) = delete;

  TComponent* Owner() const { return owner_; }
  int ComponentCount() const { return static_cast<int>(components_.size()); }
  // The owned component at `index`, in insertion order.
  // Throws: EListError "List index out of bounds (%d)".
  TComponent* Components(int index) const;
  // This component's position in its owner's list, or -1 without owner.
  int ComponentIndex() const;
  // The owned component whose name is `name` (letter case ignored), or null; "" finds nothing.
  TComponent* FindComponent(std::string_view name) const;

  const std::string& Name() const { return name_; }
  // Renames the component. An empty name is allowed (an unnamed component).
  // Throws: EComponentError "'1x' is not a valid component name" for a name that is not an
  // identifier; EComponentError "A component named Button1 already exists" when another
  // component of the owner has the name (letter case ignored). The name stays on error.
  virtual void SetName(const std::string& name);

  int Tag() const { return tag_; }
  void SetTag(int tag) { tag_ = tag; }

  TComponentState ComponentState() const { return state_; }
  // Sets or clears the designing state, on this component and on everything it owns.
  void SetDesigning(bool designing);
  // Sets the loading and reading states: a form-file reader calls it before it reads the
  // component's properties.
  void BeginLoading();
  // Called once the component and everything around it have been read; clears the loading and
  // reading states. Overrides call the inherited Loaded first.
  virtual void Loaded();

  // Form files. A reader calls SetParentComponent on a component read nested inside `parent`;
  // the component decides what that makes it (a control becomes a child control of a windowed
  // control, a menu item a sub-item). The base does nothing.
  virtual void SetParentComponent(TComponent* parent);
  // The components that a writer writes nested inside this one, in order (the base: none).
  virtual void GetChildren(std::vector<TComponent*>& children) const;

  // Makes this component the owner of `component`, taking it from its former owner, and
  // notifies this component and everything it owns of the insertion.
  // Throws: EComponentError "A component named X already exists" on a name clash (nothing
  // changes); EComponentError "Cannot insert X into its own tree" when `component` is this
  // component or owns it.
  void InsertComponent(TComponent* component);
  // Releases `component` from this owner after notifying this component and everything it owns
  // of the removal. Does nothing when this component does not own it.
  // Ownership: the caller owns `component` afterwards.
  void RemoveComponent(TComponent* component);
  // Destroys every owned component, the last inserted first.
  void DestroyComponents();
  // Sets the destroying state on this component and on everything it owns.
  void Destroying();

  // Asks `component` to report its destruction to this component through Notification. The
  // request is mutual: whichever of the two goes first notifies the other. Null and this
  // component are ignored.
  void FreeNotification(TComponent* component);
  // Withdraws a request of FreeNotification, in both directions.
  void RemoveFreeNotification(TComponent* component);

  // Reports an insertion or a removal of `component`. The base forgets a removed component's
  // free-notification request and passes the report on to every owned component. Overrides call
  // the inherited Notification and must not throw.
  virtual void Notification(TComponent* component, TOperation operation);

 protected:
  // Checks that `component` may be renamed from `current` to `new_name` within this owner.
  // Throws: EComponentError "A component named X already exists".
  virtual void ValidateRename(TComponent* component, const std::string& current,
                              const std::string& new_name) const;

 private:
  void Unlink(TComponent* component);
  void RemoveNotifyPeer(TComponent* component);

  TComponent* owner_ = nullptr;             // not owned
  std::vector<TComponent*> components_;     // owned, in insertion order
  std::vector<TComponent*> free_notifies_;  // not owned; each also lists this component
  std::string name_;
  int tag_ = 0;
  TComponentState state_;
};

}  // namespace kivo
