// Pressing Find over a recording port: the checks and their messages, the
// current article (13003, then 13004 after an occurrence), presenting found
// articles occurrence by occurrence, and forgetting a presented search.
#include <gtest/gtest.h>

#include <map>

#include "article/find_presenter.h"
#include "core/document/doc_fixture.h"
#include "resources/strings.h"

namespace qb::testing {
namespace {

// Windows with texts; records what Find does with them.
struct RecordingFindPort : FindPort {
    std::map<int32_t, ArticleWindowState> texts;  // every article's texts
    std::map<int32_t, ArticleWindowState> open;   // the open windows
    std::vector<int32_t> all;
    std::vector<std::string> calls;
    bool titlesOnlyStored = false;
    std::vector<int32_t> shown;
    bool shownStopped = false;

    std::vector<int32_t> RangeArticles(FindRange) override { return all; }
    std::optional<bool> OpenArticleWindow(int32_t id) override {
        calls.push_back("open " + std::to_string(id));
        if (open.count(id)) return true;
        open[id] = texts.at(id);
        return false;
    }
    std::optional<ArticleWindowState> ArticleWindow(int32_t id) override {
        auto it = open.find(id);
        if (it == open.end()) return std::nullopt;
        return it->second;
    }
    void SelectInWindow(int32_t id, FindField field, int32_t start, int32_t end) override {
        ArticleWindowState& w = open.at(id);
        if (field == FindField::kNone) {
            calls.push_back("unselect " + std::to_string(id));
            w.selEnd = w.selStart;
            return;
        }
        w.focus = field;
        w.selStart = start;
        w.selEnd = end;
        calls.push_back("select " + std::to_string(id) +
                        (field == FindField::kTitle ? " T " : " C ") + std::to_string(start) + "-" +
                        std::to_string(end));
    }
    void CloseArticleWindow(int32_t id) override {
        calls.push_back("close " + std::to_string(id));
        open.erase(id);
    }
    void BringIndexWindowForward() override { calls.push_back("index forward"); }
    void ShowFoundTitles(const std::vector<int32_t>& ids, bool stopped) override {
        shown = ids;
        shownStopped = stopped;
        calls.push_back("found titles");
    }
    void FocusDateField(DateField f) override {
        calls.push_back(f == DateField::kFrom ? "focus from" : "focus to");
    }
    void StoreTitlesOnly(bool on) override { titlesOnlyStored = on; }
};

class FindPresenterTest : public DocTest {
protected:
    void SetUp() override {
        qbw::FileBuilder b;
        auto add = [&](int32_t id, const char* title, const char* rtf) {
            qbw::ArticleData a;
            a.title = title;
            a.richText = rtf;
            a.articleDate = 20240101 + id;
            b.SetRecord(1, id, qbw::EncodeArticleNew(a));
        };
        add(0, "Owl", "{\\rtf1 An owl and an owl.}");
        add(1, "Wren", "{\\rtf1 No birds of prey.}");
        add(2, "Barn owl", "{\\rtf1 Pellets.}");
        ASSERT_TRUE(Open(b));
        port.all = {0, 1, 2};
        port.texts[0] = {u"Owl", u"An owl and an owl.", FindField::kNone, 0, 0};
        port.texts[1] = {u"Wren", u"No birds of prey.", FindField::kNone, 0, 0};
        port.texts[2] = {u"Barn owl", u"Pellets.", FindField::kNone, 0, 0};
    }

    // Pressing Find; a search it asks for runs at once.
    void Press(const FindOptions& o, std::optional<int32_t> active = std::nullopt) {
        FindContext c{active.has_value(), 0, 3, 0};
        if (auto request = presenter.PressFind(o, active, c)) {
            ArticleSearch s(*doc, *request);
            RunArticleSearch(s, ui);
            presenter.SearchEnded(s);
        }
    }
    std::vector<std::string> Took() {
        std::vector<std::string> c;
        c.swap(port.calls);
        return c;
    }
    std::string Text(int id) { return ResourceString(id); }

    RecordingFindPort port;
    FindOptions remembered;
    FindPresenter presenter{port, ui, locale, 2099, remembered};
};

using Calls = std::vector<std::string>;

TEST_F(FindPresenterTest, PresentsOccurrencesTitleFirstThenTheNextArticle) {
    FindOptions o;
    o.text = "owl";
    port.open[1] = port.texts[1];  // open before; stays open
    Press(o);
    EXPECT_EQ(port.shown, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(Took(), (Calls{"found titles", "open 0", "select 0 T 0-3"}));
    Press(o);
    EXPECT_EQ(Took(), (Calls{"select 0 C 3-6"}));
    Press(o);
    EXPECT_EQ(Took(), (Calls{"select 0 C 14-17"}));
    Press(o);  // none left: its window closes, the next article opens
    EXPECT_EQ(Took(), (Calls{"close 0", "open 2", "select 2 T 5-8"}));
    EXPECT_EQ(presenter.PresentedArticle(), 2);
    Press(o);
    EXPECT_EQ(Took(), (Calls{"close 2"}));
    EXPECT_EQ(ui.LastText(), Text(msg::kFindAllPresented));
    EXPECT_FALSE(presenter.Presenting());
    EXPECT_EQ(remembered, o);
    EXPECT_TRUE(port.open.count(1));
}

TEST_F(FindPresenterTest, AWindowOpenBeforeStaysOpen) {
    FindOptions o;
    o.text = "barn";
    port.open[2] = port.texts[2];
    Press(o);
    EXPECT_EQ(Took(), (Calls{"found titles", "open 2", "select 2 T 0-4"}));
    Press(o);
    EXPECT_EQ(Took(), Calls{});
    EXPECT_TRUE(port.open.count(2));
    EXPECT_EQ(ui.LastText(), Text(msg::kFindAllPresented));
}

TEST_F(FindPresenterTest, ADateSearchOpensWithoutSelecting) {
    FindOptions o;
    o.dateFrom = "1/2/2024";
    o.dateTo = "1/3/2024";
    Press(o);
    EXPECT_EQ(port.shown, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(Took(), (Calls{"found titles", "open 1"}));
    Press(o);
    EXPECT_EQ(Took(), (Calls{"close 1", "open 2"}));
}

TEST_F(FindPresenterTest, ShowOnlyTitlesBringsTheIndexForward) {
    FindOptions o;
    o.text = "owl";
    o.where = FindWhere::kTitleOnly;
    o.titlesOnly = true;
    Press(o);
    EXPECT_TRUE(port.titlesOnlyStored);
    EXPECT_EQ(port.shown, (std::vector<int32_t>{0, 2}));
    EXPECT_EQ(Took(), (Calls{"found titles", "index forward"}));
    EXPECT_FALSE(presenter.Presenting());
}

TEST_F(FindPresenterTest, NothingFoundAndFromAfterTo) {
    FindOptions o;
    o.text = "eagle";
    Press(o);
    EXPECT_EQ(ui.LastText(), Text(msg::kFindNothingFound));
    EXPECT_EQ(ui.Last().icon, MessageIcon::Information);
    EXPECT_TRUE(port.shown.empty());
    o.text = "";
    o.dateFrom = "1/3/2024";
    o.dateTo = "1/1/2024";
    Press(o);
    EXPECT_EQ(ui.LastText(), Text(msg::kFindNothingFound));
}

TEST_F(FindPresenterTest, ChecksStopThePress) {
    FindOptions o;
    o.text = "owl";
    o.range = FindRange::kBookmarked;
    Press(o);
    EXPECT_EQ(ui.LastText(), Text(msg::kFindNoBookmarks));
    o.range = FindRange::kAll;
    o.dateTo = "2/30/2024";
    Press(o);
    EXPECT_EQ(Took(), (Calls{"focus to"}));
    EXPECT_EQ(ui.Last().icon, MessageIcon::Exclamation);
    EXPECT_NE(ui.LastText().find("Invalid date."), std::string::npos);
}

TEST_F(FindPresenterTest, CurrentArticleNotFoundThenSearchedAfterAnOccurrence) {
    port.open[0] = port.texts[0];
    FindOptions o;
    o.range = FindRange::kCurrentArticle;
    o.text = "eagle";
    Press(o, 0);
    EXPECT_EQ(ui.LastText(), Text(msg::kFindArticleNotFound));
    o.text = "an";
    Press(o, 0);
    EXPECT_EQ(Took(), (Calls{"unselect 0", "select 0 C 0-2"}));
    Press(o, 0);
    EXPECT_EQ(Took(), (Calls{"select 0 C 7-9"}));  // in "and"
    Press(o, 0);
    EXPECT_EQ(Took(), (Calls{"select 0 C 11-13"}));
    size_t before = ui.Count();
    Press(o, 0);
    EXPECT_EQ(Took(), (Calls{"unselect 0"}));
    ASSERT_EQ(ui.Count(), before + 1);
    EXPECT_EQ(ui.LastText(), Text(msg::kFindArticleDone));
    // And it starts over.
    Press(o, 0);
    EXPECT_EQ(Took(), (Calls{"select 0 C 11-13"}));
}

TEST_F(FindPresenterTest, ForgettingEndsAPresentedSearch) {
    FindOptions o;
    o.text = "owl";
    Press(o);
    EXPECT_TRUE(presenter.Presenting());
    presenter.Forget();
    EXPECT_FALSE(presenter.Presenting());
    Took();
    Press(o);  // a new search
    EXPECT_EQ(Took(), (Calls{"found titles", "open 0", "select 0 T 0-3"}));
    // Another text starts a new search too.
    o.text = "pellets";
    Press(o);
    EXPECT_EQ(port.shown, (std::vector<int32_t>{2}));
}

TEST_F(FindPresenterTest, ACancelledSearchIsListedNotPresented) {
    FindOptions o;
    o.text = "owl";
    ui.cancelAfterTexts = 2;
    Press(o);
    EXPECT_EQ(port.shown, (std::vector<int32_t>{0}));
    EXPECT_TRUE(port.shownStopped);
    EXPECT_EQ(ui.LastText(), Text(msg::kFindCancelled));
    EXPECT_EQ(Took(), (Calls{"found titles"}));
}

}  // namespace
}  // namespace qb::testing
