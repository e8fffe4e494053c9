// The main window's menu table and what its entries do.
#include "common/deploy_config.h"
#include "shell/main_window/menu_dispatch.h"
#include "shell/management/web_state.h"
#include "support/doubles.h"
#include "support/print_form.h"

#include <gtest/gtest.h>

using namespace shell;

namespace {

const MenuItem* find(const QString& caption) {
    for (const TopMenu& m : MainMenuTable())
        for (const MenuItem& i : m.items)
            if (i.caption == caption) return &i;
    return nullptr;
}

struct FakeBrowser : BrowserWindowControl {
    WebState& web;
    explicit FakeBrowser(WebState& w) : web(w) {}
    QStringList log;
    bool elementPresent = true;
    void clickNavItem(const QString& id, std::function<void(bool)> found) override {
        log << "click " + id;
        found(elementPresent);
    }
    void unloadBrowser() override {
        log << "unload";
        web.browserOpen = false;
    }
    void showBrowser() override {
        log << "show";
        web.browserOpen = true;
    }
};

// The menus never make a browser window themselves.
struct NoBrowserWindows : BrowserWindows {
    QWidget* create(const ManagementSite&) override { return nullptr; }
    QRect loadGeometry() override { return {}; }
    void clickNavItem(QWidget*, const QString&, std::function<void(bool)>) override {}
};

struct Menus : ::testing::Test {
    WebState web;
    itin::PrintFormState formState;
    support::CountingPrintForm form{formState};
    FakeBrowser browser{web};
    common::RecordingMessages messages;
    RecordingDesktopBrowser desktop;
    int smsOpened = 0;
    common::DeployConfig config = [] {
        common::DeployConfig c;
        c.set("ContactUrl", "http://c/contact.html");
        return c;
    }();
    NoBrowserWindows windows;
    ShellContext context{config,  web,     formState, messages,
                         desktop, windows, form,      [this] { ++smsOpened; }};
    void choose(const QString& caption) {
        const MenuItem* item = find(caption);
        ASSERT_NE(item, nullptr) << caption.toStdString();
        ChooseMenuItem(context, browser, *item);
    }
};

} // namespace

TEST(MenuTable, NavigationIdsNumberTheFirstGroupFromZeroAndTheOthersFromOne) {
    QStringList ids;
    for (const TopMenu& m : MainMenuTable())
        for (const MenuItem& i : m.items)
            if (i.action == MenuAction::Web) ids << i.navId;
    EXPECT_EQ(ids.size(), 5 + 5 + 4 + 4 + 12 + 6 + 5);
    EXPECT_EQ(ids.first(), "1_0");
    EXPECT_EQ(ids.last(), "7_5");
    EXPECT_EQ(find("密码修改")->navId, "1_4");
    EXPECT_EQ(find("财务流水")->objectName(), "m_Fin(11)");
    for (const char* off : {"送票单打印", "航班查询", "到港信息查询"})
        EXPECT_FALSE(find(off)->enabled);
}

TEST_F(Menus, WebEntriesBeforeSignInAskForItAndReloadTheBrowser) {
    web.browserOpen = true;
    choose("申请出票");
    EXPECT_EQ(messages.shown, (QList<common::ShownMessage>{{"请登陆系统", "print"}}));
    EXPECT_EQ(browser.log, QStringList({"unload", "show"}));
    browser.log.clear();
    web.browserOpen = false; // the agent closed it
    choose("财务流水");
    EXPECT_EQ(browser.log, QStringList({"show"}));
}

TEST_F(Menus, WebEntriesWhenSignedInClickTheirElement) {
    web.webSignedIn = web.browserOpen = true;
    choose("订单监控");
    choose("财务流水");
    EXPECT_EQ(browser.log, QStringList({"click 1_0", "click 5_12"}));
    EXPECT_TRUE(messages.shown.isEmpty());

    browser.elementPresent = false;
    choose("员工管理");
    ASSERT_EQ(messages.shown.size(), 1); // told, and nothing else happens
    EXPECT_EQ(browser.log.last(), "click 7_1");

    browser.log.clear();
    web.browserOpen = false;
    choose("员工管理");
    EXPECT_EQ(browser.log, QStringList({"show"}));
    EXPECT_EQ(messages.shown.size(), 2);
}

TEST_F(Menus, NativeEntriesWorkWithoutSignIn) {
    choose("国内行程单打印");
    EXPECT_EQ(form.loads, 1);
    EXPECT_EQ(form.unloads, 0); // not open: only opened
    form.record()->setField(itin::Fare, "CNY 5.00");
    choose("国际行程单打印");
    EXPECT_EQ(formState.printMode, itin::International);
    EXPECT_EQ(form.unloads, 1);
    EXPECT_EQ(form.loadedMode, itin::International);
    EXPECT_EQ(form.record()->field(itin::Fare), "CNY 0.00");

    choose("打开短信窗口");
    EXPECT_EQ(smsOpened, 1);
    choose("联系岚舟(&C)");
    EXPECT_EQ(desktop.opened, QStringList({"http://c/contact.html"}));
    for (const char* off : {"送票单打印", "航班查询", "到港信息查询"})
        choose(off);
    EXPECT_EQ(form.loads, 2);
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_TRUE(browser.log.isEmpty());
}
