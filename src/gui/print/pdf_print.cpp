#include "gui/print/pdf_print.h"

#include <unistd.h>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPrinter>
#include <cstdio>
#include <filesystem>

#include "app/article_font.h"
#include "app/profile_store.h"
#include "app/reader_options.h"
#include "app/settings.h"
#include "app/settings_location.h"
#include "document/quillbox_doc.h"
#include "export/export_articles.h"
#include "gui/print/qt_print_surface.h"
#include "index/document_source.h"
#include "platform/icu_locale.h"
#include "platform/ui.h"
#include "print/print_articles.h"

namespace qb {
namespace {

ExportSort SortNamed(const std::string& name) {
    if (name == "title-desc") return ExportSort::kTitlesDescending;
    if (name == "date") return ExportSort::kDatesAscending;
    if (name == "date-desc") return ExportSort::kDatesDescending;
    return ExportSort::kTitlesAscending;
}

std::string DataFileOperand(const ReaderOptions& o) {
    for (const std::string& f : o.files)
        if (f != "--") return f;
    return "";
}

void Fail(Ui& ui, const std::string& text) {
    ui.MessageBox(text, MessageIcon::Exclamation);
}

}  // namespace

int PrintFileToPdf(const ReaderOptions& o, SystemEnv& env, Ui& ui) {
    ProfileStore store(ChooseSettingsLocation(env).settingsPath);
    store.Load();
    Settings settings;
    settings.Load(store);
    settings.LoadArticleFont(store, DefaultArticleFont());

    IcuLocale locale;
    DocumentServices services;
    services.ui = &ui;
    services.locale = &locale;
    services.settings = &settings;
    services.store = &store;
    CQuillboxDoc doc(services);
    std::error_code ec;
    std::string path = std::filesystem::absolute(DataFileOperand(o), ec).string();
    if (ec) path = DataFileOperand(o);
    if (!doc.OnOpenDocument(OpenRequest{path})) return 1;  // the document said why

    PageSetup setup =
        PageSetup::FromFile(doc.PageSetup(), doc.PrintHeader(), doc.PrintFooter(), store);
    PrintOptions options;
    options.range = o.printRange == "bookmarked" ? ExportRange::kBookmarked : ExportRange::kAll;
    options.sort = SortNamed(o.printSort);
    if (o.printTitlesOnly) {
        options.flags = export_flags::kTitles | (o.printNumbered ? export_flags::kNumbers : 0);
    } else {
        // What the page setup says of dates and keywords, as the print
        // dialog takes it from Page Setup.
        options.flags &= ~(export_flags::kDates | export_flags::kKeywords);
        if (setup.printDates) options.flags |= export_flags::kDates;
        if (setup.printKeywords) options.flags |= export_flags::kKeywords;
    }

    std::optional<std::vector<int32_t>> ids = ArticlesOfRange(doc, options.range, {});
    if (!ids || ids->empty()) {
        Fail(ui, path + " has no articles to print in the range " + o.printRange);
        return 1;
    }
    DocumentIndexSource source(doc);
    if (!SortForExport(*ids, source, locale, options.sort, ui)) return 1;

    // The PDF is written beside its target and replaces it only when whole.
    const std::string target = o.printPdf;
    const std::string partial = target + ".part" + std::to_string(::getpid());
    {
        QFile probe(QString::fromStdString(partial));
        if (!probe.open(QIODevice::WriteOnly)) {
            Fail(ui, "cannot write " + target + ": " + probe.errorString().toStdString());
            return 1;
        }
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(partial));
    printer.setPageSize(QPageSize(locale.Measurement() == MeasurementSystem::US ? QPageSize::Letter
                                                                                : QPageSize::A4));
    // A PDF prints to the edge; the page setup's margins are the margins.
    printer.setFullPage(false);
    printer.setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);

    QtPrintSurface surface(printer);
    PrintServices print{doc, locale, ui, settings, {}};
    PrintResult result = PrintArticles(surface, print, options, setup, *ids);
    if (result.outcome != PrintOutcome::kPrinted) {
        std::remove(partial.c_str());
        if (result.outcome == PrintOutcome::kNothing) Fail(ui, "nothing was printed");
        return 1;
    }
    std::filesystem::rename(partial, target, ec);
    if (ec) {
        std::remove(partial.c_str());
        Fail(ui, "cannot write " + target + ": " + ec.message());
        return 1;
    }
    return 0;
}

}  // namespace qb
