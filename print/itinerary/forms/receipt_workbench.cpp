#include "itinerary/forms/receipt_workbench.h"

#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/forms/receipt_table_model.h"
#include "itinerary/forms/store_link.h"
#include "itinerary/forms/twips.h"
#include "itinerary/preview_surface.h"
#include "itinerary/printer_surface.h"
#include "itinerary/receipts/receipt_log.h"

#include "common/forms/window_host.h"
#include "common/fso.h"
#include "common/text_ops.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSaveFile>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace itin {

namespace {

constexpr int kPreviewDpi = 96;

// The workbench's commands on the form.
const QString kPreview = QStringLiteral("cmdpreview");
const QString kPrintAll = QStringLiteral("cmdprintall");
const QString kReceipts = QStringLiteral("cmdreceipts");
const QString kStop = QStringLiteral("cmdstopall");

// One run of "全部打印": one print job of the passengers from the one shown on (their rows
// and codes taken before the first page), printed as "打印" then "下一位" in turn, each print
// after the print block of the one before; the controls that change the passenger are
// taken away meanwhile. "停止" (or Esc) ends the run once the receipt being printed is out,
// and the first refusal ends it too; the rows not printed give their codes back. Lives on
// the form, so it ends with it.
class PrintAllRun : public QObject {
public:
    PrintAllRun(P_GuoNei& form, QLabel& position)
        : QObject(&form), form_(form), position_(position), job_(form.context(), form.record()) {
        form_.lockPassenger(true);
        form_.setCommandEnabled(kPrintAll, false);
        form_.setCommandShown(kStop, true);
        form_.setCommandEnabled(kStop, true);
        form_.installEventFilter(this); // Esc anywhere on the form
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) {
            stop();
            return true;
        }
        return QObject::eventFilter(watched, e);
    }

    void step() {
        if (stopped_) return finish(Stopped);
        ItineraryRecord& record = form_.record();
        position_.setText(QStringLiteral("正在打印 ") + record.positionText());
        if (form_.printBlocked()) { // the block of the last print
            waiting_ = connect(
                &form_, &P_GuoNei::printUnblocked, this, [this] { step(); },
                Qt::SingleShotConnection);
            return;
        }
        waiting_ = {};
        if (!begun_) {
            begun_ = true;
            if (!job_.begin(true, form_.leftOffset(), form_.topOffset())) return finish(Refused);
        }
        if (!form_.printReceipt(job_)) return finish(Refused);
        ++printed_;
        if (!job_.hasNext()) return finish(Done);
        record.nextPassenger();
        step();
    }

    // "停止": the run ends once the receipt in the printer is out.
    void stop() {
        if (stopped_) return;
        stopped_ = true;
        form_.setCommandEnabled(kStop, false);
        // Between receipts nothing is in the printer: the run ends now.
        if (waiting_) {
            disconnect(waiting_);
            finish(Stopped);
        }
    }

private:
    enum End { Done, Stopped, Refused };

    void finish(End end) {
        job_.end(end == Stopped ? QStringLiteral("已停止，未打印")
                                : QStringLiteral("前一张没有打印出来，这张未打印"));
        ItineraryRecord& record = form_.record();
        QString text = QStringLiteral("已打印 %1 张行程单").arg(printed_);
        if (end == Stopped)
            text += QStringLiteral("，已停止，%1未打印").arg(record.positionText());
        else if (end == Refused)
            text += QStringLiteral("，%1未能打印").arg(record.positionText());
        form_.removeEventFilter(this);
        form_.setCommandShown(kStop, false);
        form_.setCommandEnabled(kPrintAll, true);
        form_.lockPassenger(false);
        position_.setText(record.positionText());
        deleteLater();
        form_.context().messages.show(text);
    }

    P_GuoNei& form_;
    QLabel& position_;
    ReceiptJob job_;
    QMetaObject::Connection waiting_;
    bool begun_ = false;
    bool stopped_ = false;
    int printed_ = 0;
};

// The check code box shows the log's next code once the form is first on screen: the log
// is opened after the form has come up, not while it loads.
class NextCodeOnFirstShow : public QObject {
public:
    explicit NextCodeOnFirstShow(P_GuoNei& form) : QObject(&form), form_(form) {
        form.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == &form_ && e->type() == QEvent::Show) {
            form_.removeEventFilter(this);
            QTimer::singleShot(0, this, [this] {
                ItineraryContext& ctx = form_.context();
                if (ctx.receiptLog && form_.record().field(CheckCode).isEmpty())
                    form_.record().setField(CheckCode, ctx.receiptLog->nextCheckCode());
                deleteLater();
            });
        }
        return QObject::eventFilter(watched, e);
    }

private:
    P_GuoNei& form_;
};

// The workbench of the host's forms: the commands, and for the form loaded now its
// "第 n/m 位", its "全部打印" run and its preview and log windows.
class Workbench : public QObject {
public:
    explicit Workbench(PrintFormHost& host)
        : QObject(&host), preview_([this] { return form_.data(); },
                                   [this](QWidget*) { return new P_Preview(*form_); }),
          receipts_([this] { return form_.data(); },
                    [this](QWidget*) { return new P_Receipts(*form_); }) {
        connect(&host, &PrintFormHost::formLoaded, this, &Workbench::attach);
        FormCommands& commands = host.commands();
        commands.add({kPreview, QStringLiteral("预览"), {FormLine::Tools, 735}, [this](P_GuoNei&) {
                          preview_.show();
                      }});
        commands.add(
            {kPrintAll, QStringLiteral("全部打印"), {FormLine::Tools, 975}, [this](P_GuoNei& form) {
                 run_ = new PrintAllRun(form, *position_);
                 run_->step();
             }});
        commands.add(
            {kReceipts, QStringLiteral("打印记录"), {FormLine::Tools, 975}, [this](P_GuoNei&) {
                 receipts_.show();
             }});
        commands.add(
            {kStop, QStringLiteral("停止"), {FormLine::Tools, 735, false, true}, [this](P_GuoNei&) {
                 if (run_) run_->stop();
             }});
    }

private:
    void attach(P_GuoNei* form) {
        form_ = form;
        // "第 n/m 位" on the passenger's own line, right of the endorsement: clear of the mode
        // switch and the buttons whatever the fonts' size.
        position_ = new QLabel(form);
        position_->setObjectName(QStringLiteral("PassengerPosition"));
        PlaceTwips(position_, 9000, 1080, 2400, 375);
        const auto showPosition = [form, position = position_.data()] {
            if (!form->passengerLocked()) position->setText(form->record().positionText());
        };
        connect(&form->record(), &ItineraryRecord::buttonsChanged, position_, showPosition);
        showPosition();
        position_->show();
        form->setCommandEnabled(kReceipts, form->context().receiptLog != nullptr);
        new NextCodeOnFirstShow(*form);
    }

    QPointer<P_GuoNei> form_;
    QPointer<QLabel> position_;
    QPointer<PrintAllRun> run_;
    forms::WindowHost<P_Preview> preview_;
    forms::WindowHost<P_Receipts> receipts_;
};

} // namespace

void InstallReceiptWorkbench(PrintFormHost& host) {
    new Workbench(host);
}

P_Preview::P_Preview(P_GuoNei& form) : QWidget(&form, Qt::Dialog), form_(form) {
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
    connect(&form, &P_GuoNei::fontsChanged, this, &P_Preview::scheduleRedraw);
    // The page as the printer the print button uses will print it; a surface of the
    // program's own choosing (a file) draws from the page corner.
    if (!form.context().makePrintSurface) origin_ = PrintableAreaCorner();
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
    PreviewSurface surface(kPreviewDpi, LoadFormImage(image));
    surface.setOrigin(origin_);
    const QString refused = RenderPreview(form_.record(), ctx.formState, ctx.settings,
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
    const QString path =
        ctx.fileDialogs.openFile(QStringLiteral("选择行程单表格图片"), ctx.programFolder,
                                 QStringLiteral("图片(*.png *.jpg *.bmp)"));
    if (path.isEmpty()) return;
    if (LoadFormImage(path).isNull()) {
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

P_Receipts::P_Receipts(P_GuoNei& form) : QWidget(&form, Qt::Dialog), form_(form) {
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
    counter_ = box("workstation", QStringLiteral("工作站"));
    table_ = new QTableView(this);
    table_->setObjectName(QStringLiteral("ReceiptTable"));
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    count_ = new QLabel(this);
    count_->setObjectName(QStringLiteral("ReceiptCount"));
    if (itin::ReceiptLog* log = form.context().receiptLog) {
        model_ = new ReceiptTableModel(*log, this);
        table_->setModel(model_);
        // Newest first until a column header is clicked.
        table_->horizontalHeader()->setSortIndicator(TimeColumn, Qt::DescendingOrder);
        table_->setSortingEnabled(true);
        connect(log, &ReceiptLog::changed, this, &P_Receipts::refresh);
    }
    auto* filters = new QHBoxLayout;
    for (QLineEdit* e : {from_, to_, ticket_, pnr_, code_, counter_})
        filters->addWidget(e);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(count_, 1);
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
    if (!model_) return;
    const std::optional<itin::Filter> f = filter();
    if (!f) return;
    if (!model_->setFilter(*f)) {
        count_->setStyleSheet(QStringLiteral("color: red"));
        count_->setText(model_->error());
        return;
    }
    count_->setStyleSheet(QString());
    count_->setText(model_->total() == 0 ? QStringLiteral("没有找到记录")
                                         : QStringLiteral("共 %1 条").arg(model_->total()));
    // Sized to the rows read so far: a page, not the whole log.
    table_->resizeColumnsToContents();
}

std::optional<itin::Filter> P_Receipts::filter() {
    itin::Filter f;
    QStringList unreadable;
    for (const auto& [edit, day] : {std::pair{from_, &f.from}, {to_, &f.to}}) {
        const QString text = edit->text().trimmed();
        *day = text.isEmpty() ? QDate() : itin::ParseDay(text);
        const bool bad = !text.isEmpty() && !day->isValid();
        edit->setStyleSheet(bad ? QStringLiteral("border: 1px solid red") : QString());
        edit->setProperty("invalid", bad);
        if (bad) unreadable << text;
    }
    if (!unreadable.isEmpty()) {
        count_->setStyleSheet(QStringLiteral("color: red"));
        count_->setText(QStringLiteral("无法识别日期 %1，请写成 2026-03-01、2026/3/1 或 20260301")
                            .arg(unreadable.join(QStringLiteral("、"))));
        return std::nullopt;
    }
    f.ticketNumber = ticket_->text();
    f.pnr = pnr_->text();
    f.checkCode = code_->text();
    f.workstation = counter_->text();
    return f;
}

qint64 P_Receipts::selectedId() const {
    return model_ ? model_->idAt(table_->currentIndex().row()) : 0;
}

void P_Receipts::markSpoiled() {
    ItineraryContext& ctx = form_.context();
    const qint64 id = selectedId();
    if (!id || !ctx.receiptLog) return ctx.messages.show(QStringLiteral("请先选择一行"));
    if (!ctx.receiptLog->markSpoiled(id)) ctx.messages.show(ctx.receiptLog->error());
}

void P_Receipts::reprint() {
    ItineraryContext& ctx = form_.context();
    const qint64 id = selectedId();
    const auto row = id && ctx.receiptLog ? ctx.receiptLog->find(id) : std::nullopt;
    if (!row) return ctx.messages.show(QStringLiteral("请先选择一行"));
    const std::optional<QStringList> fields = itin::PrintedFields(*row);
    if (!fields) return reprintFromForm(*row);
    const QString mode =
        ctx.formState.printMode == International ? QStringLiteral("国际") : QStringLiteral("国内");
    if (row->mode != mode)
        return ctx.messages.show(
            QStringLiteral("这张行程单是%1行程单，请先切换到%1再重打").arg(row->mode));
    const QString code = ctx.receiptLog->nextCheckCode();
    ItineraryRecord& record = form_.record();
    if (!ctx.messages.ask(ReplacedBookingNotice(record) +
                          QStringLiteral("用新的验证码 %1 重打 %2 的行程单（电子客票号码 %3）吗？")
                              .arg(code, row->passenger, row->ticketNumber)))
        return;
    // The logged record becomes the booking on the form, with its one passenger.
    record.startBooking();
    for (int i = 0; i < kFieldCount; ++i)
        record.setField(i, i == CheckCode ? code : fields->at(i));
    record.takePassengerFromFields();
    form_.printReceipt();
}

QString ReplacedBookingNotice(const ItineraryRecord& record) {
    QString booking = common::TrimSpaces(record.field(PnrCode));
    if (booking.isEmpty()) booking = common::TrimSpaces(record.field(PassengerName));
    if (booking.isEmpty()) return {};
    return QStringLiteral("当前表单上的 %1 将被替换。").arg(booking);
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
}

void P_Receipts::exportCsv() {
    ItineraryContext& ctx = form_.context();
    if (!ctx.receiptLog) return;
    const std::optional<itin::Filter> f = filter();
    if (!f) return ctx.messages.show(count_->text());
    QString path = ctx.fileDialogs.saveFile(QStringLiteral("导出打印记录"), ctx.programFolder,
                                            QStringLiteral("CSV 文件(*.csv)"));
    if (path.isEmpty()) return;
    if (!path.endsWith(QLatin1String(".csv"), Qt::CaseInsensitive)) path += QLatin1String(".csv");
    QSaveFile file(path);
    qint64 rows = 0;
    if (!file.open(QIODevice::WriteOnly))
        return ctx.messages.show(QStringLiteral("无法写入 %1：%2").arg(path, file.errorString()));
    const bool read = ctx.receiptLog->exportCsv(
        *f, [&file](const QByteArray& piece) { return file.write(piece) == piece.size(); }, &rows);
    if (!read) {
        file.cancelWriting();
        return ctx.messages.show(ctx.receiptLog->error());
    }
    if (!file.commit())
        return ctx.messages.show(QStringLiteral("无法写入 %1：%2").arg(path, file.errorString()));
    ctx.messages.show(
        QStringLiteral("已导出 %1 条记录到 %2").arg(rows).arg(QDir::toNativeSeparators(path)));
}

} // namespace itin
