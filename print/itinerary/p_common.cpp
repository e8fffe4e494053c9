#include "itinerary/p_common.h"

#include "common/text_ops.h"

#include <cmath>

namespace itin {

void ShowCurrentPassenger(const PCommon& common, ItineraryRecord& record) {
    const int i = common.CurrentPassenger;
    if (i < 0 || i >= common.PassengerList.size()) return;
    const PassengerRow& row = common.PassengerList.at(i);
    record.setField(PassengerName, row.name);
    record.setField(IdNumber, row.id);
    record.setField(TicketNumber, row.ticket);
}

void NextPassenger(PCommon& common, ItineraryRecord& record) {
    const int last = int(common.PassengerList.size()) - 1;
    if (common.CurrentPassenger >= last) return;
    ++common.CurrentPassenger;
    record.setPreviousEnabled(true);
    if (common.CurrentPassenger == last) record.setNextEnabled(false);
    ShowCurrentPassenger(common, record);
}

void PreviousPassenger(PCommon& common, ItineraryRecord& record) {
    if (common.CurrentPassenger <= 0) return;
    --common.CurrentPassenger;
    record.setNextEnabled(true);
    if (common.CurrentPassenger == 0) record.setPreviousEnabled(false);
    ShowCurrentPassenger(common, record);
}

void ResetPassengerButtons(ItineraryRecord& record) {
    record.setPreviousEnabled(false);
    record.setNextEnabled(false);
}

void SetPassengerList(PCommon& common, ItineraryRecord& record, const QList<PassengerRow>& rows) {
    common.PassengerList = rows;
    common.CurrentPassenger = 0;
    ResetPassengerButtons(record);
    ShowCurrentPassenger(common, record);
    if (rows.size() > 1) record.setNextEnabled(true);
}

QString BookingKey(const ItineraryRecord& record) {
    return QStringList{record.field(PnrCode), record.field(Flight1), record.field(Flight2)}.join(
        u'|');
}

void ClearParsedFields(ItineraryRecord& record) {
    record.setField(PassengerName, QString());
    record.setField(IdNumber, QString());
    for (int i = 3; i <= 29; ++i)
        record.setField(i, QString());
    record.setField(TicketNumber, QString());
}

double MoneyValue(const QString& text) {
    QString t = text;
    for (QChar c : {u'F', u'C', u'N', u'Y', u'Q', u'X', u'T', u'O'})
        t.remove(c);
    if (t.isEmpty()) return 0.0;
    return common::leadingNumber(t);
}

double OffsetMillimetres(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x6BEB)); // 毫
    t.remove(QChar(0x7C73)); // 米
    if (t.isEmpty()) return 0.0;
    // Letters typed by the agent read as the number they start with (0 when none).
    return common::leadingNumber(t);
}

QString MoneyPrefix(int index) {
    switch (index) {
    case Fare:
    case Total:
        return QStringLiteral("CNY ");
    case CnTax:
        return QStringLiteral("CN ");
    case YqTax:
        return QStringLiteral("YQ ");
    case XtTax:
        return QStringLiteral("XT ");
    default:
        return {};
    }
}

QString FormatMoney(double value) {
    // Round half away from zero at the second decimal, as the "0.00" pattern does.
    double r = std::round(value * 100.0) / 100.0;
    if (r == 0.0) r = 0.0; // no "-0.00"
    return QString::number(r, 'f', 2);
}

void NormaliseMoneyField(ItineraryRecord& record, int index) {
    const QString prefix = MoneyPrefix(index);
    if (prefix.isEmpty()) return;
    record.setField(index, prefix + FormatMoney(MoneyValue(record.field(index))));
}

void RecomputeTotal(ItineraryRecord& record) {
    const double sum = MoneyValue(record.field(Fare)) + MoneyValue(record.field(CnTax)) +
                       MoneyValue(record.field(YqTax)) + MoneyValue(record.field(XtTax));
    record.setField(Total, QStringLiteral("CNY ") + FormatMoney(sum));
}

} // namespace itin
