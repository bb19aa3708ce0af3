// qbx info and qbx keywords, run as a program: the password rules, the
// keyword list bytes and the JSON counts.
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include "doc_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

struct RunResult {
    int status = -1;
    std::string out, err;
};

RunResult RunQbx(const TempDir& dir, const std::vector<std::string>& args,
                 const std::string* input = nullptr, const std::vector<std::string>& env = {}) {
    std::string bin = QB_BINARY_DIR "/bin/qbx";
    std::string in = input ? dir.Write("stdin.txt", *input) : "/dev/null";
    std::string out = dir.Path() + "/stdout.txt", err = dir.Path() + "/stderr.txt";
    std::vector<std::string> argv = {bin};
    argv.insert(argv.end(), args.begin(), args.end());
    pid_t pid = fork();
    if (pid == 0) {
        int i = open(in.c_str(), O_RDONLY);
        int o = open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        int e = open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (i < 0 || o < 0 || e < 0) _exit(126);
        dup2(i, 0);
        dup2(o, 1);
        dup2(e, 2);
        unsetenv("QBX_PASSWORD");
        for (const std::string& kv : env)
            putenv(const_cast<char*>(kv.c_str()));
        std::vector<char*> cargv;
        for (auto& a : argv)
            cargv.push_back(const_cast<char*>(a.c_str()));
        cargv.push_back(nullptr);
        execv(bin.c_str(), cargv.data());
        _exit(127);
    }
    RunResult r;
    int st = 0;
    if (pid > 0 && waitpid(pid, &st, 0) == pid && WIFEXITED(st)) r.status = WEXITSTATUS(st);
    r.out = TempDir::Read(out);
    r.err = TempDir::Read(err);
    return r;
}

bool Has(const std::string& s, const std::string& part) {
    return s.find(part) != std::string::npos;
}

std::string PasswordFile(const TempDir& dir, int32_t flags) {
    qbw::Privacy p = qbw::MakePrivacy("pw", {}, {9, 9, 9});
    qbw::FileBuilder b;
    b.SetFlags(flags);
    b.SetRecord(1, 0, Article("open"));
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kPrivate;
    o.blobs.contentKey = p.contentKey;
    b.SetRecord(1, 1, Article("hidden", 0x0003, o));
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({1}));
    b.SetRecord(0, 0, Keyword("zeta")).SetRecord(0, 1, Keyword("Alpha"));
    return dir.Write(flags ? "asks.qbx" : "locked.qbx", b.Build());
}

TEST(QbxDocumentCommands, FileAskingAtOpenFailsWithoutTheRightPassword) {
    TempDir dir;
    std::string path = PasswordFile(dir, 1);
    for (const std::vector<std::string>& env :
         {std::vector<std::string>{}, std::vector<std::string>{"QBX_PASSWORD=PW"}}) {
        RunResult r = RunQbx(dir, {"info", path}, nullptr, env);
        EXPECT_EQ(r.status, 1);
        EXPECT_TRUE(Has(r.err, FormatResource(1148, path))) << r.err;
        EXPECT_TRUE(r.out.empty());
    }
    std::string typed = "pw\n";
    RunResult r = RunQbx(dir, {"info", "--json", "--password-stdin", path}, &typed);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": true")) << r.out;
    EXPECT_TRUE(Has(r.out, "\"visible\": 2")) << r.out;
}

TEST(QbxDocumentCommands, FileNotAskingOpensLockedAndAGivenPasswordUnlocks) {
    TempDir dir;
    std::string path = PasswordFile(dir, 0);
    RunResult r = RunQbx(dir, {"info", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Private articles shown: no\n")) << r.out;
    EXPECT_TRUE(Has(r.out, "Visible articles: 1\n")) << r.out;

    r = RunQbx(dir, {"info", path}, nullptr, {"QBX_PASSWORD=pw"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "Visible articles: 2\n")) << r.out;

    r = RunQbx(dir, {"info", path}, nullptr, {"QBX_PASSWORD=nope"});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, FormatResource(1148, path))) << r.err;
}

TEST(QbxDocumentCommands, KeywordsPrintsTheExportedBytes) {
    TempDir dir;
    std::string path = PasswordFile(dir, 0);
    RunResult r = RunQbx(dir, {"keywords", path});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "Alpha\r\nzeta\r\n");
    EXPECT_EQ(RunQbx(dir, {"keywords", "--password", "x", path}).status, 2);
    EXPECT_EQ(RunQbx(dir, {"keywords", dir.Path() + "/none.qbx"}).status, 1);
}

TEST(QbxDocumentCommands, DumpFollowsTheSamePasswordRules) {
    TempDir dir;
    std::string asks = PasswordFile(dir, 1);
    RunResult r = RunQbx(dir, {"dump", asks});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, FormatResource(1148, asks))) << r.err;
    r = RunQbx(dir, {"dump", asks}, nullptr, {"QBX_PASSWORD=pw"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": true")) << r.out;

    std::string locked = PasswordFile(dir, 0);
    r = RunQbx(dir, {"dump", locked});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": false")) << r.out;
}

}  // namespace
}  // namespace qb::testing
