#include "import/ticket/p_xty2.h"

#include "browser/embedded_browser.h"
#include "import/import_context.h"
#include "import/load_picture.h"
#include "itinerary/booking_form.h"
#include "itinerary/forms/click_label.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/forms/twips.h"

#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QUrl>

namespace ximport {

namespace {

constexpr int kWidthTwips = 11400;
constexpr int kHeightTwips = 8400;

template <typename W>
W* child(QWidget* parent, const char* name, int left, int top, int width, int height) {
    auto* w = new W(parent);
    w->setObjectName(QLatin1String(name));
    itin::PlaceTwips(w, left, top, width, height);
    return w;
}

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top,
              int width) {
    auto* l = child<QLabel>(parent, name, left, top, width, 255);
    l->setText(text);
    return l;
}

} // namespace

P_XTY2::P_XTY2(itin::BookingForm& form, itin::ItineraryContext& ctx,
               browser::BrowserProfile& profile, int pictureTimeoutMs, QWidget* parent)
    : QWidget(parent, Qt::Dialog), form_(form), ctx_(ctx), profile_(profile),
      pictureTimeoutMs_(pictureTimeoutMs > 0 ? pictureTimeoutMs : kPictureTimeoutMs),
      siteUrl_(ctx.deploy.value(QStringLiteral("VerificationSiteUrl"))) {
    setObjectName(QStringLiteral("P_XTY2"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("票号导入"));
    setFont(itin::SongTi(9));
    resize(kWidthTwips / itin::kTwipsPerPixel, kHeightTwips / itin::kTwipsPerPixel);

    label(this, "Label1", QStringLiteral("票号："), 120, 180, 615);
    Text1_ = child<QLineEdit>(this, "Text1", 720, 120, 2175, 345);
    label(this, "Label2", QStringLiteral("姓名："), 3000, 180, 615);
    Text2_ = child<QLineEdit>(this, "Text2", 3600, 120, 1575, 345);
    label(this, "Label3", QStringLiteral("验证码："), 5280, 180, 855);
    Text3_ = child<QLineEdit>(this, "Text3", 6120, 120, 855, 345);
    Image1_ = child<itin::ClickLabel>(this, "Image1", 7080, 60, 1200, 465);
    auto* refresh = child<itin::ClickLabel>(this, "Label4", 8400, 180, 495, 255);
    refresh->setText(QStringLiteral("刷新"));
    refresh->setCursor(Qt::PointingHandCursor);
    Command1_ = child<QPushButton>(this, "Command1", 120, 600, 1200, 375);
    Command1_->setText(QStringLiteral("导   入"));
    label(this, "Label5", QStringLiteral("导入前请刷新验证码！！！"), 1560, 660, 2775);
    label(this, "Label6", QStringLiteral("本软件可以直接导入票号，欢迎使用。"), 4440, 660, 4215);
    Label7_ = label(this, "Label7", QString(), 120, 1080, kWidthTwips - 240);
    WebBs_ = new browser::EmbeddedBrowser(profile, this);
    WebBs_->setObjectName(QStringLiteral("WebBs"));
    itin::PlaceTwips(WebBs_, 0, 1440, kWidthTwips, kHeightTwips - 1440);

    connect(Command1_, &QPushButton::clicked, this, &P_XTY2::Command1_Click);
    connect(Text3_, &QLineEdit::textChanged, this, &P_XTY2::Text3_Change);
    // Enter in the dialog's own boxes presses the button (a disabled one ignores it); keys
    // typed into the page stay with the page.
    for (QLineEdit* box : {Text1_, Text2_, Text3_})
        connect(box, &QLineEdit::returnPressed, Command1_, &QPushButton::click);
    connect(Image1_, &itin::ClickLabel::clicked, this, &P_XTY2::refreshPicture);
    connect(refresh, &itin::ClickLabel::clicked, this, &P_XTY2::refreshPicture);
    connect(WebBs_, &browser::EmbeddedBrowser::documentComplete, this,
            &P_XTY2::WebBs_DocumentComplete);
    connect(WebBs_, &browser::EmbeddedBrowser::statusTextChange, this,
            &P_XTY2::WebBs_StatusTextChange);
    connect(WebBs_, &browser::EmbeddedBrowser::downloadComplete, this,
            &P_XTY2::WebBs_DownloadComplete);
    connect(WebBs_, &browser::EmbeddedBrowser::topLoadFinished, this,
            &P_XTY2::WebBs_TopLoadFinished);
    connect(WebBs_, &browser::EmbeddedBrowser::downloadBegin, this,
            [this] { loadFailed_ = false; });
    // A page's own message answers a query too (a refused code shows one, and no page).
    connect(WebBs_, &browser::EmbeddedBrowser::pageDialog, this, [this] {
        querying_ = false;
        wait_->stop();
        showButton();
    });
    // A query whose page never comes gives the button back after the wait.
    wait_ = new QTimer(this);
    wait_->setSingleShot(true);
    wait_->setInterval(ctx.deploy.httpTimeoutMs());
    connect(wait_, &QTimer::timeout, this, [this] {
        querying_ = false;
        showButton();
    });

    // Load: top-left of the screen, the button waits for the first page.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->geometry().topLeft());
    Command1_->setText(state_.buttonCaption());
    Command1_->setEnabled(false);
    WebBs_->navigate(VerificationHomeUrl(siteUrl_));
    refreshPicture();
}

void P_XTY2::showButton() {
    Command1_->setText(state_.buttonCaption());
    Command1_->setEnabled(state_.buttonEnabled() && !querying_);
    Command1_->resize(TicketPageState::kButtonWidthTwips / itin::kTwipsPerPixel,
                      Command1_->height());
}

void P_XTY2::refreshPicture() {
    Image1_->clear();
    LoadPictureFromURL(Image1_, PictureCodeUrl(siteUrl_, ctx_.clock.now()), profile_,
                       pictureTimeoutMs_);
}

void P_XTY2::WebBs_DocumentComplete(const QString& url) {
    // Only a page of the site counts; not the engine's stand-in for one that failed.
    const QString scheme = QUrl(url).scheme();
    if (loadFailed_ || (scheme != u"http" && scheme != u"https" && scheme != u"file")) return;
    state_.pageFinished();
    querying_ = false;
    wait_->stop();
    showButton();
    // The page's own picture code is no longer the one the site keeps once the dialog
    // fetches its own: the page's is hidden, so the agent sees exactly one.
    WebBs_->run(HidePagePictureCode());
    refreshPicture();
}

void P_XTY2::WebBs_TopLoadFinished(bool ok) {
    if (ok) return;
    // No page: the button stays disabled until one loads.
    loadFailed_ = true;
    state_ = TicketPageState();
    querying_ = false;
    wait_->stop();
    showButton();
    Label7_->setText(UnreachableSiteMessage());
}

void P_XTY2::WebBs_StatusTextChange(const QString& text) {
    if (TicketPageState::finishesPage(text) && !loadFailed_) {
        state_.pageFinished();
        querying_ = false;
        wait_->stop();
        showButton();
    }
    Label7_->setText(text);
}

void P_XTY2::WebBs_DownloadComplete() {
    if (state_.pageState() != 2) return;
    QPointer<P_XTY2> self(this);
    WebBs_->snapshot([self](const browser::DomDocument& page) {
        if (!self) return;
        // Only a result page reaches the print form, which is created when none is open.
        const ResultApplied done = ApplyResultPage(
            page, [self] { return self->form_.loadRecord(); }, self->ctx_.programFolder);
        if (!self) return;
        if (done.tooLarge) self->ctx_.messages.show(ResultTooLargeMessage(), {});
        if (done.result) emit self->resultApplied(done.written);
    });
}

void P_XTY2::Text3_Change() {
    const QString upper = Text3_->text().toUpper();
    if (upper == Text3_->text()) return;
    Text3_->setText(upper);
    Text3_->setCursorPosition(int(upper.size()));
}

void P_XTY2::Command1_Click() {
    if (!Command1_->isEnabled()) return;
    const TicketQuery q = CheckTicketQuery(Text1_->text(), Text2_->text(), Text3_->text());
    Text1_->setText(q.ticket);
    if (!q.ticketOk()) {
        ctx_.messages.show(q.refusal, {});
        return;
    }
    Text2_->setText(q.name);
    Text3_->setText(q.code);
    if (!q.refusal.isEmpty()) {
        ctx_.messages.show(q.refusal, {});
        return;
    }
    // One query per press: the button waits for the page (or the end of the wait).
    querying_ = true;
    wait_->start();
    showButton();
    WebBs_->run(QueryActions(q));
}

TicketImport::TicketImport(ImportContext& ctx)
    : QObject(&ctx.printForms), dialog_([&ctx] { return ctx.printForms.ownerWindow(); },
                                        [this, &ctx, &profile = ctx.profile()](QWidget* owner) {
                                            return new P_XTY2(ctx.printForm, ctx.itinerary, profile,
                                                              pictureTimeoutMs_, owner);
                                        }) {}

} // namespace ximport
