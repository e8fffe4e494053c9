// The gateway's wire and the client's rules, against a scripted gateway.
#include "common/clock.h"
#include "common/code_page.h"
#include "common/fso.h"
#include "common/messages.h"
#include "sms/gateway.h"
#include "sms/panel_rules.h"
#include "sms/sms_client.h"
#include "support/doubles.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace sms;

TEST(EscapeSmsText, GbkPairsAndEscapesForWhatWouldCutOrChangeTheText) {
    const std::pair<const char*, const char*> cases[] = {
        {"你好 CA1501", "%C4%E3%BA%C3%20CA1501"}, // 你 C4E3, 好 BAC3 in GBK
        {"啊", "%B0%A1"},
        {"【示例】", "%A1%BE%CA%BE%C0%FD%A1%BF"},
        {"a=b,c.d:e;f(g)[h]", "a=b,c.d:e;f(g)[h]"},
        {"a&b%c+d#e", "a%26b%25c%2Bd%23e"},
        {"50% off", "50%25%20off"},
    };
    for (const auto& [text, escaped] : cases)
        EXPECT_EQ(EscapeSmsText(QString::fromUtf8(text)), QString::fromUtf8(escaped)) << text;
}

TEST(WireUrl, OnlyWhatCannotStandInAnAddressIsEscaped) {
    EXPECT_EQ(WireUrl(QStringLiteral("http://h/p?a=1 2&b=%C4%E3&c=张")),
              QStringLiteral("http://h/p?a=1%202&b=%C4%E3&c=%D5%C5"));
    EXPECT_EQ(WireUrl(QStringLiteral("x\r\ny#\"")), QStringLiteral("x%0D%0Ay%23%22"));
}

TEST(GatewayRequests, FieldsInOrder) {
    const QString gw = GatewayAddress(QStringLiteral("sms.example:81"));
    EXPECT_EQ(gw, QStringLiteral("http://sms.example:81/api/ServerPort.asp"));
    EXPECT_EQ(SignInRequest(gw, QStringLiteral("WS01"), QStringLiteral("demo"),
                            QStringLiteral("pw1"), QStringLiteral("2026/12/8 9:05:03")),
              gw + QStringLiteral("?Services=6&Hdnumber=WS01&username=demo&password=pw1"
                                  "&nwo=2026/12/8%209:05:03"));
    EXPECT_EQ(RegisterRequest(gw, QStringLiteral("WS01"), QStringLiteral("2026/12/8 9:05:03")),
              gw + QStringLiteral("?Services=1&Hdnumber=WS01&username=WS01&password=WS01"
                                  "&nwo=2026/12/8%209:05:03"));
    EXPECT_EQ(SendRequest(gw, QStringLiteral("demo"), QStringLiteral("pw1"),
                          QStringLiteral("13800138000"), QStringLiteral("好 1")),
              gw + QStringLiteral("?Services=3&Channel=1&username=demo&password=pw1"
                                  "&mob=13800138000&Content=%BA%C3%201"));
    EXPECT_EQ(AccountPageUrl(QStringLiteral("sms.example:81"), QStringLiteral("demo"),
                             QStringLiteral("pw1")),
              QStringLiteral("http://sms.example:81/logint.asp?UserName=demo&Password=pw1"));
    // A value cannot add a field or change another: "&Channel=9" stays in the password.
    EXPECT_EQ(SendRequest(gw, QStringLiteral("d+1"), QStringLiteral("p&Channel=9#%"),
                          QStringLiteral("1380013800?"), QStringLiteral("x")),
              gw + QStringLiteral("?Services=3&Channel=1&username=d%2B1"
                                  "&password=p%26Channel%3D9%23%25&mob=1380013800%3F&Content=x"));
}

TEST(GatewayReplies, SignIn) {
    SignInReply r = ReadSignInReply(QStringLiteral("1,示例,010-1234,x,y,12.5"));
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.shortName, QStringLiteral("示例"));
    EXPECT_EQ(r.servicePhone, QStringLiteral("010-1234"));
    EXPECT_FLOAT_EQ(r.balance, 12.5f);
    // Short replies keep what they carry; no balance counts as 0.
    r = ReadSignInReply(QStringLiteral("1,示例"));
    EXPECT_TRUE(r.ok && r.hasShortName && !r.hasServicePhone);
    EXPECT_EQ(r.balance, 0.f);
    EXPECT_TRUE(ReadSignInReply(QStringLiteral("1")).ok);
    EXPECT_FALSE(ReadSignInReply(QStringLiteral("0,1,2,3,4,5")).ok);
    EXPECT_FALSE(ReadSignInReply(QString()).ok);
    EXPECT_EQ(ReadSignInReply(QStringLiteral("1,a,b,c,d,abc")).balance, 0.f);
}

TEST(GatewayReplies, Send) {
    EXPECT_TRUE(ReadSendReply(QStringLiteral("1")).isStatus);
    EXPECT_EQ(ReadSendReply(QStringLiteral("7")).status, 7);
    EXPECT_TRUE(ReadSendReply(QStringLiteral("0")).isStatus);
    for (const char* t : {"", "x", "-", "10", "帐号或密码错误"})
        EXPECT_FALSE(ReadSendReply(QString::fromUtf8(t)).isStatus) << t;
}

TEST(SmsAccountFile, ThreeGbkLinesReadBack) {
    QTemporaryDir dir;
    SmsAccount a;
    a.smsUserName = QStringLiteral("示例01");
    a.smsPassword = QStringLiteral("pw 1");
    const QString path = SmsSetupPath(dir.path());
    ASSERT_TRUE(WriteSmsSetup(path, a));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), common::ToGbk(QStringLiteral("示例01\r\npw 1\r\n1")));
    SmsAccount b;
    EXPECT_TRUE(ReadSmsSetup(path, b));
    EXPECT_EQ(b.smsUserName, a.smsUserName);
    EXPECT_EQ(b.smsPassword, a.smsPassword);
    EXPECT_FALSE(ReadSmsSetup(dir.filePath(QStringLiteral("none.inf")), b));
}

TEST(BalanceLine, TwoDecimalsGroupedWithLeadingZero) {
    EXPECT_EQ(BalanceLine(12.5f), QStringLiteral("短信余额：12.50 元"));
    EXPECT_EQ(BalanceLine(0.5f), QStringLiteral("短信余额：0.50 元"));
    EXPECT_EQ(BalanceLine(0), QStringLiteral("短信余额：0.00 元"));
    EXPECT_EQ(BalanceLine(1234.5f), QStringLiteral("短信余额：1,234.50 元"));
}

TEST(Signature, EndingAndLength) {
    EXPECT_EQ(CheckSignature(QStringLiteral("您好【示例】")), Signature::Ok);
    EXPECT_EQ(CheckSignature(QStringLiteral("您好【一二三四五六七】")), Signature::Ok);
    EXPECT_EQ(CheckSignature(QStringLiteral("您好【一二三四五六七八】")), Signature::TooLong);
    EXPECT_EQ(CheckSignature(QStringLiteral("您好,[示例]")), Signature::Missing);
    // Without "【" the whole text counts.
    EXPECT_EQ(CheckSignature(QStringLiteral("一二三四五六七】")), Signature::Ok);
    EXPECT_EQ(CheckSignature(QStringLiteral("一二三四五六七八】")), Signature::TooLong);
    // Only the last "【" counts.
    EXPECT_EQ(CheckSignature(QStringLiteral("【很长很长很长很长的】文字【示例】")), Signature::Ok);
}

TEST(SmsLength, PartsAt70_71And134Characters) {
    const QString sig = QStringLiteral("【示例】"); // counted with the text
    const auto measure = [&](int n) { return MeasureSms(QString(n - 4, u'票') + sig + "  \n"); };
    EXPECT_EQ(measure(70).characters, 70);
    EXPECT_EQ(measure(70).parts, 1);
    EXPECT_EQ(measure(71).parts, 2);
    EXPECT_EQ(measure(134).parts, 2);
    EXPECT_EQ(measure(135).parts, 3);
    EXPECT_EQ(MeasureSms(QString()).parts, 0);
    EXPECT_EQ(SmsLengthText(measure(71)), QStringLiteral("共 71 字，分 2 条发送"));
}

namespace {

// A gateway that answers from a script and keeps the addresses asked for.
struct ScriptedGateway {
    QStringList asked;
    QList<QByteArray> replies;
    HttpGet get() {
        return [this](const QString& url) {
            asked << url;
            return replies.isEmpty() ? QByteArray() : replies.takeFirst();
        };
    }
};

struct ClientFixture : ::testing::Test {
    QTemporaryDir dir;
    SmsAccount account;
    common::RecordingMessages messages;
    common::FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3))};
    ScriptedGateway gw;
    SmsClient client{
        account, messages, clock,
        SmsEnvironment{gw.get(), QStringLiteral("gw.local"), dir.path(), QStringLiteral("WS01")}};
    void reply(const QString& text) { gw.replies << common::ToGbk(text); }
    QStringList texts() const { return support::ShownTexts(messages); }
};

} // namespace

TEST_F(ClientFixture, FailedSignInShowsReplyAndKeepsEarlierAccount) {
    account.agencyShortName = QStringLiteral("旧名");
    account.smsBalance = 3;
    reply(QStringLiteral("0,帐号或密码错误"));
    EXPECT_EQ(client.smsSignIn(), 0);
    EXPECT_EQ(texts(), QStringList{QStringLiteral("0,帐号或密码错误")});
    EXPECT_EQ(account.agencyShortName, QStringLiteral("旧名"));
    EXPECT_EQ(account.smsBalance, 3.f);
}

TEST_F(ClientFixture, ShortSignInReplyKeepsFieldsItLacks) {
    account.agencyServicePhone = QStringLiteral("020-1");
    account.smsBalance = 3;
    reply(QStringLiteral("1,新名"));
    EXPECT_EQ(client.smsSignIn(), 1);
    EXPECT_EQ(account.agencyShortName, QStringLiteral("新名"));
    EXPECT_EQ(account.agencyServicePhone, QStringLiteral("020-1"));
    EXPECT_EQ(account.smsBalance, 0.f);
}

TEST_F(ClientFixture, StartupRegistrationFailureAndEmptyReply) {
    // Transport failure: an empty reply is a failed registration.
    EXPECT_EQ(client.smsStartup(), QStringLiteral("您还没有登陆短信帐号！"));
    EXPECT_EQ(texts(),
              QStringList{QStringLiteral("自动注册短信帐户时失败，手工注册，或联系客服，谢谢")});
    EXPECT_FALSE(common::FileExists(SmsSetupPath(dir.path())));
    EXPECT_TRUE(account.smsUserName.isEmpty());
}

TEST_F(ClientFixture, SendRules) {
    EXPECT_EQ(client.sendSms(QStringLiteral("1380013800"), QStringLiteral("x")), 0);
    EXPECT_EQ(client.sendSms(QStringLiteral("138001380001"), QStringLiteral("x")), 0);
    EXPECT_EQ(client.sendSms(QStringLiteral("13800138000"), QStringLiteral("x")), 0);
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("手机号码位数不正确！"),
                                    QStringLiteral("手机号码位数不正确！"),
                                    QStringLiteral("您没有登陆，请登陆后再发")}));
    EXPECT_TRUE(gw.asked.isEmpty());

    messages.clear();
    account.smsUserName = QStringLiteral("demo");
    reply(QStringLiteral("1"));
    reply(QStringLiteral("0"));
    reply(QStringLiteral("x"));
    reply(QStringLiteral("余额不足"));
    // Any 11 characters are sent.
    EXPECT_EQ(client.sendSms(QStringLiteral("138-0013-80"), QStringLiteral("a")), 1);
    EXPECT_EQ(client.sendSms(QStringLiteral("13800138000"), QStringLiteral("a")), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(client.sendSms(QStringLiteral("13800138000"), QStringLiteral("a")), 0);
    EXPECT_EQ(client.sendSms(QStringLiteral("13800138000"), QStringLiteral("a")), 0);
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("x"), QStringLiteral("余额不足")}));
    EXPECT_EQ(gw.asked.size(), 4);
}

TEST_F(ClientFixture, LoginWindowRules) {
    account.smsUserName = QStringLiteral("before");
    EXPECT_FALSE(
        SubmitSmsLogin(QStringLiteral(" ab "), QStringLiteral("secret"), client, messages));
    EXPECT_EQ(account.smsUserName, QStringLiteral("before"));
    // The account is taken over before the password is checked.
    EXPECT_FALSE(SubmitSmsLogin(QStringLiteral(" abc "), QStringLiteral("pw"), client, messages));
    EXPECT_EQ(account.smsUserName, QStringLiteral("abc"));
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("短信帐号不正确！"),
                                    QStringLiteral("密码太短不正确！")}));
    EXPECT_TRUE(gw.asked.isEmpty());

    reply(QStringLiteral("0,帐号或密码错误"));
    EXPECT_FALSE(SubmitSmsLogin(QStringLiteral("abc"), QStringLiteral("pw1"), client, messages));
    EXPECT_FALSE(common::FileExists(SmsSetupPath(dir.path())));
    reply(QStringLiteral("1,示例,010-1,,,2"));
    EXPECT_TRUE(SubmitSmsLogin(QStringLiteral("abc"), QStringLiteral("pw1"), client, messages));
    EXPECT_EQ(common::ReadTextFile(SmsSetupPath(dir.path())), QStringLiteral("abc\r\npw1\r\n1"));
}

TEST(RefuseUnsigned, PlaceholderAppendedToTrimmedText) {
    common::RecordingMessages m;
    EXPECT_EQ(RefuseUnsigned(QStringLiteral("  您好,[示例] \n"), m),
              QStringLiteral("您好,[示例]【公司简称】"));
    EXPECT_EQ(RefuseUnsigned(QStringLiteral("您好【一二三四五六七八】"), m),
              QStringLiteral("您好【一二三四五六七八】【公司简称】"));
    EXPECT_EQ(RefuseUnsigned(QStringLiteral("您好【示例】 "), m), std::nullopt);
    ASSERT_EQ(m.shown.size(), 2);
    EXPECT_EQ(m.shown[0].text, QStringLiteral("短信必须加签名，格式为【公司简称】"));
    EXPECT_EQ(m.shown[1].text, QStringLiteral("短信签名太长，不得超过七个字，格式为【公司简称】"));
}
