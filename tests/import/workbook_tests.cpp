// Reading workbooks of both formats into ticket rows, and the failures the agent sees.
#include "biff_scan.h"
#include "ticket_rows.h"
#include "workbook.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <map>

namespace {

QString dataFile(const QString& name) {
    return QStringLiteral(WS_TEST_DATA_DIR "/") + name;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// A zip of the given parts: enough to build Open XML workbooks by hand.
void writeZip(const QString& path, const std::map<std::string, std::string>& parts) {
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(z, nullptr);
    for (const auto& [name, text] : parts) {
        zip_source_t* src = zip_source_buffer(z, text.data(), text.size(), 0);
        ASSERT_GE(zip_file_add(z, name.c_str(), src, ZIP_FL_ENC_UTF_8), 0);
    }
    ASSERT_EQ(zip_close(z), 0);
}

// The parts of a workbook with one sheet part; sheets lists (name, part number).
std::map<std::string, std::string> xlsxParts(const std::string& sheetXml,
                                             const std::string& sheetName = "sheet1",
                                             const std::string& workbookPr = "",
                                             const std::string& shared = "") {
    std::map<std::string, std::string> p;
    p["_rels/.rels"] =
        R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/></Relationships>)";
    p["xl/workbook.xml"] =
        R"(<?xml version="1.0"?><workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">)" +
        workbookPr + R"(<sheets><sheet name=")" + sheetName +
        R"(" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    p["xl/_rels/workbook.xml.rels"] =
        R"(<?xml version="1.0"?><Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/s.xml"/>)"
        R"(<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/sharedStrings" Target="/xl/strings.xml"/>)"
        R"(<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/></Relationships>)";
    p["xl/strings.xml"] =
        R"(<?xml version="1.0"?><sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)" +
        shared + "</sst>";
    p["xl/styles.xml"] =
        R"(<?xml version="1.0"?><styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
        R"(<numFmts count="1"><numFmt numFmtId="164" formatCode="hh:mm"/></numFmts>)"
        R"(<cellStyleXfs count="1"><xf numFmtId="0"/></cellStyleXfs>)"
        R"(<cellXfs count="3"><xf numFmtId="0"/><xf numFmtId="164"/><xf numFmtId="14"/></cellXfs></styleSheet>)";
    p["xl/worksheets/s.xml"] =
        R"(<?xml version="1.0"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main"><sheetData>)" +
        sheetXml + "</sheetData></worksheet>";
    return p;
}

const QStringList kTicketRows = {
    QStringLiteral(";7812345678901;999-1234567890;HX3K8M;张三;E12345678;CA1501;Y;PEKSHA;2026/3/12;"
                   "08:30;1130;50;50"),
    QStringLiteral(";7812345678902;  999-1234560001 ;HX;3K;李四;ONeil;MU5101;Y;SHAPEK;2026/3/14;"
                   "8:30;900;50;0"),
    QStringLiteral(";ONeil;1234;ONeil;ONeil;;CZ3101;F;CANPEK;2026/3/15 14:05:00;O'Neil;1130.5;50;"
                   "120"),
    QStringLiteral(";1;2;3;4;5;6;7;8;7:45:00;14时05分;True;;-3"),
    QStringLiteral(";x;;;;;;;;;2026-03-12;;;"),
    QStringLiteral(";y;;;;;;;;;2026/3/12;;;"),
};

class BothFormats : public ::testing::TestWithParam<const char*> {
protected:
    QString file(const char* stem) const {
        return dataFile(QString::fromLatin1(stem) + QLatin1Char('.') + QLatin1String(GetParam()));
    }
};

} // namespace

TEST_P(BothFormats, TicketRowsFollowTheSheetLayout) {
    const ximport::TicketLoad load = ximport::LoadTicketWorkbook(file("tickets"));
    ASSERT_TRUE(load.ok) << load.message.toStdString();
    QStringList rows;
    for (const auto& r : load.rows)
        rows << r.ticketRow;
    EXPECT_EQ(rows, kTicketRows); // stops at the empty A of row 7; sheet "Sheet1" is found
    ASSERT_GE(load.rows.size(), 3);
    EXPECT_EQ(load.rows[0].row, 1);
    EXPECT_EQ(load.rows[0].name, QStringLiteral("张三"));
    EXPECT_EQ(load.rows[0].ticket, QStringLiteral("999-1234567890"));
    // The list shows the values as they are; only the ticket row loses its apostrophes.
    EXPECT_EQ(load.rows[2].name, QStringLiteral("O'Neil"));
    EXPECT_EQ(load.rows[2].ticket, QStringLiteral("'1234"));
}

TEST_P(BothFormats, ListsAtMostFiveHundredRows) {
    const ximport::TicketLoad load = ximport::LoadTicketWorkbook(file("many_rows"));
    ASSERT_TRUE(load.ok) << load.message.toStdString();
    ASSERT_EQ(load.rows.size(), 500);
    EXPECT_EQ(load.rows.last().row, 500);
    EXPECT_EQ(load.rows.last().ticketRow, QStringLiteral(";T500;500;;;;;;;;;;;"));
}

TEST_P(BothFormats, EmptyFirstCellGivesAnEmptyList) {
    const ximport::TicketLoad load = ximport::LoadTicketWorkbook(file("empty_a1"));
    EXPECT_TRUE(load.ok);
    EXPECT_TRUE(load.rows.isEmpty());
}

TEST_P(BothFormats, MissingSheetNamesFileAndReason) {
    const ximport::TicketLoad load = ximport::LoadTicketWorkbook(file("no_sheet1"));
    EXPECT_FALSE(load.ok);
    EXPECT_TRUE(load.message.contains(QDir::toNativeSeparators(file("no_sheet1"))));
    EXPECT_TRUE(load.message.contains(QStringLiteral("没有名为 sheet1 的工作表")));
}

TEST_P(BothFormats, DamagedFilesFailWithoutCrashing) {
    QTemporaryDir dir;
    const QByteArray good = readAll(file("tickets"));
    ASSERT_FALSE(good.isEmpty());
    const QString path = dir.filePath(QStringLiteral("t.") + QLatin1String(GetParam()));

    writeAll(path, good.left(good.size() / 2));
    const ximport::TicketLoad cut = ximport::LoadTicketWorkbook(path);
    EXPECT_FALSE(cut.ok);
    EXPECT_TRUE(cut.message.contains(QDir::toNativeSeparators(path)));

    // Flipped bytes anywhere: either rows or a reason, never a crash or a hang.
    QRandomGenerator rng(8);
    for (int round = 0; round < 150; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 4; ++k)
            bad[rng.bounded(int(bad.size()))] = char(rng.bounded(256));
        writeAll(path, bad);
        const ximport::TicketLoad load = ximport::LoadTicketWorkbook(path);
        EXPECT_TRUE(load.ok || !load.message.isEmpty());
        EXPECT_LE(load.rows.size(), 500);
    }
}

INSTANTIATE_TEST_SUITE_P(Workbooks, BothFormats, ::testing::Values("xls", "xlsx"));

TEST(Workbook, FilesThatAreNoWorkbooks) {
    QTemporaryDir dir;
    const auto reasonFor = [&](const QString& name, const QByteArray& bytes) {
        const QString path = dir.filePath(name);
        writeAll(path, bytes);
        return wbook::ReadWorkbook(path, QStringLiteral("sheet1"), 500, 13).reason;
    };
    EXPECT_EQ(wbook::ReadWorkbook(dir.filePath(QStringLiteral("none.xls")),
                                  QStringLiteral("sheet1"), 500, 13)
                  .reason,
              QStringLiteral("文件不存在"));
    EXPECT_EQ(reasonFor(QStringLiteral("text.xls"), "name;ticket\r\n"), wbook::reasonNotWorkbook());
    EXPECT_EQ(reasonFor(QStringLiteral("empty.xlsx"), {}), QStringLiteral("文件是空的"));
    // A compound document with no workbook stream, and a zip with no workbook part.
    EXPECT_FALSE(
        reasonFor(QStringLiteral("cfb.xls"),
                  QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'))
            .isEmpty());
    const QString zipPath = dir.filePath(QStringLiteral("other.xlsx"));
    writeZip(zipPath, {{"readme.txt", "hello"}});
    EXPECT_EQ(wbook::ReadWorkbook(zipPath, QStringLiteral("sheet1"), 500, 13).reason,
              wbook::reasonNotWorkbook());
    EXPECT_EQ(wbook::ReadWorkbook(dir.path(), QStringLiteral("sheet1"), 500, 13).reason,
              wbook::reasonNotWorkbook());
}

TEST(Workbook, OpenXmlCellKinds) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kinds.xlsx"));
    // Shared strings with runs and phonetic text, inline strings, formula texts, errors,
    // cells without references, and the 1904 date system.
    writeZip(
        path,
        xlsxParts(
            R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c t="inlineStr"><is><r><t>in</t></r><r><t>line</t></r></is></c>)"
            R"(<c t="str"><f>A1</f><v>a_x000D_b</v></c><c r="D1" t="e"><v>#N/A</v></c>)"
            R"(<c r="I1" s="2"><v>0</v></c><c r="J1" s="1"><v>0.5</v></c><c r="K1" t="b"><v>1</v></c></row>)"
            R"(<row><c r="A2" t="s"><v>1</v></c><c r="B2" s="2" t="d"><v>2026-03-12T00:00:00</v></c></row>)",
            "SHEET1", R"(<workbookPr date1904="1"/>)",
            R"(<si><r><t>张</t></r><r><t>三</t></r><rPh><t>zhang</t></rPh></si><si><t>row2</t></si>)"));
    const wbook::ReadResult read = wbook::ReadWorkbook(path, QStringLiteral("sheet1"), 500, 13);
    ASSERT_TRUE(read.ok) << read.reason.toStdString();
    EXPECT_TRUE(read.cells.date1904);
    EXPECT_EQ(ximport::BuildTicketRow(read.cells, 1),
              QStringLiteral(";张三;inline;a\rb;#N/A;;;;;1904/1/1;12:00;True;;"));
    EXPECT_EQ(ximport::BuildTicketRow(read.cells, 2), QStringLiteral(";row2;2026/3/12;;;;;;;;;;;"));
}

TEST(Workbook, OpenXmlDamagedSheetIsReported) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bad.xlsx"));
    writeZip(path, xlsxParts(R"(<row r="1"><c r="A1"><v>not a number</v></c></row>)"));
    const wbook::ReadResult read = wbook::ReadWorkbook(path, QStringLiteral("sheet1"), 500, 13);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.reason, wbook::reasonCorrupt());
}

TEST(Workbook, LegacyFormatsComeFromTheWorkbookStream) {
    const auto stream =
        wbook::biff::workbookStream(readAll(dataFile(QStringLiteral("tickets.xls"))));
    ASSERT_TRUE(stream.has_value());
    const wbook::biff::Scan scan =
        wbook::biff::scanWorkbook(*stream, QStringLiteral("SHEET1"), 500, 13);
    ASSERT_TRUE(scan.sheetFound);
    EXPECT_EQ(scan.formatOf(scan.cell(1, 10).xf), QStringLiteral("hh:mm"));
    EXPECT_EQ(scan.formatOf(scan.cell(2, 10).xf), QStringLiteral("h:mm"));
    EXPECT_EQ(scan.formatOf(scan.cell(4, 10).xf), QStringLiteral("h\"时\"mm\"分\""));
    EXPECT_DOUBLE_EQ(scan.cell(1, 10).number, 8.5 / 24);
    EXPECT_EQ(scan.cell(4, 11).kind, wbook::Cell::Boolean);
    EXPECT_FALSE(wbook::biff::scanWorkbook(*stream, QStringLiteral("Sheet9"), 500, 13).sheetFound);
}

TEST(Headless, SheetOptionPrintsOneObjectPerRow) {
    const QString program = QStringLiteral(WS_TEST_BIN_DIR "/print");
    QProcess p;
    p.start(program, {QStringLiteral("--sheet"), dataFile(QStringLiteral("tickets.xlsx"))});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    const QList<QByteArray> lines = p.readAllStandardOutput().trimmed().split('\n');
    ASSERT_EQ(lines.size(), kTicketRows.size());
    EXPECT_EQ(QString::fromUtf8(lines[0]),
              QStringLiteral("{\"row\": 1, \"name\": \"张三\", \"ticket\": \"999-1234567890\", "
                             "\"ticketRow\": \"") +
                  kTicketRows[0] + QStringLiteral("\"}"));

    p.start(program, {QStringLiteral("--sheet"), dataFile(QStringLiteral("no_sheet1.xls"))});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardOutput().isEmpty());
    EXPECT_TRUE(
        QString::fromUtf8(p.readAllStandardError()).contains(QStringLiteral("no_sheet1.xls")));
}
