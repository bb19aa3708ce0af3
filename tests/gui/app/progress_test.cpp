// The Qt progress window: it disables its owner and what the owner owns
// while it stays usable itself, its Cancel (button, Esc, close) is only
// recorded, and the owner comes back enabled as it was.
#include <gtest/gtest.h>

#include <QDialog>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>

#include "gui/platform/qt_progress.h"
#include "gui/platform/qt_ui.h"
#include "gui_test_support.h"

namespace qb::testing {
namespace {

class ProgressTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureQApplication();
        owner = std::make_unique<QMainWindow>();
        owner->show();
        ProcessEvents();
    }
    std::unique_ptr<QMainWindow> owner;
};

TEST_F(ProgressTest, DisablesTheOwnerButStaysUsable) {
    auto* modeless = new QDialog(owner.get());  // like the Find dialog
    modeless->show();
    {
        QtProgressWindow w(owner.get(), "Find");
        ProcessEvents();
        ASSERT_NE(w.Dialog(), nullptr);
        EXPECT_EQ(w.Dialog()->windowTitle(), "Find");
        EXPECT_TRUE(w.Dialog()->isVisible());
        EXPECT_FALSE(owner->isEnabled());
        EXPECT_FALSE(modeless->isEnabled());
        EXPECT_TRUE(w.Dialog()->isEnabled());
        EXPECT_TRUE(w.CancelButton()->isEnabled());

        w.SetText("Searching...\nArticles Found: 3");
        EXPECT_EQ(w.Text()->text(), "Searching...\nArticles Found: 3");
        EXPECT_FALSE(w.Cancelled());
        w.CancelButton()->click();
        EXPECT_TRUE(w.Cancelled());
        // Cancel is only recorded: the job closes the window.
        ProcessEvents();
        EXPECT_TRUE(w.Dialog()->isVisible());
    }
    ProcessEvents();
    EXPECT_TRUE(owner->isEnabled());
    EXPECT_TRUE(modeless->isEnabled());
}

TEST_F(ProgressTest, EscapeAndClosingCountAsCancel) {
    QtProgressWindow esc(owner.get(), "Copy");
    esc.Dialog()->reject();
    EXPECT_TRUE(esc.Cancelled());
    QtProgressWindow closed(owner.get(), "Copy");
    EXPECT_FALSE(closed.Dialog()->close());
    EXPECT_TRUE(closed.Cancelled());
}

TEST_F(ProgressTest, TheBarShowsOnlyWithARangeAndScalesLongOnes) {
    QtProgressWindow w(owner.get(), "Export");
    ProcessEvents();
    EXPECT_FALSE(w.Bar()->isVisible());
    w.SetRange(200);
    w.SetPosition(50);
    EXPECT_TRUE(w.Bar()->isVisible());
    EXPECT_EQ(w.Bar()->maximum(), 200);
    EXPECT_EQ(w.Bar()->value(), 50);
    w.SetPosition(500);  // past the end: clamped
    EXPECT_EQ(w.Bar()->value(), 200);
    const int64_t huge = int64_t(1) << 60;
    w.SetRange(huge);
    w.SetPosition(huge / 2);
    EXPECT_GT(w.Bar()->maximum(), 0);
    EXPECT_NEAR(double(w.Bar()->value()) / w.Bar()->maximum(), 0.5, 0.01);
    w.SetPosition(huge);
    EXPECT_LE(w.Bar()->value(), w.Bar()->maximum());
    w.SetRange(0);
    EXPECT_FALSE(w.Bar()->isVisible());
}

TEST_F(ProgressTest, NestedWindowsLeaveTheOwnerDisabledUntilTheOuterCloses) {
    auto outer = std::make_unique<QtProgressWindow>(owner.get(), "Outer");
    {
        QtProgressWindow inner(owner.get(), "Inner");
        EXPECT_FALSE(owner->isEnabled());
    }
    EXPECT_FALSE(owner->isEnabled());
    outer.reset();
    EXPECT_TRUE(owner->isEnabled());
}

TEST_F(ProgressTest, AnOwnerThatGoesFirstTakesTheWindowAlong) {
    QtProgressWindow w(owner.get(), "Find");
    owner.reset();
    EXPECT_EQ(w.Dialog(), nullptr);
    w.SetText("still safe");
    w.SetRange(10);
    w.SetPosition(5);
    EXPECT_FALSE(w.Cancelled());
}

TEST_F(ProgressTest, QtUiOpensItOverItsOwner) {
    QtUi ui;
    ui.SetOwner(owner.get());
    std::unique_ptr<ProgressWindow> w = ui.OpenProgress("Find");
    auto* qt = dynamic_cast<QtProgressWindow*>(w.get());
    ASSERT_NE(qt, nullptr);
    EXPECT_EQ(qt->Dialog()->parentWidget(), owner.get());
    EXPECT_FALSE(owner->isEnabled());
    w.reset();
    EXPECT_TRUE(owner->isEnabled());
}

}  // namespace
}  // namespace qb::testing
