#include "update/updater_options.h"

#include "common/deploy_config.h"

#include <QCommandLineParser>

namespace upd {

namespace {

const char kDescription[] =
    R"(Brings the program files of print up to date from the update service, then starts print.
Without options it shows its window and runs one update.)";

const char kExamples[] = R"(
Examples:
  update
  update --no-dialogs
  update --no-dialogs --now 2026-03-01T09:00:00)";

} // namespace

OptionsVerdict ReadUpdaterOptions(const QStringList& args, UpdaterOptions& options, QString& text) {
    QCommandLineParser cli;
    cli.setApplicationDescription(QString::fromLatin1(kDescription));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("?"), QStringLiteral("help"),
                                   QStringLiteral("help-all")},
                                  QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    const QCommandLineOption noDialogs(QStringLiteral("no-dialogs"),
                                       QStringLiteral("Messages to standard output, no boxes."));
    const QCommandLineOption now(QStringLiteral("now"),
                                 QStringLiteral("Pin the clock (ISO date and time)."),
                                 QStringLiteral("DATETIME"));
    QCommandLineOption registerFile(QStringLiteral("register"),
                                    QStringLiteral("Run a component's registration entry point."),
                                    QStringLiteral("FILE"));
    QCommandLineOption registerMode(QStringLiteral("register-mode"),
                                    QStringLiteral("With --register: U unregisters."),
                                    QStringLiteral("MODE"));
    // The updater starts itself with these; nobody types them.
    registerFile.setFlags(QCommandLineOption::HiddenFromHelp);
    registerMode.setFlags(QCommandLineOption::HiddenFromHelp);
    cli.addOptions({help, version, noDialogs, now, registerFile, registerMode});

    if (!cli.parse(args)) {
        text = cli.errorText();
        return OptionsVerdict::Bad;
    }
    if (cli.isSet(help)) {
        // The usage line names the program, not the path it was started by.
        const QString usage = cli.helpText();
        text = QStringLiteral("Usage: update") + usage.mid(usage.indexOf(u" [options]")) +
               QString::fromLatin1(kExamples);
        return OptionsVerdict::Help;
    }
    if (cli.isSet(version)) {
        text = QStringLiteral("update ") + common::BuildVersion();
        return OptionsVerdict::Version;
    }
    if (!cli.positionalArguments().isEmpty()) {
        text = QStringLiteral("unexpected argument ") + cli.positionalArguments().constFirst() +
               QStringLiteral(" (update takes options only)");
        return OptionsVerdict::Bad;
    }
    if (cli.isSet(registerMode) && !cli.isSet(registerFile)) {
        text = QStringLiteral("--register-mode needs --register");
        return OptionsVerdict::Bad;
    }
    if (cli.isSet(registerFile) && cli.value(registerFile).isEmpty()) {
        text = QStringLiteral("--register needs a FILE");
        return OptionsVerdict::Bad;
    }
    options.noDialogs = cli.isSet(noDialogs);
    options.registerFile = cli.value(registerFile);
    options.registerMode = cli.value(registerMode);
    if (cli.isSet(now)) {
        options.now = QDateTime::fromString(cli.value(now), Qt::ISODate);
        if (!options.now.isValid()) {
            text = QStringLiteral("--now needs a date such as 2026-03-01T09:00:00");
            return OptionsVerdict::Bad;
        }
    }
    return OptionsVerdict::Run;
}

} // namespace upd
