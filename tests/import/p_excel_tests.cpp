// The spreadsheet dialog end to end, offscreen: opened from the print form, a workbook
// chosen through the file-dialog seam, rows double-clicked into the print form.
#include "import/spreadsheet/p_excel.h"
#include "support/gui.h"
#include "support/station.h"

#include <QFile>
#include <QHeaderView>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

using namespace itin;
using ximport::P_excel;

namespace {

QString dataFile(const char* name) {
    return QStringLiteral(WS_TEST_DATA_DIR "/") + QString::fromLatin1(name);
}

class SpreadsheetDialog : public support::StationTest {
protected:
    P_excel* openFromForm(P_GuoNei* form) {
        support::Click(form, "Cmdd2");
        auto* dlg = support::Window<P_excel>("P_excel");
        EXPECT_NE(dlg, nullptr);
        return dlg;
    }
    static QTreeWidget* listView(P_excel* dlg) {
        return support::Child<QTreeWidget>(dlg, "ListView1");
    }
    static QPushButton* chooseButton(P_excel* dlg) {
        return support::Child<QPushButton>(dlg, "Command1");
    }
    // The agent clicks the button and picks path in the file dialog (empty: cancels).
    void choose(P_excel* dlg, const QString& path) {
        fileDialogs.answer = path;
        QTest::mouseClick(chooseButton(dlg), Qt::LeftButton);
    }
    static void doubleClickRow(P_excel* dlg, int index) {
        QTreeWidget* list = listView(dlg);
        const QRect r = list->visualItemRect(list->topLevelItem(index));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, r.center());
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, r.center());
    }
};

} // namespace

TEST_F(SpreadsheetDialog, RowsFillThePrintFormAndTheDialogStays) {
    P_GuoNei* form = open();
    P_excel* dlg = openFromForm(form);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("读取表格文件"));
    EXPECT_EQ(chooseButton(dlg)->text(), QStringLiteral("选择表格文件"));
    // Side by side: the dialog's right edge meets the form's left edge, tops aligned.
    EXPECT_EQ(dlg->pos().x() + dlg->frameGeometry().width(), form->pos().x());
    EXPECT_EQ(dlg->pos().y(), form->pos().y());

    choose(dlg, dataFile("tickets.xlsx"));
    EXPECT_EQ(fileDialogs.asked, QList<QString>{QStringLiteral("打开文件")});
    EXPECT_EQ(fileDialogs.lastFolder, dir.path());
    EXPECT_EQ(fileDialogs.lastFilter, QStringLiteral("表格文件(*.xls; *.xlt; *.xlsx)"));
    QTreeWidget* list = listView(dlg);
    ASSERT_EQ(list->topLevelItemCount(), 6);
    for (const auto& [column, caption, width] :
         {std::tuple(0, "序号", 40), std::tuple(1, "姓名", 106), std::tuple(2, "票号", 133)}) {
        EXPECT_EQ(list->headerItem()->text(column), QString::fromUtf8(caption));
        EXPECT_EQ(list->columnWidth(column), width);
    }
    EXPECT_EQ(list->topLevelItem(0)->text(1), QStringLiteral("张三"));

    for (int round = 0; round < 2; ++round) {
        doubleClickRow(dlg, 0);
        const ItineraryRecord& rec = form->record();
        EXPECT_EQ(rec[PnrCode], QStringLiteral("HX3K8M"));
        EXPECT_EQ(rec[PnrQuery], QStringLiteral("HX3K8M"));
        EXPECT_EQ(rec[PassengerName], QStringLiteral("张三"));
        EXPECT_EQ(rec[Flight1], QStringLiteral("CA1501"));
        EXPECT_EQ(rec[Date1], QStringLiteral("2026/3/12"));
        EXPECT_EQ(rec[Time1], QStringLiteral("08:30"));
        EXPECT_EQ(rec[TicketNumber], QStringLiteral("7812345678901"));
        EXPECT_EQ(rec[CheckCode], QStringLiteral("7890"));
        EXPECT_EQ(rec[Fare], QStringLiteral("CNY 1130.00"));
        EXPECT_EQ(rec[Total], QStringLiteral("CNY 1230.00"));
        EXPECT_EQ(support::Box(form, PassengerName)->text(), QStringLiteral("张三"));
        EXPECT_TRUE(dlg->isVisible());
        EXPECT_EQ(root().printForms().form(), form);
    }
    // The second row's ticket number is trimmed before its last four characters are taken.
    doubleClickRow(dlg, 1);
    EXPECT_EQ(form->record()[CheckCode], QStringLiteral("0001"));
    // Its booking reference "HX;3K" holds a ";", which shifts the later fields by one.
    EXPECT_EQ(form->record()[PassengerName], QStringLiteral("3K"));
    EXPECT_EQ(form->record()[Time1], QStringLiteral("2026/3/14"));
    // A second click on the button brings up the same dialog.
    support::Click(form, "Cmdd2");
    EXPECT_EQ(support::Window<P_excel>("P_excel"), dlg);
}

TEST_F(SpreadsheetDialog, FailuresAndCancelKeepTheList) {
    P_GuoNei* form = open();
    P_excel* dlg = openFromForm(form);
    ASSERT_NE(dlg, nullptr);
    choose(dlg, dataFile("tickets.xls"));
    ASSERT_EQ(listView(dlg)->topLevelItemCount(), 6);

    const QString corrupt = dir.filePath(QStringLiteral("corrupt.xls"));
    QFile f(corrupt);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8) + QByteArray(2000, '\x7f'));
    f.close();
    for (const QString& bad : {corrupt, dataFile("no_sheet1.xlsx"), dir.filePath("gone.xls")}) {
        messages.clear();
        choose(dlg, bad);
        ASSERT_EQ(messages.shown.size(), 1);
        EXPECT_EQ(messages.shown[0].title, QStringLiteral("错误提示"));
        EXPECT_TRUE(messages.shown[0].text.contains(QFileInfo(bad).fileName()));
        EXPECT_EQ(listView(dlg)->topLevelItemCount(), 6);
    }
    messages.clear();
    choose(dlg, QString()); // cancelled
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(listView(dlg)->topLevelItemCount(), 6);

    // A double-click below the rows, none selected: nothing is written.
    listView(dlg)->clearSelection();
    const QString before = form->record()[PnrCode];
    QWidget* rows = listView(dlg)->viewport();
    QTest::mouseDClick(rows, Qt::LeftButton, {}, QPoint(10, rows->height() - 5));
    EXPECT_EQ(form->record()[PnrCode], before);

    // An empty list from a workbook whose A1 is empty replaces the old rows.
    choose(dlg, dataFile("empty_a1.xls"));
    EXPECT_EQ(listView(dlg)->topLevelItemCount(), 0);
    EXPECT_FALSE(listView(dlg)->isHeaderHidden());
}

TEST_F(SpreadsheetDialog, DoubleClickLoadsAClosedForm) {
    P_GuoNei* form = open();
    P_excel* dlg = openFromForm(form);
    ASSERT_NE(dlg, nullptr);
    choose(dlg, dataFile("tickets.xls"));
    root().printForms().unload();
    support::Settle();
    ASSERT_EQ(root().printForms().form(), nullptr);
    doubleClickRow(dlg, 0);
    ASSERT_NE(root().printForms().form(), nullptr);
    EXPECT_EQ(root().printForms().form()->record()[PassengerName], QStringLiteral("张三"));
    EXPECT_TRUE(root().formState().printFormOpen);
}
