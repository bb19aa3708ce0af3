// The document's windows in the running reader: the password dialog, the
// repaired bookmark message, Show Private Articles, File Properties and
// Export Keyword List.
#include <QAction>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTabWidget>

#include <gtest/gtest.h>

#include "gui/app/commands.h"
#include "gui/app/gui_test_support.h"
#include "gui/document/file_properties_sheet.h"
#include "gui/platform/password_dialog.h"
#include "gui/support/index_placeholder.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

class DocumentWindowsTest : public ::testing::Test, public ReaderFixture {
protected:
    std::string Demo() { return std::string(QB_BINARY_DIR) + "/samples/demo.qbx"; }
    bool OpenDemo() {
        if (!std::filesystem::exists(Demo())) return false;
        WriteSettings("[QUILLBOX]\nWelcome=2\n");
        Start({Demo()});
        return app->Document() != nullptr;
    }
};

TEST(PasswordDialogTest, OkAcceptsOnlyTheRightPassword) {
    EnsureQApplication();
    std::vector<std::string> asked;
    auto check = [&](const std::string& p) {
        asked.push_back(p);
        return p == "pässword";
    };
    PasswordDialog d("notes.qbx", check);
    EXPECT_EQ(d.windowTitle(), "Enter Your Password");
    EXPECT_EQ(d.FileNameLabel()->text(), "File name: notes.qbx");
    EXPECT_EQ(d.PasswordField()->echoMode(), QLineEdit::Password);
    d.show();
    d.PasswordField()->setText("wrong");
    d.accept();
    EXPECT_TRUE(d.isVisible()) << "a wrong password may be typed again";
    EXPECT_TRUE(d.PasswordField()->text().isEmpty());
    d.PasswordField()->setText(QString::fromUtf8("pässword"));
    d.accept();
    EXPECT_FALSE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(asked, (std::vector<std::string>{"wrong", "pässword"}));  // UTF-8 bytes
    EXPECT_TRUE(d.PasswordField()->text().isEmpty());                   // not kept around
}

TEST_F(DocumentWindowsTest, RepairedBookmarksAreReportedOnce) {
    std::string file = dir / "marks.qbx";
    qbw::ArticleData a;
    a.title = "Only";
    qbw::FileBuilder()
        .SetRecord(1, 0, qbw::EncodeArticleNew(a))
        .SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({0, 7}))
        .WriteFile(file);
    Start({file});
    ASSERT_NE(app->Document(), nullptr);
    ASSERT_EQ(ui.Count(), 1u);
    EXPECT_EQ(ui.Last().text, FormatResource(msg::kBookmarksRepaired, file));
    EXPECT_EQ(app->Document()->VisibleBookmarkCount(), 1);
}

TEST_F(DocumentWindowsTest, ShowPrivateArticlesUnlocksAndLocksAgain) {
    if (!OpenDemo()) GTEST_SKIP() << "demo file not built";
    CQuillboxDoc& doc = *app->Document();
    QAction* show = Frame().Action(cmd::kShowPrivateArticles);
    Frame().UpdateCommandStates();
    EXPECT_TRUE(show->isEnabled());
    EXPECT_FALSE(show->isChecked());
    int32_t locked = doc.VisibleCount();

    ui.QueuePassword("wrong");
    show->trigger();
    EXPECT_EQ(ui.LastText(), ResourceString(msg::kWrongCurrentPassword));
    EXPECT_FALSE(doc.IsUnlocked());

    ui.QueuePassword("demo");
    show->trigger();
    EXPECT_TRUE(doc.IsUnlocked());
    EXPECT_EQ(doc.VisibleCount(), locked + doc.PrivateCount());
    EXPECT_TRUE(show->isChecked());
    CIndexPlaceholder* index = PlaceholderOf(app->IndexFrame());
    ASSERT_NE(index, nullptr);
    EXPECT_EQ(index->Received().back(), "OnPrivacyChanged");

    show->trigger();
    EXPECT_FALSE(doc.IsUnlocked());
    EXPECT_EQ(doc.VisibleCount(), locked);
}

TEST_F(DocumentWindowsTest, FilePropertiesShowsTheFileAndGuardsPrivacy) {
    if (!OpenDemo()) GTEST_SKIP() << "demo file not built";
    FileProperties expected = GetFileProperties(*app->Document());
    bool privacyShownFirst = true, privacyShownAfter = false;
    QString button;
    int requestsBefore = 0;
    dialogs.onExec = [&](QDialog& d) {
        auto& sheet = static_cast<FilePropertiesSheet&>(d);
        EXPECT_EQ(sheet.windowTitle(), "File Properties");
        EXPECT_EQ(sheet.Pages()->count(), 3);
        EXPECT_EQ(sheet.Field("path")->text().toStdString(), Demo());
        EXPECT_EQ(sheet.Field("keywords")->text().toInt(), expected.keywordCount);
        EXPECT_EQ(sheet.Field("size")->text().toStdString(), expected.sizeText + " bytes");
        // Nothing can be changed: the only button closes the sheet.
        auto* box = sheet.findChild<QDialogButtonBox*>();
        ASSERT_NE(box, nullptr);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButton(box->buttons()[0]), QDialogButtonBox::Close);
        requestsBefore = int(ui.passwordRequests.size());
        ui.QueueCancel();
        sheet.Pages()->setCurrentIndex(2);  // locked: asks, cancelled, stays out
        privacyShownFirst = sheet.PrivacyShown();
        EXPECT_EQ(sheet.Pages()->currentIndex(), 0);
        ui.QueuePassword("demo");
        sheet.Pages()->setCurrentIndex(2);
        privacyShownAfter = sheet.PrivacyShown();
        button = sheet.PasswordButton()->text();
    };
    Frame().RunCommand(cmd::kFileProperties);
    EXPECT_EQ(dialogs.execs, std::vector<std::string>{"FilePropertiesSheet"});
    EXPECT_FALSE(privacyShownFirst);
    EXPECT_TRUE(privacyShownAfter);
    EXPECT_EQ(int(ui.passwordRequests.size()), requestsBefore + 2);
    EXPECT_EQ(button, "&Change Password...");
    EXPECT_TRUE(app->Document()->IsUnlocked());
}

TEST_F(DocumentWindowsTest, ExportKeywordListWritesTheChosenFile) {
    if (!OpenDemo()) GTEST_SKIP() << "demo file not built";
    Frame().RunCommand(cmd::kExportKeywordList);  // cancelled: nothing written
    EXPECT_EQ(dialogs.saveAsked, 1);
    EXPECT_EQ(dialogs.saveTitle, "Export Keyword List");
    EXPECT_EQ(dialogs.saveProposed, "demo");
    EXPECT_EQ(dialogs.saveFolder, app->Core().Dirs().Folder(FolderType::ImportExport));

    std::string out = dir / "keywords.txt";
    dialogs.saveName = out;
    Frame().RunCommand(cmd::kExportKeywordList);
    std::string text = ReadFile(out);
    EXPECT_NE(text.find("Birds\r\n"), std::string::npos);
    EXPECT_LT(text.find("Bees"), text.find("Birds"));  // sorted by name

    // A target that cannot be written is reported and leaves nothing.
    dialogs.saveName = dir / "missing/folder/k.txt";
    ui.Reset();
    Frame().RunCommand(cmd::kExportKeywordList);
    EXPECT_EQ(ui.Count(), 1u);
    EXPECT_FALSE(std::filesystem::exists(dir / "missing/folder/k.txt"));
}

TEST_F(DocumentWindowsTest, DocumentCommandsNeedAnOpenFile) {
    WriteSettings("[QUILLBOX]\nWelcome=2\n");
    Start();
    Frame().UpdateCommandStates();
    EXPECT_FALSE(Frame().Action(cmd::kFileProperties)->isEnabled());
    EXPECT_FALSE(Frame().Action(cmd::kExportKeywordList)->isEnabled());
    EXPECT_FALSE(Frame().Action(cmd::kShowPrivateArticles)->isEnabled());
    Frame().RunCommand(cmd::kExportKeywordList);
    EXPECT_EQ(dialogs.saveAsked, 0);
}

}  // namespace
}  // namespace qb::testing
