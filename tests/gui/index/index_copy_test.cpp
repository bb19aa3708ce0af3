// Edit > Copy in the index window over the demo file: Copy Articles of the
// highlighted titles, the content preview's selection, when Copy is
// enabled, a missing clipboard, and the Copy key going through the command.
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QMdiArea>
#include <QTest>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>

#include "../app/gui_test_support.h"
#include "app/settings.h"
#include "article/attachment_opener.h"
#include "article/clipboard_copy.h"
#include "article/copy_articles.h"
#include "datafile/quill_error.h"
#include "gui/app/commands.h"
#include "gui/index/index_lists.h"
#include "gui/index/index_window.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "support/recording_clipboard.h"

namespace qb::testing {
namespace {

const std::string kDemo = std::string(QB_BINARY_DIR) + "/samples/demo.qbx";

class IndexCopyReader : public ::testing::Test {
protected:
    void Start(const std::string& path) {
        r.app = std::make_unique<ReaderApp>(r.env, r.ui, r.dialogs);
        InstallIndexWindow(*r.app, &writer);
        r.app->Start({path});
        ProcessEvents();
        view = ActiveIndexView(*r.app);
        ASSERT_NE(view, nullptr);
        r.Frame().activateWindow();
        QApplication::setActiveWindow(&r.Frame());
        r.Frame().Mdi()->setActiveSubWindow(r.app->IndexFrame());
        ProcessEvents();
    }
    TitleListModel& Titles() { return view->Model().Titles(); }
    bool CopyEnabled() {
        r.Frame().UpdateCommandStates();
        return r.Frame().Action(cmd::kEditCopy)->isEnabled();
    }
    void Focus(QWidget* w) {
        w->setFocus();
        ProcessEvents();
    }
    // The block Copy Articles gives article `id`, as the core builds it.
    std::string BlockOf(int32_t id) {
        CQuillboxDoc& doc = *r.app->Document();
        std::string out;
        AppendCopyText(out,
                       ReadCopiedArticle(doc, id, r.app->GetLocale(),
                                         MakeTargetContext(doc, &r.app->Core().GetSettings())));
        return out;
    }
    // Shows the content preview with row `row` alone highlighted.
    void PreviewRow(size_t row) {
        view->SetPreviewFlags(preview_flag::kContent);
        Titles().ClearHighlight();
        Titles().Click(row);
        view->RefreshPreview();
        ProcessEvents();
    }
    void SelectInPreview(const QString& word) {
        QTextEdit* preview = view->ContentPreview();
        QTextCursor c = preview->document()->find(word);
        ASSERT_FALSE(c.isNull()) << word.toStdString();
        preview->setTextCursor(c);
    }

    ReaderFixture r;
    RecordingClipboard clipboard;
    ClipboardWriter writer{clipboard, r.ui};
    CIndexView* view = nullptr;
};

class IndexCopy : public IndexCopyReader {
protected:
    void SetUp() override {
        if (!std::filesystem::exists(kDemo)) GTEST_SKIP() << "no demo file";
        Start(kDemo);
    }
};

TEST_F(IndexCopy, HighlightedTitlesAreCopiedInListOrderAsLfTextAndRtf) {
    ASSERT_GE(Titles().RowCount(), 5u);
    // Highlighted out of order: the copy follows the list.
    Titles().ClearHighlight();
    Titles().Click(4);
    Titles().Click(1, false, true);
    Titles().Click(2, false, true);
    Focus(view->TitleList());
    ASSERT_TRUE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);

    ASSERT_EQ(clipboard.placed, 1);
    std::string text, readBack;
    for (size_t row : {1, 2, 4}) {
        std::string block = BlockOf(Titles().Rows()[row]);
        text += block;
        readBack += block + "\r\n";  // the RTF block ends in one line more
    }
    const std::string placed = clipboard.Data(kClipboardPlainText);
    EXPECT_EQ(placed, ToLfLineEnds(text));
    EXPECT_EQ(placed.find('\r'), std::string::npos);
    EXPECT_EQ(placed.substr(0, placed.find('\n')),
              r.app->Document()->SummaryTitle(Titles().Rows()[1]));

    const std::string rtf = clipboard.Data(kClipboardRtf);
    EXPECT_EQ(clipboard.Data(kClipboardRichText), rtf);
    RichTextControl back;
    ASSERT_TRUE(back.StreamInRtf(rtf));
    EXPECT_EQ(ToLfLineEnds(back.StreamOutText(TextEncoding::kUtf8)), ToLfLineEnds(readBack));
    EXPECT_TRUE(r.ui.messages.empty());
    // Few articles: no progress window.
    EXPECT_TRUE(r.ui.progress.empty());

    // The HTML form: the same articles in the same order, a UTF-8 page.
    const std::string html = clipboard.Data(kClipboardHtml);
    EXPECT_NE(html.find("charset=utf-8"), std::string::npos);
    size_t at = 0;
    for (size_t row : {1, 2, 4}) {
        std::string title = *r.app->Document()->SummaryTitle(Titles().Rows()[row]);
        // Up to the first letter the page writes in its own way.
        title = title.substr(0, std::find_if(title.begin(), title.end(), [](char c) {
                                    return (unsigned char)c >= 0x80;
                                }) - title.begin());
        size_t found = html.find(title, at);
        ASSERT_NE(found, std::string::npos) << title;
        at = found + title.size();
    }
}

// The first bold run of a few letters in `doc`, or empty.
QString FirstBoldWord(const QTextDocument& doc) {
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            QString text = it.fragment().text().trimmed();
            if (it.fragment().charFormat().fontWeight() >= QFont::Bold && text.size() > 2)
                return text;
        }
    return {};
}

TEST_F(IndexCopy, PreviewSelectionIsCopiedWithItsFormats) {
    QTextEdit* preview = view->ContentPreview();
    QString boldWord;
    for (size_t row = 0; row < Titles().RowCount() && boldWord.isEmpty(); ++row) {
        PreviewRow(row);
        boldWord = FirstBoldWord(*preview->document());
    }
    ASSERT_FALSE(boldWord.isEmpty()) << "no bold text in the demo";

    Focus(preview);
    EXPECT_FALSE(CopyEnabled());  // nothing selected yet
    SelectInPreview(boldWord);
    ASSERT_TRUE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);
    ASSERT_EQ(clipboard.placed, 1);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), boldWord.toStdString());
    RichTextControl back;
    ASSERT_TRUE(back.StreamInRtf(clipboard.Data(kClipboardRtf)));
    EXPECT_TRUE(back.CharFormatAt(0).Has(kEffectBold));
}

TEST_F(IndexCopy, CopyIsEnabledOnlyWithSomethingToCopyInTheFocusedPane) {
    PreviewRow(0);
    Focus(view->TitleList());
    EXPECT_TRUE(CopyEnabled());
    Titles().ClearHighlight();
    EXPECT_FALSE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 0);

    // A keyword list with a highlight copies nothing.
    Titles().Click(0);
    view->Model().IndexList().Click(0);
    Focus(view->IndexListBox());
    EXPECT_FALSE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 0);
}

TEST_F(IndexCopy, WithoutAClipboardItIsSaidOnce) {
    clipboard.result = ClipboardResult::kNoClipboard;
    PreviewRow(0);
    Focus(view->TitleList());
    r.Frame().RunCommand(cmd::kEditCopy);
    Focus(view->ContentPreview());
    view->ContentPreview()->selectAll();
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 2);
    EXPECT_TRUE(clipboard.content.empty());
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, ResourceString(msg::kNoClipboard));
}

TEST_F(IndexCopy, TheCopyKeyGoesThroughTheCommandOnly) {
    QGuiApplication::clipboard()->setText("before");
    PreviewRow(0);
    QTextEdit* preview = view->ContentPreview();
    Focus(preview);
    preview->selectAll();
    QTest::keyClick(preview, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.placed, 1);
    EXPECT_FALSE(clipboard.Data(kClipboardPlainText).empty());
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");

    // Disabled, the key places nothing, not even through the list itself.
    Titles().ClearHighlight();
    Focus(view->TitleList());
    view->TitleList()->setCurrentIndex(view->TitleList()->model()->index(0, 0));
    QTest::keyClick(view->TitleList(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(clipboard.calls, 1);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "before");
}

// Sixty titled articles and, as id 60, an article record that claims a
// link list it does not hold.
class IndexCopyWritten : public IndexCopyReader {
protected:
    static constexpr int32_t kDamaged = 60;
    void SetUp() override {
        qbw::FileBuilder b;
        for (int32_t id = 0; id < kDamaged; ++id) {
            qbw::ArticleData a;
            a.title = "T" + std::to_string(id);
            a.plainText = "text " + std::to_string(id);
            b.SetRecord(1, id, qbw::EncodeArticleNew(a));
        }
        qbw::ArticleData d;
        d.title = "Damaged";
        d.level = 5;
        qbw::Encoder e;
        qbw::WriteArticleNew(e, d);
        e.Int32(0x7FFFFFFF);
        std::string bytes = e.Str();
        bytes[10] = 6;  // the header's level: links follow
        b.SetRecord(1, kDamaged, bytes);
        path = r.dir / "sixty.qbx";
        b.WriteFile(path);
        Start(path);
        Focus(view->TitleList());
    }
    std::string path;
};

TEST_F(IndexCopyWritten, MoreThanFiftyTitlesCopyWithTheProgressWindow) {
    std::optional<size_t> damaged = Titles().RowOf(kDamaged);
    ASSERT_TRUE(damaged.has_value());
    Titles().ClearHighlight();
    for (size_t row = 0; row < Titles().RowCount(); ++row)
        if (row != *damaged) Titles().Click(row, false, true);
    ASSERT_EQ(Titles().HighlightCount(), size_t(kDamaged));
    r.Frame().RunCommand(cmd::kEditCopy);
    ASSERT_EQ(r.ui.progress.size(), 1u);
    EXPECT_EQ(r.ui.progress[0]->caption, ResourceString(msg::kCopyArticlesCaption));
    EXPECT_FALSE(r.ui.progress[0]->open);  // closed before the clipboard is touched
    EXPECT_EQ(clipboard.placed, 1);
    EXPECT_TRUE(r.ui.messages.empty());
}

TEST_F(IndexCopyWritten, ADataFileErrorStopsTheCopyAndPlacesNothing) {
    clipboard.content = {{kClipboardPlainText, "before"}};
    std::optional<size_t> damaged = Titles().RowOf(kDamaged);
    ASSERT_TRUE(damaged.has_value());
    Titles().ClearHighlight();
    Titles().Click(*damaged == 0 ? 1 : 0);
    Titles().Click(*damaged, false, true);
    ASSERT_TRUE(CopyEnabled());
    r.Frame().RunCommand(cmd::kEditCopy);
    EXPECT_EQ(clipboard.calls, 0);
    EXPECT_EQ(clipboard.Data(kClipboardPlainText), "before");
    ASSERT_EQ(r.ui.messages.size(), 1u);
    EXPECT_EQ(r.ui.messages[0].text, CQuillError(err::kCorrupted, path).Message());
}

}  // namespace
}  // namespace qb::testing
