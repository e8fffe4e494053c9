#include "itinerary/parser.h"

#include <gtest/gtest.h>

using namespace itin;

namespace {

// One segment line of the booking display, with its fixed columns.
QString seg(const QString& item, const QString& flight, const QString& date, const QString& from,
            const QString& to, const QString& terminals, const QString& dep = "0830",
            const QString& arr = "1040") {
    QString s = flight.leftJustified(6) + " Y   SA" + date.leftJustified(7) + from + to +
                " HK2   " + dep + " " + arr + QString(10, ' ') + "E " + terminals;
    return item + ".  " + s + "\r\n";
}

struct Parse {
    ItineraryRecord record;
    common::RecordingMessages messages;
    common::FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
    void run(const QString& text) { ParseReservationText(text, record, messages, clock); }
};

const QString kExample = QStringLiteral(
    " 1.张三 2.李四 HX3K8M\r\n"
    " 3.  CA1501 Y   SA12MAR  PEKSHA HK2   0830 1040          E T3T2\r\n"
    " 4.  MU5101 Y   MO14MAR  SHAPEK HK2   0900 1120          E T2T2\r\n"
    " 5.BJS/T BJS/T 000-00000000/ABC TRAVEL\r\n"
    " 6.FN/A/FCNY1130.00/SCNY1130.00/C3.00/XCNY100.00/TCNY50.00CN/TCNY50.00YQ/ACNY1230.00\r\n"
    " 7.SSR FOID CA HK1 NIE12345678/P1\r\n"
    " 8.SSR FOID CA HK1 NIE87654321/P2\r\n"
    " 9.TN/000-0000000001/P1\r\n"
    "10.TN/000-0000000002/P2\r\n");

} // namespace

TEST(Parser, WorkedExampleFieldByField) {
    Parse p;
    p.run(kExample);
    const ItineraryRecord& r = p.record;
    EXPECT_EQ(r[City1], QStringLiteral("北京   T3"));
    EXPECT_EQ(r[Carrier1], QStringLiteral("国航"));
    EXPECT_EQ(r[Flight1], QStringLiteral("CA1501"));
    EXPECT_EQ(r[Class1], QStringLiteral("Y"));
    EXPECT_EQ(r[Date1], QStringLiteral("2026-03-12"));
    EXPECT_EQ(r[Time1], QStringLiteral("08:30"));
    EXPECT_EQ(r[Baggage1], QStringLiteral("20K"));
    EXPECT_EQ(r[City2], QStringLiteral("上海虹桥   T2"));
    EXPECT_EQ(r[Carrier2], QStringLiteral("东航"));
    EXPECT_EQ(r[Flight2], QStringLiteral("MU5101"));
    EXPECT_EQ(r[Date2], QStringLiteral("2026-03-14"));
    EXPECT_EQ(r[Time2], QStringLiteral("09:00"));
    EXPECT_EQ(r[Baggage2], QStringLiteral("20K"));
    EXPECT_EQ(r[City3], QStringLiteral("北京   T2"));
    EXPECT_EQ(r[Carrier3], QStringLiteral("VOID"));
    EXPECT_EQ(r[City4], QStringLiteral("VOID"));
    EXPECT_EQ(r[FareBasis1], QString());
    EXPECT_EQ(r[Fare], QStringLiteral("CNY 1130.00"));
    EXPECT_EQ(r[CnTax], QStringLiteral("CN 50.00"));
    EXPECT_EQ(r[YqTax], QStringLiteral("YQ 50.00"));
    EXPECT_EQ(r[Total], QStringLiteral("CNY 1230.00"));
    EXPECT_EQ(r[PnrCode], QStringLiteral("HX3K8M"));
    EXPECT_EQ(r[PnrQuery], QStringLiteral("HX3K8M"));
    EXPECT_EQ(r[PassengerName], QStringLiteral("张三"));
    EXPECT_EQ(r[IdNumber], QStringLiteral("E12345678"));
    EXPECT_EQ(r[TicketNumber], QStringLiteral("000-0000000001"));
    EXPECT_EQ(r.arrivalTime1(), QStringLiteral("10:40"));
    EXPECT_EQ(r.arrivalTime2(), QStringLiteral("11:20"));
    const QList<PassengerRow> rows{{"张三", "E12345678", "000-0000000001"},
                                   {"李四", "E87654321", "000-0000000002"}};
    EXPECT_EQ(r.passengers(), rows);
    EXPECT_TRUE(r.nextEnabled());
    EXPECT_FALSE(r.previousEnabled());
    EXPECT_TRUE(p.messages.shown.isEmpty());
}

TEST(Parser, OtherLineEndsGiveTheRecordOfCrLf) {
    // The second text's segment lines are short: its columns reach past their line ends.
    QString shortLines = kExample;
    shortLines.replace(QStringLiteral("          E T3T2"), QString())
        .replace(QStringLiteral("          E T2T2"), QString());
    for (const QString& crLfText : {QString(kExample), shortLines})
        for (const QString& end : {"\n", "\r"}) {
            Parse crlf, other, mixed;
            crlf.run(crLfText);
            QString text = crLfText;
            other.run(text.replace("\r\n", end));
            mixed.run(QString(crLfText).replace("\r\n 4.", end + " 4."));
            for (const Parse* p : {&other, &mixed}) {
                EXPECT_EQ(p->record.texts(), crlf.record.texts()) << text.toStdString();
                EXPECT_EQ(p->record.passengers(), crlf.record.passengers()) << text.toStdString();
            }
        }
}

TEST(Parser, OnePassengerOneSegmentClosesWithVoid) {
    Parse p;
    p.run(kExample); // an earlier booking: nothing of it stays
    p.record.setField(City5, QStringLiteral("earlier"));
    p.record.setField(Carrier4, QStringLiteral("earlier"));
    p.run(" 1.王五 JK9L0P\r\n" + seg(" 2", "CZ3101", "05JAN14", "CAN", "PVG", "--T2") +
          " 3.SSR FOID CZ HK1 NI110101199001011234/P1\r\n 4.TN/784-1234567890/P1\r\n");
    const ItineraryRecord& r = p.record;
    EXPECT_EQ(r[City1], QStringLiteral("广州   ")); // "--" gives no terminal
    EXPECT_EQ(r[Date1], QStringLiteral("14-01-05"));
    EXPECT_EQ(r[City2], QStringLiteral("上海浦东   T2"));
    EXPECT_EQ(r[Carrier2], QStringLiteral("VOID"));
    EXPECT_EQ(r[City3], QStringLiteral("VOID"));
    for (int i : {City4, City5, Carrier4, Flight2, Flight3, Date2, Baggage2})
        EXPECT_EQ(r[i], QString()) << FieldName(i).toStdString();
    EXPECT_EQ(r.passengers().size(), 1);
    EXPECT_EQ(r[PassengerName], QStringLiteral("王五"));
    EXPECT_EQ(r[PnrCode], QStringLiteral("JK9L0P"));
    EXPECT_EQ(r[IdNumber], QStringLiteral("110101199001011234"));
    EXPECT_EQ(r[TicketNumber], QStringLiteral("784-1234567890"));
    EXPECT_FALSE(r.nextEnabled());
}

TEST(Parser, ThreeSegmentsUseTheFirstTwoAndTellTheRest) {
    Parse p;
    p.run(kExample);
    p.run(" 1.A B ABCDEF\r\n" + seg(" 2", "CA1", "01FEB", "PEK", "SHA", "T3T2", "0700", "0900"));
    EXPECT_EQ(p.record.arrivalTime2(), QString()); // one segment: no second arrival
    Parse q;
    q.run(" 1.A B ABCDEF\r\n" + seg(" 2", "CA1", "01FEB", "PEK", "SHA", "T3T2") +
          seg(" 3", "CA2", "02FEB", "SHA", "CAN", "T2--") +
          seg(" 4", "CA3", "03FEB", "CAN", "PEK", "T1T1"));
    EXPECT_EQ(q.record[City3], QStringLiteral("广州   "));
    EXPECT_EQ(q.record[Carrier3], QStringLiteral("VOID"));
    EXPECT_EQ(q.record[City4], QStringLiteral("VOID"));
    EXPECT_EQ(q.record[Flight3], QString());
    EXPECT_EQ(q.record.leftOutFlights(), QStringList({"CA3"}));
}

TEST(Parser, ItemsMatchedByPositionAndConfirmedByDigit) {
    Parse p;
    // Two passengers, one ID item, the second ticket naming passenger 1.
    p.run(" 1.张三 2.李四 HX3K8M\r\n" + seg(" 3", "CA1501", "12MAR", "PEK", "SHA", "T3T2") +
          " 4.SSR FOID CA HK1 NIE1/P1\r\n 5.TN/000-1/P1\r\n 6.TN/000-2/P1\r\n");
    const QList<PassengerRow> rows{{"张三", "", "000-1"}, {"李四", "", ""}};
    EXPECT_EQ(p.record.passengers(), rows);
}

TEST(Parser, GroupOfTwelveGetsEachOwnIdAndTicket) {
    // Twelve names over two display lines, then their items numbered 14 to 37.
    QString names, items;
    for (int k = 1; k <= 12; ++k)
        names += QStringLiteral("%1.NAME%2 ").arg(k, 2).arg(QChar(u'A' + k - 1)) +
                 (k == 8 ? "\r\n" : "");
    for (int k = 1; k <= 12; ++k)
        items += QStringLiteral("%1.SSR FOID CA HK1 NIID%2/P%2\r\n").arg(13 + k).arg(k);
    for (int k = 1; k <= 12; ++k)
        items += QStringLiteral("%1.TN/999-%2/P%2\r\n").arg(25 + k).arg(k);
    Parse p;
    p.run(names + "HX3K8M\r\n" + seg("13", "CA1501", "12MAR", "PEK", "SHA", "T3T2") + items);
    ASSERT_EQ(p.record.passengers().size(), 12);
    for (int k = 1; k <= 12; ++k) {
        const PassengerRow& row = p.record.passengers()[k - 1];
        EXPECT_EQ(row,
                  (PassengerRow{QStringLiteral("NAME%1").arg(QChar(u'A' + k - 1)),
                                QStringLiteral("ID%1").arg(k), QStringLiteral("999-%1").arg(k)}))
            << k;
    }
    EXPECT_EQ(p.record[PnrCode], QStringLiteral("HX3K8M"));
}

TEST(Parser, NamesReadWhole) {
    const struct {
        QString nameLines;
        QStringList names;
    } cases[] = {
        // A name before a two-digit item keeps no digit of it.
        {" 9.张三 10.李四 HX3K8M\r\n", {"张三", "李四"}},
        // A line break between names, and one inside a wrapped name.
        {" 1.张三\r\n 2.李四 HX3K8M\r\n", {"张三", "李四"}},
        {" 1.ZHANGSAN/LONGFIRST\r\nNAME 2.LI/SI HX3K8M\r\n", {"ZHANGSAN/LONGFIRSTNAME", "LI/SI"}},
        {" 1.ZHANG/SAN\r\nFENG HX3K8M\r\n", {"ZHANG/SANFENG"}},
    };
    for (const auto& c : cases) {
        Parse p;
        p.run(c.nameLines + seg(" 3", "CA1501", "12MAR", "PEK", "SHA", "T3T2"));
        QStringList names;
        for (const PassengerRow& row : p.record.passengers())
            names << row.name;
        EXPECT_EQ(names, c.names) << c.nameLines.toStdString();
        EXPECT_EQ(p.record[PnrCode], QStringLiteral("HX3K8M")) << c.nameLines.toStdString();
    }
}

TEST(Parser, FareLineWithOneTaxSetsFareAndTotalOnly) {
    Parse p;
    p.record.setField(CnTax, QStringLiteral("CN 9.00"));
    p.run(" 1.A ABCDEF\r\n" + seg(" 2", "CA1", "01FEB", "PEK", "SHA", "T3T2") +
          " 3.FN/A/FCNY800.00/SCNY800.00/C3.00/TCNY50.00CN/ACNY850.00\r\n");
    EXPECT_EQ(p.record[Fare], QStringLiteral("CNY 800.00"));
    EXPECT_EQ(p.record[CnTax], QStringLiteral("CN 9.00"));
    EXPECT_EQ(p.record[YqTax], QStringLiteral("YQ 0.00"));
    EXPECT_EQ(p.record[Total], QStringLiteral("CNY 850.00"));
}

TEST(Parser, MessagesAndWhatStaysWritten) {
    Parse p;
    p.run(QString());
    EXPECT_TRUE(p.messages.shown.isEmpty());
    p.run(QStringLiteral("nothing here"));
    ASSERT_EQ(p.messages.shown.size(), 1);
    EXPECT_EQ(p.messages.shown[0], (common::ShownMessage{"没有找到航段信息", "错误提示"}));
    p.messages.clear();
    p.run(" 1 NO NAMES\r\n" + seg(" 2", "CA1", "01FEB", "PEK", "SHA", "T3T2") +
          " 3.FN/A/FCNY800.00/SCNY800.00/C3.00/TCNY50.00CN/TCNY10.00YQ/ACNY860.00\r\n");
    ASSERT_EQ(p.messages.shown.size(), 1);
    EXPECT_EQ(p.messages.shown[0], (common::ShownMessage{"没有找到乘机人信息", "print"}));
    EXPECT_EQ(p.record[City1], QStringLiteral("北京   T3")); // segments stay
    EXPECT_EQ(p.record[Total], QStringLiteral("CNY 860.00"));
    EXPECT_EQ(p.record[PnrCode], QString());
}

TEST(Parser, ShortOrOddInputNeverStops) {
    Parse p;
    const QStringList texts{".  ",
                            "..  ",
                            "1..  A",
                            ".  CA",
                            "1.A 2.\r\n3.  X",
                            "SSR FOID /P",
                            " 1.A 2.B C\r\n3.  CA1 SSR FOID NI/P SSR FOID /Px .TN//P .TN/",
                            "1.X.  /P"};
    for (const QString& t : texts)
        p.run(t);
    SUCCEED();
    // A non-digit after "/P" matches no passenger.
    Parse q;
    q.run(" 1.张三 2.李四 HX3K8M\r\n" + seg(" 3", "CA1501", "12MAR", "PEK", "SHA", "T3T2") +
          " 4.TN/000-1/PX\r\n 5.TN/000-2/P\r\n");
    EXPECT_EQ(q.record.passengers()[0].ticket, QString());
    EXPECT_EQ(q.record.passengers()[1].ticket, QString());
}

TEST(Parser, ConvertSegmentDate) {
    common::FixedClock clock(QDateTime(QDate(2026, 3, 1), QTime(9, 0)));
    EXPECT_EQ(ConvertSegmentDate(QStringLiteral("05JAN14"), clock), QStringLiteral("14-01-05"));
    EXPECT_EQ(ConvertSegmentDate(QStringLiteral(" 05JAN "), clock), QStringLiteral("2026-01-05"));
    EXPECT_EQ(ConvertSegmentDate(QStringLiteral("05XYZ"), clock), QStringLiteral("2026--05"));
}

TEST(TicketRow, FillsRowOneAndSumsAmounts) {
    ItineraryRecord r;
    r.setField(Notice, QStringLiteral("kept"));
    FillFromTicketRow(QStringLiteral(";784-1;AB 0041 ;HX3K8M;张三;E1;ca1501;y;PEKSHA;2026-03-12;"
                                     "08:30;1130;50;0"),
                      r);
    EXPECT_EQ(r[TicketNumber], QStringLiteral("784-1"));
    EXPECT_EQ(r[CheckCode], QStringLiteral("0041"));
    EXPECT_EQ(r[PnrQuery], QStringLiteral("HX3K8M"));
    EXPECT_EQ(r[Carrier1], QStringLiteral("国航"));
    EXPECT_EQ(r[Flight1], QStringLiteral("CA1501"));
    EXPECT_EQ(r[FareBasis1], QStringLiteral("Y"));
    EXPECT_EQ(r[City1], QStringLiteral("北京"));
    EXPECT_EQ(r[City2], QStringLiteral("上海虹桥"));
    EXPECT_EQ(r[Carrier2], QStringLiteral("VOID"));
    EXPECT_EQ(r[City3], QStringLiteral("VOID"));
    EXPECT_EQ(r[Fare], QStringLiteral("CNY 1130.00"));
    EXPECT_EQ(r[CnTax], QStringLiteral("CN 50.00"));
    EXPECT_EQ(r[YqTax], QStringLiteral("YQ 0.00"));
    EXPECT_EQ(r[Total], QStringLiteral("CNY 1180.00"));
    EXPECT_EQ(r[Notice], QStringLiteral("kept"));
}

TEST(TicketRow, ShortRowsOddAmountsAndLargeSums) {
    ItineraryRecord r;
    FillFromTicketRow(QStringLiteral(";1;2"), r);
    EXPECT_EQ(r[Total], QStringLiteral("CNY 0.00"));
    EXPECT_EQ(r[Fare], QStringLiteral("CNY .00"));
    FillFromTicketRow(QStringLiteral(";;;;;;;;;;;abc;2.5;0.5"), r);
    EXPECT_EQ(r[Total], QStringLiteral("CNY 2.00")); // 0, then 2.5 to even 2, then 2.5 to 2
    FillFromTicketRow(QStringLiteral(";;;;;;;;;;;30000;30000;10000"), r);
    EXPECT_EQ(r[Total], QStringLiteral("CNY 70000.00"));
}
