// The article content over real Qt widgets (offscreen): positions, the two
// link looks, marking from the event loop, and the mouse over links.
#include <gtest/gtest.h>

#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <memory>

#include "gui/article/article_content.h"
#include "gui/index/index_support.h"

namespace qb {
namespace {

const QColor kGreen(0, 127, 0);
const QColor kBlue(0, 0, 255);

RichTextControl Plain(std::u16string_view text) {
    RichTextControl rt;
    rt.SetText(text);
    return rt;
}

RichTextControl Rtf(const char* rtf) {
    RichTextControl rt;
    EXPECT_TRUE(rt.StreamInRtf(rtf));
    return rt;
}

int32_t Find(const ArticleContent& c, std::u16string_view what, size_t from = 0) {
    size_t at = c.Text().find(what, from);
    EXPECT_NE(at, std::u16string::npos);
    return int32_t(at);
}

// The format of the one character at pos, read from the document's
// fragments; a paragraph end, which no fragment holds, has none.
QTextCharFormat FormatAt(const ArticleContent& c, int pos) {
    QTextBlock block = c.document()->findBlock(pos);
    if (pos == block.position() + block.length() - 1) return {};
    for (auto it = block.begin(); !it.atEnd(); ++it) {
        QTextFragment f = it.fragment();
        if (pos >= f.position() && pos < f.position() + f.length()) return f.charFormat();
    }
    ADD_FAILURE() << "no fragment at " << pos;
    return {};
}

bool Looks(const ArticleContent& c, int pos, const QColor& colour) {
    QTextCharFormat f = FormatAt(c, pos);
    return f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().color() == colour &&
           f.underlineStyle() == QTextCharFormat::SingleUnderline;
}

int CountBlue(const ArticleContent& c) {
    int n = 0;
    for (int i = 0; i < int(c.Text().size()); ++i)
        n += Looks(c, i, kBlue);
    return n;
}

// About 60000 characters with links spread through it.
std::u16string LongText() {
    std::u16string text;
    for (int i = 0; text.size() < 60000; ++i) {
        std::string s = "line " + std::to_string(i) + " see http://site" + std::to_string(i) +
                        ".example/x, mail me@host.example. plain filler words\r";
        text.append(s.begin(), s.end());
    }
    return text;
}

void DrainMarking(ArticleContent& c) {
    ASSERT_TRUE(QTest::qWaitFor([&] { return !c.Marking(); }, 10000));
}

class ArticleContentTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::EnsureApp();
        content = std::make_unique<ArticleContent>();
        content->resize(600, 300);
        content->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(content.get()));
    }

    // A point on character pos, in viewport coordinates.
    QPoint PointOn(int pos) {
        QTextCursor cursor(content->document());
        cursor.setPosition(pos);
        QRect here = content->cursorRect(cursor);
        cursor.setPosition(pos + 1);
        QRect next = content->cursorRect(cursor);
        int x = next.top() == here.top() ? (here.left() + next.left()) / 2 : here.left() + 2;
        return {x, here.center().y()};
    }
    QPoint RightEdgeOf(int pos) {
        QTextCursor cursor(content->document());
        cursor.setPosition(pos + 1);
        return {content->cursorRect(cursor).left() - 1, PointOn(pos).y()};
    }
    void Send(QEvent::Type type, QPoint at, Qt::MouseButton button = Qt::NoButton) {
        QWidget* vp = content->viewport();
        QMouseEvent e(type, QPointF(at), QPointF(vp->mapToGlobal(at)), button,
                      type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(button),
                      Qt::NoModifier);
        QApplication::sendEvent(vp, &e);
    }
    void MoveTo(int pos) { Send(QEvent::MouseMove, PointOn(pos)); }
    void DoubleClick(int pos) {
        QPoint at = PointOn(pos);
        Send(QEvent::MouseButtonPress, at, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, at, Qt::LeftButton);
        Send(QEvent::MouseButtonDblClick, at, Qt::LeftButton);
        Send(QEvent::MouseButtonRelease, at, Qt::LeftButton);
    }
    std::pair<int, int> Selection() {
        QTextCursor c = content->textCursor();
        return {c.selectionStart(), c.selectionEnd()};
    }

    std::unique_ptr<ArticleContent> content;
};

// --- Positions and link looks ---

TEST_F(ArticleContentTest, DocumentPositionsAreTheControls) {
    RichTextControl rt =
        Rtf("{\\rtf1\\ansi First\\line line\\par {\\pict\\pngblip\\picw4\\pich4 89504e470d0a1a0a}"
            " after\\par Last}");
    ASSERT_EQ(rt.Text(), u"First\vline\r\uFFFC after\rLast");
    // "line", after the line break, and "af", after the picture.
    content->Load(rt, {{6, 10}, {13, 15}}, false);
    EXPECT_EQ(content->Text(), rt.Text());
    const QTextDocument& doc = *content->document();
    ASSERT_EQ(doc.characterCount() - 1, rt.TextLength());
    for (int32_t i = 0; i < rt.TextLength(); ++i) {
        char16_t c = rt.Text()[size_t(i)];
        QChar expected = c == kParagraphEnd ? QChar::ParagraphSeparator
                         : c == kLineBreak  ? QChar::LineSeparator
                                            : QChar(c);
        EXPECT_EQ(doc.characterAt(i), expected) << "at " << i;
    }
    EXPECT_TRUE(FormatAt(*content, 11).isImageFormat());
    for (int i = 0; i < rt.TextLength(); ++i)
        EXPECT_EQ(Looks(*content, i, kGreen), (i >= 6 && i < 10) || (i >= 13 && i < 15))
            << "at " << i;
}

TEST_F(ArticleContentTest, EachLoadReplacesTheDocument) {
    for (int i = 0; i < 3; ++i)
        content->Load(Plain(u"text www.a.example"), {{0, 4}}, true);
    EXPECT_EQ(content->findChildren<QTextDocument*>().size(), 1);
    EXPECT_EQ(content->document()->toPlainText(), "text www.a.example");
    EXPECT_EQ(content->MarkedLinks().size(), 1u);
    EXPECT_TRUE(Looks(*content, 0, kGreen));
}

TEST_F(ArticleContentTest, StoredLinksStayGreenAndAreNeverMarked) {
    RichTextControl rt =
        Plain(u"see www.stored.example and http://half.example/ end www.free.example");
    content->Load(rt, {{4, 22}, {27, 31}}, true);  // the second covers "http" only
    EXPECT_FALSE(content->Marking());              // short: in one go
    int free = Find(*content, u"www.free");
    ASSERT_EQ(content->MarkedLinks().size(), 1u);
    EXPECT_EQ(content->MarkedLinks()[0].start, free);
    for (int i = 0; i < int(rt.TextLength()); ++i) {
        bool green = (i >= 4 && i < 22) || (i >= 27 && i < 31);
        EXPECT_EQ(Looks(*content, i, kGreen), green) << "at " << i;
        EXPECT_EQ(Looks(*content, i, kBlue), i >= free) << "at " << i;
    }
}

TEST_F(ArticleContentTest, StoredRangesOutsideTheTextAreKeptInside) {
    RichTextControl rt = Plain(u"0123456789");
    content->Load(rt, {{-5, 3}, {8, 1000}, {6, 2}, {INT32_MIN, INT32_MIN}}, true);
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(Looks(*content, i, kGreen), i < 3 || i >= 8) << "at " << i;
}

// --- Marking from the event loop ---

TEST_F(ArticleContentTest, SlicedMarkingMatchesOnePassAndLetsEventsRun) {
    RichTextControl rt = Plain(LongText());
    std::vector<StoredLinkRange> links = {{100, 140}, {30000, 30100}};
    content->Load(rt, links, true);
    ASSERT_TRUE(content->Marking());
    QTextCursor sel(content->document());
    sel.setPosition(10);
    sel.setPosition(20, QTextCursor::KeepAnchor);
    content->setTextCursor(sel);

    int ticks = 0;
    QTimer ticker;
    ticker.setInterval(0);
    QObject::connect(&ticker, &QTimer::timeout, [&] { ++ticks; });
    ticker.start();
    QSignalSpy finished(content.get(), &ArticleContent::markingFinished);
    bool sawPart = false;
    while (content->Marking()) {
        QApplication::processEvents();
        sawPart |= content->Marking() && !content->MarkedLinks().empty();
    }
    EXPECT_TRUE(sawPart);
    EXPECT_GE(ticks, 2);
    EXPECT_EQ(finished.count(), 1);

    LinkMarker marker(rt.Text(), links, 0, rt.TextLength());
    std::vector<MarkedLink> all = marker.MarkAll();
    EXPECT_EQ(content->MarkedLinks(), all);
    EXPECT_EQ(Selection(), std::make_pair(10, 20));
    int blue = 0;
    for (const MarkedLink& m : all)
        blue += m.length;
    EXPECT_EQ(CountBlue(*content), blue);
}

TEST_F(ArticleContentTest, FinishMarkingRunsTheRestAtOnce) {
    content->Load(Plain(LongText()), {}, true);
    content->FinishMarking();
    EXPECT_FALSE(content->Marking());
    LinkMarker marker(content->Text(), {}, 0, int32_t(content->Text().size()));
    EXPECT_EQ(content->MarkedLinks(), marker.MarkAll());
}

TEST_F(ArticleContentTest, ANewLoadStopsTheRunningMarking) {
    content->Load(Plain(LongText()), {}, true);
    QApplication::processEvents();
    ASSERT_TRUE(content->Marking());
    content->Load(Plain(u"x http://b.example y"), {}, true);
    testing::Pump();
    ASSERT_EQ(content->MarkedLinks().size(), 1u);
    EXPECT_EQ(content->MarkedLinks()[0], (MarkedLink{2, 16, LinkKind::kHttp}));

    content->Load(Plain(LongText()), {}, true);
    QApplication::processEvents();
    content->Load(Plain(LongText()), {}, false);
    EXPECT_FALSE(content->Marking());
    testing::Pump();
    EXPECT_TRUE(content->MarkedLinks().empty());
    EXPECT_EQ(CountBlue(*content), 0);
}

TEST_F(ArticleContentTest, DestroyingWhileMarkingIsClean) {
    auto* other = new ArticleContent;
    other->Load(Plain(LongText()), {{5, 9}}, true);
    QApplication::processEvents();
    ASSERT_TRUE(other->Marking());
    delete other;
    testing::Pump();
}

// --- Active Links modes ---

TEST_F(ArticleContentTest, ActiveLinksModesSetBothFlagsAndColouringFollows) {
    ArticleContent fresh;
    EXPECT_FALSE(fresh.Flags().colouring);
    EXPECT_TRUE(fresh.Flags().activation);

    RichTextControl rt = Rtf(
        "{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;}www.a.example {\\cf1 www.red.example} "
        "{\\ul www.under.example} www.stored.example\\par}");
    int red = 14, under = 30, stored = 48;
    ASSERT_EQ(rt.Text().substr(size_t(stored), 4), u"www.");
    content->Load(rt, {{stored, stored + 18}}, false);
    EXPECT_TRUE(content->MarkedLinks().empty());

    content->SetActiveLinksMode(0);
    EXPECT_TRUE(content->Flags().colouring && content->Flags().activation);
    EXPECT_TRUE(content->Marking());  // the whole text goes through the event loop
    DrainMarking(*content);
    EXPECT_EQ(content->MarkedLinks().size(), 3u);
    EXPECT_TRUE(Looks(*content, 0, kBlue) && Looks(*content, red, kBlue) &&
                Looks(*content, under, kBlue));

    content->SetActiveLinksMode(1);
    EXPECT_FALSE(content->Flags().colouring);
    EXPECT_TRUE(content->Flags().activation);
    EXPECT_TRUE(content->MarkedLinks().empty());
    EXPECT_EQ(CountBlue(*content), 0);
    // Back to the look they were loaded with.
    EXPECT_FALSE(FormatAt(*content, 0).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_NE(FormatAt(*content, 0).underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(FormatAt(*content, red).foreground().color(), QColor(255, 0, 0));
    EXPECT_NE(FormatAt(*content, red).underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_EQ(FormatAt(*content, under).underlineStyle(), QTextCharFormat::SingleUnderline);
    EXPECT_FALSE(FormatAt(*content, under).hasProperty(QTextFormat::ForegroundBrush));
    EXPECT_TRUE(Looks(*content, stored, kGreen));

    content->SetActiveLinksMode(2);
    EXPECT_FALSE(content->Flags().colouring || content->Flags().activation);
    content->SetActiveLinksMode(7);
    EXPECT_FALSE(content->Flags().colouring || content->Flags().activation);
}

TEST_F(ArticleContentTest, ColouringOffWhileMarkingStopsAndRemovesTheMarksSoFar) {
    content->Load(Plain(LongText()), {}, true);
    QApplication::processEvents();
    ASSERT_TRUE(content->Marking());
    ASSERT_FALSE(content->MarkedLinks().empty());
    content->SetActiveLinksMode(1);
    EXPECT_FALSE(content->Marking());
    testing::Pump();
    EXPECT_TRUE(content->MarkedLinks().empty());
    EXPECT_EQ(CountBlue(*content), 0);
}

// --- The mouse ---

TEST_F(ArticleContentTest, HoverTellsStoredLinksAndShapesTheCursor) {
    content->Load(Plain(u"plain words www.hover.example stored here"), {{30, 36}, {37, 41}}, false);
    QSignalSpy hovered(content.get(), &ArticleContent::storedLinkHovered);
    auto shape = [&] { return content->viewport()->cursor().shape(); };

    MoveTo(32);
    EXPECT_EQ(shape(), Qt::PointingHandCursor);
    MoveTo(33);  // still the same link: no second signal
    ASSERT_EQ(hovered.count(), 1);
    EXPECT_EQ(hovered.takeFirst().at(0).toInt(), 0);

    MoveTo(15);  // a recognised link
    EXPECT_EQ(shape(), Qt::PointingHandCursor);
    ASSERT_EQ(hovered.count(), 1);
    EXPECT_EQ(hovered.takeFirst().at(0).toInt(), -1);
    MoveTo(2);
    EXPECT_EQ(shape(), Qt::IBeamCursor);

    content->SetActiveLinksMode(2);  // activation off
    MoveTo(15);
    EXPECT_EQ(shape(), Qt::IBeamCursor);

    MoveTo(32);
    Send(QEvent::MouseMove, PointOn(40) + QPoint(80, 0));  // past the line's end
    EXPECT_EQ(shape(), Qt::IBeamCursor);
    MoveTo(32);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(content.get(), &leave);
    ASSERT_EQ(hovered.count(), 4);
    EXPECT_EQ(hovered.at(2).at(0).toInt(), 0);
    EXPECT_EQ(hovered.at(3).at(0).toInt(), -1);

    // The right half of a link's last character is still the link; below
    // the last line is no character at all.
    hovered.clear();
    Send(QEvent::MouseMove, RightEdgeOf(35));
    Send(QEvent::MouseMove, PointOn(39) + QPoint(0, 100));
    ASSERT_EQ(hovered.count(), 2);
    EXPECT_EQ(hovered.at(0).at(0).toInt(), 0);
    EXPECT_EQ(hovered.at(1).at(0).toInt(), -1);
}

TEST_F(ArticleContentTest, DoubleClickFollowsOpensOrSelectsTheWord) {
    content->Load(Plain(u"see http://web.example/a stored plain file://C:/x.txt mail "
                        u"me@host.example, end www.end.example."),
                  {{25, 31}}, false);
    QSignalSpy follow(content.get(), &ArticleContent::followStoredLink);
    QSignalSpy open(content.get(), &ArticleContent::openRecognizedTarget);

    DoubleClick(27);
    ASSERT_EQ(follow.count(), 1);
    EXPECT_EQ(follow.at(0).at(0).toInt(), 0);
    EXPECT_EQ(Selection(), std::make_pair(25, 31));

    DoubleClick(8);
    ASSERT_EQ(open.count(), 1);
    EXPECT_TRUE(open.at(0).at(0).toBool());
    EXPECT_EQ(open.at(0).at(1).toString(), "http://web.example/a");
    EXPECT_EQ(Selection(), std::make_pair(4, 24));

    int file = Find(*content, u"file://");
    DoubleClick(file + 9);
    ASSERT_EQ(open.count(), 2);
    EXPECT_FALSE(open.at(1).at(0).toBool());
    EXPECT_EQ(open.at(1).at(1).toString(), "C:/x.txt");

    int mail = Find(*content, u"me@");
    DoubleClick(mail + 1);
    ASSERT_EQ(open.count(), 3);
    EXPECT_EQ(open.at(2).at(1).toString(), "mailto:me@host.example");
    EXPECT_EQ(Selection(), std::make_pair(mail, mail + 15));

    int plain = Find(*content, u"plain");
    DoubleClick(plain + 2);  // the control's own word selection
    EXPECT_EQ(Selection(), std::make_pair(plain, plain + 5));

    DoubleClick(int(content->Text().size()) - 1);  // the full stop after a link: nothing
    EXPECT_EQ(Selection().first, Selection().second);
    EXPECT_EQ(open.count(), 3);
    EXPECT_EQ(follow.count(), 1);

    content->SetActiveLinksMode(2);  // activation off: a web address is a word
    DoubleClick(8);
    EXPECT_EQ(open.count(), 3);
    EXPECT_NE(Selection(), std::make_pair(4, 24));
}

TEST_F(ArticleContentTest, WordWrapSwitchesTheHorizontalScrollBar) {
    content->SetWordWrap(false);  // the switch outlives a Load
    content->Load(Plain(std::u16string(400, u'x') + u" tail"), {}, false);
    EXPECT_TRUE(content->isReadOnly());
    testing::Pump();
    EXPECT_GT(content->horizontalScrollBar()->maximum(), 0);
    content->SetWordWrap(true);
    testing::Pump();
    EXPECT_EQ(content->horizontalScrollBar()->maximum(), 0);
    EXPECT_FALSE(content->horizontalScrollBar()->isVisible());
}

}  // namespace
}  // namespace qb
