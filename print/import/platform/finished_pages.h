#pragma once
// Turns a browser's document-complete events into finished pages, each with one snapshot:
// the top document's completion (its frames completed before it), or a frame's completion
// once the top page has completed (a navigation inside a frame). Frames of a page that is
// still loading are skipped, so a frameset page is handled once, as the browser's ready
// state "complete" would have it.
#include "browser/dom_snapshot.h"

#include <QObject>
#include <QString>

#include <functional>

namespace browser {
class EmbeddedBrowser;
}

namespace ximport {

class FinishedPages : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(const QString& url, const browser::DomDocument& page)>;
    FinishedPages(browser::EmbeddedBrowser& browser, Handler handler);

private:
    browser::EmbeddedBrowser& browser_;
    Handler handler_;
    bool topDone_ = false;
};

} // namespace ximport
