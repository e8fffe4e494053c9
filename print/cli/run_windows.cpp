// print (no option): sign-in, then the main window; print --form: the print form alone.
#include "cli/command_line.h"

#include "app/workstation.h"
#include "common/forms/translations.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

namespace cli {

namespace {

// WS_QUIT_WHEN_SHOWN set: the run ends once the first window has painted (start-up
// measurements compare it with other programs ended the same way).
class QuitWhenShown : public QObject {
protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget*>(watched)->isWindow()) {
            qApp->removeEventFilter(this);
            QTimer::singleShot(0, qApp, [] { QCoreApplication::exit(0); });
        }
        return false;
    }
};

} // namespace

int RunWindows(const CommandLine& c) {
    forms::InstallChineseTranslations();
    QuitWhenShown quit;
    if (qEnvironmentVariableIsSet("WS_QUIT_WHEN_SHOWN")) qApp->installEventFilter(&quit);
    if (c.isSet(c.form)) return app::RunPrintFormAlone(c.programFolder(), c.isSet(c.international));
    return app::RunWorkstation(c.programFolder());
}

} // namespace cli
