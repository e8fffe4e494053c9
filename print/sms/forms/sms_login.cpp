#include "sms/forms/sms_login.h"

#include "sms/panel_rules.h"

#include "common/forms/form_keys.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

namespace sms {

Sms_Login::Sms_Login(SmsPanelContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setWindowTitle(QStringLiteral("短信系统登陆"));
    Text1 = new QLineEdit(ctx.account.SmsUserName, this);
    Text2 = new QLineEdit(ctx.account.SmsPassword, this);
    Text2->setEchoMode(QLineEdit::Password);
    Command1 = new QPushButton(QStringLiteral("登陆"), this);
    connect(Command1, &QPushButton::clicked, this, &Sms_Login::signIn);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("短信帐号："), Text1);
    form->addRow(QStringLiteral("密    码："), Text2);
    form->addRow(Command1);
    forms::SetDefaultButton(this, Command1);
    forms::OrderTabsByLayout(this);
}

void Sms_Login::signIn() {
    SmsClient client = ctx_.client();
    const QPointer<Sms_Login> self(this);
    if (SubmitSmsLogin(Text1->text(), Text2->text(), client, ctx_.messages) && self) hide();
}

} // namespace sms
