// The ticket-number import without a browser: the query checks and the cuts of result
// markup as the browser component writes it (upper-case tags, quoted style values).
#include "import/ticket/result_cut.h"
#include "import/ticket/ticket_lookup.h"
#include "itinerary/record.h"

#include "common/fso.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace ximport;
using namespace itin;

namespace {

QString cell(const QStringList& lines, int px = 50) {
    return QStringLiteral("<TD style=\"width: %1px\">").arg(px) + lines.join("<BR>") + "</TD>";
}

// The inner markup of a result table: header, passenger, segment header, segments,
// money and ticket rows.
QString resultTable(const QStringList& route, const QList<QStringList>& segmentColumns) {
    QString seg = "<TR><TD></TD>" + cell(route, 130) + "<TD></TD>";
    for (int k = 0; k < 6; ++k)
        seg += cell(segmentColumns.at(k));
    seg += "<TD></TD><TD></TD>" + cell(segmentColumns.at(6), 40) + "</TR>";
    return "<TBODY><TR><TD>旅客姓名</TD><TD>证件</TD><TD>签注</TD></TR>"
           "<TR><TD><DIV>张三</DIV></TD><TD>1101</TD><TD>不得签转&nbsp;改期收费</TD></TR>"
           "<TR><TD>header</TD></TR>" +
           seg +
           "<TR><TD>CNY 1130.0&nbsp;</TD><TD>CNY CN 50.0&nbsp;</TD><TD>YQ 110.0&nbsp;</TD>"
           "<TD>XT&nbsp;0.0</TD><TD>CNY 1290.0&nbsp;</TD></TR>"
           "<TR><TD><DIV style=\"width: 120px\">781-2345678901</DIV></TD><TD>印刷序号：1</TD>"
           "<TD>仅供验真</TD></TR></TBODY>";
}

QList<QStringList> columns(int segments) {
    const QStringList carriers{"mu", "CA", "CZ", "3U"},
        flights{"MU5101", "ca 1502", "CZ3502", "3U8732"};
    QList<QStringList> cols(7);
    for (int i = 0; i < segments; ++i) {
        cols[0] << carriers.at(i);
        cols[1] << flights.at(i);
        cols[2] << "Y";
        cols[3] << QStringLiteral("2026-03-1%1").arg(i);
        cols[4] << "08:00";
        cols[5] << "Y";
        cols[6] << "20K";
    }
    return cols;
}

QStringList routeOf(int lines) {
    return QStringList{"北京首都   T3", "上海虹桥   T2", "广州白云", "成都双流   T1", "昆明长水"}
        .mid(0, lines);
}

// A record with a mark in every field, so untouched fields show.
void mark(ItineraryRecord& r) {
    for (int i = 0; i < kFieldCount; ++i)
        r.setField(i, QStringLiteral("KEEP"));
}

void apply(const QString& inner, ItineraryRecord& r) {
    for (const FieldCut& c : CutResultTable(inner))
        r.setField(c.field, c.text);
}

} // namespace

TEST(TicketQuery, DashesTrimmingAndTheTwoRefusals) {
    TicketQuery q = CheckTicketQuery(" 781-2345678901 ", " 张三 ", " AB12 ");
    EXPECT_EQ(q.ticket, "7812345678901");
    EXPECT_EQ(q.name, QStringLiteral("张三"));
    EXPECT_EQ(q.code, "AB12");
    EXPECT_TRUE(q.refusal.isEmpty());
    EXPECT_EQ(CheckTicketQuery("781-234567890", "", "AB12").refusal,
              QStringLiteral("票号位数不正确！"));
    EXPECT_EQ(CheckTicketQuery("781-23456789012", "", "AB12").refusal,
              QStringLiteral("票号位数不正确！"));
    // The ticket is checked first; then the code.
    EXPECT_EQ(CheckTicketQuery("78", "", "").refusal, QStringLiteral("票号位数不正确！"));
    EXPECT_EQ(CheckTicketQuery("7812345678901", "", "AB1").refusal, QStringLiteral("验证码不正确"));

    const auto actions = QueryActions(q).actions();
    ASSERT_EQ(actions.size(), 4);
    EXPECT_EQ(actions[0].id, "eticketNoORIn");
    EXPECT_EQ(actions[2].text, "AB12");
    EXPECT_EQ(actions[3].text, "validateStatus_info()");

    EXPECT_EQ(
        PictureCodeUrl("http://v.example:81/x/y?q", QDateTime(QDate(2026, 3, 1), QTime(9, 5))),
        "http://v.example:81/newsky/servlet/CallYanServlet?2026/3/1 9:05:00");
}

TEST(ResultCut, SegmentsFillTheirRowsAndRouteLinesAndLeaveTheRest) {
    const struct {
        int routeLines, segments;
        QList<QPair<int, QString>> fields;
        QList<int> kept;
    } cases[] = {
        // clang-format off
        {2, 1, {{PassengerName, "张三"}, {Endorsement, "不得签转 改期收费"},
                {City1, "北京首都   T3"}, {City2, "上海虹桥   T2"},
                {Carrier1, "MU"}, // the field rules still apply
                {Date1, "2026-03-10"}, {Baggage1, "20K"}, {Fare, "CNY 1130.00"},
                {CnTax, "CN 50.00"}, {YqTax, "YQ 110.00"}, {XtTax, "XT0.00"},
                {Total, "CNY 1290.00"}, {TicketNumber, "781-2345678901"}, {Notice, "仅供验真"}},
         {City3, City4, City5, Carrier2, Flight2, Baggage2, Carrier4, ValidFrom1}},
        {3, 2, {{City3, "广州白云"}, {Flight2, "CA1502"}}, {City4, Carrier3}},
        {5, 4, {{City4, "成都双流   T1"}, {City5, "昆明长水"}, {Carrier3, "CZ"}, {Carrier4, "3U"},
                {Flight4, "3U8732"}, {Date4, "2026-03-13"}, {Baggage4, "20K"}}, {}},
        // clang-format on
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.segments);
        ItineraryRecord r;
        mark(r);
        apply(resultTable(routeOf(c.routeLines), columns(c.segments)), r);
        for (const auto& [field, text] : c.fields)
            EXPECT_EQ(r[field], text) << FieldName(field).toStdString();
        for (int field : c.kept)
            EXPECT_EQ(r[field], "KEEP") << FieldName(field).toStdString();
    }
}

TEST(ResultCut, MissingRowsCellsAndMarkersLeaveTheirFields) {
    EXPECT_TRUE(CutResultTable("").isEmpty());
    EXPECT_TRUE(CutResultTable("<TBODY><TR><TD>x</TD></TR></TBODY>").isEmpty());
    // No "</DIV>" for the name or the ticket, no "px\">" in the route cell, short rows.
    const QString inner = "<TBODY><TR></TR><TR><TD>张三</TD></TR><TR></TR>"
                          "<TR><TD></TD><TD>北京<BR>上海</TD></TR>"
                          "<TR><TD>CNY 1.0</TD></TR>"
                          "<TR><TD><DIV style=\"width: 1px\">781</TD></TR></TBODY>";
    ItineraryRecord r;
    mark(r);
    apply(inner, r);
    for (int f : {PassengerName, Endorsement, City1, Carrier1, CnTax, Total, TicketNumber, Notice})
        EXPECT_EQ(r[f], "KEEP") << FieldName(f).toStdString();
    EXPECT_EQ(r[City2], QStringLiteral("上海")); // the last line needs no marker
    EXPECT_EQ(r[Fare], "CNY 1.00");              // its own cell is whole
}

TEST(ResultPage, OnlyAPageWithTheMarkerIsDumpedAndCut) {
    QTemporaryDir dir;
    browser::DomDocument page;
    page.root.tag = "HTML";
    browser::DomNode text;
    text.kind = browser::DomNode::Text;
    text.text = QStringLiteral("验证码错误");
    page.root.children.push_back(text);
    bool asked = false;
    const auto record = [&]() -> ItineraryRecord* {
        asked = true;
        return nullptr;
    };
    EXPECT_FALSE(ApplyResultPage(page, record, dir.path()).result);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(common::FileExists(QDir(dir.path()).filePath("PNC.txt")));

    page.root.children.front().text = QString(kMaxResultMarkup, u'x') + QStringLiteral("印刷序号");
    EXPECT_TRUE(ApplyResultPage(page, record, dir.path()).tooLarge);
    EXPECT_FALSE(asked);
    EXPECT_FALSE(common::FileExists(QDir(dir.path()).filePath("PNC.txt")));

    page.root.children.front().text = QStringLiteral("印刷序号 but no tables");
    const ResultApplied done = ApplyResultPage(page, record, dir.path());
    EXPECT_TRUE(done.result);
    EXPECT_TRUE(done.dumped);
    EXPECT_EQ(done.written, 0);
    EXPECT_EQ(common::ReadTextFile(QDir(dir.path()).filePath("PNC.txt")),
              QStringLiteral("<HTML>印刷序号 but no tables</HTML>"));
}
