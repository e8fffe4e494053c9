// The receipt workbench on the print form: print-all with the log, check codes that carry
// on and ask before repeating, the passenger position, the live preview, the log window.
#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/receipt_workbench.h"
#include "itinerary/parser.h"
#include "itinerary/receipts/receipt_log.h"
#include "support/gui.h"
#include "tests/itinerary/form_fixture.h"

#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTableWidget>
#include <QTimer>

using namespace itin;
using namespace itin::testing;
using support::box;
using support::child;
using support::click;

namespace {

class Workbench : public FormFixture {
protected:
    itin::ReceiptLog log;
    void SetUp() override {
        ASSERT_TRUE(log.open(dir.filePath("receipts.db")));
        ctx.receiptLog = &log;
    }
    QStringList loggedCodes() {
        QStringList codes;
        for (const itin::Receipt& r : log.list())
            codes << r.checkCode;
        return codes;
    }
    bool said(const QString& text) { return support::shownTexts(messages).contains(text); }
};

} // namespace

TEST_F(Workbench, PrintAllLogsEachReceiptOnceAndStopsAtTheFirstRefusal) {
    P_GuoNei* f = open();
    child<QTimer>(f, "Timer1")->setInterval(10);
    SetPassengerList(common, f->record(), {{"A", "1", "T1"}, {"B", "2", "T2"}, {"C", "3", "T3"}});
    type(box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(box(f, CheckCode), QStringLiteral("0041"));
    EXPECT_EQ(f->findChild<QLabel*>("PassengerPosition")->text(), QStringLiteral("第 1/3 位"));
    ctx.makePrintSurface = [this]() -> std::unique_ptr<PrintSurface> {
        if (printed.pages.size() == 2) return nullptr; // the third receipt is refused
        return std::make_unique<SharedSurface>(printed);
    };
    click(f, "cmdprintall");
    support::waitUntil([&] { return said(QStringLiteral("已打印 2 张行程单")); }, 2000);
    EXPECT_TRUE(said(QStringLiteral("打印机不可用")));
    ASSERT_EQ(printed.pages.size(), 2);
    EXPECT_NE(printed.pages[1].find("B"), nullptr);
    EXPECT_EQ(loggedCodes(), QStringList({"0042", "0041"}));
    EXPECT_EQ(log.nextCheckCode(), "0043");
    EXPECT_EQ(box(f, CheckCode)->text(), "0043");
    EXPECT_EQ(f->findChild<QLabel*>("PassengerPosition")->text(), QStringLiteral("第 3/3 位"));
}

TEST_F(Workbench, CheckCodeCarriesOnAndARepeatIsPrintedOnlyWhenConfirmed) {
    itin::Receipt earlier;
    earlier.checkCode = "0049";
    earlier.printedAt = clock.now();
    ASSERT_TRUE(log.record(earlier, "0050"));
    P_GuoNei* f = open();
    EXPECT_EQ(box(f, CheckCode)->text(), "0050");
    type(box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(box(f, CheckCode), QStringLiteral("0049"));
    click(f, "cmdprint");
    EXPECT_TRUE(printed.pages.isEmpty());
    EXPECT_TRUE(said(QStringLiteral("验证码 0049 已在打印记录中，确定用它再打印一张吗？")));
    messages.answer = true;
    tick(f);
    click(f, "cmdprint");
    EXPECT_EQ(printed.pages.size(), 1);
    EXPECT_EQ(loggedCodes(), QStringList({"0049", "0049"}));
}

TEST_F(Workbench, PreviewFollowsTheRecordAndTheLogWindowFiltersMarksAndExports) {
    P_GuoNei* f = open();
    type(box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(box(f, CheckCode), QStringLiteral("0041"));
    click(f, "cmdpreview");
    auto* preview = f->findChild<P_Preview*>("P_Preview");
    ASSERT_NE(preview, nullptr);
    settle();
    EXPECT_EQ(preview->flaggedCount(), 0);
    f->record().setField(Carrier1, QStringLiteral("中国国际航空股份有限公司"));
    type(box(f, Flight1), QStringLiteral("CA1501"));
    settle();
    EXPECT_GE(preview->flaggedCount(), 2);
    EXPECT_FALSE(child<QLabel>(preview, "PreviewStatus")->text().isEmpty());
    EXPECT_EQ(box(f, CheckCode)->text(), "0041"); // the preview prints nothing

    click(f, "cmdprint");
    click(f, "cmdreceipts");
    auto* window = f->findChild<P_Receipts*>("P_Receipts");
    ASSERT_NE(window, nullptr);
    auto* table = child<QTableWidget>(window, "ReceiptTable");
    ASSERT_EQ(table->rowCount(), 1);
    EXPECT_EQ(table->item(0, 1)->text(), "0041");
    child<QLineEdit>(window, "code")->setText("0042");
    click(window, "cmdquery");
    EXPECT_EQ(table->rowCount(), 0);
    child<QLineEdit>(window, "code")->clear();
    click(window, "cmdquery");
    table->selectRow(0);
    click(window, "cmdspoil");
    EXPECT_EQ(table->item(0, 10)->text(), QStringLiteral("作废"));
    fileDialogs.answer = dir.filePath("log.csv");
    click(window, "cmdcsv");
    QFile csv(fileDialogs.answer);
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly));
    EXPECT_TRUE(csv.readAll().startsWith("\xEF\xBB\xBF"));
}

TEST_F(Workbench, ReprintRefillsTheFormFromTheLogAndLogsANewRow) {
    P_GuoNei* f = open();
    SetPassengerList(common, f->record(), {{"A", "1", "T1"}, {"B", "2", "T2"}});
    type(box(f, PnrQuery), QStringLiteral("HX3K8M"));
    type(box(f, Flight1), QStringLiteral("CA1501"));
    type(box(f, CheckCode), QStringLiteral("0041"));
    click(f, "cmdprint");
    click(f, "cmdnext");
    type(box(f, Flight1), QStringLiteral("MU5101"));
    click(f, "cmdreceipts");
    auto* window = f->findChild<P_Receipts*>("P_Receipts");
    ASSERT_NE(window, nullptr);
    auto* table = child<QTableWidget>(window, "ReceiptTable");
    table->selectRow(0);
    click(window, "cmdreprint"); // declined: nothing changes
    EXPECT_EQ(f->record().field(PassengerName), "B");
    messages.answer = true;
    click(window, "cmdreprint");
    ASSERT_EQ(printed.pages.size(), 2);
    EXPECT_NE(printed.pages[1].find("A"), nullptr);
    EXPECT_NE(printed.pages[1].find("CA1501"), nullptr);
    EXPECT_NE(printed.pages[1].find("0042"), nullptr);
    EXPECT_EQ(loggedCodes(), QStringList({"0042", "0041"}));
    EXPECT_EQ(f->record().field(PassengerName), "A");
    EXPECT_FALSE(f->record().nextEnabled());
    EXPECT_EQ(box(f, CheckCode)->text(), "0043");
    EXPECT_EQ(table->rowCount(), 2);
}

TEST_F(Workbench, FlightsTheReceiptLeavesOutAreToldOncePerBooking) {
    P_GuoNei* f = open();
    const QString text =
        QStringLiteral("1.张三 HX3K8M\r\n"
                       "2.  CA1501 Y   SA12MAR  PEKSHA HK1   0830 1040          E T3T2\r\n"
                       "3.  MU5101 Y   MO14MAR  SHACAN HK1   0900 1120          E T2T2\r\n"
                       "4.  CZ3101 Y   TU15MAR  CANPEK HK1   0900 1120          E T2T2\r\n");
    ParseReservationText(text, common, f->record(), messages, clock);
    f->record().setField(CheckCode, "0041");
    click(f, "cmdprint");
    EXPECT_TRUE(said(QStringLiteral("行程单只打印前两个航段，以下航班不在行程单上：CZ3101")));
    EXPECT_EQ(printed.pages.size(), 1);
    messages.clear();
    tick(f);
    click(f, "cmdprint");
    EXPECT_TRUE(messages.shown.isEmpty());
}
