#include "import/platform/p_login.h"

#include "import/import_context.h"
#include "import/load_picture.h"
#include "import/platform/finished_pages.h"
#include "import/platform/order_retrieval.h"

#include "browser/embedded_browser.h"
#include "common/fso.h"
#include "itinerary/booking_form.h"
#include "itinerary/form_placement.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/twips.h"
#include "itinerary/retrieval_form.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace ximport {

using itin::PlaceTwips;

namespace {

QLabel* label(QWidget* parent, const char* name, const QString& text, int left, int top) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    PlaceTwips(l, left, top, 900, 300);
    return l;
}

QLineEdit* edit(QWidget* parent, const char* name, int left, int top, int width) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QLatin1String(name));
    PlaceTwips(e, left, top, width, 300);
    return e;
}

} // namespace

P_Login::P_Login(OrderRetrieval& flow, ImportContext& ctx, const itin::RetrievalForm& form,
                 int platform, QWidget* parent)
    : QWidget(parent, Qt::Dialog), flow_(flow), ctx_(ctx),
      site_(platform, PlatformSiteUrl(ctx.itinerary.deploy, platform)) {
    setObjectName(QStringLiteral("P_Login"));
    setAttribute(Qt::WA_DeleteOnClose);
    Label1_ = label(this, "Label1", QStringLiteral("用户名："), 240, 240);
    Text1_ = edit(this, "Text1", 1200, 240, 2400);
    Label2_ = label(this, "Label2", QStringLiteral("密  码："), 240, 720);
    Text2_ = edit(this, "Text2", 1200, 720, 2400);
    Text2_->setEchoMode(QLineEdit::Password);
    Label3_ = label(this, "Label3", QStringLiteral("验证码："), 240, 1200);
    Text3_ = edit(this, "Text3", 1200, 1200, 1000);
    Image1_ = new QLabel(this);
    Image1_->setObjectName(QStringLiteral("Image1"));
    PlaceTwips(Image1_, 2400, 1150, 1200, 400);
    Command1_ = new QPushButton(QStringLiteral("登  陆"), this);
    Command1_->setObjectName(QStringLiteral("Command1"));
    PlaceTwips(Command1_, 1200, 1740, 1500, 420);
    WebBs_ = new browser::EmbeddedBrowser(ctx.profile(), this);
    WebBs_->setObjectName(QStringLiteral("WebBs"));
    PlaceTwips(WebBs_, 0, 2500, 4200, 3000); // below the window's visible part
    connect(Command1_, &QPushButton::clicked, this, &P_Login::Command1_Click);
    wait_ = new QTimer(this);
    wait_->setSingleShot(true);
    wait_->setInterval(ctx.itinerary.deploy.httpTimeoutMs());
    connect(wait_, &QTimer::timeout, this, [this] { Command1_->setEnabled(true); });
    new FinishedPages(*WebBs_, [this](const QString& url, const browser::DomDocument& page) {
        pageFinished(url, page);
    });

    // Load.
    const QPoint at = ctx.placement.origin();
    setGeometry(QRect(at + QPoint(4000 / itin::kTwipsPerPixel, 1000 / itin::kTwipsPerPixel),
                      QSize(4200, 2500) / itin::kTwipsPerPixel));
    setWindowTitle(QStringLiteral("请输入 ") + form.platformName() +
                   QStringLiteral(" 用户名和密码"));
    const PlatformAccount stored =
        ReadPlatformAccount(ReadPingTai(ctx.itinerary), site_.platform());
    Text1_->setText(stored.account);
    Text2_->setText(stored.password);
    showCodeRow(false);
    Command1_->setEnabled(false); // until the sign-in page is there to fill
    WebBs_->navigate(site_.signInUrl());
    Image1_->clear();
}

void P_Login::showCodeRow(bool on) {
    Label3_->setVisible(on);
    Text3_->setVisible(on);
}

void P_Login::awaitAnswer() {
    Command1_->setEnabled(false);
    wait_->start();
}

void P_Login::Command1_Click() {
    if (!Command1_->isEnabled()) return; // one query per press
    if (signedIn_) return succeed();     // signed in; the account is still to be stored
    Text1_->setText(Text1_->text().trimmed());
    common::Messages& messages = ctx_.itinerary.messages;
    if (Text1_->text().size() < 6) return messages.show(QStringLiteral("帐号不正确"));
    if (Text2_->text().size() < 6) return messages.show(QStringLiteral("密码不正确"));
    const QString account = Text1_->text(), password = Text2_->text();
    const QString code = Text3_->text().trimmed();
    const int platform = site_.platform();
    QPointer<P_Login> self(this);
    awaitAnswer();
    // Platform 0's code input is named by the page as it stands now.
    WebBs_->snapshot([self, platform, account, password, code](const browser::DomDocument& page) {
        if (self) self->WebBs_->run(SignInActions(platform, page, account, password, code));
    });
}

void P_Login::pageFinished(const QString& url, const browser::DomDocument& page) {
    if (succeeded_ || signedIn_) return;
    // The page has answered: the button is the agent's again.
    wait_->stop();
    Command1_->setEnabled(true);
    const SignInStep step =
        ClassifySignInPage(site_, url, Text1_->text(), page, ctx_.itinerary.clock.now());
    if (step.kind == SignInStep::SignInPage) {
        Command1_->setEnabled(true);
        Image1_->clear();
        showCodeRow(step.showCode);
        if (step.showCode && !step.pictureUrl.isEmpty())
            LoadPictureFromURL(Image1_, QUrl(url).resolved(QUrl(step.pictureUrl)).toString(),
                               ctx_.profile());
    }
    QPointer<P_Login> self(this);
    if (!step.message.isEmpty()) ctx_.itinerary.messages.show(step.message);
    if (self && step.kind == SignInStep::SignedIn) succeed();
}

void P_Login::succeed() {
    signedIn_ = true;
    const QString text = RewritePlatformAccount(ReadPingTai(ctx_.itinerary), site_.platform(),
                                                Text1_->text(), Text2_->text());
    const QString path = PingTaiPath(ctx_.itinerary);
    if (!common::WriteTextFile(path, text)) {
        // Without the stored account the retrieval could not go on: the window stays, and
        // "登  陆" tries to store it again.
        Command1_->setEnabled(true);
        ctx_.itinerary.messages.show(QStringLiteral("无法保存 PingTai.ini：") + path);
        return;
    }
    succeeded_ = true;
    close();
    flow_.restart();
}

void P_Login::closeEvent(QCloseEvent* e) {
    QWidget::closeEvent(e);
    if (!succeeded_) flow_.signInAbandoned();
}

} // namespace ximport
