#include "import/spreadsheet/p_excel.h"

#include "common/forms/window_host.h"
#include "import/import_context.h"
#include "itinerary/booking_form.h"
#include "itinerary/form_placement.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/forms/twips.h"
#include "itinerary/parser.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeWidget>

namespace ximport {

namespace {
constexpr int kWidthTwips = 4815;
constexpr int kHeightTwips = 6825;
} // namespace

P_excel::P_excel(itin::BookingForm& form, itin::FormPlacement& placement,
                 itin::ItineraryContext& ctx, QWidget* parent)
    : QWidget(parent, Qt::Dialog), form_(form), placement_(placement), ctx_(ctx) {
    setObjectName(QStringLiteral("P_excel"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("读取表格文件"));
    setFont(itin::SongTi(9));
    resize(kWidthTwips / itin::kTwipsPerPixel, kHeightTwips / itin::kTwipsPerPixel);

    Command1_ = new QPushButton(QStringLiteral("选择表格文件"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    itin::PlaceTwips(Command1_, 120, 120, 1695, 375);

    // A list view in report view: column headers, whole-row selection, no tree lines.
    ListView1_ = new QTreeWidget(this);
    ListView1_->setObjectName(QStringLiteral("ListView1"));
    ListView1_->setRootIsDecorated(false);
    ListView1_->setItemsExpandable(false);
    ListView1_->setUniformRowHeights(true);
    ListView1_->setSelectionBehavior(QAbstractItemView::SelectRows);
    ListView1_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    ListView1_->header()->setStretchLastSection(false);
    itin::PlaceTwips(ListView1_, 120, 600, kWidthTwips - 240, kHeightTwips - 720);

    connect(Command1_, &QPushButton::clicked, this, &P_excel::Command1_Click);
    connect(ListView1_, &QTreeWidget::itemDoubleClicked, this, [this] { ListView1_DblClick(); });
}

void P_excel::showEvent(QShowEvent* e) {
    QWidget::showEvent(e);
    if (placed_) return;
    placed_ = true; // once, when the dialog loads
    placeBesideForm();
}

QString P_excel::tagOf(const QTreeWidgetItem* item) {
    return item ? item->data(0, Qt::UserRole).toString() : QString();
}

// The dialog on the left and the print form on the right, the pair centred on the screen.
void P_excel::placeBesideForm() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const QRect area = screen->geometry();
    const QSize dlg = frameGeometry().size();
    const QSize shown = placement_.windowSize();
    const QSize formSize = shown.isValid() ? shown : QSize(0, dlg.height());
    const int formLeft = (area.width() - dlg.width() - formSize.width()) / 2 + dlg.width();
    const int formTop = (area.height() - formSize.height()) / 2;
    if (shown.isValid())
        placement_.moveWindow(QPoint(area.left() + formLeft, area.top() + formTop));
    move(area.left() + formLeft - dlg.width(), area.top() + formTop);
}

void P_excel::Command1_Click() {
    const QString path =
        ctx_.fileDialogs.openFile(QStringLiteral("打开文件"), ctx_.programFolder,
                                  QStringLiteral("表格文件(*.xls; *.xlt; *.xlsx)"));
    if (path.isEmpty()) return; // cancelled
    loadWorkbook(path);
}

bool P_excel::loadWorkbook(const QString& path) {
    const TicketLoad load = LoadTicketWorkbook(path);
    if (!load.ok) {
        ctx_.messages.show(load.message, QStringLiteral("错误提示"));
        return false;
    }
    ListView1_->clear();
    ListView1_->setHeaderHidden(false);
    ListView1_->setColumnCount(3);
    ListView1_->setHeaderLabels(
        {QStringLiteral("序号"), QStringLiteral("姓名"), QStringLiteral("票号")});
    const int widths[] = {600, 1600, 2000};
    for (int i = 0; i < 3; ++i)
        ListView1_->setColumnWidth(i, widths[i] / itin::kTwipsPerPixel);
    QList<QTreeWidgetItem*> items;
    for (const TicketListRow& row : load.rows) {
        auto* item = new QTreeWidgetItem({QString::number(row.row), row.name, row.ticket});
        item->setData(0, Qt::UserRole, row.ticketRow);
        items << item;
    }
    ListView1_->addTopLevelItems(items);
    return true;
}

void P_excel::ListView1_DblClick() {
    const QList<QTreeWidgetItem*> selected = ListView1_->selectedItems();
    if (selected.isEmpty()) return;
    itin::ItineraryRecord* record = form_.loadRecord();
    if (!record) return;
    itin::FillFromTicketRow(tagOf(selected.first()), *record);
}

void InstallSpreadsheetImport(ImportContext& ctx) {
    auto* dialog = new forms::WindowHost<P_excel>(
        [&ctx] { return ctx.printForms.ownerWindow(); },
        [&ctx](QWidget* owner) {
            return new P_excel(ctx.printForm, ctx.placement, ctx.itinerary, owner);
        },
        &ctx.printForms);
    ctx.printForms.commands().add({QStringLiteral("Cmdd2"),
                                   QStringLiteral("导入表格文件"),
                                   {itin::FormLine::Sheets, 1695, true},
                                   [dialog](itin::P_GuoNei&) { dialog->show(); },
                                   true});
}

} // namespace ximport
