#include "gui/update/reader_update.h"

#include "app/program_version.h"
#include "app/startup.h"
#include "datafile/dates.h"
#include "gui/app/main_frame.h"
#include "gui/app/reader_app.h"
#include "gui/net/qt_http.h"
#include "gui/platform/qt_launcher.h"
#include "gui/update/update_dialog.h"
#include "resources/command_ids.h"
#include "update/update_dialog_model.h"

namespace qb {

ReaderUpdate::ReaderUpdate(ReaderApp& app, Launcher* launcher, HttpPort* http)
    : app_(app), launcher_(launcher), http_(http), checker_(OwnProgramVersion()) {
    if (!launcher_) {
        ownLauncher_ = std::make_unique<QtLauncher>();
        launcher_ = ownLauncher_.get();
    }
}

ReaderUpdate::~ReaderUpdate() {
    // The dialog uses the checker and the port: it goes first.
    delete dialog_.data();
}

UpdateDialog* ReaderUpdate::Dialog() const {
    return dialog_.data();
}

void ReaderUpdate::Run() {
    if (dialog_) {
        dialog_->raise();
        dialog_->activateWindow();
        return;
    }
    if (!http_) {
        ownHttp_ = MakeQtHttp();
        http_ = ownHttp_.get();
    }
    AppCore& core = app_.Core();
    ReaderApp* app = &app_;
    auto model = std::make_unique<UpdateDialogModel>(checker_, core.GetSettings(), core.Store(),
                                                     ConfiguredUpdateUrl(&core.Store()),
                                                     [app] { return TodayDate(app->GetLocale()); });
    auto* dialog =
        new UpdateDialog(std::move(model), *http_, *launcher_, app_.GetUi(), app_.Frame());
    dialog_ = dialog;
    // Closed is gone: a command before the deferred delete opens a new one.
    QObject::connect(dialog, &QDialog::finished, dialog, [this, dialog] {
        if (dialog_ == dialog) dialog_ = nullptr;
        dialog->deleteLater();
    });
    dialog->open();
}

ReaderUpdate& InstallUpdateCheck(ReaderApp& app, Launcher* launcher, HttpPort* http) {
    auto update = std::make_shared<ReaderUpdate>(app, launcher, http);
    app.AddFrameExtension([update](ReaderApp& app) {
        if (CMainFrame* frame = app.Frame())
            frame->RegisterCommand(
                cmd::kUpdateCheck, [update] { update->Run(); },
                [] {
                    return CommandState{true, false};
                });
    });
    return *update;
}

}  // namespace qb
