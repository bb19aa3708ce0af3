// What a report window holds and decides without widgets: its kind and
// parameters for its whole life, the report last built and its rich text,
// and whether it is fresh or outdated (after the file changed). The view
// draws `Control()` and forwards its buttons here.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "export/html_reader.h"
#include "export/report.h"
#include "platform/code_page.h"
#include "platform/command_state.h"
#include "richtext/rich_text.h"

namespace qb {

// How the window shows a report.
struct ReportDisplay {
    CharFormat font;            // the display font and the text colour
    HtmlReaderSettings html;    // the cloud's page
    int32_t usageTabTwips = 0;  // the usage report's tab step (0: from the font's size)
    CodePage codePage;          // of the file's text
};

// Fills `out` with the report as the window shows it: the text (the cloud
// through the HTML reader), the usage report's first line bold with its
// two tab stops, every paragraph indented by 100 twips.
void ShowReport(const Report& report, const ReportDisplay& display, RichTextControl& out);

// The window's text with LF line ends, UTF-8 (what qbx prints).
std::string ReportTextUtf8(const RichTextControl& window);

class ReportWindowModel {
public:
    ReportWindowModel(ReportKind kind, ReportParameters params)
        : kind_(kind), params_(std::move(params)) {}

    ReportKind Kind() const { return kind_; }
    const ReportParameters& Parameters() const { return params_; }

    // Builds (or rebuilds, for Update) the report with the file's current
    // content and marks it fresh. False when the person cancelled the
    // cloud's progress window (the window then closes). Throws CQuillError;
    // the window then keeps what it had.
    bool Build(CQuillboxDoc& doc, const Locale& locale, const ReportDisplay& display,
               ProgressPort* progress = nullptr);

    // The document changed articles or keywords.
    void MarkOutdated() { outdated_ = true; }
    // A keyword was deleted: it leaves the list, and the report is outdated.
    void KeywordDeleted(int32_t keyword);
    // The text colour setting changed: the cloud takes its new colours at
    // the next Update (any report is outdated, its text colour is old).
    void SetCloudColour(uint32_t base) {
        params_.baseColour = base;
        outdated_ = true;
    }

    bool IsOutdated() const { return outdated_; }
    bool IsBuilt() const { return report_.has_value(); }
    CommandState PrintState() const { return {IsBuilt() && !outdated_, false}; }
    CommandState ExportState() const { return {IsBuilt() && !outdated_, false}; }
    CommandState UpdateState() const { return {outdated_, false}; }

    const Report& Current() const { return *report_; }
    const RichTextControl& Control() const { return control_; }

private:
    ReportKind kind_;
    ReportParameters params_;
    std::optional<Report> report_;
    RichTextControl control_;
    bool outdated_ = false;
};

}  // namespace qb
