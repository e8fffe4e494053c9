#include "shell/management/print_hand_off.h"
#include "itinerary/money.h"

#include "itinerary/code_tables.h"
#include "itinerary/headless_print_form.h"
#include "itinerary/record_json.h"

#include <QRegularExpression>

namespace shell {
namespace {

using namespace itin;

// Splits as the page's format intends: an empty text has no entries at all.
QStringList entries(const QString& text, QChar separator) {
    if (text.isEmpty()) return {};
    return text.split(separator);
}

QString at(const QStringList& list, int i) {
    return i < list.size() ? list.at(i) : QString();
}

bool isDecimal(const QString& amount) {
    static const QRegularExpression kDecimal(
        QStringLiteral("^[+-]?\\d*\\.\\d+$|^[+-]?\\d+\\.\\d*$"));
    return kDecimal.match(amount).hasMatch();
}

// A money text: the amount as sent followed by ".00"; an amount that already carries
// decimals is written with exactly two instead of gaining a second fraction.
QString moneyText(const QString& prefix, const QString& amount) {
    if (isDecimal(amount)) return prefix + FormatMoney(amount.toDouble());
    return prefix + amount + QStringLiteral(".00");
}

// A missing or non-numeric amount counts as 0.
double amountValue(const QString& amount) {
    bool ok = false;
    const double v = amount.trimmed().toDouble(&ok);
    return ok ? v : 0.0;
}

// Route line n (1 to 5) of the receipt.
int routeLine(int n) {
    return n <= 4 ? SegmentAt(n).city : City5;
}

// Segment k (1 to 4), written column by column as the page's table orders them.
void writeSegment(ItineraryRecord& record, int k, const QStringList& s) {
    const SegmentRow r = SegmentAt(k);
    const QString flight = at(s, 5);
    record.setField(routeLine(k), AirportCityName(at(s, 9)));
    record.setField(r.carrier, AirlineShortName(flight.left(2)));
    record.setField(r.flight, flight);
    record.setField(r.cls, at(s, 6));
    record.setField(r.date, at(s, 4));
    record.setField(r.time, at(s, 7));
    record.setField(r.baggage, QStringLiteral("20K"));
    record.setField(routeLine(k + 1), AirportCityName(at(s, 10)));
    if (k == 4) return;
    // Closes the itinerary; a following segment overwrites both.
    record.setField(SegmentAt(k + 1).carrier, QStringLiteral("VOID"));
    record.setField(routeLine(k + 2), QStringLiteral("VOID"));
}

} // namespace

std::optional<qint16> HandOffMode(const QString& printData) {
    if (printData.startsWith(u'0')) return Domestic;
    if (printData.startsWith(u'1')) return International;
    return std::nullopt;
}

void FillFromPrintData(const QString& printData, ItineraryRecord& record) {
    const QStringList fields = printData.split(u',');
    record.startBooking(); // nothing of the booking on the form before stays under this one

    const QStringList segments = entries(at(fields, 1), u'|');
    for (int k = 0; k < segments.size() && k < 4; ++k)
        writeSegment(record, k + 1, segments.at(k).split(u'^'));

    const QString fare = at(fields, 4), cn = at(fields, 5), yq = at(fields, 6);
    record.setField(Fare, moneyText(QStringLiteral("CNY "), fare));
    record.setField(CnTax, moneyText(QStringLiteral("CN"), cn));
    record.setField(YqTax, moneyText(QStringLiteral("YQ"), yq));
    record.setField(Total, QStringLiteral("CNY ") +
                               FormatMoney(amountValue(fare) + amountValue(cn) + amountValue(yq)));

    QList<PassengerRow> rows;
    for (const QString& entry : entries(at(fields, 3), u'|')) {
        const QStringList p = entry.split(u'^');
        rows.append({at(p, 0), at(p, 1), at(p, 2)});
    }
    record.setPassengers(rows);

    record.setField(PnrCode, at(fields, 2));
}

bool PrintHandOff(const QString& printData, PrintFormState& formState, BookingForm& form) {
    const std::optional<qint16> mode = HandOffMode(printData);
    if (!mode) return false;
    OpenPrintForm(formState, form, *mode);
    ItineraryRecord* record = form.record();
    if (!record) return false;
    FillFromPrintData(printData, *record);
    return true;
}

QByteArray HandOffJson(const QString& printData) {
    PrintFormState formState;
    HeadlessPrintForm form(formState);
    const bool handedOff = PrintHandOff(printData, formState, form);
    ItineraryRecord fresh;
    const ItineraryRecord& record = form.record() ? *form.record() : fresh;
    QByteArray json = RecordJson(record, {});
    const QByteArray head = QByteArray("{\"handedOff\": ") + (handedOff ? "true" : "false") +
                            ", \"printMode\": " + QByteArray::number(formState.printMode) + ", ";
    return head + json.mid(1);
}

} // namespace shell
