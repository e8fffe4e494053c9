#include "shell/forms/reg2.h"

#include "shell/forms/form_util.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/up_ini.h"
#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"

#include "common/messages.h"
#include "common/text_ops.h"

#include "common/forms/form_keys.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace shell {
namespace {
const QString kRule = QStringLiteral("*英文字母或数字，不得少于6位");
const QString kPassed = QStringLiteral("√");
} // namespace

Reg2::Reg2(SignInFlow& flow) : flow_(flow) {
    setObjectName(QStringLiteral("Reg2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(flow_.caption(QStringLiteral("请填写帐号密码——")));

    username_ = NamedEdit(this, "Txt_username");
    password1_ = NamedEdit(this, "Txt_password1", true);
    password2_ = NamedEdit(this, "Txt_password2", true);
    label4_ = NamedLabel(this, "Label4", kRule);
    label5_ = NamedLabel(this, "Label5", kRule);
    label6_ = NamedLabel(this, "Label6", QString());
    for (QLabel* l : {label4_, label5_, label6_})
        SetTextColour(l, Qt::red);
    auto* next = new QPushButton(QStringLiteral("下一步"), this);
    next->setObjectName(QStringLiteral("Command1"));

    auto* grid = new QGridLayout(this);
    grid->addWidget(new QLabel(QStringLiteral("用 户 名："), this), 0, 0);
    grid->addWidget(username_, 0, 1);
    grid->addWidget(label4_, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("密    码："), this), 1, 0);
    grid->addWidget(password1_, 1, 1);
    grid->addWidget(label5_, 1, 2);
    grid->addWidget(new QLabel(QStringLiteral("确认密码："), this), 2, 0);
    grid->addWidget(password2_, 2, 1);
    grid->addWidget(label6_, 2, 2);
    grid->addWidget(next, 3, 1);

    username_->installEventFilter(this);
    connect(password1_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.size() < 6) return;
        label5_->setText(kPassed);
        SetTextColour(label5_, Qt::black);
        passwordOk_ = true;
    });
    connect(password2_, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text != password1_->text()) {
            label6_->setText(QStringLiteral("两次密码不一致！"));
            return;
        }
        label6_->setText(kPassed);
        SetTextColour(label6_, Qt::black);
        confirmOk_ = true;
    });
    connect(next, &QPushButton::clicked, this, &Reg2::next);
    forms::SetDefaultButton(this, next);
}

void Reg2::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!centred_) forms::OrderTabsByLayout(this);
    if (!centred_) CentreOnScreen(this);
    centred_ = true;
}

bool Reg2::eventFilter(QObject* watched, QEvent* event) {
    if (watched == username_ && event->type() == QEvent::FocusOut) checkName();
    return QWidget::eventFilter(watched, event);
}

void Reg2::checkName() {
    const QString name = common::TrimSpaces(username_->text());
    if (name != username_->text()) username_->setText(name);
    if (name.size() < 6 || checking_) return;
    if (!FitsVendorRequest({name})) {
        label4_->setText(RequestValueRefused());
        return;
    }
    checking_ = true;
    const QString reply = flow_.vendor().postVendorRequest(QStringLiteral("s=0&u=") + name);
    checking_ = false;
    if (IsNumberOne(reply)) {
        label4_->setText(kPassed);
        SetTextColour(label4_, Qt::black);
        nameOk_ = true;
    } else if (reply.isEmpty()) {
        label4_->setText(kNoReplyMessage);
    } else {
        label4_->setText(QStringLiteral("此帐号已被注册，请更换！"));
    }
}

void Reg2::next() {
    if (!(nameOk_ && passwordOk_ && confirmOk_)) {
        flow_.messages().show(QStringLiteral("信息输入不正确！"));
        return;
    }
    const QString name = username_->text();
    const QString password = password1_->text();
    if (!FitsVendorRequest({name, password})) {
        flow_.messages().show(RequestValueRefused());
        return;
    }
    VendorSession& c = flow_.vendor();
    const QString reply =
        c.postVendorRequest(QStringLiteral("s=1&u=") + name + QStringLiteral("&p=") + password);
    if (reply != QLatin1String("1")) {
        flow_.messages().show(ResultCodeMessage(reply));
        return;
    }
    WriteSignInMemory(flow_.upIniPath(), {name, name, password, true, true});
    c.loginComUser = name;
    c.loginStaffUser = name;
    c.loginPassword = password;
    flow_.openReg3(this);
}

} // namespace shell
