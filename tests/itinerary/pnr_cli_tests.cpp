// The headless --pnr entry point, run as the real program.
#include "common/code_page.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct CliRun {
    int exitCode = -1;
    QByteArray out, err;
};

CliRun runPrint(const QStringList& args) {
    QProcess p;
    p.start(qEnvironmentVariable("WS_BIN_DIR") + "/print", args);
    CliRun r;
    if (!p.waitForFinished(30000)) return r;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace

TEST(PnrCli, GbkFileGivesJsonWithPinnedYearAndMessages) {
    QTemporaryDir dir;
    const QString path = dir.filePath("booking.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(common::ToGbk(" 1.张三 HX3K8M\n 2.  CA1501 Y   SA12MAR  PEKSHA HK1   0830 1040"
                          "          E T3T2\n"));
    f.close();
    const CliRun r = runPrint({"--pnr", path, "--now", "2031-03-01T09:00:00"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    const QJsonObject fields = o["fields"].toObject();
    EXPECT_EQ(fields.size(), 59);
    EXPECT_EQ(fields["PassengerName"].toString(), QStringLiteral("张三"));
    EXPECT_EQ(fields["Date1"].toString(), QStringLiteral("2031-03-12"));
    EXPECT_EQ(fields["PnrQuery"].toString(), QStringLiteral("HX3K8M"));
    EXPECT_EQ(o["arrivalTimes"].toArray(), (QJsonArray{"10:40", ""}));
    EXPECT_EQ(o["nextEnabled"].toBool(), false);
    EXPECT_EQ(o["messages"].toArray().size(), 0);
}

TEST(PnrCli, MessageTitlesAndBadInput) {
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.txt");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("no segments");
    f.close();
    CliRun r = runPrint({"--pnr", path});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonArray msgs = QJsonDocument::fromJson(r.out).object()["messages"].toArray();
    ASSERT_EQ(msgs.size(), 1);
    EXPECT_EQ(msgs[0].toObject()["text"].toString(), QStringLiteral("没有找到航段信息"));
    EXPECT_EQ(msgs[0].toObject()["title"].toString(), QStringLiteral("错误提示"));

    r = runPrint({"--pnr", dir.filePath("missing.txt")});
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_FALSE(r.err.isEmpty());
    r = runPrint({"--pnr", path, "--now", "yesterday"});
    EXPECT_EQ(r.exitCode, 2);
}

TEST(PnrCli, TicketRowOnFreshRecord) {
    const CliRun r = runPrint({"--ticket-row", ";784-1;0041;HX3K8M;张三;E1;CA1501;Y;PEKSHA;"
                                               "2026-03-12;08:30;1130;50;0"});
    ASSERT_EQ(r.exitCode, 0);
    const QJsonObject fields = QJsonDocument::fromJson(r.out).object()["fields"].toObject();
    EXPECT_EQ(fields["Total"].toString(), QStringLiteral("CNY 1180.00"));
    EXPECT_EQ(fields["Endorsement"].toString(), QStringLiteral("不得签转"));
}
