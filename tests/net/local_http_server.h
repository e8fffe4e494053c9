#pragma once
// An in-process HTTP peer for the client tests: records each raw request and answers it
// with whatever the handler returns. An empty answer leaves the connection silent.
#include <QByteArray>
#include <QHash>
#include <QList>
#include <QTcpServer>
#include <QTcpSocket>

#include <functional>

class LocalHttpServer : public QTcpServer {
public:
    using Handler = std::function<QByteArray(const QByteArray& request)>;

    explicit LocalHttpServer(Handler handler) : handler_(std::move(handler)) {
        listen(QHostAddress::LocalHost, 0);
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* s = nextPendingConnection()) {
                ++connections;
                s->setParent(this);
                connect(s, &QTcpSocket::readyRead, this, [this, s] { onData(s); });
            }
        });
    }
    QString url(const QString& path = QStringLiteral("/")) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(serverPort()).arg(path);
    }
    QList<QByteArray> requests;
    bool closeAfterAnswer = true; // false: the body may stop short and the peer stays
    bool closeOnSilence = false;  // an empty answer closes the connection
    int connections = 0;

    static QByteArray answer(int status, const QByteArray& reason, const QByteArray& body,
                             const QByteArray& extraHeaders = {}) {
        return "HTTP/1.1 " + QByteArray::number(status) + " " + reason +
               "\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\nConnection: close\r\n" + extraHeaders + "\r\n" + body;
    }

private:
    void onData(QTcpSocket* s) {
        QByteArray& buf = pending_[s];
        buf += s->readAll();
        const int end = buf.indexOf("\r\n\r\n");
        if (end < 0) return;
        int length = 0;
        for (const QByteArray& line : buf.left(end).split('\n'))
            if (line.toLower().startsWith("content-length:"))
                length = line.mid(15).trimmed().toInt();
        if (buf.size() < end + 4 + length) return;
        const QByteArray request = buf;
        buf.clear();
        requests.append(request);
        const QByteArray reply = handler_(request);
        if (reply.isEmpty()) {
            if (closeOnSilence) s->disconnectFromHost();
            return;
        }
        s->write(reply);
        if (closeAfterAnswer) s->disconnectFromHost();
    }

    Handler handler_;
    QHash<QTcpSocket*, QByteArray> pending_;
};
