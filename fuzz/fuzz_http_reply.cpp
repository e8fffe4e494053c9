// Feeds arbitrary HTTP replies (status line, headers, lengths, chunks, redirects) to the
// HTTP client as the services' requests meet them: a local server answers every request
// on every connection with the input and closes; the reply bound is set low so that it is
// reached, and the reply is read as the callers read it.
#include "common/net/http_client.h"

#include <QCoreApplication>
#include <QTcpServer>
#include <QTcpSocket>

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
    static net::HttpClient client(300);
    client.setMaxReplyBytes(size % 2 ? 64 : net::kMaxReplyBytes);
    const QString url = QStringLiteral("http://127.0.0.1:%1/f").arg(server().serverPort());
    const net::HttpReply reply = size % 3 ? client.get(url, {{"Range", "bytes=0-"}})
                                          : client.post(url, "s=1&u=x");
    (void)reply.header("Content-Range");
    (void)reply.text();
    (void)reply.text("UTF-8");
    return 0;
}
