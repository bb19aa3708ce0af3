// The update check: fetches the update information file, finds this
// program's line and compares its version with the running one. One checker
// per run; it keeps the line it found, so that a second check in the same
// run compares again without a download.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/program_version.h"
#include "platform/http.h"
#include "update/release_info.h"

namespace qb {

enum class UpdateResult {
    Failed = 0,  // no answer, a transfer error, or no line for this program
    Latest = 1,  // the running version is the latest
    Newer = 2,   // a newer version exists
};

class UpdateChecker {
public:
    explicit UpdateChecker(ProgramVersion running, std::string productKey = kProductKey);
    ~UpdateChecker();
    UpdateChecker(const UpdateChecker&) = delete;
    UpdateChecker& operator=(const UpdateChecker&) = delete;

    // Starts a check of `request.url` (the query string is appended). `done`
    // gets the result once, from the HTTP port's event loop, or at once
    // (before Start returns) when an earlier check of this run found the line.
    void Start(HttpPort& http, HttpRequest request, const SourceQuery& query,
               std::function<void(UpdateResult)> done);
    // Abandons a running check; its `done` is not called.
    void Cancel();
    bool InProgress() const { return http_ != nullptr; }

    const ProgramVersion& RunningVersion() const { return running_; }
    // The line of the last successful check: its version, shown by the
    // version text rules, and the page about it. Empty after a failure.
    std::optional<ProgramVersion> FoundVersion() const;
    const std::string& FoundPage() const { return found_ ? found_->page : empty_; }
    // Why the last download failed ("" when it did not).
    const std::string& FailureReason() const { return failure_; }

    // The check's result for a downloaded file (also used by Start).
    UpdateResult Evaluate(const HttpResponse& response);

private:
    UpdateResult Compare() const;

    ProgramVersion running_;
    std::string key_;
    std::optional<ReleaseLine> found_;
    std::string failure_;
    std::string empty_;
    HttpPort* http_ = nullptr;
};

}  // namespace qb
