#include "itinerary/settings_store.h"
#include "itinerary/workstation_id.h"

#include "common/code_page.h"
#include "common/program_folder.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace itin;

namespace {

const QString kCrLf = QStringLiteral("\r\n");

class SettingsStore : public ::testing::Test {
protected:
    QTemporaryDir dir;
    common::FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
    ItineraryRecord record;
    PrintSettings settings;

    QString folder() const { return dir.path(); }
    void writeBytes(const QString& name, const QByteArray& bytes) {
        QFile f(QDir(folder()).filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    void writeInfo(const QString& text) { writeBytes("info.ini", common::ToGbk(text)); }
    QByteArray readBytes(const QString& name) const {
        QFile f(QDir(folder()).filePath(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString readInfo() const { return common::FromGbk(readBytes("info.ini")); }
    bool load() { return LoadPrintSettings(settings, folder(), record, clock); }
};

const QString kPage = QStringLiteral("<setup>\r\n<leftr>2 毫米</leftr>\r\n<topb>-1</topb>\r\n"
                                     "<companycode>SHA123</companycode>\r\n"
                                     "<companynumber>08312345</companynumber>\r\n"
                                     "<companyname>上海某某票务</companyname>\r\n</setup>");
const QString kFont = QStringLiteral(
    "<font>\r\n<fonttype1>宋体</fonttype1>\r\n<fontsize1>16</fontsize1>\r\n<bold1>1</bold1>\r\n"
    "<italic1>0</italic1>\r\n<underline1></underline1>\r\n<strikethrough1>x</strikethrough1>\r\n"
    "<fonttype2>Arial</fonttype2>\r\n<fontsize2>11</fontsize2>\r\n<bold2>0</bold2>\r\n"
    "<italic2>1</italic2>\r\n<underline2>1</underline2>\r\n<strikethrough2>0</strikethrough2>\r\n"
    "<sc>1</sc>\r\n</font>");

} // namespace

TEST(GetTagValue, FirstOpeningTagThenFirstClosingTagAfterIt) {
    const QString t = QStringLiteral("<a>1</a><b>two</b><a>3</a> </b> <c>x");
    EXPECT_EQ(GetTagValue(t, "a"), "1");
    EXPECT_EQ(GetTagValue(t, "b"), "two");
    EXPECT_EQ(GetTagValue(t, "c"), ""); // no closing tag
    EXPECT_EQ(GetTagValue(t, "d"), "");
    EXPECT_EQ(GetTagValue(t, "A"), ""); // case-sensitive
    // A closing tag standing before the opening one is not used.
    EXPECT_EQ(GetTagValue(QStringLiteral("</k>zz<k>v</k>"), "k"), "v");
    EXPECT_EQ(GetTagValue(QStringLiteral("<k>line1\r\nline2</k>"), "k"), "line1\r\nline2");
}

TEST_F(SettingsStore, LoadsEveryKeyAndNormalisesFlags) {
    writeInfo(kPage + kCrLf + kFont);
    ASSERT_TRUE(load());
    EXPECT_EQ(settings.leftr, QStringLiteral("2 毫米"));
    EXPECT_EQ(settings.topb, "-1");
    EXPECT_EQ(settings.companycode, "SHA123");
    EXPECT_EQ(settings.companynumber, "08312345");
    EXPECT_EQ(settings.companyname, QStringLiteral("上海某某票务"));
    EXPECT_EQ(settings.fonttype1, QStringLiteral("宋体"));
    EXPECT_EQ(settings.fontsize1, 16);
    EXPECT_TRUE(settings.bold1);
    EXPECT_FALSE(settings.italic1);       // "0"
    EXPECT_FALSE(settings.underline1);    // empty
    EXPECT_TRUE(settings.strikethrough1); // any other text
    EXPECT_EQ(settings.fonttype2, "Arial");
    EXPECT_EQ(settings.fontsize2, 11);
    EXPECT_FALSE(settings.bold2);
    EXPECT_TRUE(settings.italic2);
    EXPECT_TRUE(settings.underline2);
    EXPECT_FALSE(settings.strikethrough2);
    EXPECT_TRUE(settings.sc);
    EXPECT_EQ(settings.infoText, kPage + kCrLf + kFont);
    EXPECT_EQ(settings.infoPath, QDir(folder()).filePath("info.ini"));
    EXPECT_EQ(settings.pingTaiPath, QDir(folder()).filePath("PingTai.ini"));
    EXPECT_EQ(settings.defaultPlatformList, QStringLiteral("0,今日天下通,,\r\n1,羿天下,,"));
    EXPECT_EQ(record.field(IssueDate), "2026-3-1");
    EXPECT_FALSE(settings.workstationId.isEmpty());
}

TEST_F(SettingsStore, MissingAndBadValuesTakeDefaults) {
    // Tags on one line, outside their blocks, fontsize2 absent, fonttype1 empty,
    // fontsize1 not a number.
    writeInfo(QStringLiteral("<fonttype1></fonttype1><fontsize1>big</fontsize1><leftr>3</leftr>"
                             "<setup></setup><fonttype2>Courier</fonttype2>"));
    ASSERT_TRUE(load());
    EXPECT_EQ(settings.fonttype1, "TEC");
    EXPECT_EQ(settings.fontsize1, 18);
    EXPECT_EQ(settings.fonttype2, "Courier");
    EXPECT_EQ(settings.fontsize2, 13);
    EXPECT_EQ(settings.leftr, "3");
    EXPECT_FALSE(settings.bold1 || settings.sc || settings.strikethrough2);

    writeInfo(QStringLiteral("<fontsize1>0</fontsize1><fontsize2>-4</fontsize2>"));
    ASSERT_TRUE(load());
    EXPECT_EQ(settings.fontsize1, 18);
    EXPECT_EQ(settings.fontsize2, 13);
    EXPECT_EQ(settings.fonttype2, "TEE");
}

TEST_F(SettingsStore, MissingFileGivesDefaultsFirstAndKeepsValuesLater) {
    EXPECT_FALSE(load());
    EXPECT_EQ(settings.fonttype1, "TEC");
    EXPECT_EQ(settings.fonttype2, "TEE");
    EXPECT_EQ(settings.fontsize1, 18);
    EXPECT_EQ(settings.fontsize2, 13);
    EXPECT_TRUE(settings.leftr.isEmpty());

    writeInfo(kPage + kFont);
    ASSERT_TRUE(load());
    QFile::remove(settings.infoPath);
    EXPECT_FALSE(load());
    EXPECT_EQ(settings.leftr, QStringLiteral("2 毫米"));
    EXPECT_EQ(settings.fontsize1, 16);
    EXPECT_TRUE(settings.bold1);
    EXPECT_TRUE(settings.sc);
}

TEST_F(SettingsStore, ApplyFillsAgencyFieldsOnlyWhenTheFileExists) {
    PageSetup boxes{"0", "0", "", "", ""};
    record.setField(AgentCode, "keep");
    EXPECT_FALSE(ApplyPrintSettings(settings, folder(), record, clock, boxes));
    EXPECT_EQ(record.field(AgentCode), "keep");
    EXPECT_EQ(boxes.leftr, "0");

    writeInfo(kPage + kFont);
    ASSERT_TRUE(ApplyPrintSettings(settings, folder(), record, clock, boxes));
    EXPECT_EQ(boxes.leftr, QStringLiteral("2 毫米"));
    EXPECT_EQ(boxes.topb, "-1");
    EXPECT_EQ(record.field(AgentCode), "SHA123");
    EXPECT_EQ(record.field(AgentNumber), "08312345");
    EXPECT_EQ(record.field(IssuedBy), QStringLiteral("上海某某票务"));
    EXPECT_EQ(record.field(IssueDate), "2026-3-1");
}

TEST_F(SettingsStore, SavingThePageBlockKeepsTheRestByteForByte) {
    const QString tail = QStringLiteral("\r\n\r\njunk 备注\r\n") + kFont + "\r\ntrailer";
    writeInfo(kPage + tail);
    ASSERT_TRUE(load());
    const QByteArray before = readBytes("info.ini");
    record.setField(AgentCode, "PEK999");
    record.setField(AgentNumber, "");
    record.setField(IssuedBy, QStringLiteral("北京票务"));
    ASSERT_TRUE(SavePageSetup(settings, folder(), PageSetupFromForm("-3 毫米", "1", record)));
    const QString expected =
        QStringLiteral("<setup>\r\n<leftr>-3 毫米</leftr>\r\n<topb>1</topb>\r\n"
                       "<companycode>PEK999</companycode>\r\n"
                       "<companynumber></companynumber>\r\n"
                       "<companyname>北京票务</companyname>\r\n</setup>") +
        tail;
    EXPECT_EQ(readBytes("info.ini"), common::ToGbk(expected));
    EXPECT_NE(readBytes("info.ini"), before);
    EXPECT_EQ(settings.leftr, QStringLiteral("2 毫米")); // memory unchanged
}

TEST_F(SettingsStore, SavingThePageBlockWithoutAFileWritesACompleteFile) {
    load(); // no file: default fonts in memory
    ASSERT_TRUE(SavePageSetup(settings, folder(), PageSetup{"4", "-2", "A", "B", "C"}));
    PrintSettings again;
    ASSERT_TRUE(LoadPrintSettings(again, folder(), record, clock));
    EXPECT_EQ(again.leftr, "4");
    EXPECT_EQ(again.topb, "-2");
    EXPECT_EQ(again.companyname, "C");
    EXPECT_EQ(again.fonttype1, "TEC");
    EXPECT_EQ(again.fontsize2, 13);
    EXPECT_TRUE(readInfo().endsWith("<sc>0</sc>\r\n</font>"));

    // A file with a font block but no page block keeps its font block.
    writeInfo(QStringLiteral("stray") + kFont);
    ASSERT_TRUE(SavePageSetup(settings, folder(), PageSetup{"1", "1", "", "", ""}));
    EXPECT_TRUE(readInfo().endsWith("</setup>\r\n" + kFont));
    ASSERT_TRUE(LoadPrintSettings(again, folder(), record, clock));
    EXPECT_EQ(again.leftr, "1");
    EXPECT_EQ(again.fonttype1, QStringLiteral("宋体"));
}

TEST_F(SettingsStore, SavingTheFontBlockKeepsWhatStandsBeforeIt) {
    const QString head = kPage + QStringLiteral("\r\nnote\r\n");
    writeInfo(head + kFont + QStringLiteral("\r\nafter the block"));
    ASSERT_TRUE(load());
    FontChoice c;
    c.face1 = QStringLiteral("黑体");
    c.size1 = "20";
    c.bold1 = true;
    c.strikethrough1 = true;
    c.face2 = "Courier New";
    c.size2 = "12";
    c.italic2 = true;
    c.sc = false;
    ASSERT_TRUE(SaveFontSettings(settings, folder(), c));
    const QString expected =
        head +
        QStringLiteral("<font>\r\n<fonttype1>黑体</fonttype1>\r\n<fontsize1>20</fontsize1>\r\n"
                       "<bold1>1</bold1>\r\n<italic1>0</italic1>\r\n"
                       "<underline1>0</underline1>\r\n<strikethrough1>1</strikethrough1>\r\n"
                       "<fonttype2>Courier New</fonttype2>\r\n<fontsize2>12</fontsize2>\r\n"
                       "<bold2>0</bold2>\r\n<italic2>1</italic2>\r\n"
                       "<underline2>0</underline2>\r\n<strikethrough2>0</strikethrough2>\r\n"
                       "<sc>0</sc>\r\n</font>");
    EXPECT_EQ(readBytes("info.ini"), common::ToGbk(expected));
    EXPECT_EQ(settings.fonttype1, QStringLiteral("黑体"));
    EXPECT_EQ(settings.fontsize1, 20);
    EXPECT_EQ(settings.fontsize2, 12);
    EXPECT_TRUE(settings.bold1 && settings.strikethrough1 && settings.italic2);
    EXPECT_FALSE(settings.italic1 || settings.underline2 || settings.sc);

    // Round trip: the saved choice loads back as itself.
    PrintSettings again;
    ASSERT_TRUE(LoadPrintSettings(again, folder(), record, clock));
    const FontChoice back = FontChoiceFromSettings(again);
    EXPECT_EQ(back.face2, "Courier New");
    EXPECT_EQ(back.size1, "20");
    EXPECT_TRUE(back.bold1 && back.italic2 && !back.sc);
}

TEST_F(SettingsStore, FontSizeWithoutSelectionIsStoredEmptyAndHeldAsDefault) {
    FontChoice c = FontChoiceFromSettings(settings);
    c.face1 = "X";
    c.size1 = "";
    c.size2 = "";
    ASSERT_TRUE(SaveFontSettings(settings, folder(), c)); // no file yet: just the font block
    EXPECT_TRUE(
        readInfo().startsWith("<font>\r\n<fonttype1>X</fonttype1>\r\n<fontsize1></fontsize1>"));
    EXPECT_EQ(settings.fontsize1, 18);
    EXPECT_EQ(settings.fontsize2, 13);
    // The page block saved afterwards goes in front of that font block.
    ASSERT_TRUE(SavePageSetup(settings, folder(), PageSetup{"0", "0", "", "", ""}));
    ASSERT_TRUE(load());
    EXPECT_EQ(settings.fonttype1, "X");
    EXPECT_EQ(settings.leftr, "0");
}

TEST_F(SettingsStore, PlatformListIsCreatedCompletedOrCut) {
    const QString first = QStringLiteral("0,今日天下通,agent01,secret");
    const QString two = first + QStringLiteral("\r\n1,羿天下,u2,p2");
    const QStringList both{QStringLiteral("今日天下通"), QStringLiteral("羿天下")};
    const struct {
        QString written; // null: no file
        QString stored;
        QStringList names;
    } cases[] = {
        {QString(), DefaultPlatformList(), both},
        {first, first + QStringLiteral("\r\n1,羿天下,,"), both},
        {two + "\r\n2,extra,,", two, both},
        {two + "\r\n", two, both}, // a trailing line end is a further, empty line, and is cut
        // A line without a name shows the default name.
        {QStringLiteral("0\r\n1,平台乙,,"),
         QStringLiteral("0\r\n1,平台乙,,"),
         {QStringLiteral("今日天下通"), QStringLiteral("平台乙")}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written.toStdString());
        QFile::remove(QDir(folder()).filePath("PingTai.ini"));
        if (!c.written.isNull()) writeBytes("PingTai.ini", common::ToGbk(c.written));
        const PlatformList list = LoadPlatformList(settings, folder());
        EXPECT_EQ(readBytes("PingTai.ini"), common::ToGbk(c.stored));
        EXPECT_EQ(list.names, c.names);
        EXPECT_EQ(list.tag, c.stored);
    }
}

TEST(WorkstationId, StablePerMachineDistinctBetweenMachinesQuerySafe) {
    const QString a = WorkstationIdFor("0123456789abcdef0123456789abcdef", "pc1");
    EXPECT_EQ(a, WorkstationIdFor("0123456789abcdef0123456789abcdef", "other-name"));
    EXPECT_NE(a, WorkstationIdFor("fedcba9876543210fedcba9876543210", "pc1"));
    EXPECT_TRUE(QRegularExpression("^[0-9A-F]{16}$").match(a).hasMatch()) << a.toStdString();
    // Without a machine id the host name decides.
    EXPECT_NE(WorkstationIdFor("", "pc1"), WorkstationIdFor("", "pc2"));
    EXPECT_EQ(MachineWorkstationId(), MachineWorkstationId());
}

TEST(ProgramFolder, DataDirWinsOverTheExecutableFolder) {
    QTemporaryDir dir;
    EXPECT_EQ(common::Resolve(dir.path() + "/./"), QDir(dir.path()).absolutePath());
    EXPECT_FALSE(common::Resolve({}).isEmpty());
}
