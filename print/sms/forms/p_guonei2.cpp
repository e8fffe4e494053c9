#include "sms/forms/p_guonei2.h"

#include "common/desktop.h"
#include "common/messages.h"
#include "itinerary/forms/click_label.h"
#include "sms/composer.h"
#include "sms/forms/sms_login.h"
#include "sms/panel_rules.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

namespace sms {

namespace {

// The template labels: control, caption, template type, place in the grid.
struct TemplateLabel {
    const char* name;
    const char16_t* caption;
    int type;
    int row;
    int column;
};
constexpr TemplateLabel kTemplateLabels[] = {
    {"Label31", u"出票短信", 1, 0, 0}, {"Label32", u"出票短信", 2, 0, 1},
    {"Label29", u"预订短信", 3, 0, 2}, {"Label30", u"预订短信", 4, 0, 3},
    {"Label34", u"航程核对", 5, 1, 0}, {"Label35", u"姓名核对", 6, 1, 1},
    {"Label33", u"专用模板", 7, 1, 2},
};

template <class W> W* named(W* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

P_Guonei2::P_Guonei2(SmsContext& ctx, QWidget* parent) : QWidget(parent, Qt::Dialog), ctx_(ctx) {
    setObjectName(QStringLiteral("P_Guonei2"));
    setWindowTitle(QStringLiteral("短信系统"));
    Rtb_ = named(new QTextEdit(this), "Rtb");
    Rtb_->setAcceptRichText(false);
    Text2_ = named(new QLineEdit(this), "Text2");
    auto* label7 = named(new QLabel(QStringLiteral("手机号："), this), "Label7");
    Label8_ = named(new QLabel(this), "Label8");
    SmsLength_ = named(new QLabel(SmsLengthText({}), this), "SmsLength");
    connect(Rtb_, &QTextEdit::textChanged, this,
            [this] { SmsLength_->setText(SmsLengthText(MeasureSms(smsText()))); });

    auto* templates = new QGridLayout;
    for (const TemplateLabel& t : kTemplateLabels) {
        auto* l = named(new itin::ClickLabel(QString::fromUtf16(t.caption), this), t.name);
        l->setStyleSheet(QStringLiteral("color: blue; text-decoration: underline;"));
        l->setCursor(Qt::PointingHandCursor);
        connect(l, &itin::ClickLabel::clicked, this,
                [this, type = t.type] { chooseTemplate(type); });
        templates->addWidget(l, t.row, t.column);
    }
    Command10_ = named(new QPushButton(QStringLiteral("发送短信"), this), "Command10");
    auto* command6 = named(new QPushButton(QStringLiteral("重新登陆"), this), "Command6");
    auto* command5 = named(new QPushButton(QStringLiteral("短信续费"), this), "Command5");
    auto* command7 = named(new QPushButton(QStringLiteral("在线充值"), this), "Command7");
    connect(Command10_, &QPushButton::clicked, this, &P_Guonei2::send);
    connect(command6, &QPushButton::clicked, this, &P_Guonei2::openLogin);
    connect(command5, &QPushButton::clicked, this, &P_Guonei2::openAccountPage);
    connect(command7, &QPushButton::clicked, this, &P_Guonei2::openAccountPage);

    auto* mobile = new QHBoxLayout;
    mobile->addWidget(label7);
    mobile->addWidget(Text2_, 1);
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {Command10_, command6, command5, command7})
        buttons->addWidget(b);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Label8_);
    v->addLayout(templates);
    v->addWidget(Rtb_, 1);
    v->addWidget(SmsLength_);
    v->addLayout(mobile);
    v->addLayout(buttons);
    resize(330, 420);
}

P_Guonei2::~P_Guonei2() {
    delete login_.data();
}

void P_Guonei2::load() {
    // Beside the print form: same top, left edge where the form ends.
    const QRect form = ctx_.printForm.frame();
    if (!form.isEmpty()) move(form.x() + form.width(), form.y());
    ctx_.account.templateType = 1;
    SmsClient client = ctx_.client();
    if (const auto line = client.smsStartup()) Label8_->setText(*line);
}

void P_Guonei2::chooseTemplate(int type) {
    ctx_.account.templateType = type;
    const itin::ItineraryRecord* shown = ctx_.printForm.record();
    const itin::ItineraryRecord empty;
    setSmsText(ComposeSms(shown ? *shown : empty, ctx_.account, ctx_.messages));
}

void P_Guonei2::setSmsText(const QString& text) {
    Rtb_->setPlainText(text);
}

QString P_Guonei2::smsText() const {
    return Rtb_->toPlainText();
}

void P_Guonei2::send() {
    if (const auto refused = RefuseUnsigned(smsText(), ctx_.messages)) {
        setSmsText(*refused);
        return;
    }
    Command10_->setEnabled(false);
    Command10_->setText(QStringLiteral("正在发送..."));
    SmsClient client = ctx_.client();
    const QPointer<P_Guonei2> self(this);
    const int sent = client.sendSms(Text2_->text().trimmed(), SendableText(smsText()));
    if (sent != 0) ctx_.messages.show(QStringLiteral("发送成功！"));
    if (!self) return; // the panel went while the request waited
    Command10_->setEnabled(true);
    Command10_->setText(QStringLiteral("发  送"));
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
    ctx_.browser.open(ctx_.client().accountPage());
}

} // namespace sms
