#include "sms/forms/p_guonei2.h"

#include "common/desktop.h"
#include "common/messages.h"
#include "sms/composer.h"
#include "sms/forms/sms_login.h"
#include "sms/panel_rules.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace sms {

P_Guonei2::P_Guonei2(SmsPanelContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Window), ctx_(ctx) {
    setWindowTitle(QStringLiteral("短信系统"));
    Rtb = new QTextEdit(this);
    Rtb->setAcceptRichText(false);
    Text2 = new QLineEdit(this);
    Label7 = new QLabel(QStringLiteral("手机号："), this);
    Label8 = new QLabel(this);
    SmsLengthLabel = new QLabel(SmsLengthText({}), this);
    SmsLengthLabel->setObjectName(QStringLiteral("SmsLength"));
    connect(Rtb, &QTextEdit::textChanged, this,
            [this] { SmsLengthLabel->setText(SmsLengthText(MeasureSms(smsText()))); });
    auto link = [this](const QString& caption, int type) {
        auto* l = new ClickLabel(caption, this);
        l->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &ClickLabel::clicked, this, [this, type] { chooseTemplate(type); });
        return l;
    };
    Label31 = link(QStringLiteral("出票短信"), 1);
    Label32 = link(QStringLiteral("出票短信"), 2);
    Label29 = link(QStringLiteral("预订短信"), 3);
    Label30 = link(QStringLiteral("预订短信"), 4);
    Label34 = link(QStringLiteral("航程核对"), 5);
    Label35 = link(QStringLiteral("姓名核对"), 6);
    Label33 = link(QStringLiteral("专用模板"), 7);
    Command10 = new QPushButton(QStringLiteral("发送短信"), this);
    Command6 = new QPushButton(QStringLiteral("重新登陆"), this);
    Command5 = new QPushButton(QStringLiteral("短信续费"), this);
    Command7 = new QPushButton(QStringLiteral("在线充值"), this);
    connect(Command10, &QPushButton::clicked, this, &P_Guonei2::send);
    connect(Command6, &QPushButton::clicked, this, &P_Guonei2::openLogin);
    connect(Command5, &QPushButton::clicked, this, &P_Guonei2::openAccountPage);
    connect(Command7, &QPushButton::clicked, this, &P_Guonei2::openAccountPage);

    auto* templates = new QGridLayout;
    templates->addWidget(Label31, 0, 0);
    templates->addWidget(Label32, 0, 1);
    templates->addWidget(Label29, 0, 2);
    templates->addWidget(Label30, 0, 3);
    templates->addWidget(Label34, 1, 0);
    templates->addWidget(Label35, 1, 1);
    templates->addWidget(Label33, 1, 2);
    auto* mobile = new QHBoxLayout;
    mobile->addWidget(Label7);
    mobile->addWidget(Text2, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Command10);
    buttons->addWidget(Command6);
    buttons->addWidget(Command5);
    buttons->addWidget(Command7);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Label8);
    v->addLayout(templates);
    v->addWidget(Rtb, 1);
    v->addWidget(SmsLengthLabel);
    v->addLayout(mobile);
    v->addLayout(buttons);
    resize(330, 420);
}

P_Guonei2::~P_Guonei2() {
    delete login_.data();
}

Sms_Login* P_Guonei2::loginWindow() const {
    return login_.data();
}

void P_Guonei2::load() {
    // Beside the print form: same top, left edge where the form ends.
    const QRect form = ctx_.printForm.frame();
    if (!form.isEmpty()) move(form.x() + form.width(), form.y());
    ctx_.account.TemplateType = 1;
    SmsClient client = ctx_.client();
    if (const auto line = client.SmsStartup()) Label8->setText(*line);
}

void P_Guonei2::chooseTemplate(int type) {
    ctx_.account.TemplateType = type;
    const itin::ItineraryRecord* shown = ctx_.printForm.record();
    const itin::ItineraryRecord empty;
    setSmsText(ComposeSms(shown ? *shown : empty, ctx_.common, ctx_.account, ctx_.messages));
}

void P_Guonei2::setSmsText(const QString& text) {
    Rtb->setPlainText(text);
}

QString P_Guonei2::smsText() const {
    return Rtb->toPlainText();
}

void P_Guonei2::send() {
    if (const auto refused = RefuseUnsigned(smsText(), ctx_.messages)) {
        setSmsText(*refused);
        return;
    }
    Command10->setEnabled(false);
    Command10->setText(QStringLiteral("正在发送..."));
    SmsClient client = ctx_.client();
    const QPointer<P_Guonei2> self(this);
    const int sent = client.SendSms(Text2->text().trimmed(), SendableText(smsText()));
    if (sent != 0) ctx_.messages.show(QStringLiteral("发送成功！"));
    if (!self) return; // the panel went while the request waited
    Command10->setEnabled(true);
    Command10->setText(QStringLiteral("发  送"));
}

void P_Guonei2::openLogin() {
    if (!login_) {
        login_ = new Sms_Login(ctx_, this);
        login_->move(pos());
    }
    login_->show();
    login_->raise();
}

void P_Guonei2::openAccountPage() {
    ctx_.browser.open(ctx_.client().AccountPage());
}

} // namespace sms
