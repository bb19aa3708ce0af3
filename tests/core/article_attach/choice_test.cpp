// What Open Attachments and auto-open on load choose from an article's
// attachments.
#include <gtest/gtest.h>

#include "app/settings.h"
#include "article/attachment_schedule.h"
#include "attach_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

using Names = std::vector<std::string>;

// 12 enabled attachments with disabled ones between them.
std::vector<CAttachment> TwelveEnabled() {
    std::vector<CAttachment> list;
    for (int i = 1; i <= 12; ++i) {
        if (i % 4 == 0) list.push_back(File("C:\\off" + std::to_string(i) + ".txt", 1));
        list.push_back(i % 3 ? File("C:\\f" + std::to_string(i) + ".txt")
                             : Web("http://w" + std::to_string(i) + ".example/"));
    }
    return list;
}

Names FirstEnabled(size_t n) {
    Names all = Targets(TwelveEnabled());
    Names out;
    for (const std::string& t : all)
        if (t.find("off") == std::string::npos && out.size() < n) out.push_back(t);
    return out;
}

TEST(OpenAttachmentsChoice, AboveTheLimitAsksAndFollowsTheAnswer) {
    const auto list = TwelveEnabled();
    {
        RecordingUi ui;
        ui.QueueResult(MessageResult::Yes);
        EXPECT_EQ(Targets(ChooseAttachmentsToOpen(list, ui)), FirstEnabled(12));
        ASSERT_EQ(ui.Count(), 1u);
        EXPECT_EQ(ui.Last().buttons, MessageButtons::YesNoCancel);
        EXPECT_EQ(ui.Last().icon, MessageIcon::Question);
        EXPECT_EQ(ui.LastText(), OpenAttachmentsQuestionText(12));
    }
    {
        RecordingUi ui;
        ui.QueueResult(MessageResult::No);
        EXPECT_EQ(Targets(ChooseAttachmentsToOpen(list, ui)), FirstEnabled(10));
    }
    {
        RecordingUi ui;
        ui.QueueResult(MessageResult::Cancel);
        EXPECT_TRUE(ChooseAttachmentsToOpen(list, ui).empty());
    }
    {
        // A box closed some other way opens nothing either.
        RecordingUi ui;
        ui.QueueResult(MessageResult::Ok);
        EXPECT_TRUE(ChooseAttachmentsToOpen(list, ui).empty());
    }
}

TEST(OpenAttachmentsChoice, UpToTheLimitOpensTheEnabledOnesWithoutAsking) {
    // Ten enabled and five disabled: the disabled ones do not count.
    std::vector<CAttachment> list;
    for (int i = 0; i < 15; ++i)
        list.push_back(File("C:\\f" + std::to_string(i) + ".txt", i % 3 == 1 ? 1 : 0));
    RecordingUi ui;
    auto chosen = ChooseAttachmentsToOpen(list, ui);
    EXPECT_EQ(ui.Count(), 0u);
    ASSERT_EQ(chosen.size(), 10u);
    for (const CAttachment& a : chosen)
        EXPECT_TRUE(IsAttachmentEnabled(a));
    EXPECT_EQ(chosen.front().target, "C:\\f0.txt");
    EXPECT_EQ(chosen.back().target, "C:\\f14.txt");
    // Only bit 0 disables: the gallery bit does not.
    EXPECT_TRUE(IsAttachmentEnabled(File("x", 2)));
    EXPECT_FALSE(IsAttachmentEnabled(File("x", 3)));
}

TEST(OpenAttachmentsChoice, TheQuestionNamesTheCountAndTheLimit) {
    std::string q = OpenAttachmentsQuestionText(12);
    EXPECT_NE(q.find("12"), std::string::npos);
    EXPECT_NE(q.find("10"), std::string::npos);
    EXPECT_EQ(q.find('%'), std::string::npos);
    ASSERT_NE(ResourceString(msg::kOpenAttachmentsQuestion), nullptr);
}

TEST(AutoOpenChoice, ModeDecidesAndModeZeroFollowsThePreferences) {
    const std::vector<CAttachment> list = {
        File("C:\\a.txt"),      Web("http://one.example/"),    ArticleLink(7),
        File("C:\\off.txt", 1), Web("http://off.example/", 1), Web("http://two.example/"),
    };
    const AutoOpenPreferences both{true, true}, none{false, false};
    // Mode 1, and any mode but 0 and 2, opens nothing even with both set.
    for (int32_t mode : {1, -1, 3, 0x7FFFFFFF})
        EXPECT_TRUE(ChooseAttachmentsToAutoOpen(list, mode, both).empty()) << mode;
    EXPECT_TRUE(ChooseAttachmentsToAutoOpen(list, 0, none).empty());
    EXPECT_EQ(Targets(ChooseAttachmentsToAutoOpen(list, 0, {true, false})), Names{"C:\\a.txt"});
    EXPECT_EQ(Targets(ChooseAttachmentsToAutoOpen(list, 0, {false, true})),
              (Names{"http://one.example/", "http://two.example/"}));
    EXPECT_EQ(Targets(ChooseAttachmentsToAutoOpen(list, 0, both)),
              (Names{"C:\\a.txt", "http://one.example/", "http://two.example/"}));
    // Mode 2: every enabled one whatever the preferences and the kind.
    EXPECT_EQ(Targets(ChooseAttachmentsToAutoOpen(list, 2, none)),
              (Names{"C:\\a.txt", "http://one.example/", "#7", "http://two.example/"}));
}

TEST(AutoOpenChoice, PreferencesComeFromTheSettings) {
    Settings s;
    s.autoOpenFile = 0;
    s.autoOpenInternet = 1;
    AutoOpenPreferences p = AutoOpenPreferencesOf(s);
    EXPECT_FALSE(p.files);
    EXPECT_TRUE(p.web);
    s.autoOpenFile = 5;
    s.autoOpenInternet = 0;
    p = AutoOpenPreferencesOf(s);
    EXPECT_TRUE(p.files);
    EXPECT_FALSE(p.web);
}

}  // namespace
}  // namespace qb::testing
