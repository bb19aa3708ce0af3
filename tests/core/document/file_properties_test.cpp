// The File Properties model: every value the three pages show.
#include <sys/stat.h>

#include <cstring>

#include "doc_fixture.h"
#include "document/file_properties.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

TEST_F(DocTest, FilePropertiesHoldEveryValueThePagesShow) {
    qbw::FileSettingsData fs;
    fs.updateDatesToModified = 1;
    fs.wordWrap = 0;
    fs.relativeLinkLocation = 2;
    fs.comments = "Notes \x96 mine";
    fs.relativeLinkPath = "C:\\targets";
    fs.fullPathNames = 0;
    // 16-bit logical font: height -16, width, escapement, orientation, weight 700.
    int16_t head[5] = {-16, 0, 0, 0, 700};
    std::memcpy(fs.font.data(), head, sizeof head);
    fs.font[10] = 1;  // italic
    std::memcpy(fs.font.data() + 18, "Georgia", 7);
    auto b = WithKeywords({"a", "b", "c"});
    b.SetRecord(3, 0, qbw::EncodeGroup("G", {0}));
    b.SetFlags(2);
    b.SetStream(qbw::stream::kFileSettings, qbw::EncodeFileSettings(fs));
    b.SetStream(qbw::stream::kExportHeader, qbw::EncodeTextStream("Head\xE9r"));
    b.SetStream(qbw::stream::kPrivacy, qbw::MakePrivacy("p", {}, {}).stream);
    ui.QueuePassword("p");
    ASSERT_TRUE(Open(b));

    FileProperties p = GetFileProperties(*doc);
    EXPECT_EQ(p.path, path);
    struct stat st;
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(p.sizeBytes, st.st_size);
    EXPECT_EQ(p.sizeText, std::to_string(st.st_size));
    EXPECT_EQ(p.keywordCount, 3);
    EXPECT_EQ(p.groupCount, 1);
    EXPECT_EQ(p.exportHeader, "Head\xC3\xA9r");
    EXPECT_EQ(p.defaultFont, "Georgia, 12 pt, Bold, Italic");
    EXPECT_EQ(p.comments, "Notes \xE2\x80\x93 mine");
    EXPECT_TRUE(p.updateDatesToModified);
    EXPECT_FALSE(p.wordWrap);
    EXPECT_EQ(p.relativeLinkLocation, 2);
    EXPECT_EQ(p.relativeLinkPath, "C:\\targets");
    EXPECT_FALSE(p.fullPathNames);
    EXPECT_FALSE(p.passwordProtectAll);
    EXPECT_TRUE(p.requestPasswordAtStartup);
    EXPECT_TRUE(p.passwordSet);
    EXPECT_EQ(p.passwordButton, ResourceString(msg::kChangePassword));
}

TEST_F(DocTest, FilePropertiesWithoutOwnFontDescribeTheProgramFont) {
    ASSERT_TRUE(Open(WithKeywords({"a"})));
    FileProperties p = GetFileProperties(*doc);
    EXPECT_EQ(p.defaultFont, "Arial, 9 pt");
    EXPECT_FALSE(p.passwordSet);
    EXPECT_EQ(p.passwordButton, ResourceString(msg::kSetPassword));
    EXPECT_TRUE(p.wordWrap);
    EXPECT_TRUE(p.fullPathNames);
}

}  // namespace
}  // namespace qb::testing
