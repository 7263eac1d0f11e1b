#include "kivo/rtl/Collection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/Component.h"
#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

class TColumn : public TCollectionItem {
  KIVO_CLASS(TColumn, TCollectionItem)
  using TCollectionItem::TCollectionItem;

  const std::string& Caption() const { return caption_; }
  void SetCaption(const std::string& v) {
    caption_ = v;
    Changed(false);
  }
  void Assign(const TPersistent* source) override {
    if (const auto* c = As<TColumn>(source)) {
      caption_ = c->caption_;
    } else {
      Inherited::Assign(source);
    }
  }

 protected:
  std::string GetDisplayName() const override { return caption_.empty() ? "(none)" : caption_; }

 private:
  std::string caption_;
};
KIVO_DEFINE_CLASS(TColumn) {}

// An item without a copy operation of its own.
class TPlainItem : public TCollectionItem {
  KIVO_CLASS(TPlainItem, TCollectionItem)
  using TCollectionItem::TCollectionItem;
};
KIVO_DEFINE_CLASS(TPlainItem) {}

// A collection that records its Update and Notify calls.
class TColumns : public TOwnedCollection {
  KIVO_CLASS(TColumns, TOwnedCollection)
  explicit TColumns(TPersistent* owner) : TOwnedCollection(owner, TColumn::StaticClass()) {}
  TColumn* Items(int i) const { return static_cast<TColumn*>(TOwnedCollection::Items(i)); }
  TColumn* Add() { return TOwnedCollection::Add<TColumn>(); }

  std::vector<std::string> log;

 protected:
  void Update(TCollectionItem* item) override {
    log.push_back(item == nullptr ? "update all" : "update " + item->DisplayName());
  }
  void Notify(TCollectionItem* item, TCollectionNotification action) override {
    log.push_back((action == cnAdded      ? "added "
                   : action == cnDeleting ? "deleting "
                                          : "extracting ") +
                  item->DisplayName());
  }
};
KIVO_DEFINE_CLASS(TColumns) {}

std::vector<std::string> Captions(const TColumns& c) {
  std::vector<std::string> out;
  for (int i = 0; i < c.Count(); ++i) out.push_back(c.Items(i)->Caption());
  return out;
}

TEST(Collection, AddInsertDeleteKeepOrderAndIndexes) {
  TComponent owner(nullptr);
  TColumns cols(&owner);
  cols.Add()->SetCaption("a");
  cols.Add()->SetCaption("c");
  static_cast<TColumn*>(cols.Insert(1))->SetCaption("b");
  EXPECT_EQ(Captions(cols), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(cols.Items(2)->Index(), 2);
  EXPECT_EQ(cols.Items(1)->Collection(), &cols);
  EXPECT_EQ(cols.Owner(), &owner);
  EXPECT_EQ(cols.Items(0)->GetOwner(), &cols);
  // IDs are given in order of creation and never reused.
  EXPECT_EQ(cols.Items(1)->ID(), 2);
  cols.Delete(0);
  EXPECT_EQ(Captions(cols), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(cols.Add()->ID(), 3);
  EXPECT_EQ(cols.FindItemID(2), cols.Items(0));
  EXPECT_EQ(cols.FindItemID(0), nullptr);
  cols.Items(0)->SetIndex(2);
  EXPECT_EQ(Captions(cols), (std::vector<std::string>{"c", "", "b"}));
  cols.Clear();
  EXPECT_EQ(cols.Count(), 0);
}

TEST(Collection, BadIndexesRaiseTheListError) {
  TColumns cols(nullptr);
  cols.Add();
  struct Row {
    const char* name;
    std::function<void()> call;
    const char* message;
  } rows[] = {
      {"Items(1)", [&] { cols.Items(1); }, "List index out of bounds (1)"},
      {"Items(-1)", [&] { cols.Items(-1); }, "List index out of bounds (-1)"},
      {"Delete(1)", [&] { cols.Delete(1); }, "List index out of bounds (1)"},
      {"Insert(2)", [&] { cols.Insert(2); }, "List index out of bounds (2)"},
      {"SetIndex(5)", [&] { cols.Items(0)->SetIndex(5); }, "List index out of bounds (5)"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    try {
      r.call();
      ADD_FAILURE() << "no error";
    } catch (const EListError& e) {
      EXPECT_EQ(e.Message(), r.message);
    }
  }
  EXPECT_EQ(cols.Count(), 1);
}

TEST(Collection, DisplayNames) {
  TColumns cols(nullptr);
  TColumn* c = cols.Add();
  EXPECT_EQ(c->DisplayName(), "(none)");
  c->SetCaption("Name");
  EXPECT_EQ(c->DisplayName(), "Name");
  TCollection plain(TPlainItem::StaticClass());
  EXPECT_EQ(plain.Add()->DisplayName(), "TPlainItem");
  EXPECT_EQ(plain.Owner(), nullptr);
}

TEST(Collection, AssignClearsThenCopiesEachItem) {
  TColumns source(nullptr);
  source.Add()->SetCaption("x");
  source.Add()->SetCaption("y");
  TColumns dest(nullptr);
  dest.Add()->SetCaption("old");
  dest.log.clear();
  dest.Assign(&source);
  EXPECT_EQ(Captions(dest), (std::vector<std::string>{"x", "y"}));
  EXPECT_NE(dest.Items(0), source.Items(0));
  // One Update for the whole copy, after the bracket closes.
  EXPECT_EQ(dest.log.back(), "update all");
  EXPECT_EQ(std::count(dest.log.begin(), dest.log.end(), "update all"), 1);
  EXPECT_EQ(dest.UpdateCount(), 0);
  dest.Assign(&dest);
  EXPECT_EQ(dest.Count(), 2);
}

TEST(Collection, AssignWithItemsThatCannotCopyFailsAtTheFirstItem) {
  TCollection source(TPlainItem::StaticClass());
  source.Add();
  TCollection dest(TPlainItem::StaticClass());
  try {
    dest.Assign(&source);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TPlainItem to a TPlainItem");
  }
  // The update bracket is closed on the way out.
  EXPECT_EQ(dest.UpdateCount(), 0);
  try {
    dest.Assign(nullptr);
    FAIL() << "no error";
  } catch (const EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a TCollection");
  }
  TComponent c(nullptr);
  EXPECT_THROW(dest.Assign(&c), EConvertError);
}

TEST(Collection, UpdateBracketsDeferChanges) {
  TColumns cols(nullptr);
  TColumn* c = cols.Add();
  cols.log.clear();
  c->SetCaption("a");
  EXPECT_EQ(cols.log, std::vector<std::string>{"update a"});
  cols.log.clear();
  cols.BeginUpdate();
  cols.BeginUpdate();
  c->SetCaption("b");
  cols.Add();
  cols.EndUpdate();
  EXPECT_EQ(cols.log, std::vector<std::string>{"added (none)"});
  cols.EndUpdate();
  EXPECT_EQ(cols.log, (std::vector<std::string>{"added (none)", "update all"}));
  cols.EndUpdate();  // unbalanced: ignored
  EXPECT_EQ(cols.UpdateCount(), 0);
}

TEST(Collection, ItemsNeedAnItemClass) {
  TCollection c(TComponent::StaticClass());
  try {
    c.Add();
    FAIL() << "no error";
  } catch (const Exception& e) {
    EXPECT_EQ(e.Message(), "Collection has no item class");
  }
  // The base item class itself can be created.
  TCollection base(TCollectionItem::StaticClass());
  EXPECT_NO_THROW(base.Add());
}

}  // namespace
}  // namespace kivo
