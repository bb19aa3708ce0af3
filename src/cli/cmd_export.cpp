// qbx export FILE TARGET: the Export command's run without its dialogs.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/profile_store.h"
#include "app/settings.h"
#include "app/settings_location.h"
#include "app/system_env.h"
#include "cli_document.h"
#include "command.h"
#include "export/export_articles.h"
#include "options.h"

namespace qbx {
namespace {

const char kUsage[] =
    "usage: qbx export [--password-stdin] [--allow-newer] FILE TARGET\n"
    "                  --format html|text|rtf|csv|cardfile|markdown [--separate-files]\n"
    "                  [--wiki-links] [--headings] [--include-private] [--underline]\n"
    "                  [--range all|bookmarked] [--sort title|title-desc|date|date-desc]\n"
    "                  [--flags HEX] [--line-length N] [--html-type 0|1|2]\n"
    "                  [--html-encode-set N] [--html-charset NAME]\n"
    "                  [--code-page N] [--encoding utf-8]\n"
    "\n"
    "Exports the articles of the data file FILE into TARGET, as the Export\n"
    "command does: one file, or with --separate-files (text, rtf and html) one\n"
    "file per article in the existing folder TARGET, named from the titles\n"
    "(html adds toc.htm). --format markdown writes a notes folder into the\n"
    "existing folder TARGET: a UTF-8 note per article (Title.md) with YAML front\n"
    "matter, index.md, and attachments/ with the copied files and pictures;\n"
    "--wiki-links links notes as [[Title]], --headings makes a large bold first\n"
    "line a heading, --include-private exports private articles too (with the\n"
    "password given), --underline writes underlined text as <u>...</u>.\n"
    "--range exports all articles (the default) or the bookmarked ones; --sort\n"
    "orders them by title (the default) or date.\n"
    "--flags are the export flags in hexadecimal, default 7B: 01 export header,\n"
    "02 titles, 04 number the titles, 08 dates, 10 attachments, 20 keywords,\n"
    "40 content; titles alone (02, with 01 or 04) make a list of titles.\n"
    "--line-length wraps text files at N columns (0: no limit). --html-type\n"
    "declares no encoding (0), a pre-defined one (1, chosen by --html-encode-set)\n"
    "or the charset NAME of --html-charset (2). Defaults are the reader's\n"
    "settings; the font is the file's own display font, else the reader's.\n"
    "Texts are written in the data file's code page (--code-page N, default\n"
    "the reader's setting, else 1252), as stored. HTML writes a character the\n"
    "code page lacks as a character reference, RTF as Unicode; text and csv\n"
    "write it as \"?\" and count it on stderr, unless --encoding utf-8 (or the\n"
    "reader's Export preference) writes them in UTF-8, where nothing is lost.\n"
    "\n"
    "TARGET is replaced only when the export succeeded; on failure it is left\n"
    "as it was. On a terminal, stderr shows the progress.\n"
    "Exit status: 0 on success, 1 when the file cannot be read or TARGET cannot\n"
    "be written (the message on stderr), 2 on a usage mistake.\n"
    "\n" QBX_PASSWORD_HELP;

std::optional<std::string> ParseNumber(const std::string& v, int base, long long max,
                                       long long& out) {
    if (v.empty() || v.size() > 12) return "a number";
    char* end = nullptr;
    long long n = std::strtoll(v.c_str(), &end, base);
    if (*end != '\0' || n < 0 || n > max) return "a number";
    out = n;
    return std::nullopt;
}

Option NumberOption(const std::string& name, std::string help, int base, long long max,
                    std::optional<long long>& value) {
    return {name, true, std::move(help),
            [name, base, max, &value](const std::string& v) -> std::optional<std::string> {
                long long n = 0;
                if (ParseNumber(v, base, max, n))
                    return name +
                           (base == 16 ? " takes a hexadecimal number up to "
                                       : " takes a number up to ") +
                           std::to_string(max);
                value = n;
                return std::nullopt;
            }};
}

struct ExportArgs {
    DocumentOptions doc;
    std::string format, range = "all", sort = "title", charset, encoding;
    bool separateFiles = false, charsetGiven = false, codePageGiven = false;
    bool wikiLinks = false, headings = false, includePrivate = false, underline = false;
    std::optional<long long> flags, lineLength, htmlType, encodeSet;
};

std::optional<qb::ExportFormat> FormatNamed(const std::string& name) {
    if (name == "text") return qb::ExportFormat::kText;
    if (name == "rtf") return qb::ExportFormat::kRtf;
    if (name == "html") return qb::ExportFormat::kHtml;
    if (name == "csv") return qb::ExportFormat::kCsv;
    if (name == "cardfile") return qb::ExportFormat::kCardfile;
    if (name == "markdown") return qb::ExportFormat::kMarkdown;
    return std::nullopt;
}

std::optional<qb::ExportSort> SortNamed(const std::string& name) {
    if (name == "title") return qb::ExportSort::kTitlesAscending;
    if (name == "title-desc") return qb::ExportSort::kTitlesDescending;
    if (name == "date") return qb::ExportSort::kDatesAscending;
    if (name == "date-desc") return qb::ExportSort::kDatesDescending;
    return std::nullopt;
}

int Run(const Args& args) {
    ExportArgs a;
    CommandSyntax syntax = DocumentSyntax("export", kUsage, a.doc);
    // The settings' code page is the default; --code-page replaces it.
    for (Option& o : syntax.options)
        if (o.name == "--code-page")
            o.apply = [&a, apply = o.apply](const std::string& v) {
                a.codePageGiven = true;
                return apply(v);
            };
    syntax.options.push_back(
        Value("--format", "html, text, rtf, csv, cardfile or markdown", a.format));
    syntax.options.push_back(Flag("--wiki-links", "markdown: [[Title]] links", a.wikiLinks));
    syntax.options.push_back(
        Flag("--headings", "markdown: a large bold first line as a heading", a.headings));
    syntax.options.push_back(
        Flag("--include-private", "markdown: private articles too", a.includePrivate));
    syntax.options.push_back(
        Flag("--underline", "markdown: underlined text as <u>...</u>", a.underline));
    syntax.options.push_back(Flag("--separate-files", "one file per article", a.separateFiles));
    syntax.options.push_back(Value("--range", "all or bookmarked", a.range));
    syntax.options.push_back(Value("--sort", "title, title-desc, date or date-desc", a.sort));
    syntax.options.push_back(NumberOption("--flags", "the export flags", 16, 0x7F, a.flags));
    syntax.options.push_back(
        NumberOption("--line-length", "wrap text at N columns", 10, 0x7FFFFFFF, a.lineLength));
    syntax.options.push_back(NumberOption("--html-type", "0, 1 or 2", 10, 2, a.htmlType));
    syntax.options.push_back(
        NumberOption("--html-encode-set", "a pre-defined encoding", 10, 0x7FFFFFFF, a.encodeSet));
    syntax.options.push_back({"--html-charset", true, "a charset name",
                              [&a](const std::string& v) -> std::optional<std::string> {
                                  a.charset = v;
                                  a.charsetGiven = true;
                                  return std::nullopt;
                              }});
    syntax.options.push_back(Value("--encoding", "utf-8: text and csv files in UTF-8", a.encoding));
    syntax.requiredOperands = 2;
    syntax.allowedOperands = 2;
    syntax.tooManyOperands = "FILE and TARGET only";
    syntax.missingValueNamesOption = true;
    std::vector<std::string> operands;
    if (auto rc = ParseArguments(args, syntax, operands)) return *rc;
    if (operands.size() != 2) return UsageError(syntax, "FILE and TARGET are required");
    if (a.format.empty()) return UsageError(syntax, "--format is required");
    std::optional<qb::ExportFormat> format = FormatNamed(a.format);
    if (!format)
        return UsageError(syntax, "--format takes html, text, rtf, csv, cardfile or markdown");
    std::optional<qb::ExportSort> sort = SortNamed(a.sort);
    if (!sort) return UsageError(syntax, "--sort takes title, title-desc, date or date-desc");
    if (a.range != "all" && a.range != "bookmarked")
        return UsageError(syntax, "--range takes all or bookmarked");
    if (!a.encoding.empty() && a.encoding != "utf-8")
        return UsageError(syntax, "--encoding takes utf-8");
    if (a.separateFiles &&
        (*format == qb::ExportFormat::kCsv || *format == qb::ExportFormat::kCardfile))
        return UsageError(syntax, "--separate-files is for text, rtf and html");
    qb::ExportOptions options;
    options.range = a.range == "bookmarked" ? qb::ExportRange::kBookmarked : qb::ExportRange::kAll;
    options.sort = *sort;
    if (a.flags) options.flags = uint16_t(*a.flags);
    if (!options.ChoosesContent()) return UsageError(syntax, "--flags choose nothing to export");

    // The reader's settings give the defaults, and the document lays the
    // file's own (its display font) over them.
    qb::LinuxSystemEnv env;
    qb::ProfileStore store(qb::ChooseSettingsLocation(env).settingsPath);
    store.Load();
    qb::Settings settings;
    settings.Load(store);
    settings.LoadArticleFont(store, qb::DefaultArticleFont());
    if (a.codePageGiven) settings.codePage = a.doc.codePage.Number();

    TerminalUi ui;
    qb::IcuLocale locale;
    qb::DocumentServices services;
    services.ui = &ui;
    services.locale = &locale;
    services.settings = &settings;
    services.store = &store;
    qb::CQuillboxDoc doc(services);
    std::error_code ec;
    std::string path = std::filesystem::absolute(operands[0], ec).string();
    if (ec) path = operands[0];
    if (int rc = OpenForCommand(doc, path, a.doc.allowNewer, ui, a.doc.passwordFromStdin))
        return rc;

    qb::ExportSettings es = qb::MakeExportSettings(options, settings, doc);
    if (a.lineLength) es.lineLength = int32_t(*a.lineLength);
    if (a.encodeSet) es.htmlEncodeSet = int32_t(*a.encodeSet);
    if (a.charsetGiven) {
        es.htmlCustomSet = a.charset;
        es.htmlExportType = 2;
    }
    if (a.htmlType) es.htmlExportType = int32_t(*a.htmlType);
    if (a.encoding == "utf-8") es.utf8Text = true;
    es.markdown.wikiLinks = a.wikiLinks;
    es.markdown.headings = a.headings;
    es.markdown.includePrivate = a.includePrivate;
    es.markdown.underline = a.underline;

    qb::ExportJob job(doc, locale, ui, es);
    qb::ExportResult r = qb::ExportArticles(job, operands[1], *format, a.separateFiles, {});
    if (r.lostChars > 0)
        std::fprintf(stderr,
                     "qbx export: %lld characters have no byte in %s and were written as \"?\" "
                     "(--encoding utf-8 keeps them)\n",
                     static_cast<long long>(r.lostChars), doc.TextCodePage().Caption().c_str());
    if (!r.Succeeded()) return 1;
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace

static Registrar reg("export", "export articles as text, RTF, HTML, CSV, Cardfile or Markdown",
                     Run);

}  // namespace qbx
