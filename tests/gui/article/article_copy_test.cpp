// Edit > Copy in an article window: the focused field's selection, the
// content's RTF with its formats, when Copy is enabled, and the Copy key
// and the fields' menus going through the command alone.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMenu>
#include <QTest>
#include <QTextCursor>
#include <QTimer>

#include "article_support.h"
#include "gui/app/commands.h"
#include "gui/article/article_content.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "richtext/rich_text.h"

namespace qb::testing {
namespace {

class ArticleCopy : public ArticleReader {
protected:
    CArticleView* OpenFocused(const std::string& title, const std::string& rtf) {
        qbw::ArticleData a;
        a.title = title;
        a.richText = rtf;
        a.articleDate = 20240315;
        StartWith({a});
        CArticleFrame* f = Open(0);
        EXPECT_NE(f, nullptr);
        r.Frame().activateWindow();
        QApplication::setActiveWindow(&r.Frame());
        ProcessEvents();
        return f ? f->View() : nullptr;
    }
    bool CopyEnabled() { return Action(cmd::kEditCopy)->isEnabled(); }
    void Focus(QWidget* w) {
        w->setFocus();
        ProcessEvents();
    }
    // Selects the text from `from` to the end of `to` in the content.
    static void SelectContent(ArticleContent* content, const QString& from, const QString& to) {
        QTextDocument* doc = content->document();
        QTextCursor a = doc->find(from), b = doc->find(to);
        ASSERT_FALSE(a.isNull());
        ASSERT_FALSE(b.isNull());
        QTextCursor c(doc);
        c.setPosition(a.selectionStart());
        c.setPosition(b.selectionEnd(), QTextCursor::KeepAnchor);
        content->setTextCursor(c);
    }
};

TEST_F(ArticleCopy, ContentSelectionKeepsBoldAndItalicInItsRtfAndEndsLinesInLf) {
    CArticleView* v =
        OpenFocused("Notes", "{\\rtf1 plain \\b bold\\b0  and\\par \\i slanted\\i0  end\\par}");
    ASSERT_NE(v, nullptr);
    Focus(v->Content());
    SelectContent(v->Content(), "bold", "slanted");
    ASSERT_TRUE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);

    ASSERT_EQ(clipboard.placed, 1);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "bold and\nslanted");
    EXPECT_EQ(clipboard.Data(kClipboardRichText), clipboard.Data(kClipboardRtf));
    RichTextControl back;
    ASSERT_TRUE(back.StreamInRtf(clipboard.Data(kClipboardRtf)));
    EXPECT_EQ(back.Text(), u"bold and\rslanted");
    EXPECT_TRUE(back.CharFormatAt(0).Has(kEffectBold));
    EXPECT_FALSE(back.CharFormatAt(0).Has(kEffectItalic));
    EXPECT_FALSE(back.CharFormatAt(5).Has(kEffectBold));  // "and"
    EXPECT_TRUE(back.CharFormatAt(9).Has(kEffectItalic));
    EXPECT_FALSE(back.CharFormatAt(9).Has(kEffectBold));
}

TEST_F(ArticleCopy, TitleAndDateFieldsCopyTheirOwnTextOnly) {
    CArticleView* v = OpenFocused("Caf\xe9 notes", "{\\rtf1 \\b body\\par}");
    ASSERT_NE(v, nullptr);
    Focus(v->TitleField());
    v->TitleField()->setSelection(0, 4);
    ASSERT_TRUE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);
    ASSERT_EQ(clipboard.placed, 1);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "Caf\xc3\xa9");
    // A field has no formats of its own: plain text alone.
    EXPECT_EQ(clipboard.content.size(), 1u);

    Focus(v->DateField());
    v->DateField()->selectAll();
    r.Frame().RunCommand(cmd::kEditCopy);
    ASSERT_EQ(clipboard.placed, 2);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), v->DateField()->text().toStdString());
    EXPECT_FALSE(clipboard.Data(kClipboardPlainText).empty());
}

TEST_F(ArticleCopy, EnabledOnlyWithASelectionInTheFocusedFieldOnScreen) {
    CArticleView* v = OpenFocused("Title", "{\\rtf1 some words\\par}");
    ASSERT_NE(v, nullptr);
    Focus(v->Content());
    EXPECT_FALSE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 0);

    v->Content()->selectAll();
    EXPECT_TRUE(CopyEnabled());
    // The selection of another field does not count.
    Focus(v->TitleField());
    v->TitleField()->deselect();
    EXPECT_FALSE(CopyEnabled());
    Focus(v->Keywords());
    EXPECT_FALSE(CopyEnabled());

    Focus(v->Content());
    EXPECT_TRUE(CopyEnabled());
    auto* frame = windows->Find(0);
    frame->showMinimized();
    ProcessEvents();
    EXPECT_FALSE(v->CanCopy());
    frame->showNormal();
    ProcessEvents();
    EXPECT_TRUE(v->CanCopy());
}

TEST_F(ArticleCopy, WithoutAClipboardItIsSaidOnce) {
    clipboard.result = ClipboardResult::kNoClipboard;
    CArticleView* v = OpenFocused("Title", "{\\rtf1 some words\\par}");
    ASSERT_NE(v, nullptr);
    Focus(v->Content());
    v->Content()->selectAll();
    r.Frame().RunCommand(cmd::kEditCopy);
    Focus(v->TitleField());
    v->TitleField()->selectAll();
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 2);
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, ResourceString(msg::kNoClipboard));
}

TEST_F(ArticleCopy, TheCopyKeyGoesThroughTheCommandOnly) {
    QGuiApplication::clipboard()->setText("before");
    CArticleView* v = OpenFocused("Keyed title", "{\\rtf1 some \\i words\\par}");
    ASSERT_NE(v, nullptr);
    Focus(v->TitleField());
    v->TitleField()->setSelection(0, 5);
    QTest::keyClick(v->TitleField(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.placed, 1);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "Keyed");

    Focus(v->Content());
    v->Content()->selectAll();
    QTest::keyClick(v->Content(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.placed, 2);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "some words");

    // Nothing selected: Copy is disabled and the field does not copy alone.
    v->Content()->moveCursor(QTextCursor::Start);
    QTest::keyClick(v->Content(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.calls, 2);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

TEST_F(ArticleCopy, FieldMenusHoldTheFramesCopyAndSelectAll) {
    CArticleView* v = OpenFocused("Title", "{\\rtf1 words\\par}");
    ASSERT_NE(v, nullptr);
    for (QWidget* w :
         {static_cast<QWidget*>(v->TitleField()), static_cast<QWidget*>(v->DateField()),
          static_cast<QWidget*>(v->Content())}) {
        std::vector<QAction*> shown;
        QTimer::singleShot(0, [&] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : menu->actions())
                    shown.push_back(a);
                menu->close();
            }
        });
        emit w->customContextMenuRequested(QPoint(2, 2));
        EXPECT_EQ(shown,
                  (std::vector<QAction*>{Action(cmd::kEditCopy), Action(cmd::kEditSelectAll)}))
            << w->objectName().toStdString();
        // The menu focuses its field, so the commands act on it.
        EXPECT_EQ(v->focusWidget(), w);
    }
}

}  // namespace
}  // namespace qb::testing
