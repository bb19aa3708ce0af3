// The index window over a small file: panes against the model, drags and
// clicks, keys, previews, splitters and what closing writes.
#include <gtest/gtest.h>

#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QStatusBar>
#include <QTest>
#include <QTextEdit>

#include "gui/index/index_lists.h"
#include "index_support.h"

namespace qb::testing {
namespace {

TEST(IndexWindow, InitialUpdateFillsTheListsAndCaptions) {
    IndexFixture f;
    EXPECT_EQ(f.Names(f.Model().IndexList()),
              (std::vector<std::string>{"Apple", "Banana", "Cherry", "Date"}));
    EXPECT_EQ(f.View().IndexListBox()->model()->rowCount(), 4);
    EXPECT_EQ(f.View().TitleList()->model()->rowCount(), 4);
    EXPECT_EQ(f.View().TitleCaption()->text(), "All Titles (4 of 4)");
    EXPECT_EQ(f.View().IndexCaption()->text(), "Index (All)");
    EXPECT_EQ(f.View().SelectedCaption()->text(), "Selected (AND)");
    // The saved-query menu follows the recent list once the open is done.
    ASSERT_FALSE(f.menus.empty());
    EXPECT_EQ(f.menus.back().front().text, "Apple or Cherry");
}

TEST(IndexWindow, ButtonsAndCaptionsForwardToTheModel) {
    IndexFixture f;
    f.Highlight(f.Model().IndexList(), {"Apple", "Date"});
    f.View().ToSelectedButton()->click();
    EXPECT_EQ(f.Names(f.Model().SelectedList()), (std::vector<std::string>{"Apple", "Date"}));
    EXPECT_EQ(f.View().SelectedListBox()->model()->rowCount(), 2);
    EXPECT_EQ(f.Titles(), (std::vector<std::string>{"Alpha"}));
    EXPECT_EQ(f.View().TitleCaption()->text(), "Selected Titles (1 of 4)");

    f.View().SelectedCaption()->click();  // AND -> OR
    EXPECT_EQ(f.View().SelectedCaption()->text(), "Selected (OR)");
    EXPECT_EQ(f.settings.selectListMode, 1);
    EXPECT_EQ(f.Titles(), (std::vector<std::string>{"Alpha", "Beta", "Delta"}));

    f.View().IndexCaption()->click();  // reverse order
    EXPECT_EQ(f.Names(f.Model().IndexList()), (std::vector<std::string>{"Cherry", "Banana"}));

    f.View().DateCaption()->click();  // Dates Ascending
    EXPECT_EQ(f.Titles(), (std::vector<std::string>{"Beta", "Alpha", "Delta"}));
    EXPECT_EQ(f.settings.sortOrder, 2);
}

TEST(IndexWindow, CaptionButtonsReactToEnter) {
    IndexFixture f;
    QPushButton* b = f.View().SelectedCaption();
    b->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(b, &press);
    EXPECT_EQ(f.Model().SelectedKeywordMode(), kOrMode);
}

TEST(IndexWindow, DraggingFromTheKeywordPreviewSelectsNeverHighlightedKeywords) {
    IndexFixture f;
    f.View().SetPreviewFlags(preview_flag::kKeywords);
    f.Model().Titles().Click(0);  // Alpha: Apple and Date
    f.View().RefreshPreview();
    CKeywordListBox* preview = f.View().KeywordPreview();
    ASSERT_EQ(preview->List().RowCount(), 2u);
    EXPECT_TRUE(f.Model().IndexList().Highlighted().Empty());
    preview->List().Click(1);  // Date
    CKeywordListBox* selected = f.View().SelectedListBox();
    Drag(preview, 1, selected->viewport(), QPoint(10, 10));
    EXPECT_EQ(f.Names(f.Model().SelectedList()), (std::vector<std::string>{"Date"}));
    EXPECT_FALSE(f.Model().IndexList().Members().Contains(3));
    EXPECT_EQ(f.Titles(), (std::vector<std::string>{"Alpha", "Delta"}));
    EXPECT_EQ(f.Model().TitleMode(), title_mode::kSelected);
}

TEST(IndexWindow, DropsBetweenIndexAndSelectedMoveKeywords) {
    IndexFixture f;
    CKeywordListBox* index = f.View().IndexListBox();
    CKeywordListBox* selected = f.View().SelectedListBox();
    f.Highlight(f.Model().IndexList(), {"Banana"});
    Drag(index, 1, selected->viewport(), QPoint(10, 10));
    EXPECT_EQ(f.Names(f.Model().SelectedList()), (std::vector<std::string>{"Banana"}));
    // Back, and onto the title list: nothing happens there.
    f.Highlight(f.Model().SelectedList(), {"Banana"});
    Drag(selected, 0, f.View().TitleList()->viewport(), QPoint(10, 10));
    EXPECT_EQ(f.Model().SelectedList().RowCount(), 1u);
    Drag(selected, 0, index->viewport(), QPoint(10, 10));
    EXPECT_TRUE(f.Model().SelectedList().Members().Empty());
    EXPECT_EQ(f.Model().IndexList().RowCount(), 4u);
}

TEST(IndexWindow, PressAndReleaseWithinTwoPixelsIsAClick) {
    IndexFixture f;
    CKeywordListBox* index = f.View().IndexListBox();
    f.Model().IndexList().SelectAll();
    QWidget* vp = index->viewport();
    QPoint at = RowPoint(index, 2);
    // Pressing on a highlighted row keeps the highlight for a drag ...
    SendMouse(vp, QEvent::MouseButtonPress, at, Qt::LeftButton);
    EXPECT_EQ(f.Model().IndexList().Highlighted().Count(), 4u);
    SendMouse(vp, QEvent::MouseMove, at + QPoint(2, -2), Qt::LeftButton);
    EXPECT_EQ(index->DragCursor(), Qt::ArrowCursor);
    // ... and releasing without a drag makes it a plain click.
    SendMouse(vp, QEvent::MouseButtonRelease, at + QPoint(2, -2), Qt::NoButton);
    EXPECT_EQ(f.Names(f.Model().SelectedList()), std::vector<std::string>{});
    ASSERT_EQ(f.Model().IndexList().Highlighted().Count(), 1u);
    EXPECT_TRUE(f.Model().IndexList().IsHighlighted(2));  // Cherry

    // Pressing below the last row clears the highlight.
    SendMouse(vp, QEvent::MouseButtonPress, QPoint(5, vp->height() - 2), Qt::LeftButton);
    SendMouse(vp, QEvent::MouseButtonRelease, QPoint(5, vp->height() - 2), Qt::NoButton);
    EXPECT_TRUE(f.Model().IndexList().Highlighted().Empty());
}

TEST(IndexWindow, DragCursorsSayWhatADropWouldDo) {
    IndexFixture f;
    CKeywordListBox* index = f.View().IndexListBox();
    QWidget* vp = index->viewport();
    f.Model().IndexList().SelectAll();
    QPoint start = RowPoint(index, 0);
    SendMouse(vp, QEvent::MouseButtonPress, start, Qt::LeftButton);
    QPoint overSelected =
        vp->mapFromGlobal(f.View().SelectedListBox()->viewport()->mapToGlobal(QPoint(10, 10)));
    SendMouse(vp, QEvent::MouseMove, overSelected, Qt::LeftButton);
    EXPECT_EQ(index->DragCursor(), Qt::DragCopyCursor);  // several rows
    QPoint overGroupCaption = vp->mapFromGlobal(f.View().IndexCaption()->mapToGlobal(QPoint(3, 3)));
    SendMouse(vp, QEvent::MouseMove, overGroupCaption, Qt::LeftButton);
    EXPECT_EQ(index->DragCursor(), Qt::ForbiddenCursor);
    SendMouse(vp, QEvent::MouseButtonRelease, overGroupCaption, Qt::NoButton);
    EXPECT_TRUE(f.Model().SelectedList().Members().Empty());
    EXPECT_EQ(index->DragCursor(), Qt::ArrowCursor);
}

TEST(IndexWindow, F8CyclesThePreviewAndShowKeywordsAddsToContent) {
    IndexFixture f;
    f.main.activateWindow();
    QApplication::setActiveWindow(&f.main);
    f.View().TitleList()->setFocus();
    Pump();
    EXPECT_EQ(f.View().PreviewFlags(), 0);
    QTest::keyClick(f.View().TitleList(), Qt::Key_F8);
    EXPECT_EQ(f.View().PreviewFlags(), 1);
    EXPECT_TRUE(f.View().ContentPreview()->isVisible());
    EXPECT_FALSE(f.View().KeywordPreview()->isVisible());
    f.doc->Index().TogglePreview(preview_flag::kKeywords);
    EXPECT_EQ(f.View().PreviewFlags(), 3);
    EXPECT_TRUE(f.View().KeywordPreview()->isVisible());
    QTest::keyClick(f.View().TitleList(), Qt::Key_F8);
    EXPECT_EQ(f.View().PreviewFlags(), 0);
    EXPECT_FALSE(f.View().ContentPreview()->isVisible());
    EXPECT_EQ(f.doc->Index().PreviewFlags(), 0);
}

TEST(IndexWindow, F9TogglesTheIndexModeOnlyInAndMode) {
    IndexFixture f;
    f.main.activateWindow();
    QApplication::setActiveWindow(&f.main);
    f.View().IndexListBox()->setFocus();
    Pump();
    f.Highlight(f.Model().IndexList(), {"Cherry"});
    f.View().MoveToSelected();
    QTest::keyClick(f.View().IndexListBox(), Qt::Key_F9);
    EXPECT_EQ(f.View().IndexCaption()->text(), "Index (Related)");
    EXPECT_EQ(f.Names(f.Model().IndexList()), (std::vector<std::string>{"Date"}));
    f.View().ChooseAndOr(kOrMode);
    QTest::keyClick(f.View().IndexListBox(), Qt::Key_F9);
    EXPECT_EQ(f.Model().RequestedIndexMode(), 1);
    EXPECT_EQ(f.View().IndexCaption()->text(), "Index (All)");
}

TEST(IndexWindow, ContentPreviewShowsOneArticleAndDoesNotReloadIt) {
    IndexFixture f;
    f.View().SetPreviewFlags(preview_flag::kContent);
    f.Model().Titles().Click(0);
    f.View().RefreshPreview();
    EXPECT_EQ(f.View().ContentPreview()->toPlainText(), "Text of Alpha");
    EXPECT_EQ(f.View().ContentLoads(), 1);
    f.View().RefreshPreview();
    f.Model().Titles().Click(0);
    f.View().RefreshPreview();
    EXPECT_EQ(f.View().ContentLoads(), 1);
    f.Model().Titles().Click(1, false, true);  // two highlighted: empty
    f.View().RefreshPreview();
    EXPECT_TRUE(f.View().ContentPreview()->toPlainText().isEmpty());
    EXPECT_TRUE(f.View().ContentPreview()->isReadOnly());
}

TEST(IndexWindow, ContentPreviewHasNoEmptyLastLineAndShowsNonRtfAsText) {
    IndexFixture f;
    f.View().SetPreviewFlags(preview_flag::kContent);
    f.Model().Titles().Click(0);
    f.View().RefreshPreview();
    // The stored "\\par}" is the final mark: no empty block after it.
    EXPECT_EQ(f.View().ContentPreview()->document()->blockCount(), 1);
    // Delta is stored at a rich-text level but is not RTF.
    for (size_t row = 0; row < f.Model().Titles().RowCount(); ++row) {
        f.Model().Titles().Click(row);
        f.View().RefreshPreview();
        if (f.View().ContentPreview()->toPlainText().startsWith("Plain")) break;
    }
    EXPECT_EQ(f.View().ContentPreview()->toPlainText(),
              QString::fromUtf8("Plain caf\xC3\xA9\nsecond line"));
    EXPECT_EQ(f.View().ContentPreview()->document()->blockCount(), 2);
}

TEST(IndexWindow, TypeAheadAndEnterInTheTitleList) {
    IndexFixture f;
    CIndexTitleList* titles = f.View().TitleList();
    titles->setFocus();
    QTest::keyClick(titles, Qt::Key_G);
    ASSERT_EQ(f.Model().Titles().HighlightCount(), 1u);
    EXPECT_EQ(f.doc->Summary(f.Model().Titles().HighlightedIds()[0]).title, "Gamma");
    QTest::keyClick(titles, Qt::Key_Return);
    EXPECT_EQ(f.opened, std::vector<int32_t>{2});
}

TEST(IndexWindow, SelectAllActsOnTheFocusedPane) {
    IndexFixture f;
    f.main.activateWindow();
    QApplication::setActiveWindow(&f.main);
    f.View().IndexListBox()->setFocus();
    Pump();
    f.View().SelectAll();
    EXPECT_EQ(f.Model().IndexList().Highlighted().Count(), 4u);
    EXPECT_EQ(f.Model().Titles().HighlightCount(), 0u);
    f.View().TitleList()->setFocus();
    Pump();
    f.View().SelectAll();
    EXPECT_EQ(f.Model().Titles().HighlightCount(), 4u);
}

TEST(IndexWindow, GroupListFiltersAndTurnsOff) {
    IndexFixture f;
    f.View().ShowGroupList(true, true);
    EXPECT_TRUE(f.View().GroupListBox()->isVisible());
    f.Model().GroupList().Click(0);
    f.Model().GroupHighlightChanged();
    EXPECT_EQ(f.Names(f.Model().IndexList()), (std::vector<std::string>{"Apple", "Banana"}));
    f.View().TurnOffGroupFilter();
    EXPECT_EQ(f.Model().IndexList().RowCount(), 4u);
    EXPECT_EQ(f.doc->Index().IsGroupListShown(), 1);
}

TEST(IndexWindow, TheDocumentsPortReachesTheListsAndTheSavedState) {
    IndexFixture f;
    IndexWindow& w = f.doc->Index();
    ASSERT_EQ(&w, static_cast<IndexWindow*>(&f.View()));
    EXPECT_EQ(w.IsWindowVisible(), 1);
    w.SetIndexMode(1);
    EXPECT_EQ(w.IndexMode(), 1);
    EXPECT_EQ(f.View().Display().indexMode, 1);  // what closing stores
    w.ToggleIndexMode();
    EXPECT_EQ(f.View().Display().indexMode, 0);
    w.SetSelectedMode(kOrMode);
    EXPECT_EQ(w.SelectedMode(), kOrMode);
    EXPECT_EQ(f.View().SelectedCaption()->text(), "Selected (OR)");  // the panes follow
    EXPECT_EQ(w.TitleMode(), title_mode::kAllTitles);
    EXPECT_EQ(w.TitleMemberCount(), 4);
    w.StepArticle(f.Model().Titles().Rows().front(), true);
    EXPECT_EQ(w.HighlightedCount(), 1);
    w.ClearTitleHighlight();
    EXPECT_EQ(w.HighlightedCount(), 0);
    w.SetGroupListShown(true);
    EXPECT_EQ(w.IsGroupListShown(), 1);
    EXPECT_TRUE(f.View().GroupListBox()->isVisible());
}

TEST(IndexWindow, HidingTheKeywordListsNarrowsTheFrameByTheirWidth) {
    IndexFixture f("[Index Display]\nMaximized=1\nListWidth=100\nDivider=100\n");
    int before = f.frame->width();
    f.doc->Index().SetViewMode(1);
    EXPECT_EQ(f.frame->width(), before - (100 + 100 + 42));
    EXPECT_FALSE(f.View().IndexListBox()->isVisible());
    EXPECT_FALSE(f.View().ToSelectedButton()->isVisible());
    EXPECT_EQ(f.doc->Index().ViewMode(), 1);
    f.doc->Index().SetViewMode(0);
    EXPECT_EQ(f.frame->width(), before);
    EXPECT_TRUE(f.View().IndexListBox()->isVisible());
}

TEST(IndexWindow, NarrowWindowKeepsTheListsInside) {
    IndexFixture f("[Index Display]\nListWidth=600\nDivider=600\n");
    f.frame->resize(300, 400);
    Pump();
    const LayoutResult& r = f.View().Layout();
    int client = f.View().width();
    EXPECT_EQ(f.View().IndexListBox()->width(), client - 62);
    EXPECT_LE(r.selected.Right(), client - 9);
}

TEST(IndexWindow, SplitterDragSetsTheWidthAndClosingWritesIt) {
    IndexFixture f;
    const LayoutResult& r = f.View().Layout();
    QPoint handle(r.index.Right() + 2, r.index.y + 50);
    QPoint release(r.index.x + 160, r.index.y + 50);
    SendMouse(&f.View(), QEvent::MouseButtonPress, handle, Qt::LeftButton);
    SendMouse(&f.View(), QEvent::MouseMove, release, Qt::LeftButton);
    SendMouse(&f.View(), QEvent::MouseButtonRelease, release, Qt::NoButton);
    EXPECT_EQ(f.View().Display().listWidth, 160);
    EXPECT_EQ(f.View().IndexListBox()->width(), 160);
    f.frame->showMaximized();
    Pump();
    f.frame->SaveOnClose();
    EXPECT_EQ(f.store.GetInt("Index Display", "ListWidth", 0), 160);
    EXPECT_EQ(f.store.GetInt("Index Display", "Maximized", 0), 3);
    EXPECT_FALSE(f.store.HasKey("Index Display", "GroupVisible"));
}

TEST(IndexWindow, StoredLayoutIsRestored) {
    IndexFixture f(
        "[Index Display]\nView=1\nPreviewOn=2\nGroupVisible=1\nIndexMode=1\n"
        "Top=10\nLeft=20\nWidth=640\nHeight=400\n");
    EXPECT_EQ(f.View().Display().view, 1);
    EXPECT_FALSE(f.View().IndexListBox()->isVisible());
    EXPECT_TRUE(f.View().KeywordPreview()->isVisible());
    EXPECT_TRUE(f.View().GroupListShown());
    EXPECT_EQ(f.Model().RequestedIndexMode(), 1);
    EXPECT_EQ(f.Model().EffectiveIndexMode(), 1);
}

TEST(IndexWindow, StatusPromptsFollowThePointer) {
    IndexFixture f;
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(f.View().SelectedListBox(), &enter);
    EXPECT_EQ(f.main.statusBar()->currentMessage(), "List of selected keywords");
    QApplication::sendEvent(f.View().TitleList(), &enter);
    EXPECT_EQ(f.main.statusBar()->currentMessage(), "List of selected articles");
}

TEST(IndexWindow, ContextMenusOfThePanes) {
    IndexFixture f;
    auto menu = f.View().ContextMenu(IndexPane::Index);
    ASSERT_TRUE(menu);
    EXPECT_EQ(menu->actions().front()->text(), "Move to Selected");
    EXPECT_FALSE(menu->actions().front()->isEnabled());
    f.Highlight(f.Model().IndexList(), {"Apple"});
    menu = f.View().ContextMenu(IndexPane::Index);
    EXPECT_TRUE(menu->actions().front()->isEnabled());
    menu = f.View().ContextMenu(IndexPane::Selected);
    EXPECT_EQ(menu->actions()[0]->text(), "Select All");
    EXPECT_FALSE(menu->actions()[0]->isEnabled());
    EXPECT_EQ(menu->actions()[1]->text(), "Move to Index");
    EXPECT_FALSE(f.View().ContextMenu(IndexPane::None));
}

}  // namespace
}  // namespace qb::testing
