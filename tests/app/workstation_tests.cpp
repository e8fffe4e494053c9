// The program as the composition root assembles it, driven as an agent would, against the
// local stand-ins of the vendor service and the management site, offscreen.
#include "app/web_pages.h"
#include "app/workstation.h"
#include "support/station.h"

#include "browser/browser_profile.h"
#include "browser/embedded_browser.h"
#include "common/clock.h"
#include "common/desktop.h"
#include "common/fso.h"
#include "common/messages.h"
#include "itinerary/booking_form.h"
#include "itinerary/forms/itinerary_context.h"
#include "itinerary/forms/print_form_host.h"
#include "shell/forms/reg1.h"
#include "shell/forms/sign_in_flow.h"
#include "shell/main_window/a_main.h"
#include "shell/management/b_main.h"
#include "shell/management/web_state.h"
#include "sms/sms_account.h"
#include "support/browser_events.h"
#include "support/gui.h"
#include "support/site_process.h"

#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QTimer>

#include <gtest/gtest.h>

using namespace app;
using namespace shell;
using support::WaitUntil;

namespace {

// A station with the web side linked in and these deployment values.
struct Station : support::Station {
    explicit Station(const QList<QPair<QString, QString>>& values)
        : support::Station(&app::LinkedWebModule()) {
        for (const auto& [key, value] : values)
            deploy.insert(key, value);
    }
};

using support::Completed;

} // namespace

TEST(Workstation, SignInOpensTheMainWindowAndClosingItClosesEveryWindowAndEnds) {
    support::SiteProcess vendor(QStringLiteral("vendor_service.py"), {"--demo"});
    ASSERT_TRUE(vendor.running());
    Station s({{"VendorServiceUrl", vendor.url("/service.asp")},
               {"ManagementSiteUrl", "http://127.0.0.1:1/"},
               {"SmsGatewayHost", "127.0.0.1:1"},
               {"HttpTimeoutMs", "3000"}});
    Workstation& w = s.root();
    QSignalSpy finished(&w, &Workstation::finished);
    ASSERT_TRUE(w.start());
    Reg1* reg1 = w.signIn()->reg1();
    ASSERT_NE(reg1, nullptr);
    support::Child<QLineEdit>(reg1, "txt_Com_Username")->setText("demo01");
    support::Child<QLineEdit>(reg1, "txt_Sta_UserName")->setText("001");
    support::Child<QLineEdit>(reg1, "txt_Sta_Password1")->setText("123456");
    support::Child<QPushButton>(reg1, "Cmd_login")->click();
    support::Settle();
    ASSERT_NE(w.mainWindow(), nullptr) << s.messages.shown.value(0).text.toStdString();
    EXPECT_EQ(w.signIn()->reg1(), nullptr);
    A_Main* main = w.mainWindow();
    EXPECT_TRUE(main->isMaximized());
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(main->mdiArea()->activeSubWindow()->widget(), w.printForms().form());

    // A dialog of the print form belongs to the main window; when it closes, the print form
    // is the active window in front again, even if the browser was activated meanwhile.
    support::Child<QPushButton>(w.printForms().form(), "Command1")->click();
    QWidget* pnr = support::Window("P_Pnr");
    ASSERT_NE(pnr, nullptr);
    EXPECT_EQ(pnr->parentWidget(), main);
    main->mdiArea()->setActiveSubWindow(main->mdiArea()->subWindowList().first());
    pnr->close();
    support::Settle();
    EXPECT_EQ(main->mdiArea()->activeSubWindow()->widget(), w.printForms().form());

    // Every other window belongs to the main window.
    main->menuAction("m_Sm(4)")->trigger();
    QWidget* panel = support::Window("P_Guonei2");
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->parentWidget(), main);
    support::Child<QPushButton>(w.printForms().form(), "Cmdd2")->click();
    auto* sheet = support::Child(main, "P_excel");
    ASSERT_NE(sheet, nullptr);
    EXPECT_TRUE(sheet->isWindow());
    support::Child<QPushButton>(w.printForms().form(), "Cmd_piaohao")->click();
    auto* ticket = support::Child(main, "P_XTY2");
    ASSERT_NE(ticket, nullptr);
    EXPECT_TRUE(ticket->isWindow());
    QPointer<QWidget> panelGone(panel), sheetGone(sheet), ticketGone(ticket);

    main->close();
    support::Settle();
    EXPECT_EQ(finished.size(), 1);
    EXPECT_FALSE(w.formState().printFormOpen);
    EXPECT_TRUE(common::FileExists(s.dir.filePath("info.ini"))) << "the print form saved";
    EXPECT_TRUE(panelGone.isNull() || !panelGone->isVisible());
    EXPECT_TRUE(sheetGone.isNull() || !sheetGone->isVisible());
    EXPECT_TRUE(ticketGone.isNull() || !ticketGone->isVisible());
}

TEST(Workstation, ClosingTheSmsPanelWhileASendWaitsClosesItAfterTheReply) {
    QTcpServer gateway; // accepts and never answers
    ASSERT_TRUE(gateway.listen(QHostAddress::LocalHost, 0));
    Station s({{"ManagementSiteUrl", "http://127.0.0.1:1/"},
               {"SmsGatewayHost", QStringLiteral("127.0.0.1:%1").arg(gateway.serverPort())},
               {"HttpTimeoutMs", "300"}});
    A_Main& main = s.root().openMainWindow();
    main.menuAction("m_Sm(4)")->trigger();
    QPointer<QWidget> panel = support::Window("P_Guonei2");
    ASSERT_NE(panel, nullptr);
    support::Child<QTextEdit>(panel, "Rtb")->setPlainText(QStringLiteral("您的机票已出票【岚舟】"));
    support::Child<QLineEdit>(panel, "Text2")->setText(QStringLiteral("13800000000"));
    s.root().smsAccount().smsUserName = QStringLiteral("demo");
    s.messages.clear();
    bool openDuringWait = false;
    QTimer::singleShot(50, [&] {
        panel->close();
        openDuringWait = panel && panel->isVisible();
    });
    support::Child<QPushButton>(panel, "Command10")->click();
    EXPECT_TRUE(openDuringWait);
    // A gateway that does not answer is named, never an empty box.
    EXPECT_EQ(s.messages.shown.value(0).text, QStringLiteral("连接短信服务器失败，请检查网络！"));
    support::Settle();
    support::Settle();
    EXPECT_TRUE(panel.isNull()) << "closed, and deleted, after the send returned";
}

TEST(Workstation, ClosingTheMainWindowWhileAnSmsRequestWaitsEndsAtOnceWithoutMessages) {
    QTcpServer gateway; // accepts and never answers
    ASSERT_TRUE(gateway.listen(QHostAddress::LocalHost, 0));
    Station s({{"SmsGatewayHost", QStringLiteral("127.0.0.1:%1").arg(gateway.serverPort())},
               {"ManagementSiteUrl", "http://127.0.0.1:1/"},
               {"HttpTimeoutMs", "30000"}});
    QSignalSpy finished(&s.root(), &Workstation::finished);
    A_Main& main = s.root().openMainWindow();
    s.messages.clear();
    QElapsedTimer sinceClose;
    QTimer::singleShot(100, [&] { sinceClose.start(), main.close(); });
    main.menuAction("m_Sm(4)")->trigger(); // the panel signs in to the gateway as it opens
    EXPECT_TRUE(sinceClose.isValid()) << "closed while the request waited";
    ASSERT_TRUE(WaitUntil([&] { return finished.size() == 1; }, 2000));
    EXPECT_LT(sinceClose.elapsed(), 2000);
    EXPECT_EQ(support::ShownTexts(s.messages), QStringList()) << "the close abandoned the sign-in";
}

TEST(Workstation, ClosingTheSignInFormWithoutSuccessEnds) {
    Station s({});
    QSignalSpy finished(&s.root(), &Workstation::finished);
    ASSERT_TRUE(s.root().start());
    s.root().signIn()->reg1()->close();
    ASSERT_TRUE(WaitUntil([&] { return finished.size() == 1; }, 3000));
    EXPECT_EQ(s.root().mainWindow(), nullptr);
}

namespace {

// The program against the local management site, one site for the suite; each case signs
// in afresh (a station's profile keeps its cookies in memory).
class AgainstTheSite : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        site = std::make_unique<support::SiteProcess>(QStringLiteral("management_site.py"),
                                                      QStringList{"--port", "0"});
    }
    static void TearDownTestSuite() { site.reset(); }
    static inline std::unique_ptr<support::SiteProcess> site;

    void SetUp() override {
        ASSERT_TRUE(site->running());
        station.deploy.insert("ManagementSiteUrl", site->url("/"));
        main = &station.root().openMainWindow();
    }
    // The browser window once its sign-in page is in.
    B_Main* browserAtSignIn() {
        B_Main* browser = main->browserWindow();
        EXPECT_NE(browser, nullptr);
        if (browser) EXPECT_TRUE(Completed(browser->WbBs).waitFor("/member/login.asp"));
        return browser;
    }
    // Signs in on the site's own page; the member area answers with capitals in its address.
    B_Main* signedIn() {
        B_Main* browser = browserAtSignIn();
        if (!browser) return nullptr;
        Completed done(browser->WbBs);
        browser->WbBs->run(browser::BrowserActions()
                               .setValue("username", "agent")
                               .setValue("password", "secret")
                               .click("submit"));
        EXPECT_TRUE(done.waitFor("/Member/Index.asp"));
        EXPECT_TRUE(station.root().web().webSignedIn);
        return browser;
    }

    support::Station station{&app::LinkedWebModule()};
    A_Main* main = nullptr;
};

} // namespace

TEST_F(AgainstTheSite, TheMainWindowOpensTheBrowserAndThenThePrintFormInFront) {
    EXPECT_EQ(main->windowTitle(), QStringLiteral("岚舟票务管理系统 V9.0"));
    EXPECT_TRUE(main->isMaximized());
    Workstation& w = station.root();
    ASSERT_NE(w.printForms().form(), nullptr);
    EXPECT_TRUE(w.formState().printFormOpen);
    ASSERT_EQ(main->mdiArea()->subWindowList().size(), 2);
    EXPECT_EQ(main->mdiArea()->subWindowList().last()->widget(), w.printForms().form());
    ASSERT_NE(main->browserWindow(), nullptr);
    EXPECT_TRUE(w.web().browserOpen);
    // The pages fill the browser window, no empty band under them.
    EXPECT_EQ(main->browserWindow()->WbBs->geometry(), main->browserWindow()->rect());
    ASSERT_NE(browserAtSignIn(), nullptr);
    EXPECT_FALSE(w.web().webSignedIn);
}

TEST_F(AgainstTheSite, AWebEntryBeforeSignInAsksForItAndReloadsTheBrowser) {
    ASSERT_NE(browserAtSignIn(), nullptr);
    main->menuAction("m_TSt(0)")->trigger();
    EXPECT_EQ(station.messages.shown,
              (QList<common::ShownMessage>{{QStringLiteral("请登陆系统"), "print"}}));
    EXPECT_TRUE(station.root().web().browserOpen);
    ASSERT_NE(browserAtSignIn(), nullptr);
}

TEST_F(AgainstTheSite, DownloadsBesideThePagesCarryTheirCookies) {
    ASSERT_NE(signedIn(), nullptr);
    // Whether the download succeeded and what the file holds.
    const auto download = [&](browser::BrowserProfile& profile, const QString& name) {
        const QString path = station.dir.filePath(name);
        int ok = -1;
        profile.downloadToFile(QUrl(site->url() + "/member/code.asp"), path, 10000,
                               [&](bool done) { ok = done; });
        EXPECT_TRUE(WaitUntil([&] { return ok >= 0; }));
        QFile file(path);
        return std::pair(ok == 1, file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray());
    };
    EXPECT_EQ(download(station.root().profile(), "tmppp"),
              std::pair(true, QByteArray("PICTURE-CODE")));
    browser::BrowserProfile stranger;
    EXPECT_FALSE(download(stranger, "other").second.contains("PICTURE-CODE"));
}

TEST_F(AgainstTheSite, MenuEntriesClickTheirNavigationElements) {
    B_Main* browser = signedIn();
    ASSERT_NE(browser, nullptr);
    Completed done(browser->WbBs);
    main->menuAction("m_TSt(0)")->trigger();
    ASSERT_TRUE(done.waitFor("nav.asp?id=2_1"));
    main->menuAction("m_Fin(11)")->trigger();
    ASSERT_TRUE(done.waitFor("nav.asp?id=5_12"));
    EXPECT_TRUE(site->get("/__clicks").endsWith("\"2_1\", \"5_12\"]")); // the site's log
    EXPECT_TRUE(station.messages.shown.isEmpty());
    int found = -1;
    browser->clickNavItem("9_9", [&](bool f) { found = f; });
    ASSERT_TRUE(WaitUntil([&] { return found >= 0; }));
    EXPECT_EQ(found, 0);
}

TEST_F(AgainstTheSite, LeavingTheMemberAreaAtTheTopClearsTheSignIn) {
    B_Main* browser = signedIn();
    ASSERT_NE(browser, nullptr);
    Completed done(browser->WbBs);
    browser->WbBs->navigate(site->url() + "/contact.html");
    ASSERT_TRUE(done.waitFor("/contact.html"));
    EXPECT_FALSE(station.root().web().webSignedIn);
}

TEST_F(AgainstTheSite, APrintPageHandsItsBookingToThePrintForm) {
    B_Main* browser = signedIn();
    ASSERT_NE(browser, nullptr);
    Workstation& w = station.root();
    itin::BookingForm& form = w.printForm();
    QSignalSpy handed(browser, &B_Main::printHandedOff);
    browser->clickNavItem("print_2");
    ASSERT_TRUE(handed.wait(15000));
    EXPECT_TRUE(handed.first().first().toBool());
    ASSERT_NE(form.record(), nullptr);
    EXPECT_EQ(form.record()->field(itin::PassengerName), "LI/SI");
    EXPECT_EQ(form.record()->field(itin::PnrQuery), "XYZ789");
    EXPECT_EQ(form.record()->field(itin::Carrier3), "VOID");
    EXPECT_TRUE(support::Child<QPushButton>(w.printForms().form(), "cmdnext")->isEnabled());
    EXPECT_EQ(form.record()->passengers().size(), 3);

    browser->clickNavItem("print_3");
    ASSERT_TRUE(handed.wait(15000));
    EXPECT_EQ(w.formState().printMode, itin::International);
    EXPECT_TRUE(w.printForms().form()->windowTitle().startsWith(QStringLiteral("国际单据打印")));
    EXPECT_EQ(form.record()->field(itin::PassengerName), "CHEN/QI");
    EXPECT_TRUE(w.web().webSignedIn);
}

TEST_F(AgainstTheSite, NativeEntriesWorkWhateverTheBrowserShows) {
    Workstation& w = station.root();
    w.formState().printMode = itin::International;
    main->menuAction("m_Sm(4)")->trigger();
    ASSERT_NE(support::Window("P_Guonei2"), nullptr);
    EXPECT_TRUE(support::Window("P_Guonei2")->isVisible());
    main->menuAction("m_CallHz")->trigger();
    EXPECT_EQ(station.desktop.opened.size(), 1);
    w.printForm().record()->setField(itin::PassengerName, "LI/SI");
    main->menuAction("m_Print(0)")->trigger();
    EXPECT_EQ(w.formState().printMode, itin::Domestic);
    EXPECT_EQ(w.printForm().record()->field(itin::PassengerName), ""); // a fresh record

    main->unloadBrowser();
    EXPECT_FALSE(w.web().browserOpen);
    EXPECT_EQ(main->browserWindow(), nullptr);
}
