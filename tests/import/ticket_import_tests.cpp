// "票号导入" end to end, offscreen, with the real web engine against the local
// verification site (tests/sites/verification_site.py), one behaviour a case.
#include "app/web_pages.h"
#include "browser/embedded_browser.h"
#include "import/import_context.h"
#include "import/load_picture.h"
#include "import/ticket/p_xty2.h"
#include "itinerary/forms/print_form_host.h"
#include "support/station.h"

#include "common/fso.h"
#include "support/gui.h"
#include "support/site_process.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace itin;
using ximport::P_XTY2;

namespace {

using support::Child;
using support::WaitUntil;

class TicketImport : public support::StationTest {
protected:
    static void SetUpTestSuite() {
        site = std::make_unique<support::SiteProcess>(QStringLiteral("verification_site.py"));
    }
    static void TearDownTestSuite() { site.reset(); }
    static inline std::unique_ptr<support::SiteProcess> site;

    TicketImport() : StationTest(&app::LinkedWebModule()) {
        deploy.insert("VerificationSiteUrl", site->url() + "/");
    }
    void SetUp() override { ASSERT_TRUE(site->running()); }

    // The print form, and the ticket dialog from "票号导入"'s opener as the pages module makes
    // it (the opener goes with the print form host).
    P_XTY2* start(int pictureTimeoutMs = 1500) {
        auto* opener = new ximport::TicketImport(root().imports());
        opener->setPictureTimeoutMs(pictureTimeoutMs);
        form = open();
        return opener->open();
    }
    // The dialog once it takes a query: the page in, a picture code shown.
    P_XTY2* ready() {
        P_XTY2* dlg = start();
        EXPECT_TRUE(dlg && WaitUntil([&] {
                        return Child<QPushButton>(dlg, "Command1")->isEnabled() &&
                               !Child<QLabel>(dlg, "Image1")->pixmap().isNull();
                    }));
        return dlg;
    }
    // A picture fetched after every one under way: the site's code for this visitor.
    QString freshCode(P_XTY2* dlg) {
        int done = -1;
        ximport::LoadPictureFromURL(Child<QLabel>(dlg, "Image1"),
                                    site->url() + "/newsky/servlet/CallYanServlet?fresh",
                                    root().profile(), 3000, [&](bool ok) { done = ok; });
        EXPECT_TRUE(WaitUntil([&] { return done >= 0; }));
        EXPECT_EQ(done, 1);
        return QString::fromLatin1(site->get("/__code"));
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
    static qsizetype queries() {
        return QJsonDocument::fromJson(site->get("/__queries")).array().size();
    }
    // The last query the site answered.
    static QJsonObject lastQuery() {
        const QJsonArray all = QJsonDocument::fromJson(site->get("/__queries")).array();
        return all.isEmpty() ? QJsonObject() : all.last().toObject();
    }

    P_GuoNei* form = nullptr;
};

} // namespace

TEST_F(TicketImport, TheDialogWaitsForTheSiteBeforeItTakesAQuery) {
    P_XTY2* dlg = start();
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(dlg->windowTitle(), QStringLiteral("票号导入"));
    EXPECT_EQ(dlg->pos(), QGuiApplication::primaryScreen()->geometry().topLeft());
    auto* button = Child<QPushButton>(dlg, "Command1");
    EXPECT_EQ(button->text(), QStringLiteral("正在加载，请稍等……"));
    EXPECT_FALSE(button->isEnabled());
    QTest::keyClick(Child<QLineEdit>(dlg, "Text1"), Qt::Key_Return); // nothing to press yet
    EXPECT_TRUE(messages.shown.isEmpty());
    ASSERT_TRUE(WaitUntil([&] { return button->isEnabled(); }));
    EXPECT_EQ(button->text(), QStringLiteral("导    入"));
    // The browser's own status text follows the page.
    EXPECT_TRUE(
        WaitUntil([&] { return Child<QLabel>(dlg, "Label7")->text() == QStringLiteral("完成"); }));
    EXPECT_TRUE(WaitUntil([&] { return !Child<QLabel>(dlg, "Image1")->pixmap().isNull(); }));
}

TEST_F(TicketImport, ABadTicketNumberOrPictureCodeIsRefusedBeforeAnythingIsSent) {
    P_XTY2* dlg = ready();
    ASSERT_NE(dlg, nullptr);
    const qsizetype before = queries();
    // Enter in a box presses the button; the picture code shows in upper case.
    query(dlg, "781-234567890", "张三", "ab12", "Text1");
    auto* codeBox = Child<QLineEdit>(dlg, "Text3");
    EXPECT_EQ(codeBox->text(), "AB12");
    EXPECT_EQ(codeBox->cursorPosition(), 4);
    query(dlg, "781-2345678901", "张三", "AB1");
    EXPECT_EQ(messages.shown,
              (QList<common::ShownMessage>{{QStringLiteral("票号位数不正确！"), "print"},
                                           {QStringLiteral("验证码不正确"), "print"}}));
    EXPECT_EQ(queries(), before);
}

TEST_F(TicketImport, AWrongPictureCodeIsAnsweredInTheBrowserAndLeavesTheFormAlone) {
    P_XTY2* dlg = ready();
    ASSERT_NE(dlg, nullptr);
    auto* page = Child<browser::EmbeddedBrowser>(dlg, "WebBs");
    browser::DomDocument shown; // the page's own picture code is hidden
    page->snapshot([&](const browser::DomDocument& d) { shown = d; });
    ASSERT_TRUE(WaitUntil([&] { return shown.elementById("yan") != nullptr; }));
    EXPECT_EQ(shown.elementById("yan")->display, "none");

    QSignalSpy applied(dlg, &P_XTY2::resultApplied);
    QSignalSpy loaded(page, &browser::EmbeddedBrowser::topLoadFinished);
    auto* button = Child<QPushButton>(dlg, "Command1");
    const qsizetype before = queries();
    query(dlg, "7812345678901", "张三", "ZZZZ");
    EXPECT_FALSE(button->isEnabled());
    QTest::mouseClick(button, Qt::LeftButton); // a second click while the query runs
    ASSERT_TRUE(loaded.wait(15000));
    // The answer page is in and the dialog takes queries again: a second query, had the
    // held click sent one, would have been answered before.
    ASSERT_TRUE(WaitUntil([&] { return button->isEnabled(); }));
    EXPECT_EQ(queries() - before, 1);
    EXPECT_EQ(lastQuery().value("code").toString(), "ZZZZ");
    EXPECT_EQ(applied.size(), 0);
    EXPECT_EQ(form->record()[PassengerName], "");
    EXPECT_FALSE(common::FileExists(QDir(dir.path()).filePath("PNC.txt")));
}

TEST_F(TicketImport, ATicketBecomesABookingOfItsOwnOnThePrintForm) {
    P_XTY2* dlg = ready();
    ASSERT_NE(dlg, nullptr);
    form->record().setField(City3, "KEEP3");
    form->record().setField(Carrier2, "KEEP");
    QSignalSpy applied(dlg, &P_XTY2::resultApplied);
    // Typed with a dash and a lower-case code: one segment fills lines 1 and 2.
    const QString code = freshCode(dlg);
    QElapsedTimer clock;
    clock.start();
    query(dlg, "781-2345678901", " 张三 ", code.toLower());
    ASSERT_TRUE(applied.wait(15000)) << site->get("/__queries").toStdString();
    std::printf("click on the import button to fields filled: %lld ms\n",
                static_cast<long long>(clock.elapsed()));
    EXPECT_EQ(Child<QLineEdit>(dlg, "Text1")->text(), "7812345678901");
    EXPECT_EQ(lastQuery().value("ticket").toString(), "7812345678901");
    EXPECT_EQ(lastQuery().value("code").toString(), code);
    const ItineraryRecord& r = form->record();
    EXPECT_EQ(r[PassengerName], QStringLiteral("张三"));
    EXPECT_EQ(r[City1], QStringLiteral("北京首都   T3"));
    EXPECT_EQ(r[City2], QStringLiteral("上海虹桥   T2"));
    EXPECT_EQ(r[Carrier1], QStringLiteral("东航"));
    EXPECT_EQ(r[Flight1], "MU5101");
    EXPECT_EQ(r[Total], "CNY 1290.00");
    EXPECT_EQ(r[TicketNumber], "781-2345678901");
    // Nothing of the earlier flights stays under it.
    EXPECT_EQ(r[City3], "");
    EXPECT_EQ(r[Carrier2], "");
    EXPECT_TRUE(common::ReadTextFile(QDir(dir.path()).filePath("PNC.txt"))
                    .contains(QStringLiteral("印刷序号")));
    // The next page brought a new picture code.
    EXPECT_TRUE(WaitUntil([&] { return !Child<QLabel>(dlg, "Image1")->pixmap().isNull(); }));
}

TEST_F(TicketImport, AResultWithNoPrintFormOpenOpensOne) {
    P_XTY2* dlg = ready();
    ASSERT_NE(dlg, nullptr);
    QSignalSpy applied(dlg, &P_XTY2::resultApplied);
    root().printForms().unload();
    ASSERT_EQ(root().printForms().form(), nullptr);
    query(dlg, "7812345678902", "li/si", freshCode(dlg), "Text3");
    ASSERT_TRUE(applied.wait(15000));
    P_GuoNei* opened = root().printForms().form();
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->record()[PassengerName], "LI/SI");
    EXPECT_EQ(opened->record()[City3], QStringLiteral("北京首都   T3"));
    EXPECT_EQ(opened->record()[Flight2], "CA1502");
}

TEST_F(TicketImport, APictureThatNeverAnswersLeavesTheDialogUsable) {
    P_XTY2* dlg = ready();
    ASSERT_NE(dlg, nullptr);
    auto* picture = Child<QLabel>(dlg, "Image1");
    freshCode(dlg); // nothing under way
    site->get("/__hang?on=1");
    QTest::mouseClick(Child<QLabel>(dlg, "Label4"), Qt::LeftButton); // "刷新"
    EXPECT_TRUE(picture->pixmap().isNull());
    type(Child<QLineEdit>(dlg, "Text3"), "cd");
    EXPECT_EQ(Child<QLineEdit>(dlg, "Text3")->text(), "CD");
    // Fetches for one picture run in turn: this one ends after the refresh has given up.
    int after = -1;
    ximport::LoadPictureFromURL(picture, site->url() + "/newsky/servlet/CallYanServlet?after",
                                root().profile(), 300, [&](bool ok) { after = ok; });
    ASSERT_TRUE(WaitUntil([&] { return after >= 0; }));
    site->get("/__hang?on=0");
    EXPECT_EQ(after, 0);
    EXPECT_TRUE(picture->pixmap().isNull());
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(TicketImport, AnUnreachableSiteIsSaidAndTheButtonStaysOff) {
    deploy.insert("VerificationSiteUrl", "http://127.0.0.1:9/");
    P_XTY2* dlg = start(500);
    ASSERT_TRUE(dlg && WaitUntil([&] {
                    return Child<QLabel>(dlg, "Label7")->text() ==
                           QStringLiteral("无法打开验证网站，请检查网络！");
                }));
    EXPECT_FALSE(Child<QPushButton>(dlg, "Command1")->isEnabled());
}

TEST(TicketPage, HeadlessItFillsAParsedBookingAndRefusesAnUnreadablePage) {
    support::SiteProcess site(QStringLiteral("verification_site.py"));
    ASSERT_TRUE(site.running());
    QTemporaryDir dir;
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
