#include "picture_fetch.h"

#include "browser_profile.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QPointer>
#include <QTemporaryFile>

namespace ximport {

void FetchPicture(browser::BrowserProfile& profile, QLabel* target, const QUrl& url, int timeoutMs) {
    // A fresh name per fetch, so a fetch that is still running never meets another's file.
    QString path;
    {
        QTemporaryFile f(QDir::tempPath() + QStringLiteral("/tmppp-XXXXXX"));
        if (!f.open()) return;
        path = f.fileName();
    }
    QPointer<QLabel> label(target);
    profile.downloadToFile(url, path, timeoutMs, [label, path](bool ok) {
        if (ok && label) label->setPixmap(QPixmap(path));
        QFile::remove(path);
    });
}

} // namespace ximport
