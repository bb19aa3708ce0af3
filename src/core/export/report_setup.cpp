#include "export/report_setup.h"

#include <memory>

#include <algorithm>
#include <filesystem>
#include <utility>

#include "app/article_font.h"
#include "app/settings.h"
#include "datafile/dates.h"
#include "datafile/id_set.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "export/output_code_page.h"
#include "platform/locale.h"

namespace qb {

std::vector<ReportKeyword> ReportKeywordChoices(const CQuillboxDoc& doc, const Locale& locale) {
    IdSet all;
    doc.AllKeywords(all);
    struct Keyed {
        ReportKeyword k;
        std::string key;
    };
    std::vector<Keyed> keyed;
    keyed.reserve(all.Count());
    for (int32_t id : all) {
        ReportKeyword k;
        k.id = id;
        try {
            doc.KeywordName(id, k.name);
        } catch (const CQuillError&) {
            continue;  // an unreadable keyword is in no report
        }
        if (k.name.empty()) continue;
        std::string key = locale.SortKey(doc.TextCodePage().ToUtf16(k.name));
        keyed.push_back({std::move(k), std::move(key)});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const Keyed& a, const Keyed& b) { return a.key < b.key; });
    std::vector<ReportKeyword> out;
    out.reserve(keyed.size());
    for (Keyed& k : keyed)
        out.push_back(std::move(k.k));
    return out;
}

ReportKeywordLists::ReportKeywordLists(std::vector<ReportKeyword> choices)
    : choices_(std::move(choices)), included_(choices_.size(), false) {}

std::vector<ReportKeyword> ReportKeywordLists::Available() const {
    std::vector<ReportKeyword> out;
    for (std::size_t i = 0; i < choices_.size(); ++i)
        if (!included_[i]) out.push_back(choices_[i]);
    return out;
}

std::vector<ReportKeyword> ReportKeywordLists::Included() const {
    std::vector<ReportKeyword> out;
    for (std::size_t i = 0; i < choices_.size(); ++i)
        if (included_[i]) out.push_back(choices_[i]);
    return out;
}

std::vector<int32_t> ReportKeywordLists::IncludedIds() const {
    std::vector<int32_t> out;
    for (std::size_t i = 0; i < choices_.size(); ++i)
        if (included_[i]) out.push_back(choices_[i].id);
    return out;
}

namespace {
void Mark(const std::vector<ReportKeyword>& choices, std::vector<bool>& flags,
          const std::vector<int32_t>& ids, bool on) {
    IdSet chosen = IdSet::FromUnsorted(ids);
    for (std::size_t i = 0; i < choices.size(); ++i)
        if (chosen.Contains(choices[i].id)) flags[i] = on;
}
}  // namespace

void ReportKeywordLists::Include(const std::vector<int32_t>& ids) {
    Mark(choices_, included_, ids, true);
}
void ReportKeywordLists::Exclude(const std::vector<int32_t>& ids) {
    Mark(choices_, included_, ids, false);
}
void ReportKeywordLists::IncludeAll() {
    std::fill(included_.begin(), included_.end(), true);
}
void ReportKeywordLists::Clear() {
    std::fill(included_.begin(), included_.end(), false);
}
bool ReportKeywordLists::CanRun() const {
    return std::find(included_.begin(), included_.end(), true) != included_.end();
}

bool ReportRangeChoices::Allows(ReportRange r) const {
    switch (r) {
        case ReportRange::kAll:
            return true;
        case ReportRange::kBookmarked:
            return bookmarked;
        case ReportRange::kSelected:
            return selected;
        case ReportRange::kHighlighted:
            return highlighted;
    }
    return false;
}

bool ReadReportDates(const std::string& from, const std::string& to, const Locale& locale, Ui& ui,
                     ReportParameters& out) {
    int32_t f = INT32_MIN, t = INT32_MAX;
    int pivot = DefaultPivotYear(locale);
    if ((!from.empty() && !ParseDate(from, locale, pivot, f)) ||
        (!to.empty() && !ParseDate(to, locale, pivot, t))) {
        ReportInvalidDate(ui, locale);
        return false;
    }
    out.fromDate = f;
    out.toDate = t;
    return true;
}

UsageCountRange UsageCounts(const CQuillboxDoc& doc) {
    return {0, int32_t(doc.AllArticles().Count())};
}

UsageSort UsageSortOf(bool byCount, bool descending) {
    if (byCount) return descending ? UsageSort::kCountDescending : UsageSort::kCountAscending;
    return descending ? UsageSort::kNameDescending : UsageSort::kNameAscending;
}

CharFormat ReportFont(const ArticleFont& display, int32_t customTextColor) {
    CharFormat f;
    f.face = display.font.faceName;
    f.height = FontPointsForHeight(display.font.height, kDefaultScreenDpi) * 20;
    f.colour = customTextColor < 0 ? kAutoColour : uint32_t(customTextColor) & 0xFFFFFFu;
    return f;
}

uint32_t CloudBaseColour(int32_t customTextColor) {
    return customTextColor < 0 ? 0u : uint32_t(customTextColor) & 0xFFFFFFu;
}

ReportDisplay MakeReportDisplay(const Settings& settings, const CQuillboxDoc& doc,
                                const FontFamilies* fonts) {
    ReportDisplay d;
    d.font = ReportFont(settings.displayFont, settings.customTextColor);
    d.html.defaultFace = d.font.face;
    d.html.textColour = d.font.colour;
    d.html.fonts = fonts;
    d.codePage = doc.TextCodePage();
    return d;
}

ReportExportContext MakeReportExportContext(const Settings& settings, CQuillboxDoc& doc) {
    HtmlSettings h = MakeHtmlSettings(settings, settings.displayFont);
    const CodePage& page = doc.TextCodePage();
    if (page.Number() != CodePage::kDefault) {
        h.codePage = std::make_shared<OutputCodePage>(OutputCodePage::Of(page));
        if (h.exportType == 0) {
            h.exportType = 2;
            h.customSet = page.CharsetName();
        }
    }
    CharFormat rtf = ReportFont(settings.displayFont, -1);
    return ReportExportContext{doc, std::move(h), std::move(rtf)};
}

std::optional<ReportFileFormat> ReportFormatOfPath(const std::string& path) {
    std::string ext = std::filesystem::path(path).extension().string();
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](unsigned char c) { return char(c >= 'A' && c <= 'Z' ? c + 32 : c); });
    if (ext == ".txt") return ReportFileFormat::kText;
    if (ext == ".rtf") return ReportFileFormat::kRtf;
    if (ext == ".htm" || ext == ".html") return ReportFileFormat::kHtml;
    return std::nullopt;
}

std::string ReportExportName(const CQuillboxDoc& doc) {
    return std::filesystem::path(doc.PathName()).stem().string();
}

const char* ReportFileSuffix(int32_t reportFileType) {
    switch (reportFileType) {
        case 2:
            return "rtf";
        case 3:
            return "htm";
        default:
            return "txt";
    }
}

}  // namespace qb
