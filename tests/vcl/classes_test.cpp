#include <gtest/gtest.h>

#include <vector>

#include "vcl/classes.h"
#include "vcl/forms.h"
#include "vcl/sysutils.h"

namespace {

using vcl::TComponent;
using vcl::TOperation;

// Records what it is told and logs its own destruction.
class Probe : public TComponent {
public:
    Probe(TComponent* owner, std::vector<std::string>* log, std::string name) : TComponent(owner), log_(log) {
        SetName(std::move(name));
    }
    ~Probe() override { log_->push_back("~" + Name()); }
    std::vector<std::string> removed;  // names of the components heard going away

protected:
    void Notification(TComponent* c, TOperation op) override {
        TComponent::Notification(c, op);
        if (op == TOperation::opRemove) removed.push_back(c->Name());
    }

private:
    std::vector<std::string>* log_;
};

TEST(ComponentTest, OwnerDeletesOwnedLastCreatedFirst) {
    std::vector<std::string> log;
    auto* owner = new Probe(nullptr, &log, "owner");
    new Probe(owner, &log, "a");
    new Probe(owner, &log, "b");
    ASSERT_EQ(owner->ComponentCount(), 2);
    EXPECT_EQ(owner->Components(1)->Name(), "b");
    EXPECT_EQ(owner->FindComponent("A"), owner->Components(0));
    delete owner;
    EXPECT_EQ(log, (std::vector<std::string>{"~owner", "~b", "~a"}));
}

TEST(ComponentTest, DeletingAComponentRemovesItFromItsOwnerAndTellsSiblings) {
    std::vector<std::string> log;
    Probe owner(nullptr, &log, "owner");
    auto* a = new Probe(&owner, &log, "a");
    auto* b = new Probe(&owner, &log, "b");
    delete a;
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(b->removed, std::vector<std::string>{"a"});
    EXPECT_THROW(owner.Components(1), vcl::EListError);
}

TEST(ComponentTest, FreeNotificationWorksBothWays) {
    std::vector<std::string> log;
    auto* a = new Probe(nullptr, &log, "a");
    auto* b = new Probe(nullptr, &log, "b");
    a->FreeNotification(b);
    delete b;
    EXPECT_EQ(a->removed, std::vector<std::string>{"b"});
    auto* c = new Probe(nullptr, &log, "c");
    c->FreeNotification(a);
    delete c;  // a hears of c although c registered
    EXPECT_EQ(a->removed.back(), "c");
    delete a;
}

TEST(ApplicationTest, IsTheGlobalWhileItLives) {
    ASSERT_EQ(vcl::Application, nullptr);
    {
        vcl::TApplication app;
        EXPECT_EQ(vcl::Application, &app);
        auto* form = new vcl::TForm(&app);
        vcl::Word seen = 0;
        form->OnKeyDown = [&](vcl::TObject*, vcl::Word& key, vcl::TShiftState shift) {
            seen = key;
            if (shift.Contains(vcl::ssCtrl)) key = 0;
        };
        EXPECT_EQ(form->PressKey(vcl::VK_F9, {vcl::ssCtrl}), 0);
        EXPECT_EQ(seen, vcl::VK_F9);
    }
    EXPECT_EQ(vcl::Application, nullptr);
}

}  // namespace
