// The real update program, offscreen, in a temporary program folder against the local
// update service; it ends by starting a stand-in print that records it was started.
#include "common/code_page.h"
#include "common/date_format.h"
#include "tests/update/update_service.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

namespace {

QByteArray standInPrint(const char* word) {
    return QByteArray("#!/bin/sh\necho ") + word + " > \"$(dirname \"$0\")/print-started.txt\"\n";
}

class UpdaterEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(service.port(), 0);
        app = service.scratch("app");
        sys = service.scratch("sys");
        QDir().mkpath(app);
        QDir().mkpath(sys);
        ASSERT_TRUE(QFile::copy(BinDir() + "/update", app + "/update"));
        WriteAll(
            app + "/deploy.ini",
            ("[deploy]\nUpdateServiceHost=" + service.host() + "\nHttpTimeoutMs=5000\n").toUtf8());
        WriteAll(app + "/print", standInPrint("old"));
        QFile::setPermissions(app + "/print",
                              QFile::permissions(app + "/print") | QFileDevice::ExeOwner);
    }

    // Runs the updater to its end; its standard output.
    QString runUpdater(int exitCode = 0) {
        QProcess p;
        QProcessEnvironment e = QProcessEnvironment::systemEnvironment();
        e.insert("QT_QPA_PLATFORM", "offscreen");
        e.insert("WS_SYSTEM_FOLDER", sys);
        e.insert("WS_REG_MARKER", service.scratch("registered.txt"));
        p.setProcessEnvironment(e);
        p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        p.start(app + "/update", {"--no-dialogs"});
        EXPECT_TRUE(p.waitForFinished(30000));
        EXPECT_EQ(p.exitCode(), exitCode);
        return QString::fromUtf8(p.readAllStandardOutput());
    }

    // The stand-in print runs detached: wait a bounded time for its record.
    QByteArray printRecord() const {
        QElapsedTimer t;
        t.start();
        while (!QFileInfo::exists(app + "/print-started.txt") && t.elapsed() < 5000)
            QThread::msleep(20);
        return ReadAll(app + "/print-started.txt").trimmed();
    }

    UpdateService service;
    QString app, sys;
};

} // namespace

TEST_F(UpdaterEndToEnd, InstallsNewerFilesRegistersAndStartsPrint) {
    const QByteArray component = ReadAll(QString::fromLocal8Bit(WS_REG_MARKER_LIB));
    service.serve("print", standInPrint("new"));
    service.serve("data.txt", PatternBytes(50000));
    service.serve("marker.ocx", component);
    service.serve("keep.ini", "server copy");
    WriteAll(app + "/keep.ini", "agent's own settings");

    const QString list =
        QStringLiteral("<?xml version=\"1.0\" encoding=\"gb2312\"?><files>\r\n") +
        QStringLiteral("<file surl=\"%1\" to=\"{app}\\print\" fg=\"0\" zc=\"0\" date=\"2026-3-1 "
                       "9:00:00\"/>\r\n")
            .arg(service.fileUrl("print")) +
        QStringLiteral("<file to=\"{app}\\数据\\行程.txt\" surl=\"%1\" date=\"2026/3/1 9:00:00\" "
                       "zc=\"0\" fg=\"0\"/>\r\n")
            .arg(service.fileUrl("data.txt")) +
        QStringLiteral(
            "<file surl=\"%1\" to=\"{sys}\\marker.ocx\" fg=\"0\" zc=\"1\" date=\"2026-3-1\"/>\r\n")
            .arg(service.fileUrl("marker.ocx")) +
        QStringLiteral(
            "<file surl=\"%1\" to=\"{app}\\keep.ini\" fg=\"1\" zc=\"0\" date=\"2026-3-1\"/>\r\n")
            .arg(service.fileUrl("keep.ini")) +
        QStringLiteral(
            "<file surl=\"%1\" to=\"{app}\\gone.dll\" fg=\"0\" zc=\"0\" date=\"2026-3-1\"/>\r\n")
            .arg(service.fileUrl("gone.dll")) +
        QStringLiteral(
            "<file surl=\"%1\" to=\"{app}\\old.dll\" fg=\"0\" zc=\"0\" date=\"2009-3-1\"/>\r\n")
            .arg(service.fileUrl("data.txt")) +
        QStringLiteral("</files>");
    service.setList(common::ToGbk(list));

    const QString out = runUpdater();

    EXPECT_EQ(printRecord(), QByteArray("new"));
    EXPECT_EQ(ReadAll(app + "/数据/行程.txt"), PatternBytes(50000));
    EXPECT_EQ(ReadAll(sys + "/marker.ocx"), component);
    EXPECT_TRUE(ReadAll(service.scratch("registered.txt")).startsWith("registered "));
    EXPECT_EQ(ReadAll(app + "/keep.ini"), QByteArray("agent's own settings"));
    EXPECT_FALSE(QFileInfo::exists(app + "/old.dll"));
    EXPECT_FALSE(QFileInfo::exists(app + "/gone.dll"));
    EXPECT_TRUE(out.contains(QStringLiteral("提示: 连接服务器失败，请检查网络！")))
        << out.toStdString();

    // gone.dll failed: the run is not recorded, so the next run tries again.
    EXPECT_FALSE(QFileInfo::exists(app + "/update.log"));

    const auto requests = service.requests();
    ASSERT_FALSE(requests.isEmpty());
    EXPECT_EQ(requests[0].value("method").toString(), QStringLiteral("POST"));
    EXPECT_EQ(requests[0].value("path").toString(),
              QStringLiteral("/update/print/main/update.asp"));
    EXPECT_TRUE(requests[0].value("query").toString().startsWith("t="));
    EXPECT_EQ(requests[0].value("content_length").toString(), QStringLiteral("0"));
    for (const auto& r : requests)
        EXPECT_FALSE(r.value("path").toString().endsWith("keep.ini") ||
                     r.value("path").toString().endsWith("old.dll"));
}

TEST_F(UpdaterEndToEnd, NothingListedStillRecordsTheRunAndStartsPrint) {
    service.setList("<html>maintenance</html>");
    WriteAll(app + "/update.log", "2099/1/1 0:00:00"); // clock set back: starts over
    runUpdater();
    EXPECT_EQ(printRecord(), QByteArray("old"));
    const QDateTime logged =
        common::ParseGeneralDate(QString::fromLatin1(ReadAll(app + "/update.log")));
    ASSERT_TRUE(logged.isValid());
    EXPECT_LT(logged, QDateTime::currentDateTime().addSecs(5));
    EXPECT_EQ(service.requests().size(), 1);
}

TEST_F(UpdaterEndToEnd, APrintThatCannotStartIsNamedAndEndsWithStatusOne) {
    service.setList("");
    QFile::remove(app + "/print");
    const QString out = runUpdater(1);
    EXPECT_TRUE(out.contains(QStringLiteral("无法启动 print："))) << out.toStdString();
    EXPECT_TRUE(QFileInfo::exists(app + "/update.log")); // the update itself went through
}
