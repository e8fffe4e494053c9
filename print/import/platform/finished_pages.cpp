#include "import/platform/finished_pages.h"

#include "browser/embedded_browser.h"

#include <QPointer>

namespace ximport {

FinishedPages::FinishedPages(browser::EmbeddedBrowser& browser, Handler handler)
    : QObject(&browser), browser_(browser), handler_(std::move(handler)) {
    connect(&browser, &browser::EmbeddedBrowser::downloadBegin, this, [this] { topDone_ = false; });
    connect(&browser, &browser::EmbeddedBrowser::documentComplete, this,
            [this](const QString& url) {
                if (url == browser_.locationUrl())
                    topDone_ = true;
                else if (!topDone_)
                    return;
                QPointer<FinishedPages> self(this);
                browser_.snapshot([self, url](const browser::DomDocument& page) {
                    if (self && self->handler_) self->handler_(url, page);
                });
            });
}

} // namespace ximport
