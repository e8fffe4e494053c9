#include "itinerary/forms/p_guonei.h"
#include "itinerary/money.h"

#include "itinerary/forms/p_font.h"
#include "itinerary/forms/p_pnr.h"
#include "itinerary/forms/store_link.h"
#include "itinerary/forms/twips.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace itin {

QFont SongTi(double points) {
    QFont f;
    f.setFamilies({QStringLiteral("宋体"), QStringLiteral("SimSun"), QStringLiteral("NSimSun"),
                   QStringLiteral("WenQuanYi Zen Hei"), QStringLiteral("Noto Sans CJK SC"),
                   QStringLiteral("Noto Serif CJK SC")});
    f.setPointSizeF(points);
    return f;
}

QString PrintFormCaption(qint16 mode, const QString& supportContact) {
    return (mode == International ? QStringLiteral("国际单据打印——客服QQ：")
                                  : QStringLiteral("国内单据打印——客服QQ：")) +
           supportContact;
}

QString ShiftedOffset(const QString& text, int by) {
    const double v = OffsetMillimetres(text) + by;
    const QString number = v == std::floor(v) && std::abs(v) < 1e15 ? QString::number(qint64(v))
                                                                    : QString::number(v, 'g', 15);
    return number + QStringLiteral(" 毫米");
}

namespace {

struct BoxPlace {
    int index, left, top, width, height;
};

constexpr int kBox = 375;

// Every record box: index, left, top, width, height in twips.
const BoxPlace kBoxes[] = {
    {PnrQuery, 720, 120, 855, 300},        {PassengerName, 1080, 1080, 1575, kBox},
    {IdNumber, 4440, 1080, 2295, kBox},    {Endorsement, 7320, 1080, 1575, kBox},
    {PnrCode, 1080, 1560, 1575, kBox},     {City5, 240, 4440, 1695, kBox},
    {Fare, 720, 4920, 1575, kBox},         {CnTax, 3180, 4920, 1455, kBox},
    {YqTax, 5340, 4920, 1455, kBox},       {XtTax, 7380, 4920, 1455, kBox},
    {Total, 9420, 4920, 1695, kBox},       {TicketNumber, 1560, 5400, 1815, kBox},
    {CheckCode, 4200, 5400, 735, kBox},    {Notice, 6000, 5400, 1575, kBox},
    {Insurance, 8280, 5400, 615, kBox},    {AgentCode, 1560, 5880, 1815, kBox},
    {IssuedBy, 4560, 5880, 2055, kBox},    {IssueDate, 7680, 5880, 1215, kBox},
    {AgentNumber, 1560, 6360, 1815, kBox},
};

// Segment rows 1 to 4: tops, and the columns' left edge and width.
const int kRowTops[4] = {2520, 3000, 3480, 3960};
const int kColumnLeft[10] = {240, 2040, 3120, 4080, 4680, 6360, 7200, 8040, 9360, 10800};
const int kColumnWidth[10] = {1695, 975, 855, 495, 1575, 735, 735, 1215, 1335, 735};

struct CaptionPlace {
    const char* text;
    int left, top, width;
    bool rightAligned;
};

// Captions beside the boxes (right-aligned against the box) and above the segment grid.
const CaptionPlace kCaptions[] = {
    {"旅客姓名", 120, 1080, 900, true},
    {"有效身份证号码", 2760, 1080, 1620, true},
    {"签注", 6780, 1080, 480, true},
    {"编号PNR", 120, 1560, 900, true},
    {"航段信息", 240, 2160, 1695, false},
    {"承运人", 2280, 2160, 900, false},
    {"航班号", 3240, 2160, 720, false},
    {"舱位等级", 3960, 2160, 1020, false},
    {"日期", 5040, 2160, 900, false},
    {"时间", 6240, 2160, 900, false},
    {"客票级别", 7200, 2160, 840, false},
    {"客票生效日期", 8040, 2160, 1320, false},
    {"有效截止日期", 9360, 2160, 1320, false},
    {"免费行李", 10680, 2160, 900, false},
    {"票价", 120, 4920, 540, true},
    {"发展基金", 2340, 4920, 780, true},
    {"燃油费", 4680, 4920, 600, true},
    {"其它", 6840, 4920, 480, true},
    {"合计", 8880, 4920, 480, true},
    {"电子客票号码", 120, 5400, 1380, true},
    {"验证码", 3420, 5400, 720, true},
    {"提示信息", 4860, 5400, 1080, true},
    {"保险", 7620, 5400, 600, true},
    {"销售单位代码", 120, 5880, 1380, true},
    {"填开单位", 3420, 5880, 1080, true},
    {"填开日期", 6420, 5880, 1200, true},
};

QPushButton* button(QWidget* parent, const char* name, const char* text, int left, int top,
                    int width, int height = kBox) {
    auto* b = new QPushButton(QString::fromUtf8(text), parent);
    b->setObjectName(QString::fromLatin1(name));
    PlaceTwips(b, left, top, width, height);
    return b;
}

} // namespace

P_GuoNei::P_GuoNei(ItineraryContext& ctx, const FormCommands* commands, QWidget* parent)
    : QWidget(parent), ctx_(ctx), commands_(commands),
      pnr_([this] { return DialogOwner(*this); },
           [this](QWidget*) {
               auto* d = new P_Pnr(*this);
               connect(d, &QObject::destroyed, this, &P_GuoNei::returnToFront);
               return d;
           }),
      font_([this] { return DialogOwner(*this); },
            [this](QWidget*) {
                auto* d = new P_font(*this);
                connect(d, &QObject::destroyed, this, &P_GuoNei::returnToFront);
                return d;
            }) {
    setObjectName(QStringLiteral("P_GuoNei"));
    setAttribute(Qt::WA_DeleteOnClose, false);
    buildControls();
    buildCommands();
    connect(qApp, &QApplication::focusChanged, this,
            [this](QWidget*, QWidget* now) { focusLanded(now); });

    // Load, in order: open flag; settings with the stepping buttons reset; the mode.
    ctx_.formState.printFormOpen = true;
    LoadSettingsIntoForm(ctx_, record_, *leftr_, *topb_);
    applyMode();
    orderTabsByScreen();
}

P_GuoNei::~P_GuoNei() {
    unload();
    // Boxes must not write into the record while the widgets are being torn down.
    for (QLineEdit* box : Pt_) {
        box->removeEventFilter(this);
        box->disconnect(this);
    }
}

int P_GuoNei::platformIndex() const {
    return Surs1_->currentIndex();
}
QString P_GuoNei::platformName() const {
    return Surs1_->currentText();
}
void P_GuoNei::setStatusText(const QString& text) {
    Label7_->setText(text);
}
QString P_GuoNei::leftOffset() const {
    return leftr_->text();
}
QString P_GuoNei::topOffset() const {
    return topb_->text();
}

void P_GuoNei::buildControls() {
    setFont(SongTi(9));
    // A little wider than the layout's 11610 twips, so that Frame1's right edge (11655)
    // stays inside the client area.
    const QRect client = TwipRect(0, 0, 11700, 6825);
    resize(client.size());
    setMinimumSize(client.size());

    for (int i = 0; i < kFieldCount; ++i) {
        auto* box = new QLineEdit(this);
        box->setObjectName(QStringLiteral("Pt_%1").arg(i));
        box->setAccessibleName(FieldName(i));
        box->setText(record_[i]);
        box->installEventFilter(this);
        connect(box, &QLineEdit::textEdited, this,
                [this, i](const QString& t) { boxEdited(i, t); });
        Pt_[size_t(i)] = box;
    }
    for (const BoxPlace& p : kBoxes)
        PlaceTwips(Pt(p.index), p.left, p.top, p.width, p.height);
    for (int row = 1; row <= 4; ++row) {
        const SegmentRow r = SegmentAt(row);
        const int cols[10] = {r.city, r.carrier,   r.flight,    r.cls,        r.date,
                              r.time, r.fareBasis, r.validFrom, r.validUntil, r.baggage};
        for (int c = 0; c < 10; ++c)
            PlaceTwips(Pt(cols[c]), kColumnLeft[c], kRowTops[row - 1], kColumnWidth[c], kBox);
    }
    connect(&record_, &ItineraryRecord::fieldChanged, this, &P_GuoNei::showField);
    connect(&record_, &ItineraryRecord::buttonsChanged, this, &P_GuoNei::updateStepButtons);

    for (const CaptionPlace& c : kCaptions) {
        auto* l = new QLabel(QString::fromUtf8(c.text), this);
        PlaceTwips(l, c.left, c.top, c.width, kBox);
        l->setAlignment(Qt::AlignVCenter | (c.rightAligned ? Qt::AlignRight : Qt::AlignLeft));
    }

    Label15_ = new QLabel(QStringLiteral("PNR："), this);
    Label15_->setObjectName(QStringLiteral("Label15"));
    Label15_->setFont(SongTi(12));
    Label15_->setStyleSheet(QStringLiteral("color: blue"));
    Label15_->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    PlaceTwips(Label15_, 0, 120, 720, 300);

    Surs1_ = new QComboBox(this);
    Surs1_->setObjectName(QStringLiteral("Surs1"));
    PlaceTwips(Surs1_, 1680, 120, 1935, 300);

    Label7_ = new QLabel(QStringLiteral("请使用票号导入"), this);
    Label7_->setObjectName(QStringLiteral("Label7"));
    QFont f7 = SongTi(15);
    f7.setBold(true);
    Label7_->setFont(f7);
    Label7_->setStyleSheet(QStringLiteral("color: red"));
    PlaceTwips(Label7_, 4680, 120, 2700, 375);

    cmdprint_ = button(this, "cmdprint", "打印", 240, 480, 615);
    cmdpau_ = button(this, "cmdpau", "上一位", 960, 480, 855);
    cmdnext_ = button(this, "cmdnext", "下一位", 1800, 480, 735);
    Command3_ = button(this, "Command3", "字体设置", 2640, 480, 975);
    Command1_ = button(this, "Command1", "PNR内容导入", 3720, 480, 1215);

    Frame1_ = new QGroupBox(QStringLiteral("打印设置"), this);
    Frame1_->setObjectName(QStringLiteral("Frame1"));
    PlaceTwips(Frame1_, 7440, 120, 4215, 735);
    leftr_ = new QLineEdit(QStringLiteral("0"), Frame1_);
    leftr_->setObjectName(QStringLiteral("leftr"));
    // Wide enough for a negative offset and its unit ("-10 毫米").
    PlaceTwips(leftr_, 615, 320, 975, 270);
    topb_ = new QLineEdit(QStringLiteral("0"), Frame1_);
    topb_->setObjectName(QStringLiteral("topb"));
    PlaceTwips(topb_, 2655, 320, 975, 270);
    cmdtoleft_ = button(Frame1_, "cmdtoleft", "向左", 120, 240, 495);
    cmdtoright_ = button(Frame1_, "cmdtoright", "向右", 1590, 240, 495);
    cmdtotop_ = button(Frame1_, "cmdtotop", "向上", 2160, 240, 495);
    cmdtobum_ = button(Frame1_, "cmdtobum", "向下", 3630, 240, 495);

    Label27_ = new ClickLabel(QStringLiteral("切换到国际"), this);
    Label27_->setObjectName(QStringLiteral("Label27"));
    QFont f27 = SongTi(9);
    f27.setUnderline(true);
    Label27_->setFont(f27);
    Label27_->setStyleSheet(QStringLiteral("color: red"));
    Label27_->setCursor(Qt::PointingHandCursor);
    PlaceTwips(Label27_, 6360, 600, 1020, 255);
    Label27_->adjustSize(); // the whole caption, whatever the font's size

    // The print block: three seconds from each print.
    Timer1_ = new QTimer(this);
    Timer1_->setObjectName(QStringLiteral("Timer1"));
    Timer1_->setSingleShot(true);
    Timer1_->setInterval(3000);

    connect(leftr_, &QLineEdit::textChanged, this, &P_GuoNei::offsetsChanged);
    connect(topb_, &QLineEdit::textChanged, this, &P_GuoNei::offsetsChanged);
    connect(cmdprint_, &QPushButton::clicked, this, &P_GuoNei::cmdprint_Click);
    connect(Timer1_, &QTimer::timeout, this, &P_GuoNei::Timer1_Timer);
    connect(cmdnext_, &QPushButton::clicked, this, &P_GuoNei::cmdnext_Click);
    connect(cmdpau_, &QPushButton::clicked, this, &P_GuoNei::cmdpau_Click);
    connect(cmdtoleft_, &QPushButton::clicked, this, &P_GuoNei::cmdtoleft_Click);
    connect(cmdtoright_, &QPushButton::clicked, this, &P_GuoNei::cmdtoright_Click);
    connect(cmdtotop_, &QPushButton::clicked, this, &P_GuoNei::cmdtotop_Click);
    connect(cmdtobum_, &QPushButton::clicked, this, &P_GuoNei::cmdtobum_Click);
    connect(Command1_, &QPushButton::clicked, this, &P_GuoNei::Command1_Click);
    connect(Command3_, &QPushButton::clicked, this, &P_GuoNei::Command3_Click);
    connect(Label27_, &ClickLabel::clicked, this, &P_GuoNei::Label27_Click);
    updateStepButtons();
}

void P_GuoNei::buildCommands() {
    if (!commands_) return;
    for (size_t i = 0; i < commands_->all().size(); ++i) {
        const FormCommand& c = commands_->all()[i];
        const QRect at = commands_->placeOf(i);
        auto* b = new QPushButton(c.caption, this);
        b->setObjectName(c.id);
        PlaceTwips(b, at.left(), at.top(), at.width(), at.height());
        if (c.place.hidden) b->hide();
        connect(b, &QPushButton::clicked, this, [this, id = c.id] { commands_->run(id, *this); });
        commandButtons_.push_back({b, c.place, c.changesBooking});
    }
}

P_GuoNei::CommandButton* P_GuoNei::commandButton(const QString& id) {
    for (CommandButton& cb : commandButtons_)
        if (cb.button->objectName() == id) return &cb;
    return nullptr;
}

void P_GuoNei::setCommandEnabled(const QString& id, bool enabled) {
    if (CommandButton* cb = commandButton(id)) cb->button->setEnabled(enabled);
}

void P_GuoNei::setCommandShown(const QString& id, bool shown) {
    if (CommandButton* cb = commandButton(id)) cb->button->setVisible(shown);
}

void P_GuoNei::applyMode() {
    const bool international = ctx_.formState.printMode == International;
    setWindowTitle(PrintFormCaption(ctx_.formState.printMode,
                                    ctx_.deploy.value(QStringLiteral("SupportContact"))));
    if (international) {
        Label27_->setText(QStringLiteral("切换到国内"));
        Label27_->adjustSize();
        for (QWidget* w : {static_cast<QWidget*>(Label15_), static_cast<QWidget*>(Pt(PnrQuery)),
                           static_cast<QWidget*>(Surs1_)})
            w->hide();
        for (const CommandButton& cb : commandButtons_)
            if (cb.place.domesticOnly) cb.button->hide();
    } else {
        const PlatformList platforms = LoadPlatforms(ctx_);
        surs1Tag_ = platforms.tag;
        Surs1_->addItems(platforms.names);
        Surs1_->setCurrentIndex(-1);
    }
}

void P_GuoNei::orderTabsByScreen() {
    struct Stop {
        QWidget* w;
        QRect at;
    };
    QList<Stop> stops;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (!(w->focusPolicy() & Qt::TabFocus) || w->window() != window()) continue;
        stops.append({w, QRect(w->mapTo(this, QPoint(0, 0)), w->size())});
    }
    // Rows: controls whose middles lie within half a box of the row's first one.
    std::sort(stops.begin(), stops.end(),
              [](const Stop& a, const Stop& b) { return a.at.center().y() < b.at.center().y(); });
    const int tolerance = TwipRect(0, 0, 0, kBox / 2).height();
    int rowStart = 0, row = 0;
    QList<std::pair<std::pair<int, int>, QWidget*>> keyed;
    for (int i = 0; i < stops.size(); ++i) {
        if (stops[i].at.center().y() - stops[rowStart].at.center().y() > tolerance) {
            rowStart = i;
            ++row;
        }
        keyed.append({{row, stops[i].at.left()}, stops[i].w});
    }
    std::stable_sort(keyed.begin(), keyed.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    for (int i = 1; i < keyed.size(); ++i)
        setTabOrder(keyed[i - 1].second, keyed[i].second);
}

void P_GuoNei::showField(int index) {
    QLineEdit* box = Pt(index);
    if (box->text() == record_[index]) return;
    // setText puts the caret at the end, which is where a rewritten box wants it.
    box->setText(record_[index]);
}

void P_GuoNei::boxEdited(int index, const QString& text) {
    record_.setField(index, text);
}

bool P_GuoNei::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() != QEvent::FocusOut && e->type() != QEvent::FocusIn)
        return QWidget::eventFilter(watched, e);
    const auto it = std::find(Pt_.begin(), Pt_.end(), watched);
    if (it == Pt_.end()) return QWidget::eventFilter(watched, e);
    const int index = int(it - Pt_.begin());
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(e)->reason();
    if (e->type() == QEvent::FocusIn) {
        if (pendingLeave_ == index) pendingLeave_ = -1; // back in the same box
    } else if (reason == Qt::PopupFocusReason || reason == Qt::ActiveWindowFocusReason) {
        // A menu or another program took the focus: the box is left only when the focus
        // lands on another control of this program.
        pendingLeave_ = index;
    } else {
        pendingLeave_ = -1;
        boxLeft(index);
    }
    return QWidget::eventFilter(watched, e);
}

void P_GuoNei::focusLanded(QWidget* now) {
    if (pendingLeave_ < 0 || !now) return;
    const int index = pendingLeave_;
    pendingLeave_ = -1;
    if (now != Pt_[size_t(index)]) boxLeft(index);
}

QWidget* DialogOwner(QWidget& form) {
    QWidget* window = form.window();
    return window == &form ? nullptr : window;
}

void P_GuoNei::returnToFront() {
    if (unloaded_) return;
    if (auto* sub = qobject_cast<QMdiSubWindow*>(parentWidget()))
        if (QMdiArea* area = sub->mdiArea()) area->setActiveSubWindow(sub);
    // The focus goes back into the form, so that the main window, when it is activated,
    // activates the form's sub-window rather than the one that had the focus before.
    QWidget* focus = focusWidget() ? focusWidget() : Pt_[0];
    focus->setFocus(Qt::ActiveWindowFocusReason);
    forms::BringToFront(window());
}

void P_GuoNei::boxLeft(int index) {
    if (ctx_.formState.printMode != Domestic || unloaded_) return;
    switch (index) {
    case Fare:
    case CnTax:
    case YqTax:
    case XtTax:
        NormaliseMoneyField(record_, index);
        RecomputeTotal(record_);
        break;
    case Total:
        NormaliseMoneyField(record_, Total);
        break;
    default:
        break;
    }
}

void P_GuoNei::updateStepButtons() {
    cmdpau_->setEnabled(!passengerLocked_ && record_.previousEnabled());
    cmdnext_->setEnabled(!passengerLocked_ && record_.nextEnabled());
}

void P_GuoNei::lockPassenger(bool locked) {
    passengerLocked_ = locked;
    for (QWidget* w : {static_cast<QWidget*>(Command1_), static_cast<QWidget*>(Label27_),
                       static_cast<QWidget*>(Surs1_)})
        w->setEnabled(!locked);
    for (const CommandButton& cb : commandButtons_)
        if (cb.changesBooking) cb.button->setEnabled(!locked);
    for (QLineEdit* box : Pt_)
        box->setReadOnly(locked);
    cmdprint_->setEnabled(!locked && !printBlocked());
    updateStepButtons();
}

void P_GuoNei::unload() {
    if (unloaded_) return;
    unloaded_ = true;
    Timer1_->stop();
    pnr_.close();
    font_.close();
    ctx_.formState.printFormOpen = false;
    SavePageBlock(ctx_, leftr_->text(), topb_->text(), record_);
    emit unloaded();
}

void P_GuoNei::closeEvent(QCloseEvent* e) {
    unload();
    e->accept();
}

bool P_GuoNei::printReceipt() {
    cmdprint_->setEnabled(false);
    Timer1_->start(); // the block runs from this print
    return PrintReceipt(ctx_, record_, leftr_->text(), topb_->text());
}

bool P_GuoNei::printReceipt(ReceiptJob& job) {
    cmdprint_->setEnabled(false);
    Timer1_->start();
    return job.printNext(leftr_->text(), topb_->text());
}

bool P_GuoNei::printBlocked() const {
    return Timer1_->isActive();
}

void P_GuoNei::cmdprint_Click() {
    if (printBlocked() || passengerLocked_) return; // a click queued before it went grey
    printReceipt();
}

void P_GuoNei::Timer1_Timer() {
    Timer1_->stop();
    cmdprint_->setEnabled(!passengerLocked_);
    emit printUnblocked();
}

void P_GuoNei::cmdnext_Click() {
    if (!passengerLocked_) record_.nextPassenger();
}
void P_GuoNei::cmdpau_Click() {
    if (!passengerLocked_) record_.previousPassenger();
}

void P_GuoNei::shiftOffset(QLineEdit* box, int by) {
    box->setText(ShiftedOffset(box->text(), by));
}
void P_GuoNei::cmdtoleft_Click() {
    shiftOffset(leftr_, -1);
}
void P_GuoNei::cmdtoright_Click() {
    shiftOffset(leftr_, 1);
}
void P_GuoNei::cmdtotop_Click() {
    shiftOffset(topb_, -1);
}
void P_GuoNei::cmdtobum_Click() {
    shiftOffset(topb_, 1);
}

void P_GuoNei::Command1_Click() {
    pnr_.show();
}

void P_GuoNei::Command3_Click() {
    font_.show();
}

bool P_GuoNei::platformChosen() {
    if (Surs1_->currentIndex() < 0) {
        ctx_.messages.show(QStringLiteral("请选择出票平台"));
        Surs1_->showPopup();
        return false;
    }
    if (surs1Tag_.isEmpty()) {
        ctx_.messages.show(QStringLiteral("请选择出票平台"));
        return false;
    }
    return true;
}

void P_GuoNei::Label27_Click() {
    if (passengerLocked_) return;
    if (ctx_.formState.printMode == Domestic)
        ctx_.formState.printMode = International;
    else if (ctx_.formState.printMode == International)
        ctx_.formState.printMode = Domestic;
    emit modeSwitchRequested();
}

} // namespace itin
