// Reading workbooks of both formats into ticket rows, and the failures the agent sees.
#include "import/spreadsheet/ticket_rows.h"
#include "import/workbook/biff_scan.h"
#include "import/workbook/workbook.h"

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

QByteArray ReadAll(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& bytes) {
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
    const QByteArray good = ReadAll(file("tickets"));
    ASSERT_FALSE(good.isEmpty());
    const QString path = dir.filePath(QStringLiteral("t.") + QLatin1String(GetParam()));

    WriteAll(path, good.left(good.size() / 2));
    const ximport::TicketLoad cut = ximport::LoadTicketWorkbook(path);
    EXPECT_FALSE(cut.ok);
    EXPECT_TRUE(cut.message.contains(QDir::toNativeSeparators(path)));

    // Flipped bytes anywhere: either rows or a reason, never a crash or a hang.
    QRandomGenerator rng(8);
    for (int round = 0; round < 150; ++round) {
        QByteArray bad = good;
        for (int k = 0; k < 4; ++k)
            bad[rng.bounded(int(bad.size()))] = char(rng.bounded(256));
        WriteAll(path, bad);
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
        WriteAll(path, bytes);
        return wbook::ReadWorkbook(path, QStringLiteral("sheet1"), 500, 13).reason;
    };
    EXPECT_EQ(wbook::ReadWorkbook(dir.filePath(QStringLiteral("none.xls")),
                                  QStringLiteral("sheet1"), 500, 13)
                  .reason,
              QStringLiteral("文件不存在"));
    EXPECT_EQ(reasonFor(QStringLiteral("text.xls"), "name;ticket\r\n"), wbook::ReasonNotWorkbook());
    EXPECT_EQ(reasonFor(QStringLiteral("empty.xlsx"), {}), QStringLiteral("文件是空的"));
    // A compound document with no workbook stream, and a zip with no workbook part.
    EXPECT_FALSE(
        reasonFor(QStringLiteral("cfb.xls"),
                  QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(600, '\0'))
            .isEmpty());
    const QString zipPath = dir.filePath(QStringLiteral("other.xlsx"));
    writeZip(zipPath, {{"readme.txt", "hello"}});
    EXPECT_EQ(wbook::ReadWorkbook(zipPath, QStringLiteral("sheet1"), 500, 13).reason,
              wbook::ReasonNotWorkbook());
    EXPECT_EQ(wbook::ReadWorkbook(dir.path(), QStringLiteral("sheet1"), 500, 13).reason,
              wbook::ReasonNotWorkbook());
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
    EXPECT_EQ(read.reason, wbook::ReasonCorrupt());
}

TEST(Workbook, LegacyFormatsComeFromTheWorkbookStream) {
    const wbook::Stream stream =
        wbook::WorkbookStream(ReadAll(dataFile(QStringLiteral("tickets.xls"))));
    ASSERT_EQ(stream.status, wbook::Stream::Ok);
    const wbook::Scan scan = wbook::ScanWorkbook(stream.data, QStringLiteral("SHEET1"), 500, 13);
    ASSERT_EQ(scan.status, wbook::Scan::Ok);
    EXPECT_EQ(scan.formatOf(scan.cell(1, 10).xf), QStringLiteral("hh:mm"));
    EXPECT_EQ(scan.formatOf(scan.cell(2, 10).xf), QStringLiteral("h:mm"));
    EXPECT_EQ(scan.formatOf(scan.cell(4, 10).xf), QStringLiteral("h\"时\"mm\"分\""));
    EXPECT_DOUBLE_EQ(scan.cell(1, 10).number, 8.5 / 24);
    EXPECT_EQ(scan.cell(4, 11).kind, wbook::Cell::Boolean);
    EXPECT_EQ(wbook::ScanWorkbook(stream.data, QStringLiteral("Sheet9"), 500, 13).status,
              wbook::Scan::NoSheet);
}

namespace {

QByteArray le16(int v) {
    return QByteArray(1, char(v & 0xFF)) + char((v >> 8) & 0xFF);
}
QByteArray le32(quint32 v) {
    return le16(int(v & 0xFFFF)) + le16(int(v >> 16));
}
QByteArray record(int type, const QByteArray& data) {
    return le16(type) + le16(int(data.size())) + data;
}
QByteArray cellHead(int row, int col) {
    return le16(row) + le16(col) + le16(0);
}
// A workbook stream: globals (version, extra records, sheet "Sheet1"), then the sheet.
QByteArray biffStream(int version, const QByteArray& globals, const QByteArray& sheetCells) {
    const QByteArray bof = record(0x0809, le16(version) + le16(0x0005) + QByteArray(4, '\0'));
    const QByteArray sheetName =
        QByteArray("\x06", 1) + (version == 0x0600 ? QByteArray(1, '\0') : QByteArray()) + "Sheet1";
    const qsizetype sheetAt = bof.size() + globals.size() + 4 + 6 + sheetName.size() + 4;
    QByteArray out = bof + globals + record(0x0085, le32(quint32(sheetAt)) + le16(0) + sheetName) +
                     record(0x000A, {});
    return out + record(0x0809, le16(version) + le16(0x0010) + QByteArray(4, '\0')) + sheetCells +
           record(0x000A, {});
}

} // namespace

TEST(Workbook, LegacyValuesSharedStringsAcrossContinuationsAndFormulaResults) {
    // A 22,500-character shared string (two-byte characters, so it spans six records),
    // then a short one.
    const QString longText = QString(22500, QChar(0x5F20));
    QByteArray sst = le32(2) + le32(2) + le16(22500) + QByteArray(1, '\x01');
    QByteArray chars(reinterpret_cast<const char*>(longText.utf16()), 45000);
    QByteArray globals;
    QByteArray piece = sst + chars.left(8000);
    globals += record(0x00FC, piece);
    for (qsizetype at = 8000; at < chars.size(); at += 8000)
        globals += record(0x003C, QByteArray(1, '\x01') + chars.mid(at, 8000));
    globals += record(0x003C, le16(1) + QByteArray(1, '\0') + "B"); // the short one
    const QByteArray cells =
        record(0x00FD, cellHead(0, 0) + le32(0)) + record(0x00FD, cellHead(0, 1) + le32(1)) +
        record(0x00FD, cellHead(0, 2) + le32(9)) +             // no such string
        record(0x027E, cellHead(0, 3) + le32((7u << 2) | 2)) + // RK integer
        record(0x00BD, le16(0) + le16(4) + le16(0) + le32((1130u << 2) | 2) + le16(0) +
                           le32((5u << 2) | 3) + le16(5)) +          // MULRK: 1130, 0.05
        record(0x0205, cellHead(0, 6) + QByteArray("\x01\x00", 2)) + // TRUE
        record(0x0205, cellHead(0, 7) + QByteArray("\x07\x01", 2)) + // #DIV/0!
        record(0x0006,
               cellHead(0, 8) + QByteArray("\x00\0\0\0\0\0\xFF\xFF", 8) + QByteArray(6, '\0')) +
        record(0x0207, le16(2) + QByteArray(1, '\0') + "fx"); // the formula's text result
    const wbook::Scan scan =
        wbook::ScanWorkbook(biffStream(0x0600, globals, cells), QStringLiteral("sheet1"), 500, 13);
    ASSERT_EQ(scan.status, wbook::Scan::Ok);
    EXPECT_EQ(scan.cell(1, 1).text, longText);
    EXPECT_EQ(scan.cell(1, 2).text, QStringLiteral("B"));
    EXPECT_EQ(scan.cell(1, 3).kind, wbook::Cell::Empty);
    EXPECT_EQ(scan.cell(1, 4).number, 7);
    EXPECT_EQ(scan.cell(1, 5).number, 1130);
    EXPECT_DOUBLE_EQ(scan.cell(1, 6).number, 0.05);
    EXPECT_EQ(scan.cell(1, 7).kind, wbook::Cell::Boolean);
    EXPECT_EQ(scan.cell(1, 8).text, QStringLiteral("#DIV/0!"));
    EXPECT_EQ(scan.cell(1, 9).text, QStringLiteral("fx"));

    // A protected workbook says so; BIFF5 labels come in the workbook's code page.
    EXPECT_EQ(wbook::ScanWorkbook(biffStream(0x0600, record(0x002F, le16(0)), {}),
                                  QStringLiteral("sheet1"), 500, 13)
                  .status,
              wbook::Scan::Encrypted);
    const QByteArray gbk = QByteArray("\xd5\xc5\xc8\xfd"); // 张三
    const wbook::Scan old = wbook::ScanWorkbook(
        biffStream(0x0500, record(0x0042, le16(936)),
                   record(0x0204, cellHead(0, 0) + le16(int(gbk.size())) + gbk)),
        QStringLiteral("sheet1"), 500, 13);
    ASSERT_EQ(old.status, wbook::Scan::Ok);
    EXPECT_EQ(old.cell(1, 1).text, QStringLiteral("张三"));
}

TEST(Workbook, OpenXmlReadsOnlyWhatItNeedsAndRefusesOversizedParts) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("big.xlsx"));
    // Formulas without a stored result read as empty; rows past 500 are never parsed, so
    // what follows them does not matter.
    std::string rows = R"(<row r="1"><c r="A1"><f>B1*2</f></c><c r="B1"><f>1</f><v></v></c>)"
                       R"(<c r="C1" t="s"><v>0</v></c></row>)";
    for (int r = 2; r <= 600; ++r)
        rows += "<row r=\"" + std::to_string(r) + "\"><c r=\"A" + std::to_string(r) + "\"><v>" +
                std::to_string(r) + "</v></c></row>";
    rows += "<row><c><v>not a number</v></c></row><<< not XML";
    writeZip(path, xlsxParts(rows, "sheet1", "", "<si><t>s0</t></si>"));
    wbook::ReadResult read = wbook::ReadWorkbook(path, QStringLiteral("sheet1"), 500, 13);
    ASSERT_TRUE(read.ok) << read.reason.toStdString();
    EXPECT_EQ(ximport::BuildTicketRow(read.cells, 1), QStringLiteral(";;;s0;;;;;;;;;;"));
    EXPECT_EQ(ximport::BuildTicketRow(read.cells, 500), QStringLiteral(";500;;;;;;;;;;;;"));

    // A styles part far beyond any real one (decompressed) is refused as too large.
    auto parts = xlsxParts(R"(<row r="1"><c r="A1"><v>1</v></c></row>)");
    parts["xl/styles.xml"] = "<styleSheet>" + std::string(17 * 1024 * 1024, ' ') + "</styleSheet>";
    writeZip(path, parts);
    read = wbook::ReadWorkbook(path, QStringLiteral("sheet1"), 500, 13);
    EXPECT_FALSE(read.ok);
    EXPECT_EQ(read.reason, wbook::ReasonTooLarge());
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
