// Downloads a 20 MB file from the local update service through the updater's downloader
// and, in the same run, the same 20481-byte ranges one after another on one connection
// with curl; prints both times, their ratio and the peak memory of this process.
// WS_BENCH_MB sets another file size.
#include "downloader.h"
#include "http_client.h"
#include "messages.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

namespace {

struct Fixture {
    QTemporaryDir dir;
    QProcess service;
    int port = 0;
    qint64 size = 0;
    QString url;
    QList<double> updaterSeconds;
    QList<double> curlSeconds;
};
Fixture* fx = nullptr;

double median(QList<double> v) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

long peakKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool startService(const char* sourceDir) {
    const QString root = fx->dir.filePath(QStringLiteral("served"));
    QDir().mkpath(root);
    QFile big(root + QStringLiteral("/big.bin"));
    if (!big.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char(i * 131 + i / 977);
    for (qint64 written = 0; written < fx->size; written += block.size())
        big.write(block.constData(), qMin<qint64>(block.size(), fx->size - written));
    big.close();
    fx->service.start(
        QStringLiteral(WS_PYTHON),
        {QString::fromLocal8Bit(sourceDir) + QStringLiteral("/tests/sites/update_service.py"),
         QStringLiteral("--root"), root});
    for (int i = 0; i < 100 && fx->port == 0; ++i) {
        if (!fx->service.canReadLine() && !fx->service.waitForReadyRead(100)) continue;
        const QByteArray line = fx->service.readLine().trimmed();
        if (line.startsWith("PORT ")) fx->port = line.mid(5).toInt();
    }
    fx->url = QStringLiteral("http://127.0.0.1:%1/files/big.bin").arg(fx->port);
    return fx->port != 0;
}

void BM_UpdaterDownloadFile(benchmark::State& state) {
    net::HttpClient http(30000);
    RecordingMessages messages;
    const QString target = fx->dir.filePath(QStringLiteral("updater/big.bin"));
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        upd::Downloader d(http, messages, nullptr, nullptr);
        if (d.DownloadFile(fx->url, target, 0) != upd::DownloadEnd::Complete)
            state.SkipWithError("download failed");
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        fx->updaterSeconds << seconds;
        state.SetIterationTime(seconds);
    }
    if (QFileInfo(target).size() != fx->size) state.SkipWithError("wrong size");
    state.SetBytesProcessed(state.iterations() * fx->size);
}

void BM_CurlSameRanges(benchmark::State& state) {
    const QString config = fx->dir.filePath(QStringLiteral("curl.cfg"));
    {
        QFile f(config);
        f.open(QIODevice::WriteOnly);
        for (qint64 n = 0; n < fx->size; n += upd::kSliceSize) {
            if (n) f.write("next\n");
            f.write(QStringLiteral("url = \"%1\"\nrange = \"%2-%3\"\noutput = \"/dev/null\"\n")
                        .arg(fx->url)
                        .arg(n)
                        .arg(n + upd::kSliceSize)
                        .toUtf8());
        }
    }
    for (auto _ : state) {
        QElapsedTimer t;
        t.start();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-sS"), QStringLiteral("-K"), config});
        if (!curl.waitForFinished(600000) || curl.exitCode() != 0)
            state.SkipWithError("curl failed");
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        fx->curlSeconds << seconds;
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(state.iterations() * fx->size);
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Fixture fixture;
    fx = &fixture;
    const QByteArray mb = qgetenv("WS_BENCH_MB");
    fixture.size = (mb.isEmpty() ? 20 : mb.toLongLong()) * 1024 * 1024;
    const QByteArray source = qgetenv("WS_SOURCE_DIR");
    if (!startService(source.isEmpty() ? WS_SOURCE_DIR_BUILT : source.constData())) {
        std::fprintf(stderr, "update service did not start\n");
        return 1;
    }
    const long baseKb = peakKb();
    // Interleaved, so that both see the same load on the machine.
    for (int round = 0; round < 3; ++round) {
        benchmark::RegisterBenchmark("UpdaterDownloadFile", BM_UpdaterDownloadFile)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark("CurlSameRanges", BM_CurlSameRanges)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("file %lld bytes in %lld slices\n", fixture.size,
                (fixture.size + upd::kSliceSize - 1) / upd::kSliceSize);
    const double updater = median(fixture.updaterSeconds);
    const double curl = median(fixture.curlSeconds);
    std::printf("updater %.3f s, curl %.3f s (medians of %lld runs), ratio %.2f\n", updater, curl,
                qsizetype(fixture.curlSeconds.size()), curl > 0 ? updater / curl : 0.0);
    std::printf("peak memory %.1f MB (%.1f MB before the downloads)\n", peakKb() / 1024.0,
                baseKb / 1024.0);
    fixture.service.kill();
    fixture.service.waitForFinished(3000);
    return 0;
}
