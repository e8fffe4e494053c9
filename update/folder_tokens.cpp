#include "update/folder_tokens.h"

#include "common/platform/platform.h"

#include <QDir>

namespace upd {

namespace {

QString withoutTrailingSeparator(QString folder) {
    while (folder.size() > 1 &&
           (folder.endsWith(QLatin1Char('/')) || folder.endsWith(QLatin1Char('\\'))))
        folder.chop(1);
    return folder;
}

QString fromEnvironment(const char* name) {
    return QString::fromLocal8Bit(qgetenv(name));
}

} // namespace

QString PlatformFolders::systemFolder() const {
    const QString overridden = fromEnvironment("WS_SYSTEM_FOLDER");
    if (!overridden.isEmpty()) return overridden;
    return QString::fromStdU16String(platform::SystemFolder().u16string());
}

QString PlatformFolders::fontsFolder() const {
    const QString overridden = fromEnvironment("WS_FONTS_FOLDER");
    if (!overridden.isEmpty()) return overridden;
    return QString::fromStdU16String(platform::FontsFolder().u16string());
}

QString ResolveFolderTokens(const QString& path, const FolderProvider& folders) {
    QString out = path;
    if (out.contains(QStringLiteral("{app}")))
        out.replace(QStringLiteral("{app}"), withoutTrailingSeparator(folders.appFolder()));
    if (out.contains(QStringLiteral("{sys}")))
        out.replace(QStringLiteral("{sys}"), withoutTrailingSeparator(folders.systemFolder()));
    if (out.contains(QStringLiteral("{font}")))
        out.replace(QStringLiteral("{font}"), withoutTrailingSeparator(folders.fontsFolder()));
#ifndef Q_OS_WIN
    out.replace(QLatin1Char('\\'), QLatin1Char('/'));
#endif
    return out;
}

QString ResolveTargetInside(const QString& to, const FolderProvider& folders) {
    using Getter = QString (FolderProvider::*)() const;
    static const std::pair<QLatin1StringView, Getter> kTokens[] = {
        {QLatin1StringView("{app}"), &FolderProvider::appFolder},
        {QLatin1StringView("{sys}"), &FolderProvider::systemFolder},
        {QLatin1StringView("{font}"), &FolderProvider::fontsFolder},
    };
#ifdef Q_OS_WIN
    constexpr Qt::CaseSensitivity cs = Qt::CaseInsensitive;
#else
    constexpr Qt::CaseSensitivity cs = Qt::CaseSensitive;
#endif
    const auto normal = [](QString path) {
        return QDir::cleanPath(path.replace(QLatin1Char('\\'), QLatin1Char('/')));
    };
    for (const auto& [token, folderOf] : kTokens) {
        if (!to.startsWith(token)) continue;
        const QString folder = (folders.*folderOf)();
        if (folder.isEmpty()) return {};
        QString base = normal(folder);
        if (!base.endsWith(QLatin1Char('/'))) base += QLatin1Char('/');
        const QString full = normal(ResolveFolderTokens(to, folders));
        if (full.size() <= base.size() || !full.startsWith(base, cs)) return {};
        return full;
    }
    return {};
}

} // namespace upd
