// Help > Check for Quillbox Reader Update... in the reader: one checker
// for the whole run (a second check compares again without a download),
// one HTTP port, and at most one dialog at a time.
#pragma once

#include <QPointer>
#include <memory>

#include "update/update_checker.h"

namespace qb {

class HttpPort;
class Launcher;
class ReaderApp;
class UpdateDialog;

class ReaderUpdate {
public:
    // Null `launcher` or `http`: the desktop's (QtLauncher, MakeQtHttp).
    ReaderUpdate(ReaderApp& app, Launcher* launcher, HttpPort* http);
    ~ReaderUpdate();
    ReaderUpdate(const ReaderUpdate&) = delete;
    ReaderUpdate& operator=(const ReaderUpdate&) = delete;

    // The command: opens the dialog, window-modal over the main frame, and
    // returns at once; while one is open it is only raised.
    void Run();
    // The open dialog, else nullptr.
    UpdateDialog* Dialog() const;
    const UpdateChecker& Checker() const { return checker_; }

private:
    ReaderApp& app_;
    std::unique_ptr<Launcher> ownLauncher_;
    Launcher* launcher_ = nullptr;
    std::unique_ptr<HttpPort> ownHttp_;
    HttpPort* http_ = nullptr;
    UpdateChecker checker_;
    QPointer<UpdateDialog> dialog_;
};

// Registers the command on the main frame (a frame extension).
ReaderUpdate& InstallUpdateCheck(ReaderApp& app, Launcher* launcher = nullptr,
                                 HttpPort* http = nullptr);

}  // namespace qb
