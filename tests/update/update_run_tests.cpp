// The update run as a whole, with a pinned clock, against the local update service.
#include "common/clock.h"
#include "common/deploy_config.h"
#include "common/messages.h"
#include "common/net/http_client.h"
#include "support/doubles.h"
#include "tests/update/update_service.h"
#include "update/folder_tokens.h"
#include "update/update_run.h"

#include <QCryptographicHash>

#include <gtest/gtest.h>
#include <sodium.h>

using namespace upd;
using support::ShownTexts;

namespace {

class RecordingUpdateView : public UpdateView {
public:
    QStringList log;
    void setStatus(const QString& t) override { log << "1:" + t; }
    void setProgressTwips(int) override {}
    void setCounter(const QString& t) override { log << "2:" + t; }
    void setHeadline(const QString& t) override { log << "4:" + t; }
};

// One listed file; extra holds further attributes.
QString listEntry(const QString& url, const QString& to, const QString& extra = {}) {
    return QStringLiteral("<file surl=\"%1\" to=\"%2\" fg=\"0\" zc=\"0\" date=\"2026-3-1\" %3>")
        .arg(url, to, extra);
}

// One update run of the program folder app at 2026/3/5 14:03:07; gives its state at the end.
UpdateState runUpdate(const QString& app, const common::DeployConfig& config, net::HttpClient& http,
                      common::RecordingMessages& messages, UpdateView& view) {
    const common::FixedClock clock{QDateTime(QDate(2026, 3, 5), QTime(14, 3, 7))};
    UpdateState state = MakeUpdateState(app, config, clock);
    FixedFolders folders(app, app, app);
    Downloader downloader(http, messages, &view, nullptr);
    UpdateRun(state, clock, http, folders, view, downloader, messages).runUpdate();
    return state;
}

class RunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(service.port(), 0);
        app = service.scratch("app");
        QDir().mkpath(app);
        config.set("UpdateServiceHost", service.host());
        service.serve("a.bin", PatternBytes(100));
        service.serve("b.bin", PatternBytes(200));
        service.setList(
            QStringLiteral(
                "<file surl=\"%1\" to=\"{app}\\a.bin\" fg=\"0\" zc=\"0\" date=\"2026-3-1 9:00:00\">"
                "<file surl=\"%2\" to=\"{app}\\b.bin\" fg=\"0\" zc=\"0\" date=\"2026-3-2 "
                "9:00:00\">")
                .arg(service.fileUrl("a.bin"), service.fileUrl("b.bin"))
                .toLatin1());
    }
    void run() { lastState = runUpdate(app, config, http, messages, view); }

    UpdateService service;
    QString app;
    common::DeployConfig config;
    common::FixedClock clock{QDateTime(QDate(2026, 3, 5), QTime(14, 3, 7))};
    net::HttpClient http{5000};
    common::RecordingMessages messages;
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
    EXPECT_EQ(ReadAll(app + "/update.log"), QByteArray("2026/3/5 14:03:07"));
    EXPECT_EQ(ReadAll(app + "/b.bin"), PatternBytes(200));
    EXPECT_EQ(view.log.filter(QRegularExpression("^[24]:")),
              (QStringList{"4:正在更新到最新版本，请不要关闭程序！", "2:1/2", "2:2/2"}));
    EXPECT_EQ(view.log.first(), QStringLiteral("1:正在获取更新文件列表……"));
    EXPECT_EQ(view.log.last(), QStringLiteral("1:更新完成！"));
    EXPECT_EQ(service.requests().first().value("query").toString(),
              QStringLiteral("t=2026/3/5%2014:03:07"));
}

TEST_F(RunTest, OnlyFilesAfterTheLastRunAndStartOverWhenTheClockWentBack) {
    WriteAll(app + "/update.log", "2026/3/1 9:00:00");
    run();
    EXPECT_FALSE(QFileInfo::exists(app + "/a.bin"));
    EXPECT_TRUE(QFileInfo::exists(app + "/b.bin"));
    EXPECT_EQ(lastState.lastUpdateTime, QStringLiteral("2026/3/1 9:00:00"));

    // The last run lies in the future: every listed file qualifies again.
    QFile::remove(app + "/b.bin");
    WriteAll(app + "/update.log", "2026/3/5 14:03:07");
    run();
    EXPECT_TRUE(QFileInfo::exists(app + "/a.bin"));
    EXPECT_TRUE(QFileInfo::exists(app + "/b.bin"));
    EXPECT_EQ(lastState.lastUpdateTime, QString::fromLatin1(kNoLastUpdate));

    // So does an unreadable log.
    WriteAll(app + "/update.log", "garbage");
    run();
    EXPECT_EQ(lastState.updateList.size(), 2);
}

TEST(RunRecord, OnlyARunThatReachedTheServiceIsRecorded) {
    struct Case {
        QStringList switches;
        QString host; // empty: the service's own
        bool recorded;
    };
    const QList<Case> cases{
        {{}, "127.0.0.1:1", false},          // nothing listens
        {{"--delay-ms", "1500"}, {}, false}, // no reply within the time-out
        {{}, {}, true},                      // an empty list from a service that answered
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches.join(' ').toStdString() + c.host.toStdString());
        UpdateService service(c.switches);
        ASSERT_NE(service.port(), 0);
        const QString app = service.scratch("app");
        WriteAll(app + "/update.log", "2026/3/1 9:00:00");
        common::DeployConfig config;
        config.set("UpdateServiceHost", c.host.isEmpty() ? service.host() : c.host);
        net::HttpClient http{400};
        common::RecordingMessages messages;
        RecordingUpdateView view;
        runUpdate(app, config, http, messages, view);
        EXPECT_EQ(ReadAll(app + "/update.log"),
                  c.recorded ? QByteArray("2026/3/5 14:03:07") : QByteArray("2026/3/1 9:00:00"));
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

TEST_F(RunTest, AFailedOrRefusedFileLeavesTheRunUnrecorded) {
    const QString outside = service.scratch("evil.txt");
    service.setList((listEntry(service.fileUrl("a.bin"), "{app}\\a.bin") +
                     listEntry(service.fileUrl("b.bin", "fail=404"), "{app}\\b.bin") +
                     listEntry(service.fileUrl("a.bin"), "{app}\\..\\evil.txt") +
                     listEntry(service.fileUrl("a.bin"), outside) +
                     listEntry("file:///etc/hostname", "{app}\\host.txt"))
                        .toLatin1());
    run();
    EXPECT_EQ(ReadAll(app + "/a.bin"), PatternBytes(100));
    EXPECT_FALSE(QFileInfo::exists(app + "/b.bin"));
    EXPECT_FALSE(QFileInfo::exists(outside));
    EXPECT_FALSE(QFileInfo::exists(app + "/host.txt"));
    EXPECT_FALSE(QFileInfo::exists(app + "/update.log"));
    EXPECT_EQ(ShownTexts(messages),
              (QStringList{"连接服务器失败，请检查网络！",
                           "更新文件的目标位置不允许：{app}\\..\\evil.txt",
                           "更新文件的目标位置不允许：" + outside,
                           "更新文件的下载地址不允许：file:///etc/hostname"}));
    // Mended on the server: the next run fetches again and records itself.
    service.setList(listEntry(service.fileUrl("b.bin"), "{app}\\b.bin").toLatin1());
    run();
    EXPECT_EQ(ReadAll(app + "/b.bin"), PatternBytes(200));
    EXPECT_EQ(ReadAll(app + "/update.log"), QByteArray("2026/3/5 14:03:07"));
}

TEST(SignedList, SignatureFreshnessAndHashDecideWhatIsInstalled) {
    ASSERT_GE(sodium_init(), 0);
    unsigned char seed[crypto_sign_SEEDBYTES], pk[crypto_sign_PUBLICKEYBYTES],
        sk[crypto_sign_SECRETKEYBYTES];
    for (size_t i = 0; i < sizeof seed; ++i)
        seed[i] = static_cast<unsigned char>(i * 7 + 1);
    crypto_sign_seed_keypair(pk, sk, seed);
    const QString secret =
        QString::fromLatin1(QByteArray(reinterpret_cast<char*>(seed), 32).toBase64());
    const QString key = QString::fromLatin1(QByteArray(reinterpret_cast<char*>(pk), 32).toBase64());
    const QByteArray file = PatternBytes(30000);
    const QString hash =
        QString::fromLatin1(QCryptographicHash::hash(file, QCryptographicHash::Sha256).toHex());
    const QStringList sign{"--sign-key", secret, "--serial", "4"};
    const QString stale = "更新列表已过期", unsigned_ = "更新列表签名无效";

    struct Case {
        QStringList switches;
        bool keyed;
        QString message; // "" none; "@" the hash message for the target
        bool installed;
        QString serialBefore; // update.serial before the run ("" none)
        QString serialAfter;
    };
    const QList<Case> cases{
        {sign, true, "", true, "", "4"},
        {sign, true, "", true, "4", "4"}, // the same release again
        {sign, true, "", true, "3", "4"},
        {{"--sign-key", secret, "--serial", "3"}, true, stale, false, "4", "4"}, // replayed
        {sign + QStringList{"--expires", "2026-03-05 14:03:06"}, true, stale, false, "", ""},
        {sign + QStringList{"--expires", "2026-03-05 14:03:08"}, true, "", true, "", "4"},
        {{"--sign-key", secret}, true, unsigned_, false, "", ""}, // no release element
        {{}, false, "", true, "", ""},                            // no key: lists as before
        {{"--serial", "3"}, false, "", true, "9", "9"},
        {{}, true, unsigned_, false, "", ""},
        {sign + QStringList{"--bad-signature"}, true, unsigned_, false, "", ""},
        {sign + QStringList{"--wrong-hash"}, true, "@", false, "", "4"},
        {{"--wrong-hash"}, false, "@", false, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.switches.join(' ').toStdString() + (c.keyed ? " keyed " : " ") +
                     c.serialBefore.toStdString());
        UpdateService service(c.switches);
        ASSERT_NE(service.port(), 0);
        const QString app = service.scratch("app");
        WriteAll(app + "/f.bin", "old");
        if (!c.serialBefore.isEmpty()) WriteAll(app + "/update.serial", c.serialBefore.toLatin1());
        service.serve("f.bin", file);
        service.setList(
            listEntry(service.fileUrl("f.bin"), "{app}\\f.bin", "sha256=\"" + hash.toUpper() + "\"")
                .toLatin1());
        common::DeployConfig config;
        config.set("UpdateServiceHost", service.host());
        if (c.keyed) config.set("UpdatePublicKey", key);
        net::HttpClient http{5000};
        common::RecordingMessages messages;
        RecordingUpdateView view;
        runUpdate(app, config, http, messages, view);

        EXPECT_EQ(ReadAll(app + "/f.bin"), c.installed ? file : QByteArray("old"));
        EXPECT_EQ(QFileInfo::exists(app + "/update.log"), c.installed);
        EXPECT_EQ(ReadAll(app + "/update.serial"), c.serialAfter.toLatin1());
        const QString expected =
            c.message == "@" ? QStringLiteral("文件校验失败：") + app + "/f.bin" : c.message;
        EXPECT_EQ(ShownTexts(messages), expected.isEmpty() ? QStringList() : QStringList{expected});
        // A refused list downloads nothing.
        if (c.message == stale || c.message == unsigned_) {
            EXPECT_EQ(service.requests().size(), 1);
        }
    }
}

TEST(SignedList, EveryRowNeedsAHash) {
    unsigned char pk[crypto_sign_PUBLICKEYBYTES], sk[crypto_sign_SECRETKEYBYTES];
    const QByteArray seed(crypto_sign_SEEDBYTES, '\x05');
    crypto_sign_seed_keypair(pk, sk, reinterpret_cast<const unsigned char*>(seed.constData()));
    UpdateService service({"--sign-key", QString::fromLatin1(seed.toBase64()), "--serial", "1"});
    ASSERT_NE(service.port(), 0);
    const QString app = service.scratch("app");
    service.serve("a.bin", PatternBytes(100));
    const QString hash = QString::fromLatin1(
        QCryptographicHash::hash(PatternBytes(100), QCryptographicHash::Sha256).toHex());
    service.setList(
        (listEntry(service.fileUrl("a.bin"), "{app}\\a.bin", "sha256=\"" + hash + "\"") +
         listEntry(service.fileUrl("a.bin"), "{app}\\b.bin") +
         listEntry(service.fileUrl("a.bin"), "{app}\\c.bin", "sha256=\"" + hash.left(63) + "\""))
            .toLatin1());
    common::DeployConfig config;
    config.set("UpdateServiceHost", service.host());
    config.set("UpdatePublicKey",
               QString::fromLatin1(QByteArray(reinterpret_cast<char*>(pk), 32).toBase64()));
    net::HttpClient http{5000};
    common::RecordingMessages messages;
    RecordingUpdateView view;
    runUpdate(app, config, http, messages, view);
    EXPECT_EQ(ReadAll(app + "/a.bin"), PatternBytes(100));
    EXPECT_FALSE(QFileInfo::exists(app + "/b.bin"));
    EXPECT_FALSE(QFileInfo::exists(app + "/c.bin"));
    EXPECT_FALSE(QFileInfo::exists(app + "/update.log"));
    EXPECT_EQ(ShownTexts(messages),
              (QStringList{"文件校验失败：" + app + "/b.bin", "文件校验失败：" + app + "/c.bin"}));
    EXPECT_EQ(service.requests().size(), 2); // the list and a.bin
}

TEST_F(RunTest, AnOversizedListIsRefusedWithAMessage) {
    http.setMaxReplyBytes(64); // the list of two rows is longer
    run();
    EXPECT_TRUE(lastState.updateList.isEmpty());
    EXPECT_FALSE(QFileInfo::exists(app + "/a.bin"));
    EXPECT_FALSE(QFileInfo::exists(app + "/update.log"));
    EXPECT_EQ(ShownTexts(messages), QStringList{QStringLiteral("更新列表过大，已拒绝")});
}
