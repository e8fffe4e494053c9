#include "itinerary/record.h"

#include "common/text_ops.h"

#include <utility>

namespace itin {
namespace {

const char* const kNames[kFieldCount] = {
    "PassengerName", "IdNumber",    "Endorsement", "PnrCode",     "PnrQuery",     "City1",
    "Carrier1",      "Flight1",     "Class1",      "Date1",       "Time1",        "FareBasis1",
    "Baggage1",      "City2",       "Carrier2",    "Flight2",     "Class2",       "Date2",
    "Time2",         "FareBasis2",  "Baggage2",    "City3",       "Carrier3",     "Flight3",
    "Class3",        "Date3",       "Time3",       "FareBasis3",  "Baggage3",     "City4",
    "Fare",          "CnTax",       "YqTax",       "Total",       "TicketNumber", "CheckCode",
    "Notice",        "Insurance",   "AgentCode",   "IssuedBy",    "IssueDate",    "AgentNumber",
    "ValidFrom1",    "ValidUntil1", "ValidFrom2",  "ValidUntil2", "ValidFrom3",   "ValidUntil3",
    "ValidFrom4",    "ValidUntil4", "Baggage4",    "City5",       "FareBasis4",   "Time4",
    "Date4",         "Class4",      "Flight4",     "Carrier4",    "XtTax",
};

// Carrier, flight, class, fare basis and baggage of rows 1 to 3: no spaces, upper case.
bool isCompactedField(int i) {
    switch (i) {
    case 6:
    case 14:
    case 22:
    case 7:
    case 15:
    case 23:
    case 8:
    case 16:
    case 24:
    case 11:
    case 19:
    case 27:
    case 12:
    case 20:
    case 28:
        return true;
    default:
        return false;
    }
}

// True when the text has no space and nothing upper-casing would change: plain ASCII
// without lower-case letters (anything else takes the full rule).
bool isCompact(const QString& s) {
    for (QChar c : s) {
        const char16_t u = c.unicode();
        if (u == u' ' || u >= 128 || (u >= u'a' && u <= u'z')) return false;
    }
    return true;
}

} // namespace

QString FieldName(int index) {
    if (index < 0 || index >= kFieldCount) return {};
    return QString::fromLatin1(kNames[index]);
}

int FieldIndex(const QString& name) {
    for (int i = 0; i < kFieldCount; ++i)
        if (name == QLatin1String(kNames[i])) return i;
    return -1;
}

QString FieldDefault(int index) {
    switch (index) {
    case Endorsement:
        return QStringLiteral("不得签转");
    case Fare:
        return QStringLiteral("CNY 0.00");
    case CnTax:
        return QStringLiteral("CN 0.00");
    case YqTax:
        return QStringLiteral("YQ 0.00");
    case XtTax:
        return QStringLiteral("XT 0.00");
    case Total:
        return QStringLiteral("CNY 0.00");
    case Insurance:
        return QStringLiteral("XXX");
    default:
        return {};
    }
}

SegmentRow SegmentAt(int row) {
    switch (row) {
    case 1:
        return {City1, Carrier1,   Flight1,    Class1,      Date1,
                Time1, FareBasis1, ValidFrom1, ValidUntil1, Baggage1};
    case 2:
        return {City2, Carrier2,   Flight2,    Class2,      Date2,
                Time2, FareBasis2, ValidFrom2, ValidUntil2, Baggage2};
    case 3:
        return {City3, Carrier3,   Flight3,    Class3,      Date3,
                Time3, FareBasis3, ValidFrom3, ValidUntil3, Baggage3};
    default:
        return {City4, Carrier4,   Flight4,    Class4,      Date4,
                Time4, FareBasis4, ValidFrom4, ValidUntil4, Baggage4};
    }
}

ItineraryRecord::ItineraryRecord(QObject* parent) : QObject(parent) {
    for (int i = 0; i < kFieldCount; ++i)
        fields_[size_t(i)] = FieldDefault(i);
}

QString ItineraryRecord::field(int index) const {
    if (index < 0 || index >= kFieldCount) return {};
    return fields_[size_t(index)];
}

void ItineraryRecord::setField(int index, const QString& text) {
    if (index < 0 || index >= kFieldCount) return;
    if (fields_[size_t(index)] == text) return;
    fields_[size_t(index)] = text;
    emit fieldChanged(index);
    applyFieldRules(index);
}

void ItineraryRecord::applyFieldRules(int i) {
    // Rule 1: the two booking reference boxes follow each other, trimmed.
    if (i == PnrQuery) setField(PnrCode, common::TrimSpaces(fields_[PnrQuery]));
    if (i == PnrCode) setField(PnrQuery, common::TrimSpaces(fields_[PnrCode]));
    // Rule 2: codes of rows 1 to 3 lose their spaces and become upper case.
    if (isCompactedField(i) && !isCompact(fields_[size_t(i)])) {
        QString t = fields_[size_t(i)];
        t.remove(QLatin1Char(' '));
        setField(i, t.toUpper());
    }
    // Rule 3 and whatever else follows a change.
    if (holders_ > 0)
        heldChange_ = i;
    else if (afterChange_)
        afterChange_(i);
}

ItineraryRecord::HeldChanges::HeldChanges(ItineraryRecord& record) : record_(&record) {
    ++record.holders_;
}

ItineraryRecord::HeldChanges::~HeldChanges() {
    if (!record_ || --record_->holders_ > 0) return;
    const int last = std::exchange(record_->heldChange_, -1);
    if (last >= 0 && record_->afterChange_) record_->afterChange_(last);
}

void ItineraryRecord::startBooking() {
    for (int i = 0; i < kFieldCount; ++i) {
        const bool kept = i == Endorsement || (i >= Fare && i <= Total) ||
                          (i >= CheckCode && i <= AgentNumber) || i == XtTax;
        if (!kept) setField(i, QString());
    }
    arrival1_.clear();
    arrival2_.clear();
    leftOut_.clear();
    setPassengers({});
}

void ItineraryRecord::setPassengers(const QList<PassengerRow>& rows) {
    passengers_ = rows;
    current_ = 0;
    if (!rows.isEmpty()) {
        showPassenger(0);
        return;
    }
    setField(PassengerName, QString());
    setField(IdNumber, QString());
    setField(TicketNumber, QString());
    emit buttonsChanged();
}

void ItineraryRecord::takePassengerFromFields() {
    setPassengers({{field(PassengerName), field(IdNumber), field(TicketNumber)}});
}

void ItineraryRecord::showPassenger(int i) {
    if (i < 0 || i >= passengers_.size()) return;
    current_ = i;
    const PassengerRow row = passengers_.at(i);
    setField(PassengerName, row.name);
    setField(IdNumber, row.id);
    setField(TicketNumber, row.ticket);
    emit buttonsChanged();
}

QString ItineraryRecord::positionText() const {
    if (passengers_.isEmpty()) return {};
    return QStringLiteral("第 %1/%2 位").arg(current_ + 1).arg(passengers_.size());
}

void ItineraryRecord::setArrivalTimes(const QString& first, const QString& second) {
    arrival1_ = first;
    arrival2_ = second;
}

QStringList ItineraryRecord::texts() const {
    QStringList out;
    for (const auto& f : fields_)
        out << f;
    return out;
}

} // namespace itin
