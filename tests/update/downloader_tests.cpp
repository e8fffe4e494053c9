// The chunked downloader against the local update service.
#include "common/messages.h"
#include "common/net/http_client.h"
#include "support/doubles.h"
#include "tests/update/update_service.h"
#include "update/downloader.h"
#include "update/registrar.h"
#include "update/throttled_view.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

using namespace upd;

namespace {

class RecordingView : public DownloadView {
public:
    QStringList statuses;
    QList<int> widths;
    void setStatus(const QString& t) override { statuses << t; }
    void setProgressTwips(int w) override { widths << w; }
};

class RecordingRegistrar : public Registrar {
public:
    RecordingRegistrar() : Registrar(QString()) {}
    mutable QStringList registered;
    RegisterOutcome registerComponent(const QString& path, const QString& mode) const override {
        registered << path + QLatin1Char('|') + mode;
        return RegisterOutcome::Registered;
    }
};

class DownloadTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NE(service.port(), 0) << "update service did not start"; }

    DownloadEnd download(const QString& url, const QString& target, int zc = 0,
                         int inactivityMs = 5000) {
        DownloadLimits limits;
        limits.inactivityMs = inactivityMs;
        Downloader d(http, messages, &view, &registrar, limits);
        const DownloadEnd end = d.downloadFile(url, target, zc);
        requests = d.requestCount();
        return end;
    }
    QStringList ranges() const {
        QStringList out;
        for (const auto& r : service.requests())
            out << r.value("range").toString();
        return out;
    }

    UpdateService service;
    net::HttpClient http{5000};
    common::RecordingMessages messages;
    RecordingView view;
    RecordingRegistrar registrar;
    int requests = 0;
};

} // namespace

TEST_F(DownloadTest, ThreeSlicesWithOverlappingRanges) {
    const QByteArray file = PatternBytes(45000);
    service.serve("a.bin", file);
    const QString target = service.scratch("app/a.bin");
    WriteAll(target, PatternBytes(70000, 99)); // an older, longer file

    EXPECT_EQ(download(service.fileUrl("a.bin"), target), DownloadEnd::Complete);
    QStringList asked = ranges();
    asked.sort(); // slices in flight arrive in any order
    EXPECT_EQ(asked, (QStringList{"bytes=0-20480", "bytes=20480-40960", "bytes=40960-61440"}));
    EXPECT_EQ(ReadAll(target), file); // cut to the new total
    EXPECT_TRUE(messages.shown.isEmpty());
    EXPECT_EQ(view.statuses.first(), QStringLiteral("开始下载……"));
    EXPECT_EQ(view.statuses.last(), QStringLiteral("当前进度:99% (43k/43k)"));
    EXPECT_EQ(view.statuses[1], QStringLiteral("当前进度:45% (20k/43k)"));
    EXPECT_EQ(view.widths, (QList<int>{3003, 6007, 6599}));
    for (const auto& r : service.requests()) {
        EXPECT_EQ(r.value("method").toString(), QStringLiteral("GET"));
        EXPECT_EQ(r.value("accept_encoding").toString(), QStringLiteral("identity"));
        EXPECT_EQ(r.value("content_type").toString(), QStringLiteral("application/octet-stream"));
    }
    EXPECT_TRUE(registrar.registered.isEmpty());
}

TEST_F(DownloadTest, ExactSliceSizesEndWithoutExtraRequests) {
    for (const auto& [size, slices] : {std::pair(20481, 1), std::pair(20482, 2)}) {
        const QString name = QStringLiteral("%1.bin").arg(size);
        service.serve(name, PatternBytes(size));
        EXPECT_EQ(download(service.fileUrl(name), service.scratch(name)), DownloadEnd::Complete);
        EXPECT_EQ(requests, slices);
        EXPECT_EQ(ReadAll(service.scratch(name)), PatternBytes(size));
    }
    service.serve("empty.bin", QByteArray());
    // An empty file on the server answers 416 at once: the target becomes empty.
    WriteAll(service.scratch("empty.bin"), "old");
    EXPECT_EQ(download(service.fileUrl("empty.bin"), service.scratch("empty.bin")),
              DownloadEnd::Complete);
    EXPECT_TRUE(QFileInfo::exists(service.scratch("empty.bin")));
    EXPECT_EQ(QFileInfo(service.scratch("empty.bin")).size(), 0);
    EXPECT_TRUE(messages.shown.isEmpty());
}

TEST_F(DownloadTest, EveryFailureLeavesTheOldTargetByteForByte) {
    struct Case {
        QString query;
        DownloadEnd end;
        QString message; // empty: none
    };
    const QList<Case> cases{
        {"fail=403", DownloadEnd::Busy, "服务器繁忙，请稍候重试"},
        {"fail=404", DownloadEnd::NotFound, "连接服务器失败，请检查网络！"},
        {"fail=500", DownloadEnd::HttpError, "未知错误：Internal Server Error(500)"},
        {"fail=403&after=20480", DownloadEnd::Busy, "服务器繁忙，请稍候重试"},
        {"fail=416", DownloadEnd::Stale, ""},
        {"fail=416&after=20480", DownloadEnd::Stale, ""},
        {"fail=first", DownloadEnd::NoSize, "无法获取文件大小！"},
        {"fail=cut", DownloadEnd::NoSize, "无法获取文件大小！"},
        {"fail=nocr", DownloadEnd::NoSize, "无法获取文件大小！"},
        {"fail=nocr&after=40960", DownloadEnd::NoSize, "无法获取文件大小！"},
        {"fail=drop&after=20480", DownloadEnd::Connection, "连接服务器失败，请检查网络！"},
        {"fail=stall&after=20480", DownloadEnd::TimedOut, "下载文件超时"},
    };
    service.serve("f.bin", PatternBytes(50000));
    const QByteArray old = PatternBytes(30000, 3);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.query.toStdString());
        const QString target = service.scratch("app/f.bin");
        WriteAll(target, old);
        messages.clear();
        registrar.registered.clear();
        EXPECT_EQ(download(service.fileUrl("f.bin", c.query), target, 1, 400), c.end);
        EXPECT_EQ(ReadAll(target), old);
        const QList<common::ShownMessage> expected{{c.message, QStringLiteral("提示")}};
        EXPECT_EQ(messages.shown, c.message.isEmpty() ? QList<common::ShownMessage>() : expected);
        // Registration runs after every end.
        EXPECT_EQ(registrar.registered, QStringList{target + QStringLiteral("|")});
        EXPECT_EQ(QDir(service.scratch("app")).entryList(QDir::Files), QStringList{"f.bin"});
    }
}

TEST_F(DownloadTest, FailedNewFileLeavesNothingBehind) {
    service.serve("g.bin", PatternBytes(100));
    const QString target = service.scratch("fresh/g.bin");
    EXPECT_EQ(download(service.fileUrl("g.bin", "fail=404"), target, 1), DownloadEnd::NotFound);
    EXPECT_FALSE(QFileInfo::exists(target));
    EXPECT_EQ(registrar.registered.size(), 1);
    // No connection at all.
    messages.clear();
    EXPECT_EQ(download(QStringLiteral("http://127.0.0.1:1/files/g.bin"), target),
              DownloadEnd::Connection);
    EXPECT_FALSE(QFileInfo::exists(target));
    ASSERT_EQ(messages.shown.size(), 1);
}

TEST_F(DownloadTest, ServerIgnoringRangeGivesTheWholeFileOnce) {
    const QByteArray file = PatternBytes(90000);
    service.serve("h.bin", file);
    const QString target = service.scratch("h.bin");
    WriteAll(target, PatternBytes(120000, 5));
    EXPECT_EQ(download(service.fileUrl("h.bin", "fail=norange"), target), DownloadEnd::Complete);
    EXPECT_EQ(requests, 1);
    EXPECT_EQ(ReadAll(target), file);
    EXPECT_EQ(support::ShownTexts(messages), QStringList{QStringLiteral("无法获取文件大小！")});
}

TEST_F(DownloadTest, CreatesMissingFoldersAndKeepsNoTemporaryFiles) {
    service.serve("i.bin", PatternBytes(30000));
    const QString target = service.scratch("deep/er/i.bin");
    EXPECT_EQ(download(service.fileUrl("i.bin"), target, 1), DownloadEnd::Complete);
    EXPECT_EQ(ReadAll(target), PatternBytes(30000));
    EXPECT_EQ(QDir(service.scratch("deep/er")).entryList(QDir::Files | QDir::Hidden),
              QStringList{"i.bin"});
    EXPECT_EQ(registrar.registered, QStringList{target + QStringLiteral("|")});
}

TEST_F(DownloadTest, SlicesCostNoIdleTime) {
    // 40 slices; a fixed 100 ms poll per slice would take at least 4 seconds.
    service.serve("j.bin", PatternBytes(40 * 20480));
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(download(service.fileUrl("j.bin"), service.scratch("j.bin")), DownloadEnd::Complete);
    EXPECT_EQ(requests, 40);
    EXPECT_LT(t.elapsed(), 3000);
    EXPECT_EQ(ReadAll(service.scratch("j.bin")), PatternBytes(40 * 20480));
}

TEST_F(DownloadTest, SlicesInFlightApplyInOrderOverAnyConnections) {
    const QByteArray file = PatternBytes(5 * 20480 + 77);
    service.serve("k.bin", file);
    // The second slice answers late, so later ones arrive first; plain, "Connection: close"
    // after every slice, chunked bodies, and both.
    for (const QString query : {"slow=20480", "slow=20480&conn=close", "slow=20480&te=chunked",
                                "slow=20480&conn=close&te=chunked"}) {
        SCOPED_TRACE(query.toStdString());
        const QString target = service.scratch(QStringLiteral("k-%1.bin").arg(query));
        const qsizetype before = service.requests().size();
        view.statuses.clear();
        EXPECT_EQ(download(service.fileUrl("k.bin", query), target), DownloadEnd::Complete);
        EXPECT_EQ(ReadAll(target), file);
        EXPECT_EQ(service.requests().size() - before, 6);
        EXPECT_EQ(view.statuses,
                  (QStringList{"开始下载……", "当前进度:19% (20k/100k)", "当前进度:39% (40k/100k)",
                               "当前进度:59% (60k/100k)", "当前进度:79% (80k/100k)",
                               "当前进度:99% (100k/100k)", "当前进度:99% (100k/100k)"}));
        EXPECT_TRUE(messages.shown.isEmpty());
    }
}

TEST_F(DownloadTest, AFailureInTheWindowDiscardsTheSlicesAfterIt) {
    service.serve("m.bin", PatternBytes(8 * 20480));
    const QString target = service.scratch("m.bin");
    WriteAll(target, "old");
    EXPECT_EQ(download(service.fileUrl("m.bin", "fail=500&at=40960&slow=20480"), target),
              DownloadEnd::HttpError);
    EXPECT_EQ(ReadAll(target), QByteArray("old"));
    EXPECT_EQ(view.statuses,
              (QStringList{"开始下载……", "当前进度:12% (20k/160k)", "当前进度:25% (40k/160k)"}));
    EXPECT_EQ(support::ShownTexts(messages),
              QStringList{QStringLiteral("未知错误：Internal Server Error(500)")});
}

TEST(ContentRange, ParsesAndRefuses) {
    struct Case {
        QByteArray value;
        qint64 first = -1, last = -1, total = -1; // -1: refused
    };
    const QList<Case> cases{
        {"bytes 20480-40960/45000", 20480, 40960, 45000},
        {" \tBYTES=0 - 9 /\t10\r\n", 0, 9, 10},
        {"bytes 999999999999999998-999999999999999998/999999999999999999", 999999999999999998,
         999999999999999998, 999999999999999999},
        {"bytes */45000"},
        {"bytes 0-45000/45000"}, // last byte past the end
        {"bytes 10-5/45000"},
        {""},
        {"bytes"},
        {"bytes0-1/2"}, // no separator after the unit
        {"bytes 0-1/2 x"},
        {"bytes 0-1/"},
        {"bytes 0-99999999999999999999/1"},
        {"bytes 0-1/1234567890123456789"},
        {"octets 0-1/2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value.toStdString());
        qint64 a = 0, b = 0, t = 0;
        ASSERT_EQ(ParseContentRange(c.value, a, b, t), c.total >= 0);
        if (c.total < 0) continue;
        EXPECT_EQ(QList<qint64>({a, b, t}), QList<qint64>({c.first, c.last, c.total}));
    }
    for (const auto& [value, total] : {std::pair<QByteArray, qint64>{"bytes */45000", 45000},
                                       {" Bytes * / 0 ", 0},
                                       {"bytes */", -1},
                                       {"bytes 0-1/2", -1},
                                       {"bytes */12x", -1}})
        EXPECT_EQ(UnsatisfiedRangeTotal(value), total) << value.toStdString();
}

namespace {
long highWaterKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}
} // namespace

TEST_F(DownloadTest, MemoryStaysFlatForAWholeBodyReply) {
    // 48 MB in one reply (a server that ignores Range): the body goes to the file as it
    // arrives instead of into one buffer.
    const qint64 size = 48LL << 20;
    {
        QFile f(service.scratch("served/big.bin"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        const QByteArray block = PatternBytes(1 << 20);
        for (qint64 n = 0; n < size; n += block.size())
            f.write(block);
    }
    const long before = highWaterKb();
    const QString target = service.scratch("big.bin");
    EXPECT_EQ(download(service.fileUrl("big.bin", "fail=norange"), target), DownloadEnd::Complete);
    EXPECT_EQ(QFileInfo(target).size(), size);
    EXPECT_LT(highWaterKb() - before, 16 * 1024)
        << "peak grew by " << highWaterKb() - before << " kB";
}

TEST(ThrottledProgress, ShowsTheLatestAtMostOncePerInterval) {
    RecordingView shown;
    ThrottledView view(shown, 40);
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < 2000; ++i) {
        view.setStatus(QString::number(i));
        view.setProgressTwips(i);
        QCoreApplication::processEvents();
    }
    const qint64 elapsed = t.elapsed();
    view.flush();
    EXPECT_LE(shown.statuses.size(), elapsed / 40 + 2);
    EXPECT_EQ(shown.statuses.first(), QStringLiteral("0")); // the first shows at once
    EXPECT_EQ(shown.statuses.last(), QStringLiteral("1999"));
    EXPECT_EQ(shown.widths.last(), 1999);
    EXPECT_EQ(view.status(), QStringLiteral("1999"));
}
