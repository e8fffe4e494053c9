#include "itinerary/code_tables.h"
#include "itinerary/money.h"

#include <QSignalSpy>

#include <gtest/gtest.h>

using namespace itin;

TEST(Record, NamesAndSegmentRows) {
    EXPECT_EQ(FieldName(Carrier4), QStringLiteral("Carrier4"));
    EXPECT_EQ(FieldIndex(QStringLiteral("City5")), 51);
    EXPECT_EQ(FieldIndex(QStringLiteral("nope")), -1);
    // Rows 1 to 3 follow 5 + 8(k-1) + c; row 4 runs backwards.
    EXPECT_EQ(SegmentAt(3).baggage, 28);
    EXPECT_EQ(SegmentAt(4).carrier, 57);
    EXPECT_EQ(SegmentAt(4).baggage, 50);
}

TEST(Record, BookingReferenceBoxesFollowEachOtherTrimmed) {
    ItineraryRecord r;
    r.setField(PnrQuery, QStringLiteral(" HX3K8M "));
    EXPECT_EQ(r[PnrCode], QStringLiteral("HX3K8M"));
    EXPECT_EQ(r[PnrQuery], QStringLiteral("HX3K8M"));
    r.setField(PnrCode, QStringLiteral("AB12CD "));
    EXPECT_EQ(r[PnrQuery], QStringLiteral("AB12CD"));
}

TEST(Record, CodesOfRowsOneToThreeAreCompactedRowFourIsNot) {
    ItineraryRecord r;
    r.setField(Flight1, QStringLiteral("ca 1501"));
    r.setField(Baggage3, QStringLiteral("20 k"));
    r.setField(Flight4, QStringLiteral("ca 1501"));
    r.setField(City1, QStringLiteral("北京   T3"));
    EXPECT_EQ(r[Flight1], QStringLiteral("CA1501"));
    EXPECT_EQ(r[Baggage3], QStringLiteral("20K"));
    EXPECT_EQ(r[Flight4], QStringLiteral("ca 1501"));
    EXPECT_EQ(r[City1], QStringLiteral("北京   T3"));
}

TEST(Record, UnchangedWriteRaisesNothingAndHookSeesEveryChange) {
    ItineraryRecord r;
    QList<int> hooked;
    r.setAfterChangeHook([&](int i) { hooked << i; });
    QSignalSpy spy(&r, &ItineraryRecord::fieldChanged);
    r.setField(Insurance, QStringLiteral("XXX"));
    EXPECT_EQ(spy.count(), 0);
    EXPECT_TRUE(hooked.isEmpty());
    r.setField(PnrQuery, QStringLiteral("ABCDEF"));
    // PnrQuery changed, then PnrCode followed it.
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), int(PnrQuery));
    EXPECT_EQ(spy.at(1).at(0).toInt(), int(PnrCode));
    EXPECT_EQ(hooked.size(), 2);
}

TEST(Passengers, SteppingStatesOverThreeRows) {
    ItineraryRecord r;
    r.setField(Fare, QStringLiteral("CNY 99.00"));
    r.setPassengers({{"A", "1", "T1"}, {"B", "2", "T2"}, {"C", "3", "T3"}});
    EXPECT_FALSE(r.previousEnabled());
    EXPECT_TRUE(r.nextEnabled());
    r.nextPassenger();
    r.nextPassenger();
    EXPECT_EQ(r.currentPassenger(), 2);
    EXPECT_EQ(r.positionText(), QStringLiteral("第 3/3 位"));
    EXPECT_TRUE(r.previousEnabled());
    EXPECT_FALSE(r.nextEnabled());
    EXPECT_EQ(r[PassengerName], QStringLiteral("C"));
    EXPECT_EQ(r[TicketNumber], QStringLiteral("T3"));
    r.nextPassenger(); // past the end: nothing happens
    EXPECT_EQ(r.currentPassenger(), 2);
    r.previousPassenger();
    r.previousPassenger();
    EXPECT_EQ(r.currentPassenger(), 0);
    EXPECT_FALSE(r.previousEnabled());
    EXPECT_TRUE(r.nextEnabled());
    EXPECT_EQ(r[IdNumber], QStringLiteral("1"));
    EXPECT_EQ(r[Fare], QStringLiteral("CNY 99.00")); // booking fields stay
    r.previousPassenger();
    EXPECT_EQ(r.currentPassenger(), 0);
}

TEST(Passengers, OneRowLeavesBothButtonsDisabledAndLongListsReachTheirEnd) {
    ItineraryRecord r;
    r.setPassengers({{"A", "1", "T1"}});
    EXPECT_FALSE(r.previousEnabled());
    EXPECT_FALSE(r.nextEnabled());
    // More rows than a 16-bit counter holds: stepping ends at the last one.
    r.setPassengers(QList<PassengerRow>(32770, {"N", "1", "T"}));
    int steps = 0;
    while (r.nextEnabled() && steps < 40000) {
        r.nextPassenger();
        ++steps;
    }
    EXPECT_EQ(steps, 32769);
    EXPECT_EQ(r.currentPassenger(), 32769);
}

TEST(Record, StartBookingEmptiesEveryFlightAndPassengerAndKeepsTheRest) {
    ItineraryRecord r;
    for (int i = 0; i < kFieldCount; ++i)
        r.setField(i, QStringLiteral("v%1").arg(i));
    r.setPassengers({{"A", "1", "T1"}, {"B", "2", "T2"}});
    r.setArrivalTimes("10:00", "12:00");
    r.setLeftOutFlights({"CA3"});
    r.startBooking();
    for (int i = 0; i < kFieldCount; ++i) {
        const bool kept = i == Endorsement || (i >= Fare && i <= Total) ||
                          (i >= CheckCode && i <= AgentNumber) || i == XtTax;
        EXPECT_EQ(r[i].isEmpty(), !kept) << FieldName(i).toStdString();
    }
    EXPECT_TRUE(r.passengers().isEmpty());
    EXPECT_FALSE(r.nextEnabled());
    EXPECT_EQ(r.positionText(), QString());
    EXPECT_EQ(r.arrivalTime2(), QString());
    EXPECT_TRUE(r.leftOutFlights().isEmpty());
}

TEST(Money, ValueReadings) {
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("CNY 1130.00")), 1130.0);
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("YQ 50.00")), 50.0);
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("CNY 1 130.00")), 1130.0);
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("CNY 1,130.00")), 1.0);
    EXPECT_DOUBLE_EQ(MoneyValue(QString()), 0.0);
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("CNY ")), 0.0);
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("XT 12.5")), 12.5);
    EXPECT_DOUBLE_EQ(MoneyValue(QStringLiteral("cny 5")), 0.0); // lower case letters stay
}

TEST(Money, OffsetReadings) {
    EXPECT_DOUBLE_EQ(OffsetMillimetres(QString()), 0.0);
    EXPECT_DOUBLE_EQ(OffsetMillimetres(QStringLiteral("2 毫米")), 2.0);
    EXPECT_DOUBLE_EQ(OffsetMillimetres(QStringLiteral("-1.5")), -1.5);
    EXPECT_DOUBLE_EQ(OffsetMillimetres(QStringLiteral("abc")), 0.0);
}

TEST(Money, NormaliseAndTotal) {
    ItineraryRecord r;
    r.setField(Fare, QStringLiteral("120"));
    r.setField(CnTax, QStringLiteral("CN 50"));
    r.setField(XtTax, QStringLiteral("XT 0.5"));
    NormaliseMoneyField(r, Fare);
    NormaliseMoneyField(r, CnTax);
    EXPECT_EQ(r[Fare], QStringLiteral("CNY 120.00"));
    EXPECT_EQ(r[CnTax], QStringLiteral("CN 50.00"));
    RecomputeTotal(r);
    EXPECT_EQ(r[Total], QStringLiteral("CNY 170.50"));
    NormaliseMoneyField(r, PassengerName); // not a money field: untouched
    EXPECT_EQ(r[PassengerName], QString());
}

TEST(CodeTables, Lookups) {
    EXPECT_EQ(AirportCityName(QStringLiteral("pek")), QStringLiteral("北京"));
    EXPECT_EQ(AirportCityName(QStringLiteral("BJS")), QStringLiteral("北京首都"));
    EXPECT_EQ(AirportCityName(QStringLiteral("JJN")), QStringLiteral("泉州"));
    EXPECT_EQ(AirportCityName(QStringLiteral("JHG")), QStringLiteral("西双版纳"));
    EXPECT_EQ(AirportCityName(QStringLiteral("DYG")), QStringLiteral("张家界"));
    EXPECT_EQ(AirportCityName(QStringLiteral("XXX")), QString());
    EXPECT_EQ(AirportCityName(QStringLiteral("PEK ")), QString());
    EXPECT_EQ(AirlineShortName(QStringLiteral(" ca ")), QStringLiteral("国航"));
    EXPECT_EQ(AirlineShortName(QStringLiteral("TV")), QStringLiteral("西藏"));
    EXPECT_EQ(AirlineShortName(QString()), QStringLiteral("未知"));
    EXPECT_EQ(MonthNumber(QStringLiteral("mar")), QStringLiteral("03"));
    EXPECT_EQ(MonthNumber(QStringLiteral("DEC")), QStringLiteral("12"));
    EXPECT_EQ(MonthNumber(QStringLiteral("MARCH")), QString());
    // Letters outside ASCII upper-case as Unicode says: long s is S, dotless i is I.
    EXPECT_EQ(AirportCityName(QStringLiteral("\u017Fha")), QStringLiteral("上海虹桥"));
    EXPECT_EQ(AirportCityName(QStringLiteral("c\u0131h")), QStringLiteral("长治"));
    EXPECT_EQ(MonthNumber(QStringLiteral("\u017Fep")), QStringLiteral("09"));
    EXPECT_EQ(AirlineShortName(QStringLiteral("\u017Fc")), QStringLiteral("山航"));
}
