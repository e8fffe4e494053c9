// The main window on a real X display under a desktop window manager (started by
// under_window_manager.sh): it opens maximised, the print form is in front again after its
// dialog closes, owned windows stay in front of the main window and inside the screen, and
// message boxes sit on their window in Chinese.
#include "app/workstation.h"

#include "common/forms/box_messages.h"
#include "common/forms/translations.h"
#include "common/forms/window_owners.h"
#include "common/fso.h"
#include "common/messages.h"
#include "itinerary/forms/print_form_host.h"
#include "shell/browser/browser_profile.h"
#include "shell/main_window/a_main.h"
#include "support/gui.h"

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

namespace {

// The X windows an xprop property lists ("...: window id # 0x1a00007, 0x1c00003").
QList<WId> xWindows(const QStringList& xpropArgs) {
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), xpropArgs);
    if (!xprop.waitForFinished(5000)) return {};
    const QString out = QString::fromLatin1(xprop.readAllStandardOutput());
    const qsizetype hash = out.indexOf(QLatin1String("# "));
    QList<WId> ids;
    if (hash >= 0)
        for (const QString& id : out.mid(hash + 2).split(u','))
            ids << id.trimmed().toULongLong(nullptr, 16);
    return ids;
}

// The window w is transient for (WM_TRANSIENT_FOR), 0 when none.
WId transientFor(QWidget* w) {
    return xWindows({"-id", QString::number(w->winId()), "WM_TRANSIENT_FOR"}).value(0);
}

// How high the window manager stacks w among the program's windows (higher is in front).
qsizetype stackedAt(QWidget* w) {
    return xWindows({"-root", "_NET_CLIENT_LIST_STACKING"}).indexOf(w->winId());
}

QRect screenArea() {
    return QGuiApplication::primaryScreen()->availableGeometry();
}

} // namespace

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

TEST(UnderWindowManager, OwnedWindowsStayInFrontOfTheMainWindowAndInsideTheScreen) {
    QTemporaryDir folder;
    ASSERT_TRUE(common::WriteTextFile(
        folder.filePath(QStringLiteral("deploy.ini")),
        QStringLiteral(
            "[deploy]\nManagementSiteUrl=http://127.0.0.1:1/\nSmsGatewayHost=127.0.0.1:1\n")));
    common::RecordingMessages messages;
    app::Workstation w(folder.path(), app::Seams{&messages, nullptr, nullptr, nullptr, {}});
    shell::A_Main& main = w.openMainWindow();
    itin::P_GuoNei* form = w.printForms().form();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(support::waitUntil([&] { return main.isActiveWindow(); }, 5000));
    support::child<QPushButton>(form, "cmdpreview")->click();
    support::child<QPushButton>(form, "cmdreceipts")->click();
    main.menuAction("m_Sm(4)")->trigger();
    const char* owned[] = {"P_Preview", "P_Receipts", "P_Guonei2"};
    for (const char* name : owned) {
        QWidget* shown = support::window(name);
        ASSERT_NE(shown, nullptr) << name;
        EXPECT_TRUE(support::waitUntil([&] { return transientFor(shown) == main.winId(); }, 5000))
            << name << " is transient for " << transientFor(shown);
        EXPECT_TRUE(support::waitUntil(
            [&] { return screenArea().contains(shown->frameGeometry()); }, 5000))
            << name;
    }
    // The agent clicks the print form: the main window comes forward, its windows stay on it.
    main.raise();
    main.activateWindow();
    for (const char* name : owned)
        EXPECT_TRUE(support::waitUntil(
            [&] { return stackedAt(support::window(name)) > stackedAt(&main); }, 5000))
            << name << " fell behind the main window";

    // A question about the main window: centred on it, inside the screen, title whole,
    // Qt's buttons in Chinese.
    ASSERT_TRUE(forms::InstallChineseTranslations());
    forms::BoxMessages box(QStringLiteral("岚舟票务管理系统"));
    box.setMainWindow(&main);
    QRect boxFrame;
    QStringList buttons;
    int titleRoom = 0;
    QTimer::singleShot(0, [&] {
        ASSERT_TRUE(support::waitUntil([] { return QApplication::activeModalWidget(); }, 5000));
        auto* shown = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        support::waitUntil([&] { return shown->frameGeometry() != shown->geometry(); }, 2000);
        boxFrame = shown->frameGeometry();
        titleRoom = shown->width() - shown->fontMetrics().horizontalAdvance(shown->windowTitle());
        for (QAbstractButton* b : shown->buttons())
            buttons << b->text();
        shown->reject();
    });
    box.ask(QStringLiteral("请登陆系统"));
    EXPECT_TRUE(screenArea().contains(boxFrame)) << boxFrame.x() << "," << boxFrame.y();
    EXPECT_LE((boxFrame.center() - main.frameGeometry().center()).manhattanLength(), 40);
    EXPECT_GE(titleRoom, 100) << "room beside the title for the window manager's buttons";
    EXPECT_TRUE(buttons.join(u' ').contains(QStringLiteral("是")) &&
                buttons.join(u' ').contains(QStringLiteral("否")))
        << buttons.join(u' ').toStdString();
    main.close();
}

TEST(UnderWindowManager, FitInsideMovesAndShrinksIntoTheArea) {
    const QRect area(0, 0, 1366, 738);
    const struct {
        QRect frame, fitted;
    } cases[] = {
        {{100, 100, 400, 300}, {100, 100, 400, 300}},  // inside: unchanged
        {{1200, 600, 400, 300}, {966, 438, 400, 300}}, // past the right and the bottom
        {{-50, -20, 400, 300}, {0, 0, 400, 300}},      // above and left of it
        {{10, 40, 900, 783}, {10, 0, 900, 738}},       // taller than the area: 15 px below
    };
    for (const auto& c : cases)
        EXPECT_EQ(forms::FitInside(c.frame, area), c.fitted) << c.frame.x() << "," << c.frame.y();
}
