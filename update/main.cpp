// update: brings the program files of print up to date, then starts print.
// "--register FILE [--register-mode M]" runs a component's registration entry point (the
// updater starts itself this way for each component).
#include "update/forms/updater_app.h"
#include "update/registrar.h"

#include <QApplication>

#include <cstring>

int main(int argc, char* argv[]) {
    if (argc >= 3 && std::strcmp(argv[1], "--register") == 0) {
        const bool hasMode = argc >= 5 && std::strcmp(argv[3], "--register-mode") == 0;
        return upd::RunRegistrationEntry(upd::ArgumentAt(argc, argv, 2),
                                         hasMode ? upd::ArgumentAt(argc, argv, 4) : QString());
    }
    QApplication app(argc, argv);
    upd::UpdaterOptions options;
    const QStringList args = QApplication::arguments();
    options.noDialogs = args.contains(QStringLiteral("--no-dialogs"));
    const qsizetype now = args.indexOf(QStringLiteral("--now"));
    if (now >= 0 && now + 1 < args.size())
        options.now = QDateTime::fromString(args[now + 1], Qt::ISODate);
    return upd::RunUpdater(options);
}
