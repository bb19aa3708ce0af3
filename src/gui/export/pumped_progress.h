// A progress port for jobs that run to the end inside one call (the
// export): it opens the windows of another port and serves the event queue
// whenever the job touches its window, at most once per interval, so that
// the window repaints and its Cancel is seen. The caller must keep the
// document and its windows from closing meanwhile (ReaderApp::BusyScope).
#pragma once

#include <QElapsedTimer>
#include <memory>
#include <string>

#include "platform/progress.h"

namespace qb {

class PumpedProgress : public ProgressPort {
public:
    // Opens the windows through `inner`; serves events every `intervalMs`.
    explicit PumpedProgress(ProgressPort& inner, int intervalMs = 40)
        : inner_(inner), intervalMs_(intervalMs) {}

    std::unique_ptr<ProgressWindow> OpenProgress(const std::string& caption) override;

    // Serves the event queue when the interval has passed since the last
    // time (or always with `now`).
    void Pump(bool now = false);
    int Pumps() const { return pumps_; }

private:
    ProgressPort& inner_;
    int intervalMs_;
    QElapsedTimer last_;
    int pumps_ = 0;
};

}  // namespace qb
