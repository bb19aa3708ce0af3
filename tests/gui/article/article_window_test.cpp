// One article window at a time over written files: what it shows, when it
// opens attachments (F5, auto-open, the spacing of web addresses, closing),
// its links and prompts, its commands, and the registry's open and close.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimeEdit>

#include "article_support.h"
#include "datafile/id_set.h"
#include "gui/app/commands.h"
#include "gui/article/article_content.h"
#include "gui/article/article_gallery.h"
#include "gui/article/article_properties.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

using ArticleWindowTest = ArticleReader;

qbw::ArticleData Rich(const std::string& title, const std::string& rtf = "{\\rtf1 Rich \\b bold}") {
    qbw::ArticleData a;
    a.title = title;
    a.richText = rtf;
    a.keywordIds = {1, 0};
    return a;
}

// ---- what the window shows

TEST_F(ArticleWindowTest, LongTitleFillsTheFieldToItsLimitAndTheCaptionWhole) {
    StartWith({Rich(std::string(5000, 't'))});
    CArticleFrame* f = Open(0);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(f->View()->TitleField()->text().size(), 4600);
    EXPECT_EQ(f->View()->TitleField()->maxLength(), 4600);
    EXPECT_TRUE(f->View()->TitleField()->isReadOnly());
    EXPECT_EQ(f->windowTitle().size(), 5000);
}

TEST_F(ArticleWindowTest, ModifiedMarkInATitleIsShownAsWritten) {
    StartWith({Rich("Notes [*] draft")});
    CArticleFrame* f = Open(0);
    // Qt would drop an undoubled "[*]" from the caption it shows.
    EXPECT_EQ(f->windowTitle(), "Notes [*][*] draft");
}

TEST_F(ArticleWindowTest, LevelFourIsPlainTextAndLevelFiveRich) {
    qbw::ArticleData plain = Rich("Plain");
    plain.level = 4;
    plain.plainText = "plain {\\rtf1 not rtf}";
    qbw::ArticleData rich = Rich("Rich");
    rich.level = 5;
    StartWith({plain, rich});
    CArticleView* p = Open(0)->View();
    EXPECT_FALSE(p->Model().richText);
    EXPECT_TRUE(p->Content()->toPlainText().contains("{\\rtf1 not rtf}"));
    CArticleView* v = Open(1)->View();
    EXPECT_TRUE(v->Model().richText);
    EXPECT_TRUE(v->Content()->toPlainText().startsWith("Rich bold"));
    EXPECT_TRUE(v->Content()->isReadOnly());
}

TEST_F(ArticleWindowTest, FieldsKeywordsAndIndicators) {
    qbw::ArticleData a = Rich("Swallows");
    a.articleDate = 20230405;
    a.articleTime = 7 * 3600 + 40 * 60;
    a.attachments = {WebAttachment("https://example.org/birds")};
    StartWith({a});
    CArticleView* v = Open(0)->View();
    EXPECT_TRUE(v->DateField()->isReadOnly());
    EXPECT_EQ(v->DateField()->alignment() & Qt::AlignRight, Qt::AlignRight);
    EXPECT_FALSE(v->DateField()->text().isEmpty());
    EXPECT_FALSE(v->DateButton()->isEnabled());
    EXPECT_FALSE(v->TimeField()->isEnabled());
    EXPECT_EQ(v->TimeField()->time(), QTime(7, 40));
    ASSERT_EQ(v->Keywords()->count(), 2);
    EXPECT_EQ(v->Keywords()->item(0)->text(), "Autumn");  // stored order, not sorted
    // One attachment: its target is the tip; elsewhere there is none.
    const Rect& clip = v->Layout().attachmentImage;
    EXPECT_EQ(v->ToolTipAt(QPoint(clip.left + 8, clip.top + 8)), "https://example.org/birds");
    EXPECT_TRUE(v->ToolTipAt(QPoint(5, 200)).isEmpty());
}

TEST_F(ArticleWindowTest, AnUnreadableArticleIsReportedAndTheWindowStaysWithNothing) {
    StartWith({Rich("A")});
    CArticleFrame* f = Open(41);
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(r.ui.Count(), 1u);
    EXPECT_FALSE(f->View()->Model().loaded);
    EXPECT_TRUE(f->View()->TitleField()->text().isEmpty());
    EXPECT_FALSE(Action(cmd::kOpenAttachments)->isEnabled());
}

TEST_F(ArticleWindowTest, DateAndTimeFollowThePreferences) {
    StartWith({Rich("A")}, "[Date]\nDisplayDate=0\nDisplayTime=1\n");
    CArticleView* v = Open(0)->View();
    EXPECT_TRUE(v->DateField()->isHidden());
    EXPECT_FALSE(v->TimeField()->isHidden());
}

// ---- opening attachments

TEST_F(ArticleWindowTest, OpenAttachmentsAsksAboveTenAndNoOpensTheFirstTenEnabled) {
    qbw::ArticleData a = Rich("Many");
    std::vector<std::string> expected;
    for (int i = 1; i <= 13; ++i) {
        std::string name = "f" + std::to_string(100 + i) + ".txt";
        bool disabled = i == 3;
        a.attachments.push_back(FileAttachment(name, disabled ? 1 : 0));
        if (!disabled && expected.size() < 10) expected.push_back(Disk() + "/att/" + name);
    }
    // 12 enabled of 13.
    StartWith({a});
    CArticleFrame* f = Open(0);
    EXPECT_TRUE(launcher.calls.empty());  // auto-open is off by default

    r.ui.QueueResult(MessageResult::Cancel);
    r.Frame().RunCommand(cmd::kOpenAttachments);
    ASSERT_EQ(r.ui.Count(), 1u);
    EXPECT_EQ(r.ui.Last().buttons, MessageButtons::YesNoCancel);
    EXPECT_EQ(r.ui.Last().text, OpenAttachmentsQuestionText(12));
    EXPECT_TRUE(launcher.calls.empty());

    r.ui.QueueResult(MessageResult::No);
    r.Frame().RunCommand(cmd::kOpenAttachments);
    EXPECT_EQ(Launched(), expected);

    launcher.calls.clear();
    r.ui.QueueResult(MessageResult::Yes);
    f->View()->OpenAttachments();
    EXPECT_EQ(launcher.calls.size(), 12u);
}

TEST_F(ArticleWindowTest, AutoOpenModeOneOpensNothingEvenWithBothPreferences) {
    qbw::ArticleData a = Rich("Mode one");
    a.display.autoOpen = 1;
    a.attachments = {FileAttachment("a.txt"), WebAttachment("https://example.org/")};
    StartWith({a}, "[Index Display]\nAutoOpenFile=1\nAutoOpenInternet=1\n");
    CArticleView* v = Open(0)->View();
    EXPECT_TRUE(launcher.calls.empty());
    EXPECT_EQ(v->Queue().Pending(), 0u);
    EXPECT_FALSE(v->QueueTimer().isActive());
}

TEST_F(ArticleWindowTest, AutoOpenFollowsThePreferencesAndSpacesWebAddressesTwoSeconds) {
    qbw::ArticleData files = Rich("Files only");
    files.attachments = {FileAttachment("a.txt"), WebAttachment("https://example.org/a")};
    qbw::ArticleData every = Rich("Every kind");
    every.display.autoOpen = 2;
    every.attachments = {WebAttachment("https://example.org/1"), FileAttachment("b.txt"),
                         WebAttachment("https://example.org/2")};
    StartWith({files, every}, "[Index Display]\nAutoOpenFile=1\n");
    Open(0);
    EXPECT_EQ(Launched(), std::vector<std::string>{Disk() + "/att/a.txt"});

    launcher.calls.clear();
    launcher.times.clear();
    CArticleView* v = Open(1)->View();
    // The first web address and the file behind it at once; the second waits.
    EXPECT_EQ(Launched(),
              (std::vector<std::string>{"https://example.org/1", Disk() + "/att/b.txt"}));
    ASSERT_TRUE(v->QueueTimer().isActive());
    EXPECT_EQ(v->QueueTimer().interval(), 2000);
    clock.Advance(milliseconds(1500));
    v->OpenDueAttachments();  // early: nothing more, the timer set for the rest
    EXPECT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(v->QueueTimer().interval(), 500);
    clock.Advance(milliseconds(500));
    v->OpenDueAttachments();
    ASSERT_EQ(launcher.calls.size(), 3u);
    EXPECT_GE(launcher.times[2] - launcher.times[0], milliseconds(2000));
    EXPECT_FALSE(v->QueueTimer().isActive());
}

TEST_F(ArticleWindowTest, OpenAttachmentsSpacesWebAddressesFiveSecondsFromTheTimer) {
    qbw::ArticleData a = Rich("Two sites");
    a.attachments = {WebAttachment("https://example.org/1"),
                     WebAttachment("https://example.org/2")};
    StartWith({a});
    CArticleView* v = Open(0)->View();
    v->OpenAttachments();
    EXPECT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(v->QueueTimer().interval(), 5000);
    // The timer firing early (as the event loop may) opens nothing early.
    ProcessEvents();
    EXPECT_EQ(launcher.calls.size(), 1u);
    clock.Advance(seconds(5));
    v->OpenDueAttachments();
    EXPECT_EQ(Launched(),
              (std::vector<std::string>{"https://example.org/1", "https://example.org/2"}));
}

TEST_F(ArticleWindowTest, ClosingTheWindowCancelsPendingOpenings) {
    qbw::ArticleData a = Rich("Two sites");
    a.attachments = {WebAttachment("https://example.org/1"),
                     WebAttachment("https://example.org/2")};
    StartWith({a});
    CArticleFrame* f = Open(0);
    f->View()->OpenAttachments();
    ASSERT_EQ(f->View()->Queue().Pending(), 1u);
    r.Frame().RunCommand(cmd::kCloseArticle);
    ProcessEvents();
    EXPECT_EQ(windows->Find(0), nullptr);
    clock.Advance(seconds(10));
    ProcessEvents();
    EXPECT_EQ(launcher.calls.size(), 1u);
}

// ---- links and prompts

TEST_F(ArticleWindowTest, StoredLinksDescribeThemselvesAndFollowThroughTheOpener) {
    qbw::ArticleData a = Rich("Links", "{\\rtf1 see the site and more}");
    a.links = {qbw::StoredLinkData{4, 12, 2, -1, qbw::kNil, qbw::kNil, "https://example.org/x"}};
    StartWith({a});
    CArticleView* v = Open(0)->View();
    emit v->Content()->storedLinkHovered(0);
    EXPECT_EQ(Status(), "URL: https://example.org/x");
    emit v->Content()->storedLinkHovered(-1);
    EXPECT_EQ(Status(), ResourceString(msg::kPromptArticleContent));
    emit v->Content()->followStoredLink(0);
    EXPECT_EQ(Launched(), std::vector<std::string>{"https://example.org/x"});
    emit v->Content()->followStoredLink(7);  // no such link: nothing
    emit v->Content()->openRecognizedTarget(true, "https://example.org/y");
    emit v->Content()->openRecognizedTarget(false, "/no/such/file.txt");
    EXPECT_EQ(launcher.calls.size(), 2u);
    EXPECT_EQ(r.ui.Count(), 1u);  // the missing file is reported
}

TEST_F(ArticleWindowTest, StatusPromptsOverContentAndKeywords) {
    StartWith({Rich("A")});
    CArticleView* v = Open(0)->View();
    QEvent enter(QEvent::Enter);
    QApplication::sendEvent(v->Keywords()->viewport(), &enter);
    EXPECT_EQ(Status(), "Keywords assigned to this article");
    QApplication::sendEvent(v->Content()->viewport(), &enter);
    EXPECT_EQ(Status(), "Article Content");
}

// ---- layout, placement and size

TEST_F(ArticleWindowTest, ArtSizeOnePlacesAtTheCascadeWhichAlwaysMovesOn) {
    // An index frame shown normally: beside a maximized one, new windows
    // open maximized too.
    StartWith({Rich("A"), Rich("B"), Rich("C")}, "[Index Display]\nMaximized=1\n");
    QWidget* client = r.Frame().Mdi()->viewport();
    Open(0);  // ArtSize 0: not placed, but the cascade moves on
    r.app->Core().GetSettings().artSize = 1;
    CArticleFrame* b = Open(1);
    int caption = r.Frame().style()->pixelMetric(QStyle::PM_TitleBarHeight);
    EXPECT_EQ(b->geometry().topLeft(), QPoint(caption, caption));
    EXPECT_EQ(b->width(), client->width() * 85 / 100);
    EXPECT_EQ(b->height(), client->height() * 75 / 100);

    b->resize(400, 300);
    EXPECT_EQ(r.app->Core().Frame().artWidth, 400);
    EXPECT_EQ(r.app->Core().Frame().artHeight, 300);
    b->showMinimized();
    ProcessEvents();
    EXPECT_EQ(r.app->Core().Frame().artWidth, 400);  // a minimized size is not kept
    CArticleFrame* c = Open(2);
    EXPECT_EQ(c->size(), QSize(400, 300));
}

TEST_F(ArticleWindowTest, GalleryToggleIsCheckedAndGrowsTheLeastSize) {
    qbw::ArticleData a = Rich("Pictures");
    a.attachments = {FileAttachment("p.png")};
    StartWith({a, Rich("None")}, "[Index Display]\nShowImageGallery=0\nGalleryImageSize=0\n");
    CArticleFrame* f = Open(0);
    EXPECT_FALSE(Action(cmd::kImageGallery)->isChecked());
    EXPECT_EQ(f->minimumSize(), QSize(240, 100));
    r.Frame().RunCommand(cmd::kImageGallery);
    EXPECT_TRUE(Action(cmd::kImageGallery)->isChecked());
    EXPECT_TRUE(f->View()->GalleryShown());
    EXPECT_EQ(f->minimumSize().height(), 100 + f->View()->GalleryEdge() + 24);
    EXPECT_EQ(f->View()->Layout().gallery.height, f->View()->GalleryEdge() + 24);
    EXPECT_FALSE(Action(cmd::kOpenGalleryAttachment)->isEnabled());  // nothing highlighted
    // Enter or a double-click on an item opens its attachment; a stray index nothing.
    emit f->View()->Gallery()->openAttachment(0);
    emit f->View()->Gallery()->openAttachment(5);
    EXPECT_EQ(Launched(), std::vector<std::string>{Disk() + "/att/p.png"});
    r.Frame().RunCommand(cmd::kImageGallery);
    EXPECT_EQ(f->minimumSize(), QSize(240, 100));
}

TEST_F(ArticleWindowTest, WithoutAttachmentsTheGalleryStartsHiddenAndF5IsDisabled) {
    qbw::ArticleData one = Rich("One");
    one.attachments = {FileAttachment("a.txt")};
    StartWith({Rich("None"), one});  // ShowImageGallery defaults to 1
    CArticleFrame* none = Open(0);
    EXPECT_FALSE(none->View()->GalleryShown());
    EXPECT_FALSE(Action(cmd::kOpenAttachments)->isEnabled());
    CArticleFrame* with = Open(1);
    EXPECT_TRUE(with->View()->GalleryShown());
    EXPECT_TRUE(Action(cmd::kOpenAttachments)->isEnabled());
}

TEST_F(ArticleWindowTest, DraggingTheBoundarySetsTheWidthForEveryWindow) {
    StartWith({Rich("A"), Rich("B")});
    CArticleView* a = Open(0)->View();
    CArticleView* b = Open(1)->View();
    const Rect bound = a->Layout().boundary;
    QPoint press(bound.left + 1, bound.top + 10);
    auto send = [&](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent e(type, QPointF(at), a->mapToGlobal(QPointF(at)), Qt::LeftButton, buttons,
                      Qt::NoModifier);
        QApplication::sendEvent(a, &e);
    };
    send(QEvent::MouseButtonPress, press, Qt::LeftButton);
    send(QEvent::MouseMove, press - QPoint(50, 0), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, press - QPoint(50, 0), Qt::NoButton);
    EXPECT_EQ(r.Frame().KeywordPaneWidth(), 150);
    EXPECT_EQ(b->Layout().keywords.left, b->width() - 150);

    // Past the right edge: zero, never negative.
    send(QEvent::MouseButtonPress, QPoint(a->Layout().boundary.left + 1, bound.top + 10),
         Qt::LeftButton);
    send(QEvent::MouseMove, QPoint(a->width() + 300, bound.top + 10), Qt::LeftButton);
    send(QEvent::MouseButtonRelease, QPoint(a->width() + 300, bound.top + 10), Qt::NoButton);
    EXPECT_EQ(r.Frame().KeywordPaneWidth(), 0);
    EXPECT_EQ(b->Layout().keywords.width, 0);
}

// ---- commands and the registry

TEST_F(ArticleWindowTest, EditingCommandsAreDisabledAndLaterOnesWaitForTheirHandlers) {
    StartWith({Rich("A")});
    Open(0);
    for (int id : {cmd::kEditCut, cmd::kEditPaste, cmd::kEditClear, cmd::kEditUndo, cmd::kFileSave,
                   cmd::kFormatBold, cmd::kFormatFont, cmd::kAlignCenter, cmd::kBullets,
                   cmd::kInsertLink, cmd::kMakeTitle, cmd::kSetDate, cmd::kSpelling,
                   cmd::kAssignKeywords, cmd::kBookmarkButton})
        EXPECT_FALSE(Action(id)->isEnabled()) << id;
    for (int id :
         {cmd::kEditSelectAll, cmd::kCloseArticle, cmd::kArticleProperties, cmd::kImageGallery})
        EXPECT_TRUE(Action(id)->isEnabled()) << id;
    EXPECT_FALSE(Action(cmd::kEditFind)->isEnabled());
    int32_t found = -1;
    windows->SetArticleCommand(cmd::kEditFind, [&](CArticleView& v) { found = v.ArticleId(); });
    EXPECT_TRUE(Action(cmd::kEditFind)->isEnabled());
    r.Frame().RunCommand(cmd::kEditFind);
    EXPECT_EQ(found, 0);
}

TEST_F(ArticleWindowTest, ToolbarTipsNameTheArticleWhileItsWindowIsActive) {
    qbw::ArticleData a = Rich("A");
    StartWith({a, Rich("B")});
    const std::string printTip = Action(cmd::kFilePrint)->toolTip().toStdString();
    Open(0);
    EXPECT_EQ(Action(cmd::kFilePrint)->toolTip(), "Print Article");
    EXPECT_EQ(Action(cmd::kEditCopy)->toolTip(), "Copy Text");
    EXPECT_EQ(Action(cmd::kEditCut)->toolTip(), "Cut Text");
    EXPECT_EQ(Action(cmd::kEditPaste)->toolTip(), "Paste Text");
    // Not bookmarked: the bookmark button keeps its own tip.
    EXPECT_NE(Action(cmd::kBookmarkButton)->toolTip(), "Unbookmark Article");
    r.Frame().Mdi()->setActiveSubWindow(r.app->IndexFrame());
    EXPECT_EQ(Action(cmd::kFilePrint)->toolTip().toStdString(), printTip);
}

TEST_F(ArticleWindowTest, PreviousAndNextNeedAnIndexWindowThatHoldsTheArticle) {
    StartWith({Rich("A")});
    Open(0);
    // The stand-in index window's list holds nothing.
    EXPECT_FALSE(Action(cmd::kPreviousArticle)->isEnabled());
    EXPECT_FALSE(Action(cmd::kNextArticle)->isEnabled());
}

TEST_F(ArticleWindowTest, OpenActivatesAnOpenWindowAndCloseSetClosesOnlyThose) {
    StartWith({Rich("A"), Rich("B"), Rich("C")});
    CArticleFrame* a = Open(0);
    Open(1);
    Open(2);
    EXPECT_EQ(Open(0), a);
    EXPECT_EQ(windows->Frames().size(), 3u);
    EXPECT_EQ(windows->Hooks().active(), std::optional<int32_t>(0));
    IdSet some;
    some.Insert(0);
    some.Insert(2);
    EXPECT_TRUE(r.app->CloseArticleWindows(some));
    ProcessEvents();
    ASSERT_EQ(windows->Frames().size(), 1u);
    EXPECT_EQ(windows->Frames()[0]->ArticleId(), 1);
    windows->Hooks().close(1);
    ProcessEvents();
    EXPECT_TRUE(windows->Frames().empty());
}

TEST_F(ArticleWindowTest, ClosingTheDocumentClosesItsWindows) {
    StartWith({Rich("A"), Rich("B")});
    Open(0);
    Open(1);
    r.app->CloseDocument();
    ProcessEvents();
    EXPECT_TRUE(windows->Frames().empty());
    EXPECT_EQ(windows->Open(0), nullptr);  // no document, no window
}

TEST_F(ArticleWindowTest, ArticlePropertiesShowsWithoutAnythingToChange) {
    qbw::ArticleData a = Rich("Props");
    a.display.autoOpen = 2;
    a.display.wordWrap = 1;
    a.attachments = {FileAttachment("a.txt"), FileAttachment("b.txt", 1)};
    StartWith({a});
    Open(0);
    bool seen = false;
    r.dialogs.onExec = [&](QDialog& d) {
        auto& sheet = dynamic_cast<CArticleProperties&>(d);
        seen = true;
        EXPECT_EQ(sheet.windowTitle(), "Article Properties");
        EXPECT_EQ(sheet.FieldText("Title"), "Props");
        EXPECT_EQ(sheet.FieldText("Length"), "9 characters");  // "Rich bold"
        EXPECT_EQ(sheet.FieldText("AttachmentCount"), "2");
        EXPECT_TRUE(sheet.Option("WordWrap")->isChecked());
        EXPECT_TRUE(sheet.Option("AutoOpen")->isChecked());
        for (QCheckBox* c : sheet.findChildren<QCheckBox*>())
            EXPECT_FALSE(c->isEnabled()) << c->objectName().toStdString();
        for (QLineEdit* e : sheet.findChildren<QLineEdit*>())
            EXPECT_TRUE(e->isReadOnly());
        QListWidget* list = sheet.AttachmentList();
        ASSERT_EQ(list->count(), 2);
        EXPECT_EQ(list->item(0)->checkState(), Qt::Checked);
        EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
        EXPECT_FALSE(list->item(0)->flags() & Qt::ItemIsUserCheckable);
    };
    r.Frame().RunCommand(cmd::kArticleProperties);
    EXPECT_TRUE(seen);
    EXPECT_EQ(r.dialogs.execs, std::vector<std::string>{"ArticleProperties"});
}

}  // namespace
}  // namespace qb::testing
