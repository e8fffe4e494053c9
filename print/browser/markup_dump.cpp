#include "browser/markup_dump.h"

#include "browser/headless_page.h"

#include <cstdio>

namespace browser {

int DumpMarkup(const QString& url, int timeoutMs) {
    QString error;
    const QUrl address = HeadlessPageUrl(url, &error);
    if (address.isEmpty()) {
        std::fprintf(stderr, "print: %s\n", error.toUtf8().constData());
        return 2;
    }
    const HeadlessPage page = LoadHeadlessPage(address, timeoutMs);
    if (page.outcome != HeadlessPage::Read) {
        std::fprintf(stderr, "print: %s\n", page.why(url).toUtf8().constData());
        return 2;
    }
    const QByteArray text = MarkupWithFrames(page.document).toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    return 0;
}

} // namespace browser
