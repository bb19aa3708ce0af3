// The update check over real HTTPS on 127.0.0.1: MakeQtHttp and
// UpdateChecker against a server with a certificate only the test trusts,
// and qbx check-update against the same server.
#include <QElapsedTimer>
#include <optional>

#include <gtest/gtest.h>

#include "gui/app/gui_test_support.h"
#include "gui/update/loopback_https_server.h"
#include "gui/update/update_test_support.h"
#include "support/run_program.h"
#include "update/update_dialog_model.h"

namespace qb::testing {
namespace {

using Mode = LoopbackHttpsServer::Mode;

LoopbackHttpsServer::Options Serving(std::string body, int status = 200) {
    return LoopbackHttpsServer::Answering(std::move(body), status);
}

class UpdateOverHttps : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }

    // One check of `server` by a fresh checker for 4.13.2.81, the real
    // port and UpdateCheckRequest; waits at most `waitMs` for the answer.
    std::optional<UpdateResult> Check(const LoopbackHttpsServer& server,
                                      const std::string& caFile = CertPath("trusted"),
                                      int budgetMs = 0, int waitMs = 10000) {
        checker = std::make_unique<UpdateChecker>(MakeProgramVersion(4, 13, 2, 81));
        std::unique_ptr<HttpPort> http = MakeQtHttp();
        HttpRequest request = UpdateCheckRequest(server.Url());
        request.extraCaFile = caFile;
        if (budgetMs > 0) request.totalBudgetMs = budgetMs;
        std::optional<UpdateResult> result;
        checker->Start(*http, request, UpdateCheckQuery(), [&](UpdateResult r) { result = r; });
        RunLoopUntil([&] { return result.has_value(); }, waitMs);
        checker->Cancel();
        return result;
    }

    std::unique_ptr<UpdateChecker> checker;
};

TEST_F(UpdateOverHttps, TheListedVersionAgainstTheRunningOne) {
    struct Case {
        const char* file;
        UpdateResult expected;
        const char* page;
    } cases[] = {
        {"QBR\t4.14.0.1\thttps://example.test/new\n", UpdateResult::Newer,
         "https://example.test/new"},
        {"OTHER\t9.0.0.0\thttps://x/\nqbr\t4.13.2.81\thttps://example.test/same\n",
         UpdateResult::Latest, "https://example.test/same"},
        {"QBR\t4.12.9.999\thttps://example.test/old\r\n", UpdateResult::Latest,
         "https://example.test/old"},
        // A line with one tab is skipped; the next one counts.
        {"QBR\t9.9.9.9\nQBR\t4.13.2.82\thttps://example.test/next\n", UpdateResult::Newer,
         "https://example.test/next"},
        {"OTHER\t9.0.0.0\thttps://x/\n", UpdateResult::Failed, ""},
        {"", UpdateResult::Failed, ""},
    };
    for (const Case& c : cases) {
        LoopbackHttpsServer server(Serving(c.file));
        ASSERT_NE(server.Port(), 0);
        EXPECT_EQ(Check(server), c.expected) << c.file;
        EXPECT_EQ(checker->FoundPage(), c.page) << c.file;
        // One request, for update.txt with the query string.
        std::vector<std::string> got = server.Requests();
        ASSERT_EQ(got.size(), 1u) << c.file;
        EXPECT_EQ(got[0], "GET /update.txt" + SourceQueryText(UpdateCheckQuery()) + " HTTP/1.1");
    }
}

TEST_F(UpdateOverHttps, AnErrorStatusFails) {
    LoopbackHttpsServer server(Serving("QBR\t9.0.0.0\thttps://x/\n", 404));
    EXPECT_EQ(Check(server), UpdateResult::Failed);
    EXPECT_NE(checker->FailureReason().find("404"), std::string::npos) << checker->FailureReason();
    EXPECT_FALSE(checker->FoundVersion());
}

TEST_F(UpdateOverHttps, ACertificateTheTestDoesNotTrustIsNeverAccepted) {
    LoopbackHttpsServer::Options o = Serving("QBR\t9.0.0.0\thttps://x/\n");
    o.cert = "untrusted";
    LoopbackHttpsServer untrusted(o);
    EXPECT_EQ(Check(untrusted), UpdateResult::Failed);
    EXPECT_GE(untrusted.Connections(), 1);
    EXPECT_TRUE(untrusted.Requests().empty());  // nothing was sent over it

    // The trusted one without the extra certificate: the system's do not know it.
    LoopbackHttpsServer trusted(Serving("QBR\t9.0.0.0\thttps://x/\n"));
    EXPECT_EQ(Check(trusted, ""), UpdateResult::Failed);
    EXPECT_TRUE(trusted.Requests().empty());
}

TEST_F(UpdateOverHttps, AServerThatNeverAnswersEndsTheCheckInBoundedTime) {
    const HttpRequest bounds = UpdateCheckRequest("https://127.0.0.1/");
    {
        // Accepted, and the handshake never answered: every attempt times
        // out, with the request's own limits.
        LoopbackHttpsServer server(LoopbackHttpsServer::Silent(Mode::SilentTcp));
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(Check(server, CertPath("trusted"), 0, bounds.totalBudgetMs + 5000),
                  UpdateResult::Failed);
        EXPECT_LT(clock.elapsed(), bounds.totalBudgetMs + 3000);
        EXPECT_EQ(server.Connections(), bounds.retries + 1) << checker->FailureReason();
    }
    {
        // The request read and never answered: the total budget ends it.
        LoopbackHttpsServer server(LoopbackHttpsServer::Silent(Mode::SilentTls));
        QElapsedTimer clock;
        clock.start();
        EXPECT_EQ(Check(server, CertPath("trusted"), 1200, 8000), UpdateResult::Failed);
        EXPECT_LT(clock.elapsed(), 1200 + 3000);
        EXPECT_EQ(server.Requests().size(), 1u);
    }
}

// qbx check-update against the loopback server: the dialog's lines on
// stdout, exit 0 for an answer and 1 for a failure.
class QbxCheckUpdate : public ::testing::Test {
protected:
    void SetUp() override { EnsureQApplication(); }  // the server's thread needs one
    ProgramResult Qbx(const LoopbackHttpsServer& server, const std::string& cert = "trusted") {
        return RunProgram(std::string(QB_BINARY_DIR) + "/bin/qbx",
                          {"check-update", "--url", server.Url(), "--cafile", CertPath(cert)},
                          RunOptions().Env("LC_ALL", "C.UTF-8").Unset("QT_QPA_PLATFORM"));
    }
    const std::string installed = "Currently installed version: " + OwnProgramVersion().text + "\n";
};

TEST_F(QbxCheckUpdate, AnswersAndFailures) {
    ProgramVersion own = OwnProgramVersion();
    {
        LoopbackHttpsServer server(Serving("qbr\t" + own.Numbers() + "\thttps://example.test/\n"));
        ProgramResult r = Qbx(server);
        EXPECT_EQ(r.status, 0) << r;
        EXPECT_EQ(r.out, installed + "Currently released version: " + own.text +
                             "\nYou are running the most recent version.\n")
            << r;
    }
    {
        LoopbackHttpsServer server(Serving("QBR\t" + std::to_string(own.major + 1) +
                                           ".13.2.0\thttps://example.test/news\n"));
        ProgramResult r = Qbx(server);
        EXPECT_EQ(r.status, 0) << r;
        EXPECT_EQ(r.out,
                  installed + "Currently released version: " + std::to_string(own.major + 1) +
                      ".1.3\nA more recent version is available.\nhttps://example.test/news" +
                      SourceQueryText(UpdateCheckQuery()) + "\n")
            << r;
    }
    {
        LoopbackHttpsServer server(Serving("QBR\t99.0.2.0\thttps://x/\n", 404));
        ProgramResult r = Qbx(server);
        EXPECT_EQ(r.status, 1) << r;
        EXPECT_EQ(r.out, installed +
                             "Currently released version: Unable to get update information.\n"
                             "Please try again later.\n")
            << r;
        EXPECT_NE(r.err.find("404"), std::string::npos) << r;
    }
    {
        LoopbackHttpsServer server(Serving("QBR\t99.0.2.0\thttps://x/\n"));
        ProgramResult r = Qbx(server, "untrusted");
        EXPECT_EQ(r.status, 1) << r;
        EXPECT_TRUE(server.Requests().empty());
    }
}

}  // namespace
}  // namespace qb::testing
