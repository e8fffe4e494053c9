// The SMS part wired to the real print form, and the headless --sms entry point.
#include "common/clock.h"
#include "common/code_page.h"
#include "common/deploy_config.h"
#include "common/desktop.h"
#include "common/fso.h"
#include "common/messages.h"
#include "itinerary/forms/hosted_print_form.h"
#include "itinerary/forms/p_guonei.h"
#include "itinerary/forms/print_form_host.h"
#include "itinerary/print_settings.h"
#include "itinerary/settings_store.h"
#include "sms/forms/sms_panel_host.h"
#include "sms/sms_http.h"
#include "support/doubles.h"
#include "support/gui.h"
#include "support/local_gateway.h"

#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

using namespace itin;
using support::LocalGateway;

TEST(WorkstationSms, TypingIntoThePrintFormRefreshesTheHiddenPanel) {
    LocalGateway gateway;
    ASSERT_TRUE(gateway.started());
    QTemporaryDir dir;
    common::WriteTextFile(sms::SmsSetupPath(dir.path()), QStringLiteral("demo\r\ndemo123\r\n1"));
    PrintFormState formState;
    PrintSettings settings;
    common::RecordingMessages messages;
    common::FixedClock clock{QDateTime(QDate(2026, 12, 8), QTime(9, 5, 3))};
    common::DeployConfig deploy;
    deploy.set(QStringLiteral("SmsGatewayHost"), gateway.host());
    deploy.set(QStringLiteral("HttpTimeoutMs"), QStringLiteral("3000"));
    RecordingDesktopBrowser browser;
    PresetFileDialogs dialogs;
    ItineraryContext ctx{formState, settings, messages,   clock, deploy,
                         browser,   dialogs,  dir.path(), {}};
    PrintFormHost printHost(ctx);
    // Wired as the main windows wire it.
    sms::SmsAccount account;
    sms::SmsEnvironment env{
        sms::NetworkGet(deploy.httpTimeoutMs()), gateway.host(), dir.path(), {}};
    HostedPrintForm printForm(printHost);
    sms::SmsContext smsCtx{account, messages, clock, browser, env, printForm};
    sms::SmsPanelHost smsHost(smsCtx);
    QObject::connect(&printHost, &PrintFormHost::formLoaded, &smsHost, [&](P_GuoNei* f) {
        env.workstationId = settings.workstationId;
        smsHost.follow(f->record());
    });

    P_GuoNei* form = printHost.show();
    ASSERT_NE(form, nullptr);
    QTest::keyClicks(support::Box(form, PnrQuery), QStringLiteral("HX4P2K"));
    EXPECT_EQ(support::Window("P_Guonei2"), nullptr);
    form->record().setField(City1, QStringLiteral("北京   T3"));
    form->record().setField(City2, QStringLiteral("上海   T2"));
    QTest::keyClicks(support::Box(form, Flight1), QStringLiteral("ca 1501"));
    QTest::keyClicks(support::Box(form, Time1), QStringLiteral("08:30"));
    QTest::keyClicks(support::Box(form, Date1), QStringLiteral("2026-12-07"));
    QWidget* panel = support::Window("P_Guonei2");
    ASSERT_NE(panel, nullptr);
    EXPECT_FALSE(panel->isVisible());
    EXPECT_EQ(support::Child<QLabel>(panel, "Label8")->text(),
              QStringLiteral("短信余额：12.50 元"));
    EXPECT_EQ(
        support::Child<QTextEdit>(panel, "Rtb")->toPlainText().toStdString(),
        QStringLiteral(
            "您预订的航班:12月07日08:30北京(3号航站楼)-上海(2号航站楼)CA1501,已出票.电子票号:(),"
            "请提前90分钟到机场办理登机手续.客服:010-12345678,[示例]")
            .toStdString());
    // The gateway saw this workstation's identifier.
    EXPECT_FALSE(gateway.requests()
                     .last()
                     .toObject()
                     .value("query")
                     .toObject()
                     .value("Hdnumber")
                     .toString()
                     .isEmpty());
    // The menu entry shows the same panel, no sign-in in between.
    const int before = gateway.requests().size();
    smsHost.show();
    EXPECT_EQ(support::Window("P_Guonei2"), panel);
    EXPECT_TRUE(panel->isVisible());
    EXPECT_EQ(gateway.requests().size(), before);
    printHost.unload();
}

TEST(HeadlessSms, ComposesFromTheBookingAndTheSettings) {
    QTemporaryDir dir;
    PrintSettings settings;
    PageSetup page{QStringLiteral("0"), QStringLiteral("0"), QStringLiteral("BJS001"),
                   QStringLiteral("08001"), QStringLiteral("示例航服")};
    ASSERT_TRUE(SavePageSetup(settings, dir.path(), page));
    const QString bin = qEnvironmentVariable("WS_BIN_DIR") + QStringLiteral("/print");
    const QString booking =
        qEnvironmentVariable("WS_SOURCE_DIR") + QStringLiteral("/samples/two_passengers.txt");
    auto run = [&](const QStringList& extra) {
        QProcess p;
        p.start(bin, QStringList{QStringLiteral("--pnr"), booking, QStringLiteral("--data-dir"),
                                 dir.path(), QStringLiteral("--now"),
                                 QStringLiteral("2026-03-01T09:00:00")} +
                         extra);
        EXPECT_TRUE(p.waitForFinished(20000));
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()).trimmed());
    };
    auto [rc, out] = run({QStringLiteral("--sms"), QStringLiteral("5")});
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(out,
              QStringLiteral(
                  "03月12日08:30北京(3号航站楼)-上海虹桥(2号航站楼)CA1501;03月14日09:00"
                  "上海虹桥(2号航站楼)-北京(2号航站楼)MU5101,请确认.客服:010-XXXXXXXX,[示例航服]"));
    EXPECT_EQ(run({QStringLiteral("--sms"), QStringLiteral("8")}).first, 2);
}
