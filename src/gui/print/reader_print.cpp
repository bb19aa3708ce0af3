#include "gui/print/reader_print.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QPageLayout>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>
#include <filesystem>

#include <QMdiSubWindow>
#include "app/settings.h"
#include "document/quillbox_doc.h"

#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/app/shell_dialogs.h"
#include "gui/print/page_setup_sheet.h"
#include "gui/print/print_choices.h"
#include "gui/print/qt_print_surface.h"
#include "index/document_source.h"
#include "platform/ui.h"
#include "resources/command_ids.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

QString Res(int id, const char* fallback) {
    const char* t = ResourceString(id);
    return QString::fromUtf8(t ? t : fallback);
}

// "The margins do not fit": Yes or No, and whether to keep the raised ones.
MarginChoice AskAdjustMargins(QWidget* owner) {
    QMessageBox box(QMessageBox::Question, Res(msg::kProgramName, "Quillbox Reader"),
                    Res(msg::kMarginsDoNotFit, "The margins will be adjusted."),
                    QMessageBox::Yes | QMessageBox::No, owner);
    box.setObjectName("AdjustMarginsQuestion");
    box.button(QMessageBox::Yes)->setText("&Yes");
    box.button(QMessageBox::No)->setText("&No");
    auto* keep = new QCheckBox(
        Res(msg::kStoreAdjustedMargins, "Save adjusted margin settings to Page Setup"));
    box.setCheckBox(keep);
    MarginChoice choice;
    choice.proceed = box.exec() == QMessageBox::Yes;
    choice.store = choice.proceed && keep->isChecked();
    return choice;
}

}  // namespace

ReaderPrint::ReaderPrint(ReaderApp& app) : app_(app) {}
ReaderPrint::~ReaderPrint() = default;

PageSetup* ReaderPrint::CurrentPageSetup() {
    CQuillboxDoc* doc = app_.Document();
    if (!doc || !doc->IsOpen()) return nullptr;
    QMdiSubWindow* frame = app_.IndexFrame();
    if (!pageSetup_ || pageSetupDoc_ != doc || pageSetupFrame_.data() != frame) {
        pageSetup_ = PageSetup::FromFile(doc->PageSetup(), doc->PrintHeader(), doc->PrintFooter(),
                                         app_.Core().Store());
        pageSetupDoc_ = doc;
        pageSetupFrame_ = frame;
    }
    return &*pageSetup_;
}

bool ReaderPrint::RunPageSetup() {
    PageSetup* setup = CurrentPageSetup();
    CQuillboxDoc* doc = app_.Document();
    if (!setup || !doc) return false;
    PageSetupSheet sheet(*setup, app_.GetLocale(), doc->TextCodePage(), app_.Core().Store(),
                         app_.GetUi(), app_.Frame());
    if (app_.Dialogs().Exec(sheet) != QDialog::Accepted) return false;
    *setup = sheet.Result();
    return true;
}

void ReaderPrint::Print() {
    CQuillboxDoc* doc = app_.Document();
    PageSetup* setup = CurrentPageSetup();
    if (!doc || !setup) return;
    if (!optionsTaken_) {
        // Until the person chooses, dates and keywords are what Page Setup says.
        options_.flags &= uint16_t(~(export_flags::kDates | export_flags::kKeywords));
        if (setup->printDates) options_.flags |= export_flags::kDates;
        if (setup->printKeywords) options_.flags |= export_flags::kKeywords;
    }
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer_->setCopyCount(std::max(1, options_.copies));

    ExportContext context = hooks_.context ? hooks_.context() : ExportContext{};
    context.visibleBookmarks = doc->VisibleBookmarkCount();
    std::weak_ptr<ReaderPrint> weak = weak_from_this();
    QPrintDialog dialog(printer_.get(), app_.Frame());
    dialog.setObjectName("PrintDialog");
    dialog.setWindowTitle("Print");
    // The articles are chosen on the Articles tab; pages are not chosen.
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    auto* choices = new PrintChoices(options_, context, [weak, setup]() {
        PrintChoices::PageSetupAnswer a;
        auto self = weak.lock();
        if (!self || !self->RunPageSetup()) return a;
        a.changed = true;
        a.printDates = setup->printDates;
        a.printKeywords = setup->printKeywords;
        return a;
    });
    dialog.setOptionTabs({choices});
    // OK (Print) only with something to print.
    if (auto* box = dialog.findChild<QDialogButtonBox*>()) {
        auto enable = [box](bool on) {
            if (QPushButton* ok = box->button(QDialogButtonBox::Ok)) ok->setEnabled(on);
        };
        enable(choices->OkEnabled());
        QObject::connect(choices, &PrintChoices::okEnabledChanged, box, enable);
    }
    if (app_.Dialogs().Exec(dialog) != QDialog::Accepted) return;
    if (!choices->OkEnabled()) return;
    options_ = choices->Options();
    options_.copies = std::max(1, printer_->copyCount());
    optionsTaken_ = true;

    ExportRanges ranges = hooks_.ranges ? hooks_.ranges() : ExportRanges{};
    std::optional<std::vector<int32_t>> ids = ArticlesOfRange(*doc, options_.range, ranges);
    if (!ids || ids->empty()) return;  // Current Article with no article window, say
    DocumentIndexSource source(*doc);
    if (!SortForExport(*ids, source, app_.GetLocale(), options_.sort, app_.GetUi())) return;

    QtPrintSurface surface(*printer_);
    // The abort procedure: Cancel in the progress window is seen between pages.
    surface.SetEventPump([] { QApplication::processEvents(); });
    QWidget* owner = app_.Frame();
    PrintServices services{*doc, app_.GetLocale(), app_.GetUi(), app_.Core().GetSettings(),
                           [owner] { return AskAdjustMargins(owner); }};
    PrintArticles(surface, services, options_, *setup, *ids);
}

void ReaderPrint::PrintReport(const RichTextControl& report, std::optional<int32_t> tabWidthTwips) {
    CQuillboxDoc* doc = app_.Document();
    PageSetup* setup = CurrentPageSetup();
    if (!doc || !setup) return;
    if (!printer_) printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer_.get(), app_.Frame());
    dialog.setObjectName("PrintDialog");
    dialog.setWindowTitle("Print Index Report");
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    auto* tab = new QWidget;
    tab->setWindowTitle("Report");
    auto* layout = new QVBoxLayout(tab);
    auto* pageSetup = new QPushButton("&Page Setup...", tab);
    pageSetup->setObjectName("PageSetupButton");
    layout->addWidget(pageSetup);
    layout->addStretch();
    std::weak_ptr<ReaderPrint> weak = weak_from_this();
    QObject::connect(pageSetup, &QPushButton::clicked, tab, [weak] {
        if (auto self = weak.lock()) self->RunPageSetup();
    });
    dialog.setOptionTabs({tab});
    if (app_.Dialogs().Exec(dialog) != QDialog::Accepted) return;
    std::string documentName = std::filesystem::path(doc->PathName()).filename().string();
    QtPrintSurface surface(*printer_);
    surface.SetEventPump([] { QApplication::processEvents(); });
    QWidget* owner = app_.Frame();
    PrintServices services{*doc, app_.GetLocale(), app_.GetUi(), app_.Core().GetSettings(),
                           [owner] { return AskAdjustMargins(owner); }};
    qb::PrintReport(surface, services, *setup, report, tabWidthTwips, documentName,
                    std::max(1, printer_->copyCount()));
}

void ReaderPrint::RegisterCommands(CMainFrame& frame) {
    std::weak_ptr<ReaderPrint> weak = weak_from_this();
    ReaderApp& app = app_;
    auto whenOpen = [&app] {
        CQuillboxDoc* doc = app.Document();
        return CommandState{doc && doc->IsOpen(), false};
    };
    frame.RegisterCommand(
        cmd::kFilePrint,
        [weak] {
            if (auto self = weak.lock()) self->Print();
        },
        whenOpen);
    frame.RegisterCommand(
        cmd::kFilePageSetup,
        [weak] {
            if (auto self = weak.lock()) self->RunPageSetup();
        },
        whenOpen);
}

ReaderPrint& InstallPrint(ReaderApp& app) {
    auto print = std::make_shared<ReaderPrint>(app);
    app.AddFrameExtension([print](ReaderApp& a) {
        if (CMainFrame* frame = a.Frame()) print->RegisterCommands(*frame);
    });
    return *print;
}

}  // namespace qb
