// The class-handler registry: which procedure translates the texts of which class.
//
// A handler (TClassMethodProc) knows where one class keeps its texts and rewrites each of them
// with its translation. TMultiClassMethodStorage maps classes to handlers and keeps its entries
// (TClassMethod) as a tree that mirrors the class hierarchy: an entry's parent is the entry of
// the nearest registered strict ancestor of its class, and entries whose class has no registered
// ancestor are the roots, held in the list in registration order. The walk asks for the handler
// of the nearest registered class of each object it visits (GetNearstClassMethod): the object's
// own class if it is registered, else its closest registered ancestor.
//
//   kivo::InitializeClassMethods();  // the global registry with the sixteen standard handlers
//   kivo::KivoClassMethodStorage->RegisterClassMethod(kivo::TCustomActionList::StaticClass(),
//                                                     kivo::Proc_TCustomActionList);
//   const kivo::TClassMethod* entry =
//       kivo::KivoClassMethodStorage->GetNearstClassMethod(kivo::TPanel::StaticClass());
//   // entry->MethodClass()->Name() == "TCustomControl"
//
// The standard handlers, registered in this order: TCustomControl, TCustomTabControl,
// TPageControl, TButtonControl, TCustomComboBox, TCustomTreeView, TCustomListView,
// TCustomListBox, TCustomHeaderControl, TCustomStatusBar, TCustomLabel, TSpeedButton, TToolBar,
// TCoolBar, TCustomForm, TMenu. Every one is a root except TPageControl, the only child of
// TCustomTabControl. Proc_TCustomActionList is not registered; an application that wants its
// actions translated registers it for TCustomActionList.
//
// Threads: user-interface thread only; nothing is locked.
#pragma once

#include <string>

#include "kivo/core/DataLocate.h"
#include "kivo/rtl/ClassModel.h"
#include "kivo/rtl/List.h"

namespace kivo {

class TFont;
class TCustomTreeView;

// A handler: translates the texts of `object`, which is of the class it was registered for (or
// a descendant), with `locate`, for `code_page` and `seq_no`. `font` is the font of the
// replacement options (may be null); the standard handlers do not use it.
using TClassMethodProc = void (*)(IDataLocate& locate, TObject* object,
                                  const std::string& code_page, const std::string& seq_no,
                                  TFont* font);

// One entry of the registry: a class, its handler (may be null: objects of the class then get no
// handler call, whatever their ancestors have registered) and the links of the tree.
//
// Destroying an entry destroys its next sibling (with that one's siblings and subtrees), then its
// first child (with its subtree): destroying the first entry of a chain destroys the chain, and
// destroying a root destroys its subtree. The destruction is iterative, so long chains and deep
// trees are fine.
class TClassMethod : public TObject {
  KIVO_CLASS(TClassMethod, TObject)

  // Creates an entry without links.
  TClassMethod(TClass method_class, TClassMethodProc proc);
  ~TClassMethod() override;
  TClassMethod(const TClassMethod&) = delete;
  TClassMethod& operator=(const TClassMethod&) = delete;

  // The registered class.
  TClass MethodClass() const { return class_; }
  // The handler, or null.
  TClassMethodProc Proc() const { return proc_; }

  // The first entry of the chain of this entry's children, or null.
  TClassMethod* FirstChild() const { return first_child_; }
  // The next entry of the parent's chain of children, or null (always null for a root).
  TClassMethod* NextSibling() const { return next_sibling_; }
  // The entry of the nearest registered ancestor class, or null for a root.
  TClassMethod* Parent() const { return parent_; }

 private:
  friend class TMultiClassMethodStorage;

  // Destroys the chain that starts at `entry` (may be null) with every subtree.
  static void DestroyChain(TClassMethod* entry);

  TClass class_;                          // never null
  TClassMethodProc proc_;                 // may be null
  TClassMethod* first_child_ = nullptr;   // owned, with its siblings
  TClassMethod* next_sibling_ = nullptr;  // owned, with its siblings
  TClassMethod* parent_ = nullptr;        // not owned; owns this entry's chain
};

// The registry. The list (the TList base) holds the root entries in order; the registry owns
// every entry.
//
// Invariants after every operation: each class has at most one entry; an entry's parent is the
// entry of the nearest registered strict ancestor of its class, a root has no registered
// ancestor (and no parent and no next sibling); within one chain of children, and among the
// roots, no class inherits from another.
class TMultiClassMethodStorage : public TList {
  KIVO_CLASS(TMultiClassMethodStorage, TList)

  TMultiClassMethodStorage() = default;
  // Destroys every entry (Clear).
  ~TMultiClassMethodStorage() override;

  // Registers `method_class` with `proc`, or replaces the handler of the entry it has (the entry
  // keeps its place). Registered roots that descend from the class move under the new entry,
  // keeping their list order; a new root goes to the end of the list. A null class is ignored.
  void RegisterClassMethod(TClass method_class, TClassMethodProc proc);
  // The entry whose class is exactly `method_class`, or null.
  TClassMethod* GetClassMethod(TClass method_class) const;

  // Virtual operations in their fixed slot order: Clear (of TList), UnRegisterClassMethod,
  // GetNearstClassMethod, DumpToTree.

  // Destroys every entry, the last root first, and empties the list.
  void Clear() override;
  // Removes and destroys the entry of exactly `method_class`; its children take its place in its
  // parent's chain, or, for a root, join the end of the list in their chain order. Does nothing
  // when the class has no entry of its own (an ancestor's entry is never removed).
  virtual void UnRegisterClassMethod(TClass method_class);
  // The entry of `method_class` or of its nearest registered ancestor, or null when neither is
  // registered (null for a null class).
  virtual TClassMethod* GetNearstClassMethod(TClass method_class) const;
  // Fills `tree_view` with one node per entry, the class name as its text: the roots as
  // top-level nodes in list order, each entry's children below its node in chain order. The
  // former nodes are cleared; the node list's update bracket is closed also when adding fails.
  virtual void DumpToTree(TCustomTreeView& tree_view) const;
};

// The global registry; null before InitializeClassMethods and after FinalizeClassMethods.
extern TMultiClassMethodStorage* KivoClassMethodStorage;

// Creates KivoClassMethodStorage and registers the sixteen standard handlers in their order.
// Does nothing when the registry exists already.
void InitializeClassMethods();
// Destroys KivoClassMethodStorage with every entry and sets it to null. Does nothing when it does
// not exist.
void FinalizeClassMethods();

// The one lookup of every handler: "" for an empty key (without asking `locate`), else
// locate.GetDisplayValue(dd_key, code_page, seq_no), which is the key itself for a key the
// dictionary lacks.
// Throws: whatever `locate` raises.
std::string GetDisplayValue(IDataLocate& locate, const std::string& dd_key,
                            const std::string& code_page, const std::string& seq_no);

// Translates the caption, then the hint, of each TCustomAction of the action list `object`
// (other actions are passed over); the actions pass them on to their linked controls and menu
// items. Not registered at start-up.
// REQUIRES: `object` is a TCustomActionList.
// Throws: whatever `locate` raises; the actions translated before keep their texts.
void Proc_TCustomActionList(IDataLocate& locate, TObject* object, const std::string& code_page,
                            const std::string& seq_no, TFont* font);

}  // namespace kivo
