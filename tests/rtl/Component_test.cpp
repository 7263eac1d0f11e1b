#include "kivo/rtl/Component.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "kivo/rtl/Exceptions.h"

namespace kivo {
namespace {

// A component that logs its destruction and its notifications, can watch one other component
// and can take a sibling down with it.
class TProbe : public TComponent {
  KIVO_CLASS(TProbe, TComponent)

  explicit TProbe(TComponent* owner, std::vector<std::string>* log = nullptr)
      : TComponent(owner), log_(log) {}
  ~TProbe() override {
    Destroying();
    if (log_ != nullptr) log_->push_back("~" + Name());
    delete victim_;
  }

  void Watch(TComponent* c) {
    watched_ = c;
    if (c != nullptr) c->FreeNotification(this);
  }
  TComponent* Watched() const { return watched_; }
  // `victim` is destroyed by this component's destructor.
  void TakeDownWith(TComponent* victim) {
    victim_ = victim;
    Watch(victim);
  }

  void Notification(TComponent* c, TOperation op) override {
    Inherited::Notification(c, op);
    if (log_ != nullptr) {
      log_->push_back(Name() + (op == opInsert ? " +" : " -") + c->Name() +
                      (ComponentState().Contains(csDestroying) ? " (destroying)" : ""));
    }
    if (op == opRemove && c == watched_) watched_ = nullptr;
    if (op == opRemove && c == victim_) victim_ = nullptr;
    if (on_notify) on_notify(c, op);
  }

  std::function<void(TComponent*, TOperation)> on_notify;

 private:
  std::vector<std::string>* log_;
  TComponent* watched_ = nullptr;  // Not owned; cleared by Notification.
  TComponent* victim_ = nullptr;   // Destroyed with this component unless it goes first.
};

KIVO_DEFINE_CLASS(TProbe) {}

TProbe* MakeProbe(TComponent* owner, const std::string& name, std::vector<std::string>* log) {
  auto* p = new TProbe(owner, log);
  p->SetName(name);
  return p;
}

TEST(Component, OwnerDestroysWhatItOwnsLastFirst) {
  std::vector<std::string> log;
  {
    TProbe form(nullptr, nullptr);
    MakeProbe(&form, "A", &log);
    TProbe* b = MakeProbe(&form, "B", &log);
    MakeProbe(b, "B1", &log);
    MakeProbe(&form, "C", &log);
    ASSERT_EQ(form.ComponentCount(), 3);
    EXPECT_EQ(b->ComponentIndex(), 1);
    log.clear();
  }
  EXPECT_EQ(log, (std::vector<std::string>{"~C", "~B", "~B1", "~A"}));
}

TEST(Component, ComponentDestroyedFirstLeavesItsOwner) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  delete a;
  ASSERT_EQ(form.ComponentCount(), 1);
  EXPECT_EQ(form.Components(0), b);
  EXPECT_EQ(b->ComponentIndex(), 0);
  try {
    form.Components(1);
    FAIL() << "no error";
  } catch (const EListError& e) {
    EXPECT_EQ(e.Message(), "List index out of bounds (1)");
  }
}

TEST(Component, ChildDestructorThatDestroysASiblingKeepsTeardownSound) {
  std::vector<std::string> log;
  {
    TComponent form(nullptr);
    TProbe* first = MakeProbe(&form, "First", &log);
    TProbe* second = MakeProbe(&form, "Second", &log);
    TProbe* third = MakeProbe(&form, "Third", &log);
    // Third is destroyed first and takes First with it; then Second goes.
    third->TakeDownWith(first);
    second->TakeDownWith(third);  // but Third is gone before Second: Second must not delete it
  }
  // First went with Third; every probe is destroyed exactly once.
  int destroyed = 0;
  for (const std::string& e : log) destroyed += e[0] == '~';
  EXPECT_EQ(destroyed, 3);
}

TEST(Component, WatchedComponentDestroyedBeforeItsWatcher) {
  TComponent form(nullptr);
  auto* watcher = new TProbe(&form);
  auto* watched = new TComponent(&form);
  watcher->Watch(watched);
  delete watched;
  EXPECT_EQ(watcher->Watched(), nullptr);
}

TEST(Component, WatcherDestroyedBeforeTheWatchedOne) {
  // The watched component must not notify a watcher that is gone (ASan reports any such use).
  TComponent other_form(nullptr);
  auto* watched = new TComponent(&other_form);
  {
    TComponent form(nullptr);
    auto* watcher = new TProbe(&form);
    watcher->Watch(watched);
  }
  delete watched;
  EXPECT_EQ(other_form.ComponentCount(), 0);
}

TEST(Component, WatchesAcrossTreesSurviveEveryTeardownOrder) {
  // Two forms whose components watch each other; destroy them in both orders.
  for (bool watched_form_first : {true, false}) {
    SCOPED_TRACE(watched_form_first ? "watched form first" : "watcher form first");
    auto* form_a = new TComponent(nullptr);
    auto* form_b = new TComponent(nullptr);
    auto* a = new TProbe(form_a);
    auto* b = new TProbe(form_b);
    a->Watch(b);
    b->Watch(a);
    auto* b2 = new TProbe(form_b);
    b2->Watch(a);
    if (watched_form_first) {
      delete form_b;
      EXPECT_EQ(a->Watched(), nullptr);
      delete form_a;
    } else {
      delete form_a;
      EXPECT_EQ(b->Watched(), nullptr);
      EXPECT_EQ(b2->Watched(), nullptr);
      delete form_b;
    }
  }
}

TEST(Component, NotificationThatChangesTheNotifyList) {
  TComponent form(nullptr);
  auto* doomed = new TComponent(&form);
  auto* w1 = new TProbe(&form);
  auto* w2 = new TProbe(&form);
  auto* w3 = new TProbe(&form);
  w1->Watch(doomed);
  w2->Watch(doomed);
  w3->Watch(doomed);
  // The last watcher hears of the removal first and destroys the first watcher, which has not
  // been told yet; the second watcher withdraws a request of the third while it is told.
  TComponent other_form(nullptr);  // siblings hear of removals through their owner anyway
  auto* w4 = new TProbe(&other_form);
  w4->Watch(w3);
  w3->on_notify = [&](TComponent* c, TOperation op) {
    if (op == opRemove && c == doomed && w1 != nullptr) {
      TProbe* victim = w1;
      w1 = nullptr;
      delete victim;
    }
  };
  w2->on_notify = [&](TComponent* c, TOperation op) {
    if (op == opRemove && c == doomed) w3->RemoveFreeNotification(w4);
  };
  delete doomed;
  EXPECT_EQ(w1, nullptr);
  EXPECT_EQ(w2->Watched(), nullptr);
  EXPECT_EQ(w3->Watched(), nullptr);
  // w4's request was withdrawn: destroying w3 no longer reaches it.
  delete w3;
  EXPECT_NE(w4->Watched(), nullptr);
}

TEST(Component, InsertAndRemoveAreReportedToTheOwnerAndItsComponents) {
  std::vector<std::string> log;
  TProbe form(nullptr, &log);
  form.SetName("Form");
  TProbe* sibling = MakeProbe(&form, "Sibling", &log);
  log.clear();
  auto* c = new TComponent(nullptr);
  c->SetName("C");
  form.InsertComponent(c);
  form.RemoveComponent(c);
  EXPECT_EQ(log, (std::vector<std::string>{"Sibling +C", "Form +C", "Sibling -C", "Form -C"}));
  EXPECT_EQ(c->Owner(), nullptr);
  delete c;
  EXPECT_EQ(sibling->Owner(), &form);
}

TEST(Component, NotificationsDuringTeardownSeeTheDestroyingState) {
  std::vector<std::string> log;
  {
    TProbe form(nullptr);
    TProbe* watcher = MakeProbe(&form, "Watcher", &log);
    TProbe* watched = MakeProbe(&form, "Watched", &log);
    watcher->Watch(watched);
    log.clear();
  }
  // Watched goes first (last inserted) and tells Watcher, which is being destroyed too.
  ASSERT_FALSE(log.empty());
  EXPECT_EQ(log[0], "~Watched");
  EXPECT_EQ(log[1], "Watcher -Watched (destroying)");
}

TEST(Component, NamesAreIdentifiersUniqueWithoutRegardToCase) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  auto* b = new TComponent(&form);
  a->SetName("Button1");
  EXPECT_EQ(form.FindComponent("BUTTON1"), a);
  EXPECT_EQ(form.FindComponent(""), nullptr);

  struct Row {
    const char* name;
    const char* message;  // null: accepted
  } rows[] = {
      {"button1", "A component named button1 already exists"},
      {"1Button", "'1Button' is not a valid component name"},
      {"Button 2", "'Button 2' is not a valid component name"},
      {"Button2", nullptr},
      {"", nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.name);
    const std::string before = b->Name();
    if (r.message == nullptr) {
      b->SetName(r.name);
      EXPECT_EQ(b->Name(), r.name);
    } else {
      try {
        b->SetName(r.name);
        ADD_FAILURE() << "no error";
      } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message(), r.message);
      }
      EXPECT_EQ(b->Name(), before);
    }
  }
  // A component may change the letter case of its own name.
  a->SetName("BUTTON1");
  EXPECT_EQ(a->Name(), "BUTTON1");
  // Unnamed components never clash.
  new TComponent(&form);
  EXPECT_EQ(form.ComponentCount(), 3);
}

TEST(Component, InsertComponentChecksNamesAndTrees) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  a->SetName("A");
  auto* child = new TComponent(a);

  TComponent other(nullptr);
  auto* clash = new TComponent(&other);
  clash->SetName("a");
  try {
    form.InsertComponent(clash);
    FAIL() << "no error";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "A component named a already exists");
  }
  EXPECT_EQ(clash->Owner(), &other);

  try {
    child->InsertComponent(&form);
    FAIL() << "no error";
  } catch (const EComponentError& e) {
    EXPECT_EQ(e.Message(), "Cannot insert TComponent into its own tree");
  }

  // Moving a component to another owner takes it from the former one.
  clash->SetName("B");
  form.InsertComponent(clash);
  EXPECT_EQ(clash->Owner(), &form);
  EXPECT_EQ(other.ComponentCount(), 0);
}

TEST(Component, StatesForDesigningAndLoading) {
  TComponent form(nullptr);
  auto* a = new TComponent(&form);
  form.SetDesigning(true);
  EXPECT_TRUE(a->ComponentState().Contains(csDesigning));
  auto* b = new TComponent(&form);
  EXPECT_TRUE(b->ComponentState().Contains(csDesigning));
  form.SetDesigning(false);
  EXPECT_FALSE(a->ComponentState().Contains(csDesigning));

  a->BeginLoading();
  EXPECT_TRUE(a->ComponentState().Contains(csLoading));
  a->Loaded();
  EXPECT_FALSE(a->ComponentState().Contains(csLoading));
  EXPECT_FALSE(a->ComponentState().Contains(csReading));
}

TEST(Component, CreatedByClassName) {
  RegisterClass(TProbe::StaticClass());
  TComponent form(nullptr);
  TComponent* c = FindClass("tprobe")->CreateComponent(&form);
  EXPECT_EQ(c->ClassName(), "TProbe");
  EXPECT_EQ(c->Owner(), &form);
  EXPECT_TRUE(Is<TProbe>(c));
  EXPECT_FALSE(Is<TProbe>(&form));
  EXPECT_FALSE(Is<TProbe>(nullptr));
}

}  // namespace
}  // namespace kivo
