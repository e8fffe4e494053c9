#include "itinerary/forms/receipt_workbench.h"

#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/store_link.h"
#include "itinerary/forms/twips.h"
#include "itinerary/preview_surface.h"
#include "itinerary/receipts/receipt_log.h"

#include "common/fso.h"

#include <QDate>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace itin {

namespace {

constexpr int kPreviewDpi = 96;

QString positionText(const PCommon& common) {
    if (common.PassengerList.isEmpty()) return {};
    return QStringLiteral("第 %1/%2 位")
        .arg(common.CurrentPassenger + 1)
        .arg(common.PassengerList.size());
}

QPushButton* addButton(P_GuoNei& form, const QString& caption, const char* name, int left,
                       int width) {
    auto* b = new QPushButton(caption, &form);
    b->setObjectName(QLatin1String(name));
    placeTwips(b, left, 4440, width, 375);
    b->show();
    return b;
}

template <class Window>
void showOwned(P_GuoNei& form, const char* name) {
    auto* w = form.findChild<Window*>(QLatin1String(name), Qt::FindDirectChildrenOnly);
    if (!w) w = new Window(form);
    w->show();
    w->raise();
}

// One run of "全部打印"; lives on the form, so it ends with it.
class PrintAllRun : public QObject {
public:
    explicit PrintAllRun(P_GuoNei& form) : QObject(&form), form_(form) {}

    void step() {
        if (form_.printBlocked()) { // the debounce of the last print
            connect(&form_, &P_GuoNei::printUnblocked, this, [this] { step(); },
                    Qt::SingleShotConnection);
            return;
        }
        if (!form_.printReceipt()) return finish();
        ++printed_;
        if (!form_.record().nextEnabled()) return finish();
        NextPassenger(form_.context().common, form_.record());
        step();
    }

private:
    void finish() {
        form_.context().messages.show(QStringLiteral("已打印 %1 张行程单").arg(printed_));
        if (auto* b = form_.findChild<QPushButton*>(QStringLiteral("cmdprintall")))
            b->setEnabled(true);
        deleteLater();
    }

    P_GuoNei& form_;
    int printed_ = 0;
};

// Prints every passenger from the one shown to the last, as "打印" then "下一位" in turn,
// waiting for the print button to come back (Timer1) between receipts; the first refusal
// stops the run. Then says how many were printed.
void PrintAllPassengers(P_GuoNei& form) {
    if (auto* b = form.findChild<QPushButton*>(QStringLiteral("cmdprintall")))
        b->setEnabled(false);
    (new PrintAllRun(form))->step();
}

} // namespace

void InstallReceiptWorkbench(P_GuoNei& form) {
    auto* position = new QLabel(&form);
    position->setObjectName(QStringLiteral("PassengerPosition"));
    placeTwips(position, 6300, 540, 1100, 300);
    const auto showPosition = [&form, position] {
        position->setText(positionText(form.context().common));
    };
    QObject::connect(&form.record(), &ItineraryRecord::buttonsChanged, position, showPosition);
    QObject::connect(&form.record(), &ItineraryRecord::fieldChanged, position,
                     [showPosition](int i) {
                         if (i == PassengerName) showPosition();
                     });
    showPosition();
    position->show();

    QPushButton* preview = addButton(form, QStringLiteral("预览"), "cmdpreview", 4200, 735);
    QPushButton* all = addButton(form, QStringLiteral("全部打印"), "cmdprintall", 5040, 975);
    QPushButton* log = addButton(form, QStringLiteral("打印记录"), "cmdreceipts", 6120, 975);
    QObject::connect(preview, &QPushButton::clicked, &form,
                     [&form] { showOwned<P_Preview>(form, "P_Preview"); });
    QObject::connect(all, &QPushButton::clicked, &form, [&form] { PrintAllPassengers(form); });
    QObject::connect(log, &QPushButton::clicked, &form,
                     [&form] { showOwned<P_Receipts>(form, "P_Receipts"); });
    log->setEnabled(form.context().receiptLog != nullptr);
}

P_Preview::P_Preview(P_GuoNei& form) : QWidget(&form, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("P_Preview"));
    setWindowTitle(QStringLiteral("行程单预览"));
    picture_ = new QLabel(this);
    picture_->setObjectName(QStringLiteral("PreviewPicture"));
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("PreviewStatus"));
    status_->setStyleSheet(QStringLiteral("color: red"));
    auto* pick = new QPushButton(QStringLiteral("选择表格图片"), this);
    auto* outline = new QPushButton(QStringLiteral("内置表格线"), this);
    connect(pick, &QPushButton::clicked, this, &P_Preview::chooseFormImage);
    connect(outline, &QPushButton::clicked, this, &P_Preview::useOutline);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(status_, 1);
    buttons->addWidget(pick);
    buttons->addWidget(outline);
    auto* v = new QVBoxLayout(this);
    v->addWidget(picture_);
    v->addLayout(buttons);
    connect(&form.record(), &ItineraryRecord::fieldChanged, this, &P_Preview::scheduleRedraw);
    connect(&form, &P_GuoNei::offsetsChanged, this, &P_Preview::scheduleRedraw);
    redraw();
}

void P_Preview::scheduleRedraw() {
    // Many fields change in one import: one redraw when they are done.
    if (pending_) return;
    pending_ = true;
    QTimer::singleShot(0, this, [this] {
        pending_ = false;
        redraw();
    });
}

void P_Preview::redraw() {
    ItineraryContext& ctx = form_.context();
    const QString image = PreviewFormImagePath(ctx.programFolder);
    PreviewSurface surface(kPreviewDpi, image.isEmpty() ? QImage() : QImage(image));
    const QString refused = RenderPreview(form_.record(), ctx.common, ctx.settings,
                                          form_.leftOffset(), form_.topOffset(), surface);
    picture_->setPixmap(QPixmap::fromImage(surface.image()));
    flagged_ = surface.flaggedCount();
    if (!refused.isEmpty())
        status_->setText(refused);
    else if (flagged_ > 0)
        status_->setText(QStringLiteral("红框内的 %1 处文字重叠或超出纸张").arg(flagged_));
    else
        status_->clear();
}

void P_Preview::chooseFormImage() {
    ItineraryContext& ctx = form_.context();
    const QString path = ctx.fileDialogs.openFile(QStringLiteral("选择行程单表格图片"),
                                                  ctx.programFolder,
                                                  QStringLiteral("图片(*.png *.jpg *.bmp)"));
    if (path.isEmpty()) return;
    if (QImage(path).isNull()) {
        ctx.messages.show(QStringLiteral("无法读取图片 %1").arg(path));
        return;
    }
    SavePreviewFormImagePath(ctx.programFolder, path);
    redraw();
}

void P_Preview::useOutline() {
    SavePreviewFormImagePath(form_.context().programFolder, QString());
    redraw();
}

P_Receipts::P_Receipts(P_GuoNei& form) : QWidget(&form, Qt::Window), form_(form) {
    setObjectName(QStringLiteral("P_Receipts"));
    setWindowTitle(QStringLiteral("打印记录"));
    const auto box = [this](const char* name, const QString& hint) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QLatin1String(name));
        e->setPlaceholderText(hint);
        connect(e, &QLineEdit::returnPressed, this, &P_Receipts::refresh);
        return e;
    };
    from_ = box("from", QStringLiteral("起始日期 2026-03-01"));
    to_ = box("to", QStringLiteral("截止日期"));
    ticket_ = box("ticket", QStringLiteral("电子客票号码"));
    pnr_ = box("pnr", QStringLiteral("PNR"));
    code_ = box("code", QStringLiteral("验证码"));
    table_ = new QTableWidget(this);
    table_->setObjectName(QStringLiteral("ReceiptTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->verticalHeader()->hide();
    const QStringList headers = {"时间", "验证码", "旅客姓名", "有效身份证号码", "电子客票号码",
                                 "PNR", "航程", "合计", "类型", "打印机或文件", "作废"};
    table_->setColumnCount(int(headers.size()));
    table_->setHorizontalHeaderLabels(headers);
    auto* filters = new QHBoxLayout;
    for (QLineEdit* e : {from_, to_, ticket_, pnr_, code_})
        filters->addWidget(e);
    auto* buttons = new QHBoxLayout;
    const auto button = [&](const QString& caption, const char* name, void (P_Receipts::*slot)()) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
    };
    button(QStringLiteral("查询"), "cmdquery", &P_Receipts::refresh);
    button(QStringLiteral("作废"), "cmdspoil", &P_Receipts::markSpoiled);
    button(QStringLiteral("重打"), "cmdreprint", &P_Receipts::reprint);
    button(QStringLiteral("导出CSV"), "cmdcsv", &P_Receipts::exportCsv);
    auto* v = new QVBoxLayout(this);
    v->addLayout(filters);
    v->addWidget(table_, 1);
    v->addLayout(buttons);
    resize(900, 420);
    refresh();
}

void P_Receipts::refresh() {
    itin::ReceiptLog* log = form_.context().receiptLog;
    table_->setRowCount(0);
    ids_.clear();
    if (!log) return;
    const QList<itin::Receipt> rows = log->list(filter());
    table_->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const itin::Receipt& r = rows[i];
        ids_ << r.id;
        const QStringList cells =
            itin::ReceiptColumns(r, QStringLiteral("yyyy-MM-dd HH:mm"), QStringLiteral("作废"));
        for (int c = 0; c < cells.size(); ++c)
            table_->setItem(i, c, new QTableWidgetItem(cells[c]));
    }
}

itin::Filter P_Receipts::filter() const {
    itin::Filter f;
    f.from = QDate::fromString(from_->text().trimmed(), Qt::ISODate);
    f.to = QDate::fromString(to_->text().trimmed(), Qt::ISODate);
    f.ticketNumber = ticket_->text();
    f.pnr = pnr_->text();
    f.checkCode = code_->text();
    return f;
}

qint64 P_Receipts::selectedId() const {
    const int row = table_->currentRow();
    return row >= 0 && row < ids_.size() ? ids_[row] : 0;
}

void P_Receipts::markSpoiled() {
    ItineraryContext& ctx = form_.context();
    const qint64 id = selectedId();
    if (!id || !ctx.receiptLog) return ctx.messages.show(QStringLiteral("请先选择一行"));
    if (!ctx.receiptLog->markSpoiled(id)) ctx.messages.show(ctx.receiptLog->error());
    refresh();
}

void P_Receipts::reprint() {
    ItineraryContext& ctx = form_.context();
    const qint64 id = selectedId();
    const auto row = id && ctx.receiptLog ? ctx.receiptLog->find(id) : std::nullopt;
    if (!row) return ctx.messages.show(QStringLiteral("请先选择一行"));
    const std::optional<QStringList> fields = itin::PrintedFields(*row);
    if (!fields) return reprintFromForm(*row);
    const QString mode = ctx.common.PrintMode == International ? QStringLiteral("国际")
                                                               : QStringLiteral("国内");
    if (row->mode != mode)
        return ctx.messages.show(
            QStringLiteral("这张行程单是%1行程单，请先切换到%1再重打").arg(row->mode));
    const QString code = ctx.receiptLog->nextCheckCode();
    if (!ctx.messages.ask(QStringLiteral("用新的验证码 %1 重打 %2 的行程单（电子客票号码 %3）吗？")
                              .arg(code, row->passenger, row->ticketNumber)))
        return;
    // The form shows the logged record as the one passenger of its booking.
    ItineraryRecord& record = form_.record();
    for (int i = 0; i < kFieldCount; ++i)
        record.setField(i, i == CheckCode ? code : fields->at(i));
    SetPassengerList(ctx.common, record,
                     {{fields->at(PassengerName), fields->at(IdNumber), fields->at(TicketNumber)}});
    form_.printReceipt();
    refresh();
}

void P_Receipts::reprintFromForm(const itin::Receipt& row) {
    // A row logged before records were kept: printed again from the print form, which must
    // show that passenger's ticket.
    if (form_.record().field(TicketNumber) != row.ticketNumber ||
        form_.record().field(PassengerName) != row.passenger)
        return form_.context().messages.show(
            QStringLiteral("请先在打印窗口调出 %1 的行程单（电子客票号码 %2）再重打")
                .arg(row.passenger, row.ticketNumber));
    form_.printReceipt();
    refresh();
}

void P_Receipts::exportCsv() {
    ItineraryContext& ctx = form_.context();
    if (!ctx.receiptLog) return;
    const QString path = ctx.fileDialogs.saveFile(QStringLiteral("导出打印记录"),
                                                  ctx.programFolder,
                                                  QStringLiteral("CSV 文件(*.csv)"));
    if (path.isEmpty()) return;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) ||
        file.write(itin::ToCsv(ctx.receiptLog->list(filter()))) < 0 || !file.commit())
        ctx.messages.show(QStringLiteral("无法写入 %1").arg(path));
}

} // namespace itin
