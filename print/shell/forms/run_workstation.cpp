#include "run_workstation.h"

#include "main_windows.h"
#include "sign_in_flow.h"
#include "vendor_session.h"

#include <QApplication>

#include <memory>

namespace shell {

int RunWorkstation(const QString& programFolder) {
    VendorSession vendor(programFolder);
    if (!vendor.ready()) return 2;
    std::unique_ptr<MainWindows> windows;
    // Shown before the sign-in form closes, so the program goes on with the main window.
    QObject::connect(&vendor.flow(), &SignInFlow::signedIn, [&] {
        windows = std::make_unique<MainWindows>(vendor.config(), vendor.messages(), programFolder);
        windows->show();
    });
    vendor.flow().start();
    const int code = QApplication::exec();
    windows.reset();
    return code;
}

} // namespace shell
