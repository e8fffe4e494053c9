#include "import/platform/w_webfrm.h"

#include "import/import_context.h"
#include "import/load_picture.h"
#include "import/platform/finished_pages.h"
#include "import/platform/order_reader.h"
#include "import/platform/order_retrieval.h"

#include "browser/embedded_browser.h"
#include "itinerary/booking_form.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/twips.h"
#include "itinerary/retrieval_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QTimer>

namespace ximport {

using itin::PlaceTwips;

W_Webfrm::W_Webfrm(OrderRetrieval& flow, ImportContext& ctx, itin::RetrievalForm& form,
                   PlatformState& state, QWidget* parent)
    : QWidget(parent, Qt::Dialog), ctx_(ctx), form_(form), state_(state), site_(0, QString()) {
    setObjectName(QStringLiteral("W_Webfrm"));
    setAttribute(Qt::WA_DeleteOnClose);
    WebBs_ = new browser::EmbeddedBrowser(ctx.profile(), this);
    WebBs_->setObjectName(QStringLiteral("WebBs"));
    PlaceTwips(WebBs_, 0, 1060, 4710, 3000); // below the visible part: pages are not for the agent
    Rtb_ = new QTextEdit(this);
    Rtb_->setObjectName(QStringLiteral("Rtb"));
    Rtb_->setReadOnly(true);
    Rtb_->hide();
    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    Image1_->installEventFilter(this);
    PlaceTwips(Image1_, 120, 120, 1200, 450);
    Text1_ = new QLineEdit(this);
    Text1_->setObjectName(QStringLiteral("Text1"));
    PlaceTwips(Text1_, 1440, 180, 1500, 330);
    Command1_ = new QPushButton(QStringLiteral("确定"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    PlaceTwips(Command1_, 3120, 150, 1200, 390);
    connect(Command1_, &QPushButton::clicked, this, &W_Webfrm::Command1_Click);
    connect(Text1_, &QLineEdit::returnPressed, this, &W_Webfrm::Command1_Click);
    // Only platform 1 ever asks for a picture code; platform 0 says its steps instead.
    connect(WebBs_, &browser::EmbeddedBrowser::downloadBegin, this, [this] {
        if (site_.platform() == 1 && !unloaded_)
            setStatus(QStringLiteral("正在获取验证码，请稍等……"));
    });
    stall_ = new QTimer(this);
    stall_->setSingleShot(true);
    stall_->setInterval(ctx.itinerary.deploy.httpTimeoutMs());
    connect(stall_, &QTimer::timeout, this, &W_Webfrm::stalled);
    new FinishedPages(*WebBs_, [this](const QString& url, const browser::DomDocument& page) {
        pageFinished(url, page);
    });

    // Load: out of sight, the print form disabled, the stored account of the platform.
    setGeometry(itin::TwipRect(0, 90000, 4710, 1060));
    setAttribute(Qt::WA_ShowWithoutActivating); // out of sight: the print form keeps the focus
    state.selectedPlatform = qint16(form.platformIndex());
    form.setEnabled(false);
    site_ = PlatformSite(state.selectedPlatform,
                         PlatformSiteUrl(ctx.itinerary.deploy, state.selectedPlatform));
    account_ = ReadPlatformAccount(ReadPingTai(ctx.itinerary), state.selectedPlatform);
    if (!account_.account.isEmpty() && !account_.password.isEmpty()) {
        state.orderRetrievalActive = 1;
        setStatus(QStringLiteral("正在获取信息，请稍等……"));
        WebBs_->navigate(site_.startUrl());
        stall_->start();
    } else {
        flow.openSignIn();
        WebBs_->navigate(PlatformBlankUrl(ctx.itinerary.deploy));
    }
}

W_Webfrm::~W_Webfrm() {
    unload();
}

void W_Webfrm::unload() {
    if (unloaded_) return;
    if (!ended_) setStatus(QStringLiteral("已取消"));
    unloaded_ = true;
    stall_->stop();
    state_.orderRetrievalActive = 0;
    form_.setEnabled(true);
}

void W_Webfrm::finish(const QString& status) {
    if (!status.isEmpty()) setStatus(status);
    ended_ = true;
    close();
}

QString W_Webfrm::progressStatus(RetrievalStep::Kind kind) {
    switch (kind) {
    case RetrievalStep::SignIn:
        return QStringLiteral("正在登录平台，请稍等……");
    case RetrievalStep::TimedOut:
        return QStringLiteral("平台登录超时，正在重新登录……");
    case RetrievalStep::Desktop:
        return QStringLiteral("正在打开订单查询，请稍等……");
    case RetrievalStep::SearchPage:
        return QStringLiteral("正在查询PNR，请稍等……");
    case RetrievalStep::OrdersListed:
        return QStringLiteral("正在打开订单，请稍等……");
    case RetrievalStep::OrderDetail:
        return QStringLiteral("正在读取订单，请稍等……");
    default:
        return {};
    }
}

void W_Webfrm::showMessage(const QString& text) {
    // The message box sits over the active window: out of sight, that is not this one.
    if (!inView_ && isActiveWindow() && parentWidget()) parentWidget()->activateWindow();
    ctx_.itinerary.messages.show(text);
}

void W_Webfrm::closeEvent(QCloseEvent* e) {
    unload();
    QWidget::closeEvent(e);
}

bool W_Webfrm::eventFilter(QObject* watched, QEvent* e) {
    if (watched == Image1_ && e->type() == QEvent::MouseButtonRelease) Image1_Click();
    return QWidget::eventFilter(watched, e);
}

void W_Webfrm::setStatus(const QString& text) {
    form_.setStatusText(text);
}

void W_Webfrm::newPictureCode() {
    Image1_->clear();
    LoadPictureFromURL(Image1_, QUrl(site_.pictureCodeUrl(ctx_.itinerary.clock.now())).toString(),
                       ctx_.profile());
}

void W_Webfrm::Image1_Click() {
    newPictureCode();
}

void W_Webfrm::Command1_Click() {
    if (!Command1_->isEnabled()) return; // one query per press
    Text1_->setText(Text1_->text().trimmed());
    if (Text1_->text().size() != 4) {
        // A code of another length cannot be right; it is not sent.
        showMessage(QStringLiteral("请输入正确的验证码"));
        return;
    }
    // Until the page answers (or the wait ends and the window closes).
    Command1_->setEnabled(false);
    WebBs_->run(PictureCodeSignIn(account_.account, account_.password, Text1_->text()));
    stall_->start();
}

void W_Webfrm::stalled() {
    finish(StalledRetrievalStatus());
}

void W_Webfrm::pageFinished(const QString& url, const browser::DomDocument& page) {
    if (unloaded_) return;
    const RetrievalInput in{site_.platform(), url, account_.account, account_.password,
                            ctx_.itinerary.formState.platformPnr};
    RetrievalStep step = ClassifyRetrievalPage(site_, in, page);
    Rtb_->setPlainText(PageHtml(page));
    if (step.kind == RetrievalStep::SignIn) {
        if (signInSent_) {
            // The platform showed its sign-in page again after the stored account was
            // sent: refused. Sending it again could lock the account.
            step = RetrievalStep{};
            step.kind = RetrievalStep::Refused;
            step.close = true;
        }
        signInSent_ = true;
    } else if (step.kind != RetrievalStep::None && step.kind != RetrievalStep::TimedOut) {
        signInSent_ = false; // past the sign-in
    }
    if (step.kind == RetrievalStep::Refused) {
        if (step.messages.isEmpty()) step.messages << QStringLiteral("密码错误");
        step.status = QStringLiteral("登录失败：") + step.messages.constLast();
    }
    if (step.status.isEmpty() && site_.platform() == 0) step.status = progressStatus(step.kind);
    if (step.kind != RetrievalStep::None && stall_->isActive()) stall_->start();
    if (step.pictureCodePage) {
        stall_->stop(); // the agent types the code
        newPictureCode();
        move(x(), 0);
        inView_ = true;
        setAttribute(Qt::WA_ShowWithoutActivating, false);
        setWindowTitle(QStringLiteral("请输入验证码"));
        Command1_->setEnabled(true); // the page has answered
        show();
        raise();
        activateWindow();
    }
    QPointer<W_Webfrm> self(this);
    // The status first, so the line says how it ended while the message is up.
    if (!step.status.isEmpty()) setStatus(step.status);
    if (step.close) ended_ = !step.status.isEmpty();
    for (const QString& m : step.messages) {
        showMessage(m);
        if (!self || unloaded_) return; // closed while the message was up
    }
    if (!step.actions.isEmpty()) WebBs_->run(step.actions);
    if (!step.navigateTo.isEmpty()) WebBs_->navigate(step.navigateTo);
    if (step.kind == RetrievalStep::OrderDetail) return readOrder(page);
    if (step.close) close();
}

void W_Webfrm::readOrder(const browser::DomDocument& page) {
    itin::ItineraryRecord* record = ctx_.printForm.record();
    const browser::DomDocument* main = page.frame(QStringLiteral("mainFrame"));
    if (!record) {
        finish(UnreadableOrderStatus());
        return;
    }
    const OrderRead order = main ? ReadPlatformOrder(site_.platform(), *main) : OrderRead{};
    // What follows the writes (the SMS panel's refresh and its messages) runs once the
    // whole order is in and the print form is enabled again.
    itin::ItineraryRecord::HeldChanges held(*record);
    finish(ApplyOrder(order, ctx_.itinerary.formState.platformPnr, *record));
}

} // namespace ximport
