#include "shell/enrolment_sql.h"

#include "shell/vendor_codec.h"

namespace shell {

QString SqlQuoted(const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + v + QLatin1Char('\'');
}

QString CompanyRecordSql() {
    return QStringLiteral("select * from B_admin where UserName='session_com_username'");
}

QString CompanyUpdateSql(const CompanyDetails& d) {
    return QStringLiteral("update B_admin set Com_Name=") + SqlQuoted(d.name) +
           QStringLiteral(",Com_nName=") + SqlQuoted(d.shortName) + QStringLiteral(",com_tel=") +
           SqlQuoted(d.tel) + QStringLiteral(",com_fax=") + SqlQuoted(d.fax) +
           QStringLiteral(",com_address=") + SqlQuoted(d.address) + QStringLiteral(",com_Lxr=") +
           SqlQuoted(d.contact) + QStringLiteral(",com_zw=") + SqlQuoted(d.title) +
           QStringLiteral(",com_mob=") + SqlQuoted(d.mobile) + QStringLiteral(",com_email=") +
           SqlQuoted(d.email) + QStringLiteral(" where UserName='session_com_username'");
}

QString StaffUpdateSql(const CompanyDetails& d) {
    return QStringLiteral("update B_staff set realname=") + SqlQuoted(d.contact) +
           QStringLiteral(",tel=") + SqlQuoted(d.deskPhone) + QStringLiteral(",mob=") +
           SqlQuoted(d.mobile) + QStringLiteral(",email=") + SqlQuoted(d.email) +
           QStringLiteral(" where com_UserName='session_com_username' and "
                          "username='session_sta_username'");
}

QStringList CompanyRecordColumns(const QString& reply) {
    const QStringList fields = reply.split(QLatin1Char(';'));
    if (fields.size() < 2) return {};
    QStringList columns;
    for (const QString& c : fields[1].split(QLatin1Char(',')))
        columns << UrlDecodeAuto(c);
    return columns;
}

CompanyDetails CompanyFromColumns(const QStringList& c) {
    CompanyDetails d;
    d.name = c.value(3);
    d.shortName = c.value(4);
    d.contact = c.value(5);
    d.title = c.value(6);
    d.mobile = c.value(7);
    d.tel = c.value(8);
    d.fax = c.value(9);
    d.email = c.value(10);
    d.address = c.value(11);
    return d;
}

} // namespace shell
