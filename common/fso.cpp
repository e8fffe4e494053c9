#include "fso.h"

#include "code_page.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace fso {

bool FileExists(const QString& path) {
    QFileInfo info(path);
    return info.exists() && info.isFile();
}

QString ReadTextFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return codepage::fromGbk(f.readAll());
}

bool WriteTextFile(const QString& path, const QString& text) {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    const QByteArray bytes = codepage::toGbk(text);
    if (f.write(bytes) != bytes.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

} // namespace fso
