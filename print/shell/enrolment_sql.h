#pragma once
// The statements the enrolment sends through s=4 and s=5, and the reading of the company
// record reply. Typed values are quoted with every single quote doubled, so a name such as
// O'Hare stays one value.
#include <QString>
#include <QStringList>

namespace shell {

struct CompanyDetails {
    QString name, shortName, tel, fax, address;       // company
    QString contact, title, deskPhone, mobile, email; // contact person
};

QString SqlQuoted(const QString& value);
QString CompanyRecordSql();
// Values as given; callers trim the ones the form trims.
QString CompanyUpdateSql(const CompanyDetails& d);
QString StaffUpdateSql(const CompanyDetails& d);

// The decoded columns of an s=4 reply that does not begin with "0": its second
// ";"-field split at ",". Empty when there is no second field.
QStringList CompanyRecordColumns(const QString& reply);
// The details found in those columns (3 name, 4 short name, 5 contact, 6 title, 7 mobile,
// 8 tel, 9 fax, 10 email, 11 address); the desk phone is not part of the record.
CompanyDetails CompanyFromColumns(const QStringList& columns);

} // namespace shell
