// The windows the document talks to, as ports: the index window through its
// one numbered dispatch operation, and the main window. The reader
// implements them with Qt, qbx and tests with simple objects.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "datafile/id_set.h"

namespace qb {

// Operation codes of the index window's dispatch. The arguments and the
// answer of each are the index window's business; the document only
// forwards them, and gets NIL_BLOCK back when there is no index window.
namespace dispatch {
// Sent by the document itself.
constexpr int kInitialUpdate = 1;  // the document has loaded a file: fill every list
constexpr int kNoGroups = 2;       // the file has no keyword groups: hide the group list
// The index window's table.
constexpr int kGetView = 4;
constexpr int kIsVisible = 5;
constexpr int kSetView = 6;  // a: 0 keyword lists shown, 1 hidden
constexpr int kListFontChanged = 7;
constexpr int kGetTitleMembers = 8;
constexpr int kDisplaySettingsChanged = 11;
constexpr int kGetSelectedMembers = 13;
constexpr int kSortOrderChanged = 14;
constexpr int kGetTitleListMode = 15;
constexpr int kClearTitleHighlight = 16;
constexpr int kSetAndOrMode = 19;
constexpr int kGetPreviewFlags = 21;
constexpr int kTogglePreviewFlag = 22;  // a: 1 or 2
constexpr int kApplyPreviewColor = 25;
constexpr int kGetHighlightedIds = 26;
constexpr int kStepArticle = 27;  // a: article id, b: 1 next, otherwise previous
constexpr int kStatusCaptionsChanged = 28;
constexpr int kPrivateShownOrHidden = 30;  // rebuild the lists after a lock change
constexpr int kCyclePreviewFlags = 31;
constexpr int kSetIndexMode = 33;
constexpr int kGetIndexMode = 34;
constexpr int kToggleIndexMode = 35;
constexpr int kIsGroupListShown = 41;
constexpr int kShowGroupList = 42;  // a: 0 hide, 1 show
constexpr int kRedrawTitleList = 44;
}  // namespace dispatch

class IndexWindow {
public:
    virtual ~IndexWindow() = default;
    virtual int32_t Dispatch(int code, int32_t a, int32_t b) = 0;
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
    // (Windows-1252, in stored order).
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
