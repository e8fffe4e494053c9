#include "standalone.h"

#include "print_form_host.h"
#include "program_folder.h"
#include "widget_seams.h"

#include <QApplication>

namespace itin {

int RunPrintFormAlone(QApplication& app, bool international, const QString& dataFolder,
                      const HostSetup& setup) {
    const QString folder = programfolder::resolve(dataFolder);
    DeployConfig deploy = DeployConfig::load(folder);
    PCommon common;
    common.PrintMode = international ? International : Domestic;
    PrintSettings settings;
    BoxMessages messages(deploy.value(QStringLiteral("ProductTitle")));
    SystemClock clock;
    SystemDesktopBrowser browser;
    WidgetFileDialogs fileDialogs;
    ItineraryContext ctx{common,  settings,    messages, clock, deploy,
                         browser, fileDialogs, folder,   {}};

    PrintFormHost host(ctx);
    if (setup) setup(host, ctx);
    // Alone, the program ends when the form closes for good (not when it reloads).
    QObject::connect(&host, &PrintFormHost::formUnloaded, &app, [&host, &app] {
        QMetaObject::invokeMethod(
            &app,
            [&host, &app] {
                if (!host.form()) app.quit();
            },
            Qt::QueuedConnection);
    });
    host.show();
    app.setQuitOnLastWindowClosed(false);
    return app.exec();
}

} // namespace itin
