// Downloads a 20 MB file from the local update service through the updater's downloader
// and, in the same run, the same 20481-byte ranges one after another on one connection
// with curl; twice: with a service that delays every reply by 20 ms (a real link) and on
// plain loopback. Prints the times, curl's time over the updater's for each, the service's
// CPU time per download for each client, and the peak memory of this process. WS_BENCH_MB sets
// another file size, WS_BENCH_IN_FLIGHT another number of slices in flight.
#include "common/messages.h"
#include "common/net/http_client.h"
#include "update/downloader.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>

#include <unistd.h>

namespace {

// One local update service and the times measured against it.
struct Link {
    QProcess service;
    QString url;
    QList<double> updaterSeconds;
    QList<double> curlSeconds;
    QList<double> updaterServiceCpu; // the service's CPU seconds while it served the updater
    QList<double> curlServiceCpu;
};

struct Fixture {
    QTemporaryDir dir;
    qint64 size = 0;
    Link delayed; // every reply 20 ms late
    Link loopback;
};
Fixture* fx = nullptr;

double median(QList<double> v) {
    if (v.isEmpty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// User and system CPU seconds the process has used so far.
double cpuSeconds(qint64 pid) {
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) return 0;
    const QByteArray stat = f.readAll();
    // Fields after the command name (which may hold blanks): utime and stime are 12 and 13.
    const QList<QByteArray> fields = stat.mid(stat.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 13) return 0;
    return double(fields[11].toLongLong() + fields[12].toLongLong()) / double(sysconf(_SC_CLK_TCK));
}

long peakKb() {
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly)) return -1;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmHWM:")) return line.mid(6).trimmed().split(' ').first().toLong();
    return -1;
}

bool writeBigFile(const QString& root) {
    QDir().mkpath(root);
    QFile big(root + QStringLiteral("/big.bin"));
    if (!big.open(QIODevice::WriteOnly)) return false;
    QByteArray block(1 << 20, Qt::Uninitialized);
    for (qsizetype i = 0; i < block.size(); ++i)
        block[i] = char(i * 131 + i / 977);
    for (qint64 written = 0; written < fx->size; written += block.size())
        big.write(block.constData(), qMin<qint64>(block.size(), fx->size - written));
    return true;
}

bool startService(Link& link, const QString& sourceDir, const QString& root, int delayMs) {
    link.service.start(QStringLiteral(WS_PYTHON),
                       {sourceDir + QStringLiteral("/tests/sites/update_service.py"),
                        QStringLiteral("--root"), root, QStringLiteral("--delay-ms"),
                        QString::number(delayMs)});
    int port = 0;
    for (int i = 0; i < 100 && port == 0; ++i) {
        if (!link.service.canReadLine() && !link.service.waitForReadyRead(100)) continue;
        const QByteArray line = link.service.readLine().trimmed();
        if (line.startsWith("PORT ")) port = line.mid(5).toInt();
    }
    link.url = QStringLiteral("http://127.0.0.1:%1/files/big.bin").arg(port);
    return port != 0;
}

void BM_UpdaterDownloadFile(benchmark::State& state, Link* link) {
    net::HttpClient http(30000);
    common::RecordingMessages messages;
    const QString target = fx->dir.filePath(QStringLiteral("updater/big.bin"));
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(link->service.processId());
        QElapsedTimer t;
        t.start();
        upd::DownloadLimits limits;
        const QByteArray inFlight = qgetenv("WS_BENCH_IN_FLIGHT"); // to compare window sizes
        if (!inFlight.isEmpty()) limits.slicesInFlight = inFlight.toInt();
        upd::Downloader d(http, messages, nullptr, nullptr, limits);
        if (d.downloadFile(link->url, target, 0) != upd::DownloadEnd::Complete)
            state.SkipWithError("download failed");
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        link->updaterSeconds << seconds;
        link->updaterServiceCpu << cpuSeconds(link->service.processId()) - cpuBefore;
        state.SetIterationTime(seconds);
    }
    if (QFileInfo(target).size() != fx->size) state.SkipWithError("wrong size");
    state.SetBytesProcessed(state.iterations() * fx->size);
}

void BM_CurlSameRanges(benchmark::State& state, Link* link) {
    const QString config = fx->dir.filePath(QStringLiteral("curl.cfg"));
    {
        QFile f(config);
        f.open(QIODevice::WriteOnly);
        for (qint64 n = 0; n < fx->size; n += upd::kSliceSize) {
            if (n) f.write("next\n");
            f.write(QStringLiteral("url = \"%1\"\nrange = \"%2-%3\"\noutput = \"/dev/null\"\n")
                        .arg(link->url)
                        .arg(n)
                        .arg(n + upd::kSliceSize)
                        .toUtf8());
        }
    }
    for (auto _ : state) {
        const double cpuBefore = cpuSeconds(link->service.processId());
        QElapsedTimer t;
        t.start();
        QProcess curl;
        curl.start(QStringLiteral("curl"), {QStringLiteral("-sS"), QStringLiteral("-K"), config});
        if (!curl.waitForFinished(600000) || curl.exitCode() != 0)
            state.SkipWithError("curl failed");
        const double seconds = double(t.nsecsElapsed()) / 1e9;
        link->curlSeconds << seconds;
        link->curlServiceCpu << cpuSeconds(link->service.processId()) - cpuBefore;
        state.SetIterationTime(seconds);
    }
    state.SetBytesProcessed(state.iterations() * fx->size);
}

void registerPair(const char* name, Link* link, int rounds) {
    // Interleaved, so that both see the same load on the machine.
    for (int round = 0; round < rounds; ++round) {
        benchmark::RegisterBenchmark((QByteArray("Updater/") + name).constData(),
                                     BM_UpdaterDownloadFile, link)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark((QByteArray("CurlSameRanges/") + name).constData(),
                                     BM_CurlSameRanges, link)
            ->UseManualTime()
            ->Iterations(1)
            ->Unit(benchmark::kMillisecond);
    }
}

void report(const char* name, const Link& link) {
    const double updater = median(link.updaterSeconds);
    const double curl = median(link.curlSeconds);
    std::printf("%s: updater %.3f s, curl %.3f s (medians), curl/updater %.2f\n", name, updater,
                curl, updater > 0 ? curl / updater : 0.0);
    std::printf("%s: service CPU per download %.3f s for the updater, %.3f s for curl\n", name,
                median(link.updaterServiceCpu), median(link.curlServiceCpu));
}

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    Fixture fixture;
    fx = &fixture;
    const QByteArray mb = qgetenv("WS_BENCH_MB");
    fixture.size = (mb.isEmpty() ? 20 : mb.toLongLong()) * 1024 * 1024;
    const QByteArray source = qgetenv("WS_SOURCE_DIR");
    const QString sourceDir =
        QString::fromLocal8Bit(source.isEmpty() ? WS_SOURCE_DIR_BUILT : source);
    const QString root = fixture.dir.filePath(QStringLiteral("served"));
    if (!writeBigFile(root) || !startService(fixture.delayed, sourceDir, root, 20) ||
        !startService(fixture.loopback, sourceDir, root, 0)) {
        std::fprintf(stderr, "update service did not start\n");
        return 1;
    }
    const long baseKb = peakKb();
    registerPair("delay20ms", &fixture.delayed, 2);
    registerPair("loopback", &fixture.loopback, 3);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::printf("file %lld bytes in %lld slices\n", fixture.size,
                (fixture.size + upd::kSliceSize - 1) / upd::kSliceSize);
    report("20 ms per reply", fixture.delayed);
    report("loopback", fixture.loopback);
    std::printf("peak memory %.1f MB (%.1f MB before the downloads)\n", peakKb() / 1024.0,
                baseKb / 1024.0);
    for (Link* link : {&fixture.delayed, &fixture.loopback}) {
        link->service.kill();
        link->service.waitForFinished(3000);
    }
    return 0;
}
