// The receipt workbench on the print form: print-all with the log, check codes that carry
// on and ask before repeating, the passenger position, the live preview, the log window.
#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/receipt_workbench.h"
#include "itinerary/parser.h"
#include "itinerary/receipts/receipt_log.h"
#include "support/gui.h"
#include "support/station.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableView>
#include <QTest>
#include <QTimer>

using namespace itin;
using support::Box;
using support::Child;
using support::Click;

namespace {

using FormFixture = support::StationTest;

class Workbench : public support::StationTest {
protected:
    itin::ReceiptLog log; // the program's own file, opened here so the test can read it
    void SetUp() override {
        ASSERT_TRUE(log.open(dir.filePath("receipts.db")));
        root().itinerary().receiptLog = &log;
    }
    QStringList loggedCodes() {
        QStringList codes;
        for (const itin::Receipt& r : log.list())
            codes << r.checkCode;
        return codes;
    }
    bool said(const QString& text) { return support::ShownTexts(messages).contains(text); }
    static QString cell(QTableView* table, int row, int column) {
        return table->model()->index(row, column).data().toString();
    }
};

} // namespace

TEST_F(Workbench, PrintAllLogsEachReceiptOnceAndStopsAtTheFirstRefusal) {
    P_GuoNei* f = open();
    Child<QTimer>(f, "Timer1")->setInterval(10);
    f->record().setPassengers({{"A", "1", "T1"}, {"B", "2", "T2"}, {"C", "3", "T3"}});
    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0041"));
    auto* position = f->findChild<QLabel*>("PassengerPosition");
    EXPECT_EQ(position->text(), QStringLiteral("第 1/3 位"));
    root().itinerary().makePrintSurface = [this]() -> std::unique_ptr<PrintSurface> {
        if (printed.pages.size() == 2) return nullptr; // the third receipt is refused
        return std::make_unique<support::RecordingSurface>(&printed);
    };
    Click(f, "cmdprintall");
    // While it runs, nothing else changes the passenger.
    EXPECT_EQ(position->text(), QStringLiteral("正在打印 第 2/3 位"));
    for (const char* name : {"cmdnext", "cmdpau", "cmdprint", "cmdprintall", "Command1", "Label27"})
        EXPECT_FALSE(Child<QWidget>(f, name)->isEnabled()) << name;
    EXPECT_TRUE(Child<QWidget>(f, "cmdstopall")->isVisible());
    support::WaitUntil([&] { return messages.shown.size() >= 2; }, 2000);
    EXPECT_TRUE(said(QStringLiteral("已打印 2 张行程单，第 3/3 位未能打印")));
    EXPECT_TRUE(said(QStringLiteral("打印机不可用")));
    EXPECT_TRUE(Child<QWidget>(f, "cmdpau")->isEnabled());
    EXPECT_FALSE(Child<QWidget>(f, "cmdstopall")->isVisible());
    ASSERT_EQ(printed.pages.size(), 2);
    EXPECT_NE(printed.pages[1].find("B"), nullptr);
    // The third row was taken with the others; its code is free again.
    EXPECT_EQ(loggedCodes(), QStringList({"0043", "0042", "0041"}));
    EXPECT_EQ(log.list().first().reason, QStringLiteral("打印机不可用"));
    EXPECT_EQ(log.nextCheckCode(), "0043");
    EXPECT_EQ(Box(f, CheckCode)->text(), "0043");
    EXPECT_EQ(f->findChild<QLabel*>("PassengerPosition")->text(), QStringLiteral("第 3/3 位"));
}

TEST_F(Workbench, PrintAllStopsAfterTheReceiptInThePrinterOnStopOrEsc) {
    for (const bool byKey : {false, true}) {
        SCOPED_TRACE(byKey);
        P_GuoNei* f = open();
        f->record().setPassengers({{"A", "1", "T1"}, {"B", "2", "T2"}, {"C", "3", "T3"}});
        type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
        type(Box(f, CheckCode), byKey ? QStringLiteral("0051") : QStringLiteral("0041"));
        messages.clear();
        printed.pages.clear();
        Click(f, "cmdprintall"); // the first receipt is out; the run waits for the block
        // Every passenger's row was written before the first page.
        const QList<Receipt> taken = log.list();
        ASSERT_EQ(taken.size(), byKey ? 6 : 3);
        for (const Receipt& r : taken.first(3))
            EXPECT_EQ(r.status, ReceiptStatus::Reserved);
        if (byKey)
            QTest::keyClick(f, Qt::Key_Escape);
        else
            Click(f, "cmdstopall");
        EXPECT_EQ(printed.pages.size(), 1);
        EXPECT_TRUE(said(QStringLiteral("已打印 1 张行程单，已停止，第 2/3 位未打印")));
        EXPECT_EQ(Box(f, PassengerName)->text(), "B");
        // The rows not printed give their codes back: B's code comes next again.
        const QList<Receipt> after = log.list();
        EXPECT_EQ(after[2].status, ReceiptStatus::Printed);
        for (const Receipt& r : after.first(2))
            EXPECT_EQ(r.reason, QStringLiteral("已停止，未打印"));
        EXPECT_EQ(Box(f, CheckCode)->text(), byKey ? "0052" : "0042");
        EXPECT_FALSE(log.contains(byKey ? "0052" : "0042"));
        EXPECT_TRUE(Child<QWidget>(f, "cmdnext")->isEnabled());
        f->close();
        support::Settle();
    }
}

TEST_F(FormFixture, TheLogOpensWhenTheFormIsFirstShownNotWhenItLoads) {
    {
        itin::ReceiptLog earlier;
        ASSERT_TRUE(earlier.open(dir.filePath("receipts.db")) && earlier.setNextCheckCode("0077"));
    }
    itin::ReceiptLog log;
    log.setPath(dir.filePath("receipts.db"));
    root().itinerary().receiptLog = &log;
    P_GuoNei* f = root().printForms().ensureLoaded();
    EXPECT_FALSE(log.isOpen());
    open();
    support::WaitUntil([&] { return !Box(f, CheckCode)->text().isEmpty(); }, 2000);
    EXPECT_EQ(Box(f, CheckCode)->text(), "0077");
    root().itinerary().receiptLog = nullptr;
}

TEST_F(Workbench, PrintAllAfterASpreadsheetRowPrintsThatRowOnly) {
    P_GuoNei* f = open();
    Child<QTimer>(f, "Timer1")->setInterval(10);
    ParseReservationText(
        QStringLiteral(" 1.张三 2.李四 3.王五 HX3K8M\r\n"
                       " 4.  CA1501 Y   SA12MAR  PEKSHA HK3   0830 1040          E T3T2\r\n"
                       " 5.  MU5101 Y   MO14MAR  SHAPEK HK3   0900 1120          E T2T2\r\n"),
        f->record(), messages, clock);
    FillFromTicketRow(
        QStringLiteral(";784-1;0041;JK9L0P;赵六;E1;CZ3101;Y;CANPVG;2026-03-12;08:30;800;50;0"),
        *root().printForm().loadRecord());
    EXPECT_EQ(f->findChild<QLabel*>("PassengerPosition")->text(), QStringLiteral("第 1/1 位"));
    Click(f, "cmdprintall");
    support::WaitUntil([&] { return said(QStringLiteral("已打印 1 张行程单")); }, 2000);
    ASSERT_EQ(printed.pages.size(), 1);
    EXPECT_NE(printed.pages[0].find(QStringLiteral("赵六")), nullptr);
    for (const char* earlier : {"HX3K8M", "MU5101", "张三", "李四"})
        EXPECT_EQ(printed.pages[0].find(QString::fromUtf8(earlier)), nullptr) << earlier;
}

TEST_F(Workbench, CheckCodeCarriesOnAndARepeatIsPrintedOnlyWhenConfirmed) {
    itin::Receipt earlier;
    earlier.checkCode = "0049";
    earlier.printedAt = clock.now();
    ASSERT_TRUE(log.record(earlier, "0050"));
    P_GuoNei* f = open();
    EXPECT_EQ(Box(f, CheckCode)->text(), "0050");
    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0049"));
    Click(f, "cmdprint");
    EXPECT_TRUE(printed.pages.isEmpty());
    EXPECT_TRUE(said(QStringLiteral("验证码 0049 已在打印记录中，确定用它再打印一张吗？")));
    messages.answer = true;
    tick(f);
    Click(f, "cmdprint");
    EXPECT_EQ(printed.pages.size(), 1);
    EXPECT_EQ(loggedCodes(), QStringList({"0049", "0049"}));
    EXPECT_EQ(Box(f, CheckCode)->text(), "0050"); // the counter did not move back
    EXPECT_EQ(log.nextCheckCode(), "0050");

    // Refused before printing: a code that is not 1-4 digits, a log that cannot be written.
    itin::ReceiptLog damaged;
    QFile bad(dir.filePath("bad.db"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly) && bad.write(QByteArray(4096, 'x')) == 4096);
    bad.close();
    damaged.setPath(bad.fileName());
    const std::pair<const char*, QString> refusals[] = {
        {"abc", QStringLiteral("验证码只能是1到4位数字")},
        {"0051", QStringLiteral("打印记录 receipts.db 出错：file is not a database")}};
    for (const auto& [code, message] : refusals) {
        if (QString(code) == "0051") root().itinerary().receiptLog = &damaged;
        messages.clear();
        tick(f);
        type(Box(f, CheckCode), QString(code));
        Click(f, "cmdprint");
        EXPECT_EQ(printed.pages.size(), 1) << code;
        ASSERT_EQ(messages.shown.size(), 1) << code;
        EXPECT_TRUE(messages.shown[0].text.startsWith(message))
            << messages.shown[0].text.toStdString();
    }
}

TEST_F(Workbench, PreviewFollowsTheRecordAndTheLogWindowFiltersMarksAndExports) {
    P_GuoNei* f = open();
    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0041"));
    Click(f, "cmdpreview");
    auto* preview = f->findChild<P_Preview*>("P_Preview");
    ASSERT_NE(preview, nullptr);
    support::Settle();
    EXPECT_EQ(preview->flaggedCount(), 0);
    f->record().setField(Carrier1, QStringLiteral("中国国际航空股份有限公司"));
    type(Box(f, Flight1), QStringLiteral("CA1501"));
    support::Settle();
    EXPECT_GE(preview->flaggedCount(), 2);
    EXPECT_FALSE(Child<QLabel>(preview, "PreviewStatus")->text().isEmpty());
    EXPECT_EQ(Box(f, CheckCode)->text(), "0041"); // the preview prints nothing

    Click(f, "cmdprint");
    Click(f, "cmdreceipts");
    auto* window = f->findChild<P_Receipts*>("P_Receipts");
    ASSERT_NE(window, nullptr);
    auto* table = Child<QTableView>(window, "ReceiptTable");
    ASSERT_EQ(table->model()->rowCount(), 1);
    EXPECT_EQ(cell(table, 0, 1), "0041");
    table->selectRow(0);
    Click(window, "cmdspoil");
    EXPECT_EQ(cell(table, 0, 10), QStringLiteral("作废"));
    fileDialogs.answer = dir.filePath("log"); // ".csv" is added
    Click(window, "cmdcsv");
    QFile csv(dir.filePath("log.csv"));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(
        said(QStringLiteral("已导出 1 条记录到 ") + QDir::toNativeSeparators(csv.fileName())));
}

TEST_F(Workbench, TheLogWindowSearchesAsTypedAndFollowsNewPrints) {
    const std::tuple<QDate, const char*, const char*> rows[] = {
        {{2026, 3, 1}, "HX3K8M", "999-1234567890"}, {{2026, 3, 2}, "ab12cd", "999-2222222222"}};
    for (const auto& [day, pnr, ticket] : rows) {
        itin::Receipt r;
        r.printedAt = QDateTime(day, QTime(23, 59));
        r.checkCode = QString::number(day.day());
        r.pnr = pnr;
        r.ticketNumber = ticket;
        ASSERT_TRUE(log.record(r, {}));
    }
    P_GuoNei* f = open();
    Click(f, "cmdreceipts");
    auto* window = f->findChild<P_Receipts*>("P_Receipts");
    ASSERT_NE(window, nullptr);
    auto* table = Child<QTableView>(window, "ReceiptTable");
    auto* count = Child<QLabel>(window, "ReceiptCount");
    EXPECT_EQ(count->text(), QStringLiteral("共 2 条"));
    EXPECT_EQ(cell(table, 0, 5), "ab12cd");                      // newest first
    EXPECT_EQ(cell(table, 0, WorkstationColumn), log.counter()); // the local log's own counter
    const std::tuple<const char*, const char*, QString> searches[] = {
        {"from", "2026/3/2", QStringLiteral("共 1 条")},
        {"from", "20260301", QStringLiteral("共 2 条")},
        {"to", "2026-3-1", QStringLiteral("共 1 条")},
        {"pnr", "hx3k", QStringLiteral("共 1 条")},
        {"ticket", "2222222222", QStringLiteral("共 1 条")},
        {"code", "0002", QStringLiteral("共 1 条")},
        {"pnr", "ZZZ", QStringLiteral("没有找到记录")},
        {"workstation", "GT02", QStringLiteral("没有找到记录")},
        {"to", "2026-13-01",
         QStringLiteral("无法识别日期 2026-13-01，请写成 2026-03-01、2026/3/1 或 20260301")},
    };
    for (const auto& [name, text, expected] : searches) {
        for (const char* other : {"from", "to", "ticket", "pnr", "code", "workstation"})
            Child<QLineEdit>(window, other)->clear();
        Child<QLineEdit>(window, name)->setText(text);
        Click(window, "cmdquery");
        EXPECT_EQ(count->text(), expected) << name << " " << text;
    }
    EXPECT_TRUE(Child<QLineEdit>(window, "to")->property("invalid").toBool());

    Child<QLineEdit>(window, "to")->clear();
    Click(window, "cmdquery");
    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, CheckCode), QStringLiteral("0041"));
    Click(f, "cmdprint");
    EXPECT_EQ(count->text(), QStringLiteral("共 3 条"));
    table->sortByColumn(1, Qt::AscendingOrder);
    EXPECT_EQ(cell(table, 0, 1), "1");
    EXPECT_EQ(cell(table, 2, 1), "0041");
}

TEST_F(Workbench, ReprintRefillsTheFormFromTheLogAndLogsANewRow) {
    P_GuoNei* f = open();
    f->record().setPassengers({{"A", "1", "T1"}, {"B", "2", "T2"}});
    type(Box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(Box(f, Flight1), QStringLiteral("CA1501"));
    type(Box(f, CheckCode), QStringLiteral("0041"));
    Click(f, "cmdprint");
    Click(f, "cmdnext");
    type(Box(f, Flight1), QStringLiteral("MU5101"));
    Click(f, "cmdreceipts");
    auto* window = f->findChild<P_Receipts*>("P_Receipts");
    ASSERT_NE(window, nullptr);
    auto* table = Child<QTableView>(window, "ReceiptTable");
    table->selectRow(0);
    Click(window, "cmdreprint"); // declined: nothing changes
    EXPECT_EQ(f->record().field(PassengerName), "B");
    EXPECT_TRUE(
        messages.shown.last().text.startsWith(QStringLiteral("当前表单上的 HX3K8M 将被替换。")));
    messages.answer = true;
    Click(window, "cmdreprint");
    ASSERT_EQ(printed.pages.size(), 2);
    EXPECT_NE(printed.pages[1].find("A"), nullptr);
    EXPECT_NE(printed.pages[1].find("CA1501"), nullptr);
    EXPECT_NE(printed.pages[1].find("0042"), nullptr);
    EXPECT_EQ(loggedCodes(), QStringList({"0042", "0041"}));
    EXPECT_EQ(f->record().field(PassengerName), "A");
    EXPECT_FALSE(f->record().nextEnabled());
    EXPECT_EQ(Box(f, CheckCode)->text(), "0043");
    EXPECT_EQ(table->model()->rowCount(), 2);
}

TEST_F(Workbench, FlightsTheReceiptLeavesOutAreToldOncePerBooking) {
    P_GuoNei* f = open();
    const QString text =
        QStringLiteral("1.张三 HX3K8M\r\n"
                       "2.  CA1501 Y   SA12MAR  PEKSHA HK1   0830 1040          E T3T2\r\n"
                       "3.  MU5101 Y   MO14MAR  SHACAN HK1   0900 1120          E T2T2\r\n"
                       "4.  CZ3101 Y   TU15MAR  CANPEK HK1   0900 1120          E T2T2\r\n");
    ParseReservationText(text, f->record(), messages, clock);
    f->record().setField(CheckCode, "0041");
    Click(f, "cmdprint");
    EXPECT_TRUE(said(QStringLiteral("行程单只打印前两个航段，以下航班不在行程单上：CZ3101")));
    EXPECT_EQ(printed.pages.size(), 1);
    messages.clear();
    tick(f);
    Click(f, "cmdprint");
    EXPECT_TRUE(messages.shown.isEmpty());
}
