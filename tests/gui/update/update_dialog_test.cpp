// The update dialog in the running reader, against the loopback HTTPS
// server: Help > Check for Quillbox Reader Update... opens it, the check
// starts only then, the texts follow the answer, and closing mid-request
// abandons it.
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QPushButton>

#include <gtest/gtest.h>

#include "datafile/dates.h"
#include "gui/app/gui_test_support.h"
#include "gui/update/loopback_https_server.h"
#include "gui/update/reader_update.h"
#include "gui/update/update_dialog.h"
#include "gui/update/update_test_support.h"
#include "resources/command_ids.h"
#include "resources/string_ids.h"
#include "resources/strings.h"
#include "support/recording_launcher.h"

namespace qb::testing {
namespace {

using Mode = LoopbackHttpsServer::Mode;

class UpdateDialogTest : public ::testing::Test, public ReaderFixture {
protected:
    // The reader ends before the port and the launcher it was given.
    void TearDown() override { Stop(); }

    // Starts the reader with these settings in its "Quillbox" section.
    void StartReader(const std::string& settings) {
        WriteSettings("[Quillbox]\nWelcome=2\nUpdateCheckLastDate=20200101\n" + settings);
        app = std::make_unique<ReaderApp>(env, ui, dialogs);
        InstallIndexPlaceholder(*app);
        update = &InstallUpdateCheck(*app, &launcher, &http);
        app->Start({});
        ProcessEvents();
    }
    void StartReader(const LoopbackHttpsServer& server, const std::string& more = "") {
        StartReader("UpdateURL=" + server.Url() + "\n" + more);
    }
    // The command, and the dialog it opened.
    UpdateDialog* Open() {
        Frame().RunCommand(cmd::kUpdateCheck);
        return update->Dialog();
    }
    bool WaitForAnswer(UpdateDialog* d, int ms = 10000) {
        return RunLoopUntil([d] { return !d->Checking(); }, ms);
    }
    int32_t StoredInt(const char* key) { return Stored().GetInt("Quillbox", key, 0); }

    TrustingHttp http{CertPath("trusted")};
    RecordingLauncher launcher;
    ReaderUpdate* update = nullptr;
};

TEST_F(UpdateDialogTest, ANewerVersionOffersTheUpdatePage) {
    LoopbackHttpsServer server(
        LoopbackHttpsServer::Answering("QBR\t99.13.2.0\thttps://example.test/news\n"));
    StartReader(server, "UpdateCheckFreq=12\n");
    ASSERT_NE(app->Frame(), nullptr);
    EXPECT_TRUE(http.requests.empty());  // nothing before the command
    UpdateDialog* d = Open();
    ASSERT_NE(d, nullptr);
    EXPECT_TRUE(d->isVisible());
    EXPECT_EQ(d->InstalledLine()->text().toStdString(), OwnProgramVersion().text);
    EXPECT_EQ(d->ReleasedLine()->text(), "Checking...");
    EXPECT_FALSE(d->GetInfoButton()->isVisibleTo(d));
    EXPECT_EQ(d->Frequency()->currentData().toInt(), 30);  // 12 days stored

    ASSERT_TRUE(WaitForAnswer(d));
    EXPECT_EQ(d->ReleasedLine()->text(), "99.1.3");
    EXPECT_EQ(d->MessageLine()->text(), "A more recent version is available.");
    EXPECT_TRUE(d->GetInfoButton()->isVisibleTo(d));
    EXPECT_EQ(StoredInt("UpdateCheckLastDate"), TodayDate(app->GetLocale()));

    // While it is open the command opens no second dialog and no second request.
    EXPECT_EQ(Open(), d);
    d->GetInfoButton()->click();
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].target,
              "https://example.test/news" + SourceQueryText(UpdateCheckQuery()));

    d->CloseButton()->click();
    ProcessEvents();
    EXPECT_EQ(update->Dialog(), nullptr);
    EXPECT_EQ(StoredInt("UpdateCheckFreq"), 30);
    EXPECT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(http.requests.size(), 1u);
}

TEST_F(UpdateDialogTest, TheSameVersionAndASecondCheckWithoutDownload) {
    LoopbackHttpsServer server(
        LoopbackHttpsServer::Answering("qbr\t" + OwnProgramVersion().Numbers() + "\thttps://x/\n"));
    StartReader(server);
    UpdateDialog* d = Open();
    ASSERT_TRUE(WaitForAnswer(d));
    EXPECT_EQ(d->ReleasedLine()->text().toStdString(), OwnProgramVersion().text);
    EXPECT_EQ(d->MessageLine()->text(), "You are running the most recent version.");
    EXPECT_FALSE(d->GetInfoButton()->isVisibleTo(d));
    d->reject();
    ProcessEvents();

    // The run's one checker kept the line: the next dialog answers at once.
    d = Open();
    ASSERT_NE(d, nullptr);
    ASSERT_TRUE(WaitForAnswer(d));
    EXPECT_EQ(d->MessageLine()->text(), "You are running the most recent version.");
    EXPECT_EQ(server.Requests().size(), 1u);
}

TEST_F(UpdateDialogTest, AFailedCheckLeavesTheLastDate) {
    LoopbackHttpsServer server(LoopbackHttpsServer::Answering("QBR\t99.0.2.0\tx\n", 404));
    StartReader(server);
    UpdateDialog* d = Open();
    ASSERT_TRUE(WaitForAnswer(d));
    EXPECT_EQ(d->ReleasedLine()->text(), "Unable to get update information.");
    EXPECT_EQ(d->MessageLine()->text(), "Please try again later.");
    EXPECT_FALSE(d->GetInfoButton()->isVisibleTo(d));
    EXPECT_EQ(StoredInt("UpdateCheckLastDate"), 20200101);
}

TEST_F(UpdateDialogTest, ClosingAbandonsTheRequest) {
    LoopbackHttpsServer server(LoopbackHttpsServer::Silent(Mode::SilentTls));
    StartReader(server, "UpdateCheckFreq=90\n");
    // A budget shorter than the wait below: an answer not abandoned would
    // arrive within it.
    http.budgetMs = 600;

    // Closed before the check began: no request at all.
    QPointer<UpdateDialog> d = Open();
    d->reject();
    RunLoopFor(400);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_TRUE(d.isNull());

    d = Open();
    ASSERT_TRUE(RunLoopUntil([&] { return server.Requests().size() == 1; }, 5000));
    EXPECT_TRUE(d->Checking());
    d->Frequency()->setCurrentIndex(d->Frequency()->findData(7));
    d->CloseButton()->click();
    RunLoopFor(1500);
    EXPECT_TRUE(d.isNull());
    EXPECT_EQ(http.delivered, 0);
    EXPECT_EQ(StoredInt("UpdateCheckFreq"), 7);
    EXPECT_EQ(StoredInt("UpdateCheckLastDate"), 20200101);
}

TEST_F(UpdateDialogTest, QuittingMidRequestEndsIt) {
    LoopbackHttpsServer server(LoopbackHttpsServer::Silent(Mode::SilentTls));
    StartReader(server, "UpdateCheckFreq=30\n");
    http.budgetMs = 600;
    QPointer<UpdateDialog> d = Open();
    ASSERT_TRUE(RunLoopUntil([&] { return server.Requests().size() == 1; }, 5000));
    Stop();  // the main window closes and the reader ends with the dialog open
    EXPECT_TRUE(d.isNull());
    RunLoopFor(1000);
    EXPECT_EQ(http.delivered, 0);
    EXPECT_EQ(StoredInt("UpdateCheckFreq"), 30);
}

TEST_F(UpdateDialogTest, WithoutAServerNothingIsAsked) {
    if (!ConfiguredUpdateUrl(nullptr).empty()) GTEST_SKIP() << "this build has an update server";
    StartReader("UpdateCheckFreq=-1\n");
    UpdateDialog* d = Open();
    ASSERT_NE(d, nullptr);
    RunLoopFor(400);
    EXPECT_TRUE(http.requests.empty());
    EXPECT_FALSE(d->Checking());
    EXPECT_EQ(d->ReleasedLine()->text().toStdString(), ResourceString(msg::kUpdateNoServer));
    EXPECT_EQ(d->MessageLine()->text().toStdString(), ResourceString(msg::kUpdateNoServerHint));
    d->reject();
    ProcessEvents();
    EXPECT_EQ(StoredInt("UpdateCheckFreq"), -1);
}

}  // namespace
}  // namespace qb::testing
