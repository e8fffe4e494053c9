// The displayed text of numbers, dates and times under format codes, and the value texts.
#include "import/workbook/number_format.h"

#include <gtest/gtest.h>

using namespace wbook;

namespace {

double timeSerial(int h, int m, int s = 0) {
    return (h * 3600 + m * 60 + s) / 86400.0;
}
double dateSerial(int y, int mo, int d) {
    return double(QDate(1899, 12, 30).daysTo(QDate(y, mo, d)));
}

struct Case {
    double value;
    const char* code;
    const char* shown;
};

void expectAll(const std::vector<Case>& cases) {
    for (const Case& c : cases)
        EXPECT_EQ(FormatNumber(c.value, QString::fromUtf8(c.code), false),
                  QString::fromUtf8(c.shown))
            << c.code << " with " << c.value;
}

} // namespace

TEST(NumberFormat, TimesShowAsFormatted) {
    const double t0830 = timeSerial(8, 30);
    const double t1405 = timeSerial(14, 5, 9);
    expectAll({
        {t0830, "hh:mm", "08:30"},
        {t0830, "h:mm", "8:30"},
        {t0830, "HH:MM", "08:30"},
        {t1405, "h\"时\"mm\"分\"", "14时05分"},
        {t1405, "h:mm:ss", "14:05:09"},
        {t1405, "h:mm AM/PM", "2:05 PM"},
        {t0830, "h:mm A/P", "8:30 A"},
        {t1405, "上午/下午h\"时\"mm\"分\"", "下午2时05分"},
        {timeSerial(0, 15), "mm:ss", "15:00"},                   // m before s is minutes
        {1.5, "[h]:mm", "36:00"},                                // elapsed hours
        {timeSerial(8, 29, 59) + 0.7 / 86400, "hh:mm", "08:30"}, // rounded to the second
        {timeSerial(8, 30, 0) + 0.25 / 86400, "ss.00", "00.25"},
        {dateSerial(2026, 3, 12) + t0830, "hh:mm", "08:30"}, // date part ignored
    });
}

TEST(NumberFormat, DatesShowAsFormatted) {
    const double d = dateSerial(2026, 3, 12);
    expectAll({
        {d, "yyyy-mm-dd", "2026-03-12"},
        {d, "yyyy/m/d", "2026/3/12"},
        {d, "yy-m-d", "26-3-12"},
        {d, "yyyy\"年\"m\"月\"d\"日\"", "2026年3月12日"},
        {d, "mmmm", "三月"},
        {d, "[$-409]mmm d, yyyy", "Mar 12, 2026"},
        {d, "dddd", "星期四"},
        {d + timeSerial(14, 5), "yyyy/m/d h:mm", "2026/3/12 14:05"},
        {d, "yyyy\\-mm", "2026-03"},
        {-1, "yyyy-mm-dd", "########"},
    });
    EXPECT_EQ(FormatNumber(0, QStringLiteral("yyyy-mm-dd"), true), QStringLiteral("1904-01-01"));
}

TEST(NumberFormat, BuiltInFormatsOfTheChineseDesktop) {
    const double d = dateSerial(2026, 3, 12) + timeSerial(8, 30);
    EXPECT_EQ(FormatNumber(d, BuiltinFormatCode(14), false), QStringLiteral("2026/3/12"));
    EXPECT_EQ(FormatNumber(d, BuiltinFormatCode(20), false), QStringLiteral("8:30"));
    EXPECT_EQ(FormatNumber(d, BuiltinFormatCode(32), false), QStringLiteral("8时30分"));
    EXPECT_EQ(FormatNumber(d, BuiltinFormatCode(31), false), QStringLiteral("2026年3月12日"));
    EXPECT_TRUE(BuiltinFormatCode(163).isEmpty());
}

TEST(NumberFormat, NumbersShowAsFormatted) {
    expectAll({
        {1130, "", "1130"},
        {1130, "General", "1130"},
        {0.1 + 0.2, "General", "0.3"},
        {123456789012.0, "General", "1.23457E+11"},
        {3.14159265358979, "General", "3.141592654"},
        {1130, "0.00", "1130.00"},
        {1234567, "#,##0", "1,234,567"},
        {1234567.891, "#,##0.00", "1,234,567.89"},
        {0.256, "0%", "26%"},
        {-1.26, "0.0", "-1.3"},
        {-5, "0;(0)", "(5)"},
        {0, "0;-0;\"-\"", "-"},
        {12345, "0.00E+00", "1.23E+04"},
        {1.5, "#.##", "1.5"},
        {0.5, "#.00", ".50"},
        {1234, "000000", "001234"},
        {12345678, "000-00000", "123-45678"},
        {1500000, "#,##0,", "1,500"},
        {1130, "\"¥\"#,##0.00", "¥1,130.00"},
        {1130, "[$¥-804]#,##0", "¥1,130"},
        {1130, "[Red]0", "1130"},
        {42, "0_);(0)", "42 "},
        // Past the range of a double once scaled, or near its bottom: never "inf".
        {1e306, "0%%%", "#NUM!"},
        {1e306, "0.00E+00%%", "#NUM!"},
        {5e-324, "0.0E+00", "4.9E-324"},
        {1e300, "yyyy-mm-dd", "########"},
    });
}

TEST(NumberFormat, TextCells) {
    EXPECT_EQ(FormatText(QStringLiteral("O'Neil"), QString()), QStringLiteral("O'Neil"));
    EXPECT_EQ(FormatText(QStringLiteral("abc"), QStringLiteral("@")), QStringLiteral("abc"));
    EXPECT_EQ(FormatText(QStringLiteral("abc"), QStringLiteral("0;0;0;\"T:\"@")),
              QStringLiteral("T:abc"));
    EXPECT_EQ(FormatText(QStringLiteral("abc"), QStringLiteral("hh:mm")), QStringLiteral("abc"));
}

TEST(NumberFormat, WhichCodesAreDates) {
    for (const char* code : {"yyyy-mm-dd", "h:mm", "[h]:mm", "mm:ss", "d-mmm", "上午/下午h\"时\""})
        EXPECT_TRUE(IsDateTimeFormat(QString::fromUtf8(code))) << code;
    for (const char* code :
         {"", "General", "0.00E+00", "[Red]0.00", "\"h\"0", "#,##0;[Red]-#,##0", "@", "\\d0"})
        EXPECT_FALSE(IsDateTimeFormat(QString::fromUtf8(code))) << code;
}

TEST(NumberFormat, SerialsCountFromTheWorkbookEpoch) {
    EXPECT_EQ(SerialToDateTime(1, false).date(), QDate(1900, 1, 1));
    EXPECT_EQ(SerialToDateTime(59, false).date(), QDate(1900, 2, 28));
    EXPECT_EQ(SerialToDateTime(61, false).date(), QDate(1900, 3, 1));
    EXPECT_EQ(SerialToDateTime(dateSerial(2026, 3, 12), false).date(), QDate(2026, 3, 12));
    EXPECT_EQ(SerialToDateTime(0, true).date(), QDate(1904, 1, 1));
    EXPECT_EQ(SerialToDateTime(0.5, false).time(), QTime(12, 0));
    EXPECT_FALSE(SerialToDateTime(-1, false).isValid());
    EXPECT_FALSE(SerialToDateTime(1e12, false).isValid());
}

TEST(NumberFormat, ValueTexts) {
    EXPECT_EQ(ValueText(7812345678901.0), QStringLiteral("7812345678901"));
    EXPECT_EQ(ValueText(1130), QStringLiteral("1130"));
    EXPECT_EQ(ValueText(1130.5), QStringLiteral("1130.5"));
    EXPECT_EQ(ValueText(0.1 + 0.2), QStringLiteral("0.3"));
    EXPECT_EQ(ValueText(-0.0), QStringLiteral("0"));
    EXPECT_EQ(ValueText(1e20), QStringLiteral("1E+20"));
    const double d = dateSerial(2026, 3, 12);
    EXPECT_EQ(DateValueText(d, false), QStringLiteral("2026/3/12"));
    EXPECT_EQ(DateValueText(timeSerial(8, 30), false), QStringLiteral("8:30:00"));
    EXPECT_EQ(DateValueText(d + timeSerial(8, 30), false), QStringLiteral("2026/3/12 8:30:00"));
    EXPECT_EQ(DateValueText(0, true), QStringLiteral("1904/1/1"));
}
