// qbx dump, run as a program: output, exit status, errors inside records,
// files that cannot be opened, and the ways a password is given.
#include <cstring>

#include "cli_fixture.h"
#include "datafile/data_file.h"
#include "datafile/records.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

// A strict JSON syntax check (the output is ours, so its depth is small).
class JsonCheck {
public:
    explicit JsonCheck(const std::string& s) : s_(s) {}
    bool Valid() {
        Ws();
        if (!Value()) return false;
        Ws();
        return i_ == s_.size();
    }

private:
    void Ws() {
        while (i_ < s_.size() && strchr(" \t\r\n", s_[i_]))
            ++i_;
    }
    bool Lit(const char* w) {
        size_t n = strlen(w);
        if (s_.compare(i_, n, w) != 0) return false;
        i_ += n;
        return true;
    }
    bool String() {
        if (s_[i_] != '"') return false;
        for (++i_; i_ < s_.size(); ++i_) {
            unsigned char c = s_[i_];
            if (c == '"') {
                ++i_;
                return true;
            }
            if (c < 0x20) return false;
            if (c == '\\') {
                if (++i_ >= s_.size()) return false;
                char e = s_[i_];
                if (e == 'u') {
                    for (int k = 0; k < 4; ++k)
                        if (++i_ >= s_.size() || !isxdigit(static_cast<unsigned char>(s_[i_])))
                            return false;
                } else if (!strchr("\"\\/bfnrt", e)) {
                    return false;
                }
            }
        }
        return false;
    }
    bool Number() {
        size_t start = i_;
        if (s_[i_] == '-') ++i_;
        while (i_ < s_.size() && isdigit(static_cast<unsigned char>(s_[i_])))
            ++i_;
        return i_ > start && s_[i_ - 1] != '-';
    }
    bool Value() {
        if (i_ >= s_.size()) return false;
        char c = s_[i_];
        if (c == '{' || c == '[') {
            char close = c == '{' ? '}' : ']';
            ++i_;
            Ws();
            if (i_ < s_.size() && s_[i_] == close) return ++i_, true;
            for (;;) {
                Ws();
                if (c == '{') {
                    if (!String()) return false;
                    Ws();
                    if (i_ >= s_.size() || s_[i_++] != ':') return false;
                    Ws();
                }
                if (!Value()) return false;
                Ws();
                if (i_ >= s_.size()) return false;
                if (s_[i_] == ',') {
                    ++i_;
                    continue;
                }
                if (s_[i_] == close) return ++i_, true;
                return false;
            }
        }
        if (c == '"') return String();
        if (c == 't') return Lit("true");
        if (c == 'f') return Lit("false");
        if (c == 'n') return Lit("null");
        return Number();
    }
    const std::string& s_;
    size_t i_ = 0;
};

class DumpTest : public ::testing::Test {
protected:
    std::string WriteFile(const qbw::FileBuilder& b, const std::string& name = "dump.qbx") {
        return dir_.Write(name, b.Build());
    }
    TempDir dir_;
};

qbw::FileBuilder Sample() {
    qbw::FileBuilder b;
    b.SetRecord(table::kKeywords, 0, qbw::EncodeKeyword("Animals", {4, 1}));
    b.SetRecord(table::kKeywords, 2, qbw::EncodeKeyword("Caf\xE9", {1}, 2, true));
    b.SetRecord(table::kGroups, 0, qbw::EncodeGroup("Pets", {2, 0}));
    qbw::ArticleData a;
    a.articleDate = 20240131;
    a.title = "Quote \" back\\slash \x01 tab\t \x80uro";
    a.plainText = "line1\r\nline2";
    a.keywordIds = {0, 2};
    a.attachments = {{1, "C:\\notes\\a.txt", -1, 0, qbw::AttachmentForm::kString}};
    a.display.wordWrap = 1;
    b.SetRecord(table::kArticles, 0, qbw::EncodeArticleOld(a, 6));
    qbw::ArticleData n;
    n.level = 6;
    n.articleDate = 20240101;
    n.title = "New";
    n.richText = "{\\rtf1 x}";
    n.links = {{0, 5, 3, 2, 20240101, 3600, ""}};
    b.SetRecord(table::kArticles, 1, qbw::EncodeArticleNew(n));
    // Article 2: its text claims more bytes than its chain holds.
    b.SetRecord(table::kArticles, 2,
                qbw::Encoder().TaggedInt16(3).TaggedInt32(1).String("t").Int32(1 << 24).Str());
    b.SetTableCount(table::kArticles, 5);  // slots 3 and 4 empty
    b.SetStream(stream_id::kBookmarks, qbw::EncodeIdStream({1}));
    b.SetStream(stream_id::kExportHeader, qbw::EncodeTextStream("My notes"));
    b.SetStream(stream_id::kPageSetup,
                qbw::EncodePageSetup({50, 75, 50, 75, 0, 0, 1, 1, 0, 1, 1, 0}));
    b.SetStream(stream_id::kSavedQueries,
                qbw::EncodeSavedQueries({{"Cats", "cat AND NOT dog"}}, {0}));
    b.SetStream(stream_id::kReminders, qbw::EncodeReminders({{3, 20240101, 0, 4, ""}}));
    return b;
}

TEST_F(DumpTest, WholeFileAsJson) {
    std::string path = WriteFile(Sample());
    ProgramResult r = RunQbx({"dump", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(JsonCheck(r.out).Valid()) << r.out;
    const std::string& o = r.out;
    EXPECT_TRUE(Has(o, "\"path\": \"" + path + "\""));
    EXPECT_TRUE(Has(o, "\"version\": 300"));
    EXPECT_TRUE(Has(o, "\"articles\": {\"count\": 5, \"free\": 2}"));
    EXPECT_TRUE(Has(o, "{\"id\": 0, \"level\": 2, \"name\": \"Animals\", \"articles\": [1, 4]}"));
    EXPECT_TRUE(Has(o, "\"name\": \"Caf\xC3\xA9\""));  // decoded to UTF-8
    EXPECT_TRUE(Has(o, "{\"id\": 0, \"name\": \"Pets\", \"keywords\": [0, 2]"));
    EXPECT_TRUE(Has(o, "\"title\": \"Quote \\\" back\\\\slash \\u0001 tab\\t \xE2\x82\xACuro\""));
    // An old level-6 record stores no rich text: its plain text is the content.
    EXPECT_TRUE(Has(o, "\"contentType\": \"rtf\", \"content\": \"line1\\r\\nline2\""));
    EXPECT_FALSE(Has(o, "\"plainText\": \"line1"));
    EXPECT_TRUE(Has(o, "\"created\": [20240131, 0]"));
    EXPECT_TRUE(Has(o, "\"target\": \"C:\\\\notes\\\\a.txt\""));
    EXPECT_TRUE(Has(o, "\"format\": \"new\""));
    EXPECT_TRUE(Has(o,
                    "{\"start\": 0, \"end\": 5, \"kind\": 3, \"articleId\": 2, \"date\": "
                    "20240101, \"time\": 3600, \"target\": \"\"}"));
    EXPECT_TRUE(Has(o, "{\"id\": 2, \"error\": 5}"));
    EXPECT_FALSE(Has(o, "\"id\": 3"));  // empty slots are not listed
    EXPECT_TRUE(Has(o, "\"bookmarks\": [1]"));
    EXPECT_TRUE(Has(o, "\"printHeader\": null"));
    EXPECT_TRUE(Has(o, "\"exportHeader\": \"My notes\""));
    EXPECT_TRUE(Has(o, "\"pageSetup\": [50, 75, 50, 75, 0, 0, 1, 1, 0, 1, 1, 0]"));
    EXPECT_TRUE(Has(o, "\"fileSettings\": null"));
    EXPECT_TRUE(Has(o,
                    "\"savedQueries\": [{\"name\": \"Cats\", \"text\": \"cat AND NOT dog\", "
                    "\"from\": -2147483648, \"to\": 2147483647}]"));
    EXPECT_TRUE(Has(o, "\"recentQueries\": [0]"));
    EXPECT_TRUE(Has(o, "\"privacy\": null"));
    EXPECT_TRUE(Has(o,
                    "\"reminders\": [{\"level\": 3, \"serial\": 0, \"date\": 20240101, "
                    "\"time\": 0, \"articleId\": 4}]"));
}

TEST_F(DumpTest, DamagedStreamsAndTablesBecomeErrorEntries) {
    qbw::FileBuilder b = Sample();
    b.SetStream(stream_id::kPrivateIds, qbw::Encoder().Int32(1 << 24).Str());
    qbw::Image img = b.BuildImage();
    // The keyword table starts beyond the file: listing it fails, the rest goes on.
    img.PatchInt32(qbw::hdr::Descriptor(table::kKeywords) + 8, 0x7FFFFFF0);
    std::string path = dir_.Write("damaged.qbx", img.bytes);
    ProgramResult r = RunQbx({"dump", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(JsonCheck(r.out).Valid()) << r.out;
    EXPECT_TRUE(Has(r.out, "\"private\": {\"error\": 5}"));
    EXPECT_TRUE(Has(r.out, "\"keywords\": {\"error\": 10}"));
    EXPECT_TRUE(Has(r.out, "\"exportHeader\": \"My notes\""));
}

TEST_F(DumpTest, FileThatCannotBeOpened) {
    std::string missing = dir_.Path() + "/missing.qbx";
    ProgramResult r = RunQbx({"dump", missing});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(Has(r.err, "error: Can not find this file: " + missing + "\n")) << r.err;

    std::string bad = dir_.Write("bad.qbx", "QA" + std::string(300, '\0'));
    r = RunQbx({"dump", bad});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "error: This file is not a Quillbox data file: " + bad + "\n")) << r.err;
}

TEST_F(DumpTest, UsageErrors) {
    EXPECT_EQ(RunQbx({"dump"}).status, 2);
    EXPECT_EQ(RunQbx({"dump", "--password=x", "f.qbx"}).status, 2);  // never an argument
    EXPECT_EQ(RunQbx({"dump", "a.qbx", "b.qbx"}).status, 2);
}

class DumpPasswordTest : public DumpTest {
protected:
    void SetUp() override {
        qbw::Key16 salt{}, material{};
        for (int i = 0; i < 16; ++i) {
            salt[i] = static_cast<uint8_t>(i + 1);
            material[i] = static_cast<uint8_t>(0x55 ^ i);
        }
        // The password is "Caf\xE9" in Windows-1252, typed as UTF-8.
        qbw::Privacy p = qbw::MakePrivacy("Caf\xE9", salt, material);
        qbw::ArticleData a;
        a.level = 6;
        a.flags = 3;
        a.title = "Hidden";
        a.richText = "{\\rtf1 secret}";
        qbw::NewArticleOptions o;
        o.blobs.mode = qbw::BlobMode::kPrivate;
        o.blobs.contentKey = p.contentKey;
        o.blobs.salt = 99;
        qbw::ArticleData open;
        open.level = 4;
        open.title = "Open";
        qbw::FileBuilder b;
        b.SetRecord(table::kArticles, 0, qbw::EncodeArticleNew(open));
        b.SetRecord(table::kArticles, 1, qbw::EncodeArticleNew(a, o));
        b.SetStream(stream_id::kPrivacy, p.stream);
        b.SetStream(stream_id::kPrivateIds, qbw::EncodeIdStream({1}));
        path = WriteFile(b);
    }
    std::string path;
};

TEST_F(DumpPasswordTest, WithoutAPasswordPrivateArticlesAreErrors) {
    ProgramResult r = RunQbx({"dump", path});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "{\"id\": 1, \"error\": 5}"));
    EXPECT_TRUE(Has(r.out, "\"title\": \"Open\""));
    EXPECT_TRUE(Has(r.out, "\"privacy\": {\"passwordSet\": true, \"unlocked\": false}"));
    EXPECT_TRUE(Has(r.out, "\"private\": [1]"));
}

TEST_F(DumpPasswordTest, PasswordFromStdinOrEnvironment) {
    std::string typed = "Caf\xC3\xA9\n";
    ProgramResult r = RunQbx({"dump", "--password-stdin", path}, RunOptions().Input(typed));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"title\": \"Hidden\""));
    EXPECT_TRUE(Has(r.out, "\"content\": \"{\\\\rtf1 secret}\""));

    r = RunQbx({"dump", path}, RunOptions().Env("QBX_PASSWORD", "Caf\xC3\xA9"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"title\": \"Hidden\""));
    EXPECT_TRUE(Has(r.out, "\"unlocked\": true"));
}

TEST_F(DumpPasswordTest, WrongPasswordFails) {
    std::string typed = "caf\xC3\xA9\n";
    ProgramResult r = RunQbx({"dump", "--password-stdin", path}, RunOptions().Input(typed));
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(r.out.empty());
    EXPECT_TRUE(Has(r.err, "error: The entered password is invalid for the file: " + path + "\n"))
        << r.err;
}

TEST_F(DumpTest, FollowsThePasswordRulesOfTheDocumentCommands) {
    std::string asks = PasswordFile(dir_, 1);
    ProgramResult r = RunQbx({"dump", asks});
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(Has(r.err, "error: The entered password is invalid for the file: " + asks + "\n"))
        << r.err;
    r = RunQbx({"dump", asks}, RunOptions().Env("QBX_PASSWORD", "pw"));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": true")) << r.out;

    std::string locked = PasswordFile(dir_, 0);
    r = RunQbx({"dump", locked});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(Has(r.out, "\"unlocked\": false")) << r.out;
}

}  // namespace
}  // namespace qb::testing
