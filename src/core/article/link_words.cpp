#include "article/link_words.h"

#include <algorithm>

namespace qb {
namespace {

bool EndsWord(char16_t c) {
    return IsLinkSpace(c) || c == '<' || c == '>';
}

}  // namespace

WordSpan WordAt(std::u16string_view text, std::span<const StoredLinkRange> storedLinks,
                int32_t pos) {
    int64_t size = int64_t(text.size());
    if (pos < 0 || pos >= size || IsLinkSpace(text[size_t(pos)])) return {};
    // The word may not reach into a stored link ending at or before the
    // position, nor one starting after it.
    int64_t leftLimit = 0, rightLimit = size;
    for (const StoredLinkRange& l : storedLinks) {
        if (l.end < l.start) continue;  // no such range: covers nothing, bounds nothing
        if (l.end <= pos) leftLimit = std::max<int64_t>(leftLimit, l.end);
        if (l.start > pos) rightLimit = std::min<int64_t>(rightLimit, l.start);
    }
    int64_t first = pos, last = pos;
    while (first - 1 >= leftLimit && !EndsWord(text[size_t(first - 1)]))
        --first;
    while (last + 1 < rightLimit && !EndsWord(text[size_t(last + 1)]))
        ++last;
    while (first <= last && !IsLinkAlnum(text[size_t(first)]))
        ++first;
    if (first > last) return {};
    return {int32_t(first), int32_t(last - first + 1)};
}

LinkFlags FlagsForActiveLinksMode(int32_t mode) {
    if (mode == 0) return {true, true};
    if (mode == 1) return {false, true};
    return {false, false};
}

ColouringChange ColouringChangeFor(bool wasOn, bool isOn) {
    if (wasOn == isOn) return ColouringChange::kNone;
    return isOn ? ColouringChange::kMarkWholeText : ColouringChange::kRemoveMarks;
}

HoverDecision HoverAt(std::u16string_view text, std::span<const StoredLinkRange> storedLinks,
                      int32_t pos, bool activation, const LinkRecognizer& recognizer) {
    HoverDecision d;
    for (size_t i = 0; i < storedLinks.size(); ++i) {
        if (pos >= storedLinks[i].start && pos < storedLinks[i].end) {
            d.over = HoverDecision::Over::kStoredLink;
            d.storedLink = int32_t(i);
            return d;
        }
    }
    if (!activation) return d;
    WordSpan w = WordAt(text, storedLinks, pos);
    if (w.length == 0) return d;
    RecognizedRange r;
    if (recognizer.Recognize(text, w.first, w.length, r) != LinkKind::kNone && pos >= r.linkStart &&
        pos < r.afterPos)
        d.over = HoverDecision::Over::kRecognizedLink;
    return d;
}

DoubleClickDecision DoubleClickAt(std::u16string_view text,
                                  std::span<const StoredLinkRange> storedLinks, int32_t pos,
                                  bool activation, const LinkRecognizer& recognizer) {
    using Action = DoubleClickDecision::Action;
    DoubleClickDecision d;
    for (size_t i = 0; i < storedLinks.size(); ++i) {
        if (pos >= storedLinks[i].start && pos <= storedLinks[i].end) {
            d.action = Action::kFollowStoredLink;
            d.storedLink = int32_t(i);
            d.selectStart = storedLinks[i].start;
            d.selectEnd = storedLinks[i].end;
            return d;
        }
    }
    d.action = Action::kControlSelectsWord;
    if (!activation) return d;
    WordSpan w = WordAt(text, storedLinks, pos);
    if (w.length == 0) return d;
    std::u16string_view word = text.substr(size_t(w.first), size_t(w.length));
    RecognizedWord link = recognizer.RecognizeWord(word);
    if (link.kind == LinkKind::kNone) return d;

    d.action = Action::kNothing;
    if (link.kind == LinkKind::kQuotedFile) {
        // The path runs from the first double quote of the word to the next
        // one, or to the end of the text, since it may hold spaces.
        size_t open = text.find(u'"', size_t(w.first));
        if (open == std::u16string_view::npos) return d;
        size_t close = text.find(u'"', open + 1);
        size_t stop = close == std::u16string_view::npos ? text.size() : close;
        std::u16string_view path = text.substr(open + 1, stop - open - 1);
        while (!path.empty() && IsLinkSpace(path.front()))
            path.remove_prefix(1);
        while (!path.empty() && IsLinkSpace(path.back()))
            path.remove_suffix(1);
        if (path.empty()) return d;
        d.action = Action::kOpenFile;
        d.selectStart = w.first;
        d.selectEnd = int32_t(close == std::u16string_view::npos ? text.size() : close + 1);
        d.target = std::u16string(path);
        return d;
    }
    int32_t linkStart = w.first + link.linkStart;
    int32_t linkEnd = linkStart + link.linkLength;
    if (pos < linkStart || pos >= linkEnd) return d;
    d.selectStart = linkStart;
    d.selectEnd = linkEnd;
    if (link.kind == LinkKind::kFile) {
        constexpr size_t kPrefix = 7;  // "file://"
        d.action = Action::kOpenFile;
        d.target = link.linkText.size() > kPrefix ? link.linkText.substr(kPrefix) : link.linkText;
    } else {
        d.action = Action::kOpenWeb;
        d.target = std::move(link.linkText);
    }
    return d;
}

}  // namespace qb
