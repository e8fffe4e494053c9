#include "update/folder_tokens.h"

#include <QDir>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <shlobj.h>
#include <windows.h>
#endif

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
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH] = {};
    const UINT n = GetSystemDirectoryW(buffer, MAX_PATH);
    return QString::fromWCharArray(buffer, int(n < MAX_PATH ? n : 0));
#else
    return QStringLiteral("/usr/lib");
#endif
}

QString PlatformFolders::fontsFolder() const {
    const QString overridden = fromEnvironment("WS_FONTS_FOLDER");
    if (!overridden.isEmpty()) return overridden;
#ifdef Q_OS_WIN
    wchar_t buffer[MAX_PATH] = {};
    if (SHGetSpecialFolderPathW(nullptr, buffer, CSIDL_FONTS, FALSE))
        return QString::fromWCharArray(buffer);
    return {};
#else
    return QStandardPaths::writableLocation(QStandardPaths::FontsLocation);
#endif
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
