#include "update/update_checker.h"

#include <utility>

namespace qb {

UpdateChecker::UpdateChecker(ProgramVersion running, std::string productKey)
    : running_(std::move(running)), key_(std::move(productKey)) {}

UpdateChecker::~UpdateChecker() {
    Cancel();
}

std::optional<ProgramVersion> UpdateChecker::FoundVersion() const {
    if (!found_) return std::nullopt;
    return ParseReleasedVersion(found_->versionText);
}

UpdateResult UpdateChecker::Compare() const {
    return IsNewerRelease(ParseReleasedVersion(found_->versionText), running_)
               ? UpdateResult::Newer
               : UpdateResult::Latest;
}

UpdateResult UpdateChecker::Evaluate(const HttpResponse& response) {
    found_.reset();
    failure_.clear();
    if (response.outcome != HttpOutcome::Ok) {
        failure_ = response.error.empty() ? "the transfer failed" : response.error;
        return UpdateResult::Failed;
    }
    found_ = FindReleaseLine(response.body, key_);
    if (!found_) {
        failure_ = "the update information has no line for " + key_;
        return UpdateResult::Failed;
    }
    return Compare();
}

void UpdateChecker::Start(HttpPort& http, HttpRequest request, const SourceQuery& query,
                          std::function<void(UpdateResult)> done) {
    Cancel();
    if (found_) {
        done(Compare());
        return;
    }
    // Only HTTPS: the answer decides what the user is told to install.
    if (request.url.compare(0, 8, "https://") != 0) {
        found_.reset();
        failure_ = "the update address is not an https:// address";
        done(UpdateResult::Failed);
        return;
    }
    request.url += SourceQueryText(query);
    http_ = &http;
    http.Get(request, [this, done = std::move(done)](const HttpResponse& response) {
        http_ = nullptr;
        UpdateResult r = Evaluate(response);
        done(r);
    });
}

void UpdateChecker::Cancel() {
    if (!http_) return;
    HttpPort* http = http_;
    http_ = nullptr;
    http->Cancel();
}

}  // namespace qb
