#include "article/link_marker.h"

#include <algorithm>

namespace qb {

LinkMarker::LinkMarker(std::u16string_view text, std::span<const StoredLinkRange> storedLinks,
                       int32_t from, int32_t to, const LinkRecognizer& recognizer)
    : text_(text), recognizer_(recognizer) {
    int64_t size = int64_t(text.size());
    from_ = int32_t(std::clamp<int64_t>(from, 0, size));
    to_ = int32_t(std::clamp<int64_t>(to, from_, size));
    for (const StoredLinkRange& l : storedLinks)
        if (l.end > l.start) links_.push_back(l);
    std::sort(links_.begin(), links_.end(),
              [](const StoredLinkRange& a, const StoredLinkRange& b) { return a.start < b.start; });
    // Overlapping or touching links act as one: a word starting in either
    // starts after both, and a word ends at the first of them.
    std::vector<StoredLinkRange> merged;
    for (const StoredLinkRange& l : links_) {
        if (!merged.empty() && l.start <= merged.back().end)
            merged.back().end = std::max(merged.back().end, l.end);
        else
            merged.push_back(l);
    }
    links_ = std::move(merged);
}

size_t LinkMarker::LinkAtOrAfter(int64_t pos) const {
    return size_t(std::upper_bound(links_.begin(), links_.end(), pos,
                                   [](int64_t p, const StoredLinkRange& l) { return p < l.end; }) -
                  links_.begin());
}

int32_t LinkMarker::MarkFrom(int32_t pos, int32_t budget, std::vector<MarkedLink>& out) const {
    int64_t p = std::clamp<int64_t>(pos, from_, to_);
    int64_t stop = p + std::max<int64_t>(budget, 1);
    size_t next = LinkAtOrAfter(p);
    while (p < to_ && p < stop) {
        while (p < to_ && IsLinkSpace(text_[size_t(p)]))
            ++p;
        while (next < links_.size() && links_[next].end <= p)
            ++next;
        if (next < links_.size() && links_[next].start <= p) {
            p = links_[next].end;
            ++next;
            continue;
        }
        if (p >= to_) break;
        int64_t wordEnd = p;
        int64_t limit = next < links_.size() ? std::min<int64_t>(links_[next].start, to_) : to_;
        while (wordEnd < limit && !IsLinkSpace(text_[size_t(wordEnd)]))
            ++wordEnd;
        RecognizedRange r;
        LinkKind kind = recognizer_.Recognize(text_, int32_t(p), int32_t(wordEnd - p), r);
        if (kind == LinkKind::kNone) {
            p = wordEnd + 1;
            continue;
        }
        // Merged links are disjoint and sorted: only the next one can overlap.
        bool overlaps = next < links_.size() && links_[next].start < r.afterPos &&
                        r.linkStart < links_[next].end;
        if (!overlaps) out.push_back({r.linkStart, r.linkLength, kind});
        p = r.afterPos;
    }
    return int32_t(std::min<int64_t>(p, to_));
}

std::vector<MarkedLink> LinkMarker::MarkAll() const {
    std::vector<MarkedLink> out;
    int32_t pos = from_;
    while (pos < to_)
        pos = MarkFrom(pos, INT32_MAX, out);
    return out;
}

}  // namespace qb
