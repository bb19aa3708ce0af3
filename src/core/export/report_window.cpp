#include "export/report_window.h"

#include <algorithm>

#include "document/quillbox_doc.h"

namespace qb {
namespace {

constexpr int32_t kReportIndentTwips = 100;

std::u16string WithParagraphEnds(std::u16string text) {
    // CR LF is one paragraph end in the control.
    std::u16string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n') ++i;
        out.push_back(text[i] == u'\n' ? u'\r' : text[i]);
    }
    return out;
}

// The width of "# of Articles" estimated from the font's height when the
// window did not measure it: an average character of half the height.
int32_t EstimatedUsageTab(const CharFormat& font) {
    int32_t textTwips = int32_t(13 * font.height / 2);
    return (textTwips + 360) / 2;
}

}  // namespace

void ShowReport(const Report& report, const ReportDisplay& display, RichTextControl& out) {
    if (report.kind == ReportKind::kCloud) {
        ReadHtml(report.text, display.html, out);
    } else {
        out.SetDefaultCharFormat(display.font);
        out.Clear();
        out.SetText(WithParagraphEnds(display.codePage.ToUtf16(report.text)));
        if (report.kind == ReportKind::kUsage) {
            int32_t end = out.ParagraphCount() > 1 ? out.ParagraphStart(1) - 1 : out.TextLength();
            CharFormat bold;
            bold.effects = kEffectBold;
            out.SetCharFormat(0, end, bold, kCharMaskBold);
        }
    }
    ParaFormat para;
    para.startIndent = kReportIndentTwips;
    uint32_t mask = kParaMaskStartIndent;
    if (report.kind == ReportKind::kUsage) {
        int32_t t =
            display.usageTabTwips > 0 ? display.usageTabTwips : EstimatedUsageTab(display.font);
        para.tabs = {TabStop{t}, TabStop{2 * t}};
        mask |= kParaMaskTabStops;
    }
    out.SetParaFormat(0, out.TextLength(), para, mask);
}

std::string ReportTextUtf8(const RichTextControl& window) {
    std::string crlf = window.StreamOutText(TextEncoding::kUtf8);
    std::string out;
    out.reserve(crlf.size() + 1);
    for (std::size_t i = 0; i < crlf.size(); ++i)
        if (!(crlf[i] == '\r' && i + 1 < crlf.size() && crlf[i + 1] == '\n')) out += crlf[i];
    if (!out.empty() && out.back() != '\n') out += '\n';
    return out;
}

bool ReportWindowModel::Build(CQuillboxDoc& doc, const Locale& locale, const ReportDisplay& display,
                              ProgressPort* progress) {
    std::optional<Report> r = BuildReport(doc, locale, kind_, params_, progress);
    if (!r) return false;
    RichTextControl shown;
    ShowReport(*r, display, shown);
    report_ = std::move(r);
    control_ = std::move(shown);
    outdated_ = false;
    return true;
}

void ReportWindowModel::KeywordDeleted(int32_t keyword) {
    auto& k = params_.keywords;
    k.erase(std::remove(k.begin(), k.end(), keyword), k.end());
    outdated_ = true;
}

}  // namespace qb
