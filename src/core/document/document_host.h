// The windows the document talks to, as ports: the index window and the
// main window. The reader implements them with Qt, qbx and tests with
// simple objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/id_set.h"
#include "datafile/quill_error.h"

namespace qb {

// The index window as the document and the main frame's commands see it.
// The document tells it about the file (loaded, no groups, privacy
// changed); the rest are the window's own settings and lists, asked for
// and changed by name. Queries answer NIL_BLOCK from NoIndexWindow, the
// stand-in the document talks to while no index window is connected.
class IndexWindow {
public:
    virtual ~IndexWindow() = default;

    // ---- Sent by the document
    // The document has loaded a file: fill every list.
    virtual void OnFileLoaded() = 0;
    // The loaded file has no keyword groups: hide the group list.
    virtual void OnNoGroups() = 0;
    // Private articles were shown or hidden: rebuild the lists.
    virtual void OnPrivacyChanged() = 0;

    // ---- Layout and panes
    // 0 while the keyword lists are shown, 1 while they are hidden.
    virtual int32_t ViewMode() const = 0;
    // `mode` as ViewMode; anything but 1 shows the keyword lists.
    virtual void SetViewMode(int32_t mode) = 0;
    // 1 while the window is on screen, otherwise 0.
    virtual int32_t IsWindowVisible() const = 0;
    // 1 while the keyword group list is shown, otherwise 0.
    virtual int32_t IsGroupListShown() const = 0;
    // Shows or hides the group list as the person's own choice.
    virtual void SetGroupListShown(bool shown) = 0;
    // The list font, the title row settings or the status captions
    // changed: measure and lay out again.
    virtual void OnDisplaySettingsChanged() = 0;
    virtual void RedrawTitleList() = 0;

    // ---- Preview panes (preview_flag bits)
    virtual int32_t PreviewFlags() const = 0;
    // Turns one preview_flag bit on or off.
    virtual void TogglePreview(int32_t flag) = 0;
    // None, content, keywords, both, and round again (F8).
    virtual void CyclePreview() = 0;
    virtual void OnPreviewColorChanged() = 0;

    // ---- Keyword selection
    // The AND/OR mode of the Selected list (kAndMode or kOrMode).
    virtual int32_t SelectedMode() const = 0;
    virtual void SetSelectedMode(int32_t mode) = 0;
    // The requested index mode: 0 all non-selected keywords, 1 related only.
    virtual int32_t IndexMode() const = 0;
    virtual void SetIndexMode(int32_t mode) = 0;
    virtual void ToggleIndexMode() = 0;

    // ---- Title list
    // What the title list shows (a title_mode value).
    virtual int32_t TitleMode() const = 0;
    // The number of articles the title list holds.
    virtual int32_t TitleMemberCount() const = 0;
    // The number of highlighted titles.
    virtual int32_t HighlightedCount() const = 0;
    virtual void ClearTitleHighlight() = 0;
    // The document's sort order changed: the list takes it.
    virtual void OnSortOrderChanged() = 0;
    // Highlights the title after (`next`) or before article `articleId`.
    virtual void StepArticle(int32_t articleId, bool next) = 0;
    // Whether the title list holds article `articleId` (Previous / Next
    // Article of its window are enabled only then).
    virtual bool TitleListHolds(int32_t articleId) const = 0;
};

// The window that is no window: every notice and command does nothing and
// every query answers NIL_BLOCK.
class NoIndexWindow final : public IndexWindow {
public:
    void OnFileLoaded() override {}
    void OnNoGroups() override {}
    void OnPrivacyChanged() override {}
    int32_t ViewMode() const override { return NIL_BLOCK; }
    void SetViewMode(int32_t) override {}
    int32_t IsWindowVisible() const override { return NIL_BLOCK; }
    int32_t IsGroupListShown() const override { return NIL_BLOCK; }
    void SetGroupListShown(bool) override {}
    void OnDisplaySettingsChanged() override {}
    void RedrawTitleList() override {}
    int32_t PreviewFlags() const override { return NIL_BLOCK; }
    void TogglePreview(int32_t) override {}
    void CyclePreview() override {}
    void OnPreviewColorChanged() override {}
    int32_t SelectedMode() const override { return NIL_BLOCK; }
    void SetSelectedMode(int32_t) override {}
    int32_t IndexMode() const override { return NIL_BLOCK; }
    void SetIndexMode(int32_t) override {}
    void ToggleIndexMode() override {}
    int32_t TitleMode() const override { return NIL_BLOCK; }
    int32_t TitleMemberCount() const override { return NIL_BLOCK; }
    int32_t HighlightedCount() const override { return NIL_BLOCK; }
    void ClearTitleHighlight() override {}
    void OnSortOrderChanged() override {}
    void StepArticle(int32_t, bool) override {}
    bool TitleListHolds(int32_t) const override { return false; }
};

class MainWindowHost {
public:
    virtual ~MainWindowHost() = default;

    virtual void Repaint() {}
    // The open file's title in the caption; empty clears it.
    virtual void SetFileTitle(const std::string& /*title*/) {}
    // The "no document" notice: shown while no file is loaded.
    virtual void SetNoDocument(bool /*noDocument*/) {}
    virtual void AddRecentFile(const std::string& /*path*/) {}
    // The Run Saved Query menu, rebuilt from the saved query names
    // (UTF-8, decoded with the file's code page; in stored order).
    virtual void RebuildSavedQueryMenu(const std::vector<std::string>& /*names*/) {}
    // Asks every open window of one of `articles` to close; true when all
    // of them agreed (or none was open).
    virtual bool CloseArticleWindows(const IdSet& /*articles*/) { return true; }
    // Redraw every window of the document but the index window, e.g. after
    // private articles were shown or hidden.
    virtual void RefreshDocumentViews() {}
    // The index window's frame after a successful open: maximized if it
    // was last maximized, otherwise normally; the host knows which.
    virtual void ShowIndexFrame() {}
    // The display font changed (the file's own font, or back to the
    // program's at close).
    virtual void DisplayFontChanged() {}
};

}  // namespace qb
