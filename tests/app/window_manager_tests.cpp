// The main window on a real X display under a desktop window manager (started by
// under_window_manager.sh): it opens maximised, and the print form is in front again after
// its dialog closes.
#include "app/workstation.h"

#include "common/fso.h"
#include "common/messages.h"
#include "itinerary/forms/print_form_host.h"
#include "shell/browser/browser_profile.h"
#include "shell/main_window/a_main.h"
#include "support/gui.h"

#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(UnderWindowManager, MainWindowOpensMaximisedAndTheFormComesBackInFront) {
    QTemporaryDir folder;
    ASSERT_TRUE(common::WriteTextFile(
        folder.filePath(QStringLiteral("deploy.ini")),
        QStringLiteral(
            "[deploy]\nManagementSiteUrl=http://127.0.0.1:1/\nSmsGatewayHost=127.0.0.1:1\n")));
    common::RecordingMessages messages;
    app::Workstation w(folder.path(), app::Seams{&messages, nullptr, nullptr, nullptr, {}});
    shell::A_Main& main = w.openMainWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The window manager maximises asynchronously.
    EXPECT_TRUE(support::waitUntil(
        [&] { return main.frameGeometry().width() >= screen.width() - 4; }, 5000))
        << main.frameGeometry().width() << " of " << screen.width();
    EXPECT_TRUE(main.isMaximized());
    EXPECT_GE(main.frameGeometry().height(), screen.height() - 4);

    itin::P_GuoNei* form = w.printForms().form();
    ASSERT_NE(form, nullptr);
    support::child<QPushButton>(form, "Command1")->click();
    QWidget* pnr = support::window("P_Pnr");
    ASSERT_NE(pnr, nullptr);
    EXPECT_TRUE(support::waitUntil([&] { return QApplication::activeWindow() == pnr; }, 5000));
    pnr->close();
    EXPECT_TRUE(support::waitUntil([&] { return QApplication::activeWindow() == &main; }, 5000));
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->widget(), form);
    main.close();
}
