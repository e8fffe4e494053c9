#include "common/deploy_config.h"
#include "shell/cipher_key_table.h"
#include "shell/enrolment_sql.h"
#include "shell/vendor_codec.h"

#include "common/code_page.h"

#include <gtest/gtest.h>

using namespace shell;

namespace {

CipherKeyTable defaultTable() {
    return *CipherKeyTable::parse(common::DeployConfig().value(QStringLiteral("CipherKeyTable")));
}

} // namespace

TEST(UrlEncodeGbk, EscapesDigitsAndSeparatorsKeepsLettersAndBlanksBecomePlus) {
    EXPECT_EQ(UrlEncodeGbk(QStringLiteral("s=2&u=a")), QStringLiteral("s%3D%32%26u%3Da"));
    EXPECT_EQ(UrlEncodeGbk(QStringLiteral("a b+c%")), QStringLiteral("a+b%2Bc%25"));
    EXPECT_EQ(UrlEncodeGbk(QStringLiteral("2026/3/1 9:00:00")),
              QStringLiteral("%32%30%32%36%2F%33%2F%31+%39%3A%30%30%3A%30%30"));
    // 啊 is B0 A1 in the code page; a control character keeps two hex digits.
    EXPECT_EQ(UrlEncodeGbk(QStringLiteral("啊")), QStringLiteral("%B0%A1"));
    EXPECT_EQ(UrlEncodeGbk(QStringLiteral("\t'")), QStringLiteral("%09%27"));
    EXPECT_EQ(UrlEncodeGbk(QString()), QString());
}

TEST(CipherKeyTable, AcceptsTenPermutationsAndRefusesAnythingElse) {
    const QString good = common::DeployConfig().value(QStringLiteral("CipherKeyTable"));
    ASSERT_TRUE(CipherKeyTable::parse(good).has_value());
    QString joined = good;
    joined.remove(QLatin1Char(';'));
    EXPECT_TRUE(CipherKeyTable::parse(joined).has_value()) << "one piece";
    QString lines = good;
    lines.replace(QLatin1Char(';'), QStringLiteral("\r\n"));
    EXPECT_TRUE(CipherKeyTable::parse(lines).has_value()) << "one row per line";

    QString error;
    EXPECT_FALSE(CipherKeyTable::parse(QString(), &error));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(CipherKeyTable::parse(joined.left(558))); // nine rows
    QString repeated = joined;
    repeated[5] = repeated[6]; // row 1 holds a character twice and misses one
    error.clear();
    EXPECT_FALSE(CipherKeyTable::parse(repeated, &error));
    EXPECT_TRUE(error.contains(QStringLiteral("row 1")));
    QString foreign = joined;
    foreign[100] = QLatin1Char('-');
    EXPECT_FALSE(CipherKeyTable::parse(foreign));
}

TEST(EncipherWithRow, SubstitutesAlphanumericsOnlyAndPrefixesRowAndFiller) {
    const CipherKeyTable t = defaultTable();
    const QString plain = UrlEncodeGbk(QStringLiteral("s=2&u=a b+啊"));
    for (int row = 0; row < 10; ++row) {
        bool ok = false;
        const QString out = EncipherWithRow(plain, t, row, 62, &ok);
        ASSERT_TRUE(ok);
        const QString prefix = QLatin1Char('%') + QString::number(row + 1) + QLatin1Char('Z');
        ASSERT_TRUE(out.startsWith(prefix)) << out.toStdString();
        const QString body = out.mid(prefix.size());
        ASSERT_EQ(body.size(), plain.size());
        for (qsizetype i = 0; i < plain.size(); ++i) {
            if (plain[i] == QLatin1Char('%') || plain[i] == QLatin1Char('+'))
                EXPECT_EQ(body[i], plain[i]);
            else
                EXPECT_EQ(body[i], t.row(row)[CipherAlphabet().indexOf(plain[i])]);
        }
        // Same row, same input: the same substituted part whatever the filler.
        EXPECT_EQ(EncipherWithRow(plain, t, row, 1).mid(prefix.size()), body);
    }
    bool ok = true;
    EXPECT_TRUE(EncipherWithRow(QStringLiteral("a-b"), t, 0, 1, &ok).isEmpty());
    EXPECT_FALSE(ok);
}

TEST(ResultCodeMessage, MapsTheNineCodesExactlyAndPassesAnythingElse) {
    EXPECT_EQ(ResultCodeMessage(QStringLiteral("009")), QStringLiteral("用户名或密码错误"));
    EXPECT_EQ(ResultCodeMessage(QStringLiteral("001")), QStringLiteral("用户名太短"));
    EXPECT_EQ(ResultCodeMessage(QStringLiteral("006")), QStringLiteral("解密错误"));
    for (const char* other : {"010", "09", "0090", "009 "})
        EXPECT_EQ(ResultCodeMessage(QString::fromLatin1(other)), QString::fromLatin1(other));
    EXPECT_EQ(ResultCodeMessage(QString()), QStringLiteral("连接服务器失败，请检查网络！"));
}

TEST(HexByte, ReadsExactlyTwoHexDigitsAroundBlanks) {
    EXPECT_EQ(HexByte(QStringLiteral("41")), 0x41);
    EXPECT_EQ(HexByte(QStringLiteral("fF")), 255);
    EXPECT_EQ(HexByte(QStringLiteral(" B0 ")), 0xB0);
    for (const char* bad : {"4G", "4", " 4", "4 ", "", "+F", "-1", "0x", "123", "\t4"})
        EXPECT_EQ(HexByte(QString::fromLatin1(bad)), -1) << bad;
}

TEST(UrlDecodeAuto, PlainAsciiAndMalformedEscapes) {
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("abc")), QStringLiteral("abc"));
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%41%42")), QStringLiteral("AB"));
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("a+b%2Cc")), QStringLiteral("a b,c"));
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("x%41yz")), QStringLiteral("xAyz"));
    // A "%" that starts no escape is dropped and what follows is kept, last one included.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("50%zz")), QStringLiteral("50zz"));
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("a%0Ab")), QStringLiteral("a0Ab"));
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%")), QStringLiteral("%"));
}

TEST(UrlDecodeAuto, TellsUtf8FromGbkByTheFirstHighByte) {
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%E4%B8%AD")), QString(QChar(0x4E2D)));
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%E4%B8%AD%E6%96%87+ok")), QStringLiteral("中文 ok"));
    // D6 D0 is 中 in GBK; D0 is no UTF-8 continuation byte, so the text is GBK.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%D6%D0%CE%C4")), QStringLiteral("中文"));
    const QString gbkName = QStringLiteral("东方航空");
    QString escaped;
    for (char b : common::ToGbk(gbkName))
        escaped += QStringLiteral("%%1").arg(uchar(b), 2, 16, QLatin1Char('0')).toUpper();
    EXPECT_EQ(UrlDecodeAuto(escaped), gbkName);
    // A four-byte UTF-8 sequence.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%F0%9F%98%80")), QString::fromUtf8("\xF0\x9F\x98\x80"));
    // A trail byte written as a plain character after the lead escape.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%B0@")), common::FromGbk("\xB0@"));
}

TEST(UrlDecodeAuto, TwoByteCandidateWaitsForTheNextHighByteThenRestarts) {
    // C3 A9 is é in UTF-8 and 萌-like GBK; alone it stays code-page text.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%C3%A9")), common::FromGbk("\xC3\xA9"));
    // A following three-byte UTF-8 sequence decides UTF-8 and the text is decoded again.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("x%C3%A9-%E4%B8%AD")), QStringLiteral("xé-中"));
    // A following GBK pair decides the code page; the restart gives the same text.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%C3%A9%D6%D0")), common::FromGbk("\xC3\xA9\xD6\xD0"));
    // Two two-byte candidates in a row stay undecided: code-page text.
    EXPECT_EQ(UrlDecodeAuto(QStringLiteral("%C3%A9%C3%A9")), common::FromGbk("\xC3\xA9\xC3\xA9"));
}

TEST(EnrolmentSql, QuotesAreDoubledSoAValueStaysOneValue) {
    CompanyDetails d;
    d.name = QStringLiteral("O'Hare 旅行社");
    d.shortName = QStringLiteral("OH");
    d.contact = QStringLiteral("张三");
    d.mobile = QStringLiteral("13600000000");
    d.email = QStringLiteral("x'); drop table B_admin; --");
    const QString company = CompanyUpdateSql(d);
    EXPECT_TRUE(company.startsWith(
        QStringLiteral("update B_admin set Com_Name='O''Hare 旅行社',Com_nName='OH',com_tel='',")));
    EXPECT_TRUE(company.endsWith(QStringLiteral(
        ",com_email='x''); drop table B_admin; --' where UserName='session_com_username'")));
    EXPECT_EQ(StaffUpdateSql(d),
              QStringLiteral("update B_staff set realname='张三',tel='',mob='13600000000',"
                             "email='x''); drop table B_admin; --' where "
                             "com_UserName='session_com_username' and "
                             "username='session_sta_username'"));
}

TEST(EnrolmentSql, CompanyRecordColumnsAreDecodedAndPlaced) {
    const QString reply = QStringLiteral(
        "1;7,acme01,pw,%D6%D0%B9%FA%C2%C3%D0%D0,%E4%B8%AD%E6%97%85,Li+Si,%C3%A9,13600000000,"
        "010-1,,a%40b.cn,Road+1");
    const CompanyDetails d = CompanyFromColumns(CompanyRecordColumns(reply));
    EXPECT_EQ(d.name, QStringLiteral("中国旅行"));
    EXPECT_EQ(d.shortName, QStringLiteral("中旅"));
    EXPECT_EQ(d.contact, QStringLiteral("Li Si"));
    EXPECT_EQ(d.mobile, QStringLiteral("13600000000"));
    EXPECT_EQ(d.tel, QStringLiteral("010-1"));
    EXPECT_EQ(d.fax, QString());
    EXPECT_EQ(d.email, QStringLiteral("a@b.cn"));
    EXPECT_EQ(d.address, QStringLiteral("Road 1"));
    EXPECT_TRUE(CompanyRecordColumns(QStringLiteral("1")).isEmpty());
    const CompanyDetails shortRow =
        CompanyFromColumns(CompanyRecordColumns(QStringLiteral("1;a,b,c,Name")));
    EXPECT_EQ(shortRow.name, QStringLiteral("Name"));
    EXPECT_TRUE(shortRow.address.isEmpty());
}
