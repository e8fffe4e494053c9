// Hostile pages against the real engine, offscreen; also built under AddressSanitizer.
#include "browser/browser_profile.h"
#include "browser/embedded_browser.h"
#include "support/gui.h"

#include <QSignalSpy>
#include <QTest>
#include <QUrl>

#ifndef WS_ASAN_ROUNDS
#define WS_ASAN_ROUNDS 2 // the sanitizer build goes round the busy page twenty times
#endif

// A script busy after loading, one opening many windows, one redefining built-ins.
TEST(HostilePages, AreReadAndTheirCallsDieWithTheBrowser) {
    const struct {
        const char* name;
        int rounds;
        const char* script;
    } kPages[] = {
        {"busy", WS_ASAN_ROUNDS,
         "function spin(){var t=Date.now();while(Date.now()-t<40){}setTimeout(spin,0);}"
         "onload=function(){spin();};"},
        {"windows", 1, "for(var i=0;i<60;i++)window.open('about:blank','w'+i);"},
        {"builtins", 1,
         "Array.prototype.toJSON=function(){return 'x';};JSON.stringify=function(){return '{}';};"
         "document.getElementById=function(){return null;};Element.prototype.click=null;"},
    };
    browser::BrowserProfile profile;
    for (const auto& p : kPages) {
        for (int round = 0; round < p.rounds; ++round) {
            SCOPED_TRACE(std::string(p.name) + " round " + std::to_string(round));
            auto b = std::make_unique<browser::EmbeddedBrowser>(profile);
            QSignalSpy loaded(b.get(), &browser::EmbeddedBrowser::topLoadFinished);
            b->navigate(
                "data:text/html;charset=utf-8," +
                QUrl::toPercentEncoding(
                    QStringLiteral("<p id=a>%1</p><script>%2</script>").arg(p.name, p.script)));
            ASSERT_TRUE(loaded.wait(15000));
            auto read = std::make_shared<browser::DomDocument>();
            auto found = std::make_shared<QList<bool>>();
            b->snapshot([read](const browser::DomDocument& d) { *read = d; });
            b->run(browser::BrowserActions().click("a").setValue("a", "v"),
                   [found](const QList<bool>& r) { *found = r; });
            ASSERT_TRUE(
                support::WaitUntil([&] { return !found->isEmpty() && !read->root.tag.isEmpty(); }));
            ASSERT_NE(read->elementById("a"), nullptr);
            EXPECT_EQ(read->elementById("a")->textContent(), p.name);
            EXPECT_EQ(*found, (QList<bool>{true, true}));
            // Calls waiting when the browser goes never run, mid-script or before it.
            auto late = std::make_shared<int>(0);
            b->run(
                browser::BrowserActions().runScript("var t=Date.now();while(Date.now()-t<150){}"),
                [late](const QList<bool>&) { ++*late; });
            b->snapshot([late](const browser::DomDocument&) { ++*late; });
            EXPECT_EQ(b->pendingCalls(), 2);
            if (round % 2) QTest::qWait(20);
            b.reset();
            QTest::qWait(100);
            EXPECT_EQ(*late, 0);
        }
    }
}
