#include "article/window_search.h"

#include <algorithm>
#include <vector>

#include "richtext/text_find.h"

namespace qb {

namespace {

struct Field {
    FindField id;
    std::u16string_view text;
};

// The fields searched, in order.
std::vector<Field> SearchedFields(const WindowTexts& w) {
    std::vector<Field> f;
    if (w.where != FindWhere::kTextOnly) f.push_back({FindField::kTitle, w.title});
    if (w.where != FindWhere::kTitleOnly) f.push_back({FindField::kContent, w.content});
    return f;
}

int IndexOf(const std::vector<Field>& fields, FindField id) {
    for (std::size_t i = 0; i < fields.size(); ++i)
        if (fields[i].id == id) return int(i);
    return -1;
}

}  // namespace

FieldPosition SearchStart(const WindowTexts& w, FindField focus, int32_t selStart, int32_t selEnd,
                          bool afterSelection) {
    std::vector<Field> fields = SearchedFields(w);
    int i = IndexOf(fields, focus);
    if (i < 0) return {fields.front().id, 0};
    int32_t len = int32_t(fields[std::size_t(i)].text.size());
    int32_t lo = std::min(selStart, selEnd), hi = std::max(selStart, selEnd);
    return {focus, std::clamp(afterSelection ? hi : lo, 0, len)};
}

std::optional<WindowFind> FindInWindow(const WindowTexts& w, FieldPosition origin,
                                       WindowCursor cursor) {
    std::vector<Field> fields = SearchedFields(w);
    const int o = IndexOf(fields, origin.field);
    TextPattern pattern(w.pattern, w.flags);
    if (o < 0 || pattern.Empty()) return std::nullopt;
    const int n = int(fields.size());
    for (int leg = std::max(cursor.leg, 0); leg <= n; ++leg) {
        const Field& field = fields[std::size_t((o + leg) % n)];
        int32_t start = leg == cursor.leg ? cursor.pos : (leg == 0 ? origin.pos : 0);
        int32_t at = pattern.Find(field.text, start);
        if (at < 0 || (leg == n && at >= origin.pos)) continue;
        int32_t end = at + pattern.Length();
        return WindowFind{{field.id, at, end}, {leg, end}};
    }
    return std::nullopt;
}

}  // namespace qb
