// The secondary windows on their own, against a plain owner window: the one
// way the about box and the graphics settings take input away from their
// owner, and what the import hint says when it is closed.
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"
#include "settings_windows/frm_podsk1.h"

#include "files/settings.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QCheckBox>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace tarvel::testing {
namespace {

using settings_windows::FrmAbout;
using settings_windows::FrmNastrGrid;
using settings_windows::FrmPodsk1;

// A secondary window as its owner opens it: created, loaded, shown.
struct Opened {
    std::unique_ptr<QWidget> window;
    std::function<void()> load;
};

struct LockCase {
    const char *name;
    std::function<Opened(QWidget &owner, platform::Services &services)> open;
};

void PrintTo(const LockCase &c, std::ostream *os) {
    *os << c.name;
}

class OwnerLockTest : public ::testing::TestWithParam<LockCase> {
protected:
    void SetUp() override {
        owner.resize(300, 200);
        child = new QWidget(&owner);                     // a control of the owner
        openSibling = new QWidget(&owner, Qt::Window);   // an entry window, open
        closedSibling = new QWidget(&owner, Qt::Window); // a window the owner disabled itself
        closedSibling->setEnabled(false);
        owner.show();
        openSibling->show();
    }

    platform::FakeServices fakes;
    platform::Services services = fakes.bundle();
    QWidget owner;
    QWidget *child = nullptr;
    QWidget *openSibling = nullptr;
    QWidget *closedSibling = nullptr;
};

TEST_P(OwnerLockTest, TheOwnerTakesNoInputWhileTheWindowIsOpen) {
    Opened w = GetParam().open(owner, services);
    ASSERT_TRUE(owner.isEnabled()) << "creating the window locks nothing";
    w.load();
    w.window->show();
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_FALSE(child->isEnabled());
    EXPECT_TRUE(w.window->isEnabled()) << "the window stays usable itself";
    EXPECT_TRUE(openSibling->isEnabled()) << "the owner's other windows stay usable";
    EXPECT_FALSE(closedSibling->isEnabled());

    w.window->close();
    EXPECT_TRUE(owner.isEnabled());
    EXPECT_TRUE(child->isEnabled());
    EXPECT_TRUE(openSibling->isEnabled());
    EXPECT_FALSE(closedSibling->isEnabled()) << "a window disabled before stays disabled";

    // Opened again, the lock holds again; a second closing changes nothing.
    w.load();
    w.window->show();
    EXPECT_FALSE(owner.isEnabled());
    w.window->close();
    EXPECT_TRUE(owner.isEnabled());
    closedSibling->setEnabled(true);
    owner.setEnabled(false); // the owner's own doing, not the window's
    w.window->close();
    EXPECT_FALSE(owner.isEnabled());
    owner.setEnabled(true);
}

TEST_P(OwnerLockTest, AWindowGoneWhileOpenLeavesTheOwnerUsable) {
    Opened w = GetParam().open(owner, services);
    w.load();
    w.window->show();
    ASSERT_FALSE(owner.isEnabled());
    w.window.reset();
    EXPECT_TRUE(owner.isEnabled());
}

INSTANTIATE_TEST_SUITE_P(
    SecondaryWindows, OwnerLockTest,
    ::testing::Values(LockCase{"AboutBox",
                               [](QWidget &owner, platform::Services &services) {
                                   auto about = std::make_unique<FrmAbout>(owner, services.shell);
                                   FrmAbout *a = about.get();
                                   return Opened{std::move(about), [a] { a->Form_Load(); }};
                               }},
                      LockCase{"GraphicsSettings",
                               [](QWidget &owner, platform::Services &services) {
                                   auto grid = std::make_unique<FrmNastrGrid>(&owner, services,
                                                                              files::Settings{});
                                   FrmNastrGrid *g = grid.get();
                                   return Opened{std::move(grid), [g] { g->Form_Load(); }};
                               }}),
    [](const ::testing::TestParamInfo<LockCase> &info) { return std::string(info.param.name); });

// The graphics settings without an owner lock nothing and still work.
TEST(GraphicsSettingsWithoutOwner, OpensAndCloses) {
    platform::FakeServices fakes;
    platform::Services services = fakes.bundle();
    FrmNastrGrid grid(nullptr, services, files::Settings{});
    grid.Form_Load();
    grid.show();
    EXPECT_TRUE(grid.isEnabled());
    grid.close();
    EXPECT_EQ(fakes.settings.writes.size(), 10u);
}

// The import hint reports its tick when it is closed, once per closing, and
// is hidden by then, so that the import's file dialog never opens under it.
TEST(ImportHint, ClosedSaysWhetherToShowItAgain) {
    struct Row {
        const char *name;
        bool tick;
    };
    for (const Row &row : {Row{"left unticked", false}, Row{"ticked", true}}) {
        SCOPED_TRACE(row.name);
        QWidget owner;
        FrmPodsk1 hint(&owner);
        std::vector<bool> said;
        bool visibleWhenSaid = true;
        QObject::connect(&hint, &FrmPodsk1::closed, [&](bool dontShowAgain) {
            said.push_back(dontShowAgain);
            visibleWhenSaid = hint.isVisible();
        });
        hint.show();
        if (row.tick) hint.Ch1->check()->click();
        EXPECT_TRUE(said.empty()) << "ticking is no closing";
        hint.close();
        ASSERT_EQ(said.size(), 1u);
        EXPECT_EQ(said[0], row.tick);
        EXPECT_FALSE(visibleWhenSaid);
    }
}

} // namespace
} // namespace tarvel::testing
