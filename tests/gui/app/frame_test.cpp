// The main frame: placement across runs, bars and their keys, the docking
// layout, commands and their states, status panes, shared article values.
#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QScreen>
#include <QStatusBar>
#include <QToolBar>

#include <gtest/gtest.h>

#include "gui/app/commands.h"
#include "gui_test_support.h"

namespace qb::testing {
namespace {

class FrameTest : public ::testing::Test, public ReaderFixture {
protected:
    QRect Desktop() { return QGuiApplication::primaryScreen()->availableGeometry(); }
};

TEST_F(FrameTest, FirstRunIsDefaultSizeCentred) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    Start();
    QRect d = Desktop();
    int w = std::min(720, d.width()), h = std::min(560, d.height());
    QRect g = Frame().geometry();
    EXPECT_EQ(g.width(), w);
    EXPECT_EQ(g.height(), h);
    EXPECT_EQ(g.x(), d.x() + (d.width() - w) / 2);
    EXPECT_EQ(g.y(), d.y() + (d.height() - h) / 2);
    EXPECT_FALSE(Frame().isMaximized());
}

TEST_F(FrameTest, PositionBeyondASmallerDesktopMovesToItsCentre) {
    QRect d = Desktop();
    WriteSettings("[QUILLBOX]\nWelcome=2\n[Quillbox Display]\nTop=10\nLeft=" +
                  std::to_string(d.right() + 500) + "\nWidth=300\nHeight=200\nMaximized=1\n");
    Start();
    QRect g = Frame().geometry();
    EXPECT_EQ(g.topLeft(), QPoint(d.x() + d.width() / 2, d.y() + d.height() / 2));
    EXPECT_EQ(g.size(), QSize(300, 200));
}

TEST_F(FrameTest, ClosingWritesPlacementBarsAndLayout) {
    WriteSettings(
        "[QUILLBOX]\nWelcome=2\n[Quillbox Display]\nTop=20\nLeft=30\nWidth=500\n"
        "Height=400\nDivider=140\n");
    Start();
    Frame().showMaximized();
    ProcessEvents();
    Frame().RunCommand(cmd::kViewBrowseToolbar);  // hide it
    Stop();
    ProfileStore s = Stored();
    EXPECT_EQ(s.GetInt("Quillbox Display", "Maximized", 0), 3);
    EXPECT_EQ(s.GetInt("Quillbox Display", "Left", 0), 30);
    EXPECT_EQ(s.GetInt("Quillbox Display", "Top", 0), 20);
    EXPECT_EQ(s.GetInt("Quillbox Display", "Width", 0), 500);
    EXPECT_EQ(s.GetInt("Quillbox Display", "Divider", 0), 140);
    EXPECT_EQ(s.GetInt("Quillbox", "BrowseBar", -1), 0);
    EXPECT_EQ(s.GetInt("Quillbox", "Toolbar", -1), 1);
    EXPECT_EQ(s.GetInt("Quillbox", "ToolsBar", -1), 0);
    EXPECT_EQ(s.GetInt("Quillbox", "FormatToolbar", -1), 1);  // kept though never shown
    EXPECT_FALSE(s.GetString("Toolbars\\ReaderToolbars3", "State", "").empty());

    // The next run shows it maximized and restores the bars.
    Start();
    EXPECT_TRUE(Frame().isMaximized());
    EXPECT_TRUE(Frame().Toolbar(Bar::Browse)->isHidden());
    EXPECT_FALSE(Frame().Toolbar(Bar::Standard)->isHidden());
}

TEST_F(FrameTest, BarsHaveTheirTitlesAndDefaults) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n[Quillbox]\nFormatToolbar=1\n");
    Start();
    EXPECT_EQ(Frame().Toolbar(Bar::Standard)->windowTitle(), "Standard");
    EXPECT_EQ(Frame().Toolbar(Bar::Format)->windowTitle(), "Format");
    EXPECT_EQ(Frame().Toolbar(Bar::Browse)->windowTitle(), "Browse");
    EXPECT_EQ(Frame().Toolbar(Bar::Tools)->windowTitle(), "Tools");
    EXPECT_FALSE(Frame().Toolbar(Bar::Standard)->isHidden());
    EXPECT_FALSE(Frame().Toolbar(Bar::Browse)->isHidden());
    EXPECT_TRUE(Frame().Toolbar(Bar::Tools)->isHidden());
    EXPECT_TRUE(Frame().Toolbar(Bar::Format)->isHidden());
    Frame().RunCommand(cmd::kToggleToolsBar);
    EXPECT_FALSE(Frame().Toolbar(Bar::Tools)->isHidden());
    EXPECT_TRUE(Frame().Action(cmd::kToggleToolsBar)->isChecked());
    Frame().RunCommand(cmd::kViewStatusBar);
    EXPECT_TRUE(Frame().statusBar()->isHidden());
    EXPECT_FALSE(Frame().Action(cmd::kViewStatusBar)->isChecked());
}

TEST_F(FrameTest, EveryActionCarriesItsCommandAndEditingStaysDisabled) {
    std::string file = dir / "notes.qbx";
    WriteDataFile(file);
    Start({file});
    Frame().UpdateCommandStates();
    int editing = 0;
    for (const CommandInfo& c : AllCommands()) {
        QAction* a = Frame().Action(c.id);
        if (c.id == cmd::kRecentFileFirst) continue;  // the recent list makes its own
        if (!a) continue;                             // not in any menu or bar
        EXPECT_EQ(a->data().toInt(), c.id);
        EXPECT_EQ(a->objectName(), QString("cmd_%1").arg(c.id));
        EXPECT_FALSE(a->statusTip().isEmpty()) << c.id;
        EXPECT_FALSE(a->toolTip().isEmpty()) << c.id;
        if (c.editing) {
            ++editing;
            EXPECT_FALSE(a->isEnabled()) << c.text;
            a->trigger();  // routed, does nothing
        }
    }
    EXPECT_GT(editing, 20);
    EXPECT_TRUE(Frame().Action(cmd::kFileOpen)->isEnabled());
    EXPECT_TRUE(Frame().Action(cmd::kFileProperties)->isEnabled());
    EXPECT_TRUE(Frame().Action(cmd::kWindowCascade)->isEnabled());
    // A status prompt's tooltip is the part after the line break.
    EXPECT_EQ(Frame().Action(cmd::kFileOpen)->toolTip(), "Open");
    EXPECT_EQ(Frame().Action(cmd::kFileOpen)->statusTip(), "Open an existing data file");

    QStringList menus;
    for (QAction* m : Frame().menuBar()->actions())
        menus << m->text();
    EXPECT_EQ(menus,
              QStringList({"&File", "&Edit", "&View", "&Article", "F&ormat", "&Window", "&Help"}));
}

TEST_F(FrameTest, StatusPanesFollowTheDocumentAndLinkMode) {
    std::string file = dir / "notes.qbx";
    WriteDataFile(file);
    Start({file});
    QStringList order;
    for (QLabel* l : Frame().statusBar()->findChildren<QLabel*>())
        if (l->objectName().startsWith("Pane")) order << l->objectName();
    EXPECT_EQ(order, QStringList({"PaneLINK", "PaneREAD", "PaneOVR", "PaneCAP", "PaneNUM"}));
    EXPECT_TRUE(Frame().PaneLit(Pane::Read));
    EXPECT_TRUE(Frame().PaneLit(Pane::Link));  // ActiveLinks defaults to 1
    EXPECT_EQ(Frame().PaneLabel(Pane::Read)->text(), "READ");
    EXPECT_FALSE(Frame().PaneLit(Pane::Overtype));
    app->Core().GetSettings().activeLinks = 2;
    Frame().UpdateStatusPanes();
    EXPECT_FALSE(Frame().PaneLit(Pane::Link));
    EXPECT_TRUE(Frame().PaneLabel(Pane::Link)->text().isEmpty());
    Frame().RunCommand(cmd::kFileClose);
    EXPECT_EQ(app->Document(), nullptr);
    EXPECT_FALSE(Frame().PaneLit(Pane::Read));
}

TEST_F(FrameTest, ArticleWindowsCascadeAndShareTheKeywordPane) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    Start();
    QSize client = Frame().Mdi()->viewport()->size();
    Rect first = Frame().NextArticleRect();
    EXPECT_EQ(first.left, 0);
    EXPECT_EQ(first.top, 0);
    EXPECT_EQ(first.width, client.width() * 85 / 100);
    EXPECT_EQ(first.height, client.height() * 75 / 100);
    Rect second = Frame().NextArticleRect();
    EXPECT_GT(second.left, 0);
    EXPECT_EQ(second.left, second.top);
    Frame().SetKeywordPaneWidth(-40);
    EXPECT_EQ(Frame().KeywordPaneWidth(), 0);
    Frame().RememberArticleSize(333, 222);
    Stop();
    EXPECT_EQ(Stored().GetInt("Quillbox Display", "ArtWidth", 0), 333);
    EXPECT_EQ(Stored().GetInt("Quillbox Display", "Divider", -1), 0);
}

TEST_F(FrameTest, AlwaysOnTopFollowsTheSetting) {
    WriteSettings("[QUILLBOX]\nWelcome=2\nOnTop=1\n");
    Start();
    EXPECT_TRUE(Frame().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Frame().isVisible());
    Frame().ApplyAlwaysOnTop(false);
    EXPECT_FALSE(Frame().windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(Frame().isVisible());
}

}  // namespace
}  // namespace qb::testing
