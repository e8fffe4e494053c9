// The SMS composer against hand-written texts.
#include "common/messages.h"
#include "sms/composer.h"

#include <gtest/gtest.h>

using namespace itin;
using sms::ComposeSms;
using sms::SmsAccount;

namespace {

struct Booking {
    ItineraryRecord record;
    SmsAccount account;
    common::RecordingMessages messages;

    explicit Booking(bool twoFlights) {
        record.setField(PnrQuery, QStringLiteral("HX4P2K"));
        record.setField(City1, QStringLiteral("北京首都   T3"));
        record.setField(City2, QStringLiteral("上海虹桥   T2"));
        record.setField(City3, QStringLiteral("广州   "));
        record.setField(Carrier1, QStringLiteral("国航"));
        record.setField(Flight1, QStringLiteral("CA1501"));
        record.setField(Date1, QStringLiteral("2026-12-07"));
        record.setField(Time1, QStringLiteral("08:30"));
        record.setField(IssuedBy, QStringLiteral("北京示例航空服务有限公司"));
        if (twoFlights) {
            record.setField(Carrier2, QStringLiteral("南航"));
            record.setField(Flight2, QStringLiteral("CZ3502"));
            record.setField(Date2, QStringLiteral("2026-12-09"));
            record.setField(Time2, QStringLiteral("14:05"));
        }
        record.setPassengers({{QStringLiteral("张三"), QStringLiteral("110101199001011234"),
                               QStringLiteral("999-1234567890")}});
        record.setArrivalTimes(QStringLiteral("10:40"), QStringLiteral("16:50"));
        account.agencyShortName = QStringLiteral("示例");
        account.agencyServicePhone = QStringLiteral("010-12345678");
    }

    QString compose(int type) {
        account.templateType = type;
        return ComposeSms(record, account, messages);
    }
};

struct Expected {
    int type;
    const char* oneFlight;
    const char* twoFlights;
};

const Expected kTemplates[] = {
    {1,
     "您预订的航班:12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501,已出票.电子票号:"
     "999-1234567890(张三),请提前90分钟到机场办理登机手续.客服:010-12345678,[示例]",
     "您预订的航班:12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501;12月09日14:05"
     "上海虹桥(2号航站楼)-广州CZ3502,已出票.电子票号:999-1234567890(张三),"
     "请提前90分钟到机场办理登机手续.客服:010-12345678,[示例]"},
    {2,
     "您好,12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501,已出票.乘机人:张三,"
     "客服:010-12345678,[示例]",
     "您好,:12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501;12月09日14:05"
     "上海虹桥(2号航站楼)-广州CZ3502,已出票.乘机人:张三,客服:010-12345678,[示例]"},
    {3,
     "您预订的航班:12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501,乘机人:张三,"
     "证件号码:110101199001011234,请核对，如有错误请及时联系我们.客服:010-12345678,[示例]",
     "您预订的航班:12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501;12月09日14:05"
     "上海虹桥(2号航站楼)-广州CZ3502,乘机人:张三,证件号码:110101199001011234,"
     "请核对，如有错误请及时联系我们.客服:010-12345678,[示例]"},
    {4,
     "12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501,乘机人:张三,请确认."
     "客服:010-12345678,[示例]",
     "12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501;12月09日14:05"
     "上海虹桥(2号航站楼)-广州CZ3502,乘机人:张三,请确认.客服:010-12345678,[示例]"},
    {5,
     "12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501,请确认.客服:010-12345678,[示例]",
     "12月07日08:30北京首都(3号航站楼)-上海虹桥(2号航站楼)CA1501;12月09日14:05"
     "上海虹桥(2号航站楼)-广州CZ3502,请确认.客服:010-12345678,[示例]"},
    {6,
     "乘机人:张三,证件号码:110101199001011234,请核对，如有错误请及时联系我们.客服:010-12345678,["
     "示例]",
     "乘机人:张三,证件号码:110101199001011234,请核对，如有错误请及时联系我们.客服:010-12345678,["
     "示例]"},
    {7, "1.张三,北京首都(3号航站楼)-上海虹桥(2号航站楼)12月07日08:30起飞,10:40到达,国航CA1501",
     "1.张三,北京首都(3号航站楼)-上海虹桥(2号航站楼)12月07日08:30起飞,10:40到达,国航CA1501;"
     "上海虹桥(2号航站楼)-广州12月09日14:05起飞,16:50到达,南航CZ3502"},
};

} // namespace

TEST(ComposeSms, EveryTemplateInBothForms) {
    for (const Expected& e : kTemplates) {
        Booking one(false), two(true);
        EXPECT_EQ(one.compose(e.type), QString::fromUtf8(e.oneFlight)) << "type " << e.type;
        EXPECT_EQ(two.compose(e.type), QString::fromUtf8(e.twoFlights)) << "type " << e.type;
        EXPECT_TRUE(one.messages.shown.isEmpty());
    }
}

TEST(ComposeSms, OtherTypesComposeNothing) {
    Booking b(false);
    EXPECT_EQ(b.compose(0), QString());
    EXPECT_EQ(b.compose(8), QString());
}

TEST(ComposeSms, TypeSevenListsEveryPassengerInOrder) {
    Booking b(false);
    b.record.setPassengers({{QStringLiteral("张三"), {}, {}},
                            {QStringLiteral("李四"), {}, {}},
                            {QStringLiteral("王五"), {}, {}}});
    EXPECT_TRUE(
        b.compose(7).startsWith(QStringLiteral("1.张三 2.李四 3.王五,北京首都(3号航站楼)-")));
}

TEST(ComposeSms, TypeSevenWithoutPassengerList) {
    Booking b(false);
    b.record.setPassengers({});
    b.record.setField(PassengerName, QStringLiteral("张三"));
    // The passenger shown stands in for the list.
    EXPECT_TRUE(b.compose(7).startsWith(QStringLiteral("1.张三,北京首都")));
    // With no name at all the text starts with the route.
    b.record.setField(PassengerName, {});
    EXPECT_TRUE(b.compose(7).startsWith(QStringLiteral("北京首都(3号航站楼)-上海虹桥")));
}

TEST(ComposeSms, DefaultsFillTheSignatureAndStay) {
    Booking b(false);
    b.account.agencyShortName.clear();
    b.account.agencyServicePhone.clear();
    EXPECT_TRUE(b.compose(5).endsWith(
        QStringLiteral(",请确认.客服:010-XXXXXXXX,[北京示例航空服务有限公司]")));
    b.record.setField(IssuedBy, QStringLiteral("另一家"));
    EXPECT_EQ(b.account.agencyShortName, QStringLiteral("北京示例航空服务有限公司"));
    EXPECT_TRUE(b.compose(5).endsWith(QStringLiteral("[北京示例航空服务有限公司]")));
}

TEST(ComposeSms, EmptyBookingReferenceShowsMessage) {
    Booking b(false);
    b.record.setField(PnrQuery, {});
    EXPECT_EQ(b.compose(1), QString());
    ASSERT_EQ(b.messages.shown.size(), 1);
    EXPECT_EQ(b.messages.shown[0].text, QStringLiteral("填写票面内容后才能自动生成短信内容！"));
}

TEST(ComposeSms, UnusableDatesWithoutMessage) {
    Booking b(true);
    b.record.setField(Date2, QStringLiteral("2026-12"));
    // A malformed second date drops the second flight only.
    EXPECT_FALSE(b.compose(5).contains(QStringLiteral("CZ3502")));
    for (const char* bad : {"", "2026/12/07", "2026-12", "2026-12-07-1"}) {
        b.record.setField(Date1, QString::fromUtf8(bad));
        EXPECT_EQ(b.compose(1), QString()) << bad;
    }
    EXPECT_TRUE(b.messages.shown.isEmpty());
}

TEST(ComposeSms, FlightTimeKeepsLeadingZeros) {
    EXPECT_EQ(sms::FlightTime(QStringLiteral("2026-12-09"), QStringLiteral("14:05")),
              QStringLiteral("12月09日14:05"));
    EXPECT_EQ(sms::FlightTime(QStringLiteral("2027-01-02"), QStringLiteral("07:00")),
              QStringLiteral("01月02日07:00"));
}

TEST(PlaceText, NamesTerminalsAndDigits) {
    using sms::PlaceText;
    EXPECT_EQ(PlaceText(QStringLiteral("广州")), QStringLiteral("广州"));
    EXPECT_EQ(PlaceText(QStringLiteral("广州   ")), QStringLiteral("广州"));
    EXPECT_EQ(PlaceText(QStringLiteral("深圳 T3")), QStringLiteral("深圳(3号航站楼)"));
    EXPECT_EQ(PlaceText(QStringLiteral("北京   T3")), QStringLiteral("北京(3号航站楼)"));
    EXPECT_EQ(PlaceText(QStringLiteral("上海浦东   T1")), QStringLiteral("上海浦东(1号航站楼)"));
    EXPECT_EQ(PlaceText(QStringLiteral("重庆 T2 ")), QStringLiteral("重庆(2号航站楼)"));
    // The digits 1 to 3 go wherever they stand; others stay.
    EXPECT_EQ(PlaceText(QStringLiteral("成1都2机3场")), QStringLiteral("成都机场"));
    EXPECT_EQ(PlaceText(QStringLiteral("西安45")), QStringLiteral("西安45"));
    // A "T" with no terminal after it gives the name alone.
    EXPECT_EQ(PlaceText(QStringLiteral("北京 T")), QStringLiteral("北京"));
    EXPECT_EQ(PlaceText(QStringLiteral("北京 T   ")), QStringLiteral("北京"));
    EXPECT_EQ(PlaceText(QString()), QString());
}

TEST(ComposeSms, RefreshNeedsBookingReferenceAndFirstDate) {
    ItineraryRecord r;
    EXPECT_FALSE(sms::SmsRefreshDue(r));
    r.setField(PnrQuery, QStringLiteral("HX4P2K"));
    EXPECT_FALSE(sms::SmsRefreshDue(r));
    r.setField(Date1, QStringLiteral("2026-12-07"));
    EXPECT_TRUE(sms::SmsRefreshDue(r));
}
