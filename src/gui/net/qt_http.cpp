#include "gui/net/qt_http.h"

#include <dlfcn.h>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>
#include <QUrl>
#include <cstdint>

namespace qb {
namespace {

class QtHttp : public HttpPort {
public:
    QtHttp() {
        connectTimer_.setSingleShot(true);
        budgetTimer_.setSingleShot(true);
        QObject::connect(&connectTimer_, &QTimer::timeout, [this] { OnConnectTimeout(); });
        QObject::connect(&budgetTimer_, &QTimer::timeout, [this] {
            Finish(Failure(HttpOutcome::NoAnswer, "no answer within the time allowed"));
        });
    }
    ~QtHttp() override { Drop(); }

    void Get(const HttpRequest& request, std::function<void(const HttpResponse&)> done) override {
        Drop();
        request_ = request;
        done_ = std::move(done);
        attemptsLeft_ = request.retries;
        tls_ = QSslConfiguration::defaultConfiguration();
        if (!request.extraCaFile.empty()) {
            QList<QSslCertificate> extra =
                QSslCertificate::fromPath(QString::fromStdString(request.extraCaFile));
            if (extra.isEmpty()) {
                // Answered from the loop, as every answer is.
                Defer(Failure(HttpOutcome::TlsError,
                              "no certificate could be read from " + request.extraCaFile));
                return;
            }
            tls_.addCaCertificates(extra);
        }
        QUrl url(QString::fromStdString(request.url));
        if (!url.isValid() || url.scheme() != "https") {
            Defer(Failure(HttpOutcome::Failed, "not an https:// address: " + request.url));
            return;
        }
        budgetTimer_.start(request.totalBudgetMs);
        Attempt();
    }

    void Cancel() override { Drop(); }

private:
    static HttpResponse Failure(HttpOutcome outcome, std::string why) {
        HttpResponse r;
        r.outcome = outcome;
        r.error = std::move(why);
        return r;
    }

    void Defer(HttpResponse response) {
        QTimer::singleShot(0, &context_, [this, gen = generation_, response] {
            if (gen == generation_) Finish(response);
        });
    }

    void Attempt() {
        QNetworkRequest req(QUrl(QString::fromStdString(request_.url)));
        req.setSslConfiguration(tls_);
        req.setAttribute(QNetworkRequest::CacheLoadControlAttribute,
                         QNetworkRequest::AlwaysNetwork);  // always the current file
        req.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
        req.setMaximumRedirectsAllowed(3);
        req.setHeader(QNetworkRequest::UserAgentHeader, "Quillbox Reader");
        body_.clear();
        answered_ = false;
        reply_ = manager_.get(req);
        QNetworkReply* reply = reply_;
        auto answered = [this, reply] {
            if (reply != reply_) return;
            answered_ = true;
            connectTimer_.stop();
        };
        QObject::connect(reply, &QNetworkReply::encrypted, &context_, answered);
        QObject::connect(reply, &QNetworkReply::metaDataChanged, &context_, answered);
        QObject::connect(reply, &QNetworkReply::readyRead, &context_, [this, reply] {
            if (reply != reply_) return;
            answered_ = true;
            connectTimer_.stop();
            QByteArray chunk = reply->readAll();
            if (body_.size() + static_cast<size_t>(chunk.size()) > request_.maxBytes) {
                Finish(Failure(HttpOutcome::TooLarge, "the answer is too long"));
                return;
            }
            body_.append(chunk.constData(), static_cast<size_t>(chunk.size()));
        });
        QObject::connect(reply, &QNetworkReply::finished, &context_,
                         [this, reply] { OnFinished(reply); });
        connectTimer_.start(request_.connectTimeoutMs);
    }

    void OnConnectTimeout() {
        if (!reply_ || answered_) return;
        if (attemptsLeft_ > 0) {
            --attemptsLeft_;
            AbortReply();
            // Otherwise the next attempt waits on the same stalled connection.
            manager_.clearConnectionCache();
            Attempt();
            return;
        }
        Finish(Failure(HttpOutcome::NoAnswer, "no answer from the server"));
    }

    void OnFinished(QNetworkReply* reply) {
        if (reply != reply_) return;
        QNetworkReply::NetworkError error = reply->error();
        int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (error == QNetworkReply::NoError && status == 200) {
            QByteArray rest = reply->readAll();
            if (body_.size() + static_cast<size_t>(rest.size()) > request_.maxBytes) {
                Finish(Failure(HttpOutcome::TooLarge, "the answer is too long"));
                return;
            }
            body_.append(rest.constData(), static_cast<size_t>(rest.size()));
            HttpResponse r;
            r.outcome = HttpOutcome::Ok;
            r.status = status;
            r.body = std::move(body_);
            Finish(r);
            return;
        }
        std::string why = reply->errorString().toStdString();
        if (status != 0) {
            HttpResponse r =
                Failure(HttpOutcome::HttpError, "the server answered " + std::to_string(status));
            r.status = status;
            Finish(r);
            return;
        }
        if (error == QNetworkReply::SslHandshakeFailedError) {
            Finish(Failure(HttpOutcome::TlsError, why));
            return;
        }
        bool noConnection = error == QNetworkReply::ConnectionRefusedError ||
                            error == QNetworkReply::HostNotFoundError ||
                            error == QNetworkReply::TimeoutError ||
                            error == QNetworkReply::TemporaryNetworkFailureError ||
                            error == QNetworkReply::NetworkSessionFailedError ||
                            (error == QNetworkReply::RemoteHostClosedError && !answered_);
        if (noConnection && attemptsLeft_ > 0) {
            --attemptsLeft_;
            // Tried again after the rest of this attempt's time, not at once.
            reply_ = nullptr;
            reply->deleteLater();
            connectTimer_.stop();
            QTimer::singleShot(request_.connectTimeoutMs, &context_, [this, gen = generation_] {
                if (gen == generation_ && done_ && !reply_) Attempt();
            });
            return;
        }
        Finish(Failure(noConnection ? HttpOutcome::NoAnswer : HttpOutcome::Failed, why));
    }

    void AbortReply() {
        if (!reply_) return;
        QNetworkReply* reply = reply_;
        reply_ = nullptr;
        QObject::disconnect(reply, nullptr, &context_, nullptr);
        reply->abort();
        reply->deleteLater();
    }

    // Ends the request without an answer.
    void Drop() {
        connectTimer_.stop();
        budgetTimer_.stop();
        AbortReply();
        done_ = nullptr;
        ++generation_;  // deferred answers and retries of this request are dropped too
    }

    void Finish(const HttpResponse& response) {
        auto done = std::move(done_);
        Drop();
        if (done) done(response);  // may destroy this port
    }

    QNetworkAccessManager manager_;
    QTimer connectTimer_, budgetTimer_;
    QObject context_;          // receives every connection, so none outlives the port
    uint64_t generation_ = 0;  // one per request
    HttpRequest request_;
    QSslConfiguration tls_;
    std::function<void(const HttpResponse&)> done_;
    QNetworkReply* reply_ = nullptr;
    std::string body_;
    bool answered_ = false;
    int attemptsLeft_ = 0;
};

}  // namespace

void KeepTlsStateUntilExit() {
    static const bool done = [] {
        // The library Qt's TLS backend loads by the same name; the handle is
        // kept so that it stays loaded. The first initialisation decides
        // whether an exit handler is registered, so this must come first.
        void* crypto = dlopen("libcrypto.so.3", RTLD_NOW | RTLD_GLOBAL);
        if (crypto == nullptr) return false;
        using Init = int (*)(uint64_t, const void*);
        auto init = reinterpret_cast<Init>(dlsym(crypto, "OPENSSL_init_crypto"));
        constexpr uint64_t kNoExitHandler = 0x00080000;
        return init != nullptr && init(kNoExitHandler, nullptr) == 1;
    }();
    (void)done;
}

std::unique_ptr<HttpPort> MakeQtHttp() {
    KeepTlsStateUntilExit();
    return std::make_unique<QtHttp>();
}

int RunWithEventLoop(const std::function<void(std::function<void(int status)> quit)>& start) {
    int argc = 1;
    char name[] = "qbx";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    int result = 0;
    QTimer::singleShot(0, &app, [&] {
        start([&](int status) {
            result = status;
            QCoreApplication::exit(status);
        });
    });
    app.exec();
    return result;
}

void PostToEventLoop(std::function<void()> fn) {
    QTimer::singleShot(0, std::move(fn));
}

}  // namespace qb
