// Runs print as a separate process with the dynamic linker reporting every library it loads
// (LD_DEBUG=files), and checks which runs load the web engine (only those that show a page)
// and which load Qt Widgets, Qt Network or libzip (none of the PDF, preview and receipts jobs).
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

struct Loaded {
    bool finished = false;
    int exitCode = -1;
    bool qtCore = false;    // the report works: the program's own Qt is in it
    bool webEngine = false; // a Qt WebEngine library was loaded
    bool desk = false;      // Qt Widgets, Qt Network or libzip was loaded
};

Loaded runPrint(const QStringList& args, bool quitWhenShown, const QTemporaryDir& dir) {
    const QString prefix = dir.filePath(QStringLiteral("ld"));
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LD_DEBUG"), QStringLiteral("files"));
    env.insert(QStringLiteral("LD_DEBUG_OUTPUT"), prefix);
    if (quitWhenShown) env.insert(QStringLiteral("WS_QUIT_WHEN_SHOWN"), QStringLiteral("1"));
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("WS_BIN_DIR") + QStringLiteral("/print"), args);
    Loaded r;
    r.finished = p.waitForFinished(60000);
    if (!r.finished) p.kill(), p.waitForFinished(5000);
    r.exitCode = p.exitCode();
    // One report per process (the engine's helper processes write their own).
    for (const QString& name : QDir(dir.path()).entryList({QStringLiteral("ld.*")})) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly)) continue;
        const QByteArray text = f.readAll();
        r.qtCore = r.qtCore || text.contains("file=libQt6Core.so");
        r.webEngine = r.webEngine || text.contains("libQt6WebEngine");
        r.desk = r.desk || text.contains("libQt6Widgets") || text.contains("libQt6Network") ||
                 text.contains("libzip");
        f.remove();
    }
    return r;
}

TEST(EngineFree, EachRunLoadsOnlyTheLibrariesItUses) {
    QTemporaryDir dir;
    const QString booking = qEnvironmentVariable("WS_SOURCE_DIR") + "/samples/two_passengers.txt";
    const QString workbook =
        qEnvironmentVariable("WS_SOURCE_DIR") + "/tests/import/data/tickets.xlsx";
    QFile page(dir.filePath(QStringLiteral("page.html")));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write("<html><body><p id=a>x</p></body></html>");
    page.close();
    const QString data = dir.filePath(QStringLiteral("data"));
    QDir().mkpath(data);
    const struct {
        const char* what;
        QStringList args;
        bool quitWhenShown;
        bool engine;
        bool desk;
    } runs[] = {
        {"PDF job",
         {"--pnr", booking, "--pdf", dir.filePath("r.pdf"), "--check-code", "0041", "--data-dir",
          data},
         false,
         false,
         false},
        {"preview job",
         {"--pnr", booking, "--preview", dir.filePath("p.png"), "--data-dir", data},
         false,
         false,
         false},
        {"booking as JSON", {"--pnr", booking}, false, false, false},
        {"sheet job", {"--sheet", workbook}, false, false, true},
        {"receipts", {"--receipts", "--data-dir", data}, false, false, false},
        {"SMS text", {"--pnr", booking, "--sms", "1", "--data-dir", data}, false, false, true},
        {"sign-in form", {"--data-dir", data}, true, false, true},
        {"print form alone", {"--form", "--data-dir", data}, true, false, true},
        // The check sees the engine where it is used.
        {"page markup",
         {"--markup", QUrl::fromLocalFile(page.fileName()).toString()},
         false,
         true,
         true},
    };
    for (const auto& run : runs) {
        const Loaded r = runPrint(run.args, run.quitWhenShown, dir);
        EXPECT_TRUE(r.finished) << run.what;
        EXPECT_EQ(r.exitCode, 0) << run.what;
        EXPECT_TRUE(r.qtCore) << run.what;
        EXPECT_EQ(r.webEngine, run.engine) << run.what;
        EXPECT_EQ(r.desk, run.desk) << run.what;
    }
}

} // namespace
