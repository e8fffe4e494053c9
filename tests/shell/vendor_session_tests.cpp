#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"

#include "common/clock.h"
#include "common/code_page.h"
#include "common/deploy_config.h"
#include "common/messages.h"
#include "common/net/http_client.h"
#include "tests/net/local_http_server.h"

#include <QCoreApplication>
#include <QUrl>

#include <gtest/gtest.h>

using namespace shell;

namespace {

// Undoes the cipher and the percent-encoding, as the vendor service does.
QString decipherAndDecode(const QString& body, const CipherKeyTable& t) {
    if (!body.startsWith(QLatin1Char('%'))) return {};
    const int row = body.mid(1, 2) == QLatin1String("10") ? 9 : body.mid(1, 1).toInt() - 1;
    QString text = body.mid(row == 9 ? 4 : 3);
    for (QChar& c : text)
        if (c != QLatin1Char('%') && c != QLatin1Char('+')) c = t.restore(row, c);
    text.replace(QLatin1Char('+'), QLatin1Char(' '));
    return common::FromGbk(QByteArray::fromPercentEncoding(text.toLatin1()));
}

struct Fixture {
    common::DeployConfig config;
    CipherKeyTable keys =
        *CipherKeyTable::parse(common::DeployConfig().value(QStringLiteral("CipherKeyTable")));
    net::HttpClient http{3000};
    common::RecordingMessages messages;
    common::FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 5, 7))};
    ScriptedRandom random{{0.35, 0.99}};
    VendorSession vendor{config, keys, http, messages, clock, random};
};

} // namespace

TEST(VendorSession, CredentialQueryAndTimeStamp) {
    Fixture f;
    f.vendor.loginComUser = QStringLiteral("acme01");
    f.vendor.loginStaffUser = QStringLiteral("007");
    f.vendor.loginPassword = QStringLiteral("p&w");
    EXPECT_EQ(f.vendor.credentialQuery(), QStringLiteral("u=acme01&u2=007&p=p&w"));
    EXPECT_EQ(f.vendor.timeStamp(), QStringLiteral("2026/3/1 9:05:07"));
}

TEST(VendorSession, EncipherParamsDrawsRowThenFillerAndNeverWritesAnAmbiguousRowOne) {
    Fixture f;
    const QString plain = UrlEncodeGbk(QStringLiteral("s=2&u=a"));
    // 0.35 picks row 4 (index 3), 0.99 the last filler "Z".
    const QString out = f.vendor.encipherParams(plain);
    EXPECT_EQ(out, EncipherWithRow(plain, f.keys, 3, 62));
    EXPECT_TRUE(out.startsWith(QStringLiteral("%4Z")));

    ScriptedRandom lowest({0.0, 0.0});
    VendorSession c(f.config, f.keys, f.http, f.messages, f.clock, lowest);
    const QString rowOne = c.encipherParams(plain);
    EXPECT_TRUE(rowOne.startsWith(QStringLiteral("%11"))) << "filler 0 would read as row 10";
    EXPECT_EQ(decipherAndDecode(rowOne, f.keys), QStringLiteral("s=2&u=a"));

    EXPECT_TRUE(f.vendor.encipherParams(QStringLiteral("a.b")).isEmpty());
    ASSERT_EQ(f.messages.shown.size(), 1);
    EXPECT_EQ(f.messages.shown[0].text, QStringLiteral("加密错误"));
}

TEST(VendorSession, RandomInRangeCoversOneToN) {
    ScriptedRandom r({0.0, 0.5, 0.999999});
    EXPECT_EQ(RandomInRange(10, r), 1);
    EXPECT_EQ(RandomInRange(10, r), 6);
    EXPECT_EQ(RandomInRange(10, r), 10);
    SystemRandom sys;
    QSet<int> seen;
    for (int i = 0; i < 2000; ++i) {
        const int k = RandomInRange(10, sys);
        ASSERT_GE(k, 1);
        ASSERT_LE(k, 10);
        seen.insert(k);
    }
    EXPECT_EQ(seen.size(), 10);
}

TEST(VendorSession, PostVendorRequestSendsTheEncipheredStampedBodyAndDecodesTheReply) {
    if (!QCoreApplication::instance()) GTEST_SKIP();
    const QByteArray gbkReply = common::ToGbk(QStringLiteral("中国旅行,张三,1"));
    LocalHttpServer server([&](const QByteArray&) {
        return LocalHttpServer::answer(404, "Not Found", gbkReply, "Set-Cookie: a=b\r\n");
    });
    Fixture f;
    f.config.set(QStringLiteral("VendorServiceUrl"), server.url(QStringLiteral("/service.asp")));
    EXPECT_EQ(f.vendor.postVendorRequest(QStringLiteral("s=2&u=李&u2=1&p=x y")),
              QStringLiteral("中国旅行,张三,1"));
    ASSERT_EQ(server.requests.size(), 1);
    const QByteArray& req = server.requests[0];
    const QByteArray body = req.mid(req.indexOf("\r\n\r\n") + 4);
    EXPECT_TRUE(
        req.toLower().contains("\r\ncontent-length: " + QByteArray::number(body.size()) + "\r\n"));
    EXPECT_EQ(decipherAndDecode(QString::fromLatin1(body), f.keys),
              QStringLiteral("s=2&u=李&u2=1&p=x y&t=2026/3/1 9:05:07"));

    // Every exchange is fresh: no cookie goes back.
    f.vendor.postVendorRequest(QStringLiteral("s=0&u=abcdef"));
    EXPECT_FALSE(server.requests.value(1).toLower().contains("cookie:"));
}

TEST(VendorSession, TransportFailureIsAnEmptyReplyWithoutMessages) {
    if (!QCoreApplication::instance()) GTEST_SKIP();
    LocalHttpServer silent([](const QByteArray&) { return QByteArray(); });
    Fixture f;
    f.config.set(QStringLiteral("VendorServiceUrl"), silent.url());
    net::HttpClient quick(200);
    VendorSession c(f.config, f.keys, quick, f.messages, f.clock, f.random);
    EXPECT_EQ(c.postVendorRequest(QStringLiteral("s=0&u=abcdef")), QString());
    f.config.set(QStringLiteral("VendorServiceUrl"), QStringLiteral("http://127.0.0.1:1/x"));
    EXPECT_EQ(c.postVendorRequest(QStringLiteral("s=0&u=abcdef")), QString());
    EXPECT_TRUE(f.messages.shown.isEmpty());
}

TEST(VendorSession, IsNumberOneReadsTheReplyAsANumber) {
    for (const char* yes : {"1", " 1", "1\r\n", "1.0"})
        EXPECT_TRUE(IsNumberOne(QString::fromLatin1(yes)));
    for (const char* no : {"", "0", "11", "1a", "009", "true"})
        EXPECT_FALSE(IsNumberOne(QString::fromLatin1(no)));
}
