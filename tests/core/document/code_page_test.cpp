// The document's code page (from the settings at open, or set by the
// caller) and the title collation keys it keeps with the summaries.
#include "app/profile_store.h"
#include "app/settings.h"
#include "doc_fixture.h"
#include "document/file_properties.h"
#include "platform/icu_locale.h"

namespace qb::testing {
namespace {

// "Привет" and "ПРИВЕТ" in Windows-1251.
const char kHello[] = "\xCF\xF0\xE8\xE2\xE5\xF2";
const char kHelloUpper[] = "\xCF\xD0\xC8\xC2\xC5\xD2";
const char kHelloUtf8[] = "\xD0\x9F\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82";

qbw::FileBuilder CyrillicFile() {
    qbw::FileBuilder b = WithKeywords({kHello});
    qbw::FileSettingsData fs;
    fs.comments = kHello;
    b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(fs));
    qbw::SavedQueryData q;
    q.name = kHello;
    q.query = kHello;
    b.SetStream(qbw::stream::kSavedQueries, qbw::EncodeSavedQueries({q}, {0}));
    return b;
}

TEST(DocumentCodePage, TheSettingsChoiceDecodesTheFilesText) {
    TempDir dir;
    RecordingUi ui;
    FixedLocale locale;
    RecordingMain main;
    ProfileStore store;
    store.WriteInt("Quillbox", "CodePage", 1251);
    Settings settings;
    settings.Load(store);
    ASSERT_EQ(settings.codePage, 1251);

    DocumentServices s;
    s.ui = &ui;
    s.locale = &locale;
    s.mainWindow = &main;
    s.settings = &settings;
    s.store = &store;
    CQuillboxDoc doc(s);
    ASSERT_TRUE(doc.OnOpenDocument(dir.Write("ru.qbx", CyrillicFile().Build())));
    EXPECT_EQ(doc.TextCodePage().Number(), 1251);
    // Case is ignored only when the names are read as Cyrillic letters.
    EXPECT_EQ(doc.FindKeyword(kHelloUpper), 0);
    EXPECT_EQ(GetFileProperties(doc).comments, kHelloUtf8);
    EXPECT_EQ(main.queryMenu, std::vector<std::string>{kHelloUtf8});
    EXPECT_EQ(ui.Count(), 0u);
}

TEST(DocumentCodePage, AnUnsupportedStoredChoiceFallsBackTo1252) {
    ProfileStore store;
    store.WriteInt("Quillbox", "CodePage", 932);
    Settings settings;
    settings.Load(store);
    EXPECT_EQ(settings.codePage, 1252);
    settings.codePage = 1253;
    settings.Save(store);
    EXPECT_EQ(store.GetInt("Quillbox", "CodePage", 0), 1253);
}

class TitleKeyTest : public DocTest {};

TEST_F(TitleKeyTest, WithoutSettingsTheCallersCodePageHolds) {
    doc->SetTextCodePage(*CodePage::Windows(1251));
    ASSERT_TRUE(Open(CyrillicFile()));
    EXPECT_EQ(doc->TextCodePage().Number(), 1251);
    EXPECT_EQ(doc->FindKeyword(kHelloUpper), 0);
}

TEST_F(TitleKeyTest, KeysAreMadeOnceAndAgainForAnotherLocale) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, Article("\xE4pple"));  // "äpple" in Windows-1252
    b.SetRecord(1, 1, Article("zebra"));
    ASSERT_TRUE(Open(b));

    const std::string& first = doc->TitleSortKey(0, locale);
    EXPECT_TRUE(doc->Summary(0).hasTitleKey);
    EXPECT_EQ(&doc->TitleSortKey(0, locale), &first) << "kept with the summary";
    EXPECT_EQ(first, locale.SortKey(u"\u00E4pple"));
    EXPECT_LT(doc->TitleSortKey(0, locale), doc->TitleSortKey(1, locale));

    // Swedish sorts "ä" after "z": the keys of the first locale must not stay.
    IcuLocale swedish("sv_SE");
    std::string a = doc->TitleSortKey(0, swedish), z = doc->TitleSortKey(1, swedish);
    EXPECT_GT(a, z);
    EXPECT_LT(doc->TitleSortKey(0, locale), doc->TitleSortKey(1, locale));
}

}  // namespace
}  // namespace qb::testing
