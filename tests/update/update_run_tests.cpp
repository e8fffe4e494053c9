// The update run as a whole, with a pinned clock, against the local update service.
#include "clock.h"
#include "deploy_config.h"
#include "folder_tokens.h"
#include "http_client.h"
#include "messages.h"
#include "update_run.h"
#include "update_service.h"

#include <gtest/gtest.h>

using namespace upd;

namespace {

class RecordingUpdateView : public UpdateView {
public:
    QStringList log;
    void setStatus(const QString& t) override { log << "1:" + t; }
    void setProgressTwips(int) override {}
    void setCounter(const QString& t) override { log << "2:" + t; }
    void setHeadline(const QString& t) override { log << "4:" + t; }
};

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(service.port(), 0);
        app = service.scratch("app");
        QDir().mkpath(app);
        config.set("UpdateServiceHost", service.host());
        service.serve("a.bin", patternBytes(100));
        service.serve("b.bin", patternBytes(200));
        service.setList(
            QStringLiteral(
                "<file surl=\"%1\" to=\"{app}\\a.bin\" fg=\"0\" zc=\"0\" date=\"2026-3-1 9:00:00\">"
                "<file surl=\"%2\" to=\"{app}\\b.bin\" fg=\"0\" zc=\"0\" date=\"2026-3-2 "
                "9:00:00\">")
                .arg(service.fileUrl("a.bin"), service.fileUrl("b.bin"))
                .toLatin1());
    }
    void run() {
        UpdateState state = MakeUpdateState(app, config, clock);
        FixedFolders folders(app, app, app);
        Downloader downloader(http, messages, &view, nullptr);
        UpdateRun(state, clock, http, folders, view, downloader).RunUpdate();
        lastState = state;
    }

    UpdateService service;
    QString app;
    DeployConfig config;
    FixedClock clock{QDateTime(QDate(2026, 3, 5), QTime(14, 3, 7))};
    net::HttpClient http{5000};
    RecordingMessages messages;
    RecordingUpdateView view;
    UpdateState lastState;
};

} // namespace

TEST_F(RunTest, AddressesAndTheRunsRecord) {
    const UpdateState s = MakeUpdateState(app, config, clock);
    EXPECT_EQ(s.updateListUrl,
              "http://" + service.host() + "/update/print/main/update.asp?t=2026/3/5 14:03:07");
    EXPECT_EQ(s.logPath, app + "/update.log");
    EXPECT_EQ(s.programPath, app + "/print");

    run();
    EXPECT_EQ(readAll(app + "/update.log"), QByteArray("2026/3/5 14:03:07"));
    EXPECT_EQ(readAll(app + "/b.bin"), patternBytes(200));
    EXPECT_EQ(view.log.filter(QRegularExpression("^[24]:")),
              (QStringList{"4:正在更新到最新版本，请不要关闭程序！", "2:1/2", "2:2/2"}));
    EXPECT_EQ(view.log.first(), QStringLiteral("1:正在获取更新文件列表……"));
    EXPECT_EQ(view.log.last(), QStringLiteral("1:更新完成！"));
    EXPECT_EQ(service.requests().first().value("query").toString(),
              QStringLiteral("t=2026/3/5%2014:03:07"));
}

TEST_F(RunTest, OnlyFilesAfterTheLastRunAndStartOverWhenTheClockWentBack) {
    writeAll(app + "/update.log", "2026/3/1 9:00:00");
    run();
    EXPECT_FALSE(QFileInfo::exists(app + "/a.bin"));
    EXPECT_TRUE(QFileInfo::exists(app + "/b.bin"));
    EXPECT_EQ(lastState.lastUpdateTime, QStringLiteral("2026/3/1 9:00:00"));

    // The last run lies in the future: every listed file qualifies again.
    QFile::remove(app + "/b.bin");
    writeAll(app + "/update.log", "2026/3/5 14:03:07");
    run();
    EXPECT_TRUE(QFileInfo::exists(app + "/a.bin"));
    EXPECT_TRUE(QFileInfo::exists(app + "/b.bin"));
    EXPECT_EQ(lastState.lastUpdateTime, QString::fromLatin1(kNoLastUpdate));

    // So does an unreadable log.
    writeAll(app + "/update.log", "garbage");
    run();
    EXPECT_EQ(lastState.updateList.size(), 2);
}

TEST_F(RunTest, UnansweringServiceStillEndsTheRun) {
    config.set("UpdateServiceHost", "127.0.0.1:1");
    run();
    EXPECT_TRUE(lastState.updateList.isEmpty());
    EXPECT_EQ(readAll(app + "/update.log"), QByteArray("2026/3/5 14:03:07"));
    EXPECT_TRUE(messages.shown.isEmpty());
}
