// Update list parsing and selection, sizes, folder tokens.
#include "update/folder_tokens.h"
#include "update/format_size.h"
#include "update/update_list.h"

#include <QDir>
#include <QSet>

#include <gtest/gtest.h>

using namespace upd;

namespace {

QString element(const QString& surl, const QString& to, const QString& fg, const QString& zc,
                const QString& date) {
    return QStringLiteral("<file surl=\"%1\" to=\"%2\" fg=\"%3\" zc=\"%4\" date=\"%5\" />\r\n")
        .arg(surl, to, fg, zc, date);
}

QList<UpdateRow> select(const QString& text, const QString& last, QSet<QString> existing = {}) {
    SelectionInputs in;
    in.lastUpdate = ParseListDate(last);
    in.resolveTarget = [](const QString& to) {
        return ResolveTargetInside(to,
                                   FixedFolders(QStringLiteral("/opt/app"), QStringLiteral("/sys"),
                                                QStringLiteral("/fonts")));
    };
    in.fileExists = [existing](const QString& p) { return existing.contains(p); };
    return SelectUpdateRows(text, in);
}

} // namespace

TEST(ListAttribute, ValueEndsAtFirstQuoteAndNamesAreCaseSensitive) {
    const QString e =
        QStringLiteral(R"( date="2026-1-2 3:04:05" SURL="X" surl="http://h/a"b" to="t")");
    EXPECT_EQ(GetListAttribute(e, QStringLiteral("surl")), QStringLiteral("http://h/a"));
    EXPECT_EQ(GetListAttribute(e, QStringLiteral("SURL")), QStringLiteral("X"));
    EXPECT_EQ(GetListAttribute(e, QStringLiteral("date")), QStringLiteral("2026-1-2 3:04:05"));
    EXPECT_EQ(GetListAttribute(e, QStringLiteral("zc")), QString());
    EXPECT_FALSE(FindListAttribute(e, QStringLiteral("zc")).has_value());
    // A value that is never closed is no value.
    EXPECT_FALSE(FindListAttribute(QStringLiteral(R"(to="open)"), QStringLiteral("to")));
    // The first occurrence wins, even inside another attribute's name.
    EXPECT_EQ(GetListAttribute(QStringLiteral(R"(xto="1" to="2")"), QStringLiteral("to")),
              QStringLiteral("1"));
}

TEST(ListDate, ReadsTheDesktopForms) {
    EXPECT_EQ(ParseListDate(QStringLiteral("2026-12-7 5:46:09")),
              QDateTime(QDate(2026, 12, 7), QTime(5, 46, 9)));
    EXPECT_EQ(ParseListDate(QStringLiteral("2026/12/7 5:46:09")),
              QDateTime(QDate(2026, 12, 7), QTime(5, 46, 9)));
    EXPECT_EQ(ParseListDate(QStringLiteral("2026/1/2")), QDateTime(QDate(2026, 1, 2), QTime(0, 0)));
    EXPECT_EQ(ParseListDate(QStringLiteral("2026-01-02T10:20")),
              QDateTime(QDate(2026, 1, 2), QTime(10, 20)));
    EXPECT_FALSE(ParseListDate(QStringLiteral("2026-2-30 1:00:00")).isValid());
    EXPECT_FALSE(ParseListDate(QStringLiteral("yesterday")).isValid());
    EXPECT_FALSE(ParseListDate(QString()).isValid());
}

TEST(Selection, OnlyFilesNewerThanTheLastRunBySecond) {
    const QString list = QStringLiteral("<files>") +
                         element("http://h/1", "{app}\\a.dll", "0", "0", "2026-3-1 8:00:00") +
                         element("http://h/2", "{app}\\b.dll", "0", "0", "2026-3-1 9:00:00") +
                         element("http://h/3", "{app}\\c.dll", "0", "1", "2026-3-1 9:00:01") +
                         QStringLiteral("</files>");
    const auto rows = select(list, QStringLiteral("2026/3/1 9:00:00"));
    ASSERT_EQ(rows.size(), 1);
    EXPECT_EQ(rows[0], (UpdateRow{"http://h/3", "/opt/app/c.dll", "0", "1", "2026-3-1 9:00:01", "",
                                  "{app}\\c.dll"}));
    EXPECT_EQ(rows[0].registerFlag(), 1);
    // Only the number 1 registers, however the value is written.
    for (const char* zc : {"1e10", "-1e300", "1e400", "nan", "2", "0.5"}) {
        UpdateRow row;
        row.zc = QString::fromLatin1(zc);
        EXPECT_EQ(row.registerFlag(), 0) << zc;
    }
    UpdateRow one;
    one.zc = QStringLiteral("1.0");
    EXPECT_EQ(one.registerFlag(), 1);
    const auto hashed = select(QStringLiteral("<file surl=\"u\" to=\"{app}\\x\" fg=\"0\" zc=\"0\" "
                                              "date=\"2026-3-2\" sha256=\"AB12\">"),
                               QStringLiteral("2026/3/1 9:00:00"));
    ASSERT_EQ(hashed.size(), 1);
    EXPECT_EQ(hashed[0].sha256, QStringLiteral("AB12"));
}

TEST(Selection, ExistingTargetKeptUnlessFgIsZero) {
    const QSet<QString> existing{QStringLiteral("/opt/app/print.exe")};
    const QString last = QString::fromLatin1(kNoLastUpdate);
    EXPECT_TRUE(
        select(element("u", "{app}\\print.exe", "1", "0", "2026-3-1"), last, existing).isEmpty());
    EXPECT_TRUE(
        select(element("u", "{app}\\print.exe", " 0", "0", "2026-3-1"), last, existing).isEmpty());
    EXPECT_EQ(select(element("u", "{app}\\print.exe", "0", "0", "2026-3-1"), last, existing).size(),
              1);
    // fg 1 writes a missing file.
    EXPECT_EQ(select(element("u", "{app}\\new.dll", "1", "0", "2026-3-1"), last, existing).size(),
              1);
}

TEST(Selection, NothingFromEmptyOrForeignReplies) {
    const QString last = QString::fromLatin1(kNoLastUpdate);
    EXPECT_TRUE(select(QString(), last).isEmpty());
    EXPECT_TRUE(select(QStringLiteral("<html>服务器维护中</html>"), last).isEmpty());
    // Text before the first element is not an element.
    EXPECT_TRUE(
        select(QStringLiteral(R"(surl="u" to="t" fg="0" zc="0" date="2026-1-1")"), last).isEmpty());
}

TEST(Selection, AttributeOrderFreeAndIncompleteElementsSkipped) {
    const QString list = QStringLiteral(
        R"(<file date="2026-5-1 1:00:00" zc="0" fg="0" to="{font}\x.ttf" surl="http://h/x">)"
        R"(<file surl="http://h/y" to="{sys}\y.dll" fg="0" date="2026-5-1">)"
        R"(<file surl="http://h/z" to="{sys}\z.dll" fg="0" zc="1" date="soon">)"
        R"(<file surl="http://h/a,b" to="{app}\w;1.dat" fg="0" zc="1" date="2026-5-1">)");
    const auto rows = select(list, QString::fromLatin1(kNoLastUpdate));
    ASSERT_EQ(rows.size(), 2);
    EXPECT_EQ(rows[0].surl, QStringLiteral("http://h/x"));
    EXPECT_EQ(rows[0].to, QStringLiteral("/fonts/x.ttf"));
    // Commas and semicolons stay inside their values.
    EXPECT_EQ(rows[1].surl, QStringLiteral("http://h/a,b"));
    EXPECT_EQ(rows[1].to, QStringLiteral("/opt/app/w;1.dat"));
}

TEST(FormatSizeText, Borders) {
    EXPECT_EQ(FormatSize(0), QStringLiteral("0b"));
    EXPECT_EQ(FormatSize(1023), QStringLiteral("1023b"));
    EXPECT_EQ(FormatSize(1024), QStringLiteral("1k"));
    EXPECT_EQ(FormatSize(1048575), QStringLiteral("1023k"));
    EXPECT_EQ(FormatSize(1048576), QStringLiteral("1M"));
    EXPECT_EQ(FormatSize(1500000), QStringLiteral("1.4M"));
    EXPECT_EQ(FormatSize(2097152), QStringLiteral("2M"));
    // 1.25 rounds up, as the desktop's number format does.
    EXPECT_EQ(FormatSize(1310720), QStringLiteral("1.3M"));
    EXPECT_EQ(FormatSize(536870911), QStringLiteral("512M"));
    EXPECT_EQ(FormatSize(536870912), QStringLiteral("0.5G"));
    EXPECT_EQ(FormatSize(600LL * 1048576), QStringLiteral("0.6G"));
    EXPECT_EQ(FormatSize(2147483647), QStringLiteral("2G"));
    EXPECT_EQ(FormatSize(1100LL * 1024 * 1048576), QStringLiteral("1,100G"));
}

TEST(FolderTokens, ReplacesEveryTokenAndSeparators) {
    const FixedFolders f(QStringLiteral("/opt/app/"), QStringLiteral("/usr/lib"),
                         QStringLiteral("/home/a/.local/share/fonts"));
    EXPECT_EQ(ResolveFolderTokens(QStringLiteral("{app}\\print.exe"), f),
              QStringLiteral("/opt/app/print.exe"));
    EXPECT_EQ(ResolveFolderTokens(QStringLiteral("{sys}\\x.ocx"), f),
              QStringLiteral("/usr/lib/x.ocx"));
    EXPECT_EQ(ResolveFolderTokens(QStringLiteral("{font}\\a.ttf|{font}\\b.ttf"), f),
              QStringLiteral("/home/a/.local/share/fonts/a.ttf|/home/a/.local/share/fonts/b.ttf"));
    EXPECT_EQ(ResolveFolderTokens(QStringLiteral("/plain/path.txt"), f),
              QStringLiteral("/plain/path.txt"));
    EXPECT_EQ(ResolveFolderTokens(QStringLiteral("{APP}\\x"), f), QStringLiteral("{APP}/x"));
}

TEST(FolderTokens, TargetsStayInsideTheFolderOfTheirToken) {
    const FixedFolders f(QStringLiteral("/opt/app/"), QStringLiteral("/usr/lib"), QString());
    EXPECT_EQ(ResolveTargetInside(QStringLiteral("{app}\\sub\\..\\print.exe"), f),
              QStringLiteral("/opt/app/print.exe"));
    EXPECT_EQ(ResolveTargetInside(QStringLiteral("{sys}\\x.ocx"), f),
              QStringLiteral("/usr/lib/x.ocx"));
    for (const char* to :
         {"{app}\\..\\..\\etc\\passwd", "{app}\\sub\\..\\..\\x", "{app}", "{app}\\", "{app}\\.",
          "{app}..\\x", "{app}x", "/etc/passwd", "C:\\Windows\\x.dll", "print.exe", "sub\\{app}\\x",
          "{font}\\a.ttf" /* unknown folder */, "{APP}\\x"}) {
        EXPECT_TRUE(ResolveTargetInside(QString::fromLatin1(to), f).isEmpty()) << to;
    }
}

TEST(FolderTokens, PlatformFoldersFollowTheEnvironment) {
    qputenv("WS_SYSTEM_FOLDER", "/tmp/sys-here");
    qputenv("WS_FONTS_FOLDER", "/tmp/fonts-here");
    const PlatformFolders f(QStringLiteral("/app"));
    EXPECT_EQ(ResolveFolderTokens(QStringLiteral("{sys}\\a|{font}\\b|{app}\\c"), f),
              QStringLiteral("/tmp/sys-here/a|/tmp/fonts-here/b|/app/c"));
    qunsetenv("WS_SYSTEM_FOLDER");
    qunsetenv("WS_FONTS_FOLDER");
    EXPECT_FALSE(f.systemFolder().isEmpty());
    EXPECT_FALSE(f.fontsFolder().isEmpty());
}

TEST(ReleaseElement, OneBeforeTheFirstFileWithAWholeSerial) {
    const QString file = element("http://h/a", "{app}\\a", "0", "0", "2026-3-1");
    const QDateTime noon(QDate(2026, 6, 30), QTime(12, 0));
    struct Case {
        QString list;
        std::optional<qint64> serial; // nothing: refused
        QDateTime expires = {};
    };
    const QList<Case> cases{
        {"<files>\r\n<release serial=\"42\"/>\r\n" + file + "</files>", 42},
        {"<release expires=\"2026-06-30 12:00:00\" serial=\"7\"/>" + file, 7, noon},
        {"<release serial=\"7\"/>", 7}, // a release with no files
        {file, {}},
        {file + "<release serial=\"7\"/>", {}}, // after the first file
        {"<release serial=\"7\"/><release serial=\"9\"/>" + file, {}},
        {"<release serial=\"-7\"/>" + file, {}},
        {"<release serial=\"7a\"/>" + file, {}},
        {"<release serial=\"\"/>" + file, {}},
        {"<release serial=\"1234567890123456789\"/>" + file, {}},
        {"<release serial=\"7\" expires=\"2026-6-30\"/>" + file, {}},
        {"<release/>" + file, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.list.toStdString());
        const auto release = ReadReleaseElement(c.list);
        ASSERT_EQ(release.has_value(), c.serial.has_value());
        if (!release) continue;
        EXPECT_EQ(release->serial, *c.serial);
        EXPECT_EQ(release->expires, c.expires);
    }
    // The signing command puts it where the updater looks, once.
    const QByteArray signedList =
        WithReleaseElement("<files>\r\n" + file.toLatin1() + "</files>", 5, noon);
    EXPECT_EQ(ReadReleaseElement(QString::fromLatin1(signedList))->expires, noon);
    EXPECT_TRUE(signedList.startsWith("<files>\r\n<release serial=\"5\" expires="));
    EXPECT_TRUE(WithReleaseElement(signedList, 6, {}).isEmpty());
    EXPECT_EQ(select(QString::fromLatin1(signedList), "2010-10-10").size(), 1);
}
