#include "shell/forms/reg3.h"

#include "shell/forms/form_util.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/vendor_codec.h"
#include "shell/vendor_session.h"

#include "common/messages.h"
#include "common/text_ops.h"

#include "common/forms/form_keys.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace shell {
namespace {

QLineEdit* addRow(QGridLayout* grid, QWidget* parent, const char* name, const QString& label,
                  const QString& hint) {
    const int row = grid->rowCount();
    grid->addWidget(new QLabel(label, parent), row, 0);
    QLineEdit* e = NamedEdit(parent, name);
    grid->addWidget(e, row, 1);
    if (!hint.isEmpty()) grid->addWidget(new QLabel(hint, parent), row, 2);
    return e;
}

} // namespace

Reg3::Reg3(SignInFlow& flow) : flow_(flow) {
    setObjectName(QStringLiteral("Reg3"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(flow_.caption(QStringLiteral("请填写公司信息——")));

    auto* company = new QGroupBox(QStringLiteral("公司信息"), this);
    auto* cg = new QGridLayout(company);
    const QString required = QStringLiteral("(*必填)");
    name_ = addRow(cg, company, "Txt_Name", QStringLiteral("公司名称："), required);
    shortName_ = addRow(cg, company, "txt_nName", QStringLiteral("公司简称："),
                        QStringLiteral("(*如：东方航空)"));
    tel_ = addRow(cg, company, "txt_Tel", QStringLiteral("公司电话："),
                  QStringLiteral("(*格式：010-88888888)"));
    fax_ = addRow(cg, company, "txt_Fax", QStringLiteral("公司传真："), {});
    address_ = addRow(cg, company, "txt_Addres", QStringLiteral("公司地址："), {});

    auto* person = new QGroupBox(QStringLiteral("联系人信息"), this);
    auto* pg = new QGridLayout(person);
    contact_ = addRow(pg, person, "Txt_Lxr", QStringLiteral("联 系 人："), required);
    title_ = addRow(pg, person, "txt_Zw", QStringLiteral("职    务："), required);
    deskPhone_ = addRow(pg, person, "txt_TelNo", QStringLiteral("座    机："), {});
    mobile_ = addRow(pg, person, "txt_Mob", QStringLiteral("手    机："),
                     QStringLiteral("(*格式：13600000000)"));
    email_ = addRow(pg, person, "txt_Email", QStringLiteral("Email："), {});

    auto* next = new QPushButton(QStringLiteral("下一步"), this);
    next->setObjectName(QStringLiteral("cmd_N"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(company);
    layout->addWidget(person);
    layout->addWidget(next);
    connect(next, &QPushButton::clicked, this, &Reg3::next);
    forms::SetDefaultButton(this, next);
}

void Reg3::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (!centred_) forms::OrderTabsByLayout(this);
    if (!centred_) CentreOnScreen(this);
    centred_ = true;
}

void Reg3::load() {
    VendorSession& c = flow_.vendor();
    const QString reply = c.postVendorRequest(c.credentialQuery() + QStringLiteral("&s=4&sst=") +
                                              UrlEncodeGbk(CompanyRecordSql()));
    if (reply.isEmpty() || reply.startsWith(QLatin1Char('0'))) {
        flow_.messages().show(ResultCodeMessage(reply.split(QLatin1Char(';')).value(0)));
        return;
    }
    const CompanyDetails d = CompanyFromColumns(CompanyRecordColumns(reply));
    name_->setText(d.name);
    shortName_->setText(d.shortName);
    contact_->setText(d.contact);
    title_->setText(d.title);
    mobile_->setText(d.mobile);
    tel_->setText(d.tel);
    fax_->setText(d.fax);
    email_->setText(d.email);
    address_->setText(d.address);
}

CompanyDetails Reg3::boxes() const {
    CompanyDetails d;
    d.name = common::TrimSpaces(name_->text());
    d.shortName = common::TrimSpaces(shortName_->text());
    d.tel = tel_->text();
    d.fax = fax_->text();
    d.address = address_->text();
    d.contact = contact_->text();
    d.title = title_->text();
    d.deskPhone = deskPhone_->text();
    d.mobile = mobile_->text();
    d.email = email_->text();
    return d;
}

void Reg3::next() {
    const struct {
        QLineEdit* box;
        int min;
        int max;
        const char* message;
    } rules[] = {
        {name_, 4, -1, "请填写公司名称"},    {shortName_, 2, -1, "请填写公司简称"},
        {tel_, 7, -1, "请填写公司电话"},     {contact_, 2, -1, "请填联系人姓名"},
        {mobile_, 11, 11, "手机号码不正确"},
    };
    for (const auto& r : rules) {
        const QString trimmed = common::TrimSpaces(r.box->text());
        if (trimmed != r.box->text()) r.box->setText(trimmed);
        if (trimmed.size() < r.min || (r.max >= 0 && trimmed.size() > r.max)) {
            flow_.messages().show(QString::fromUtf8(r.message));
            return;
        }
    }
    VendorSession& c = flow_.vendor();
    CompanyDetails d = boxes();
    // The company update's reply is not examined; the staff update decides.
    c.postVendorRequest(c.credentialQuery() + QStringLiteral("&s=5&sst=") +
                        UrlEncodeGbk(CompanyUpdateSql(d)));
    d.contact = common::TrimSpaces(d.contact);
    d.deskPhone = common::TrimSpaces(d.deskPhone);
    const QString reply = c.postVendorRequest(c.credentialQuery() + QStringLiteral("&s=5&sst=") +
                                              UrlEncodeGbk(StaffUpdateSql(d)));
    if (!IsNumberOne(reply)) {
        flow_.messages().show(reply.isEmpty() ? kNoReplyMessage
                                              : QStringLiteral("写入失败，请检查信息是否正确"));
        return;
    }
    flow_.finish(this);
}

} // namespace shell
