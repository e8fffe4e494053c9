// The headless --sms entry point.
#include "itinerary/print_settings.h"
#include "itinerary/settings_store.h"

#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace itin;

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
