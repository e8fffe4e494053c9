#include "common/forms/held_input_wait.h"
#include "shell/vendor_codec.h"
#include "tests/shell/forms_fixture.h"
#include "tests/shell/vendor_service_process.h"

#include "support/gui.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

class SignIn : public DemoServiceTest {
protected:
    static void fill(QWidget* reg1, const QString& account, const QString& staff,
                     const QString& password) {
        FormsFixture::child(reg1, "txt_Com_Username")->setText(account);
        FormsFixture::child(reg1, "txt_Sta_UserName")->setText(staff);
        FormsFixture::child(reg1, "txt_Sta_Password1")->setText(password);
    }
};

} // namespace

TEST_F(SignIn, RightPasswordSetsValuesWritesUpIniForEveryTickCombinationAndReloads) {
    for (int ticks = 0; ticks < 4; ++ticks) {
        const bool account = ticks & 1, password = ticks & 2;
        FormsFixture f(service->url());
        shell::Reg1* reg1 = f.start();
        EXPECT_EQ(reg1->windowTitle(), QStringLiteral("登陆界面——岚舟票务管理系统 V9.0"));
        EXPECT_EQ(f.child(reg1, "txt_Sta_Password1")->echoMode(), QLineEdit::Password);
        fill(reg1, QStringLiteral("demo01"), QStringLiteral("001"), QStringLiteral("123456"));
        f.child<QCheckBox>(reg1, "Chk_rzh")->setChecked(account);
        f.child<QCheckBox>(reg1, "Chk_rmm")->setChecked(password);
        f.click(reg1, "Cmd_login");
        f.settle();
        EXPECT_TRUE(f.messages.shown.isEmpty()) << f.messageTexts().join('|').toStdString();
        EXPECT_EQ(f.signedIn, 1);
        EXPECT_EQ(f.flow->reg1(), nullptr) << "the sign-in form unloads";
        EXPECT_EQ(f.vendor->loginComUser, QStringLiteral("demo01"));
        EXPECT_EQ(f.vendor->loginStaffUser, QStringLiteral("001"));
        EXPECT_EQ(f.vendor->loginPassword, QStringLiteral("123456"));
        EXPECT_EQ(f.upIni(), QStringLiteral("demo01\r\n001\r\n123456\r\n%1\r\n%2")
                                 .arg(account ? 1 : 0)
                                 .arg(password ? 1 : 0));

        // The next start fills in what the ticks asked for, and nothing else.
        shell::Reg1* again = f.start();
        EXPECT_EQ(f.child(again, "txt_Com_Username")->text(),
                  account ? QStringLiteral("demo01") : QString());
        EXPECT_EQ(f.child(again, "txt_Sta_UserName")->text(),
                  account ? QStringLiteral("001") : QString());
        EXPECT_EQ(f.child(again, "txt_Sta_Password1")->text(),
                  password ? QStringLiteral("123456") : QString());
        EXPECT_EQ(f.child<QCheckBox>(again, "Chk_rzh")->isChecked(), account);
        EXPECT_EQ(f.child<QCheckBox>(again, "Chk_rmm")->isChecked(), password);
    }
}

TEST_F(SignIn, WrongPasswordAndTwoFieldRepliesStayOnTheForm) {
    FormsFixture f(service->url());
    shell::Reg1* reg1 = f.start();
    fill(reg1, QStringLiteral("demo01"), QStringLiteral("001"), QStringLiteral("wrong1"));
    f.click(reg1, "Cmd_login");
    f.queueReply(QStringLiteral("2"), QStringLiteral("岚舟演示旅行社,001"));
    f.child(reg1, "txt_Sta_Password1")->setText(QStringLiteral("123456"));
    f.click(reg1, "Cmd_login");
    f.settle();
    EXPECT_EQ(f.messageTexts(), QStringList({QStringLiteral("用户名或密码错误"),
                                             QStringLiteral("登陆失败，请重试。")}));
    EXPECT_EQ(f.signedIn, 0);
    EXPECT_EQ(f.flow->reg1(), reg1);
    EXPECT_FALSE(common::FileExists(f.upIniPath()));
    EXPECT_TRUE(f.vendor->loginComUser.isEmpty());
    // The boxes went out as typed, not trimmed.
    fill(reg1, QStringLiteral(" demo01"), QStringLiteral("001"), QStringLiteral("123456"));
    f.click(reg1, "Cmd_login");
    EXPECT_EQ(f.requests().last().toObject().value(QStringLiteral("u")).toString(),
              QStringLiteral(" demo01"));
    EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("用户名或密码错误"));
}

TEST_F(SignIn, AnAmpersandInABoxIsRefusedBeforeAnyRequest) {
    FormsFixture f(service->url());
    shell::Reg1* reg1 = f.start();
    const qsizetype before = f.requests().size();
    fill(reg1, QStringLiteral("demo01&u2=001&p=123456"), QStringLiteral("x"), QStringLiteral("y"));
    f.click(reg1, "Cmd_login");
    fill(reg1, QStringLiteral("demo01"), QStringLiteral("001"), QStringLiteral("1&s=5&sst=x"));
    f.click(reg1, "Cmd_login");
    EXPECT_EQ(f.messageTexts(),
              QStringList(2, QStringLiteral("帐号、工号和密码中不能有“&”字符，请修改后再试。")));
    EXPECT_EQ(f.requests().size(), before);
    EXPECT_EQ(f.signedIn, 0);
}

TEST_F(SignIn, AnyThreeFieldReplyNotStartingWithZeroSignsIn) {
    FormsFixture f(service->url());
    shell::Reg1* reg1 = f.start();
    fill(reg1, QStringLiteral("x"), QStringLiteral("y"), QStringLiteral("z"));
    f.queueReply(QStringLiteral("2"), QStringLiteral("a,,c"));
    f.click(reg1, "Cmd_login");
    EXPECT_EQ(f.signedIn, 1);
    EXPECT_EQ(f.vendor->loginComUser, QStringLiteral("x"));
}

TEST(SignInWithoutService, DownOrSilentServiceFailsAfterTheTimeoutWithTheWindowDisabled) {
    quint16 closedPort;
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost, 0);
        closedPort = probe.serverPort();
    }
    FormsFixture down(QStringLiteral("http://127.0.0.1:%1/service.asp").arg(closedPort));
    shell::Reg1* reg1 = down.start();
    down.click(reg1, "Cmd_login");
    EXPECT_EQ(down.messageTexts(), QStringList(QStringLiteral("登陆失败，请重试。")));

    VendorServiceProcess silent({QStringLiteral("--silent")});
    ASSERT_TRUE(silent.running());
    FormsFixture f(silent.url(), 400);
    shell::Reg1* form = f.start();
    bool busyCursor = false;
    qsizetype requestsDuringWait = -1;
    QTimer::singleShot(150, [&] {
        busyCursor = QApplication::overrideCursor() &&
                     QApplication::overrideCursor()->shape() == Qt::WaitCursor;
        // The agent clicks again while the first request waits: the click is held.
        QTest::mouseClick(f.child<QPushButton>(form, "Cmd_login"), Qt::LeftButton);
        requestsDuringWait = f.messages.shown.size();
    });
    QElapsedTimer t;
    t.start();
    f.click(form, "Cmd_login");
    EXPECT_GE(t.elapsed(), 350);
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_TRUE(busyCursor);
    EXPECT_EQ(requestsDuringWait, 0) << "the held click did not run inside the wait";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    EXPECT_EQ(f.messageTexts(), QStringList(QStringLiteral("登陆失败，请重试。")));
    // After the wait the held click arrives: a second sign-in that fails the same way.
    ASSERT_TRUE(support::WaitUntil([&] { return f.messages.shown.size() == 2; }, 3000));
    EXPECT_EQ(f.signedIn, 0);
}

TEST(OneWait, KeysTypedAndAWindowClosedDuringAWaitArriveAfterIt) {
    QTcpServer silent; // accepts and never answers
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    forms::HeldInputWait hold;
    net::HttpClient http(300, &hold);
    QWidget window;
    auto* box = new QLineEdit(&window);
    window.show();
    window.activateWindow();
    box->setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    QWidget other;
    other.show();
    QString typedDuringWait = QStringLiteral("unset");
    bool otherOpenDuringWait = false;
    QTimer::singleShot(50, [&] {
        QTest::keyClick(window.windowHandle(), Qt::Key_A);
        QTest::keyClick(window.windowHandle(), Qt::Key_B);
        other.close();
        typedDuringWait = box->text();
        otherOpenDuringWait = other.isVisible();
    });
    const net::HttpReply reply =
        http.get(QStringLiteral("http://127.0.0.1:%1/").arg(silent.serverPort()));
    EXPECT_FALSE(reply.arrived);
    EXPECT_EQ(typedDuringWait, QString());
    EXPECT_TRUE(otherOpenDuringWait);
    support::Settle();
    EXPECT_EQ(box->text(), QStringLiteral("ab"));
    EXPECT_FALSE(other.isVisible());
}

TEST_F(SignIn, TabFollowsTheScreenAndEnterSignsIn) {
    FormsFixture f(service->url());
    shell::Reg1* reg1 = f.start();
    fill(reg1, QStringLiteral("demo01"), QStringLiteral("001"), QStringLiteral("123456"));
    QStringList order;
    QWidget* w = f.child(reg1, "txt_Com_Username");
    for (int i = 0; i < 6; ++i) {
        order << w->objectName();
        do
            w = w->nextInFocusChain();
        while (!(w->focusPolicy() & Qt::TabFocus));
    }
    EXPECT_EQ(order, QStringList({"txt_Com_Username", "txt_Sta_UserName", "txt_Sta_Password1",
                                  "Chk_rzh", "Chk_rmm", "Cmd_login"}));
    QTest::keyClick(f.child(reg1, "txt_Sta_Password1"), Qt::Key_Return);
    f.settle();
    EXPECT_EQ(f.signedIn, 1) << f.messageTexts().join('|').toStdString();
}
