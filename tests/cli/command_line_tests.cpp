// The command lines of both programs, run as the real programs without a display: help,
// version, and options that do not make a run end at once with exit status 2.
#include "common/deploy_config.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

struct ProgramRun {
    int exitCode = -1;
    QString out, err;
};

ProgramRun run(const QString& program, const QStringList& args) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // No window system: a run that tried to open a window would fail differently.
    env.remove("DISPLAY");
    env.remove("WAYLAND_DISPLAY");
    env.remove("QT_QPA_PLATFORM");
    p.setProcessEnvironment(env);
    p.start(qEnvironmentVariable("WS_BIN_DIR") + "/" + program, args);
    ProgramRun r;
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
        return r;
    }
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    r.out = QString::fromUtf8(p.readAllStandardOutput());
    r.err = QString::fromUtf8(p.readAllStandardError());
    return r;
}

} // namespace

TEST(CommandLine, HelpVersionAndOptionsThatCannotRun) {
    struct Case {
        QString program;
        QStringList args;
        int exitCode;
        QString err; // the one line on standard error ("" none)
    };
    const QList<Case> cases{
        {"print", {"--bogus"}, 2, "print: Unknown option 'bogus'."},
        {"print", {"--pdf", "out.pdf"}, 2, "print: --pdf needs --pnr"},
        {"print", {"--printer", "default"}, 2, "print: --printer needs --pnr"},
        {"print",
         {"--check-code", "0041"},
         2,
         "print: --check-code needs --pdf, --printer or --preview"},
        {"print",
         {"--pnr", "b.txt", "--check-code", "0041"},
         2,
         "print: --check-code needs --pdf, --printer or --preview"},
        {"print", {"--reprint"}, 2, "print: --reprint needs --pdf or --printer"},
        {"print", {"--dpi", "300"}, 2, "print: --dpi needs --preview"},
        {"print", {"--from", "2026-03-01"}, 2, "print: --from needs --receipts"},
        {"print", {"--platform-pnr", "HX3K8M"}, 2, "print: --platform-pnr needs --order-page"},
        {"print", {"--sms", "1"}, 2, "print: --sms needs --pnr"},
        {"print",
         {"--international"},
         2,
         "print: --international needs --form, --pdf, --printer or --preview"},
        {"print",
         {"booking.txt"},
         2,
         "print: booking.txt needs an option before it, such as --pnr"},
        {"update", {"--bogus"}, 2, "update: Unknown option 'bogus'."},
        {"update",
         {"list.xml"},
         2,
         "update: unexpected argument list.xml (update takes options only)"},
        {"update",
         {"--now", "yesterday"},
         2,
         "update: --now needs a date such as 2026-03-01T09:00:00"},
        {"update", {"--register-mode", "U"}, 2, "update: --register-mode needs --register"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.program + " " + c.args.join(' ')).toStdString());
        const ProgramRun r = run(c.program, c.args);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.err, c.err + "\n");
        EXPECT_EQ(r.out, QString());
    }

    for (const QString program : {"print", "update"}) {
        SCOPED_TRACE(program.toStdString());
        for (const QString option : {"--help", "-h", "--help-all"}) {
            const ProgramRun help = run(program, {option});
            EXPECT_EQ(help.exitCode, 0);
            EXPECT_TRUE(help.out.startsWith("Usage: " + program + " [options]"))
                << help.out.toStdString();
            EXPECT_TRUE(help.out.contains("\nExamples:\n  " + program + "\n"));
            EXPECT_TRUE(help.out.contains("--version"));
        }
        // One version in both programs and in the caption's default.
        const ProgramRun version = run(program, {"--version"});
        EXPECT_EQ(version.exitCode, 0);
        EXPECT_EQ(version.out, program + " 9.0\n");
        EXPECT_EQ(common::DeployConfig().value("ProductVersion"), "V9.0");
    }
}

TEST(CommandLine, VendorRequestNamesTheAddressAndTheErrorWhenNoReplyComes) {
    QTemporaryDir dir;
    QFile ini(dir.filePath("deploy.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[deploy]\nVendorServiceUrl=http://127.0.0.1:1/service.asp\n");
    ini.close();
    const ProgramRun r =
        run("print", {"--data-dir", dir.path(), "--vendor-request", "s=0&u=demo01"});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.out, "no reply from http://127.0.0.1:1/service.asp: Connection refused\n");
}
