#pragma once
// Folder tokens of update-list targets: "{app}", "{sys}", "{font}". The lists write
// Windows paths ("{app}\print.exe"); elsewhere a backslash is taken as a folder separator.
#include <QString>

namespace upd {

// Where the tokens point. Asked anew for every path.
class FolderProvider {
public:
    virtual ~FolderProvider() = default;
    virtual QString appFolder() const = 0;
    virtual QString systemFolder() const = 0;
    virtual QString fontsFolder() const = 0;
};

// The desktop's folders: on Windows the system folder and the fonts folder; elsewhere the
// system library folder and the user's fonts folder. WS_SYSTEM_FOLDER and WS_FONTS_FOLDER
// in the environment override the last two.
class PlatformFolders : public FolderProvider {
public:
    explicit PlatformFolders(QString appFolder) : app_(std::move(appFolder)) {}
    QString appFolder() const override { return app_; }
    QString systemFolder() const override;
    QString fontsFolder() const override;

private:
    QString app_;
};

// Fixed folders (tests).
class FixedFolders : public FolderProvider {
public:
    FixedFolders(QString app, QString sys, QString font)
        : app_(std::move(app)), sys_(std::move(sys)), font_(std::move(font)) {}
    QString appFolder() const override { return app_; }
    QString systemFolder() const override { return sys_; }
    QString fontsFolder() const override { return font_; }

private:
    QString app_, sys_, font_;
};

// Replaces every "{app}", then every "{sys}", then every "{font}" (case-sensitive); each
// folder is given without a trailing separator. Off Windows, backslashes become "/".
QString ResolveFolderTokens(const QString& path, const FolderProvider& folders);

// A target as the updater writes it: it must begin with a folder token and, resolved and
// normalised, name a file inside that token's folder. Empty when it does not (an absolute
// path, "..", no token, an unknown folder).
QString ResolveTargetInside(const QString& to, const FolderProvider& folders);

} // namespace upd
