// The SMS panel and sign-in window of the program, offscreen, against the local SMS gateway.
#include "app/web_pages.h"
#include "common/fso.h"
#include "itinerary/booking_form.h"
#include "shell/main_window/a_main.h"
#include "sms/forms/p_guonei2.h"
#include "sms/forms/sms_login.h"
#include "sms/sms_account.h"
#include "support/gui.h"
#include "support/local_gateway.h"
#include "support/station.h"

#include <QAction>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace sms;
using namespace itin;
using support::Child;
using support::Click;

namespace {

QString editorText(QWidget* panel) {
    return Child<QTextEdit>(panel, "Rtb")->toPlainText();
}
QString balanceLine(QWidget* panel) {
    return Child<QLabel>(panel, "Label8")->text();
}

struct PanelFixture : support::StationTest {
    PanelFixture() : StationTest(&app::LinkedWebModule()) {}
    support::LocalGateway& gateway = support::SharedGateway();

    void SetUp() override {
        ASSERT_TRUE(gateway.started());
        gateway.admin(QStringLiteral("reset"));
        gateway.addAccount(QStringLiteral("agency1"), QStringLiteral("pw1"), QStringLiteral("示例"),
                           QStringLiteral("010-66668888"), 12.5);
        common::WriteTextFile(SmsSetupPath(dir.path()), QStringLiteral("agency1\r\npw1\r\n1"));
    }
    QStringList texts() const { return support::ShownTexts(messages); }
    SmsAccount& account() { return root().smsAccount(); }
    ItineraryRecord& record() { return *root().printForm().record(); }
    void fillBooking() {
        record().setField(PnrQuery, QStringLiteral("HX4P2K"));
        record().setField(PassengerName, QStringLiteral("张三"));
        record().setField(City1, QStringLiteral("北京   T3"));
        record().setField(City2, QStringLiteral("上海   T2"));
        record().setField(Flight1, QStringLiteral("CA1501"));
        record().setField(Time1, QStringLiteral("08:30"));
        record().setField(Date1, QStringLiteral("2026-12-07"));
    }
    static P_Guonei2* panel() { return support::Window<P_Guonei2>("P_Guonei2"); }
    // "短信系统" from the main window's menu.
    P_Guonei2& open() {
        root().openMainWindow().menuAction("m_Sm(4)")->trigger();
        return *panel();
    }
    void sendWith(P_Guonei2& p, const QString& mobile, const QString& text) {
        Child<QLineEdit>(&p, "Text2")->setText(mobile);
        Child<QTextEdit>(&p, "Rtb")->setPlainText(text);
        Click(&p, "Command10");
    }
};

} // namespace

TEST_F(PanelFixture, OpensBesideThePrintFormSignedIn) {
    account().templateType = 5;
    P_Guonei2& p = open();
    EXPECT_TRUE(p.isVisible());
    EXPECT_EQ(p.windowTitle(), QStringLiteral("短信系统"));
    // Beside the print form, as far as the screen lets it.
    const QRect form = root().printForm().frame();
    EXPECT_EQ(p.y(), form.y());
    EXPECT_GT(p.x(), form.x());
    EXPECT_TRUE(p.screen()->geometry().contains(p.frameGeometry()));
    EXPECT_EQ(balanceLine(&p), QStringLiteral("短信余额：12.50 元"));
    EXPECT_EQ(account().templateType, 1);
    EXPECT_EQ(Child<QPushButton>(&p, "Command10")->text(), QStringLiteral("发送短信"));
}

TEST_F(PanelFixture, SignedTextIsSentAndButtonRestored) {
    P_Guonei2& p = open();
    sendWith(p, QStringLiteral(" 13800138000 "), QStringLiteral(" 您的航班CA1501已出票【示例】 "));
    EXPECT_EQ(texts(), QStringList{QStringLiteral("发送成功！")});
    const QJsonObject sent = gateway.sent().last().toObject();
    EXPECT_EQ(sent.value("content").toString(), QStringLiteral("您的航班CA1501已出票【示例】"));
    EXPECT_EQ(sent.value("mob").toString(), QStringLiteral("13800138000"));
    auto* button = Child<QPushButton>(&p, "Command10");
    EXPECT_TRUE(button->isEnabled());
    EXPECT_EQ(button->text(), QStringLiteral("发  送"));
}

TEST_F(PanelFixture, ButtonBusyWhileSending) {
    P_Guonei2& p = open();
    auto* button = Child<QPushButton>(&p, "Command10");
    QString captionDuringSend;
    bool enabledDuringSend = true;
    QTimer::singleShot(0, [&] { // runs in the wait for the gateway's reply
        captionDuringSend = button->text();
        enabledDuringSend = button->isEnabled();
    });
    sendWith(p, QStringLiteral("13800138000"), QStringLiteral("好【示例】"));
    EXPECT_EQ(captionDuringSend, QStringLiteral("正在发送..."));
    EXPECT_FALSE(enabledDuringSend);
    EXPECT_EQ(button->text(), QStringLiteral("发  送"));
}

TEST_F(PanelFixture, SignatureChecksRefuseBeforeSending) {
    P_Guonei2& p = open();
    const int before = gateway.requests().size();
    sendWith(p, QStringLiteral("13800138000"), QStringLiteral("您好【一二三四五六七八】"));
    EXPECT_EQ(editorText(&p), QStringLiteral("您好【一二三四五六七八】【公司简称】"));
    sendWith(p, QStringLiteral("13800138000"), QStringLiteral("客服:010-66668888,[示例]"));
    EXPECT_EQ(editorText(&p), QStringLiteral("客服:010-66668888,[示例]【公司简称】"));
    sendWith(p, QStringLiteral("13800138000"), QStringLiteral("航班已出票,请准时登机】"));
    EXPECT_EQ(texts(),
              (QStringList{QStringLiteral("短信签名太长，不得超过七个字，格式为【公司简称】"),
                           QStringLiteral("短信必须加签名，格式为【公司简称】"),
                           QStringLiteral("短信签名太长，不得超过七个字，格式为【公司简称】")}));
    EXPECT_EQ(gateway.requests().size(), before);
    Child<QTextEdit>(&p, "Rtb")->setPlainText(QString(67, u'票') + QStringLiteral("【示例】"));
    EXPECT_EQ(Child<QLabel>(&p, "SmsLength")->text(), QStringLiteral("共 71 字，分 2 条发送"));
    // A short text ending in "】" without "【" goes out.
    messages.clear();
    sendWith(p, QStringLiteral("13800138000"), QStringLiteral("已出票】"));
    EXPECT_EQ(texts(), QStringList{QStringLiteral("发送成功！")});
}

TEST_F(PanelFixture, TemplateLabelsComposeFromTheOpenForm) {
    P_Guonei2& p = open();
    Click(&p, "Label31");
    // An empty print form: the composer's message, and an empty editor.
    EXPECT_EQ(texts(), QStringList{QStringLiteral("填写票面内容后才能自动生成短信内容！")});
    EXPECT_TRUE(editorText(&p).isEmpty());
    fillBooking();
    Click(&p, "Label34");
    EXPECT_EQ(account().templateType, 5);
    EXPECT_EQ(
        editorText(&p),
        QStringLiteral(
            "12月07日08:30北京(3号航站楼)-上海(2号航站楼)CA1501,请确认.客服:010-66668888,[示例]"));
}

TEST_F(PanelFixture, FieldChangesRefreshTheTextAndLoadThePanelHidden) {
    openForm();
    record().setField(PnrQuery, QStringLiteral("HX4P2K"));
    EXPECT_EQ(panel(), nullptr);
    fillBooking();
    ASSERT_NE(panel(), nullptr);
    EXPECT_FALSE(panel()->isVisible());
    EXPECT_EQ(balanceLine(panel()), QStringLiteral("短信余额：12.50 元"));
    record().setField(PassengerName, QStringLiteral("李四"));
    EXPECT_EQ(editorText(panel()),
              QStringLiteral("您预订的航班:12月07日08:30北京(3号航站楼)-上海(2号航站楼)CA1501,"
                             "已出票.电子票号:(李四),"
                             "请提前90分钟到机场办理登机手续.客服:010-66668888,[示例]"));
    // The gateway saw this workstation's identifier.
    EXPECT_FALSE(gateway.requests()
                     .last()
                     .toObject()
                     .value("query")
                     .toObject()
                     .value("Hdnumber")
                     .toString()
                     .isEmpty());
    // Without a first date nothing touches the text.
    panel()->setSmsText(QStringLiteral("手写"));
    record().setField(Date1, {});
    record().setField(PassengerName, QStringLiteral("王五"));
    EXPECT_EQ(editorText(panel()), QStringLiteral("手写"));
}

TEST_F(PanelFixture, TheMenuShowsThePanelTheBookingLoadedWithoutSigningInAgain) {
    root().openMainWindow();
    fillBooking();
    QWidget* loaded = panel();
    ASSERT_NE(loaded, nullptr);
    EXPECT_FALSE(loaded->isVisible());
    const qsizetype before = gateway.requests().size();
    EXPECT_EQ(&open(), loaded);
    EXPECT_TRUE(loaded->isVisible());
    EXPECT_EQ(gateway.requests().size(), before);
}

TEST_F(PanelFixture, ClosingUnloadsAndReopeningStartsAgain) {
    open().close();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(panel(), nullptr);
    const int before = gateway.requests().size();
    open();
    EXPECT_EQ(gateway.requests().size(), before + 1);
}

TEST_F(PanelFixture, AccountPageInTheDesktopBrowser) {
    P_Guonei2& p = open();
    Click(&p, "Command5");
    Click(&p, "Command7");
    const QString page =
        QStringLiteral("http://%1/logint.asp?UserName=agency1&Password=pw1").arg(gateway.host());
    EXPECT_EQ(desktop.opened, (QList<QString>{page, page}));
}

TEST_F(PanelFixture, SignInWindowRulesAndSuccess) {
    P_Guonei2& p = open();
    Click(&p, "Command6");
    auto* login = Child<Sms_Login>(&p, "Sms_Login");
    ASSERT_NE(login, nullptr);
    auto* accountBox = Child<QLineEdit>(login, "Text1");
    auto* passwordBox = Child<QLineEdit>(login, "Text2");
    EXPECT_TRUE(login->isVisible());
    EXPECT_EQ(login->windowTitle(), QStringLiteral("短信系统登陆"));
    EXPECT_EQ(login->pos(), p.pos());
    EXPECT_EQ(accountBox->text(), QStringLiteral("agency1"));
    EXPECT_EQ(passwordBox->text(), QStringLiteral("pw1"));
    const int before = gateway.requests().size();

    accountBox->setText(QStringLiteral("ab"));
    Click(login, "Command1");
    EXPECT_EQ(account().smsUserName, QStringLiteral("agency1"));
    accountBox->setText(QStringLiteral("other"));
    passwordBox->setText(QStringLiteral("pw"));
    Click(login, "Command1");
    EXPECT_EQ(account().smsUserName, QStringLiteral("other"));
    EXPECT_EQ(gateway.requests().size(), before);
    EXPECT_EQ(texts(), (QStringList{QStringLiteral("短信帐号不正确！"),
                                    QStringLiteral("密码太短不正确！")}));

    // Refused by the gateway: the reply is shown and the window stays.
    messages.clear();
    passwordBox->setText(QStringLiteral("wrong"));
    Click(login, "Command1");
    EXPECT_EQ(texts(), QStringList{QStringLiteral("0,帐号或密码错误")});
    EXPECT_TRUE(login->isVisible());

    gateway.addAccount(QStringLiteral("other"), QStringLiteral("secret"), QStringLiteral("另一家"),
                       QStringLiteral("020-1"), 1);
    passwordBox->setText(QStringLiteral(" secret "));
    Click(login, "Command1");
    EXPECT_FALSE(login->isVisible());
    EXPECT_EQ(account().agencyShortName, QStringLiteral("另一家"));
    EXPECT_EQ(common::ReadTextFile(SmsSetupPath(dir.path())),
              QStringLiteral("other\r\nsecret\r\n1"));
    // The balance line stays as the start-up wrote it.
    EXPECT_EQ(balanceLine(&p), QStringLiteral("短信余额：12.50 元"));
}
