#include "shell/forms/reg1.h"

#include "shell/forms/form_util.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/up_ini.h"
#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"

#include "common/messages.h"

#include "common/forms/form_keys.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace shell {

Reg1::Reg1(SignInFlow& flow) : flow_(flow) {
    setObjectName(QStringLiteral("Reg1"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(flow_.caption(QStringLiteral("登陆界面——")));

    account_ = NamedEdit(this, "txt_Com_Username");
    staff_ = NamedEdit(this, "txt_Sta_UserName");
    password_ = NamedEdit(this, "txt_Sta_Password1", true);
    rememberAccount_ = new QCheckBox(QStringLiteral("记住帐号"), this);
    rememberAccount_->setObjectName(QStringLiteral("Chk_rzh"));
    rememberPassword_ = new QCheckBox(QStringLiteral("记住密码"), this);
    rememberPassword_->setObjectName(QStringLiteral("Chk_rmm"));
    auto* login = new QPushButton(QStringLiteral("登  陆"), this);
    login->setObjectName(QStringLiteral("Cmd_login"));
    login->setDefault(true);
    auto* enrol = new QPushButton(QStringLiteral("新 企 业 注 册"), this);
    enrol->setObjectName(QStringLiteral("Cmd_reg"));
    auto* forgot = new QPushButton(QStringLiteral("找回密码"), this); // no action defined
    forgot->setObjectName(QStringLiteral("Cmd_fmm"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("公司帐号："), this), 0, 0);
    grid->addWidget(account_, 0, 1);
    grid->addWidget(new QLabel(QStringLiteral("员工工号："), this), 1, 0);
    grid->addWidget(staff_, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("密    码："), this), 2, 0);
    grid->addWidget(password_, 2, 1);
    auto* ticks = new QHBoxLayout;
    ticks->addWidget(rememberAccount_);
    ticks->addWidget(rememberPassword_);
    grid->addLayout(ticks, 3, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(login);
    buttons->addWidget(enrol);
    buttons->addWidget(forgot);
    grid->addLayout(buttons, 4, 0, 1, 2);

    connect(login, &QPushButton::clicked, this, &Reg1::login);
    connect(enrol, &QPushButton::clicked, this, [this] { flow_.openReg2(this); });

    const SignInMemory m = ReadSignInMemory(flow_.upIniPath());
    if (m.rememberAccount) {
        account_->setText(m.account);
        staff_->setText(m.staff);
        rememberAccount_->setChecked(true);
    }
    if (m.rememberPassword) {
        password_->setText(m.password);
        rememberPassword_->setChecked(true);
    }
    forms::SetDefaultButton(this, login);
}

void Reg1::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!centred_) forms::OrderTabsByLayout(this);
    if (!centred_) CentreOnScreen(this);
    centred_ = true;
}

void Reg1::login() {
    const QString account = account_->text();
    const QString staff = staff_->text();
    const QString password = password_->text();
    if (!FitsVendorRequest({account, staff, password})) {
        flow_.messages().show(RequestValueRefused());
        return;
    }
    VendorSession& c = flow_.vendor();
    const QString reply =
        c.postVendorRequest(QStringLiteral("s=2&u=") + account + QStringLiteral("&u2=") + staff +
                            QStringLiteral("&p=") + password);
    if (reply.startsWith(QLatin1Char('0'))) {
        flow_.messages().show(ResultCodeMessage(reply));
        return;
    }
    if (reply.split(QLatin1Char(',')).size() != 3) {
        flow_.messages().show(QStringLiteral("登陆失败，请重试。"));
        return;
    }
    c.loginComUser = account;
    c.loginStaffUser = staff;
    c.loginPassword = password;
    WriteSignInMemory(flow_.upIniPath(), {account, staff, password, rememberAccount_->isChecked(),
                                          rememberPassword_->isChecked()});
    flow_.finish(this);
}

} // namespace shell
