// The main window on a real X display under a desktop window manager (started by
// under_window_manager.sh): it opens maximised, and the print form is in front again after
// its dialog closes; its owned windows and message boxes stay on it, inside the screen.
#include "app/web_pages.h"
#include "app/workstation.h"

#include "browser/browser_profile.h"
#include "common/forms/box_messages.h"
#include "common/forms/translations.h"
#include "common/fso.h"
#include "common/messages.h"
#include "itinerary/forms/print_form_host.h"
#include "shell/main_window/a_main.h"
#include "support/gui.h"
#include "support/station.h"

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

// The X windows xprop lists: a window's WM_TRANSIENT_FOR, or the stacking order, bottom first.
static QList<WId> xWindows(const QStringList& args) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), args);
    xprop.waitForFinished(5000);
    QList<WId> ids;
    for (const QString& id : QString::fromLatin1(xprop.readAllStandardOutput())
                                 .section(QLatin1String("# "), 1)
                                 .split(u',', Qt::SkipEmptyParts))
        ids << id.trimmed().toULongLong(nullptr, 16);
    return ids;
}

TEST(UnderWindowManager, MainWindowOpensMaximisedAndTheFormComesBackInFront) {
    support::Station station(&app::LinkedWebModule());
    station.deploy.insert("SmsGatewayHost", "127.0.0.1:1");
    app::Workstation& w = station.root();
    shell::A_Main& main = w.openMainWindow();
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    // The window manager maximises asynchronously.
    EXPECT_TRUE(support::WaitUntil(
        [&] { return main.frameGeometry().width() >= screen.width() - 4; }, 5000))
        << main.frameGeometry().width() << " of " << screen.width();
    EXPECT_TRUE(main.isMaximized());
    EXPECT_GE(main.frameGeometry().height(), screen.height() - 4);

    itin::P_GuoNei* form = w.printForms().form();
    ASSERT_NE(form, nullptr);
    support::Child<QPushButton>(form, "Command1")->click();
    QWidget* pnr = support::Window("P_Pnr");
    ASSERT_NE(pnr, nullptr);
    EXPECT_TRUE(support::WaitUntil([&] { return QApplication::activeWindow() == pnr; }, 5000));
    pnr->close();
    EXPECT_TRUE(support::WaitUntil([&] { return QApplication::activeWindow() == &main; }, 5000));
    EXPECT_EQ(main.mdiArea()->activeSubWindow()->widget(), form);

    // The preview, "打印记录" and the SMS panel are transient for the main window, inside the
    // screen, and stay in front when the agent clicks the print form.
    support::Child<QPushButton>(form, "cmdpreview")->click();
    support::Child<QPushButton>(form, "cmdreceipts")->click();
    main.menuAction("m_Sm(4)")->trigger();
    main.activateWindow();
    const auto stacked = [](QWidget* w) {
        return xWindows({"-root", "_NET_CLIENT_LIST_STACKING"}).indexOf(w->winId());
    };
    for (const char* name : {"P_Preview", "P_Receipts", "P_Guonei2"}) {
        QWidget* owned = support::Window(name);
        ASSERT_NE(owned, nullptr) << name;
        const QStringList hint = {"-id", QString::number(owned->winId()), "WM_TRANSIENT_FOR"};
        EXPECT_EQ(xWindows(hint), QList<WId>{main.winId()}) << name;
        EXPECT_TRUE(support::WaitUntil([&] { return screen.contains(owned->frameGeometry()); }));
        EXPECT_TRUE(support::WaitUntil([&] { return stacked(owned) > stacked(&main); })) << name;
    }

    // A question: on the main window, its title whole, Qt's buttons in Chinese.
    ASSERT_TRUE(forms::InstallChineseTranslations());
    forms::BoxMessages box(QStringLiteral("岚舟票务管理系统"));
    box.setMainWindow(&main);
    QRect boxFrame;
    int titleRoom = 0; // beside the title, for the window manager's buttons
    QString buttons;
    QTimer::singleShot(500, [&] {
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        boxFrame = shown->frameGeometry();
        titleRoom = shown->width() - shown->fontMetrics().horizontalAdvance(shown->windowTitle());
        for (QAbstractButton* b : shown->buttons())
            buttons += b->text();
        shown->reject();
    });
    box.ask(QStringLiteral("请登陆系统"));
    EXPECT_TRUE(screen.contains(boxFrame));
    EXPECT_LE((boxFrame.center() - main.frameGeometry().center()).manhattanLength(), 40);
    EXPECT_GE(titleRoom, 100);
    EXPECT_TRUE(buttons.contains(u'是') && buttons.contains(u'否')) << buttons.toStdString();
    main.close();
}
