#include "update/forms/updater_app.h"

#include "common/clock.h"
#include "common/deploy_config.h"
#include "common/forms/box_messages.h"
#include "common/forms/translations.h"
#include "common/messages.h"
#include "common/net/http_client.h"
#include "common/platform/platform.h"
#include "update/folder_tokens.h"
#include "update/forms/first.h"
#include "update/registrar.h"

#include <QApplication>

#include <cstdio>
#include <memory>

namespace upd {

namespace {

class PrintedMessages : public common::Messages {
public:
    explicit PrintedMessages(QString title) : common::Messages(std::move(title)) {}

protected:
    void deliver(const QString& text, const QString& title) override {
        platform::WriteOutput(QStringLiteral("%1: %2\n").arg(title, text).toStdString());
    }
};

} // namespace

std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv) {
    // Only to choose the kind; the options are read from the application's arguments.
    QStringList raw;
    for (int i = 0; i < argc; ++i)
        raw << QString::fromLocal8Bit(argv[i]);
    UpdaterOptions options;
    QString text;
    if (ReadUpdaterOptions(raw, options, text) == OptionsVerdict::Run &&
        options.registerFile.isEmpty())
        return std::make_unique<QApplication>(argc, argv);
    return std::make_unique<QCoreApplication>(argc, argv);
}

std::optional<int> ReadOptions(UpdaterOptions& options) {
    QString text;
    switch (ReadUpdaterOptions(QCoreApplication::arguments(), options, text)) {
    case OptionsVerdict::Run:
        return std::nullopt;
    case OptionsVerdict::Help:
    case OptionsVerdict::Version:
        platform::AttachParentConsole(); // a windowed program on Windows
        platform::WriteOutput((text + QLatin1Char('\n')).toStdString());
        return 0;
    case OptionsVerdict::Bad:
        platform::AttachParentConsole();
        platform::WriteOutput(QStringLiteral("update: %1\n").arg(text).toStdString(), true);
        return 2;
    }
    return 2;
}

int RunUpdater(const UpdaterOptions& options) {
    const QString folder = QApplication::applicationDirPath();
    const common::DeployConfig config = common::DeployConfig::load(folder);
    std::unique_ptr<common::Clock> clock;
    if (options.now.isValid())
        clock = std::make_unique<common::FixedClock>(options.now);
    else
        clock = std::make_unique<common::SystemClock>();
    const QString title = config.value(QStringLiteral("ProductTitle"));
    std::unique_ptr<common::Messages> messages;
    if (options.noDialogs) {
        platform::AttachParentConsole(); // a windowed program on Windows
        messages = std::make_unique<PrintedMessages>(title);
    } else {
        forms::InstallChineseTranslations(); // the boxes' own buttons read 确定, 是, 否
        messages =
            std::make_unique<forms::BoxMessages>(title, forms::BoxMessages::Icon::Information);
    }

    UpdateState state = MakeUpdateState(folder, config, *clock);
    state.handOver = [&](const QList<UpdateRow>& rows) {
        return HandOverElevated(rows, folder, QApplication::arguments().mid(1));
    };
    net::HttpClient http(config);
    PlatformFolders folders(folder);
    Registrar registrar(QApplication::applicationFilePath());
    registrar.setBusyHook([](bool busy) {
        if (busy)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    DownloadLimits limits;
    limits.inactivityMs = config.httpTimeoutMs();
    bool ok = false;
    const qint64 sliceLimit = config.value(QStringLiteral("DownloadSliceLimitMs")).toLongLong(&ok);
    if (ok && sliceLimit > 0) limits.sliceLimitMs = sliceLimit;

    std::unique_ptr<UpdateRun> run;
    First window(title, QStringLiteral("客服QQ：") + config.value(QStringLiteral("SupportContact")),
                 [&] { run->runUpdate(); });
    Downloader downloader(http, *messages, &window, &registrar, limits);
    run = std::make_unique<UpdateRun>(state, *clock, http, folders, window, downloader, *messages);

    QObject::connect(&window, &First::runFinished, [&] {
        QString why;
        if (state.handedOver || StartProgram(state.programPath, &why)) return QApplication::exit(0);
        messages->show(QStringLiteral("无法启动 print：") + why);
        QApplication::exit(1);
    });
    // The run ends the program itself, after any message about starting print.
    QApplication::setQuitOnLastWindowClosed(false);
    window.show();
    return QApplication::exec();
}

} // namespace upd
