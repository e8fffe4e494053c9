#include "itinerary/money.h"

#include "common/text_ops.h"

#include <cmath>

namespace itin {

double MoneyValue(const QString& text) {
    QString t = text;
    for (QChar c : {u'F', u'C', u'N', u'Y', u'Q', u'X', u'T', u'O'})
        t.remove(c);
    if (t.isEmpty()) return 0.0;
    return common::LeadingNumber(t);
}

double OffsetMillimetres(const QString& text) {
    QString t = text;
    t.remove(QLatin1Char(' '));
    t.remove(QChar(0x6BEB)); // 毫
    t.remove(QChar(0x7C73)); // 米
    if (t.isEmpty()) return 0.0;
    // Letters typed by the agent read as the number they start with (0 when none).
    return common::LeadingNumber(t);
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
