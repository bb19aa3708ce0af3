// What the index models ask of the window around them and of the program:
// cursors, focus, article windows and the settings written at once. Every
// method has a do-nothing default so that tests and qbx override only what
// they watch.
#pragma once

#include <cstdint>
#include <optional>

namespace qb {

class IndexHost {
public:
    virtual ~IndexHost() = default;

    virtual void BeginWaitCursor() {}
    virtual void EndWaitCursor() {}
    // The highlight or the members of the title list changed.
    virtual void RefreshPreview() {}
    // Brings the index window to the front, restoring it if minimised.
    virtual void BringToFront() {}

    // Settings written as soon as they change.
    virtual void StoreSortOrder(int32_t /*order*/) {}
    virtual void StoreSelectListMode(int32_t /*mode*/) {}

    // Article windows.
    virtual void OpenArticle(int32_t /*articleId*/) {}
    virtual void CloseArticleWindow(int32_t /*articleId*/) {}
    // The article of the active window when it is an article window.
    virtual std::optional<int32_t> ActiveArticleWindow() { return std::nullopt; }
};

// Shows the wait cursor for one scope.
class WaitCursor {
public:
    explicit WaitCursor(IndexHost& h) : h_(h) { h_.BeginWaitCursor(); }
    ~WaitCursor() { h_.EndWaitCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;

private:
    IndexHost& h_;
};

}  // namespace qb
