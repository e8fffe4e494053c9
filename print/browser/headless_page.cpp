#include "browser/headless_page.h"

#include "browser/browser_profile.h"
#include "browser/embedded_browser.h"

#include "common/fso.h"

#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>

#include <memory>

namespace browser {

QString HeadlessPage::why(const QString& page) const {
    return outcome == NotLoaded ? QStringLiteral("%1 did not load").arg(page)
                                : QStringLiteral("%1 could not be read").arg(page);
}

QUrl HeadlessPageUrl(const QString& page, QString* error) {
    const QUrl url(page);
    const QString scheme = url.scheme().toLower();
    if (url.isValid() && (scheme == u"http" || scheme == u"https" || scheme == u"data")) return url;
    // A drive letter is no scheme.
    const QString path = scheme == u"file" ? url.toLocalFile() : page;
    QByteArray bytes;
    const common::ReadStatus status = common::ReadAtMost(path, kMaxPageFileBytes, bytes);
    if (status != common::ReadStatus::Ok) {
        if (error) *error = common::ReadFailure(status, page, kMaxPageFileBytes);
        return {};
    }
    return QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath());
}

HeadlessPage LoadHeadlessPage(const QUrl& url, int timeoutMs) {
    // What the callbacks touch lives on the heap, shared with them; the browser drops its
    // calls still waiting when it goes, before this function returns.
    struct State {
        QEventLoop loop;
        HeadlessPage page;
        bool reading = false;
        bool loaded = false;
    };
    auto state = std::make_shared<State>();
    BrowserProfile profile;
    {
        EmbeddedBrowser browser(profile);
        browser.resize(1024, 768);
        QTimer timer;
        timer.setSingleShot(true);
        const std::weak_ptr<State> weak = state;
        auto read = [weak, &browser, &timer, timeoutMs] {
            const auto s = weak.lock();
            if (!s || s->reading) return;
            s->reading = true;
            timer.start(timeoutMs); // the reading's own time-out
            browser.snapshot([weak](const DomDocument& d) {
                const auto s = weak.lock();
                if (!s) return;
                const bool there = !d.root.tag.isEmpty() && d.readyState != u"loading";
                if (there) {
                    s->page.document = d;
                    s->page.outcome = HeadlessPage::Read;
                } else {
                    s->page.outcome = s->loaded ? HeadlessPage::NotRead : HeadlessPage::NotLoaded;
                }
                s->loop.quit();
            });
        };
        QObject::connect(&browser, &EmbeddedBrowser::topLoadFinished, &state->loop,
                         [weak, read](bool ok) {
                             const auto s = weak.lock();
                             if (!s || s->reading) return;
                             if (!ok) return s->loop.quit();
                             s->loaded = true;
                             read();
                         });
        QObject::connect(&timer, &QTimer::timeout, &state->loop, [weak, read] {
            const auto s = weak.lock();
            if (!s) return;
            if (s->reading) {
                s->page.outcome = s->loaded ? HeadlessPage::NotRead : HeadlessPage::NotLoaded;
                return s->loop.quit();
            }
            read(); // never said it finished: read what is there
        });
        timer.start(timeoutMs);
        browser.navigate(url.toString(QUrl::FullyEncoded));
        state->loop.exec();
    }
    return state->page;
}

} // namespace browser
