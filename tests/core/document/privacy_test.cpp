// Private articles: the password at open, the three states, the visible
// sets and counts, and the Show Private Articles command.
#include "doc_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

using ::testing::ElementsAre;

const qbw::Key16 kSalt{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
const qbw::Key16 kMaterial{0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
                           0xA8, 0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};

// Five articles, 1 and 2 private (their titles in private blobs), 4
// excluded, bookmarks 1 and 3.
qbw::FileBuilder PrivateFile(const std::string& password, int32_t flags = 0,
                             int16_t passwordSet = 1) {
    qbw::Privacy p = qbw::MakePrivacy(password, kSalt, kMaterial, passwordSet);
    qbw::FileBuilder b;
    b.SetFlags(flags);
    for (int i = 0; i < 5; ++i) {
        bool isPrivate = i == 1 || i == 2;
        qbw::NewArticleOptions o;
        if (isPrivate) {
            o.blobs.mode = qbw::BlobMode::kPrivate;
            o.blobs.contentKey = p.contentKey;
            o.blobs.salt = 100 * i;
        }
        b.SetRecord(1, i, Article("Title " + std::to_string(i), isPrivate ? 0x0003 : 0, o));
    }
    b.SetStream(qbw::stream::kPrivacy, p.stream);
    b.SetStream(qbw::stream::kPrivateIds, qbw::EncodeIdStream({2, 1}));
    b.SetStream(qbw::stream::kExcludedIds, qbw::EncodeIdStream({4}));
    b.SetStream(qbw::stream::kBookmarks, qbw::EncodeIdStream({1, 3}));
    return b;
}

TEST_F(DocTest, LockedFileHidesItsPrivateArticlesFromSetsAndCounts) {
    ASSERT_TRUE(Open(PrivateFile("Secret")));
    EXPECT_TRUE(ui.passwordRequests.empty()) << "this file does not ask at open";
    EXPECT_EQ(doc->Privacy().GetState(), PrivacyState::State::Locked);
    EXPECT_EQ(doc->File().LiveCount(table::kArticles), 5);
    EXPECT_EQ(doc->VisibleCount(), 5 - 1 - 2);
    IdSet v;
    doc->VisibleArticles(v);
    EXPECT_THAT(Ids(v), ElementsAre(0, 3));
    EXPECT_EQ(doc->VisibleBookmarkCount(), 1);
    EXPECT_EQ(doc->PrivateCount(), 2);
    EXPECT_TRUE(doc->IsPrivate(1));
    EXPECT_THROW(doc->Summary(1), CQuillError) << "the zero key cannot read a private title";

    CommandState st = doc->ShowPrivateArticlesState();
    EXPECT_TRUE(st.enabled);
    EXPECT_FALSE(st.checked);
}

TEST_F(DocTest, ShowPrivateArticlesUnlocksAndLocksAgain) {
    ASSERT_TRUE(Open(PrivateFile("Secret")));
    ui.QueuePassword("secret");  // wrong: letter case differs
    doc->OnShowPrivateArticles();
    EXPECT_EQ(ui.LastText(), ResourceString(msg::kWrongCurrentPassword));
    EXPECT_FALSE(doc->IsUnlocked());
    EXPECT_EQ(index.Count("OnPrivacyChanged"), 0);

    ui.QueuePassword("Secret");
    doc->OnShowPrivateArticles();
    ASSERT_TRUE(doc->IsUnlocked());
    EXPECT_TRUE(doc->ShowPrivateArticlesState().checked);
    EXPECT_EQ(doc->VisibleCount(), 4);
    EXPECT_EQ(doc->VisibleBookmarkCount(), 2);
    EXPECT_EQ(doc->Summary(1).title, "Title 1");
    EXPECT_EQ(index.Count("OnPrivacyChanged"), 1);
    EXPECT_EQ(main.refreshes, 1);

    // A window that refuses to close keeps everything as it is.
    main.allowClose = false;
    size_t before = ui.Count();
    doc->OnShowPrivateArticles();
    EXPECT_TRUE(doc->IsUnlocked());
    EXPECT_EQ(ui.Count(), before + 1);
    EXPECT_THAT(Ids(main.closeRequested), ElementsAre(1, 2));

    main.allowClose = true;
    doc->OnShowPrivateArticles();
    EXPECT_FALSE(doc->IsUnlocked());
    EXPECT_EQ(doc->VisibleCount(), 2);
    EXPECT_FALSE(doc->HasSummary(1)) << "private summaries are dropped when locking";
    EXPECT_THROW(doc->Summary(1), CQuillError);
    EXPECT_EQ(index.Count("OnPrivacyChanged"), 2);
}

// The dialog hands on UTF-8; the file was protected with the bytes the
// writing program had in its code page.
TEST_F(DocTest, APasswordWithAccentsUnlocksAsItWasTypedOnWindows) {
    ASSERT_TRUE(Open(PrivateFile("Caf\xE9")));  // Windows-1252
    ui.QueuePassword("Caf\xC3\xA9");            // UTF-8
    doc->OnShowPrivateArticles();
    EXPECT_TRUE(doc->IsUnlocked()) << ui.LastText();
    doc->Lock();
    ui.QueuePassword("Cafe");
    doc->OnShowPrivateArticles();
    EXPECT_FALSE(doc->IsUnlocked());

    ui.QueuePassword("Caf\xC3\xA9");
    ASSERT_TRUE(Open(PrivateFile("Caf\xE9", 1))) << ui.LastText();  // asks at open
    EXPECT_TRUE(doc->IsUnlocked());
}

TEST_F(DocTest, FileAskingAtOpenNeedsTheRightPassword) {
    auto b = PrivateFile("Secret", 1);

    ui.QueueCancel();
    EXPECT_FALSE(Open(b));
    EXPECT_EQ(ui.LastText(), FormatResource(msg::kPasswordInvalid, path));
    EXPECT_EQ(doc->LastOpenError(), err::kPasswordInvalid);
    EXPECT_FALSE(doc->IsOpen());

    // A wrong password is said and the dialog asks again; giving up there
    // fails the open.
    ui.Reset();
    ui.QueuePassword("SECRET");
    ui.QueueCancel();
    EXPECT_FALSE(Open(b));
    ASSERT_EQ(ui.Count(), 2u);
    EXPECT_EQ(ui.messages[0].text, ResourceString(msg::kWrongCurrentPassword));
    EXPECT_EQ(ui.LastText(), FormatResource(msg::kPasswordInvalid, path));

    // The second try in the same dialog opens the file.
    ui.QueuePassword("SECRET");
    ui.QueuePassword("Secret");
    ASSERT_TRUE(Open(b));
    EXPECT_THAT(ui.passwordRequests, ElementsAre("test.qbx", "test.qbx"));
    EXPECT_TRUE(doc->IsUnlocked());
    EXPECT_EQ(doc->VisibleCount(), 4);
    EXPECT_FALSE(doc->ShowPrivateArticlesState().enabled);
    EXPECT_TRUE(doc->ShowPrivateArticlesState().checked);
}

TEST_F(DocTest, EmptyPasswordIsRightOnlyForAFileProtectedWithIt) {
    ASSERT_TRUE(Open(PrivateFile("")));
    EXPECT_FALSE(doc->CheckPassword(" "));
    EXPECT_TRUE(doc->CheckPassword(""));
    EXPECT_EQ(doc->Summary(2).title, "Title 2");

    ASSERT_TRUE(Open(PrivateFile("x")));
    EXPECT_FALSE(doc->CheckPassword(""));
    EXPECT_FALSE(doc->IsUnlocked());
}

TEST_F(DocTest, FileWithoutPasswordShowsEverythingAndNeverLocks) {
    ASSERT_TRUE(Open(PrivateFile("Secret", 0, /*passwordSet=*/0)));
    EXPECT_EQ(doc->Privacy().GetState(), PrivacyState::State::NoPassword);
    EXPECT_EQ(doc->VisibleCount(), 4);
    EXPECT_FALSE(doc->ShowPrivateArticlesState().enabled);
    EXPECT_FALSE(doc->ShowPrivateArticlesState().checked);
    // Neither a wrong password nor Lock can hide articles nobody could show again.
    EXPECT_FALSE(doc->CheckPassword("nope"));
    doc->Lock();
    EXPECT_TRUE(doc->IsUnlocked());
    EXPECT_EQ(doc->VisibleCount(), 4);
}

TEST_F(DocTest, ReopeningStartsLockedWithAZeroKey) {
    ASSERT_TRUE(Open(PrivateFile("Secret")));
    ASSERT_TRUE(doc->CheckPassword("Secret"));
    ASSERT_TRUE(Open(PrivateFile("Secret"), "other.qbx"));
    EXPECT_FALSE(doc->IsUnlocked());
    EXPECT_EQ(doc->File().GetContentKey(), ContentKey{});
}

TEST_F(DocTest, PrivateArticleThatIsAlsoExcludedIsNotCountedTwice) {
    auto b = PrivateFile("Secret");
    b.SetStream(qbw::stream::kExcludedIds, qbw::EncodeIdStream({2, 4}));
    ASSERT_TRUE(Open(b));
    IdSet v;
    doc->VisibleArticles(v);
    EXPECT_EQ(doc->VisibleCount(), int32_t(v.Count()));
    EXPECT_EQ(doc->VisibleCount(), 2);
}

}  // namespace
}  // namespace qb::testing
