// "票号导入" end to end, offscreen, with the real web engine against the local
// verification site (tests/sites/verification_site.py). One engine start for every case.
#include "browser/browser_profile.h"
#include "browser/embedded_browser.h"
#include "import/import_context.h"
#include "import/load_picture.h"
#include "import/ticket/p_xty2.h"
#include "tests/itinerary/form_fixture.h"

#include "common/fso.h"
#include "support/gui.h"
#include "support/site_process.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

using namespace itin;
using ximport::P_XTY2;

namespace {

using support::Child;
using support::WaitUntil;

// The last query the site answered.
QJsonObject lastQuery(const support::SiteProcess& site) {
    const QJsonArray all = QJsonDocument::fromJson(site.get("/__queries")).array();
    return all.isEmpty() ? QJsonObject() : all.last().toObject();
}

class TicketImportEndToEnd : public itin::testing::FormFixture {
protected:
    // A picture fetched after every one under way: the site's code for this visitor.
    QString freshCode(P_XTY2* dlg) {
        int done = -1;
        ximport::LoadPictureFromURL(Child<QLabel>(dlg, "Image1"),
                                    site.url() + "/newsky/servlet/CallYanServlet?fresh", profile,
                                    3000, [&](bool ok) { done = ok; });
        EXPECT_TRUE(WaitUntil([&] { return done >= 0; }));
        EXPECT_EQ(done, 1);
        return QString::fromLatin1(site.get("/__code"));
    }
    // Fills the boxes, then clicks the button or presses Enter in the box named enterIn.
    void query(P_XTY2* dlg, const QString& ticket, const QString& name, const QString& code,
               const char* enterIn = nullptr) {
        type(Child<QLineEdit>(dlg, "Text1"), ticket);
        Child<QLineEdit>(dlg, "Text2")->setText(name); // typed text must be ASCII
        type(Child<QLineEdit>(dlg, "Text3"), code);
        if (enterIn)
            QTest::keyClick(Child<QLineEdit>(dlg, enterIn), Qt::Key_Return);
        else
            QTest::mouseClick(Child<QPushButton>(dlg, "Command1"), Qt::LeftButton);
    }

    // The windows go before the profile their browsers use.
    void TearDown() override { host.reset(); }

    support::SiteProcess site{QStringLiteral("verification_site.py")};
    browser::BrowserProfile profile;
    ximport::ImportContext imports{*host, printForm, printForm, ctx, {}, [this]() -> auto& {return profile;
}
}; // namespace
// "票号导入"'s opener, as the pages module makes it; the dialog goes with the host.
ximport::TicketImport& opener = *new ximport::TicketImport(imports);
}
;

} // namespace

TEST_F(TicketImportEndToEnd, QueriesTheLocalSiteAndFillsThePrintForm) {
    ASSERT_TRUE(site.running());
    deploy.set("VerificationSiteUrl", site.url() + "/");
    opener.setPictureTimeoutMs(1500);
    P_GuoNei* form = open();
    form->record().setField(City3, "KEEP3");
    form->record().setField(Carrier2, "KEEP");

    opener.open();
    auto* dlg = support::Window<P_XTY2>("P_XTY2");
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("票号导入"));
    EXPECT_EQ(dlg->pos(), QGuiApplication::primaryScreen()->geometry().topLeft());
    auto* button = Child<QPushButton>(dlg, "Command1");
    auto* ticketBox = Child<QLineEdit>(dlg, "Text1");
    auto* codeBox = Child<QLineEdit>(dlg, "Text3");
    auto* picture = Child<QLabel>(dlg, "Image1");
    EXPECT_EQ(button->text(), QStringLiteral("正在加载，请稍等……"));
    EXPECT_FALSE(button->isEnabled());
    QTest::keyClick(ticketBox, Qt::Key_Return); // nothing to press yet
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return button->isEnabled(); }));
    EXPECT_EQ(button->text(), QStringLiteral("导    入"));
    // The browser's own status text follows the page.
    EXPECT_TRUE(
        WaitUntil([&] { return Child<QLabel>(dlg, "Label7")->text() == QStringLiteral("完成"); }));
    ASSERT_TRUE(WaitUntil([&] { return !picture->pixmap().isNull(); }));

    // Refused before anything is sent (Enter in a box presses the button); the picture code
    // shows in upper case.
    query(dlg, "781-234567890", "张三", "ab12", "Text1");
    EXPECT_EQ(codeBox->text(), "AB12");
    EXPECT_EQ(codeBox->cursorPosition(), 4);
    query(dlg, "781-2345678901", "张三", "AB1");
    EXPECT_EQ(messages.shown,
              (QList<common::ShownMessage>{{QStringLiteral("票号位数不正确！"), "print"},
                                           {QStringLiteral("验证码不正确"), "print"}}));

    // A wrong picture code: the site answers in the browser, the print form is untouched.
    QSignalSpy applied(dlg, &P_XTY2::resultApplied);
    QSignalSpy loaded(Child<browser::EmbeddedBrowser>(dlg, "WebBs"),
                      &browser::EmbeddedBrowser::topLoadFinished);
    browser::DomDocument page; // the page's own picture code is hidden
    Child<browser::EmbeddedBrowser>(dlg, "WebBs")->snapshot([&](const browser::DomDocument& d) {
        page = d;
    });
    ASSERT_TRUE(WaitUntil([&] { return page.elementById("yan") != nullptr; }));
    EXPECT_EQ(page.elementById("yan")->display, "none");
    const auto queries = [&] {
        return QJsonDocument::fromJson(site.get("/__queries")).array().size();
    };
    const qsizetype before = queries();
    query(dlg, "7812345678901", "张三", "ZZZZ");
    EXPECT_FALSE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_TRUE(loaded.wait(15000));
    QTest::qWait(300);
    EXPECT_EQ(queries() - before, 1);
    EXPECT_EQ(lastQuery(site).value("code").toString(), "ZZZZ");
    EXPECT_EQ(applied.size(), 0);
    EXPECT_EQ(form->record()[PassengerName], "");
    const QString pnc = QDir(dir.path()).filePath("PNC.txt");
    EXPECT_FALSE(common::FileExists(pnc));

    // A ticket typed with a dash and a lower-case code: one segment fills lines 1 and 2.
    const QString code = freshCode(dlg);
    type(ticketBox, "781-2345678901");
    Child<QLineEdit>(dlg, "Text2")->setText(" 张三 ");
    type(codeBox, code.toLower());
    QElapsedTimer clock;
    clock.start();
    QTest::mouseClick(button, Qt::LeftButton);
    const bool filled = applied.wait(15000);
    if (!filled) qDebug() << site.get("/__queries") << code << codeBox->text();
    ASSERT_TRUE(filled);
    std::printf("click on the import button to fields filled: %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(ticketBox->text(), "7812345678901");
    const QJsonObject sent = lastQuery(site);
    EXPECT_EQ(sent.value("ticket").toString(), "7812345678901");
    EXPECT_EQ(sent.value("code").toString(), code);
    const ItineraryRecord& r = form->record();
    EXPECT_EQ(r[PassengerName], QStringLiteral("张三"));
    EXPECT_EQ(r[City1], QStringLiteral("北京首都   T3"));
    EXPECT_EQ(r[City2], QStringLiteral("上海虹桥   T2"));
    EXPECT_EQ(r[Carrier1], QStringLiteral("东航"));
    EXPECT_EQ(r[Flight1], "MU5101");
    EXPECT_EQ(r[Total], "CNY 1290.00");
    EXPECT_EQ(r[TicketNumber], "781-2345678901");
    // The ticket is a booking of its own: nothing of the earlier flights stays under it.
    EXPECT_EQ(r[City3], "");
    EXPECT_EQ(r[Carrier2], "");
    EXPECT_TRUE(common::ReadTextFile(pnc).contains(QStringLiteral("印刷序号")));
    // The next page brought a new picture code.
    EXPECT_TRUE(WaitUntil([&] { return !picture->pixmap().isNull(); }));

    // No print form open: the result creates one.
    host->unload();
    ASSERT_EQ(host->form(), nullptr);
    query(dlg, "7812345678902", "li/si", freshCode(dlg), "Text3");
    ASSERT_TRUE(applied.wait(15000));
    ASSERT_NE(host->form(), nullptr);
    EXPECT_EQ(host->form()->record()[PassengerName], "LI/SI");
    EXPECT_EQ(host->form()->record()[City3], QStringLiteral("北京首都   T3"));
    EXPECT_EQ(host->form()->record()[Flight2], "CA1502");

    // A picture that never answers: the dialog goes on and the picture stays empty.
    freshCode(dlg); // nothing under way
    site.get("/__hang?on=1");
    QTest::mouseClick(Child<QLabel>(dlg, "Label4"), Qt::LeftButton); // "刷新"
    EXPECT_TRUE(picture->pixmap().isNull());
    type(codeBox, "cd");
    EXPECT_EQ(codeBox->text(), "CD");
    QTest::qWait(2000);
    EXPECT_TRUE(picture->pixmap().isNull());
    EXPECT_TRUE(dlg->isVisible());
    site.get("/__hang?on=0");
    EXPECT_EQ(messages.shown.size(), 2);

    // Headless: a four-segment page over a parsed booking; an unreadable page.
    QProcess print;
    print.start(qEnvironmentVariable("WS_BIN_DIR") + "/print",
                {"--pnr", qEnvironmentVariable("WS_SOURCE_DIR") + "/samples/two_passengers.txt",
                 "--ticket-page", site.url() + "/__result?ticket=7812345678904", "--data-dir",
                 dir.path()});
    ASSERT_TRUE(print.waitForFinished(30000));
    EXPECT_EQ(print.exitCode(), 0);
    const QJsonObject fields =
        QJsonDocument::fromJson(print.readAllStandardOutput()).object().value("fields").toObject();
    EXPECT_EQ(fields.value("City5").toString(), QStringLiteral("北京首都   T3"));
    EXPECT_EQ(fields.value("Flight4").toString(), "CA4102");
    EXPECT_EQ(fields.value("PnrQuery").toString(), ""); // the parsed booking's PNR went with it
    print.start(qEnvironmentVariable("WS_BIN_DIR") + "/print",
                {"--ticket-page", dir.filePath("missing.html")});
    ASSERT_TRUE(print.waitForFinished(30000));
    EXPECT_EQ(print.exitCode(), 2);
    EXPECT_EQ(print.readAllStandardError().count("print: "), 1);
}

TEST_F(TicketImportEndToEnd, AnUnreachableSiteIsSaidAndTheButtonStaysOff) {
    deploy.set("VerificationSiteUrl", "http://127.0.0.1:9/");
    opener.setPictureTimeoutMs(500);
    open();
    opener.open();
    auto* dlg = support::Window<P_XTY2>("P_XTY2");
    ASSERT_TRUE(dlg && WaitUntil([&] {
                    return Child<QLabel>(dlg, "Label7")->text() ==
                           QStringLiteral("无法打开验证网站，请检查网络！");
                }));
    EXPECT_FALSE(Child<QPushButton>(dlg, "Command1")->isEnabled());
}
