// The kept-alive GET connection against an in-process peer that answers with raw bytes.
#include "http_client.h"
#include "keep_alive_fetcher.h"
#include "local_http_server.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

namespace {

QByteArray keptAnswer(const QByteArray& body, const QByteArray& extra = {}) {
    return "HTTP/1.1 200 OK\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n" +
           extra + "\r\n" + body;
}

struct Outcome {
    bool finished = false;
    bool failed = false;
    int status = 0;
    int headerSignals = 0;
    QByteArray body;
};

// Runs one GET to its end (bounded), reading the body as it arrives.
Outcome fetch(net::KeepAliveFetcher& fetcher, const QString& url, const net::HttpHeaders& h = {},
              int inactivityMs = 3000) {
    Outcome out;
    auto get = fetcher.get(QUrl(url), h, inactivityMs);
    if (!get) return out;
    QObject::connect(get.get(), &net::AsyncGet::headersArrived, [&] { ++out.headerSignals; });
    QObject::connect(get.get(), &net::AsyncGet::readyRead,
                     [&] { out.body += get->readAvailable(); });
    QElapsedTimer t;
    t.start();
    while (!get->isFinished() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    out.finished = get->isFinished();
    out.failed = get->failed();
    out.status = get->status();
    out.body += get->readAvailable();
    return out;
}

} // namespace

TEST(KeepAlive, RepliesOneAfterAnotherShareOneConnection) {
    int n = 0;
    LocalHttpServer server(
        [&](const QByteArray&) { return keptAnswer("reply" + QByteArray::number(++n)); });
    server.closeAfterAnswer = false;
    net::KeepAliveFetcher fetcher;
    for (int i = 1; i <= 3; ++i) {
        const Outcome o = fetch(fetcher, server.url(QStringLiteral("/f.bin?x=1")),
                                {{"Range ", "bytes=0-9"}, {"X-Bad", "a\r\nInjected: 1"}});
        ASSERT_TRUE(o.finished);
        EXPECT_FALSE(o.failed);
        EXPECT_EQ(o.status, 200);
        EXPECT_EQ(o.headerSignals, 1);
        EXPECT_EQ(o.body, "reply" + QByteArray::number(i));
    }
    EXPECT_EQ(server.connections, 1);
    EXPECT_EQ(fetcher.connectionsOpened(), 1);
    const QByteArray& request = server.requests[0];
    EXPECT_TRUE(request.startsWith("GET /f.bin?x=1 HTTP/1.1\r\n"));
    EXPECT_TRUE(request.contains(
        QStringLiteral("\r\nHost: 127.0.0.1:%1\r\n").arg(server.serverPort()).toLatin1()));
    EXPECT_TRUE(request.contains("\r\nRange: bytes=0-9\r\n"));
    EXPECT_FALSE(request.contains("Injected"));
    EXPECT_FALSE(request.contains("X-Bad"));

    // The next request from inside the finished signal goes on the same connection.
    auto first = fetcher.get(QUrl(server.url()), {}, 3000);
    std::unique_ptr<net::AsyncGet> second;
    QObject::connect(first.get(), &net::AsyncGet::finished,
                     [&] { second = fetcher.get(QUrl(server.url()), {}, 3000); });
    QElapsedTimer t;
    t.start();
    while (!(second && second->isFinished()) && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    ASSERT_TRUE(second && second->isFinished());
    EXPECT_FALSE(second->failed());
    EXPECT_EQ(second->readAvailable(), "reply5");
    EXPECT_EQ(server.connections, 1);
}

TEST(KeepAlive, ChunkedInterimAndCloseDelimitedBodies) {
    QByteArray answer;
    LocalHttpServer server([&](const QByteArray&) { return answer; });
    server.closeAfterAnswer = false;
    net::KeepAliveFetcher fetcher;

    answer = "HTTP/1.1 100 Continue\r\n\r\n"
             "HTTP/1.1 206 Partial Content\r\nTransfer-Encoding: chunked\r\n\r\n"
             "5;ext=1\r\nhello\r\nB\r\n 0123456789\r\n0\r\nX-Trailer: t\r\n\r\n";
    Outcome o = fetch(fetcher, server.url());
    EXPECT_FALSE(o.failed);
    EXPECT_EQ(o.status, 206);
    EXPECT_EQ(o.headerSignals, 1);
    EXPECT_EQ(o.body, "hello 0123456789");

    answer = keptAnswer(""); // an empty body ends at the headers
    o = fetch(fetcher, server.url());
    EXPECT_FALSE(o.failed);
    EXPECT_TRUE(o.body.isEmpty());
    EXPECT_EQ(server.connections, 1);

    // No length: the body runs to the close, and the next request opens a new connection.
    server.closeAfterAnswer = true;
    answer = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nto the end";
    o = fetch(fetcher, server.url());
    EXPECT_FALSE(o.failed);
    EXPECT_EQ(o.body, "to the end");
    answer = keptAnswer("after", "Connection: close\r\n");
    o = fetch(fetcher, server.url());
    EXPECT_FALSE(o.failed);
    EXPECT_EQ(o.body, "after");
    EXPECT_EQ(server.connections, 2);
}

TEST(KeepAlive, ConnectionClosePerReplyAndDroppedKeptConnections) {
    int n = 0;
    LocalHttpServer closing([&](const QByteArray&) {
        return keptAnswer("r" + QByteArray::number(++n), "Connection: close\r\n");
    });
    net::KeepAliveFetcher fetcher;
    for (int i = 1; i <= 3; ++i)
        EXPECT_EQ(fetch(fetcher, closing.url()).body, "r" + QByteArray::number(i));
    EXPECT_EQ(closing.connections, 3);

    // The peer drops the kept connection when the second request arrives on it: the
    // request goes once more on a new connection.
    int seen = 0;
    bool dropAll = false;
    LocalHttpServer dropping([&](const QByteArray&) -> QByteArray {
        ++seen;
        if (seen == 2 || (dropAll && seen > 1)) return {};
        return keptAnswer("ok");
    });
    dropping.closeAfterAnswer = false;
    dropping.closeOnSilence = true;
    net::KeepAliveFetcher second;
    EXPECT_EQ(fetch(second, dropping.url()).body, "ok");
    const Outcome retried = fetch(second, dropping.url());
    EXPECT_FALSE(retried.failed);
    EXPECT_EQ(retried.body, "ok");
    EXPECT_EQ(seen, 3);
    EXPECT_EQ(dropping.connections, 2);

    // A peer that drops every time gets one retry, not a loop.
    dropAll = true;
    const Outcome gaveUp = fetch(second, dropping.url());
    EXPECT_TRUE(gaveUp.finished);
    EXPECT_TRUE(gaveUp.failed);
    EXPECT_EQ(seen, 5);
}

TEST(KeepAlive, RepliesThatCannotBeFramedFail) {
    QByteArray answer;
    LocalHttpServer server([&](const QByteArray&) { return answer; });
    server.closeAfterAnswer = false;
    net::KeepAliveFetcher fetcher;
    const QList<QByteArray> bad{
        "garbage\r\n\r\n",
        "HTTP/1.1 200 OK\r\nContent-Length: 12abc\r\n\r\nbody",
        "HTTP/1.1 200 OK\r\nContent-Length: 4\r\nContent-Length: 5\r\n\r\nbody",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nbody\r\n0\r\n\r\n",
        "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n2\r\nbodyX\r\n0\r\n\r\n",
        "HTTP/1.1 200 OK\r\nX-Long: " + QByteArray(70 * 1024, 'a') + "\r\n\r\n",
    };
    for (const QByteArray& a : bad) {
        SCOPED_TRACE(a.left(60).toStdString());
        answer = a;
        const Outcome o = fetch(fetcher, server.url());
        EXPECT_TRUE(o.finished);
        EXPECT_TRUE(o.failed);
    }
    // The connection after a failure is a new one and works.
    answer = keptAnswer("fine");
    const Outcome o = fetch(fetcher, server.url());
    EXPECT_FALSE(o.failed);
    EXPECT_EQ(o.body, "fine");
}

TEST(KeepAlive, AbortInsideReadyReadStallsAndRedirects) {
    QByteArray answer;
    LocalHttpServer server([&](const QByteArray& request) -> QByteArray {
        if (request.startsWith("GET /old "))
            return "HTTP/1.1 302 Found\r\nLocation: /new\r\nContent-Length: 3\r\n\r\nold";
        return answer;
    });
    server.closeAfterAnswer = false;
    net::KeepAliveFetcher fetcher;

    answer = "HTTP/1.1 200 OK\r\nContent-Length: 100\r\n\r\npart";
    auto get = fetcher.get(QUrl(server.url()), {}, 3000);
    int finishedSignals = 0;
    QObject::connect(get.get(), &net::AsyncGet::finished, [&] { ++finishedSignals; });
    QObject::connect(get.get(), &net::AsyncGet::readyRead, [&] { get->abort(); });
    QElapsedTimer t;
    t.start();
    while (!get->isFinished() && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_TRUE(get->failed());
    EXPECT_EQ(finishedSignals, 1);
    EXPECT_FALSE(fetcher.isBusy());

    // Headers, then silence: the inactivity limit ends it.
    const Outcome stalled = fetch(fetcher, server.url(), {}, 200);
    EXPECT_TRUE(stalled.finished);
    EXPECT_TRUE(stalled.failed);
    EXPECT_EQ(stalled.status, 200);

    // A handle dropped mid-transfer frees the connection for the next request.
    get = fetcher.get(QUrl(server.url()), {}, 3000);
    get.reset();
    EXPECT_FALSE(fetcher.isBusy());

    answer = keptAnswer("new body");
    const Outcome moved = fetch(fetcher, server.url(QStringLiteral("/old")));
    EXPECT_FALSE(moved.failed);
    EXPECT_EQ(moved.status, 200);
    EXPECT_EQ(moved.headerSignals, 1);
    EXPECT_EQ(moved.body, "new body");
    EXPECT_TRUE(server.requests.last().startsWith("GET /new HTTP/1.1\r\n"));
}

TEST(KeepAlive, HttpClientUsesTheKeptConnectionAndFallsBackWhenBusy) {
    LocalHttpServer server([&](const QByteArray&) { return keptAnswer("x"); });
    server.closeAfterAnswer = false;
    net::HttpClient client(3000);
    auto a = client.getAsync(server.url());
    auto b = client.getAsync(server.url()); // a holds the kept connection
    QElapsedTimer t;
    t.start();
    while (!(a->isFinished() && b->isFinished()) && t.elapsed() < 5000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(a->failed());
    EXPECT_FALSE(b->failed());
    EXPECT_EQ(a->readAvailable(), "x");
    EXPECT_EQ(b->readAvailable(), "x");
    for (int i = 0; i < 3; ++i) {
        auto c = client.getAsync(server.url());
        t.restart();
        while (!c->isFinished() && t.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        EXPECT_FALSE(c->failed());
    }
    EXPECT_EQ(server.connections, 2); // one kept, one of the network access manager
}
