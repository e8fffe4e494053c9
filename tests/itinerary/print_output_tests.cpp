// The print-out on real output: PDF pages read back with Poppler, the headless print
// program, and a real printer queue when the test run provides one.
#include "common/fso.h"
#include "itinerary/painter_surface.h"
#include "itinerary/preview_surface.h"
#include "itinerary/print_out.h"
#include "itinerary/receipts/receipt_log.h"
#include "tests/itinerary/pdf_reader.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

using namespace itin;

namespace {

const QString kChineseFont = QStringLiteral("WenQuanYi Zen Hei");
const QString kWesternFont = QStringLiteral("DejaVu Serif");

class PdfPrintOut : public ::testing::Test {
protected:
    QTemporaryDir dir;
    ItineraryRecord record;
    PrintFormState formState;
    PrintSettings settings;
    common::RecordingMessages messages;

    void SetUp() override {
        settings.fonttype1 = kChineseFont;
        settings.fontsize1 = 18;
        settings.fonttype2 = kWesternFont;
        settings.fontsize2 = 13;
        record.setField(PnrQuery, "HX3K8M");
        record.setField(CheckCode, "0041");
        record.setField(PassengerName, QStringLiteral("张三"));
        record.setField(IdNumber, "E12345678");
        record.setField(City1, QStringLiteral("北京首都   T3"));
        record.setField(City5, "VOID");
        record.setField(XtTax, "XT 12.00");
    }
    // Prints one receipt into a fresh PDF and reads its page back.
    PdfPage printPage(const QString& leftr = "0", const QString& topb = "0") {
        const QString path = dir.filePath(QStringLiteral("r%1.pdf").arg(++files_));
        {
            PdfSurface pdf(path);
            EXPECT_TRUE(PrintItinerary(record, formState, settings, leftr, topb, messages, pdf));
            EXPECT_TRUE(pdf.finish());
        }
        const QList<PdfPage> pages = ReadPdf(path);
        EXPECT_EQ(pages.size(), 1);
        return pages.value(0);
    }
    static const PdfWord& word(const PdfPage& page, const QString& text) {
        static PdfWord none;
        const PdfWord* w = page.find(text);
        EXPECT_NE(w, nullptr) << text.toStdString();
        return w ? *w : none;
    }

private:
    int files_ = 0;
};

} // namespace

TEST_F(PdfPrintOut, PageIsTheReceiptFormAndTextCellsSitAtTheirPositions) {
    const PdfPage page = printPage();
    EXPECT_NEAR(page.widthTwips, 238 * 56.69, 25);
    EXPECT_NEAR(page.heightTwips, 106.6 * 56.69, 25);
    // Top-left corners of the text cells.
    EXPECT_NEAR(word(page, QStringLiteral("张三")).x, 1040, 2);
    EXPECT_NEAR(word(page, QStringLiteral("张三")).y, 740, 3);
    EXPECT_NEAR(word(page, "VOID").x, 1040, 2);
    EXPECT_NEAR(word(page, "VOID").y, 3740, 3);
    EXPECT_NEAR(word(page, "E12345678").x, 840 + 2460, 2);
    EXPECT_NEAR(word(page, "E12345678").y, 340 + 500, 3);
    EXPECT_EQ(record.field(CheckCode), "0042");
}

TEST_F(PdfPrintOut, OffsetsMoveThePrintOut) {
    const PdfPage base = printPage();
    record.setField(CheckCode, "0041");
    const PdfPage moved = printPage(QStringLiteral("2 毫米"), "-1");
    for (const QString& text : {QStringLiteral("张三"), QStringLiteral("VOID"),
                                QStringLiteral("E12345678"), QStringLiteral("0041")}) {
        EXPECT_NEAR(word(moved, text).x - word(base, text).x, 113, 1) << text.toStdString();
        EXPECT_NEAR(word(moved, text).y - word(base, text).y, -57, 1) << text.toStdString();
    }
}

TEST_F(PdfPrintOut, ModeDecidesTheMarkAndTheOtherTaxes) {
    PdfPage page = printPage();
    EXPECT_EQ(page.find("XT"), nullptr);
    EXPECT_EQ(page.find(QStringLiteral("国际(I)")), nullptr);

    formState.printMode = International;
    page = printPage();
    EXPECT_NEAR(word(page, "XT").x, 840 + 6640, 2);
    EXPECT_NEAR(word(page, "12.00").y, 340 + 3300, 20);
    EXPECT_NEAR(word(page, QStringLiteral("国际(I)")).x, 840 + 1400, 2);
}

TEST_F(PdfPrintOut, RouteLineInTheChineseFontPinyinNameInTheWesternFont) {
    record.setField(PassengerName, "ZHANG/SAN");
    const PdfPage page = printPage();
    auto compact = [](QString s) { return s.remove(QLatin1Char(' ')).toLower(); };
    EXPECT_TRUE(compact(word(page, QStringLiteral("北京首都")).font).contains("wenquanyi"))
        << word(page, QStringLiteral("北京首都")).font.toStdString();
    // The terminal belongs to the route line: same font.
    EXPECT_EQ(word(page, "T3").font, word(page, QStringLiteral("北京首都")).font);
    EXPECT_TRUE(compact(word(page, "ZHANG/SAN").font).contains("dejavuserif"))
        << word(page, "ZHANG/SAN").font.toStdString();
}

TEST(PdfSurfaceTest, UnwritableFileIsAMessageNotACrash) {
    ItineraryRecord record;
    record.setField(PnrQuery, "HX3K8M");
    record.setField(CheckCode, "0041");
    PrintFormState formState;
    PrintSettings settings;
    common::RecordingMessages messages;
    PdfSurface pdf(QStringLiteral("/nonexistent-dir/x/receipt.pdf"));
    EXPECT_FALSE(PrintItinerary(record, formState, settings, "0", "0", messages, pdf));
    ASSERT_EQ(messages.shown.size(), 1);
    EXPECT_FALSE(messages.shown[0].text.isEmpty());
    EXPECT_EQ(record.field(CheckCode), "0041");
}

// ---- the headless program ----

namespace {

struct PrintRun {
    int exitCode = -1;
    QStringList lines;
    QStringList errors; // standard error
};

PrintRun runPrint(const QStringList& args) {
    QProcess p;
    p.setProgram(qEnvironmentVariable("WS_BIN_DIR") + "/print");
    p.setArguments(args);
    p.start();
    PrintRun r;
    if (!p.waitForFinished(60000)) {
        p.kill();
        p.waitForFinished(5000);
        return r;
    }
    r.exitCode = p.exitCode();
    r.lines = QString::fromUtf8(p.readAllStandardOutput()).split('\n', Qt::SkipEmptyParts);
    r.errors = QString::fromUtf8(p.readAllStandardError()).split('\n', Qt::SkipEmptyParts);
    return r;
}

QString sample() {
    return qEnvironmentVariable("WS_SOURCE_DIR") + "/samples/two_passengers.txt";
}

} // namespace

TEST_F(PdfPrintOut, PreviewPlacesTextsWhereThePdfDoesAndOutlinesClashes) {
    PreviewSurface preview(150);
    ASSERT_EQ(RenderPreview(record, formState, settings, "2", "-1", preview), QString());
    EXPECT_EQ(record[CheckCode], QStringLiteral("0041")); // a preview prints nothing
    EXPECT_EQ(preview.image().size(), QSize(1406, 630));  // 238 × 106.6 mm at 150 dpi
    EXPECT_EQ(preview.flaggedCount(), 0);
    const PdfPage page = printPage("2", "-1");
    for (const QString text : {"E12345678", "HX3K8M", "0041", "XXX"}) {
        const auto placed = std::find_if(preview.placed().begin(), preview.placed().end(),
                                         [&](const auto& p) { return p.text == text; });
        ASSERT_NE(placed, preview.placed().end()) << text.toStdString();
        EXPECT_NEAR(placed->cell.left(), word(page, text).x, 40) << text.toStdString();
        EXPECT_NEAR(placed->cell.top(), word(page, text).y, 60) << text.toStdString();
    }

    // A carrier name too wide for its box runs into the flight number; a far offset off the page.
    record.setField(Carrier1, QStringLiteral("中国国际航空股份有限公司"));
    record.setField(Flight1, "CA1501");
    PreviewSurface clash(96);
    ASSERT_EQ(RenderPreview(record, formState, settings, "0", "0", clash), QString());
    QStringList flagged;
    for (const auto& p : clash.placed())
        if (p.flagged) flagged << p.text;
    EXPECT_TRUE(flagged.contains(QStringLiteral("中国国际航空股份有限公司")));
    EXPECT_TRUE(flagged.contains("CA1501"));
    EXPECT_FALSE(flagged.contains("E12345678"));
    PreviewSurface off(96);
    ASSERT_EQ(RenderPreview(record, formState, settings, "120", "0", off), QString());
    EXPECT_GT(off.flaggedCount(), 3);
    PreviewSurface noCode(96); // a preview needs no check code: its box stays empty
    record.setField(CheckCode, "");
    EXPECT_EQ(RenderPreview(record, formState, settings, "0", "0", noCode), QString());
    EXPECT_TRUE(std::none_of(noCode.placed().begin(), noCode.placed().end(),
                             [](const auto& p) { return p.text == "0041"; }));
    EXPECT_FALSE(noCode.placed().isEmpty());
    PreviewSurface refused(96);
    record.setField(PnrQuery, "");
    EXPECT_EQ(RenderPreview(record, formState, settings, "0", "0", refused),
              QStringLiteral("请填写PNR"));
    EXPECT_FALSE(refused.image().isNull()); // the bare form
}

TEST(HeadlessPrint, OneReceiptPerPassengerWithAdvancingCheckCodes) {
    QTemporaryDir dir;
    QFile ini(dir.filePath("info.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("<setup>\r\n<leftr>2</leftr>\r\n<topb>0</topb>\r\n<companycode>SHA123</companycode>"
              "\r\n<companynumber></companynumber>\r\n<companyname></companyname>\r\n</setup>");
    ini.close();
    const QString out = dir.filePath("receipts.pdf");
    const PrintRun r = runPrint({"--pnr", sample(), "--pdf", out, "--check-code", "0999",
                                 "--data-dir", dir.path(), "--now", "2026-03-01T09:00:00"});
    ASSERT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("张三\t0999"), QStringLiteral("李四\t1000")}));
    const QList<PdfPage> pages = ReadPdf(out);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_NE(pages[0].find("0999"), nullptr);
    EXPECT_NE(pages[1].find("1000"), nullptr);
    EXPECT_NE(pages[1].find(QStringLiteral("李四")), nullptr);
    // Settings from the data folder: the agent code and the 2 mm shift.
    ASSERT_NE(pages[0].find("SHA123"), nullptr);
    EXPECT_NEAR(pages[0].find("SHA123")->x, 953 + 740, 2);
    EXPECT_NE(pages[0].find("2026-3-1"), nullptr);
    EXPECT_EQ(pages[0].find("XT"), nullptr);
}

TEST(HeadlessPrint, InternationalLayoutAndRefusals) {
    QTemporaryDir dir;
    const QString out = dir.filePath("intl.pdf");
    PrintRun r = runPrint({"--pnr", sample(), "--pdf", out, "--check-code", "12", "--international",
                           "--data-dir", dir.path()});
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines.value(1), QStringLiteral("李四\t0013"));
    const QList<PdfPage> pages = ReadPdf(out);
    ASSERT_EQ(pages.size(), 2);
    EXPECT_NE(pages[0].find(QStringLiteral("国际(I)")), nullptr);
    EXPECT_NE(pages[0].find("XT"), nullptr);

    QTemporaryDir fresh; // no receipt log yet, so no check code to carry on
    r = runPrint(
        {"--pnr", sample(), "--pdf", dir.filePath("none.pdf"), "--data-dir", fresh.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("请填写验证码!")}));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath("none.pdf")));

    QFile empty(dir.filePath("empty.txt"));
    ASSERT_TRUE(empty.open(QIODevice::WriteOnly));
    empty.close();
    r = runPrint({"--pnr", empty.fileName(), "--pdf", dir.filePath("none.pdf"), "--check-code",
                  "0041", "--data-dir", dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.lines.contains(QStringLiteral("请填写PNR")));
}

TEST(HeadlessPrint, CheckCodesCarryOnThroughTheReceiptLog) {
    QTemporaryDir dir;
    const QStringList pdf = {"--pnr",      sample(),  "--pdf", dir.filePath("r.pdf"),
                             "--data-dir", dir.path()};
    PrintRun r = runPrint(pdf + QStringList{"--check-code", "0041"});
    ASSERT_EQ(r.exitCode, 0);
    r = runPrint(pdf); // no check code: the log's next one
    ASSERT_EQ(r.exitCode, 0);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("张三\t0043"), QStringLiteral("李四\t0044")}));
    r = runPrint(pdf + QStringList{"--check-code", "0042"}); // already printed: refused
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines, QStringList({QStringLiteral("验证码 0042 已在打印记录中")}));
    r = runPrint({"--pnr", sample(), "--pdf", "/dev/full", "--data-dir", dir.path()});
    EXPECT_EQ(r.exitCode, 1); // nothing written: both rows failed, their codes free again

    itin::ReceiptLog log;
    ASSERT_TRUE(log.open(dir.filePath("receipts.db")));
    QStringList codes;
    for (const itin::Receipt& row : log.list())
        codes << row.checkCode + (row.status == ReceiptStatus::Printed ? "" : "x");
    EXPECT_EQ(codes, QStringList({"0046x", "0045x", "0044", "0043", "0042", "0041"}));
    EXPECT_FALSE(log.contains("0045"));
    EXPECT_EQ(log.nextCheckCode(), QStringLiteral("0045")); // it advances with prints only
    EXPECT_EQ(log.list().last().target, dir.filePath("r.pdf"));

    r = runPrint(pdf + QStringList{"--check-code", "0042", "--reprint"});
    EXPECT_EQ(r.exitCode, 0);
    EXPECT_EQ(log.nextCheckCode(), QStringLiteral("0045")); // a reprint leaves the counter
    r = runPrint({"--receipts", "--from", QDate::currentDate().toString(Qt::ISODate), "--to",
                  "9999-12-31", "--data-dir", dir.path()});
    ASSERT_EQ(r.exitCode, 0);
    ASSERT_EQ(r.lines.size(), 9); // the header and eight rows
    EXPECT_TRUE(r.lines[1].contains(QStringLiteral(",0043,李四,")));
    r = runPrint({"--receipts", "--to", "2000-01-01", "--data-dir", dir.path()});
    EXPECT_EQ(r.lines.size(), 1);

    // A preview takes the log's next code, or none from a folder without a log.
    QTemporaryDir fresh;
    for (const QString& folder : {dir.path(), fresh.path()}) {
        r = runPrint({"--pnr", sample(), "--preview", dir.filePath("p.png"), "--dpi", "96",
                      "--data-dir", folder});
        EXPECT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
        EXPECT_EQ(QImage(dir.filePath("p.png")).size(), QSize(900, 403));
    }
    EXPECT_FALSE(QFileInfo::exists(fresh.filePath("receipts.db")));

    // A damaged log: every job says why and fails, nothing is printed.
    ASSERT_TRUE(common::WriteTextFile(fresh.filePath("receipts.db"), QString(4096, u'x')));
    for (const QStringList& args :
         {QStringList{"--receipts"}, {"--pnr", sample(), "--pdf", fresh.filePath("d.pdf")}}) {
        r = runPrint(args + QStringList{"--data-dir", fresh.path()});
        EXPECT_EQ(r.exitCode, 1);
        const QString said = (r.lines + r.errors).join('\n');
        EXPECT_TRUE(said.contains(QStringLiteral("receipts.db 出错：file is not a")))
            << said.toStdString();
    }
    EXPECT_FALSE(QFileInfo::exists(fresh.filePath("d.pdf")));
}

TEST(HeadlessPrint, PdfWriteErrorsAreReportedAndKeepTheFileThatWasThere) {
    QTemporaryDir dir;
    PrintRun r = runPrint({"--pnr", sample(), "--pdf", "/dev/full", "--check-code", "0041",
                           "--data-dir", dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.lines.value(r.lines.size() - 1), QStringLiteral("无法写入PDF文件"));

    QTemporaryDir fresh; // no log, so no check code: refused
    const QString out = fresh.filePath("old.pdf");
    ASSERT_TRUE(common::WriteTextFile(out, QStringLiteral("an earlier PDF")));
    r = runPrint({"--pnr", sample(), "--pdf", out, "--data-dir", fresh.path()});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(common::ReadTextFile(out), QStringLiteral("an earlier PDF"));
    QStringList files = QDir(fresh.path()).entryList(QDir::Files);
    files.removeOne(QStringLiteral("receipts.db"));
    EXPECT_EQ(files, QStringList({"old.pdf"})); // no copies
}

TEST(HeadlessPrint, OversizedInputIsRefusedWithOneLineForEveryEntry) {
    for (const char* option : {"--pnr", "--handoff", "--sheet"}) {
        QProcess p;
        p.start(qEnvironmentVariable("WS_BIN_DIR") + "/print", {option, "/dev/zero"});
        ASSERT_TRUE(p.waitForFinished(20000)) << option;
        EXPECT_EQ(p.exitCode(), 2) << option;
        EXPECT_EQ(p.readAllStandardError().count('\n'), 1) << option;
    }
    const PrintRun r = runPrint({"--pnr", "/dev/zero", "--pdf", "/dev/null"});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_EQ(r.lines.size(), 1);
}

TEST(HeadlessPrint, UnknownPrinterIsAMessageAndExitOne) {
    QTemporaryDir dir;
    const PrintRun r = runPrint({"--pnr", sample(), "--printer", "no-such-printer-here",
                                 "--check-code", "0041", "--data-dir", dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.lines.size(), 1);
    EXPECT_TRUE(r.lines[0].contains("no-such-printer-here"));
}

// A real printer: scripts/test runs a print server with a PDF printer as the default
// queue and names its output folder in WS_PRINTER_OUT_DIR.
TEST(RealPrinter, ReceiptOnTheDefaultPrinterArrivesInItsOutputFolder) {
    const QString outDir = qEnvironmentVariable("WS_PRINTER_OUT_DIR");
    if (outDir.isEmpty()) GTEST_SKIP() << "no test print server (run through scripts/test)";
    const QStringList before = QDir(outDir).entryList({"*.pdf"}, QDir::Files);
    QTemporaryDir dir;
    const PrintRun r = runPrint({"--pnr", sample(), "--printer", "default", "--check-code", "0041",
                                 "--data-dir", dir.path()});
    ASSERT_EQ(r.exitCode, 0) << r.lines.join('\n').toStdString();
    EXPECT_EQ(r.lines.size(), 2);
    itin::ReceiptLog log; // each job logged once, as the queue took it
    ASSERT_TRUE(log.open(dir.filePath("receipts.db")));
    EXPECT_EQ(log.list().size(), 2);

    // Both jobs become files in the output folder; wait for them, bounded.
    QStringList fresh;
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 60000) {
        fresh.clear();
        // A file counts once it reads as a whole PDF (the printer writes it in steps).
        for (const QString& f : QDir(outDir).entryList({"*.pdf"}, QDir::Files))
            if (!before.contains(f) && !ReadPdf(QDir(outDir).filePath(f)).isEmpty()) fresh << f;
        if (fresh.size() >= 2) break;
        QThread::msleep(200);
    }
    ASSERT_GE(fresh.size(), 2) << "printer output folder " << outDir.toStdString();
    // The same receipts as a PDF: the printer's page carries the print where the PDF does
    // (within 0.3 mm, 17 twips).
    const QString pdf = dir.filePath("same.pdf");
    ASSERT_EQ(runPrint({"--pnr", sample(), "--pdf", pdf, "--check-code", "0041", "--data-dir",
                        dir.path(), "--reprint"})
                  .exitCode,
              0);
    const QRectF expected = InkBox(pdf, 0);
    ASSERT_FALSE(expected.isEmpty());
    // Each job is one page of the receipt form's size with print on it (the printer's
    // conversion keeps the drawing, not always the text layer).
    for (const QString& f : fresh) {
        const QString path = QDir(outDir).filePath(f);
        const QList<PdfPage> pages = ReadPdf(path);
        ASSERT_EQ(pages.size(), 1) << f.toStdString();
        EXPECT_NEAR(pages[0].widthTwips, 238 * 56.69, 40);
        EXPECT_NEAR(pages[0].heightTwips, 106.6 * 56.69, 40);
        EXPECT_GT(InkShare(path, 0), 0.001) << f.toStdString();
        const QRectF ink = InkBox(path, 0);
        EXPECT_NEAR(ink.left(), expected.left(), 17) << f.toStdString();
        EXPECT_NEAR(ink.top(), expected.top(), 17) << f.toStdString();
        QFile::remove(path);
    }
}

TEST(RealPrinter, RefusedJobIsAMessageAndTheRunFails) {
    const QString refusing = qEnvironmentVariable("WS_REFUSING_PRINTER");
    if (refusing.isEmpty()) GTEST_SKIP() << "no test print server (run through scripts/test)";
    QTemporaryDir dir;
    const PrintRun r = runPrint({"--pnr", sample(), "--printer", refusing, "--check-code", "0041",
                                 "--data-dir", dir.path()});
    EXPECT_EQ(r.exitCode, 1);
    ASSERT_EQ(r.lines.size(), 1) << r.lines.join('\n').toStdString();
    EXPECT_TRUE(r.lines[0].startsWith(QStringLiteral("打印机拒绝了打印任务")))
        << r.lines[0].toStdString();
    itin::ReceiptLog log; // a refused job is logged as failed, its codes free again
    ASSERT_TRUE(log.open(dir.filePath("receipts.db")));
    ASSERT_EQ(log.list().size(), 2);
    EXPECT_EQ(log.list().first().status, ReceiptStatus::Failed);
    EXPECT_FALSE(log.list().first().reason.isEmpty());
    EXPECT_FALSE(log.contains("0041"));
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs the program without the test environment.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
