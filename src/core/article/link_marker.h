// Marking recognised links in a range of the content: which characters get
// the recognised-link colour (blue) and underline. The marker can run in
// slices, so that the window drives a long text from its event loop; the
// slices together give exactly the result of one pass.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "article/link_recognizer.h"
#include "article/link_words.h"

namespace qb {

struct MarkedLink {
    int32_t start = 0;
    int32_t length = 0;
    LinkKind kind = LinkKind::kNone;
    bool operator==(const MarkedLink&) const = default;
};

// The colour of a recognised link, in the control's blue-green-red order.
constexpr uint32_t kRecognizedLinkColour = 0xFF0000;

// Ranges longer than this, and whole-text marking, are marked in slices
// between events (with the main window disabled and a wait cursor).
constexpr int32_t kMarkInOnePassLimit = 10000;
inline bool MarkInSlices(int32_t rangeLength, bool wholeText) {
    return wholeText || rangeLength > kMarkInOnePassLimit;
}

class LinkMarker {
public:
    // Marks words of text[from, to); the text, the stored links and the
    // recogniser must outlive the marker. Stored links that cover no
    // character are ignored.
    LinkMarker(std::u16string_view text, std::span<const StoredLinkRange> storedLinks, int32_t from,
               int32_t to, const LinkRecognizer& recognizer = LinkRecognizer::Shared());

    int32_t Begin() const { return from_; }
    int32_t End() const { return to_; }

    // Marks the words starting at `pos` (a value Begin() or an earlier call
    // returned) until about `budget` characters have been walked, appending
    // the links found to `out`. Returns where to go on; End() when finished.
    int32_t MarkFrom(int32_t pos, int32_t budget, std::vector<MarkedLink>& out) const;

    // The whole range in one pass.
    std::vector<MarkedLink> MarkAll() const;

private:
    // The merged stored link containing pos, or the first one after it.
    size_t LinkAtOrAfter(int64_t pos) const;

    std::u16string_view text_;
    std::vector<StoredLinkRange> links_;  // sorted, merged, non-empty
    int32_t from_, to_;
    const LinkRecognizer& recognizer_;
};

}  // namespace qb
