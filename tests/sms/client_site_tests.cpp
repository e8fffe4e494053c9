// The gateway client end to end against the local SMS gateway.
#include "common/clock.h"
#include "common/fso.h"
#include "common/messages.h"
#include "sms/sms_client.h"
#include "sms/sms_http.h"
#include "support/doubles.h"
#include "support/local_gateway.h"

#include <QElapsedTimer>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sms;
using support::LocalGateway;

namespace {

struct SiteFixture : ::testing::Test {
    // One gateway for the suite, reset before every test.
    static inline std::unique_ptr<LocalGateway> shared;
    static void SetUpTestSuite() { shared = std::make_unique<LocalGateway>(); }
    static void TearDownTestSuite() { shared.reset(); }
    LocalGateway& gateway = *shared;
    QTemporaryDir dir;
    SmsAccount account;
    common::RecordingMessages messages;
    common::FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3))};
    std::unique_ptr<SmsClient> client;

    void SetUp() override {
        ASSERT_TRUE(gateway.started());
        gateway.admin(QStringLiteral("reset"));
        gateway.addAccount(QStringLiteral("agency1"), QStringLiteral("pw1"), QStringLiteral("示例"),
                           QStringLiteral("010-66668888"), 12.5);
        client = makeClient(2000);
    }
    std::unique_ptr<SmsClient> makeClient(int timeoutMs) {
        return std::make_unique<SmsClient>(account, messages, clock,
                                           SmsEnvironment{NetworkGet(timeoutMs), gateway.host(),
                                                          dir.path(), QStringLiteral("WS7F3A")});
    }
    QString setupPath() const { return SmsSetupPath(dir.path()); }
    QStringList texts() const { return support::ShownTexts(messages); }
    QString lastContent() { return gateway.sent().last().toObject().value("content").toString(); }
};

} // namespace

TEST_F(SiteFixture, StartupSignsInFromAccountFile) {
    common::WriteTextFile(setupPath(), QStringLiteral("agency1\r\npw1\r\n1"));
    EXPECT_EQ(client->smsStartup(), QStringLiteral("短信余额：12.50 元"));
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(account.agencyShortName, QStringLiteral("示例"));
    EXPECT_EQ(account.agencyServicePhone, QStringLiteral("010-66668888"));
    const QJsonObject q = gateway.requests().last().toObject().value("query").toObject();
    EXPECT_EQ(q.value("Services").toString(), QStringLiteral("6"));
    EXPECT_EQ(q.value("Hdnumber").toString(), QStringLiteral("WS7F3A"));
    EXPECT_EQ(q.value("nwo").toString(), QStringLiteral("2026/12/8 9:05:03"));
}

TEST_F(SiteFixture, StartupSignInRefusedKeepsLine) {
    account.agencyShortName = QStringLiteral("旧名");
    common::WriteTextFile(setupPath(), QStringLiteral("agency1\r\nwrong\r\n1"));
    EXPECT_EQ(client->smsStartup(), std::nullopt);
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("0,帐号或密码错误"),
                                    QStringLiteral("登陆短信系统失败，如需要发短信请手工登陆！")}));
    EXPECT_EQ(account.agencyShortName, QStringLiteral("旧名"));
}

TEST_F(SiteFixture, StartupWithoutAccountFileRegistersWorkstation) {
    account.smsBalance = 3.25f; // from an earlier sign-in of this run
    EXPECT_EQ(client->smsStartup(), QStringLiteral("短信余额：3.25 元"));
    EXPECT_EQ(common::ReadTextFile(setupPath()), QStringLiteral("WS7F3A\r\nWS7F3A\r\n1"));
    EXPECT_EQ(account.smsUserName, QStringLiteral("WS7F3A"));
    // Registered once: the next start-up signs in with the saved account.
    EXPECT_EQ(client->smsStartup(), QStringLiteral("短信余额：0.00 元"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SiteFixture, StartupRegistrationRefused) {
    gateway.force(QStringLiteral("1"), QStringLiteral("0,该帐号已存在"));
    EXPECT_EQ(client->smsStartup(), QStringLiteral("您还没有登陆短信帐号！"));
    EXPECT_EQ(texts(),
              QStringList{QStringLiteral("自动注册短信帐户时失败，手工注册，或联系客服，谢谢")});
    EXPECT_FALSE(common::FileExists(setupPath()));
}

TEST_F(SiteFixture, SilentGatewayEndsAfterTimeOut) {
    gateway.admin(QStringLiteral("silent"));
    client = makeClient(300);
    common::WriteTextFile(setupPath(), QStringLiteral("agency1\r\npw1\r\n1"));
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(client->smsStartup(), std::nullopt);
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(texts().last(), QStringLiteral("登陆短信系统失败，如需要发短信请手工登陆！"));
}

TEST_F(SiteFixture, TextsArriveAsWritten) {
    account.smsUserName = QStringLiteral("agency1");
    account.smsPassword = QStringLiteral("pw1");
    EXPECT_EQ(client->sendSms(QStringLiteral("13800138000"), QStringLiteral("你好 CA1501")), 1);
    EXPECT_EQ(lastContent(), QStringLiteral("你好 CA1501"));
    // The raw query carries GBK pairs, a %20 and the flight number as it is.
    EXPECT_TRUE(gateway.requests().last().toObject().value("raw").toString().endsWith(
        QStringLiteral("&Content=%C4%E3%BA%C3%20CA1501")));
    const QString tricky = QStringLiteral("票价50%+税&费 #1,=2\n【示例】");
    EXPECT_EQ(client->sendSms(QStringLiteral("13800138000"), tricky), 1);
    EXPECT_EQ(lastContent(), tricky);
    EXPECT_EQ(gateway.sent().last().toObject().value("mob").toString(),
              QStringLiteral("13800138000"));
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(SiteFixture, SendRefusedByGateway) {
    account.smsUserName = QStringLiteral("agency1");
    account.smsPassword = QStringLiteral("bad");
    EXPECT_EQ(client->sendSms(QStringLiteral("13800138000"), QStringLiteral("x")), 0);
    EXPECT_EQ(texts(), QStringList{QStringLiteral("帐号或密码错误")});
    gateway.force(QStringLiteral("3"), QStringLiteral("0"));
    messages.clear();
    EXPECT_EQ(client->sendSms(QStringLiteral("13800138000"), QStringLiteral("x")), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(gateway.sent().isEmpty());
}

TEST_F(SiteFixture, SendRefusedBeforeAnyRequest) {
    EXPECT_EQ(client->sendSms(QStringLiteral("13800138000"), QStringLiteral("x")), 0);
    account.smsUserName = QStringLiteral("agency1");
    EXPECT_EQ(client->sendSms(QStringLiteral("1380013800"), QStringLiteral("x")), 0);
    EXPECT_EQ(client->sendSms(QStringLiteral("138001380001"), QStringLiteral("x")), 0);
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("您没有登陆，请登陆后再发"),
                                    QStringLiteral("手机号码位数不正确！"),
                                    QStringLiteral("手机号码位数不正确！")}));
    EXPECT_TRUE(gateway.requests().isEmpty());
}
