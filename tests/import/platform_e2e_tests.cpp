// Platform sign-in and order retrieval end to end: the real windows and web engine, offscreen,
// against the two local platform sites (tests/sites/platform_site.py). One process runs every
// case, so the engine and the sites start once.
#include "app/web_pages.h"
#include "import/platform/order_retrieval.h"
#include "itinerary/forms/print_form_host.h"

#include "common/fso.h"
#include "support/gui.h"
#include "support/site_process.h"
#include "support/station.h"

#include <QApplication>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QPushButton>
#include <QTest>

#include <cstdio>

using namespace itin;
using support::Child;

namespace {

// Platform pages take longer to settle than the default allows.
bool WaitUntil(const std::function<bool()>& cond, int ms = 20000) {
    return support::WaitUntil(cond, ms);
}

support::SiteProcess* gSites[2] = {nullptr, nullptr};

class Retrieval : public support::StationTest {
protected:
    Retrieval() : StationTest(&app::LinkedWebModule()) {
        deploy.insert("PlatformSite1Url", gSites[0]->url("/"));
        deploy.insert("PlatformSite2Url", gSites[1]->url("/"));
    }
    P_GuoNei* form = nullptr;

    void SetUp() override {
        ASSERT_TRUE(gSites[0]->running());
        ASSERT_TRUE(gSites[1]->running());
    }
    // Writes PingTai.ini and opens the print form, "导 入" on it as the program installs it.
    void start(const QString& pingTai) {
        common::WriteTextFile(dir.filePath("PingTai.ini"), pingTai);
        form = root().printForms().show();
    }
    // The opener the pages module made on the first "导 入".
    ximport::OrderRetrieval* retrieval() {
        return root().printForms().findChild<ximport::OrderRetrieval*>();
    }
    // "导 入" for a PNR on a platform.
    void importOrder(const QString& pnr, int platform) {
        form->record().setField(PnrQuery, pnr);
        support::Child<QComboBox>(form, "Surs1")->setCurrentIndex(platform);
        support::Child<QPushButton>(form, "Cmdinput")->click();
    }
    bool statusIs(const QString& text, int ms = 20000) {
        return WaitUntil([&] { return support::Child<QLabel>(form, "Label7")->text() == text; },
                         ms);
    }
    bool shown(const QString& text) {
        return WaitUntil([&] { return support::ShownTexts(messages).contains(text); });
    }
    static QWidget* window() { return support::Window("W_Webfrm"); }
};

const QString kAccounts0 = QStringLiteral("0,今日天下通,agent01,secret1\r\n1,羿天下,,");
const QString kAccounts1 = QStringLiteral("0,今日天下通,,\r\n1,羿天下,agent01,secret1");
const QString kNone = QStringLiteral("0,今日天下通,,\r\n1,羿天下,,");
const QString kDone = QStringLiteral("获取成功，可以打印！");
const QString kNotFound = QStringLiteral("提取信息失败！PNR不存在");

} // namespace

TEST_F(Retrieval, FirstPlatformStoredAccountOrderNotFoundAndTimeOut) {
    start(kAccounts0);
    QElapsedTimer clock;
    clock.start();
    importOrder("DEF456", 0);
    EXPECT_FALSE(form->isEnabled());
    // What follows a change (the SMS panel) runs once, after the order and the form's return.
    QList<QPair<bool, QString>> followed;
    form->record().setAfterChangeHook([&](int) {
        followed.append({form->isEnabled(), form->record()[Total]});
    });
    ASSERT_TRUE(statusIs(kDone)) << support::Child<QLabel>(form, "Label7")->text().toStdString();
    const qint64 ms = clock.elapsed();
    form->record().setAfterChangeHook({});
    EXPECT_EQ(followed, (QList<QPair<bool, QString>>{{true, "CNY 2090.00"}}));
    std::printf(
        "[ figure   ] 导 入 to 获取成功 on platform 0 (five pages, stored account): %lld ms\n",
        static_cast<long long>(ms));
    RecordProperty("order_retrieval_ms", int(ms));
    const QByteArray log = gSites[0]->get("/__log");
    for (const char* page :
         {"\"/Default.aspx\", \"/\"", "/Desktop.aspx", "\"/Search.aspx\"", "/OrderDetail.aspx"})
        EXPECT_TRUE(log.contains(page)) << page;
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
    EXPECT_EQ(form->record()[PnrQuery], "DEF456");
    EXPECT_EQ(form->record()[City1], QStringLiteral("广州"));
    EXPECT_EQ(form->record()[CnTax], "CN0.00");
    EXPECT_EQ(form->record()[Total], "CNY 2090.00");
    EXPECT_EQ(form->record()[PassengerName], QStringLiteral("李四"));
    EXPECT_EQ(form->record().passengers().size(), 3);
    EXPECT_TRUE(support::Child<QPushButton>(form, "cmdnext")->isEnabled());
    EXPECT_EQ(retrieval()->state().orderRetrievalActive, 0);

    // Nothing found: the platform's message, the status, the form usable again.
    importOrder("ZZZ999", 0);
    ASSERT_TRUE(statusIs(kNotFound));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("天下通平台出票")));
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));

    // A session that timed out: back to the home page, signed in again, order read.
    gSites[0]->get("/__expire");
    importOrder("ABC123", 0);
    ASSERT_TRUE(statusIs(kDone));
    EXPECT_EQ(form->record()[CnTax], "CN50.00");
    EXPECT_EQ(form->record()[YqTax], "YQ120.00");
    EXPECT_EQ(form->record().passengers().size(), 1);
}

TEST_F(Retrieval, AChangedSearchPageMatchesNoRowAndTheRecordStays) {
    deploy.insert("HttpTimeoutMs", "1500");
    start(kAccounts0);
    importOrder("ABC123", 0);
    ASSERT_TRUE(statusIs(kDone));
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
    gSites[0]->get("/__config?broken=1");
    importOrder("DEF456", 0);
    ASSERT_TRUE(statusIs(QStringLiteral("提取信息失败！平台页面无法识别")));
    gSites[0]->get("/__config?broken=0");
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
    EXPECT_EQ(form->record()[CnTax], "CN50.00");
}

TEST_F(Retrieval, FirstPlatformSignInWindowWithPictureCode) {
    gSites[0]->get("/__config?code=1");
    start(kNone);
    importOrder("ABC123", 0);
    QWidget* login = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (login = support::Window("P_Login")) != nullptr; }));
    EXPECT_FALSE(form->isEnabled());
    EXPECT_EQ(login->windowTitle(), QStringLiteral("请输入 今日天下通 用户名和密码"));
    auto* code = Child<QLineEdit>(login, "Text3");
    ASSERT_TRUE(WaitUntil([&] { return code->isVisibleTo(login); }));
    EXPECT_TRUE(WaitUntil([&] { return !Child<QLabel>(login, "Image1")->pixmap().isNull(); }));

    auto* account = Child<QLineEdit>(login, "Text1");
    auto* password = Child<QLineEdit>(login, "Text2");
    auto* signIn = Child<QPushButton>(login, "Command1");
    type(account, "agent");
    signIn->click();
    EXPECT_EQ(messages.shown.last().text, QStringLiteral("帐号不正确"));
    type(account, "agent01");
    type(password, "wrong12");
    type(code, "8888");
    signIn->click();
    ASSERT_TRUE(shown(QStringLiteral("用户名或者密码错误")));
    type(password, "secret1");
    type(code, "8888");
    signIn->click();
    ASSERT_TRUE(statusIs(kDone));
    EXPECT_EQ(common::ReadTextFile(dir.filePath("PingTai.ini")),
              QStringLiteral("0,今日天下通,agent01,secret1\r\n1,羿天下,,"));
    EXPECT_EQ(form->record()[Flight1], "CA1501");
    gSites[0]->get("/__config?code=0");
}

TEST_F(Retrieval, SecondPlatformPictureCodeInTheWindowAndNothingFound) {
    start(kAccounts1);
    importOrder("TWO222", 1);
    ASSERT_TRUE(WaitUntil(
        [&] { return window() && window()->windowTitle() == QStringLiteral("请输入验证码"); }));
    EXPECT_EQ(window()->y(), 0);
    auto* code = Child<QLineEdit>(window(), "Text1");
    auto* confirm = Child<QPushButton>(window(), "Command1");
    type(code, " 12 ");
    confirm->click();
    EXPECT_EQ(messages.shown.last().text, QStringLiteral("请输入正确的验证码"));
    type(code, "1111");
    confirm->click();
    ASSERT_TRUE(shown(QStringLiteral("验证码错误")));
    type(code, "8888");
    confirm->click();
    ASSERT_TRUE(statusIs(kDone));
    EXPECT_EQ(form->record()[Flight2], "FM9302");
    EXPECT_EQ(form->record()[Time2], "09:10");
    EXPECT_EQ(form->record()[Class2], "C");
    EXPECT_EQ(form->record()[CnTax], "CN100.00");
    EXPECT_EQ(form->record().passengers().size(), 3);
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));

    // Still signed in: a PNR the platform does not know.
    importOrder("NOPE00", 1);
    ASSERT_TRUE(statusIs(kNotFound));
    EXPECT_TRUE(messages.shown.last().text.contains(QStringLiteral("羿天下 平台出票")));
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
}

TEST_F(Retrieval, SecondPlatformRefusedSignInThenWindowClosed) {
    start(kNone);
    importOrder("TWO222", 1);
    QWidget* login = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (login = support::Window("P_Login")) != nullptr; }));
    auto* code = Child<QLineEdit>(login, "Text3");
    ASSERT_TRUE(WaitUntil([&] { return code->isVisibleTo(login); }));
    type(Child<QLineEdit>(login, "Text1"), "agent01");
    type(Child<QLineEdit>(login, "Text2"), "wrong12");
    type(code, "8888");
    Child<QPushButton>(login, "Command1")->click();
    ASSERT_TRUE(shown(QStringLiteral("密码输入错误误")));
    // Closed without signing in: the retrieval ends and the print form is usable again.
    login->close();
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
    EXPECT_TRUE(statusIs(QStringLiteral("已取消")));
    EXPECT_EQ(common::ReadTextFile(dir.filePath("PingTai.ini")), kNone);
}

// Refusals of an account whose refusal address carries escapes; nothing is sent twice.
TEST_F(Retrieval, FirstPlatformRefusalsAreSeenOnceAndNeverResent) {
    const auto posts = [] { return gSites[0]->get("/__log").count("POST /Login.aspx"); };
    start(QStringLiteral("0,今日天下通,代理商账号01,wrong12\r\n1,羿天下,,"));
    const int before = posts();
    importOrder("ABC123", 0);
    ASSERT_TRUE(statusIs(QStringLiteral("登录失败：密码错误")));
    EXPECT_TRUE(shown(QStringLiteral("密码错误")));
    // The retrieval is over and its window gone: nothing is left that could sign in again.
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
    EXPECT_EQ(posts() - before, 1);

    common::WriteTextFile(dir.filePath("PingTai.ini"), kNone);
    importOrder("ABC123", 0);
    QWidget* login = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (login = support::Window("P_Login")) != nullptr; }));
    auto* signIn = Child<QPushButton>(login, "Command1");
    ASSERT_TRUE(WaitUntil([&] { return signIn->isEnabled(); }));
    Child<QLineEdit>(login, "Text1")->setText(QStringLiteral("代理商账号01"));
    Child<QLineEdit>(login, "Text2")->setText("wrong12");
    signIn->click();
    ASSERT_TRUE(shown(QStringLiteral("用户名或者密码错误")));

    // PingTai.ini cannot be written: the window stays; pressed again, it stores the account.
    const QString ini = dir.filePath("PingTai.ini");
    QFile::remove(ini);
    ASSERT_TRUE(QDir().mkdir(ini));
    Child<QLineEdit>(login, "Text1")->setText("agent01");
    Child<QLineEdit>(login, "Text2")->setText("secret1");
    ASSERT_TRUE(WaitUntil([&] { return signIn->isEnabled(); }));
    signIn->click();
    ASSERT_TRUE(shown(QStringLiteral("无法保存 PingTai.ini：") + ini));
    EXPECT_TRUE(login->isVisible() && !form->isEnabled());
    ASSERT_TRUE(QDir().rmdir(ini));
    signIn->click();
    ASSERT_TRUE(statusIs(kDone));
    EXPECT_TRUE(WaitUntil([&] { return form->isEnabled() && !window(); }));
}

TEST(OrderPageEntry, ReadsADetailPageHeadless) {
    QProcess print;
    const QString bin = qEnvironmentVariable("WS_BIN_DIR") + "/print";
    print.start(bin, {"--order-page", "1",
                      gSites[1]->url("/") + "Distributor/OrderDetail.aspx?pnr=XYZ789",
                      "--platform-pnr", "XYZ789"});
    ASSERT_TRUE(print.waitForFinished(60000));
    const QString out = QString::fromUtf8(print.readAllStandardOutput());
    EXPECT_EQ(print.exitCode(), 0) << out.toStdString();
    EXPECT_TRUE(out.contains(QStringLiteral("\"Time1\": \"08:05\"")));
    EXPECT_TRUE(out.contains(QStringLiteral("\"status\": \"获取成功，可以打印！\"")));
    print.start(bin, {"--order-page", "2", "x", "--platform-pnr", "XYZ789"});
    ASSERT_TRUE(print.waitForFinished(60000));
    EXPECT_EQ(print.exitCode(), 2);
}

int main(int argc, char** argv) {
    browser::PrepareEngine();
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    ::testing::InitGoogleTest(&argc, argv);
    support::SiteProcess first{QStringLiteral("platform_site.py"), {"--platform", "0"}};
    support::SiteProcess second{QStringLiteral("platform_site.py"), {"--platform", "1"}};
    gSites[0] = &first;
    gSites[1] = &second;
    return RUN_ALL_TESTS();
}
