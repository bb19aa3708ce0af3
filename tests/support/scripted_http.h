// An HttpPort for tests: records each request and answers when the test
// says so, as the event loop would, never from inside Get.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/http.h"

namespace qb {

class ScriptedHttp : public HttpPort {
public:
    void Get(const HttpRequest& request, std::function<void(const HttpResponse&)> done) override {
        requests.push_back(request);
        pending_ = std::move(done);
    }
    void Cancel() override {
        ++cancels;
        pending_ = nullptr;
    }

    bool Pending() const { return static_cast<bool>(pending_); }
    // Delivers the answer to the request in flight.
    void Answer(HttpResponse response) {
        auto done = std::move(pending_);
        pending_ = nullptr;
        if (done) done(response);
    }
    void AnswerBody(const std::string& body) {
        HttpResponse r;
        r.outcome = HttpOutcome::Ok;
        r.status = 200;
        r.body = body;
        Answer(r);
    }
    void Fail(HttpOutcome outcome, std::string error = "failed") {
        HttpResponse r;
        r.outcome = outcome;
        r.error = std::move(error);
        Answer(r);
    }

    std::vector<HttpRequest> requests;
    int cancels = 0;

private:
    std::function<void(const HttpResponse&)> pending_;
};

}  // namespace qb
