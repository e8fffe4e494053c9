#include "common/net/http_client.h"
#include "tests/net/local_http_server.h"

#include "common/code_page.h"
#include "common/deploy_config.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QNetworkProxy>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

struct CountingHook : net::WaitHook {
    int begun = 0, ended = 0;
    void beginWait() override { ++begun; }
    void endWait() override { ++ended; }
};

QByteArray headerBlock(const QByteArray& request) {
    return request.left(request.indexOf("\r\n\r\n"));
}

// Runs the event loop until done() or a bound passes.
template <typename Pred> bool spinUntil(Pred done, int ms = 5000) {
    QElapsedTimer t;
    t.start();
    while (!done() && t.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

} // namespace

TEST(HttpClient, PostPutsWellFormedHeadersAndTheBodysOwnLength) {
    LocalHttpServer server(
        [](const QByteArray&) { return LocalHttpServer::answer(200, "OK", "1"); });
    net::HttpClient client(5000);
    const net::HttpReply reply = client.post(
        server.url(QStringLiteral("/service.asp")), "a%3Db",
        {{"Content-Length ", "999"}, {"CONTENT-TYPE ", "application/x-www-form-urlencoded "}});
    ASSERT_TRUE(reply.arrived);
    EXPECT_EQ(reply.text(), QStringLiteral("1"));
    ASSERT_EQ(server.requests.size(), 1);
    const QByteArray head = headerBlock(server.requests[0]);
    EXPECT_TRUE(head.startsWith("POST /service.asp HTTP/1.1\r\n"));
    const QByteArray lower = head.toLower();
    EXPECT_TRUE(lower.contains("\r\ncontent-length: 5\r\n")) << head.constData();
    EXPECT_TRUE(lower.contains("\r\ncontent-type: application/x-www-form-urlencoded\r\n"))
        << head.constData();
    EXPECT_FALSE(head.contains(" :")) << "no blank before a colon";
    EXPECT_FALSE(lower.contains("999"));
    EXPECT_TRUE(server.requests[0].endsWith("\r\n\r\na%3Db"));
}

TEST(HttpClient, ErrorStatusKeepsItsBodyHeadersAndGbkText) {
    const QByteArray gbk = common::ToGbk(QStringLiteral("错误页"));
    LocalHttpServer server([&](const QByteArray&) {
        return LocalHttpServer::answer(500, "Internal Oops", gbk, "Set-Cookie: sid=1\r\n");
    });
    net::HttpClient client(5000);
    const net::HttpReply reply = client.get(server.url());
    ASSERT_TRUE(reply.arrived);
    EXPECT_EQ(reply.status, 500);
    EXPECT_EQ(reply.statusText, QStringLiteral("Internal Oops"));
    EXPECT_EQ(reply.body, gbk);
    EXPECT_EQ(reply.text("GB2312"), QStringLiteral("错误页"));
    EXPECT_EQ(reply.header("Set-Cookie "), QByteArray("sid=1"));
    EXPECT_EQ(reply.header("set-cookie:"), QByteArray("sid=1"));
    EXPECT_TRUE(reply.header("Content-Range").isEmpty());
}

TEST(HttpClient, CookiesAreNeitherKeptNorSent) {
    LocalHttpServer server([](const QByteArray&) {
        return LocalHttpServer::answer(200, "OK", "x", "Set-Cookie: sid=abc; Path=/\r\n");
    });
    net::HttpClient client(5000);
    ASSERT_TRUE(client.get(server.url()).arrived);
    ASSERT_TRUE(client.post(server.url(), "b").arrived);
    ASSERT_EQ(server.requests.size(), 2);
    EXPECT_FALSE(server.requests[1].toLower().contains("cookie"));
}

TEST(HttpClient, SilentPeerEndsAsEmptyReplyAfterTheDeployedTimeout) {
    LocalHttpServer server([](const QByteArray&) { return QByteArray(); });
    common::DeployConfig config;
    config.set(QStringLiteral("HttpTimeoutMs"), QStringLiteral("300"));
    CountingHook hook;
    net::HttpClient client(config, &hook);
    QElapsedTimer t;
    t.start();
    const net::HttpReply reply = client.post(server.url(), "x");
    EXPECT_TRUE(reply.isEmpty());
    EXPECT_TRUE(reply.body.isEmpty());
    EXPECT_GE(t.elapsed(), 250);
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(hook.begun, 1);
    EXPECT_EQ(hook.ended, 1);
    // An explicit time-out overrides the client's.
    t.restart();
    EXPECT_TRUE(client.get(server.url(), {}, 100).isEmpty());
    EXPECT_LT(t.elapsed(), 250);
}

TEST(HttpClient, UnreachableOrMalformedAddressesGiveEmptyReplies) {
    quint16 closedPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    net::HttpClient client(2000);
    EXPECT_TRUE(client.post(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort), "x").isEmpty());
    EXPECT_TRUE(client.get(QStringLiteral("not an address")).isEmpty());
    EXPECT_TRUE(client.get(QString()).isEmpty());
}

TEST(HttpClient, DirectUnlessTheApplicationNamesAProxy) {
    LocalHttpServer server(
        [](const QByteArray&) { return LocalHttpServer::answer(200, "OK", "1"); });
    // Direct: the path alone; a named HTTP proxy gets the whole address, not a tunnel.
    for (const auto& [proxy, url, line] :
         {std::tuple{QNetworkProxy(QNetworkProxy::NoProxy), server.url("/a"), "GET /a HTTP"},
          {QNetworkProxy(QNetworkProxy::HttpProxy, "127.0.0.1", server.serverPort()),
           QStringLiteral("http://update.example/a"), "GET http://update.example/a HTTP"}}) {
        QNetworkProxy::setApplicationProxy(proxy);
        EXPECT_EQ(net::HttpClient(5000).get(url).text(), QStringLiteral("1")) << line;
        EXPECT_TRUE(server.requests.last().startsWith(line)) << server.requests.last().constData();
    }
    QNetworkProxyFactory::setUseSystemConfiguration(true);
}

TEST(AsyncGet, StreamsALargeBodyWithRequestHeadersAndReplyHeaders) {
    QByteArray body(3 * 1024 * 1024, '\0');
    for (int i = 0; i < body.size(); ++i)
        body[i] = char(i * 7 + i / 1000);
    LocalHttpServer server([&](const QByteArray&) {
        return LocalHttpServer::answer(206, "Partial Content", body,
                                       "Content-Range: bytes 0-3145727/9000000\r\n");
    });
    net::HttpClient client(5000);
    auto get =
        client.getAsync(server.url(QStringLiteral("/f.bin")), {{"Range", "bytes=0-3145727"}});
    QByteArray received;
    int headerSignals = 0, chunks = 0;
    bool sawHeadersFirst = true;
    QObject::connect(get.get(), &net::AsyncGet::headersArrived, [&] { ++headerSignals; });
    QObject::connect(get.get(), &net::AsyncGet::readyRead, [&] {
        if (headerSignals == 0) sawHeadersFirst = false;
        ++chunks;
        received += get->readAvailable();
    });
    EXPECT_EQ(get->readyState(), 1);
    ASSERT_TRUE(spinUntil([&] { return get->isFinished(); }));
    received += get->readAvailable();
    EXPECT_FALSE(get->failed());
    EXPECT_EQ(get->readyState(), 4);
    EXPECT_EQ(get->status(), 206);
    EXPECT_EQ(get->statusText(), QStringLiteral("Partial Content"));
    EXPECT_EQ(get->header("Content-Range"), QByteArray("bytes 0-3145727/9000000"));
    EXPECT_EQ(headerSignals, 1);
    EXPECT_TRUE(sawHeadersFirst);
    EXPECT_GE(chunks, 1);
    EXPECT_TRUE(received == body);
    EXPECT_TRUE(server.requests[0].contains("\r\nRange: bytes=0-3145727\r\n"));
}

TEST(AsyncGet, AbortAndStalledTransfersEndAsFailed) {
    LocalHttpServer server([](const QByteArray&) {
        return QByteArray("HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\nonly ten b");
    });
    server.closeAfterAnswer = false;
    net::HttpClient client(5000);
    auto aborted = client.getAsync(server.url());
    ASSERT_TRUE(spinUntil([&] { return aborted->headersReceived(); }));
    aborted->abort();
    ASSERT_TRUE(spinUntil([&] { return aborted->isFinished(); }));
    EXPECT_TRUE(aborted->failed());

    auto stalled = client.getAsync(server.url(), {}, 200);
    ASSERT_TRUE(spinUntil([&] { return stalled->isFinished(); }, 3000));
    EXPECT_TRUE(stalled->failed());

    auto refused = client.getAsync(QStringLiteral("http://127.0.0.1:1/"));
    ASSERT_TRUE(spinUntil([&] { return refused->isFinished(); }, 3000));
    EXPECT_TRUE(refused->failed());
    EXPECT_EQ(refused->status(), 0);
}

TEST(HttpClient, RepliesPastTheSizeLimitAreRefusedNotKept) {
    const QByteArray big(300 * 1024, 'x');
    LocalHttpServer announced(
        [&](const QByteArray&) { return LocalHttpServer::answer(200, "OK", big); });
    // The same body without a length: only the bytes received count.
    LocalHttpServer unannounced(
        [&](const QByteArray&) { return "HTTP/1.1 200 OK\r\nConnection: close\r\n\r\n" + big; });
    net::HttpClient client(5000);
    client.setMaxReplyBytes(100 * 1024);
    for (LocalHttpServer* server : {&announced, &unannounced}) {
        const net::HttpReply reply = client.post(server->url(), "x");
        EXPECT_TRUE(reply.isEmpty());
        EXPECT_TRUE(reply.tooLarge);
        EXPECT_TRUE(reply.body.isEmpty());
    }
    client.setMaxReplyBytes(big.size());
    const net::HttpReply whole = client.get(announced.url());
    EXPECT_FALSE(whole.tooLarge);
    EXPECT_EQ(whole.body.size(), big.size());
}
