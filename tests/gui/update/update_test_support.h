// The real HTTP port as the update tests use it: every request also trusts
// the tests' certificate (and may get a shorter time budget), and what the
// port delivers is counted; and running the event loop until something
// happened.
#pragma once

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "gui/net/qt_http.h"
#include "platform/http.h"

namespace qb::testing {

class TrustingHttp : public HttpPort {
public:
    explicit TrustingHttp(std::string caFile) : inner_(MakeQtHttp()), ca_(std::move(caFile)) {}

    void Get(const HttpRequest& request, std::function<void(const HttpResponse&)> done) override {
        HttpRequest r = request;
        r.extraCaFile = ca_;
        if (budgetMs > 0) r.totalBudgetMs = budgetMs;
        requests.push_back(r);
        inner_->Get(r, [this, done = std::move(done)](const HttpResponse& response) {
            ++delivered;
            done(response);
        });
    }
    void Cancel() override { inner_->Cancel(); }

    int budgetMs = 0;  // 0: the request's own
    std::vector<HttpRequest> requests;
    int delivered = 0;

private:
    std::unique_ptr<HttpPort> inner_;
    std::string ca_;
};

// Turns the event loop until `done` or `ms` have passed; true when done.
inline bool RunLoopUntil(const std::function<bool()>& done, int ms) {
    QTimer tick;  // an event at least every 10 ms, so the wait below ends
    tick.start(10);
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    return true;
}

inline void RunLoopFor(int ms) {
    RunLoopUntil([] { return false; }, ms);
}

}  // namespace qb::testing
