// The HTTP port over Qt Network, for both programs: requests run on the
// calling thread's event loop (no thread of their own, no nested loop). The
// header has no Qt types, so qbx can use it without widgets.
#pragma once

#include <functional>
#include <memory>

#include "platform/http.h"

namespace qb {

// An HttpPort over a QNetworkAccessManager of its own. Certificates are
// checked against the system's and the request's extra ones; a certificate
// that fails is an answer of TlsError, never accepted. Needs a
// QCoreApplication (or QApplication) on this thread.
std::unique_ptr<HttpPort> MakeQtHttp();

// Keeps the TLS library's state until the process is gone instead of
// freeing it at exit. Qt's threads (the network one, a test's server) end
// detached: one still running its thread-exit cleanup while the process
// exits would free the library's per-thread state a second time. Call before
// the first TLS use (MakeQtHttp does); harmless when called again or when
// the library is not there.
void KeepTlsStateUntilExit();

// For programs without an application object: makes a QCoreApplication,
// calls `start` with a function that ends the loop, and runs the loop until
// it is called. Returns what `start`'s quit was given.
int RunWithEventLoop(const std::function<void(std::function<void(int status)> quit)>& start);

// Calls `fn` from this thread's event loop, after the event being handled.
void PostToEventLoop(std::function<void()> fn);

}  // namespace qb
