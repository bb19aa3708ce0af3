// The file's own settings laid over the program's while it is open, and
// taken away again at close.
#include <cstring>

#include "app/profile_store.h"
#include "app/settings.h"
#include "doc_fixture.h"
#include "document/file_properties.h"

namespace qb::testing {
namespace {

TEST(DocumentSettingsTest, FileSettingsApplyWhileOpenAndAreUndoneAtClose) {
    TempDir dir;
    RecordingUi ui;
    FixedLocale locale;
    RecordingMain main;
    ProfileStore store;
    store.WriteInt("Index Display", "SortOrder", 2);
    Settings settings;
    settings.Load(store);
    settings.LoadArticleFont(store, DefaultArticleFont());

    qbw::FileSettingsData fs;
    fs.wordWrap = 0;  // no word wrap
    int16_t head[5] = {-15, 0, 0, 0, 400};
    std::memcpy(fs.font.data(), head, sizeof head);
    std::memcpy(fs.font.data() + 18, "Courier New", 11);
    qbw::FileBuilder b;
    b.SetRecord(1, 0, Article("A"));
    b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(fs));
    std::string path = dir.Write("own.qbx", b.Build());

    DocumentServices s;
    s.ui = &ui;
    s.locale = &locale;
    s.mainWindow = &main;
    s.settings = &settings;
    s.store = &store;
    CQuillboxDoc doc(s);
    EXPECT_EQ(doc.SortOrder(), 2);
    ASSERT_TRUE(doc.OnOpenDocument(path));
    EXPECT_TRUE(settings.HasFileSettings());
    EXPECT_EQ(settings.displayFont.font.faceName, "Courier New");
    EXPECT_EQ(doc.Defaults().wordWrap, 0) << "articles take the file's word wrap";
    EXPECT_EQ(GetFileProperties(doc).defaultFont, "Courier New, 11 pt");

    doc.SetSortOrder(3);
    doc.DeleteContents();
    EXPECT_FALSE(settings.HasFileSettings());
    EXPECT_EQ(settings.displayFont.font.faceName, "Arial");
    EXPECT_EQ(doc.SortOrder(), 2) << "the sort order comes from the settings again";
}

}  // namespace
}  // namespace qb::testing
