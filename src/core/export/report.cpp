#include "export/report.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <new>

#include "datafile/quill_error.h"
#include "datafile/records.h"
#include "document/quillbox_doc.h"
#include "index/document_source.h"
#include "index/title_list.h"
#include "platform/locale.h"
#include "platform/progress.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

constexpr char kLineEnd[] = "\r\n";

// The visible articles of the file: hidden private ones count nowhere.
IdSet Visible(const CQuillboxDoc& doc) {
    IdSet v;
    doc.VisibleArticles(v);
    return v;
}

// A keyword of the list that a report shows: it still exists and has a name.
bool Shown(const CQuillboxDoc& doc, int32_t id, std::string& name) {
    if (!doc.IsKeyword(id)) return false;
    try {
        doc.KeywordName(id, name);
    } catch (const CQuillError&) {
        return false;
    }
    return !name.empty();
}

// A keyword usually has few articles of many: looking each one up keeps a
// report of every keyword proportional to the keywords' articles, where
// merging with the kept set would cost the file's article count per keyword.
bool LookUpEach(const IdSet& few, const IdSet& many) {
    return few.Count() * 16 < many.Count();
}

void KeepOnly(IdSet& a, const IdSet& keep) {
    if (!LookUpEach(a, keep)) {
        a.Intersect(keep);
        return;
    }
    std::vector<int32_t> kept;
    for (int32_t id : a)
        if (keep.Contains(id)) kept.push_back(id);
    a = IdSet::FromUnsorted(std::move(kept));  // already in order
}

int32_t CountIn(CQuillboxDoc& doc, int32_t keyword, const IdSet& visible) {
    IdSet a;
    doc.ArticlesOfKeyword(keyword, a);
    if (LookUpEach(a, visible))
        return int32_t(std::count_if(a.begin(), a.end(),
                                     [&visible](int32_t id) { return visible.Contains(id); }));
    a.Intersect(visible);
    return int32_t(a.Count());
}

Report BuildIndex(CQuillboxDoc& doc, const Locale& locale, const ReportParameters& p) {
    Report r;
    IdSet keep = Visible(doc);
    if (p.range == ReportRange::kBookmarked) {
        keep.Intersect(doc.Bookmarks());
    } else if (p.range == ReportRange::kSelected || p.range == ReportRange::kHighlighted) {
        keep.Intersect(IdSet::FromUnsorted(p.rangeArticles));
    }
    DocumentIndexSource source(doc);
    std::string name;
    for (int32_t kw : p.keywords) {
        if (!Shown(doc, kw, name)) continue;
        IdSet a;
        doc.ArticlesOfKeyword(kw, a);
        KeepOnly(a, keep);
        std::vector<int32_t> ids;
        for (int32_t id : a) {
            int32_t date = doc.Summary(id).articleDate;
            if (date >= p.fromDate && date <= p.toDate) ids.push_back(id);
        }
        SortTitles(ids, source, locale, 0);
        ReportSection s;
        s.heading = name;
        for (int32_t id : ids)
            s.lines.push_back(doc.Summary(id).title);
        r.text += name;
        r.text += kLineEnd;
        for (const std::string& t : s.lines) {
            r.text += '\t';
            r.text += t;
            r.text += kLineEnd;
        }
        r.text += kLineEnd;
        r.sections.push_back(std::move(s));
    }
    return r;
}

Report BuildUsage(CQuillboxDoc& doc, const Locale& locale, const ReportParameters& p) {
    Report r;
    const IdSet visible = Visible(doc);
    std::vector<UsageRow> rows;
    std::string name;
    for (int32_t kw : p.keywords)
        if (Shown(doc, kw, name)) rows.push_back(UsageRow{kw, CountIn(doc, kw, visible), name});
    // The names are converted once; every order is stable, equal counts in
    // name order.
    std::vector<std::u16string> names;
    names.reserve(rows.size());
    for (const UsageRow& row : rows)
        names.push_back(doc.TextCodePage().ToUtf16(row.name));
    std::vector<std::size_t> order(rows.size());
    for (std::size_t i = 0; i < order.size(); ++i)
        order[i] = i;
    auto byName = [&](std::size_t a, std::size_t b) { return locale.Compare(names[a], names[b]); };
    switch (p.sort) {
        case UsageSort::kNameAscending:
            break;
        case UsageSort::kNameDescending:
            std::stable_sort(order.begin(), order.end(),
                             [&](std::size_t a, std::size_t b) { return byName(a, b) > 0; });
            break;
        case UsageSort::kCountAscending:
        case UsageSort::kCountDescending: {
            bool up = p.sort == UsageSort::kCountAscending;
            std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
                if (rows[a].count != rows[b].count)
                    return up ? rows[a].count < rows[b].count : rows[a].count > rows[b].count;
                return byName(a, b) < 0;
            });
            break;
        }
    }
    r.text = "# of Articles\tKeyword";
    r.text += kLineEnd;
    for (std::size_t i : order) {
        const UsageRow& row = rows[i];
        if (row.count < p.minimum || row.count > p.maximum) continue;
        r.text += std::to_string(row.count);
        r.text += "\t\t";
        r.text += row.name;
        r.text += kLineEnd;
        r.rows.push_back(row);
    }
    return r;
}

Report BuildGroups(CQuillboxDoc& doc) {
    Report r;
    IdSet groups;
    doc.AllGroups(groups);
    std::string name;
    for (int32_t g : groups) {
        CKeywordGroup group;
        doc.ReadGroup(g, group);
        std::vector<int32_t> ids;
        for (int32_t kw : group.keywords)
            if (Shown(doc, kw, name)) ids.push_back(kw);
        doc.SortKeywordsByName(ids);
        ReportSection s;
        doc.GroupName(g, s.heading);
        for (int32_t kw : ids)
            s.lines.push_back(doc.KeywordName(kw));
        r.text += s.heading;
        r.text += kLineEnd;
        r.text += "\t[" + std::to_string(s.lines.size()) + " keywords]";
        r.text += kLineEnd;
        for (const std::string& k : s.lines) {
            r.text += "\t\t";
            r.text += k;
            r.text += kLineEnd;
        }
        r.text += kLineEnd;
        r.sections.push_back(std::move(s));
    }
    return r;
}

// A name inside the cloud's page: markup characters become entities, so a
// keyword such as "<script" can neither format nor swallow the rest of the
// page; the reader turns them back into the name's own characters.
std::string CloudEscaped(const std::string& name) {
    std::string out;
    out.reserve(name.size());
    for (char c : name) {
        switch (c) {
            case '&':
                out += "&amp;";
                break;
            case '<':
                out += "&lt;";
                break;
            case '>':
                out += "&gt;";
                break;
            case '"':
                out += "&quot;";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::optional<Report> BuildCloud(CQuillboxDoc& doc, const ReportParameters& p, ProgressPort* port) {
    IdSet all;
    doc.AllKeywords(all);
    std::vector<int32_t> ids;
    std::string name;
    for (int32_t kw : all)
        if (Shown(doc, kw, name)) ids.push_back(kw);
    doc.SortKeywordsByName(ids);

    std::unique_ptr<ProgressWindow> progress;
    if (port) {
        progress = port->OpenProgress("Creating Keyword Cloud Report");
        progress->SetRange(2 * int64_t(ids.size()));
        progress->SetText(ResourceString(msg::kCloudGathering));
    }
    const IdSet visible = Visible(doc);
    std::vector<int32_t> counts;
    counts.reserve(ids.size());
    int32_t lo = INT32_MAX, hi = -1;
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (progress) {
            if (progress->Cancelled()) return std::nullopt;
            progress->SetPosition(int64_t(i));
        }
        int32_t c = CountIn(doc, ids[i], visible);
        counts.push_back(c);
        lo = std::min(lo, c);
        hi = std::max(hi, c);
    }
    // The cloud's own count range: keywords without articles never appear.
    lo = std::max(lo, std::max<int32_t>(p.minimum, 1));
    hi = std::min(hi, p.maximum);

    if (progress) progress->SetText(ResourceString(msg::kCloudAssembling));
    Report r;
    r.text = "<HTML>\n<HEAD><TITLE>Keyword Cloud</TITLE></HEAD>\n<BODY>\n";
    const uint32_t colours[2] = {p.baseColour & 0xFFFFFFu, CloudAlternateColour(p.baseColour)};
    for (std::size_t i = 0; i < ids.size(); ++i) {
        if (progress) {
            if (progress->Cancelled()) return std::nullopt;
            progress->SetPosition(int64_t(ids.size() + i));
        }
        int32_t c = counts[i];
        if (c < lo || c > hi) continue;
        CloudWord w;
        w.name = doc.KeywordName(ids[i]);
        w.count = c;
        w.size = CloudSize(c, lo, hi);
        w.colour = colours[r.words.size() % 2];
        char head[64];
        std::snprintf(head, sizeof head, "<FONT COLOR=\"#%02x%02x%02x\" SIZE=\"%d\">",
                      unsigned(w.colour & 255), unsigned(w.colour >> 8 & 255),
                      unsigned(w.colour >> 16 & 255), w.size);
        std::string line = head + CloudEscaped(w.name) + "</FONT>\n";
        r.text += line;
        r.cloudLines.push_back(std::move(line));
        r.words.push_back(std::move(w));
    }
    r.text += "<P></P>\n</BODY>\n</HTML>\n";
    return r;
}

}  // namespace

const char* ReportCaption(ReportKind kind) {
    switch (kind) {
        case ReportKind::kIndex:
            return "Index Report";
        case ReportKind::kUsage:
            return "Keyword Usage Report";
        case ReportKind::kCloud:
            return "Keyword Cloud Report";
        case ReportKind::kGroups:
            return "Keyword Group Report";
    }
    return "";
}

int32_t ReportArticleCount(CQuillboxDoc& doc, int32_t keyword) {
    return CountIn(doc, keyword, Visible(doc));
}

uint32_t CloudAlternateColour(uint32_t base) {
    int c[3] = {int(base & 255), int(base >> 8 & 255), int(base >> 16 & 255)};
    bool light = c[0] + c[1] + c[2] > 380;
    for (int& x : c)
        x = light ? x / 2 : x + (255 - x) / 2;
    return uint32_t(c[0]) | uint32_t(c[1]) << 8 | uint32_t(c[2]) << 16;
}

int CloudSize(int32_t count, int32_t lo, int32_t hi) {
    if (count <= lo || hi <= lo) return 1;
    if (count >= hi) return 8;  // exactly seven steps above lo
    double steps = 7.0 * (std::log(double(count)) - std::log(double(lo))) /
                   (std::log(double(hi)) - std::log(double(lo)));
    // A count that lies exactly on a step's boundary (c/lo a whole power of
    // the step ratio) must not fall below it by rounding.
    int size = int(std::floor(steps + 1e-9)) + 1;
    return std::clamp(size, 1, 8);
}

std::optional<Report> BuildReport(CQuillboxDoc& doc, const Locale& locale, ReportKind kind,
                                  const ReportParameters& params, ProgressPort* progress) {
    try {
        std::optional<Report> r;
        switch (kind) {
            case ReportKind::kIndex:
                r = BuildIndex(doc, locale, params);
                break;
            case ReportKind::kUsage:
                r = BuildUsage(doc, locale, params);
                break;
            case ReportKind::kCloud:
                r = BuildCloud(doc, params, progress);
                break;
            case ReportKind::kGroups:
                r = BuildGroups(doc);
                break;
        }
        if (r) r->kind = kind;
        return r;
    } catch (const std::bad_alloc&) {
        throw CQuillError(err::kOutOfMemory, doc.PathName());
    }
}

}  // namespace qb
