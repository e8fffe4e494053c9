// The browser component, B_Main and A_Main with the real web engine against the local
// management site (tests/sites/management_site.py), offscreen.
#include "a_main.h"
#include "b_main.h"
#include "browser_profile.h"
#include "embedded_browser.h"
#include "hosted_print_form.h"
#include "main_windows.h"
#include "print_form_host.h"

#include "deploy_config.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>

using namespace shell;

namespace {

// Processes events until cond holds or ms pass.
bool waitUntil(const std::function<bool()>& cond, int ms = 15000) {
    QDeadlineTimer deadline(ms);
    while (!cond()) {
        if (deadline.hasExpired()) return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents, 50);
    }
    return true;
}

// The local management site, started and stopped by the test.
class Site {
public:
    Site() {
        process_.setProgram(QStringLiteral(WS_PYTHON));
        process_.setArguments({qEnvironmentVariable("WS_SOURCE_DIR") +
                                   QStringLiteral("/tests/sites/management_site.py"),
                               QStringLiteral("--port"), QStringLiteral("0")});
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(5000)) return;
        QByteArray line;
        QDeadlineTimer deadline(10000);
        while (!line.contains('\n') && !deadline.hasExpired() &&
               process_.state() == QProcess::Running) {
            process_.waitForReadyRead(500);
            line += process_.readAllStandardOutput();
        }
        if (line.startsWith("PORT ")) url = "http://127.0.0.1:" + line.mid(5).trimmed();
    }
    ~Site() {
        process_.kill();
        process_.waitForFinished(3000);
    }
    QString url; // empty when the site did not start

    QByteArray get(const QString& path) {
        QNetworkAccessManager nam;
        QNetworkReply* reply = nam.get(QNetworkRequest(QUrl(url + path)));
        waitUntil([&] { return reply->isFinished(); }, 5000);
        const QByteArray body = reply->readAll();
        delete reply;
        return body;
    }

private:
    QProcess process_;
};

// Collects the document-complete addresses of one browser.
struct Completed {
    QStringList urls;
    explicit Completed(browser::EmbeddedBrowser* b) {
        QObject::connect(b, &browser::EmbeddedBrowser::documentComplete, b,
                         [this](const QString& u) { urls << u; });
    }
    bool waitFor(const QString& part) {
        return waitUntil([&] {
            for (const QString& u : urls)
                if (u.contains(part, Qt::CaseInsensitive)) return true;
            return false;
        });
    }
};

browser::DomDocument snapshotOf(browser::EmbeddedBrowser& b) {
    browser::DomDocument out;
    bool done = false;
    b.snapshot([&](const browser::DomDocument& d) {
        out = d;
        done = true;
    });
    waitUntil([&] { return done; });
    return out;
}

} // namespace

TEST(BrowserEngine, MarkupDialectEventsAndActionsOnFixturePages) {
    Site site;
    ASSERT_FALSE(site.url.isEmpty());
    browser::BrowserProfile profile;
    browser::EmbeddedBrowser b(profile);
    b.resize(800, 600);
    Completed done(&b);
    QSignalSpy loaded(&b, &browser::EmbeddedBrowser::topLoadFinished);
    b.navigate(site.url + "/fixtures/frames.html");
    ASSERT_TRUE(loaded.wait(15000));
    ASSERT_TRUE(done.waitFor("frames.html"));
    // Once per frame document and once for the top document, which comes last.
    EXPECT_EQ(done.urls.size(), 3);
    EXPECT_TRUE(done.urls.last().endsWith("/fixtures/frames.html"));
    EXPECT_EQ(b.readyState(), 4);

    const browser::DomDocument top = snapshotOf(b);
    EXPECT_EQ(top.title, QStringLiteral("框架"));
    EXPECT_TRUE(top.root.outerMarkup().contains(
        "<FRAMESET id=top rows=\"30%,*\"><FRAME name=leftFrame src=table.html>"));
    const browser::DomDocument* left = top.frame("leftFrame");
    ASSERT_NE(left, nullptr);
    ASSERT_NE(left->elementById("result"), nullptr);
    EXPECT_EQ(left->elementById("result")->outerMarkup(),
              QStringLiteral("<TABLE id=result border=1 width=\"100%\"><TBODY><TR><TD>票号</TD>"
                             "<TD>7812345678901<BR>ZHANG/SAN</TD></TR></TBODY></TABLE>"));
    const browser::DomDocument* main = top.frame("mainFrame");
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(main->elementById("box")->display, "none");
    EXPECT_TRUE(main->body()->innerMarkup().contains(
        "<TD style=\"width: 40px\" align=center nowrap>A &amp; B</TD>"));
    EXPECT_TRUE(main->elementById("keep")->checked);

    QList<bool> results;
    b.run(browser::BrowserActions()
              .setValue("code", QStringLiteral("新值 1"), {"mainFrame"})
              .setChecked("keep", false, {"mainFrame"})
              .click("nothing", {"mainFrame"})
              .setValue("code", "x", {"noSuchFrame"})
              .runScript("document.title = 'changed'", {"mainFrame"}),
          [&](const QList<bool>& r) { results = r; });
    ASSERT_TRUE(waitUntil([&] { return !results.isEmpty(); }));
    EXPECT_EQ(results, (QList<bool>{true, true, false, false, true}));
    const browser::DomDocument after = snapshotOf(b);
    EXPECT_EQ(after.frame("mainFrame")->elementById("code")->value, QStringLiteral("新值 1"));
    EXPECT_FALSE(after.frame("mainFrame")->elementById("keep")->checked);
    EXPECT_EQ(after.frame("mainFrame")->title, "changed");

    // The diagnostic entry point prints the same dialect, frames included.
    QProcess print;
    print.start(qEnvironmentVariable("WS_BIN_DIR") + "/print",
                {"--markup", site.url + "/fixtures/frames.html"});
    ASSERT_TRUE(print.waitForFinished(30000));
    const QString out = QString::fromUtf8(print.readAllStandardOutput());
    EXPECT_EQ(print.exitCode(), 0);
    EXPECT_TRUE(out.contains("<FRAMESET id=top rows=\"30%,*\">"));
    EXPECT_TRUE(
        out.contains("<!-- frame name=mainFrame url=" + site.url + "/fixtures/styled.html"));
    EXPECT_TRUE(out.contains("<TD>7812345678901<BR>ZHANG/SAN</TD>"));
}

TEST(Workstation, SignInMenusAndPrintHandOffAgainstTheLocalSite) {
    Site site;
    ASSERT_FALSE(site.url.isEmpty());
    DeployConfig config;
    config.set("ManagementSiteUrl", site.url + "/");
    WebState web;
    itin::PCommon common;
    RecordingMessages messages;
    RecordingDesktopBrowser desktop;
    browser::BrowserProfile profile;
    QTemporaryDir folder;
    itin::PrintSettings settings;
    FixedClock clock{QDateTime(QDate(2026, 3, 1), QTime(9, 0))};
    PresetFileDialogs fileDialogs;
    itin::ItineraryContext itinerary{common,  settings,    messages,      clock, config,
                                     desktop, fileDialogs, folder.path(), {}};
    itin::PrintFormHost host(itinerary);
    HostedPrintForm form(host);
    int smsOpened = 0;
    ShellServices services{config,  web,     common, messages,
                           desktop, profile, form,   [&] { ++smsOpened; }};
    A_Main main(services);
    host.setMdiArea(main.mdiArea());
    main.load();
    EXPECT_EQ(main.windowTitle(), QStringLiteral("岚舟票务管理系统 V9.0"));
    EXPECT_TRUE(main.isMaximized());
    // The print form opens after the browser, in domestic mode, in front.
    ASSERT_NE(host.form(), nullptr);
    EXPECT_TRUE(common.PrintFormOpen);
    ASSERT_EQ(main.mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(main.mdiArea()->subWindowList().last()->widget(), host.form());
    ASSERT_NE(main.browserWindow(), nullptr);
    EXPECT_TRUE(web.BrowserOpen);
    // The browser follows its window: 100 twips narrower, 500 twips lower.
    const QSize formSize = main.browserWindow()->size();
    const QRect wb = main.browserWindow()->WbBs->geometry();
    EXPECT_EQ(wb.topLeft(), QPoint(0, 0));
    EXPECT_EQ(wb.width(), (formSize.width() * 15 - 100) / 15);
    EXPECT_EQ(wb.height(), (formSize.height() * 15 - 500) / 15);

    auto* first = main.browserWindow();
    {
        Completed login(first->WbBs);
        ASSERT_TRUE(login.waitFor("/member/login.asp"));
    }
    EXPECT_FALSE(web.WebSignedIn);

    // Before signing in: told, and the browser comes back afresh at the sign-in page.
    main.menuAction("m_TSt(0)")->trigger();
    EXPECT_EQ(messages.shown, (QList<ShownMessage>{{QStringLiteral("请登陆系统"), "print"}}));
    B_Main* browser = main.browserWindow();
    ASSERT_NE(browser, nullptr);
    EXPECT_TRUE(web.BrowserOpen);
    Completed done(browser->WbBs);
    ASSERT_TRUE(done.waitFor("/member/login.asp"));

    // Sign in on the site's own page; the member area answers with capitals in its address.
    bool submitted = false;
    browser->WbBs->run(browser::BrowserActions()
                           .setValue("username", "agent")
                           .setValue("password", "secret")
                           .click("submit"),
                       [&](const QList<bool>&) { submitted = true; });
    ASSERT_TRUE(done.waitFor("/Member/Index.asp"));
    EXPECT_TRUE(submitted);
    EXPECT_TRUE(web.WebSignedIn);

    // Downloads beside the pages carry the same cookies; another profile's do not.
    const QString picture = folder.filePath("tmppp");
    int downloaded = -1;
    profile.downloadToFile(QUrl(site.url + "/member/code.asp"), picture, 10000,
                           [&](bool ok) { downloaded = ok; });
    ASSERT_TRUE(waitUntil([&] { return downloaded >= 0; }));
    EXPECT_EQ(downloaded, 1);
    QFile code(picture);
    ASSERT_TRUE(code.open(QIODevice::ReadOnly));
    EXPECT_EQ(code.readAll(), "PICTURE-CODE");
    {
        browser::BrowserProfile stranger;
        const QString other = folder.filePath("other");
        downloaded = -1;
        stranger.downloadToFile(QUrl(site.url + "/member/code.asp"), other, 10000,
                                [&](bool ok) { downloaded = ok; });
        ASSERT_TRUE(waitUntil([&] { return downloaded >= 0; }));
        QFile page(other);
        if (page.open(QIODevice::ReadOnly)) {
            EXPECT_FALSE(page.readAll().contains("PICTURE-CODE"));
        }
    }

    // A menu entry clicks its navigation element in leftFrame.
    main.menuAction("m_TSt(0)")->trigger();
    ASSERT_TRUE(done.waitFor("nav.asp?id=2_1"));
    main.menuAction("m_Fin(11)")->trigger();
    ASSERT_TRUE(done.waitFor("nav.asp?id=5_12"));
    EXPECT_EQ(site.get("/__clicks"), "[\"2_1\", \"5_12\"]");
    EXPECT_EQ(messages.shown.size(), 1);

    bool answered = false, found = true;
    browser->ClickNavItem("9_9", [&](bool f) {
        answered = true;
        found = f;
    });
    ASSERT_TRUE(waitUntil([&] { return answered; }));
    EXPECT_FALSE(found);

    // A print page hands its booking to the print form.
    QSignalSpy handed(browser, &B_Main::printHandedOff);
    browser->ClickNavItem("print_2");
    ASSERT_TRUE(handed.wait(15000));
    EXPECT_TRUE(handed.first().first().toBool());
    ASSERT_NE(form.record(), nullptr);
    EXPECT_EQ(form.record()->field(itin::PassengerName), "LI/SI");
    EXPECT_EQ(form.record()->field(itin::PnrQuery), "XYZ789");
    EXPECT_EQ(form.record()->field(itin::Carrier3), "VOID");
    EXPECT_TRUE(host.form()->cmdnext()->isEnabled());
    EXPECT_EQ(common.PassengerList.size(), 3);

    browser->ClickNavItem("print_3");
    ASSERT_TRUE(handed.wait(15000));
    EXPECT_EQ(common.PrintMode, itin::International);
    EXPECT_TRUE(host.form()->windowTitle().startsWith(QStringLiteral("国际单据打印")));
    EXPECT_EQ(form.record()->field(itin::PassengerName), "CHEN/QI");
    EXPECT_TRUE(web.WebSignedIn);

    // Leaving the member area at the top clears the flag.
    browser->WbBs->navigate(site.url + "/contact.html");
    ASSERT_TRUE(done.waitFor("/contact.html"));
    EXPECT_FALSE(web.WebSignedIn);

    // The native entries work whatever the browser shows.
    main.menuAction("m_Sm(4)")->trigger();
    EXPECT_EQ(smsOpened, 1);
    main.menuAction("m_CallHz")->trigger();
    EXPECT_EQ(desktop.opened.size(), 1);
    main.menuAction("m_Print(0)")->trigger();
    EXPECT_EQ(common.PrintMode, itin::Domestic);
    EXPECT_EQ(form.record()->field(itin::PassengerName), ""); // a fresh record

    main.unloadBrowser();
    EXPECT_FALSE(web.BrowserOpen);
    EXPECT_EQ(main.browserWindow(), nullptr);
}

TEST(MainWindowsTest, ShowsBothChildrenAndTearsDownInOrder) {
    QTemporaryDir folder;
    DeployConfig config;
    config.set("ManagementSiteUrl", "http://127.0.0.1:1"); // nothing listens: an error page
    RecordingMessages messages;
    int sms = 0;
    {
        MainWindows windows(config, messages, folder.path());
        windows.setOpenSmsPanel([&] { ++sms; });
        windows.show();
        A_Main& main = windows.mainWindow();
        ASSERT_EQ(main.mdiArea()->subWindowList().size(), 2);
        EXPECT_NE(main.browserWindow(), nullptr);
        EXPECT_NE(windows.printFormHost().form(), nullptr);
        main.menuAction("m_Sm(4)")->trigger();
        main.menuAction("m_Print(1)")->trigger();
        EXPECT_TRUE(windows.printFormHost().form()->windowTitle().startsWith(
            QStringLiteral("国际单据打印")));
    }
    EXPECT_EQ(sms, 1);
    EXPECT_TRUE(messages.shown.isEmpty());
}

int main(int argc, char** argv) {
    browser::PrepareEngine();
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
