// Builds data files with the test writer and opens them through a document
// whose windows are recording fakes.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "document/quillbox_doc.h"
#include "support/fake_locale.h"
#include "support/recording_ui.h"
#include "support/temp_files.h"
#include "support/written_articles.h"
#include "writer/qbx_writer.h"

namespace qb::testing {

// Records the name of every call the document makes; queries answer 0.
struct RecordingIndex : IndexWindow {
    mutable std::vector<std::string> calls;
    int Count(const std::string& call) const {
        return int(std::count(calls.begin(), calls.end(), call));
    }

    void OnFileLoaded() override { calls.push_back("OnFileLoaded"); }
    void OnNoGroups() override { calls.push_back("OnNoGroups"); }
    void OnPrivacyChanged() override { calls.push_back("OnPrivacyChanged"); }
    int32_t ViewMode() const override { return Query("ViewMode"); }
    void SetViewMode(int32_t) override { calls.push_back("SetViewMode"); }
    int32_t IsWindowVisible() const override { return Query("IsWindowVisible"); }
    int32_t IsGroupListShown() const override { return Query("IsGroupListShown"); }
    void SetGroupListShown(bool) override { calls.push_back("SetGroupListShown"); }
    void OnDisplaySettingsChanged() override { calls.push_back("OnDisplaySettingsChanged"); }
    void RedrawTitleList() override { calls.push_back("RedrawTitleList"); }
    int32_t PreviewFlags() const override { return Query("PreviewFlags"); }
    void TogglePreview(int32_t) override { calls.push_back("TogglePreview"); }
    void CyclePreview() override { calls.push_back("CyclePreview"); }
    void OnPreviewColorChanged() override { calls.push_back("OnPreviewColorChanged"); }
    int32_t SelectedMode() const override { return Query("SelectedMode"); }
    void SetSelectedMode(int32_t) override { calls.push_back("SetSelectedMode"); }
    int32_t IndexMode() const override { return Query("IndexMode"); }
    void SetIndexMode(int32_t) override { calls.push_back("SetIndexMode"); }
    void ToggleIndexMode() override { calls.push_back("ToggleIndexMode"); }
    int32_t TitleMode() const override { return Query("TitleMode"); }
    int32_t TitleMemberCount() const override { return Query("TitleMemberCount"); }
    bool TitleListHolds(int32_t) const override { return false; }
    int32_t HighlightedCount() const override { return Query("HighlightedCount"); }
    void ClearTitleHighlight() override { calls.push_back("ClearTitleHighlight"); }
    void OnSortOrderChanged() override { calls.push_back("OnSortOrderChanged"); }
    void StepArticle(int32_t, bool) override { calls.push_back("StepArticle"); }

private:
    int32_t Query(const char* call) const {
        calls.push_back(call);
        return 0;
    }
};

struct RecordingMain : MainWindowHost {
    std::string title = "unset";
    bool noDocument = false;
    std::vector<std::string> recent;
    std::vector<std::string> queryMenu;
    int menuRebuilds = 0;
    bool allowClose = true;
    IdSet closeRequested;
    int refreshes = 0;
    void SetFileTitle(const std::string& t) override { title = t; }
    void SetNoDocument(bool n) override { noDocument = n; }
    void AddRecentFile(const std::string& p) override { recent.push_back(p); }
    void RebuildSavedQueryMenu(const std::vector<std::string>& names) override {
        queryMenu = names;
        ++menuRebuilds;
    }
    bool CloseArticleWindows(const IdSet& ids) override {
        closeRequested.Copy(ids);
        return allowClose;
    }
    void RefreshDocumentViews() override { ++refreshes; }
};

inline std::string Keyword(const std::string& name, std::vector<int32_t> ids = {}) {
    return qbw::EncodeKeyword(name, ids);
}

inline std::string Article(const std::string& title, uint16_t flags = 0,
                           qbw::NewArticleOptions o = {}) {
    return TitledArticle(title, flags, o);
}

// A file with one article and the keywords `names` (an empty name leaves
// its slot free).
inline qbw::FileBuilder WithKeywords(const std::vector<std::string>& names) {
    qbw::FileBuilder b;
    b.SetRecord(1, 0, Article("A"));
    for (size_t i = 0; i < names.size(); ++i)
        b.SetRecord(0, int32_t(i), Keyword(names[i]));
    return b;
}

class DocTest : public ::testing::Test {
protected:
    DocTest() { MakeDoc(); }

    void MakeDoc() {
        DocumentServices s;
        s.ui = &ui;
        s.locale = &locale;
        s.mainWindow = &main;
        s.attachmentsFolder = [] { return std::string("/prefs/attachments"); };
        doc = std::make_unique<CQuillboxDoc>(s);
        doc->SetIndexWindow(&index);
    }

    bool Open(const qbw::FileBuilder& b, const std::string& name = "test.qbx") {
        path = dir.Write(name, b.Build());
        return doc->OnOpenDocument(path);
    }

    TempDir dir;
    RecordingUi ui;
    FixedLocale locale;
    RecordingMain main;
    RecordingIndex index;
    std::unique_ptr<CQuillboxDoc> doc;
    std::string path;
};

inline std::vector<int32_t> Ids(const IdSet& s) {
    return s.Ids();
}

}  // namespace qb::testing
