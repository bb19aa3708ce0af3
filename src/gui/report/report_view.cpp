#include "gui/report/report_view.h"

#include <QApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

#include "article/clipboard_copy.h"
#include "datafile/quill_error.h"
#include "document/quillbox_doc.h"
#include "export/report_setup.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/richtext/rich_text_document.h"
#include "platform/ui.h"
#include "resources/string_ids.h"
#include "resources/strings.h"

namespace qb {
namespace {

// A wait cursor for as long as the build runs.
struct WaitCursor {
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
};

QString Caption(ReportKind kind) {
    return QString::fromUtf8(kind == ReportKind::kIndex ? ResourceString(msg::kIndexReportTitle)
                                                        : ReportCaption(kind));
}

}  // namespace

CIndexReportView::CIndexReportView(ReaderApp& app, ReportKind kind, ReportParameters params,
                                   Actions actions, ClipboardWriter* clipboard,
                                   const FontFamilies* fonts, QWidget* parent)
    : QWidget(parent),
      app_(app),
      model_(kind, std::move(params)),
      actions_(std::move(actions)),
      clipboard_(clipboard),
      fonts_(fonts) {
    setObjectName("CIndexReportView");
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 4, 4, 4);
    print_ = new QPushButton(ResourceString(msg::kReportPrint), this);
    export_ = new QPushButton(ResourceString(msg::kReportExport), this);
    update_ = new QPushButton(ResourceString(msg::kReportUpdate), this);
    close_ = new QPushButton(ResourceString(msg::kReportClose), this);
    for (QPushButton* b : {print_, export_, update_, close_}) {
        b->setAutoDefault(false);
        bar->addWidget(b);
    }
    bar->addStretch();
    layout->addLayout(bar);
    text_ = new QTextEdit(this);
    text_->setReadOnly(true);
    text_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    // The cloud wraps at the window's width; the other reports keep their
    // tab-aligned lines.
    text_->setLineWrapMode(kind == ReportKind::kCloud ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    layout->addWidget(text_);
    setWindowTitle(Caption(kind));

    connect(print_, &QPushButton::clicked, this, [this] {
        if (actions_.print && !model_.IsOutdated()) actions_.print(*this);
    });
    connect(export_, &QPushButton::clicked, this, [this] {
        if (actions_.exportFile && model_.ExportState().enabled) actions_.exportFile(*this);
    });
    connect(update_, &QPushButton::clicked, this, [this] {
        if (!Build()) emit CloseRequested();
    });
    connect(close_, &QPushButton::clicked, this, [this] { emit CloseRequested(); });
    connect(text_, &QTextEdit::copyAvailable, this, [this](bool) {
        if (CMainFrame* f = app_.Frame()) f->UpdateCommandStates();
    });
    UpdateButtons();
}

ReportDisplay CIndexReportView::Display() const {
    return MakeReportDisplay(app_.Core().GetSettings(), *app_.Document(), fonts_);
}

bool CIndexReportView::Build() {
    CQuillboxDoc* doc = app_.Document();
    if (!doc) return false;
    bool built = false;
    try {
        WaitCursor wait;
        ProgressPort* progress = model_.Kind() == ReportKind::kCloud ? &app_.GetUi() : nullptr;
        built = model_.Build(*doc, app_.GetLocale(), Display(), progress);
    } catch (const CQuillError& e) {
        e.ReportError(app_.GetUi());
        Failed();
        return true;
    } catch (const std::bad_alloc&) {
        CQuillError(err::kOutOfMemory).ReportError(app_.GetUi());
        Failed();
        return true;
    }
    if (!built) {
        app_.GetUi().MessageBox(ResourceString(msg::kCloudCancelled), MessageIcon::Stop);
        return false;
    }
    ShowModel();
    return true;
}

void CIndexReportView::Failed() {
    // The window keeps what it had; Update may try again.
    model_.MarkOutdated();
    ShowModel();
}

void CIndexReportView::ShowModel() {
    if (model_.IsBuilt()) {
        gui::FillDocument(*text_->document(), model_.Control());
        if (model_.IsOutdated()) {
            QTextCursor all(text_->document());
            all.select(QTextCursor::Document);
            QTextCharFormat grey;
            grey.setForeground(palette().color(QPalette::Disabled, QPalette::Text));
            all.mergeCharFormat(grey);
        }
        QTextCursor start(text_->document());
        text_->setTextCursor(start);
    }
    UpdateButtons();
}

void CIndexReportView::MarkOutdated() {
    if (model_.IsOutdated()) return;
    model_.MarkOutdated();
    ShowModel();
}

void CIndexReportView::DisplaySettingsChanged(uint32_t cloudColour) {
    model_.SetCloudColour(cloudColour);
    ShowModel();
}

void CIndexReportView::KeywordDeleted(int32_t keyword) {
    model_.KeywordDeleted(keyword);
    ShowModel();
}

void CIndexReportView::SetPrintAction(std::function<void(CIndexReportView&)> print) {
    actions_.print = std::move(print);
    UpdateButtons();
}

void CIndexReportView::UpdateButtons() {
    print_->setEnabled(bool(actions_.print) && model_.PrintState().enabled);
    export_->setEnabled(bool(actions_.exportFile) && model_.ExportState().enabled);
    update_->setEnabled(model_.UpdateState().enabled);
    if (CMainFrame* f = app_.Frame()) f->UpdateCommandStates();
}

bool CIndexReportView::CanCopy() const {
    return clipboard_ && model_.IsBuilt() && text_->textCursor().hasSelection();
}

void CIndexReportView::Copy() {
    if (!CanCopy()) return;
    QTextCursor c = text_->textCursor();
    clipboard_->Place(
        SelectionFormats(model_.Control(), int32_t(c.selectionStart()), int32_t(c.selectionEnd())));
}

void CIndexReportView::SelectAll() {
    text_->selectAll();
}

QString CIndexReportView::Prompt() const {
    switch (model_.Kind()) {
        case ReportKind::kUsage:
            return ResourceString(msg::kUsageReportPrompt);
        case ReportKind::kCloud:
            return ResourceString(msg::kCloudReportPrompt);
        case ReportKind::kGroups:
            return ResourceString(msg::kGroupReportPrompt);
        case ReportKind::kIndex:
            break;
    }
    return QString();
}

CIndexReportFrame::CIndexReportFrame(CIndexReportView* view, QWidget* parent)
    : QMdiSubWindow(parent), view_(view) {
    setObjectName("CIndexReportFrame");
    setWidget(view);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(view->windowTitle());
    connect(view, &CIndexReportView::CloseRequested, this, &QWidget::close);
}

}  // namespace qb
