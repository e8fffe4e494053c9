#include "sms/forms/sms_login.h"

#include "sms/panel_rules.h"

#include "common/forms/form_keys.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace sms {

Sms_Login::Sms_Login(SmsContext& ctx, QWidget* parent) : QWidget(parent, Qt::Dialog), ctx_(ctx) {
    setObjectName(QStringLiteral("Sms_Login"));
    setWindowTitle(QStringLiteral("短信系统登陆"));
    Text1_ = new QLineEdit(ctx.account.smsUserName, this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    Text2_ = new QLineEdit(ctx.account.smsPassword, this);
    Text2_->setObjectName(QStringLiteral("Text2"));
    Text2_->setEchoMode(QLineEdit::Password);
    auto* command1 = new QPushButton(QStringLiteral("登陆"), this);
    command1->setObjectName(QStringLiteral("Command1"));
    connect(command1, &QPushButton::clicked, this, &Sms_Login::signIn);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("短信帐号："), Text1_);
    form->addRow(QStringLiteral("密    码："), Text2_);
    form->addRow(command1);
    forms::SetDefaultButton(this, command1);
    forms::OrderTabsByLayout(this);
}

void Sms_Login::signIn() {
    SmsClient client = ctx_.client();
    const QPointer<Sms_Login> self(this);
    if (SubmitSmsLogin(Text1_->text(), Text2_->text(), client, ctx_.messages) && self) hide();
}

} // namespace sms
