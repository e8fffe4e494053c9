// The browser component against pages that try to break it, with the real web engine,
// offscreen. Built twice: as part of the browser tests and under AddressSanitizer.
#include "shell/browser/browser_profile.h"
#include "shell/browser/embedded_browser.h"

#include "support/gui.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <memory>

namespace {

using support::waitUntil;

// The sanitizer build goes round the busy page twenty times; the plain build twice.
#ifdef WS_ASAN_ROUNDS
constexpr int kBusyRounds = WS_ASAN_ROUNDS;
#else
constexpr int kBusyRounds = 2;
#endif

struct HostilePage {
    const char* name;
    int rounds;
    const char* html; // each page holds <p id=a>NAME</p>
};

// A script that stays busy after loading, one that opens many windows, and one that
// redefines what a reader in the page's own world would use.
const HostilePage kPages[] = {
    {"busy", kBusyRounds,
     "<p id=a>busy</p><script>function spin(){var t=Date.now();while(Date.now()-t<40){}"
     "setTimeout(spin,0);}onload=function(){spin();};</script>"},
    {"windows", 1,
     "<p id=a>windows</p><script>for(var i=0;i<60;i++)window.open('about:blank','w'+i);"
     "</script>"},
    {"builtins", 1,
     "<p id=a>builtins</p><script>Array.prototype.toJSON=function(){return 'x';};"
     "JSON.stringify=function(){return '{}';};document.getElementById=function(){return null;};"
     "Element.prototype.click=function(){throw 1;};</script>"},
};

QUrl dataPage(const char* html) {
    return QUrl(QStringLiteral("data:text/html;charset=utf-8,") +
                QString::fromUtf8(QUrl::toPercentEncoding(QString::fromUtf8(html))));
}

} // namespace

TEST(HostilePages, AreReadAndTheirCallsDieWithTheBrowser) {
    browser::BrowserProfile profile;
    for (const HostilePage& p : kPages) {
        for (int round = 0; round < p.rounds; ++round) {
            SCOPED_TRACE(std::string(p.name) + " round " + std::to_string(round));
            auto b = std::make_unique<browser::EmbeddedBrowser>(profile);
            QSignalSpy loaded(b.get(), &browser::EmbeddedBrowser::topLoadFinished);
            b->navigate(dataPage(p.html).toString(QUrl::FullyEncoded));
            ASSERT_TRUE(loaded.wait(15000));
            auto read = std::make_shared<browser::DomDocument>();
            auto found = std::make_shared<QList<bool>>();
            b->snapshot([read](const browser::DomDocument& d) { *read = d; });
            b->run(browser::BrowserActions().click("a").setValue("a", "v"),
                   [found](const QList<bool>& r) { *found = r; });
            ASSERT_TRUE(waitUntil([&] { return !found->isEmpty() && !read->root.tag.isEmpty(); }));
            const browser::DomNode* a = read->elementById("a");
            ASSERT_NE(a, nullptr);
            EXPECT_EQ(a->textContent(), QString::fromUtf8(p.name));
            EXPECT_EQ(*found, (QList<bool>{true, true}));
            // Calls still waiting when the browser goes are dropped: a call whose callback
            // would touch a finished caller's locals never runs. A long script is mid-way.
            auto late = std::make_shared<int>(0);
            b->run(browser::BrowserActions().runScript(
                       "var t=Date.now();while(Date.now()-t<150){}"),
                   [late](const QList<bool>&) { ++*late; });
            b->snapshot([late](const browser::DomDocument&) { ++*late; });
            EXPECT_EQ(b->pendingCalls(), 2);
            if (round % 2) QTest::qWait(20); // sometimes mid-script, sometimes before it
            b.reset();
            QTest::qWait(100);
            support::settle();
            EXPECT_EQ(*late, 0);
        }
    }
}

TEST(HostilePages, LocalFilesReachNeitherOtherFilesNorEscapedAddressesTwoForms) {
    QTemporaryDir dir;
    QFile secret(dir.filePath("secret.txt"));
    ASSERT_TRUE(secret.open(QIODevice::WriteOnly));
    secret.write("SECRET-TEXT");
    secret.close();
    QFile page(dir.filePath("page.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<p id=out>none</p><iframe name=f src=\"secret.txt\"></iframe><script>"
               "try{var x=new XMLHttpRequest();x.open('GET','secret.txt',false);x.send();"
               "document.getElementById('out').textContent=x.responseText;}"
               "catch(e){document.getElementById('out').textContent='blocked';}</script>");
    page.close();
    browser::BrowserProfile profile;
    browser::EmbeddedBrowser b(profile);
    QStringList completed;
    QObject::connect(&b, &browser::EmbeddedBrowser::documentComplete,
                     [&](const QString& url) { completed << url; });
    QSignalSpy loaded(&b, &browser::EmbeddedBrowser::topLoadFinished);
    // An address with escapes, as a platform's refusal carries the account.
    QUrl url = QUrl::fromLocalFile(page.fileName());
    url.setQuery(QStringLiteral("Uname=%E4%BB%A3%E7%90%8601"));
    b.navigate(url.toString(QUrl::FullyEncoded));
    ASSERT_TRUE(loaded.wait(15000));
    ASSERT_TRUE(waitUntil([&] { return completed.contains(b.locationUrl()); }));
    EXPECT_TRUE(b.locationUrl().endsWith(QStringLiteral("?Uname=代理01")));
    browser::DomDocument read;
    b.snapshot([&](const browser::DomDocument& d) { read = d; });
    ASSERT_TRUE(waitUntil([&] { return !read.root.tag.isEmpty(); }));
    EXPECT_FALSE(read.root.outerMarkup().contains("SECRET-TEXT"));
    for (const browser::DomDocument* f : read.frames())
        EXPECT_FALSE(f->root.outerMarkup().contains("SECRET-TEXT"));
}
