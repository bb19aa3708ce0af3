// The start-up dialogs themselves: what their buttons answer.
#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>

#include <gtest/gtest.h>

#include "gui_test_support.h"

namespace qb::testing {
namespace {

TEST(ShellDialogTest, FiltersBecomeQtNameFilters) {
    EXPECT_EQ(QtNameFilters("Quillbox (*.qbx)|*.qbx||"), "Quillbox (*.qbx)");
    EXPECT_EQ(QtNameFilters("Text Files (*.txt)|*.txt|All Files (*.*)|*.*||"),
              "Text Files (*.txt);;All Files (*)");
}

TEST(ShellDialogTest, WelcomeScreenReportsButtonListAndCheckBox) {
    EnsureQApplication();
    WelcomeDialog d({"/data/a.qbx", "/data/b.qbx"}, true);
    EXPECT_EQ(d.RecentList()->count(), 2);
    EXPECT_EQ(d.RecentList()->itemText(1), "b.qbx");
    EXPECT_TRUE(d.ShowAtStartup()->isChecked());
    d.RecentList()->setCurrentIndex(1);
    d.ShowAtStartup()->setChecked(false);
    d.Button(WelcomeButton::OpenRecent)->click();
    EXPECT_EQ(d.Result().button, WelcomeButton::OpenRecent);
    EXPECT_EQ(d.Result().recentIndex, 1);
    EXPECT_FALSE(d.Result().showAtStartup);

    // Without recent files there is nothing to open; closing means Continue.
    WelcomeDialog empty({}, false);
    EXPECT_FALSE(empty.Button(WelcomeButton::OpenRecent)->isEnabled());
    empty.reject();
    EXPECT_EQ(empty.Result().button, WelcomeButton::Continue);
    EXPECT_FALSE(empty.Result().showAtStartup);
}

TEST(ShellDialogTest, NewerFormatDialogAnswersItsFourChoices) {
    EnsureQApplication();
    for (auto c : {NewerFormatChoice::OpenAnyway, NewerFormatChoice::OpenReadOnly,
                   NewerFormatChoice::CopyAndOpen, NewerFormatChoice::Cancel}) {
        NewerFormatDialog d("/data/new.qbx");
        EXPECT_EQ(d.windowTitle(), "More Recent File Format Encountered");
        d.Button(c)->click();
        EXPECT_EQ(d.Choice(), c);
    }
    NewerFormatDialog closed("/data/new.qbx");
    closed.reject();
    EXPECT_EQ(closed.Choice(), NewerFormatChoice::Cancel);
}

}  // namespace
}  // namespace qb::testing
