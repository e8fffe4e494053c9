#include "sms/composer.h"

#include "common/messages.h"
#include "common/text_ops.h"

namespace sms {

using namespace itin;

QString FlightTime(const QString& date, const QString& time) {
    const QStringList p = date.split(QLatin1Char('-'));
    if (date.isEmpty() || p.size() != 3) return {};
    return p[1] + QStringLiteral("月") + p[2] + QStringLiteral("日") + time;
}

QString PlaceText(const QString& cityField) {
    QString name = cityField;
    for (const QChar c : {QChar(' '), QChar('T'), QChar('1'), QChar('2'), QChar('3')})
        name.remove(c);
    const QStringList parts = cityField.split(QLatin1Char('T'));
    if (parts.size() < 2) return name;
    const QString terminal = common::TrimSpaces(parts[1]);
    // A "T" with nothing after it names no terminal.
    if (terminal.isEmpty()) return name;
    return name + QStringLiteral("(") + terminal + QStringLiteral("号航站楼)");
}

QString PassengerListText(const QList<PassengerRow>& list, const QString& shownName) {
    if (list.isEmpty()) return shownName.isEmpty() ? QString() : QStringLiteral("1.") + shownName;
    QStringList entries;
    for (qsizetype i = 0; i < list.size(); ++i)
        entries << QString::number(i + 1) + QLatin1Char('.') + list[i].name;
    return entries.join(QLatin1Char(' '));
}

QString SignatureTail(const SmsAccount& account) {
    return account.agencyServicePhone + QStringLiteral(",[") + account.agencyShortName +
           QStringLiteral("]");
}

bool SmsRefreshDue(const ItineraryRecord& record) {
    return !record[PnrQuery].isEmpty() && !record[Date1].isEmpty();
}

namespace {

// The two flights as the templates join them.
struct Pieces {
    QString d1, d2, p1, p2, p3;
    bool twoFlights() const { return !d2.isEmpty(); }
};

QString compose(int type, const Pieces& x, const ItineraryRecord& r, const QString& tail) {
    const QString second =
        x.twoFlights() ? QStringLiteral(";") + x.d2 + x.p2 + QStringLiteral("-") + x.p3 + r[Flight2]
                       : QString();
    const QString firstRoute = x.d1 + x.p1 + QStringLiteral("-") + x.p2 + r[Flight1] + second;
    switch (type) {
    case 1:
        return QStringLiteral("您预订的航班:") + firstRoute + QStringLiteral(",已出票.电子票号:") +
               r[TicketNumber] + QStringLiteral("(") + r[PassengerName] +
               QStringLiteral("),请提前90分钟到机场办理登机手续.客服:") + tail;
    case 2:
        return (x.twoFlights() ? QStringLiteral("您好,:") : QStringLiteral("您好,")) + firstRoute +
               QStringLiteral(",已出票.乘机人:") + r[PassengerName] + QStringLiteral(",客服:") +
               tail;
    case 3:
        return QStringLiteral("您预订的航班:") + firstRoute + QStringLiteral(",乘机人:") +
               r[PassengerName] + QStringLiteral(",证件号码:") + r[IdNumber] +
               QStringLiteral(",请核对，如有错误请及时联系我们.客服:") + tail;
    case 4:
        return firstRoute + QStringLiteral(",乘机人:") + r[PassengerName] +
               QStringLiteral(",请确认.客服:") + tail;
    case 5:
        return firstRoute + QStringLiteral(",请确认.客服:") + tail;
    case 6:
        return QStringLiteral("乘机人:") + r[PassengerName] + QStringLiteral(",证件号码:") +
               r[IdNumber] + QStringLiteral(",请核对，如有错误请及时联系我们.客服:") + tail;
    case 7: {
        const QString names = PassengerListText(r.passengers(), r[PassengerName]);
        QString text = (names.isEmpty() ? QString() : names + QStringLiteral(",")) + x.p1 +
                       QStringLiteral("-") + x.p2 + x.d1 + QStringLiteral("起飞,") +
                       r.arrivalTime1() + QStringLiteral("到达,") + r[Carrier1] + r[Flight1];
        if (x.twoFlights())
            text += QStringLiteral(";") + x.p2 + QStringLiteral("-") + x.p3 + x.d2 +
                    QStringLiteral("起飞,") + r.arrivalTime2() + QStringLiteral("到达,") +
                    r[Carrier2] + r[Flight2];
        return text;
    }
    default:
        return {};
    }
}

} // namespace

QString ComposeSms(const ItineraryRecord& record, SmsAccount& account, common::Messages& messages) {
    if (record[PnrQuery].isEmpty()) {
        messages.show(QStringLiteral("填写票面内容后才能自动生成短信内容！"));
        return {};
    }
    if (account.agencyShortName.isEmpty()) account.agencyShortName = record[IssuedBy];
    Pieces x;
    x.d1 = FlightTime(record[Date1], record[Time1]);
    if (x.d1.isEmpty()) return {};
    x.d2 = FlightTime(record[Date2], record[Time2]);
    if (account.agencyServicePhone.isEmpty())
        account.agencyServicePhone = QStringLiteral("010-XXXXXXXX");
    x.p1 = PlaceText(record[City1]);
    x.p2 = PlaceText(record[City2]);
    x.p3 = PlaceText(record[City3]);
    return compose(account.templateType, x, record, SignatureTail(account));
}

} // namespace sms
