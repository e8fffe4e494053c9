// The browser component with the real web engine against the local management site
// (tests/sites/management_site.py), offscreen.
#include "browser/browser_profile.h"
#include "browser/embedded_browser.h"

#include "common/deploy_config.h"
#include "common/fso.h"
#include "support/browser_events.h"
#include "support/gui.h"
#include "support/site_process.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <QAction>
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

namespace {

using support::Completed;
using support::WaitUntil;

browser::DomDocument snapshotOf(browser::EmbeddedBrowser& b) {
    browser::DomDocument out;
    bool done = false;
    b.snapshot([&](const browser::DomDocument& d) {
        out = d;
        done = true;
    });
    WaitUntil([&] { return done; });
    return out;
}

} // namespace

TEST(BrowserEngine, MarkupDialectEventsAndActionsOnFixturePages) {
    support::SiteProcess site{QStringLiteral("management_site.py"),
                              {QStringLiteral("--port"), QStringLiteral("0")}};
    ASSERT_TRUE(site.running());
    browser::BrowserProfile profile;
    browser::EmbeddedBrowser b(profile);
    b.resize(800, 600);
    Completed done(&b);
    QSignalSpy loaded(&b, &browser::EmbeddedBrowser::topLoadFinished);
    b.navigate(site.url() + "/fixtures/frames.html");
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
    ASSERT_TRUE(WaitUntil([&] { return !results.isEmpty(); }));
    EXPECT_EQ(results, (QList<bool>{true, true, false, false, true}));
    const browser::DomDocument after = snapshotOf(b);
    EXPECT_EQ(after.frame("mainFrame")->elementById("code")->value, QStringLiteral("新值 1"));
    EXPECT_FALSE(after.frame("mainFrame")->elementById("keep")->checked);
    EXPECT_EQ(after.frame("mainFrame")->title, "changed");

    // The diagnostic entry point prints the same dialect, frames included. Run as root
    // without the sandbox variable, the program turns the sandbox off itself and says so.
    QProcess print;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
    print.setProcessEnvironment(env);
    print.start(qEnvironmentVariable("WS_BIN_DIR") + "/print",
                {"--markup", site.url() + "/fixtures/frames.html"});
    ASSERT_TRUE(print.waitForFinished(30000));
    const QString out = QString::fromUtf8(print.readAllStandardOutput());
    EXPECT_EQ(print.exitCode(), 0);
    if (::geteuid() == 0) {
        EXPECT_EQ(print.readAllStandardError().count("sandbox is turned off"), 1);
    }
    print.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    EXPECT_TRUE(out.contains("<FRAMESET id=top rows=\"30%,*\">"));
    EXPECT_TRUE(
        out.contains("<!-- frame name=mainFrame url=" + site.url() + "/fixtures/styled.html"));
    EXPECT_TRUE(out.contains("<TD>7812345678901<BR>ZHANG/SAN</TD>"));

    // Page dialogs are answered at once (OK, a prompt's default), headless too.
    print.start(qEnvironmentVariable("WS_BIN_DIR") + "/print",
                {"--markup", "data:text/html,<p id=a></p><script>alert('hi');"
                             "document.getElementById('a').textContent = confirm('go?') + '/' +"
                             " prompt('name', 'ZHANG');</script>"});
    ASSERT_TRUE(print.waitForFinished(30000));
    EXPECT_EQ(print.exitCode(), 0);
    EXPECT_TRUE(print.readAllStandardOutput().contains("<P id=a>true/ZHANG</P>"));
    QSignalSpy dialogs(&b, &browser::EmbeddedBrowser::pageDialog);
    b.execScript("alert('one'); confirm('two')");
    ASSERT_TRUE(WaitUntil([&] { return dialogs.size() == 2; }));
    EXPECT_EQ(dialogs[1][0].toString(), "two");
}

// Headless page options: a busy page is read; what is no page exits 2 with one line.
TEST(BrowserEngine, HeadlessPageOptionsReadBusyPagesAndRefuseWhatIsNoPage) {
    QTemporaryDir dir;
    const auto file = [&](const char* name, const char* text) {
        return common::WriteTextFile(dir.filePath(name), text) ? dir.filePath(name) : QString();
    };
    file("deploy.ini", "[deploy]\nHttpTimeoutMs=3000\n");
    const QString busy =
        file("busy.html", "<p id=a>busy</p><script>function spin(){var t=Date.now();"
                          "while(Date.now()-t<40){}setTimeout(spin,0);}spin();</script>");
    file("secret.txt", "SECRET-TEXT"); // out of a page file's reach
    const QString prying = file("prying.html", "<iframe src=secret.txt></iframe><script>var x=new "
                                               "XMLHttpRequest();x.open('GET','secret.txt',false);"
                                               "x.send();document.title=x.responseText;</script>");
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const struct {
        QStringList args;
        int exitCode;
        const char* out;
    } kRuns[] = {
        {{"--markup", busy}, 0, "<P id=a>busy</P>"},
        {{"--markup", prying}, 0, "<IFRAME src=secret.txt>"},
        {{"--markup", dir.filePath("missing.html")}, 2, "cannot read"},
        {{"--markup", "http://127.0.0.1:9/"}, 2, "did not load"},
        {{"--ticket-page", fifo}, 2, "not a regular file"},
        {{"--order-page", "0", busy, "--pnr", "/dev/zero"}, 2, "not a regular file"},
    };
    for (const auto& r : kRuns) {
        QProcess print;
        print.start(qEnvironmentVariable("WS_BIN_DIR") + "/print",
                    r.args + QStringList{"--data-dir", dir.path()});
        ASSERT_TRUE(print.waitForFinished(30000));
        EXPECT_EQ(print.exitCode(), r.exitCode) << r.args.join(' ').toStdString();
        const QByteArray err = print.readAllStandardError();
        const QByteArray shown = r.exitCode ? err : print.readAllStandardOutput();
        EXPECT_TRUE(shown.contains(r.out))
            << r.args.join(' ').toStdString() << ": " << shown.toStdString();
        EXPECT_FALSE(shown.contains("SECRET-TEXT"));
        if (r.exitCode) {
            EXPECT_EQ(err.count("print: "), 1) << err.toStdString();
        }
    }
}
