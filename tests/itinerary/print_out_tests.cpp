#include "itinerary/print_out.h"
#include "support/recording_surface.h"

#include <gtest/gtest.h>

using namespace itin;
using support::DrawnText;
using support::RecordedPage;
using support::RecordingSurface;

namespace {

PrintSettings fonts() {
    PrintSettings s;
    s.fonttype1 = QStringLiteral("宋体");
    s.fontsize1 = 18;
    s.bold1 = true;
    s.fonttype2 = "Arial";
    s.fontsize2 = 13;
    s.italic2 = true;
    s.strikethrough2 = true;
    return s;
}

class PrintOut : public ::testing::Test {
protected:
    ItineraryRecord record;
    PrintFormState formState;
    PrintSettings settings = fonts();
    common::RecordingMessages messages;
    RecordingSurface surface;

    void SetUp() override {
        record.setField(PnrQuery, "HX3K8M");
        record.setField(CheckCode, "0041");
        record.setField(PassengerName, QStringLiteral("张三"));
        record.setField(City1, QStringLiteral("北京首都   T3"));
        record.setField(City5, "VOID");
        record.setField(XtTax, "XT 12.00");
        record.setField(Flight4, "MU5101");
    }
    bool print(const QString& leftr = "0", const QString& topb = "0") {
        return PrintItinerary(record, formState, settings, leftr, topb, messages, surface);
    }
    const DrawnText& drawn(const QString& text) {
        static DrawnText none;
        const DrawnText* t = surface.pages.isEmpty() ? nullptr : surface.pages.last().find(text);
        EXPECT_NE(t, nullptr) << text.toStdString();
        return t ? *t : none;
    }
};

} // namespace

TEST(PrintLayoutTable, CoversEveryPrintedFieldOnceInPrintOrder) {
    const auto& layout = PrintLayout();
    EXPECT_EQ(layout.size(), 18 + 4 * 10 + 1);
    QList<int> seen;
    for (const LayoutItem& item : layout) {
        if (item.field >= 0) {
            EXPECT_FALSE(seen.contains(item.field)) << item.field;
            seen << item.field;
        }
    }
    // Every field but PnrQuery (4) is printed.
    EXPECT_EQ(seen.size(), kFieldCount - 1);
    EXPECT_FALSE(seen.contains(PnrQuery));
    EXPECT_EQ(layout.last().field, City5);
    // Row 4 runs backwards through the indices; its baggage is printed last in the row.
    const auto row4 = std::find_if(layout.begin(), layout.end(),
                                   [](const LayoutItem& i) { return i.field == City4; });
    EXPECT_EQ((row4 + 1)->field, Carrier4);
    EXPECT_EQ((row4 + 9)->field, Baggage4);
    EXPECT_EQ((row4 + 9)->dx, 10200);
    EXPECT_EQ((row4 + 9)->dy, 3000);
}

TEST(PrintOriginTest, MillimetresToTwipsRoundedHalfToEven) {
    EXPECT_EQ(PrintOrigin("0", "0"), QPoint(840, 340));
    EXPECT_EQ(PrintOrigin(QStringLiteral("2 毫米"), "-1"), QPoint(953, 283)); // 113.4, -56.7
    EXPECT_EQ(PrintOrigin("", ""), QPoint(840, 340));
    // 5 mm is 283.5 twips: half to even gives 284, -5 mm gives -284.
    EXPECT_EQ(PrintOrigin("5", "-5"), QPoint(840 + 284, 340 - 284));
    // 15 mm is 850.5 twips: 850.
    EXPECT_EQ(PrintOrigin("15", "0")->x(), 840 + 850);
}

TEST(PrintOriginTest, PositionsOutsideTheSixteenBitRangeAreRefused) {
    EXPECT_TRUE(PrintOrigin("380", "490").has_value()); // x 32586, y 32383
    EXPECT_FALSE(PrintOrigin("400", "0").has_value());  // 10200 + 840 + 22680 > 32767
    EXPECT_FALSE(PrintOrigin("0", "580").has_value());  // 4260 + 340 + 32886
    EXPECT_FALSE(PrintOrigin("-600", "0").has_value()); // origin itself below -32768
    EXPECT_FALSE(PrintOrigin("1e30", "0").has_value());
    EXPECT_TRUE(PrintOrigin("-560", "-570").has_value());
}

TEST(CheckCodeAdvance, PadsCutsAndLeavesNonNumbersAlone) {
    const std::pair<const char*, const char*> cases[] = {
        {"0041", "0042"},  {"0999", "1000"}, {"9999", "1000"}, {"12", "0013"},
        {"0007", "0008"},  {"0", "0001"},    {" 41 ", "0042"}, {"12345", "1234"},
        {"99998", "9999"}, {"99999", ""},    {"123456", ""},   {"0000000041", "0042"},
        {"12a", "12a"},    {"abcd", "abcd"}, {"-5", "-5"},     {"4.5", "4.5"},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(AdvanceCheckCode(in), QString::fromLatin1(out)) << in;
}

TEST_F(PrintOut, FieldsAtOriginPlusDisplacement) {
    ASSERT_TRUE(print());
    ASSERT_EQ(surface.pages.size(), 1);
    EXPECT_EQ(drawn(QStringLiteral("张三")).x, 1040);
    EXPECT_EQ(drawn(QStringLiteral("张三")).y, 740);
    EXPECT_EQ(drawn("VOID").x, 1040);
    EXPECT_EQ(drawn("VOID").y, 3740);
    EXPECT_EQ(drawn(QStringLiteral("北京首都   T3")).y, 340 + 1400);
    EXPECT_EQ(drawn("MU5101").x, 840 + 2720);
    EXPECT_EQ(drawn("MU5101").y, 340 + 3000);
    EXPECT_EQ(drawn("0041").x, 840 + 3820); // printed before it advanced
    EXPECT_EQ(record.field(CheckCode), "0042");
}

TEST_F(PrintOut, OffsetsShiftEveryField) {
    ASSERT_TRUE(print());
    const RecordedPage base = surface.pages.last();
    ASSERT_TRUE(print(QStringLiteral("2 毫米"), "-1"));
    const RecordedPage moved = surface.pages.last();
    ASSERT_EQ(base.texts.size(), moved.texts.size());
    for (qsizetype i = 0; i < base.texts.size(); ++i) {
        if (base.texts[i].text == "0041") continue; // the check code has advanced
        EXPECT_EQ(moved.texts[i].x - base.texts[i].x, 113) << base.texts[i].text.toStdString();
        EXPECT_EQ(moved.texts[i].y - base.texts[i].y, -57) << base.texts[i].text.toStdString();
    }
}

TEST_F(PrintOut, MarkAndOtherTaxesOnlyInInternationalMode) {
    ASSERT_TRUE(print());
    EXPECT_EQ(surface.pages.last().find(InternationalMark()), nullptr);
    EXPECT_EQ(surface.pages.last().find("XT 12.00"), nullptr);

    formState.printMode = International;
    ASSERT_TRUE(print());
    EXPECT_EQ(drawn(InternationalMark()).x, 840 + 1400);
    EXPECT_EQ(drawn(InternationalMark()).y, 340 - 100);
    EXPECT_EQ(drawn("XT 12.00").x, 840 + 6640);
    EXPECT_EQ(surface.pages.last().texts.first().text, InternationalMark());
}

TEST_F(PrintOut, FontSetChosenByTheFirstCharacter) {
    record.setField(Notice, QStringLiteral("E票 电子"));         // ASCII first: set 2
    record.setField(Endorsement, QStringLiteral("不得签转ABC")); // Chinese first: set 1
    record.setField(PassengerName, "ZHANG/SAN");
    ASSERT_TRUE(print());
    const DrawnText& notice = drawn(QStringLiteral("E票 电子"));
    EXPECT_EQ(notice.face, "Arial");
    EXPECT_EQ(notice.size, 13);
    EXPECT_TRUE(notice.italic && notice.strikethrough && !notice.bold);
    const DrawnText& route = drawn(QStringLiteral("北京首都   T3"));
    EXPECT_EQ(route.face, QStringLiteral("宋体"));
    EXPECT_EQ(route.size, 18);
    EXPECT_TRUE(route.bold && !route.italic && !route.strikethrough);
    EXPECT_EQ(drawn(QStringLiteral("不得签转ABC")).face, QStringLiteral("宋体"));
    EXPECT_EQ(drawn("ZHANG/SAN").face, "Arial");
}

TEST_F(PrintOut, StylesAppliedInOrderAndEmptyFieldsDrawNothing) {
    for (int i = 0; i < kFieldCount; ++i)
        if (i != PnrQuery && i != PnrCode && i != CheckCode) record.setField(i, QString());
    ASSERT_TRUE(print());
    // PnrCode (kept equal to PnrQuery) and CheckCode are the only texts.
    EXPECT_EQ(surface.calls, QStringList({"begin", "name", "size", "underline", "bold", "italic",
                                          "strikethrough", "draw", "name", "size", "underline",
                                          "bold", "italic", "strikethrough", "draw", "end"}));
    EXPECT_EQ(surface.pages.last().texts.size(), 2);
    EXPECT_EQ(drawn("HX3K8M").x, 840 + 100);
}

TEST_F(PrintOut, RefusalsPrintNothingAndKeepTheCheckCode) {
    record.setField(PnrQuery, "");
    record.setField(PnrCode, "");
    EXPECT_FALSE(print());
    record.setField(PnrQuery, "HX3K8M");
    record.setField(CheckCode, "   ");
    EXPECT_FALSE(print());
    record.setField(CheckCode, "0041");
    EXPECT_FALSE(print("600", "0"));
    ASSERT_EQ(messages.shown.size(), 3);
    EXPECT_EQ(messages.shown[0], (common::ShownMessage{QStringLiteral("请填写PNR"), "print"}));
    EXPECT_EQ(messages.shown[1].text, QStringLiteral("请填写验证码!"));
    EXPECT_TRUE(messages.shown[2].text.contains(QStringLiteral("偏移")));
    EXPECT_TRUE(surface.calls.isEmpty());
    EXPECT_EQ(record.field(CheckCode), "0041");
}

TEST_F(PrintOut, PrinterFailuresAreReportedAndKeepTheCheckCode) {
    surface.refuseBegin = true;
    surface.failure = QStringLiteral("没有找到默认打印机，请先安装打印机");
    EXPECT_FALSE(print());
    EXPECT_EQ(surface.calls, QStringList({"begin"}));
    surface.refuseBegin = false;
    surface.refuseEnd = true;
    EXPECT_FALSE(print());
    ASSERT_EQ(messages.shown.size(), 2);
    EXPECT_EQ(messages.shown[0].text, surface.failure);
    EXPECT_TRUE(surface.pages.isEmpty());
    EXPECT_EQ(record.field(CheckCode), "0041");
    surface.refuseEnd = false;
    EXPECT_TRUE(print());
    EXPECT_EQ(record.field(CheckCode), "0042");
}

TEST_F(PrintOut, NonNumericCheckCodeStaysAfterPrinting) {
    record.setField(CheckCode, "AB12");
    ASSERT_TRUE(print());
    EXPECT_EQ(record.field(CheckCode), "AB12");
}
