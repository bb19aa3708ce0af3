// The update check over a scripted HTTP port, and the dialog's rules.
#include <gtest/gtest.h>

#include "app/profile_store.h"
#include "app/settings.h"
#include "support/recording_launcher.h"
#include "support/recording_ui.h"
#include "support/scripted_http.h"
#include "update/update_dialog_model.h"

namespace qb {
namespace {

constexpr char kUrl[] = "https://updates.example/update.txt";

struct CheckFixture : ::testing::Test {
    ScriptedHttp http;
    UpdateChecker checker{MakeProgramVersion(4, 13, 2, 81)};
    std::vector<UpdateResult> results;

    void Start() {
        checker.Start(http, UpdateCheckRequest(kUrl), UpdateCheckQuery(),
                      [this](UpdateResult r) { results.push_back(r); });
    }
};

TEST_F(CheckFixture, NewerEqualOlderAndMissing) {
    struct Case {
        const char* file;
        UpdateResult expected;
    } cases[] = {
        {"QBR\t4.14.0.1\thttps://p/\n", UpdateResult::Newer},
        {"qbr\t4.13.2.81\thttps://p/\n", UpdateResult::Latest},
        {"QBR\t4.12.2.99\thttps://p/\n", UpdateResult::Latest},
        {"QBR\tone tab only\nQBR\t4.13.2.90\thttps://p/\n", UpdateResult::Newer},
        {"OTHER\t9.0.0.0\thttps://p/\n", UpdateResult::Failed},
    };
    for (const Case& c : cases) {
        UpdateChecker fresh(MakeProgramVersion(4, 13, 2, 81));
        results.clear();
        fresh.Start(http, UpdateCheckRequest(kUrl), UpdateCheckQuery(),
                    [this](UpdateResult r) { results.push_back(r); });
        ASSERT_TRUE(http.Pending());
        EXPECT_TRUE(results.empty());  // never from inside Start
        http.AnswerBody(c.file);
        ASSERT_EQ(results.size(), 1u) << c.file;
        EXPECT_EQ(results[0], c.expected) << c.file;
        EXPECT_FALSE(fresh.InProgress());
    }
}

TEST_F(CheckFixture, TheRequestCarriesTheQueryAndTheBoundedTime) {
    Start();
    ASSERT_EQ(http.requests.size(), 1u);
    const HttpRequest& r = http.requests[0];
    EXPECT_EQ(r.url, std::string(kUrl) + SourceQueryText(UpdateCheckQuery()));
    EXPECT_EQ(r.url.find("?source=F"), std::string(kUrl).size());
    EXPECT_EQ(r.connectTimeoutMs, 500);
    EXPECT_EQ(r.retries, 2);
    EXPECT_GE(r.totalBudgetMs, (r.retries + 1) * r.connectTimeoutMs);
}

TEST_F(CheckFixture, TheFoundLineIsKeptForASecondCheck) {
    Start();
    http.AnswerBody("QBR\t4.14.0.1\thttps://p/news\n");
    Start();  // compares again, no download
    EXPECT_EQ(http.requests.size(), 1u);
    EXPECT_EQ(results, (std::vector<UpdateResult>{UpdateResult::Newer, UpdateResult::Newer}));
    EXPECT_EQ(checker.FoundPage(), "https://p/news");
    ASSERT_TRUE(checker.FoundVersion());
    EXPECT_EQ(checker.FoundVersion()->text, "4.1.4.1 (Alpha)");
}

TEST_F(CheckFixture, FailuresClearTheFoundLine) {
    Start();
    http.Fail(HttpOutcome::TlsError, "certificate not trusted");
    EXPECT_EQ(results, std::vector<UpdateResult>{UpdateResult::Failed});
    EXPECT_EQ(checker.FailureReason(), "certificate not trusted");
    EXPECT_FALSE(checker.FoundVersion());
    // A 404 is a failure too, and the next check downloads again.
    Start();
    HttpResponse notFound;
    notFound.outcome = HttpOutcome::HttpError;
    notFound.status = 404;
    http.Answer(notFound);
    EXPECT_EQ(results.back(), UpdateResult::Failed);
    EXPECT_EQ(http.requests.size(), 2u);
}

TEST_F(CheckFixture, OnlyHttpsAndCancelCallsNothing) {
    checker.Start(http, UpdateCheckRequest("http://plain.example/update.txt"), UpdateCheckQuery(),
                  [this](UpdateResult r) { results.push_back(r); });
    EXPECT_EQ(results, std::vector<UpdateResult>{UpdateResult::Failed});
    EXPECT_TRUE(http.requests.empty());

    results.clear();
    Start();
    checker.Cancel();
    EXPECT_EQ(http.cancels, 1);
    EXPECT_FALSE(http.Pending());
    EXPECT_TRUE(results.empty());
}

TEST(UpdateFrequency, StoredDaysToTheChoice) {
    EXPECT_EQ(FrequencyChoice(91), 90);
    EXPECT_EQ(FrequencyChoice(31), 90);
    EXPECT_EQ(FrequencyChoice(30), 30);
    EXPECT_EQ(FrequencyChoice(8), 30);
    EXPECT_EQ(FrequencyChoice(7), 7);
    EXPECT_EQ(FrequencyChoice(1), 7);
    EXPECT_EQ(FrequencyChoice(0), -1);
    EXPECT_EQ(FrequencyChoice(-1), -1);
}

struct DialogFixture : CheckFixture {
    Settings settings;
    ProfileStore store;
    std::unique_ptr<UpdateDialogModel> model;
    void Open(std::string url = kUrl) {
        settings.SetDefaults();
        model = std::make_unique<UpdateDialogModel>(checker, settings, store, url,
                                                    [] { return 20261209; });
    }
};

TEST_F(DialogFixture, TextsForEveryResultAndTheDateOnlyAfterSuccess) {
    store.WriteInt("Quillbox", "UpdateCheckLastDate", 20200101);
    settings.Load(store);
    Open();
    EXPECT_EQ(model->Texts().installed, "4.1.3");
    EXPECT_EQ(model->Texts().released, "Checking...");

    model->StartCheck(http, [](UpdateResult) {});
    http.Fail(HttpOutcome::NoAnswer);
    EXPECT_EQ(model->Texts().released, "Unable to get update information.");
    EXPECT_EQ(model->Texts().message, "Please try again later.");
    EXPECT_FALSE(model->Texts().showGetInfo);
    EXPECT_EQ(store.GetInt("Quillbox", "UpdateCheckLastDate", 0), 20200101);

    model->StartCheck(http, [](UpdateResult) {});
    http.AnswerBody("QBR\t4.13.2.81\thttps://p/\n");
    EXPECT_EQ(model->Texts().released, "4.1.3");
    EXPECT_EQ(model->Texts().message, "You are running the most recent version.");
    EXPECT_EQ(store.GetInt("Quillbox", "UpdateCheckLastDate", 0), 20261209);
}

TEST_F(DialogFixture, NewerShowsGetUpdateInfoThroughTheLauncher) {
    Open();
    model->StartCheck(http, [](UpdateResult) {});
    http.AnswerBody("QBR\t4.14.2.0\thttps://example.org/new?x=1\n");
    EXPECT_EQ(model->Texts().message, "A more recent version is available.");
    EXPECT_EQ(model->Texts().released, "4.1.4");
    EXPECT_TRUE(model->Texts().showGetInfo);

    RecordingLauncher launcher;
    RecordingUi ui;
    EXPECT_TRUE(model->OpenUpdatePage(launcher, ui));
    ASSERT_EQ(launcher.calls.size(), 1u);
    EXPECT_EQ(launcher.calls[0].target,
              "https://example.org/new?x=1" + SourceQueryText(UpdateCheckQuery()));
    launcher.result = LaunchResult::NoProgram;
    EXPECT_FALSE(model->OpenUpdatePage(launcher, ui));
    // Message 1003 names the address without its query.
    EXPECT_NE(ui.LastText().find("Unable to open https://example.org/new.\n"), std::string::npos)
        << ui.LastText();
}

TEST_F(DialogFixture, ClosingMidRequestCancelsAndWritesTheFrequency) {
    Open();
    int changes = 0;
    model->StartCheck(http, [&](UpdateResult) { ++changes; });
    ASSERT_TRUE(http.Pending());
    model->Close(30);
    EXPECT_FALSE(http.Pending());
    EXPECT_EQ(changes, 0);
    EXPECT_EQ(store.GetInt("Quillbox", "UpdateCheckFreq", 0), 30);
    model->Close(12);  // not a choice: none
    EXPECT_EQ(store.GetInt("Quillbox", "UpdateCheckFreq", 0), -1);
}

TEST_F(DialogFixture, WithoutAServerNothingIsRequested) {
    Open("");
    EXPECT_FALSE(model->HasServer());
    EXPECT_EQ(model->Texts().released, "No update server is configured for this build.");
    model->StartCheck(http, [](UpdateResult) {});
    EXPECT_TRUE(http.requests.empty());
}

TEST(UpdateUrl, TheSettingOverridesTheBuild) {
    ProfileStore store;
    EXPECT_EQ(ConfiguredUpdateUrl(&store), ConfiguredUpdateUrl(nullptr));
    store.WriteString("Quillbox", "UpdateURL", "https://mirror.example/update.txt");
    EXPECT_EQ(ConfiguredUpdateUrl(&store), "https://mirror.example/update.txt");
}

}  // namespace
}  // namespace qb
