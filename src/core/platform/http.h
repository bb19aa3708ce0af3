// The port that fetches a small file over HTTPS. Asynchronous: Get returns at
// once and the answer arrives later through the callback, on the thread that
// called Get, from its event loop. One request at a time per port.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace qb {

struct HttpRequest {
    std::string url;
    // Time to the server's first answer (the connection made) for one
    // attempt; an attempt without one is abandoned and tried again.
    int connectTimeoutMs = 500;
    int retries = 2;  // further attempts after the first
    // The whole request, every attempt and the transfer included, ends by then.
    int totalBudgetMs = 5000;
    size_t maxBytes = 64 * 1024;  // a longer answer is a failure, not a read
    // A PEM file of certificates trusted for this request besides the system's.
    std::string extraCaFile;
};

enum class HttpOutcome {
    Ok,         // status 200, body complete
    HttpError,  // the server answered with another status
    TlsError,   // the certificate was not trusted or the handshake failed
    NoAnswer,   // no connection or no answer within the time
    TooLarge,   // more than maxBytes
    Failed,     // any other transfer error
};

struct HttpResponse {
    HttpOutcome outcome = HttpOutcome::Failed;
    int status = 0;     // the HTTP status when the server answered
    std::string body;   // the bytes as sent (for Ok)
    std::string error;  // a short description for logs and the terminal
};

class HttpPort {
public:
    virtual ~HttpPort() = default;
    // Starts a GET. `done` is called exactly once, never from inside Get,
    // unless Cancel comes first.
    virtual void Get(const HttpRequest& request, std::function<void(const HttpResponse&)> done) = 0;
    // Abandons the request in flight; its callback is not called. Harmless
    // when none is in flight.
    virtual void Cancel() = 0;
};

}  // namespace qb
