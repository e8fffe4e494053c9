// The print hand-off of the management system's print page and the page classification.
#include "itinerary/code_tables.h"
#include "itinerary/money.h"
#include "shell/management/management_site.h"
#include "shell/management/print_hand_off.h"
#include "support/print_form.h"

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>

using namespace itin;
using namespace shell;

namespace {

const QString kExample =
    QStringLiteral("0,^^^^2013-12-10^MU5101^Y^08:00^^PEK^SHA,ABC123,ZHANG/SAN^ID1^T1,1130,50,110");

struct HandOff : ::testing::Test {
    PrintFormState formState;
    support::CountingPrintForm form{formState};
    ItineraryRecord& record() { return *form.record(); }
    QString f(int i) { return record().field(i); }
};

} // namespace

TEST_F(HandOff, TheExampleBookingFillsTheDomesticForm) {
    ASSERT_TRUE(PrintHandOff(kExample, formState, form));
    EXPECT_EQ(formState.printMode, Domestic);
    EXPECT_TRUE(formState.printFormOpen);
    EXPECT_EQ(f(City1), QStringLiteral("北京"));
    EXPECT_EQ(f(Carrier1), QStringLiteral("东航"));
    EXPECT_EQ(f(Flight1), "MU5101");
    EXPECT_EQ(f(Class1), "Y");
    EXPECT_EQ(f(Date1), "2013-12-10");
    EXPECT_EQ(f(Time1), "08:00");
    EXPECT_EQ(f(Baggage1), "20K");
    EXPECT_EQ(f(City2), QStringLiteral("上海虹桥"));
    EXPECT_EQ(f(Carrier2), "VOID");
    EXPECT_EQ(f(City3), "VOID");
    EXPECT_EQ(f(Carrier3), "");
    EXPECT_EQ(f(Fare), "CNY 1130.00");
    EXPECT_EQ(f(CnTax), "CN50.00");
    EXPECT_EQ(f(YqTax), "YQ110.00");
    EXPECT_EQ(f(Total), "CNY 1290.00");
    EXPECT_EQ(f(PnrCode), "ABC123");
    EXPECT_EQ(f(PnrQuery), "ABC123"); // the booking reference boxes follow each other
    EXPECT_EQ(f(PassengerName), "ZHANG/SAN");
    EXPECT_EQ(f(IdNumber), "ID1");
    EXPECT_EQ(f(TicketNumber), "T1");
    EXPECT_EQ(record().passengers(), (QList<PassengerRow>{{"ZHANG/SAN", "ID1", "T1"}}));
    EXPECT_FALSE(record().nextEnabled());
    EXPECT_FALSE(record().previousEnabled());
    // Fields the page does not send keep the fresh form's texts.
    EXPECT_EQ(f(Endorsement), QStringLiteral("不得签转"));
    EXPECT_EQ(f(XtTax), "XT 0.00");
    EXPECT_EQ(f(FareBasis1), "");
}

TEST_F(HandOff, LaterSegmentsOverwriteTheClosingMarks) {
    const QString seg1 = "^^^^2013-12-10^MU5101^Y^08:00^^PEK^SHA";
    const QString seg2 = "^^^^2013-12-12^CA1502^F^19:30^^SHA^CAN";
    ASSERT_TRUE(PrintHandOff("0," + seg1 + "|" + seg2 + ",P,A^B^C,1,2,3", formState, form));
    EXPECT_EQ(f(Carrier2), QStringLiteral("国航"));
    EXPECT_EQ(f(City2), QStringLiteral("上海虹桥"));
    EXPECT_EQ(f(City3), QStringLiteral("广州"));
    EXPECT_EQ(f(Flight2), "CA1502");
    EXPECT_EQ(f(Date2), "2013-12-12");
    EXPECT_EQ(f(Baggage2), "20K");
    EXPECT_EQ(f(Carrier3), "VOID");
    EXPECT_EQ(f(City4), "VOID");
    EXPECT_EQ(f(Total), "CNY 6.00");

    // Four segments (and a fifth that is ignored): row 4 uses its own indices, and City5
    // carries the last arrival instead of a closing mark.
    const QString seg3 = "^^^^D3^ZH9901^Y^T3^^CAN^SZX";
    const QString seg4 = "^^^^D4^HU7001^C^T4^^SZX^PEK";
    const QString seg5 = "^^^^D5^3U8001^Y^T5^^PEK^CTU";
    ASSERT_TRUE(PrintHandOff("0," + seg1 + "|" + seg2 + "|" + seg3 + "|" + seg4 + "|" + seg5 +
                                 ",P,A^B^C,1,2,3",
                             formState, form));
    EXPECT_EQ(form.unloads, 1); // the first booking's form was closed
    EXPECT_EQ(f(Carrier3), QStringLiteral("深航"));
    EXPECT_EQ(f(Carrier4), QStringLiteral("海航"));
    EXPECT_EQ(f(Flight4), "HU7001");
    EXPECT_EQ(f(Class4), "C");
    EXPECT_EQ(f(Date4), "D4");
    EXPECT_EQ(f(Time4), "T4");
    EXPECT_EQ(f(Baggage4), "20K");
    EXPECT_EQ(f(City4), QStringLiteral("深圳"));
    EXPECT_EQ(f(City5), QStringLiteral("北京"));
    EXPECT_EQ(record().texts().filter("VOID").size(), 0);
}

TEST_F(HandOff, ThreePassengersAfterAnEarlierBookingLeftTheFormOnALaterOne) {
    formState.printMode = Domestic;
    form.show();
    record().setPassengers(
        {{"OLD1", "", ""}, {"OLD2", "", ""}, {"OLD3", "", ""}, {"OLD4", "", ""}});
    record().showPassenger(3);

    ASSERT_TRUE(PrintHandOff("0,,P,A^1^T1|B^2|C,0,0,0", formState, form));
    EXPECT_EQ(record().passengers().size(), 3);
    EXPECT_EQ(record().currentPassenger(), 0);
    EXPECT_EQ(f(PassengerName), "A");
    EXPECT_TRUE(record().nextEnabled());
    EXPECT_FALSE(record().previousEnabled());
    record().nextPassenger();
    EXPECT_EQ(f(PassengerName), "B");
    EXPECT_EQ(f(TicketNumber), ""); // missing subfields are empty
    record().nextPassenger();
    EXPECT_EQ(f(PassengerName), "C");
    EXPECT_EQ(f(IdNumber), "");
    EXPECT_FALSE(record().nextEnabled());
    EXPECT_TRUE(record().previousEnabled());
}

TEST_F(HandOff, ModeCharacterDecidesWhetherAndHowTheFormReopens) {
    formState.printMode = Domestic;
    form.show();
    record().setField(Notice, "typed by the agent");

    ASSERT_TRUE(PrintHandOff("1,,P,A,1,2,3", formState, form));
    EXPECT_EQ(formState.printMode, International);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_EQ(form.loads, 2);
    EXPECT_EQ(form.loadedMode, International);
    EXPECT_EQ(f(Notice), ""); // a fresh record

    // "2", an empty text and a blank first character change nothing.
    for (const QString& text : {QStringLiteral("2,,P,A,1,2,3"), QString(), QStringLiteral(" 0,")}) {
        EXPECT_FALSE(PrintHandOff(text, formState, form)) << text.toStdString();
        EXPECT_EQ(form.loads, 2);
        EXPECT_EQ(formState.printMode, International);
        EXPECT_EQ(f(PassengerName), "A");
    }
}

TEST_F(HandOff, MoneyAndMissingFields) {
    // Only the mode: every field is missing, nothing crashes and no passenger is invented.
    ASSERT_TRUE(PrintHandOff("0", formState, form));
    EXPECT_EQ(f(Fare), "CNY .00");
    EXPECT_EQ(f(CnTax), "CN.00");
    EXPECT_EQ(f(Total), "CNY 0.00");
    EXPECT_TRUE(record().passengers().isEmpty());
    EXPECT_EQ(f(PassengerName), "");
    EXPECT_EQ(f(City1), ""); // no segment at all
    EXPECT_EQ(f(Baggage1), "");

    // A non-numeric amount is inserted as sent and counts 0; decimals are not doubled.
    ASSERT_TRUE(PrintHandOff("0,,P,A,100.5,abc,20", formState, form));
    EXPECT_EQ(f(Fare), "CNY 100.50");
    EXPECT_EQ(f(CnTax), "CNabc.00");
    EXPECT_EQ(f(YqTax), "YQ20.00");
    EXPECT_EQ(f(Total), "CNY 120.50");
    EXPECT_DOUBLE_EQ(MoneyValue(f(Total)), 120.5);
}

TEST(HandOffJson, ReportsModeAndRecord) {
    const QJsonObject o = QJsonDocument::fromJson(HandOffJson(kExample)).object();
    EXPECT_TRUE(o.value("handedOff").toBool());
    EXPECT_EQ(o.value("printMode").toInt(), 0);
    EXPECT_EQ(o.value("fields").toObject().value("Total").toString(), "CNY 1290.00");
    const QJsonObject ignored = QJsonDocument::fromJson(HandOffJson("2,x")).object();
    EXPECT_FALSE(ignored.value("handedOff").toBool());
    EXPECT_EQ(ignored.value("fields").toObject().value("Fare").toString(), "CNY 0.00");
}

TEST(ManagementSite, SignedInFollowsTheTopPageAndPrintPagesAreRecognised) {
    const ManagementSite site("HTTP://Mgmt.Example:8802/");
    EXPECT_EQ(site.signInUrl(), "http://mgmt.example:8802/member/login.asp");
    const QString member = "http://mgmt.example:8802/member/index.asp";
    EXPECT_TRUE(ClassifyCompletedDocument(site, member, member).signedIn);
    EXPECT_TRUE(ClassifyCompletedDocument(site, "http://x/MEMBER/Index.ASP?a=1", "").signedIn);
    EXPECT_FALSE(ClassifyCompletedDocument(site, site.signInUrl(), member).signedIn);

    const auto print = ClassifyCompletedDocument(
        site, member, "http://MGMT.example:8802/Member/Main/Print.asp?id=7");
    EXPECT_TRUE(print.signedIn);
    EXPECT_TRUE(print.printPage);
    EXPECT_FALSE(site.isPrintPage("http://mgmt.example:8802/member/main/print.asp"));
    EXPECT_FALSE(site.isPrintPage("http://mgmt.example:8802/member/main/printx.asp?a"));
    EXPECT_FALSE(site.isPrintPage("http://elsewhere/member/main/print.asp?a"));
}
