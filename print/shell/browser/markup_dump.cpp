#include "shell/browser/markup_dump.h"

#include "shell/browser/browser_profile.h"
#include "shell/browser/embedded_browser.h"

#include <QEventLoop>
#include <QTimer>

#include <cstdio>

namespace browser {

int DumpMarkup(const QString& url, int timeoutMs) {
    BrowserProfile profile;
    int status = 1;
    {
        EmbeddedBrowser browser(profile);
        browser.resize(1024, 768);
        QEventLoop loop;
        QTimer timeout;
        timeout.setSingleShot(true);
        QObject::connect(&timeout, &QTimer::timeout, &loop, &QEventLoop::quit);
        bool asked = false;
        QObject::connect(&browser, &EmbeddedBrowser::topLoadFinished, &loop, [&](bool ok) {
            if (asked) return;
            asked = true;
            if (!ok) {
                loop.quit();
                return;
            }
            browser.snapshot([&](const DomDocument& d) {
                const QByteArray text = markupWithFrames(d).toUtf8();
                std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
                std::fputc('\n', stdout);
                std::fflush(stdout);
                status = 0;
                loop.quit();
            });
        });
        timeout.start(timeoutMs);
        browser.navigate(url);
        loop.exec();
    }
    if (status) std::fprintf(stderr, "print: %s did not load\n", url.toUtf8().constData());
    return status;
}

} // namespace browser
