#include "gui/app/reader_app.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMetaObject>

#include "datafile/data_file.h"
#include "gui/app/main_frame.h"
#include "gui/app/preferences_sheet.h"
#include "gui/app/shell_dialogs.h"
#include "gui/platform/qt_ui.h"
#include "platform/icu_locale.h"
#include "platform/ui.h"

namespace qb {

ReaderApp::ReaderApp(SystemEnv& env, Ui& ui, ShellDialogs& dialogs)
    : env_(env),
      ui_(ui),
      dialogs_(dialogs),
      locale_(std::make_unique<IcuLocale>()),
      core_(env, ui, *this, [](const std::string& path) { return CDataFile::Probe(path); }) {}

ReaderApp::~ReaderApp() {
    closing_ = true;
    if (doc_) {
        doc_->SetIndexWindow(nullptr);
        doc_->DeleteContents();
        doc_.reset();
    }
    if (auto* q = dynamic_cast<QtUi*>(&ui_)) q->SetOwner(nullptr);
    frame_.reset();
}

void ReaderApp::Start(const std::vector<std::string>& args) {
    core_.Prepare(args);
    frame_ = std::make_unique<CMainFrame>(*this);
    if (auto* q = dynamic_cast<QtUi*>(&ui_)) q->SetOwner(frame_.get());
    frame_->Build();
    for (const FrameExtension& f : extensions_)
        f(*this);
    frame_->ShowOnStart();
    core_.Finish();
    frame_->RebuildRecentMenu();
    frame_->UpdateCommandStates();
}

QMdiSubWindow* ReaderApp::IndexFrame() const {
    return indexFrame_.data();
}

void ReaderApp::CloseAllDocuments() {
    if (!doc_ || Busy()) return;
    closing_ = true;
    doc_->SetIndexWindow(nullptr);
    // The windows go first: none of them may outlive the document.
    if (frame_) {
        for (QMdiSubWindow* w : frame_->Mdi()->subWindowList()) {
            w->setAttribute(Qt::WA_DeleteOnClose, false);
            w->close();
            delete w;
        }
    }
    doc_->DeleteContents();
    doc_.reset();
    closing_ = false;
    if (frame_) {
        frame_->UpdateStatusPanes();
        frame_->UpdateCommandStates();
    }
}

void ReaderApp::CloseDocument() {
    if (!doc_) return;
    if (!CanCloseAllDocuments()) return;
    CloseAllDocuments();
}

bool ReaderApp::OpenDocument(const std::string& path, bool allowNewer) {
    if (Busy()) return false;  // the running job still reads the open document
    CloseAllDocuments();
    DocumentServices svc;
    svc.ui = &ui_;
    svc.locale = locale_.get();
    svc.mainWindow = this;
    svc.settings = &core_.GetSettings();
    svc.store = &core_.Store();
    svc.attachmentsFolder = [this] { return core_.Dirs().Folder(FolderType::Attachments); };
    doc_ = std::make_unique<CQuillboxDoc>(std::move(svc));
    if (indexFactory_ && frame_) {
        indexFrame_ = indexFactory_(*doc_, *frame_->Mdi());
        if (indexFrame_) {
            // Closing the index window closes the file with all its windows.
            QObject::connect(indexFrame_.data(), &QObject::destroyed, frame_.get(), [this] {
                if (closing_ || !doc_) return;
                doc_->SetIndexWindow(nullptr);
                QMetaObject::invokeMethod(
                    frame_.get(), [this] { CloseAllDocuments(); }, Qt::QueuedConnection);
            });
        }
    }
    bool ok = doc_->OnOpenDocument(OpenRequest{path, allowNewer});
    if (!ok) {
        CloseAllDocuments();
    } else if (frame_) {
        frame_->RebuildRecentMenu();
    }
    if (frame_) {
        frame_->UpdateStatusPanes();
        frame_->UpdateCommandStates();
    }
    return ok;
}

NewerFormatChoice ReaderApp::AskNewerFormat(const std::string& path) {
    return dialogs_.AskNewerFormat(path, frame_.get());
}

void ReaderApp::ShowTooNewFormat(const std::string& path) {
    dialogs_.ShowTooNewFormat(path, frame_.get());
}

std::optional<std::string> ReaderApp::AskCopyName(const std::string& path) {
    return dialogs_.AskCopyName(path, frame_.get());
}

WelcomeResult ReaderApp::ShowWelcome(const std::vector<std::string>& recent, bool showAtStartup) {
    return dialogs_.ShowWelcome(recent, showAtStartup, frame_.get());
}

std::optional<std::string> ReaderApp::AskOpenFileName(const std::string& startFolder,
                                                      const std::string& filter) {
    return dialogs_.AskOpenFileName(startFolder, filter, frame_.get());
}

void ReaderApp::PostCommand(int command) {
    if (!frame_) return;
    ++pending_;
    QMetaObject::invokeMethod(
        frame_.get(),
        [this, command] {
            --pending_;
            frame_->RunCommand(command);
        },
        Qt::QueuedConnection);
}

void ReaderApp::SetAlwaysOnTop(bool on) {
    if (frame_) frame_->ApplyAlwaysOnTop(on);
}

bool ReaderApp::RunPreferences() {
    return RunPreferences(PreferencesPage::kIndex);
}

bool ReaderApp::RunPreferences(PreferencesPage page) {
    PreferencesSheet sheet(core_.GetSettings(), core_.Dirs(), dialogs_, ui_, frame_.get());
    sheet.ShowPage(page);
    // OK checks the pages itself; an answer that did not come through OK is
    // checked here, so that nothing unusable is saved.
    if (dialogs_.Exec(sheet) != QDialog::Accepted || !sheet.Validate()) return false;
    sheet.Apply();
    core_.ApplyPreferences();
    if (frame_) {
        frame_->ApplyButtonSize();
        frame_->UpdateStatusPanes();
    }
    // The title list's columns and colours follow at once, not at the next open.
    if (doc_) doc_->Index().OnDisplaySettingsChanged();
    for (const auto& listener : preferencesListeners_)
        listener();
    return true;
}

void ReaderApp::Repaint() {
    if (frame_) frame_->update();
}

void ReaderApp::SetFileTitle(const std::string& title) {
    if (frame_) frame_->SetFileTitle(title);
}

void ReaderApp::SetNoDocument(bool) {
    if (frame_) frame_->UpdateStatusPanes();
}

void ReaderApp::RebuildSavedQueryMenu(const std::vector<std::string>& names) {
    if (frame_) frame_->RebuildSavedQueryMenu(names);
}

bool ReaderApp::CloseArticleWindows(const IdSet& articles) {
    return articleCloser_ ? articleCloser_(articles) : true;
}

void ReaderApp::RefreshDocumentViews() {
    if (!frame_) return;
    for (QMdiSubWindow* w : frame_->Mdi()->subWindowList())
        if (w != indexFrame_) w->update();
    for (const auto& listener : documentViewsListeners_)
        listener();
}

void ReaderApp::ShowIndexFrame() {
    if (!indexFrame_) return;
    if (IndexFrameStateAtOpen(core_.Store()) == kMaximizedValue)
        indexFrame_->showMaximized();
    else
        indexFrame_->showNormal();
    if (frame_) frame_->Mdi()->setActiveSubWindow(indexFrame_);
}

}  // namespace qb
