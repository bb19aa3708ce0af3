// Article records: both layouts, every level, the display sections, the
// summary read, attachments and links.
#include "fixture.h"

namespace qb::testing {
namespace {

qbw::ArticleData Full() {
    qbw::ArticleData a;
    a.articleDate = 20240131;
    a.articleTime = 3600;
    a.title = "Title";
    a.plainText = "plain";
    a.richText = "{\\rtf1 rich}";
    a.spareText = "spare";
    a.keywordIds = {5, 1, 3};
    a.attachments = {{1, "C:\\notes\\a.txt", -1, 0, qbw::AttachmentForm::kString}};
    a.display.wordWrap = 7;
    a.display.linkDisplay = 2;
    a.display.autoOpen = 9;
    return a;
}

using ArticleTest = RecordsTest;

// Each old level adds one field; what lies above the level stays default.
TEST_F(ArticleTest, OldFormatTakesExactlyTheFieldsOfItsLevel) {
    defaults_.wordWrap = 1;
    for (int level = 0; level <= 9; ++level) {
        SCOPED_TRACE(level);
        CArticle a = Article(qbw::EncodeArticleOld(Full(), level));
        EXPECT_EQ(a.format, ArticleFormat::Old);
        EXPECT_EQ(a.level, level);
        EXPECT_EQ(a.articleDate, level >= 1 ? 20240131 : NIL_BLOCK);
        EXPECT_EQ(a.articleTime, 0);  // old records store no time
        EXPECT_EQ(a.title, level >= 2 ? "Title" : "");
        EXPECT_EQ(a.plainText, level >= 3 ? "plain" : "");
        EXPECT_EQ(a.keywordIds.size(), level >= 4 ? 3u : 0u);
        EXPECT_EQ(a.display.wordWrap, level >= 5 ? 7 : 1);
        EXPECT_EQ(a.attachments.size(), level >= 6 ? 1u : 0u);
        EXPECT_EQ(a.spareText, level >= 7 ? "spare" : "");
        EXPECT_EQ(a.richText, level >= 8 ? "{\\rtf1 rich}" : "");
        EXPECT_EQ(a.display.linkDisplay, level >= 9 ? 2 : 0);
        EXPECT_EQ(a.display.autoOpen, level >= 9 ? 9 : 0);
        EXPECT_EQ(a.IsRichText(), level >= 5);
    }
}

TEST_F(ArticleTest, OldLevelTwoFillsCreatedAndModifiedFromTheArticleDate) {
    CArticle a = Article(qbw::EncodeArticleOld(Full(), 2));
    EXPECT_EQ(a.createdDate, 20240131);
    EXPECT_EQ(a.modifiedDate, 20240131);
    EXPECT_EQ(a.createdTime, 0);
    EXPECT_EQ(a.modifiedTime, 0);
}

TEST_F(ArticleTest, ContentFollowsTheLevel) {
    CArticle four = Article(qbw::EncodeArticleOld(Full(), 4));
    EXPECT_EQ(four.Content(), "plain");
    EXPECT_TRUE(four.richText.empty());
    CArticle eight = Article(qbw::EncodeArticleOld(Full(), 8));
    EXPECT_EQ(eight.Content(), "{\\rtf1 rich}");
}

TEST_F(ArticleTest, OldAttachmentsAndKeywordsKeepTheirStoredOrder) {
    CArticle a = Article(qbw::EncodeArticleOld(Full(), 6));
    EXPECT_EQ(a.keywordIds, (std::vector<int32_t>{5, 1, 3}));
    ASSERT_EQ(a.attachments.size(), 1u);
    EXPECT_EQ(a.attachments[0].kind, 1);
    EXPECT_EQ(a.attachments[0].target, "C:\\notes\\a.txt");
    EXPECT_EQ(a.attachments[0].articleId, -1);
}

// ---- display sections -----------------------------------------------------

// Old level 6 record written by hand so that its word-wrap section can be damaged.
std::string OldWithWordWrapSection(const qbw::Encoder& section, std::optional<int32_t> len) {
    qbw::Encoder e;
    e.TaggedInt16(6).TaggedInt32(20240101).String("T").String("p").IdArray({});
    e.Section(section, len);
    e.TaggedInt16(1).TaggedInt16(2).String("http://x");
    return e.Str();
}

TEST_F(ArticleTest, EmptyWordWrapSectionRestoresDefaultsAndTheRecordGoesOn) {
    defaults_.wordWrap = 4;
    defaults_.fullPathNames = true;
    CArticle a = Article(OldWithWordWrapSection(qbw::Encoder(), std::nullopt));
    EXPECT_EQ(a.display, ArticleDisplayProps::Defaults(defaults_));
    EXPECT_EQ(a.display.flags, 1);
    ASSERT_EQ(a.attachments.size(), 1u);
    EXPECT_EQ(a.attachments[0].target, "http://x");
}

TEST_F(ArticleTest, WordWrapSectionLongerThanItsFieldIsSkipped) {
    CArticle a = Article(OldWithWordWrapSection(qbw::Encoder().Int32(12).Int32(99).Int16(5), {}));
    EXPECT_EQ(a.display.wordWrap, 12);
    ASSERT_EQ(a.attachments.size(), 1u);
    EXPECT_EQ(a.attachments[0].kind, 2);
}

TEST_F(ArticleTest, WordWrapSectionShortFieldFillsOnlyItsLowBytes) {
    // Two bytes of the word-wrap switch: the high bytes keep the default's.
    defaults_.wordWrap = 0x01020304;
    CArticle a = Article(OldWithWordWrapSection(qbw::Encoder().Int16(0x0A0B), {}));
    EXPECT_EQ(a.display.wordWrap, 0x01020A0B);
    EXPECT_EQ(a.attachments.size(), 1u);
}

TEST_F(ArticleTest, OldLinkSectionWithAWrongSignatureRestoresDefaults) {
    qbw::ArticleData d = Full();
    std::string bytes = qbw::EncodeArticleOld(d, 9);
    // The signature is the first field of the last section.
    size_t sig = bytes.rfind(std::string("\x2F\xF2", 2));
    ASSERT_NE(sig, std::string::npos);
    bytes[sig] = 0x30;
    defaults_.wordWrap = 1;
    CArticle a = Article(bytes);
    EXPECT_EQ(a.display,
              ArticleDisplayProps::Defaults(defaults_));  // the word wrap read before is lost too
    EXPECT_EQ(a.richText, "{\\rtf1 rich}");
}

qbw::ArticleData NewFull() {
    qbw::ArticleData a = Full();
    a.level = 6;
    a.flags = 0;
    a.createdDate = 20230101;
    a.createdTime = 60;
    a.modifiedDate = 20230202;
    a.modifiedTime = 120;
    a.articleTime = 180;
    a.attachments = {{1, "C:\\x", 4, 8, qbw::AttachmentForm::kBlobWithIds}};
    a.links = {{0, 5, 3, 2, 20240101, 3600, ""}, {7, 9, 1, -1, qbw::kNil, qbw::kNil, "http://y"}};
    a.display = {6, 11, 2, 3, 0};
    return a;
}

TEST_F(ArticleTest, NewFormatReadsEveryField) {
    CArticle a = Article(qbw::EncodeArticleNew(NewFull()));
    EXPECT_EQ(a.format, ArticleFormat::New);
    EXPECT_EQ(a.level, 6);
    EXPECT_EQ(a.createdDate, 20230101);
    EXPECT_EQ(a.createdTime, 60);
    EXPECT_EQ(a.modifiedDate, 20230202);
    EXPECT_EQ(a.modifiedTime, 120);
    EXPECT_EQ(a.articleDate, 20240131);
    EXPECT_EQ(a.articleTime, 180);
    EXPECT_EQ(a.title, "Title");
    EXPECT_EQ(a.Content(), "{\\rtf1 rich}");
    EXPECT_TRUE(a.plainText.empty());
    EXPECT_EQ(a.keywordIds, (std::vector<int32_t>{5, 1, 3}));
    ASSERT_EQ(a.attachments.size(), 1u);
    EXPECT_EQ(a.attachments[0].articleId, 4);
    EXPECT_EQ(a.attachments[0].flags, 8);
    EXPECT_EQ(a.display.flags, 6);  // the stored flags replace bit 0
    EXPECT_EQ(a.display.spareValue, 11);
    EXPECT_EQ(a.display.linkDisplay, 2);
    EXPECT_EQ(a.display.autoOpen, 3);
    ASSERT_EQ(a.links.size(), 2u);
    EXPECT_EQ(a.links[0].start, 0);
    EXPECT_EQ(a.links[0].end, 5);
    EXPECT_EQ(a.links[0].kind, 3);
    EXPECT_EQ(a.links[0].articleId, 2);
    EXPECT_EQ(a.links[0].createdDate, 20240101);
    EXPECT_EQ(a.links[0].createdTime, 3600);
    EXPECT_EQ(a.links[1].target, "http://y");
    EXPECT_EQ(a.links[1].createdDate, NIL_BLOCK);
}

TEST_F(ArticleTest, NewFormatHeaderLengths) {
    qbw::ArticleData d = NewFull();
    d.reserved = 77;
    d.flags = 0x40;
    {
        SCOPED_TRACE("8 bytes: level, reserved and flags only");
        CArticle a = Article(qbw::EncodeArticleNew(d, {8, {}}));
        EXPECT_EQ(a.level, 6);
        EXPECT_EQ(a.reserved, 77);
        EXPECT_EQ(a.flags, 0x40);
        EXPECT_EQ(a.articleDate, NIL_BLOCK);
        EXPECT_EQ(a.createdDate, NIL_BLOCK);
        EXPECT_EQ(a.modifiedDate, NIL_BLOCK);
        EXPECT_EQ(a.articleTime, 0);
        EXPECT_EQ(a.createdTime, 0);
        EXPECT_EQ(a.modifiedTime, 0);
        EXPECT_EQ(a.title, "Title");
    }
    {
        SCOPED_TRACE("40 bytes: the extra 8 are skipped");
        CArticle a = Article(qbw::EncodeArticleNew(d, {40, {}}));
        EXPECT_EQ(a.articleTime, 180);
        EXPECT_EQ(a.title, "Title");
        EXPECT_EQ(a.links.size(), 2u);
    }
    {
        SCOPED_TRACE("10 bytes: the created date gets its two low bytes");
        CArticle a = Article(qbw::EncodeArticleNew(d, {10, {}}));
        uint32_t expect = (0x80000001u & 0xFFFF0000u) | (20230101u & 0xFFFFu);
        EXPECT_EQ(static_cast<uint32_t>(a.createdDate), expect);
        EXPECT_EQ(a.title, "Title");
    }
    {
        SCOPED_TRACE("0 bytes: every default, level 6");
        CArticle a = Article(qbw::EncodeArticleNew(d, {0, {}}));
        EXPECT_EQ(a.level, 6);
        EXPECT_EQ(a.reserved, NIL_BLOCK);
        EXPECT_EQ(a.flags, 0);
        EXPECT_EQ(a.title, "Title");
    }
}

TEST_F(ArticleTest, NewFormatLevelThreeHasNoContent) {
    qbw::ArticleData d = NewFull();
    d.level = 3;
    CArticle a = Article(qbw::EncodeArticleNew(d));
    EXPECT_EQ(a.title, "Title");
    EXPECT_EQ(a.keywordIds.size(), 3u);
    EXPECT_EQ(a.attachments.size(), 1u);
    EXPECT_TRUE(a.Content().empty());
    EXPECT_TRUE(a.richText.empty());
    EXPECT_TRUE(a.links.empty());
}

TEST_F(ArticleTest, NewFormatBlobsRawCompressedAndPrivate) {
    qbw::Key16 key{};
    for (int i = 0; i < 16; ++i)
        key[i] = static_cast<uint8_t>(i * 7 + 1);
    for (qbw::BlobMode mode : {qbw::BlobMode::kRaw, qbw::BlobMode::kCompressed}) {
        qbw::NewArticleOptions o;
        o.blobs.mode = mode;
        CArticle a = Article(qbw::EncodeArticleNew(NewFull(), o));
        EXPECT_EQ(a.title, "Title");
        EXPECT_EQ(a.richText, "{\\rtf1 rich}");
        EXPECT_EQ(a.links[1].target, "http://y");
    }
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kPrivate;
    o.blobs.contentKey = key;
    o.blobs.salt = 1234;
    std::string bytes = qbw::EncodeArticleNew(NewFull(), o);

    CArticle locked;
    EXPECT_EQ(ArticleCode(bytes, locked), err::kCorrupted);
    EXPECT_TRUE(locked.title.empty());

    CDataFile& f = OpenArticle(bytes);
    ContentKey k;
    std::copy(key.begin(), key.end(), k.begin());
    f.SetContentKey(k);
    CArticle a = ReadArticle(f, 0, defaults_);
    EXPECT_EQ(a.title, "Title");
    EXPECT_EQ(a.richText, "{\\rtf1 rich}");
    EXPECT_EQ(a.attachments[0].target, "C:\\x");
}

TEST_F(ArticleTest, UnknownFormatWordGivesAnEmptyArticle) {
    qbw::Encoder e;
    e.TaggedInt16(static_cast<int16_t>(0x8001)).String("never read");
    CArticle a = Article(e.Str());
    EXPECT_EQ(a.format, ArticleFormat::Unknown);
    EXPECT_EQ(a.level, 6);
    EXPECT_TRUE(a.title.empty());
    EXPECT_EQ(a.articleDate, NIL_BLOCK);
    EXPECT_EQ(a.articleTime, NIL_BLOCK);  // no fill-in for an unknown layout
    EXPECT_EQ(a.createdTime, NIL_BLOCK);
}

TEST_F(ArticleTest, FailedReadEmptiesTheArticle) {
    qbw::Encoder e;
    e.TaggedInt16(3).TaggedInt32(20240101).String("Title").StringWithLength(100000, "abc");
    CArticle a;
    a.title = "left over";
    a.keywordIds = {1};
    EXPECT_EQ(ArticleCode(e.Str(), a), err::kCorrupted);
    EXPECT_TRUE(a.title.empty());
    EXPECT_TRUE(a.plainText.empty());
    EXPECT_TRUE(a.keywordIds.empty());
    EXPECT_EQ(a.display, ArticleDisplayProps::Defaults(defaults_));
}

TEST_F(ArticleTest, RecordsSpanningManyScatteredBlocks) {
    qbw::ArticleData d = NewFull();
    d.title = std::string(300, 'x');
    d.richText = std::string(2000, 'r');
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kRaw;
    qbw::FileBuilder b;
    b.SetGeometry(32, 8).Scatter(7);
    for (int i = 0; i < 20; ++i)
        b.SetRecord(table::kArticles, i, qbw::EncodeArticleNew(d, o));
    CDataFile& f = Open(b);
    for (int i = 0; i < 20; i += 7) {
        CArticle a = ReadArticle(f, i, defaults_);
        EXPECT_EQ(a.title, d.title);
        EXPECT_EQ(a.richText, d.richText);
        EXPECT_EQ(a.links.size(), 2u);
    }
}

// ---- attachments and links ------------------------------------------------

TEST_F(ArticleTest, AttachmentWordBits) {
    qbw::ArticleData d = NewFull();
    d.attachments = {
        {1, "blob with ids", 12, 34, qbw::AttachmentForm::kBlobWithIds},  // bits 15, 14, 0
        {3, "blob only", 12, 34, qbw::AttachmentForm::kBlob},             // bits 15, 1, 0
        {2, "plain string", 12, 34, qbw::AttachmentForm::kString},
    };
    CArticle a = Article(qbw::EncodeArticleNew(d));
    ASSERT_EQ(a.attachments.size(), 3u);
    EXPECT_EQ(a.attachments[0].kind, 1);
    EXPECT_EQ(a.attachments[0].target, "blob with ids");
    EXPECT_EQ(a.attachments[0].articleId, 12);
    EXPECT_EQ(a.attachments[0].flags, 34);
    EXPECT_EQ(a.attachments[1].kind, 3);
    EXPECT_EQ(a.attachments[1].target, "blob only");
    EXPECT_EQ(a.attachments[1].articleId, -1);
    EXPECT_EQ(a.attachments[1].flags, 0);
    EXPECT_EQ(a.attachments[2].kind, 2);
    EXPECT_EQ(a.attachments[2].target, "plain string");
    EXPECT_EQ(a.attachments[2].articleId, -1);
    EXPECT_EQ(a.links.size(), 2u);  // the list ended where it should
}

TEST_F(ArticleTest, UntaggedOrNegativeAttachmentCountIsAnEmptyList) {
    qbw::Encoder e;
    e.TaggedInt16(6).TaggedInt32(20240101).String("T").String("").IdArray({});
    e.Section(qbw::Encoder().Int32(1));
    e.TaggedInt16(-3);
    CArticle a = Article(e.Str());
    EXPECT_TRUE(a.attachments.empty());
    EXPECT_EQ(a.title, "T");
}

TEST_F(ArticleTest, LyingLinkCountEndsWithCode5) {
    qbw::ArticleData d = NewFull();
    d.level = 5;
    qbw::Encoder e;
    qbw::WriteArticleNew(e, d);
    e.Int32(0x7FFFFFFF);  // the header of level 6 links, with nothing behind it
    std::string bytes = e.Str();
    bytes[10] = 6;  // level 6 in the header block (after the 6-byte word and the length)
    CArticle a;
    EXPECT_EQ(ArticleCode(bytes, a), err::kCorrupted);
}

TEST_F(ArticleTest, NewDisplaySectionWithWrongSignatureKeepsDefaultsAndReadsTheLinks) {
    qbw::ArticleData d = NewFull();
    std::string bytes = qbw::EncodeArticleNew(d, {32, {qbw::BlobMode::kRaw}});
    size_t sig = bytes.find(std::string("\x3F\xF3", 2));
    ASSERT_NE(sig, std::string::npos);
    bytes[sig] = 0;
    defaults_.wordWrap = 1;
    CArticle a = Article(bytes);
    ArticleDisplayProps expect = ArticleDisplayProps::Defaults(defaults_);
    expect.flags |= 1;
    EXPECT_EQ(a.display, expect);
    ASSERT_EQ(a.links.size(), 2u);
    EXPECT_EQ(a.links[1].target, "http://y");
}

TEST_F(ArticleTest, ShortNewDisplaySectionKeepsWhatWasRead) {
    qbw::Encoder e;
    e.TaggedInt16(static_cast<int16_t>(0x812C));
    e.Int32(2).Int16(5);  // header: level 5 only
    e.BlobString("T").IdArray({}).TaggedInt16(0).BlobString("rtf");
    e.Section(qbw::Encoder().UInt16(0xF33F).Int32(42).Int32(3));  // word wrap and link display
    CArticle a = Article(e.Str());
    EXPECT_EQ(a.display.wordWrap, 42);
    EXPECT_EQ(a.display.linkDisplay, 3);
    EXPECT_EQ(a.display.autoOpen, 0);
    EXPECT_EQ(a.display.flags, 1);  // set before reading, not replaced
}

// ---- summaries ----------------------------------------------------------------

TEST_F(ArticleTest, SummaryWorksOutTheLinkBits) {
    qbw::ArticleData d = NewFull();
    d.flags = 0x80;  // a stale has-links bit without bit 6
    d.links.clear();
    CArticle none = Summary(qbw::EncodeArticleNew(d));
    EXPECT_EQ(none.flags & 0xC0, 0x40);

    d.links = NewFull().links;
    d.flags = 0;
    CArticle some = Summary(qbw::EncodeArticleNew(d));
    EXPECT_EQ(some.flags & 0xC0, 0xC0);
    EXPECT_EQ(some.title, "Title");
    EXPECT_EQ(some.attachments.size(), 1u);
    EXPECT_TRUE(some.keywordIds.empty());
    EXPECT_TRUE(some.links.empty());  // a summary keeps only the bits
}

TEST_F(ArticleTest, SummaryWithKnownLinkBitsStopsBeforeTheContent) {
    qbw::ArticleData d = NewFull();
    d.flags = 0x40;
    // The content and links are private: reading them without the key fails.
    qbw::Encoder e;
    qbw::NewArticleOptions o;
    o.blobs.mode = qbw::BlobMode::kCompressed;
    qbw::ArticleData head = d;
    head.level = 3;
    qbw::WriteArticleNew(e, head, o);
    qbw::Key16 key{};
    key[0] = 9;
    e.BlobPrivate("secret", 5, key);
    std::string bytes = e.Str();
    bytes[10] = 6;  // the header says level 6
    CArticle s;
    EXPECT_EQ(ArticleCode(bytes, s, true), 0);
    EXPECT_EQ(s.flags, 0x40);
    EXPECT_EQ(s.title, "Title");
    CArticle full;
    EXPECT_EQ(ArticleCode(bytes, full), err::kCorrupted);
}

// The content blob of NewFull() as `o` writes it, found among the blobs.
qbw::BlobPlacement ContentBlob(const qbw::Encoder& e) {
    for (const qbw::BlobPlacement& b : e.Blobs())
        if (b.size == std::string("{\\rtf1 rich}").size() + 1) return b;
    ADD_FAILURE() << "no content blob";
    return {};
}

TEST_F(ArticleTest, SummaryPassesOverTheContentWithoutInflatingIt) {
    {
        SCOPED_TRACE("damaged compressed data: only a full read sees it");
        qbw::Encoder e;
        qbw::NewArticleOptions o;
        o.blobs.mode = qbw::BlobMode::kCompressed;
        qbw::WriteArticleNew(e, NewFull(), o);
        std::string bytes = e.Str();
        const qbw::BlobPlacement b = ContentBlob(e);
        for (size_t i = 0; i < b.dataLength; ++i)
            bytes[b.dataOffset + i] = '\xff';
        CArticle s;
        EXPECT_EQ(ArticleCode(bytes, s, true), 0);
        EXPECT_EQ(s.title, "Title");
        EXPECT_EQ(s.flags & 0xC0, 0xC0);  // the links after the content were reached
        CArticle full;
        EXPECT_EQ(ArticleCode(bytes, full), err::kCorrupted);
    }
    {
        SCOPED_TRACE("a stored size beyond the record still fails the summary");
        qbw::Encoder e;
        qbw::WriteArticleNew(e, NewFull(), qbw::NewArticleOptions{});
        std::string bytes = e.Str();
        const qbw::BlobPlacement b = ContentBlob(e);
        const size_t storedSize = b.offset + 2 + 4;  // after the flags and the size
        bytes[storedSize + 3] = 0x10;
        CArticle s;
        EXPECT_EQ(ArticleCode(bytes, s, true), err::kCorrupted);
    }
    {
        SCOPED_TRACE("private content: both checks words are still read");
        qbw::Key16 key{};
        key[3] = 77;
        qbw::Encoder e;
        qbw::NewArticleOptions o;
        o.blobs.mode = qbw::BlobMode::kPrivate;
        o.blobs.contentKey = key;
        qbw::WriteArticleNew(e, NewFull(), o);
        ContentKey k;
        std::copy(key.begin(), key.end(), k.begin());
        std::string bytes = e.Str();
        CDataFile& sound = OpenArticle(bytes);
        sound.SetContentKey(k);
        EXPECT_EQ(ReadArticleSummary(sound, 0, defaults_).flags & 0xC0, 0xC0);

        const qbw::BlobPlacement b = ContentBlob(e);
        bytes[b.dataOffset + b.dataLength] ^= 1;  // the check word after the data
        CDataFile& damaged = OpenArticle(bytes);
        damaged.SetContentKey(k);
        EXPECT_EQ(CodeOf([&] { ReadArticleSummary(damaged, 0, defaults_); }), err::kCorrupted);
        EXPECT_EQ(CodeOf([&] { ReadArticle(damaged, 0, defaults_); }), err::kCorrupted);
    }
}

TEST_F(ArticleTest, OldSummaryReadsTitleDateWordWrapAndAttachments) {
    CArticle s = Summary(qbw::EncodeArticleOld(Full(), 9));
    EXPECT_EQ(s.title, "Title");
    EXPECT_EQ(s.articleDate, 20240131);
    EXPECT_EQ(s.createdDate, 20240131);
    EXPECT_EQ(s.display.wordWrap, 7);
    EXPECT_EQ(s.attachments.size(), 1u);
    EXPECT_TRUE(s.plainText.empty());
    EXPECT_TRUE(s.keywordIds.empty());
    EXPECT_TRUE(s.richText.empty());
}

TEST_F(ArticleTest, OldSummaryDoesNotReadPastALowLevel) {
    // Level 1 stores only the date; what follows is not a title.
    qbw::Encoder e;
    e.TaggedInt16(1).TaggedInt32(20240101).Int32(100000);
    CArticle s;
    EXPECT_EQ(ArticleCode(e.Str(), s, true), 0);
    EXPECT_EQ(s.articleDate, 20240101);
    EXPECT_TRUE(s.title.empty());
}

// Records whose level names a content field they do not store keep the
// content they do store, never an empty window.
TEST_F(ArticleTest, ContentComesFromTheFieldTheRecordStores) {
    for (int level = 5; level <= 7; ++level) {
        SCOPED_TRACE(level);
        CArticle old = Article(qbw::EncodeArticleOld(Full(), level));
        EXPECT_TRUE(old.richText.empty());
        EXPECT_EQ(old.Content(), "plain");
    }
    auto data = NewFull();
    data.level = 4;
    CArticle four = Article(qbw::EncodeArticleNew(data));
    EXPECT_TRUE(four.IsRichText());
    EXPECT_EQ(four.Content(), "{\\rtf1 rich}");
    data.level = 3;
    EXPECT_TRUE(Article(qbw::EncodeArticleNew(data)).Content().empty());
}

}  // namespace
}  // namespace qb::testing
