// An HTTPS server on 127.0.0.1 for the update tests, on an ephemeral port,
// with a self-signed certificate from certs/ that only the tests trust. It
// runs on a thread and event loop of its own, so that it also answers a
// program the test waits for (qbx).
#pragma once

#include <QByteArray>
#include <QEventLoop>
#include <QFile>
#include <QSslConfiguration>
#include <QSslKey>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gui/net/qt_http.h"

namespace qb::testing {

inline std::string CertPath(const std::string& name) {
    return std::string(QB_SOURCE_DIR) + "/tests/gui/update/certs/" + name + ".pem";
}

class LoopbackHttpsServer {
public:
    enum class Mode {
        Answer,     // one HTTP answer per request, then the connection closes
        SilentTls,  // the handshake completes and the request is read; no answer ever
        SilentTcp,  // the connection is accepted; nothing is read or sent
    };
    struct Options {
        Mode mode = Mode::Answer;
        int status = 200;
        std::string body;
        std::string cert = "trusted";  // certs/<cert>.pem and .key
    };
    static Options Answering(std::string body, int status = 200) {
        Options o;
        o.body = std::move(body);
        o.status = status;
        return o;
    }
    static Options Silent(Mode mode) {
        Options o;
        o.mode = mode;
        return o;
    }

    explicit LoopbackHttpsServer(Options options) : thread_(*this, std::move(options)) {
        KeepTlsStateUntilExit();  // before the server's thread touches TLS
        std::future<uint16_t> port = thread_.port.get_future();
        thread_.start();
        port_ = port.get();
    }
    ~LoopbackHttpsServer() {
        thread_.quit();
        thread_.wait();
    }

    uint16_t Port() const { return port_; }
    std::string Url(const std::string& path = "/update.txt") const {
        return "https://127.0.0.1:" + std::to_string(port_) + path;
    }
    // The request lines received ("GET /update.txt?source=... HTTP/1.1").
    std::vector<std::string> Requests() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return requests_;
    }
    // Connections accepted (for TLS: handshakes started).
    int Connections() const {
        std::lock_guard<std::mutex> lock(mutex_);
        return connections_;
    }

private:
    class Thread : public QThread {
    public:
        Thread(LoopbackHttpsServer& owner, Options options)
            : owner_(owner), options_(std::move(options)) {}
        std::promise<uint16_t> port;

    protected:
        void run() override {
            std::unique_ptr<QTcpServer> server;
            if (options_.mode == Mode::SilentTcp) {
                server = std::make_unique<QTcpServer>();
                QTcpServer* raw = server.get();
                QObject::connect(raw, &QTcpServer::pendingConnectionAvailable, [this, raw] {
                    // Kept open (the server owns them) and never read.
                    while (raw->nextPendingConnection()) {
                        std::lock_guard<std::mutex> lock(owner_.mutex_);
                        ++owner_.connections_;
                    }
                });
            } else {
                auto tls = std::make_unique<QSslServer>();
                tls->setSslConfiguration(Configuration());
                QObject::connect(tls.get(), &QSslServer::startedEncryptionHandshake,
                                 [this](QSslSocket*) {
                                     std::lock_guard<std::mutex> lock(owner_.mutex_);
                                     ++owner_.connections_;
                                 });
                QTcpServer* raw = tls.get();
                QObject::connect(raw, &QTcpServer::pendingConnectionAvailable, [this, raw] {
                    while (QTcpSocket* s = raw->nextPendingConnection())
                        Serve(s);
                });
                server = std::move(tls);
            }
            if (!server->listen(QHostAddress::LocalHost, 0)) {
                port.set_value(0);
                return;
            }
            port.set_value(server->serverPort());
            exec();
        }

    private:
        QSslConfiguration Configuration() const {
            auto read = [](const std::string& path) {
                QFile f(QString::fromStdString(path));
                f.open(QIODevice::ReadOnly);
                return f.readAll();
            };
            std::string pem = CertPath(options_.cert);
            std::string key = pem.substr(0, pem.size() - 4) + ".key";
            QSslConfiguration c = QSslConfiguration::defaultConfiguration();
            c.setLocalCertificate(QSslCertificate(read(pem)));
            c.setPrivateKey(QSslKey(read(key), QSsl::Ec));
            c.setPeerVerifyMode(QSslSocket::VerifyNone);
            return c;
        }

        void Serve(QTcpSocket* socket) {
            auto buffer = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, buffer] {
                buffer->append(socket->readAll());
                qsizetype end = buffer->indexOf("\r\n\r\n");
                if (end < 0) return;
                {
                    std::lock_guard<std::mutex> lock(owner_.mutex_);
                    owner_.requests_.push_back(buffer->left(buffer->indexOf("\r\n")).toStdString());
                }
                buffer->remove(0, end + 4);
                if (options_.mode != Mode::Answer) return;
                QByteArray head = "HTTP/1.1 " + QByteArray::number(options_.status) +
                                  " Test\r\nContent-Type: text/plain\r\nContent-Length: " +
                                  QByteArray::number(qsizetype(options_.body.size())) +
                                  "\r\nConnection: close\r\n\r\n";
                socket->write(head + QByteArray::fromStdString(options_.body));
                socket->disconnectFromHost();
            });
        }

        LoopbackHttpsServer& owner_;
        Options options_;
    };

    mutable std::mutex mutex_;
    std::vector<std::string> requests_;
    int connections_ = 0;
    Thread thread_;
    uint16_t port_ = 0;
};

}  // namespace qb::testing
