#include "shell/management/b_main.h"

#include "browser/embedded_browser.h"
#include "shell/management/print_hand_off.h"

#include <QPointer>
#include <QResizeEvent>

namespace shell {
namespace {

QRect toPixels(const QRect& twips) {
    return {twips.x() / kTwipsPerPixel, twips.y() / kTwipsPerPixel, twips.width() / kTwipsPerPixel,
            twips.height() / kTwipsPerPixel};
}

} // namespace

B_Main::B_Main(browser::BrowserProfile& profile, WebState& web, const ManagementSite& site,
               itin::PrintFormState& formState, itin::BookingForm& printForm, QWidget* parent)
    : QWidget(parent), web_(web), site_(site), formState_(formState), printForm_(printForm) {
    setObjectName(QStringLiteral("B_Main"));
    setWindowTitle(QStringLiteral("票务管理系统"));
    web_.browserOpen = true;
    WbBs = new browser::EmbeddedBrowser(profile, this);
    WbBs->setObjectName(QStringLiteral("WbBs"));
    WbBs->setGeometry(toPixels(BrowserControlTwips()));
    resize(loadGeometry().size());
    connect(WbBs, &browser::EmbeddedBrowser::documentComplete, this, &B_Main::onDocumentComplete);
    WbBs->navigate(site_.signInUrl());
}

B_Main::~B_Main() {
    web_.browserOpen = false;
}

QRect B_Main::loadGeometry() {
    return toPixels(BrowserFormTwips());
}

void B_Main::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The pages fill the window: its size here is the inside, without caption and borders.
    WbBs->setGeometry(rect());
}

void B_Main::clickNavItem(const QString& id, std::function<void(bool)> found) {
    WbBs->run(browser::BrowserActions().click(id, {QStringLiteral("leftFrame")}),
              [found = std::move(found)](const QList<bool>& ok) {
                  if (found) found(!ok.isEmpty() && ok.first());
              });
}

void B_Main::onDocumentComplete(const QString& url) {
    const CompletedDocument d = ClassifyCompletedDocument(site_, WbBs->locationUrl(), url);
    web_.webSignedIn = d.signedIn;
    if (!d.printPage) return;
    QPointer<B_Main> self(this);
    WbBs->snapshot([self](const browser::DomDocument& top) {
        if (!self) return;
        const browser::DomDocument* middle = top.frame(QStringLiteral("middleFrame"));
        const browser::DomNode* body = middle ? middle->body() : nullptr;
        const QString text = body ? body->innerMarkup() : QString();
        emit self->printHandedOff(PrintHandOff(text, self->formState_, self->printForm_));
    });
}

} // namespace shell
