#pragma once
// The updater's command line, read with the application in place: --help, --version, the
// test switches (--no-dialogs, --now) and the registration child's --register.
#include <QDateTime>
#include <QString>
#include <QStringList>

namespace upd {

struct UpdaterOptions {
    bool noDialogs = false; // messages go to standard output instead of message boxes
    QDateTime now;          // pinned clock when valid
    QString registerFile;   // set: run this component's registration entry point and end
    QString registerMode;
};

enum class OptionsVerdict { Run, Help, Version, Bad };

// Reads args into options. For Help and Version, text is what to print; for Bad, the one
// line saying what is wrong (an unknown option, an option without the one it belongs to,
// a stray argument, an unreadable date).
OptionsVerdict ReadUpdaterOptions(const QStringList& args, UpdaterOptions& options, QString& text);

} // namespace upd
