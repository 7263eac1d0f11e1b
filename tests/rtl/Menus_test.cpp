#include "kivo/rtl/Menus.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/Forms.h"

namespace kivo {
namespace {

// A form with a main menu: File (Open, Recent (One, Two)), Edit.
class MenuTree : public ::testing::Test {
 protected:
  MenuTree() : form(new TForm(nullptr)), menu(new TMainMenu(form)) {
    file = Item("File", menu->Items());
    open = Item("Open", file);
    recent = Item("Recent", file);
    one = Item("One", recent);
    two = Item("Two", recent);
    edit = Item("Edit", menu->Items());
  }
  ~MenuTree() override { delete form; }

  TMenuItem* Item(const std::string& name, TMenuItem* parent) {
    auto* item = new TMenuItem(form);
    item->SetName(name);
    item->SetCaption("&" + name);
    parent->Add(item);
    return item;
  }
  // The captions below `item`, depth first, each before its sub-items.
  static std::string Outline(const TMenuItem* item) {
    std::string out;
    for (int i = 0; i < item->Count(); ++i) {
      out += item->Items(i)->Caption() + " ";
      out += Outline(item->Items(i));
    }
    return out;
  }

  TForm* form;
  TMainMenu* menu;
  TMenuItem *file, *open, *recent, *one, *two, *edit;
};

TEST_F(MenuTree, ItemsFormATreeBelowTheMenusRootItem) {
  EXPECT_EQ(Outline(menu->Items()), "&File &Open &Recent &One &Two &Edit ");
  EXPECT_EQ(two->Parent(), recent);
  EXPECT_EQ(file->Parent(), menu->Items());
  EXPECT_EQ(two->GetParentMenu(), menu);
  EXPECT_EQ(recent->IndexOf(two), 1);
  // The root belongs to the menu, not to the form's components.
  EXPECT_EQ(menu->ComponentCount(), 0);
  EXPECT_EQ(form->ComponentCount(), 7);
}

TEST_F(MenuTree, InsertRejectsItemsThatWouldBreakTheTree) {
  struct Row {
    const char* name;
    TMenuItem* parent;
    int index;
    TMenuItem* item;
    const char* message;
  };
  auto* loose = new TMenuItem(form);
  const Row rows[] = {
      {"already has a parent", edit, 0, open, "Menu inserted twice"},
      {"a menu's root", edit, 0, menu->Items(), "Menu inserted twice"},
      {"into itself", loose, 0, loose, "Cannot insert a menu item into itself"},
      {"index past the end", edit, 1, loose, "Menu index out of range"},
      {"negative index", edit, -1, loose, "Menu index out of range"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string before = Outline(menu->Items());
    try {
      row.parent->Insert(row.index, row.item);
      FAIL() << "no exception";
    } catch (const EMenuError& e) {
      EXPECT_STREQ(e.what(), row.message);
    }
    EXPECT_EQ(Outline(menu->Items()), before);
  }
  // An item that holds the target cannot go below it either.
  recent->Remove(one);
  one->Add(loose);
  try {
    loose->Add(one);
    FAIL() << "no exception";
  } catch (const EMenuError& e) {
    EXPECT_STREQ(e.what(), "Cannot insert a menu item into itself");
  }
  edit->Insert(0, one);
  EXPECT_EQ(Outline(edit), "&One  ");
}

TEST_F(MenuTree, DeleteAndRemoveTakeItemsOutWithoutDestroyingThem) {
  file->Delete(0);
  EXPECT_EQ(open->Parent(), nullptr);
  EXPECT_EQ(form->FindComponent("Open"), open);
  file->Remove(recent);
  EXPECT_EQ(file->Count(), 0);
  try {
    file->Remove(recent);
    FAIL() << "no exception";
  } catch (const EMenuError& e) {
    EXPECT_STREQ(e.what(), "Sub-menu is not in menu");
  }
  try {
    file->Delete(0);
    FAIL() << "no exception";
  } catch (const EMenuError& e) {
    EXPECT_STREQ(e.what(), "Menu index out of range");
  }
  edit->Add(recent);
  EXPECT_EQ(Outline(edit), "&Recent &One &Two ");
}

TEST_F(MenuTree, DestroyingAnItemRemovesItAndDestroysItsSubItems) {
  delete recent;
  EXPECT_EQ(Outline(menu->Items()), "&File &Open &Edit ");
  // The sub-items went with it and left the form's components.
  EXPECT_EQ(form->FindComponent("One"), nullptr);
  EXPECT_EQ(form->FindComponent("Two"), nullptr);
  EXPECT_EQ(form->ComponentCount(), 4);
  edit->Clear();
  file->Clear();
  EXPECT_EQ(form->FindComponent("Open"), nullptr);
}

// Form files nest menu items in their menu and in their parent items.
TEST_F(MenuTree, SetParentComponentMakesEntriesAndSubItems) {
  auto* help = new TMenuItem(form);
  help->SetName("Help");
  help->SetCaption("&Help");
  help->SetParentComponent(menu);
  auto* about = new TMenuItem(form);
  about->SetName("About");
  about->SetCaption("&About");
  about->SetParentComponent(help);
  EXPECT_EQ(Outline(menu->Items()), "&File &Open &Recent &One &Two &Edit &Help &About ");
  EXPECT_EQ(help->GetParentMenu(), menu);
  open->SetParentComponent(edit);   // moves, as a child control does
  one->SetParentComponent(recent);  // already there: stays in place
  about->SetParentComponent(form);  // neither a menu nor an item: ignored
  about->SetParentComponent(nullptr);
  EXPECT_EQ(Outline(menu->Items()), "&File &Recent &One &Two &Edit &Open &Help &About ");
  for (TMenuItem* target : {recent, one}) {
    SCOPED_TRACE(target->Name());
    try {
      recent->SetParentComponent(target);
      FAIL() << "no exception";
    } catch (const EMenuError& e) {
      EXPECT_STREQ(e.what(), "Cannot insert a menu item into itself");
    }
    EXPECT_EQ(recent->Parent(), file);
  }

  // The menu lists its entries, not its root item; an item its sub-items.
  std::vector<TComponent*> children;
  menu->GetChildren(children);
  EXPECT_EQ(children, (std::vector<TComponent*>{file, edit, help}));
  children.clear();
  recent->GetChildren(children);
  EXPECT_EQ(children, (std::vector<TComponent*>{one, two}));
  children.clear();
  two->GetChildren(children);
  EXPECT_TRUE(children.empty());
}

TEST(Menus, WhatALinkedActionSuppliesIsNotStoredWithTheItem) {
  TForm form(nullptr);
  auto* action = new TAction(&form);
  auto* item = new TMenuItem(&form);
  item->SetShortCut(0x4053);
  const TClass cls = TMenuItem::StaticClass();
  const char* supplied[] = {"Caption", "Hint", "Checked", "Enabled", "Visible"};
  for (bool linked : {true, false}) {
    SCOPED_TRACE(linked ? "linked" : "unlinked");
    item->SetAction(linked ? action : nullptr);
    for (const char* name : supplied) {
      SCOPED_TRACE(name);
      EXPECT_EQ(cls->FindProperty(name)->IsStored(*item), !linked);
    }
    EXPECT_TRUE(cls->FindProperty("ShortCut")->IsStored(*item));
    EXPECT_TRUE(cls->FindProperty("Action")->IsStored(*item));
  }
}

TEST(MenusTeardown, AMenuDestroyedBeforeItsItemsTakesThemWithIt) {
  auto* form = new TForm(nullptr);
  auto* item = new TMenuItem(form);  // created before the menu: the menu goes first
  auto* sub = new TMenuItem(form);
  item->Add(sub);
  auto* popup = new TPopupMenu(form);
  popup->Items()->Add(item);
  int popups = 0;
  popup->OnPopup = [&](TObject*) { ++popups; };
  popup->Popup(10, 20);
  EXPECT_EQ(popups, 1);
  delete form;

  // Items without owner are destroyed by their parent item.
  TMainMenu menu(nullptr);
  auto* lone = new TMenuItem(nullptr);
  lone->Add(new TMenuItem(nullptr));
  menu.Items()->Add(lone);
}

}  // namespace
}  // namespace kivo
