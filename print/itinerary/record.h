#pragma once
// The booking on the print form: the itinerary record's 59 text fields addressed by index,
// as the form's edit boxes hold them, with the booking's passengers, the one shown, its
// arrival times and the flights the receipt leaves out. Every write, by an importer or by
// the agent, goes through this object: setField applies the field rules the boxes' change
// events apply; a writer that brings a booking starts it with startBooking, so nothing of an
// earlier booking stays under it.
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <utility>

namespace itin {

enum Field : int {
    PassengerName = 0,
    IdNumber = 1,
    Endorsement = 2,
    PnrCode = 3,
    PnrQuery = 4,
    City1 = 5,
    Carrier1 = 6,
    Flight1 = 7,
    Class1 = 8,
    Date1 = 9,
    Time1 = 10,
    FareBasis1 = 11,
    Baggage1 = 12,
    City2 = 13,
    Carrier2 = 14,
    Flight2 = 15,
    Class2 = 16,
    Date2 = 17,
    Time2 = 18,
    FareBasis2 = 19,
    Baggage2 = 20,
    City3 = 21,
    Carrier3 = 22,
    Flight3 = 23,
    Class3 = 24,
    Date3 = 25,
    Time3 = 26,
    FareBasis3 = 27,
    Baggage3 = 28,
    City4 = 29,
    Fare = 30,
    CnTax = 31,
    YqTax = 32,
    Total = 33,
    TicketNumber = 34,
    CheckCode = 35,
    Notice = 36,
    Insurance = 37,
    AgentCode = 38,
    IssuedBy = 39,
    IssueDate = 40,
    AgentNumber = 41,
    ValidFrom1 = 42,
    ValidUntil1 = 43,
    ValidFrom2 = 44,
    ValidUntil2 = 45,
    ValidFrom3 = 46,
    ValidUntil3 = 47,
    ValidFrom4 = 48,
    ValidUntil4 = 49,
    Baggage4 = 50,
    City5 = 51,
    FareBasis4 = 52,
    Time4 = 53,
    Date4 = 54,
    Class4 = 55,
    Flight4 = 56,
    Carrier4 = 57,
    XtTax = 58,
};

constexpr int kFieldCount = 59;

// The field's name as used in the JSON output and the form ("PassengerName", ...).
QString FieldName(int index);
// Index of a field name, or -1.
int FieldIndex(const QString& name);
// Default text of a field when the print form is created.
QString FieldDefault(int index);

// Indices of one segment row (1..4): route line, carrier, flight, class, date, time,
// fare basis, not valid before, not valid after, baggage.
struct SegmentRow {
    int city, carrier, flight, cls, date, time, fareBasis, validFrom, validUntil, baggage;
};
SegmentRow SegmentAt(int row);

// One passenger of the booking: name, ID number, ticket number.
struct PassengerRow {
    QString name;
    QString id;
    QString ticket;
    bool operator==(const PassengerRow&) const = default;
};

class ItineraryRecord : public QObject {
    Q_OBJECT
public:
    explicit ItineraryRecord(QObject* parent = nullptr);

    QString field(int index) const;
    QString operator[](int index) const { return field(index); }

    // Writes a field as an edit box's change would: nothing happens when the text is
    // unchanged; otherwise fieldChanged is raised and the field rules run.
    void setField(int index, const QString& text);

    // Starts a new booking: empties the passenger, booking reference and flight fields
    // (0, 1, 3 to 29, 34, the validity dates, row 4 and City5), the passenger list, the
    // arrival times and the left-out flights. Endorsement, money, check code, notice,
    // insurance and the agency fields stay.
    void startBooking();
    // Replaces the passenger list and shows its first row in fields 0, 1 and 34.
    void setPassengers(const QList<PassengerRow>& rows);
    // One passenger whose name, ID and ticket are the fields on the form.
    void takePassengerFromFields();
    const QList<PassengerRow>& passengers() const { return passengers_; }
    int currentPassenger() const { return current_; }
    // Shows row i of the list in fields 0, 1 and 34; out of range does nothing.
    void showPassenger(int i);
    void nextPassenger() { showPassenger(current_ + 1); }
    void previousPassenger() { showPassenger(current_ - 1); }
    // Whether "上一位" (cmdpau) and "下一位" (cmdnext) lead anywhere.
    bool previousEnabled() const { return current_ > 0 && current_ < passengers_.size(); }
    bool nextEnabled() const { return current_ + 1 < passengers_.size(); }
    // "第 n/m 位", empty without passengers.
    QString positionText() const;

    // Arrival times of segments 1 and 2 ("HH:MM"), read by the SMS composer.
    QString arrivalTime1() const { return arrival1_; }
    QString arrivalTime2() const { return arrival2_; }
    void setArrivalTimes(const QString& first, const QString& second);
    // Flights of the booking beyond the two the receipt gets; taken once, when the agent
    // is told of them.
    QStringList leftOutFlights() const { return leftOut_; }
    void setLeftOutFlights(const QStringList& flights) { leftOut_ = flights; }
    QStringList takeLeftOutFlights() { return std::exchange(leftOut_, {}); }

    // Runs after the field rules of every change, with the changed index. The SMS
    // panel's refresh (composing the text when PnrQuery and Date1 are set) hooks in here.
    void setAfterChangeHook(std::function<void(int)> hook) { afterChange_ = std::move(hook); }

    // While one lives, the after-change hook waits: an import's writes go in whole and
    // what follows a change (the SMS panel and its messages) runs once, when the last
    // holder goes, for the last field changed meanwhile.
    class HeldChanges {
    public:
        explicit HeldChanges(ItineraryRecord& record);
        ~HeldChanges();
        HeldChanges(const HeldChanges&) = delete;
        HeldChanges& operator=(const HeldChanges&) = delete;

    private:
        QPointer<ItineraryRecord> record_;
    };

    // All 59 texts, in index order.
    QStringList texts() const;

signals:
    void fieldChanged(int index);
    // The passenger list or the passenger shown changed.
    void buttonsChanged();

private:
    void applyFieldRules(int index);

    std::array<QString, kFieldCount> fields_;
    QList<PassengerRow> passengers_;
    int current_ = 0;
    QString arrival1_, arrival2_;
    QStringList leftOut_;
    std::function<void(int)> afterChange_;
    int holders_ = 0;
    int heldChange_ = -1; // the last change made while held
};

} // namespace itin
