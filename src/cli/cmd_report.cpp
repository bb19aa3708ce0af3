// qbx report FILE --kind KIND: a keyword report as its window shows it, or
// exported to a text, RTF or HTML file.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/profile_store.h"
#include "app/settings.h"
#include "app/settings_location.h"
#include "app/system_env.h"
#include "cli_document.h"
#include "command.h"
#include "export/report.h"
#include "export/report_export.h"
#include "export/report_setup.h"
#include "export/report_window.h"
#include "index_session.h"
#include "options.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx report [--password-stdin] [--allow-newer] FILE\n"
    "                  --kind index|usage|groups|cloud [--format text|rtf|html]\n"
    "                  [--keyword NAME]... [--range all|bookmarked]\n"
    "                  [--from DATE] [--to DATE] [--at-least N] [--no-more-than N]\n"
    "                  [--sort name|name-desc|count|count-desc] [--output PATH]\n"
    "                  [--code-page N]\n"
    "\n"
    "Builds a keyword report of the data file FILE, as the reader's File >\n"
    "Report commands do: index (each keyword with the titles of its articles),\n"
    "usage (the number of articles of each keyword), groups (the keywords of\n"
    "each keyword group) or cloud (every used keyword with its size 1..8).\n"
    "Without --output the report's text is printed in UTF-8 (text, the\n"
    "default), or the file that --format rtf or html would write goes to\n"
    "stdout. With --output PATH the report is exported to PATH as the Export\n"
    "button writes it (text and rtf begin with the file's export header);\n"
    "PATH is replaced only when the export succeeded.\n"
    "\n"
    "The setup dialogs' choices (index and usage reports):\n"
    "  --keyword NAME   include the keyword NAME; repeated, several; none: all\n"
    "                   keywords. They are reported in name order.\n"
    "  --range          index: all articles (the default) or the bookmarked ones\n"
    "  --from, --to     index: the first and last article date (both included;\n"
    "                   typed as the locale writes dates, or as YYYY-MM-DD)\n"
    "  --at-least N, --no-more-than N\n"
    "                   usage: only keywords with N or more (at most N) articles\n"
    "  --sort           usage: by name (the default), name-desc, count or\n"
    "                   count-desc (equal counts in name order)\n"
    "Private articles count only when unlocked by a password.\n"
    "\n"
    "Exit status: 0 on success, 1 when the file cannot be read, a keyword is\n"
    "unknown or PATH cannot be written (the message on stderr), 2 on a usage\n"
    "mistake or an invalid date.\n"
    "\n" QBX_PASSWORD_HELP
    "\n"
    "--code-page N reads the file's text in the Windows code page N (874,\n"
    "1250 to 1258); the default is the reader's setting, else 1252.\n";

std::optional<qb::ReportKind> KindNamed(const std::string& name) {
    if (name == "index") return qb::ReportKind::kIndex;
    if (name == "usage") return qb::ReportKind::kUsage;
    if (name == "cloud") return qb::ReportKind::kCloud;
    if (name == "groups") return qb::ReportKind::kGroups;
    return std::nullopt;
}

std::optional<qb::ReportFileFormat> FormatNamed(const std::string& name) {
    if (name == "text") return qb::ReportFileFormat::kText;
    if (name == "rtf") return qb::ReportFileFormat::kRtf;
    if (name == "html") return qb::ReportFileFormat::kHtml;
    return std::nullopt;
}

std::optional<qb::UsageSort> SortNamed(const std::string& name) {
    if (name == "name") return qb::UsageSort::kNameAscending;
    if (name == "name-desc") return qb::UsageSort::kNameDescending;
    if (name == "count") return qb::UsageSort::kCountAscending;
    if (name == "count-desc") return qb::UsageSort::kCountDescending;
    return std::nullopt;
}

Option CountOption(const std::string& name, std::optional<int32_t>& value) {
    return {name, true, "a count of articles",
            [name, &value](const std::string& v) -> std::optional<std::string> {
                bool digits = !v.empty() && v.size() <= 10;
                long long n = 0;
                for (char c : v) {
                    if (c < '0' || c > '9') digits = false;
                    if (digits) n = n * 10 + (c - '0');
                }
                if (!digits || n > INT32_MAX)
                    return name + " takes a number from 0 to " + std::to_string(INT32_MAX);
                value = int32_t(n);
                return std::nullopt;
            }};
}

struct ReportArgs {
    DocumentOptions doc;
    std::string kind, format = "text", range, sort, from, to, output;
    std::vector<std::string> keywords;
    std::optional<int32_t> atLeast, noMoreThan;
    bool codePageGiven = false, outputGiven = false;
};

// An option that only some kinds take: the usage error when it was given
// for another kind.
std::optional<std::string> Misplaced(const ReportArgs& a, qb::ReportKind kind) {
    bool indexOrUsage = kind == qb::ReportKind::kIndex || kind == qb::ReportKind::kUsage;
    if (!a.keywords.empty() && !indexOrUsage) return "--keyword is for the index and usage reports";
    if (kind != qb::ReportKind::kIndex) {
        if (!a.range.empty()) return "--range is for the index report";
        if (!a.from.empty() || !a.to.empty()) return "--from and --to are for the index report";
    }
    if (kind != qb::ReportKind::kUsage) {
        if (a.atLeast || a.noMoreThan)
            return "--at-least and --no-more-than are for the usage report";
        if (!a.sort.empty()) return "--sort is for the usage report";
    }
    return std::nullopt;
}

// Writes the file of `format` to stdout: it is made in a private scratch
// folder (the export only ever replaces whole files) and copied out.
int WriteToStdout(const qb::Report& report, const qb::RichTextControl& window,
                  qb::ReportFileFormat format, const qb::ReportExportContext& context, qb::Ui& ui) {
    std::error_code ec;
    std::string pattern = (std::filesystem::temp_directory_path(ec) / "qbx-report-XXXXXX").string();
    if (ec) pattern = "/tmp/qbx-report-XXXXXX";
    std::vector<char> buf(pattern.begin(), pattern.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) {
        std::perror("qbx report: a scratch folder");
        return 1;
    }
    std::string dir = buf.data();
    std::string file = dir + "/report";
    int rc = 1;
    if (qb::ExportReport(report, window, format, file, context, ui)) {
        if (std::FILE* in = std::fopen(file.c_str(), "rb")) {
            rc = 0;
            char chunk[65536];
            size_t n;
            while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0)
                if (std::fwrite(chunk, 1, n, stdout) != n) rc = 1;
            if (std::ferror(in)) rc = 1;
            std::fclose(in);
        }
    }
    std::filesystem::remove_all(dir, ec);
    if (std::fflush(stdout) != 0) rc = 1;
    return rc;
}

int Run(const Args& args) {
    ReportArgs a;
    CommandSyntax syntax = DocumentSyntax("report", kUsage, a.doc);
    for (Option& o : syntax.options)
        if (o.name == "--code-page")
            o.apply = [&a, apply = o.apply](const std::string& v) {
                a.codePageGiven = true;
                return apply(v);
            };
    syntax.options.insert(syntax.options.end(),
                          {Value("--kind", "index, usage, groups or cloud", a.kind),
                           Value("--format", "text, rtf or html", a.format),
                           Values("--keyword", "include a keyword; repeated, several", a.keywords),
                           Value("--range", "all or bookmarked", a.range),
                           Value("--from", "the first article date", a.from),
                           Value("--to", "the last article date", a.to),
                           CountOption("--at-least", a.atLeast),
                           CountOption("--no-more-than", a.noMoreThan),
                           Value("--sort", "name, name-desc, count or count-desc", a.sort),
                           {"--output", true, "the file to write",
                            [&a](const std::string& v) -> std::optional<std::string> {
                                if (v.empty()) return "--output takes a path";
                                a.output = v;
                                a.outputGiven = true;
                                return std::nullopt;
                            }}});
    syntax.missingValueNamesOption = true;
    if (auto rc = ParseArguments(args, syntax, a.doc.path)) return *rc;
    if (a.kind.empty()) return UsageError(syntax, "--kind is required");
    std::optional<qb::ReportKind> kind = KindNamed(a.kind);
    if (!kind) return UsageError(syntax, "--kind takes index, usage, groups or cloud");
    std::optional<qb::ReportFileFormat> format = FormatNamed(a.format);
    if (!format) return UsageError(syntax, "--format takes text, rtf or html");
    if (auto why = Misplaced(a, *kind)) return UsageError(syntax, *why);
    if (!a.range.empty() && a.range != "all" && a.range != "bookmarked")
        return UsageError(syntax, "--range takes all or bookmarked");
    std::optional<qb::UsageSort> sort = SortNamed(a.sort.empty() ? "name" : a.sort);
    if (!sort) return UsageError(syntax, "--sort takes name, name-desc, count or count-desc");

    qb::LinuxSystemEnv env;
    qb::ProfileStore store(qb::ChooseSettingsLocation(env).settingsPath);
    store.Load();
    qb::Settings settings;
    settings.Load(store);
    settings.LoadArticleFont(store, qb::DefaultArticleFont());
    if (!a.codePageGiven) {
        if (auto page = qb::CodePage::Windows(settings.codePage)) a.doc.codePage = *page;
    }

    CommandDocument cd;
    qb::ReportParameters params;
    // The dates are checked before the file is opened: a typing mistake
    // needs no password.
    if (!qb::ReadReportDates(a.from, a.to, cd.locale, cd.ui, params)) {
        std::fprintf(stderr, "(--from or --to)\n");
        return 2;
    }
    std::error_code ec;
    std::string path = std::filesystem::absolute(a.doc.path, ec).string();
    if (ec) path = a.doc.path;
    if (int rc = cd.Open(path, a.doc)) return rc;
    qb::CQuillboxDoc& doc = cd.doc;

    std::vector<qb::ReportKeyword> choices = qb::ReportKeywordChoices(doc, cd.locale);
    qb::ReportKeywordLists lists(choices);
    if (a.keywords.empty()) {
        lists.IncludeAll();
    } else {
        for (const std::string& name : a.keywords) {
            std::string stored = ToFileText(doc, name);
            std::vector<int32_t> ids;
            for (const qb::ReportKeyword& k : choices)
                if (k.name == stored) ids.push_back(k.id);
            if (ids.empty()) {
                qb::CQuillError(qb::msg::kQueryUnknownKeyword).ReportError(cd.ui);
                std::fprintf(stderr, "%s\n", name.c_str());
                return 1;
            }
            lists.Include(ids);
        }
    }
    params.keywords = lists.IncludedIds();
    if (a.range == "bookmarked") params.range = qb::ReportRange::kBookmarked;
    if (a.atLeast) params.minimum = *a.atLeast;
    if (a.noMoreThan) params.maximum = *a.noMoreThan;
    params.sort = *sort;
    params.baseColour = qb::CloudBaseColour(settings.customTextColor);

    qb::ReportWindowModel window(*kind, params);
    try {
        qb::ReportDisplay display = qb::MakeReportDisplay(settings, doc);
        if (!window.Build(doc, cd.locale, display, ::isatty(STDERR_FILENO) ? &cd.ui : nullptr)) {
            cd.ui.MessageBox(qb::ResourceString(qb::msg::kCloudCancelled), qb::MessageIcon::Stop);
            return 1;
        }
    } catch (const qb::CQuillError& e) {
        e.ReportError(cd.ui);
        return 1;
    }
    qb::ReportExportContext context = qb::MakeReportExportContext(settings, doc);
    if (a.outputGiven)
        return qb::ExportReport(window.Current(), window.Control(), *format, a.output, context,
                                cd.ui)
                   ? 0
                   : 1;
    if (*format != qb::ReportFileFormat::kText)
        return WriteToStdout(window.Current(), window.Control(), *format, context, cd.ui);
    std::string text = qb::ReportTextUtf8(window.Control());
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 && !std::ferror(stdout) ? 0 : 1;
}

}  // namespace

static Registrar reg("report", "print or export a keyword report (index, usage, groups, cloud)",
                     Run);

}  // namespace qbx
