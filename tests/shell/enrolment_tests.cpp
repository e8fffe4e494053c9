#include "tests/shell/forms_fixture.h"
#include "tests/shell/vendor_service_process.h"

#include <QFocusEvent>

#include <gtest/gtest.h>

namespace {

class Enrolment : public DemoServiceTest {
protected:
    static void leave(QLineEdit* box) {
        QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
        QApplication::sendEvent(box, &out);
    }
    static shell::Reg2* openReg2(FormsFixture& f) {
        shell::Reg1* reg1 = f.start();
        f.click(reg1, "Cmd_reg");
        f.settle();
        EXPECT_EQ(f.flow->reg1(), nullptr);
        return f.flow->reg2();
    }
    // Signs in as an existing company and opens the details form directly.
    static shell::Reg3* openReg3As(FormsFixture& f, const QString& user, const QString& pw) {
        f.start();
        f.vendor->loginComUser = user;
        f.vendor->loginStaffUser = user;
        f.vendor->loginPassword = pw;
        auto* from = new QWidget;
        from->setAttribute(Qt::WA_DeleteOnClose);
        f.flow->openReg3(from);
        return f.flow->reg3();
    }
    static void fillDetails(QWidget* reg3) {
        FormsFixture::child(reg3, "Txt_Name")->setText(QStringLiteral("O'Hare 国际旅行社"));
        FormsFixture::child(reg3, "txt_nName")->setText(QStringLiteral("欧海"));
        FormsFixture::child(reg3, "txt_Tel")->setText(QStringLiteral("010-66666666"));
        FormsFixture::child(reg3, "Txt_Lxr")->setText(QStringLiteral(" 赵六 "));
        FormsFixture::child(reg3, "txt_TelNo")->setText(QStringLiteral(" 8001 "));
        FormsFixture::child(reg3, "txt_Mob")->setText(QStringLiteral("13900000000"));
        FormsFixture::child(reg3, "txt_Email")->setText(QStringLiteral("zl@oh.cn"));
    }
};

} // namespace

TEST_F(Enrolment, NameCheckTrimsSendsOnlySixOrMoreAndReportsATakenName) {
    FormsFixture f(service->url());
    shell::Reg2* reg2 = openReg2(f);
    ASSERT_NE(reg2, nullptr);
    EXPECT_EQ(reg2->windowTitle(), QStringLiteral("请填写帐号密码——岚舟票务管理系统 V9.0"));
    QLabel* label4 = f.child<QLabel>(reg2, "Label4");
    EXPECT_EQ(label4->text(), QStringLiteral("*英文字母或数字，不得少于6位"));
    QLineEdit* name = f.child(reg2, "Txt_username");

    const qsizetype before = f.requests().size();
    name->setText(QStringLiteral("abcde"));
    leave(name);
    EXPECT_EQ(f.requests().size(), before) << "five characters send nothing";
    EXPECT_EQ(label4->text(), QStringLiteral("*英文字母或数字，不得少于6位"));

    name->setText(QStringLiteral(" demo01 "));
    leave(name);
    EXPECT_EQ(name->text(), QStringLiteral("demo01"));
    EXPECT_EQ(f.requests().last().toObject().value(QStringLiteral("u")).toString(),
              QStringLiteral("demo01"));
    EXPECT_EQ(label4->text(), QStringLiteral("此帐号已被注册，请更换！"));
    EXPECT_FALSE(reg2->nameAccepted());

    name->setText(FreshName("newco"));
    leave(name);
    EXPECT_EQ(label4->text(), QStringLiteral("√"));
    EXPECT_EQ(label4->palette().color(QPalette::WindowText), QColor(Qt::black));
    EXPECT_TRUE(reg2->nameAccepted());
}

TEST_F(Enrolment, PasswordChecksFlagsStaySetAndTheServiceHasTheLastWord) {
    FormsFixture f(service->url());
    shell::Reg2* reg2 = openReg2(f);
    QLineEdit* name = f.child(reg2, "Txt_username");
    QLineEdit* pw1 = f.child(reg2, "Txt_password1");
    QLineEdit* pw2 = f.child(reg2, "Txt_password2");
    EXPECT_EQ(pw1->echoMode(), QLineEdit::Password);

    f.click(reg2, "Command1");
    EXPECT_EQ(f.messageTexts(), QStringList(QStringLiteral("信息输入不正确！")));

    name->setText(FreshName("pwco"));
    leave(name);
    pw1->setText(QStringLiteral("secret1"));
    EXPECT_EQ(f.child<QLabel>(reg2, "Label5")->text(), QStringLiteral("√"));
    pw2->setText(QStringLiteral("secret2"));
    EXPECT_EQ(f.child<QLabel>(reg2, "Label6")->text(), QStringLiteral("两次密码不一致！"));
    f.click(reg2, "Command1");
    EXPECT_EQ(f.messages.shown.size(), 2);
    EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("信息输入不正确！"));

    pw2->setText(QStringLiteral("secret1"));
    EXPECT_EQ(f.child<QLabel>(reg2, "Label6")->text(), QStringLiteral("√"));
    // Shortened after the checks passed: the flags stay, the request goes, the service refuses.
    pw1->setText(QStringLiteral("abc"));
    f.click(reg2, "Command1");
    EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("密码太短"));
    EXPECT_EQ(f.requests().last().toObject().value(QStringLiteral("s")).toString(),
              QStringLiteral("1"));
    EXPECT_EQ(f.flow->reg2(), reg2);
    EXPECT_FALSE(common::FileExists(f.upIniPath()));
}

TEST_F(Enrolment, FullPathCreatesTheAccountFillsDetailsAndSignsIn) {
    FormsFixture f(service->url());
    shell::Reg2* reg2 = openReg2(f);
    const QString user = FreshName("full");
    f.child(reg2, "Txt_username")->setText(user);
    leave(f.child(reg2, "Txt_username"));
    f.child(reg2, "Txt_password1")->setText(QStringLiteral("pass123"));
    f.child(reg2, "Txt_password2")->setText(QStringLiteral("pass123"));
    f.click(reg2, "Command1");
    f.settle();
    EXPECT_TRUE(f.messages.shown.isEmpty()) << f.messageTexts().join('|').toStdString();
    EXPECT_EQ(f.upIni(), user + "\r\n" + user + "\r\npass123\r\n1\r\n1");
    EXPECT_EQ(f.vendor->credentialQuery(), "u=" + user + "&u2=" + user + "&p=pass123");
    EXPECT_EQ(f.flow->reg2(), nullptr);
    shell::Reg3* reg3 = f.flow->reg3();
    ASSERT_NE(reg3, nullptr);
    EXPECT_EQ(reg3->windowTitle(), QStringLiteral("请填写公司信息——岚舟票务管理系统 V9.0"));
    EXPECT_TRUE(f.child(reg3, "Txt_Name")->text().isEmpty()) << "a new company has no details";

    fillDetails(reg3);
    f.click(reg3, "cmd_N");
    f.settle();
    EXPECT_TRUE(f.messages.shown.isEmpty()) << f.messageTexts().join('|').toStdString();
    EXPECT_EQ(f.signedIn, 1);
    EXPECT_EQ(f.flow->reg3(), nullptr);
    const QJsonObject stored = f.company(user);
    const QJsonObject company = stored.value(QStringLiteral("company")).toObject();
    EXPECT_EQ(company.value(QStringLiteral("Com_Name")).toString(),
              QStringLiteral("O'Hare 国际旅行社"))
        << "the quote stays inside one value";
    EXPECT_EQ(company.value(QStringLiteral("com_Lxr")).toString(), QStringLiteral("赵六"))
        << "the contact box was trimmed by its check";
    const QJsonObject staff = stored.value(QStringLiteral("staff")).toArray()[0].toObject();
    EXPECT_EQ(staff.value(QStringLiteral("realname")).toString(), QStringLiteral("赵六"));
    EXPECT_EQ(staff.value(QStringLiteral("tel")).toString(), QStringLiteral("8001"));
    EXPECT_EQ(staff.value(QStringLiteral("mob")).toString(), QStringLiteral("13900000000"));
}

TEST_F(Enrolment, CompanyRecordIsReadIntoTheBoxesInBothEncodings) {
    VendorServiceProcess utf8({QStringLiteral("--demo"), QStringLiteral("--utf8-columns")});
    ASSERT_TRUE(utf8.running());
    for (const QString& url : {service->url(), utf8.url()}) {
        FormsFixture f(url);
        shell::Reg3* reg3 = openReg3As(f, QStringLiteral("demo01"), QStringLiteral("123456"));
        ASSERT_NE(reg3, nullptr);
        EXPECT_TRUE(f.messages.shown.isEmpty());
        EXPECT_EQ(f.child(reg3, "Txt_Name")->text(), QStringLiteral("岚舟演示旅行社"));
        EXPECT_EQ(f.child(reg3, "txt_nName")->text(), QStringLiteral("演示"));
        EXPECT_EQ(f.child(reg3, "Txt_Lxr")->text(), QStringLiteral("王五"));
        EXPECT_EQ(f.child(reg3, "txt_Zw")->text(), QStringLiteral("经理"));
        EXPECT_EQ(f.child(reg3, "txt_Mob")->text(), QStringLiteral("13600000000"));
        EXPECT_EQ(f.child(reg3, "txt_Tel")->text(), QStringLiteral("010-88888888"));
        EXPECT_EQ(f.child(reg3, "txt_Addres")->text(), QStringLiteral("北京市朝阳区"));
        EXPECT_TRUE(f.child(reg3, "txt_TelNo")->text().isEmpty());
        reg3->close();
    }
    FormsFixture wrong(service->url());
    shell::Reg3* reg3 = openReg3As(wrong, QStringLiteral("demo01"), QStringLiteral("nope00"));
    EXPECT_EQ(wrong.messageTexts(), QStringList(QStringLiteral("用户名或密码错误")));
    EXPECT_TRUE(wrong.child(reg3, "Txt_Name")->text().isEmpty());
}

TEST_F(Enrolment, FieldChecksStopAtTheFirstFailureAndTrimOnlyUpToIt) {
    FormsFixture f(service->url());
    shell::Reg3* reg3 = openReg3As(f, QStringLiteral("demo01"), QStringLiteral("123456"));
    const qsizetype sent = f.requests().size();
    f.child(reg3, "Txt_Name")->setText(QStringLiteral(" abc "));
    f.child(reg3, "txt_nName")->setText(QStringLiteral(" x "));
    f.click(reg3, "cmd_N");
    EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("请填写公司名称"));
    EXPECT_EQ(f.child(reg3, "Txt_Name")->text(), QStringLiteral("abc"));
    EXPECT_EQ(f.child(reg3, "txt_nName")->text(), QStringLiteral(" x ")) << "not reached";

    fillDetails(reg3);
    for (const char* mobile : {"1390000000", "139000000001"}) {
        f.child(reg3, "txt_Mob")->setText(QString::fromLatin1(mobile));
        f.click(reg3, "cmd_N");
        EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("手机号码不正确"));
    }
    f.child(reg3, "txt_Tel")->setText(QStringLiteral("123456"));
    f.click(reg3, "cmd_N");
    EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("请填写公司电话"));
    f.child(reg3, "txt_Tel")->setText(QStringLiteral("1234567"));
    f.child(reg3, "Txt_Lxr")->setText(QStringLiteral(" 赵 "));
    f.click(reg3, "cmd_N");
    EXPECT_EQ(f.messages.shown.last().text, QStringLiteral("请填联系人姓名"));
    EXPECT_EQ(f.requests().size(), sent) << "no update went out";
    EXPECT_EQ(f.signedIn, 0);
}

TEST_F(Enrolment, OnlyTheStaffUpdateDecidesSuccess) {
    {
        FormsFixture f(service->url());
        shell::Reg3* reg3 = openReg3As(f, QStringLiteral("demo01"), QStringLiteral("123456"));
        fillDetails(reg3);
        f.queueReply(QStringLiteral("5"), QStringLiteral("0"));
        f.queueReply(QStringLiteral("5"), QStringLiteral("1"));
        f.click(reg3, "cmd_N");
        EXPECT_TRUE(f.messages.shown.isEmpty());
        EXPECT_EQ(f.signedIn, 1);
        const QJsonArray reqs = f.requests();
        EXPECT_TRUE(reqs[reqs.size() - 2].toObject().value("sst").toString().startsWith(
            QStringLiteral("update B_admin set Com_Name='O''Hare 国际旅行社'")));
        EXPECT_TRUE(reqs.last().toObject().value("sst").toString().startsWith(
            QStringLiteral("update B_staff set realname='赵六',tel='8001'")));
    }
    FormsFixture f(service->url());
    shell::Reg3* reg3 = openReg3As(f, QStringLiteral("demo01"), QStringLiteral("123456"));
    fillDetails(reg3);
    f.queueReply(QStringLiteral("5"), QStringLiteral("1"));
    f.queueReply(QStringLiteral("5"), QStringLiteral("写入出错"));
    f.click(reg3, "cmd_N");
    EXPECT_EQ(f.messageTexts(), QStringList(QStringLiteral("写入失败，请检查信息是否正确")));
    EXPECT_EQ(f.signedIn, 0);
    EXPECT_EQ(f.flow->reg3(), reg3);
}

TEST_F(Enrolment, AServiceThatIsDownIsNamedInEveryStep) {
    FormsFixture f(QStringLiteral("http://127.0.0.1:1/service.asp"), 500);
    shell::Reg2* reg2 = openReg2(f);
    QLineEdit* name = f.child(reg2, "Txt_username");
    name->setText(QStringLiteral("newco01"));
    leave(name);
    EXPECT_EQ(f.child<QLabel>(reg2, "Label4")->text(),
              QStringLiteral("连接服务器失败，请检查网络！"));

    openReg3As(f, QStringLiteral("demo01"), QStringLiteral("123456"));
    EXPECT_EQ(f.messageTexts(), QStringList(QStringLiteral("连接服务器失败，请检查网络！")));
    fillDetails(f.flow->reg3());
    f.click(f.flow->reg3(), "cmd_N");
    EXPECT_EQ(f.messageTexts().value(1), QStringLiteral("连接服务器失败，请检查网络！"));
}
