// Feeds arbitrary HTTP replies to the kept-alive fetcher's framing (status line, headers,
// lengths, chunks, interim replies, redirects): a local server answers every request on
// every connection with the input and closes, and the fetch runs to its end.
#include "keep_alive_fetcher.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <cstdint>

namespace {

QByteArray g_reply;

QTcpServer& server() {
    static QTcpServer* s = [] {
        auto* srv = new QTcpServer;
        srv->listen(QHostAddress::LocalHost);
        QObject::connect(srv, &QTcpServer::newConnection, srv, [srv] {
            while (QTcpSocket* c = srv->nextPendingConnection()) {
                QObject::connect(c, &QTcpSocket::disconnected, c, &QObject::deleteLater);
                QObject::connect(c, &QTcpSocket::readyRead, c, [c] {
                    const QByteArray in = c->property("in").toByteArray() + c->readAll();
                    c->setProperty("in", in);
                    if (!in.contains("\r\n\r\n")) return;
                    c->write(g_reply);
                    c->disconnectFromHost();
                });
            }
        });
        return srv;
    }();
    return *s;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    static QCoreApplication app(*argc, *argv);
    server();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    g_reply = QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
    net::KeepAliveFetcher fetcher;
    const QUrl url(QStringLiteral("http://127.0.0.1:%1/f").arg(server().serverPort()));
    std::unique_ptr<net::AsyncGet> get = fetcher.get(url, {{"Range", "bytes=0-"}}, 300);
    if (!get) return 0;
    QEventLoop loop;
    QObject::connect(get.get(), &net::AsyncGet::readyRead, &loop, [&get] { get->readAvailable(); });
    QObject::connect(get.get(), &net::AsyncGet::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(1000, &loop, &QEventLoop::quit);
    if (!get->isFinished()) loop.exec();
    (void)get->status();
    (void)get->header("Content-Range");
    return 0;
}
