// Component registration in a child process with a time limit.
#include "tests/update/update_service.h"
#include "update/registrar.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <csignal>

#include <gtest/gtest.h>

using namespace upd;

namespace {

QString helper() {
    return BinDir() + QStringLiteral("/update");
}

class RegisterTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("WS_REG_MARKER", marker().toLocal8Bit()); }
    void TearDown() override { qunsetenv("WS_REG_MARKER"); }
    QString marker() const { return dir.filePath(QStringLiteral("marker")); }
    // A copy under a Windows-style component name, as the update lists deliver them.
    QString component(const char* built, const char* name) const {
        const QString to = dir.filePath(QString::fromLatin1(name));
        QFile::copy(QString::fromLocal8Bit(built), to);
        return to;
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(RegisterTest, RunsTheEntryPointsOfALibrary) {
    const QString path = component(WS_REG_MARKER_LIB, "marker.ocx");
    Registrar r(helper());
    QList<bool> busy;
    r.setBusyHook([&](bool b) { busy << b; });
    EXPECT_EQ(r.registerComponent(path, QString()), RegisterOutcome::Registered);
    EXPECT_TRUE(QString::fromLatin1(ReadAll(marker())).startsWith("registered "));
    EXPECT_EQ(busy, (QList<bool>{true, false}));
    EXPECT_EQ(r.registerComponent(path, QStringLiteral("u")), RegisterOutcome::Registered);
    EXPECT_TRUE(QString::fromLatin1(ReadAll(marker())).startsWith("unregistered "));
    QFile::remove(marker());
    EXPECT_EQ(r.registerComponent(path, QStringLiteral("x")), RegisterOutcome::BadMode);
    EXPECT_FALSE(QFileInfo::exists(marker()));
}

TEST_F(RegisterTest, TheEntryPointsAnswerDecidesAndIsKept) {
    const QString path = component(WS_REG_HRESULT_LIB, "answer.ocx");
    const struct {
        const char* answer;
        RegisterOutcome outcome;
    } cases[] = {{"00040201", RegisterOutcome::Registered}, // a success code other than S_OK
                 {"80004005", RegisterOutcome::Failed}};
    Registrar r(helper());
    for (const auto& c : cases) {
        qputenv("WS_REG_ANSWER", c.answer);
        EXPECT_EQ(r.registerComponent(path, QString()), c.outcome) << c.answer;
        EXPECT_EQ(quint32(r.lastHresult()), QByteArray(c.answer).toUInt(nullptr, 16));
    }
    qunsetenv("WS_REG_ANSWER");
}

TEST_F(RegisterTest, NonLibrariesAndMissingEntryPointsAreLeftAlone) {
    Registrar r(helper());
    const QString text = dir.filePath(QStringLiteral("readme.dll"));
    WriteAll(text, "not a library");
    EXPECT_EQ(r.registerComponent(text, QString()), RegisterOutcome::NotLibrary);
    EXPECT_EQ(r.registerComponent(dir.filePath(QStringLiteral("absent.dll")), QString()),
              RegisterOutcome::NotLibrary);
    EXPECT_EQ(r.registerComponent(component(WS_REG_NONE_LIB, "none.dll"), QString()),
              RegisterOutcome::NoEntryPoint);
    EXPECT_FALSE(QFileInfo::exists(marker()));
    Registrar missing(dir.filePath(QStringLiteral("no-such-helper")));
    EXPECT_EQ(missing.registerComponent(text, QString()), RegisterOutcome::HelperFailed);
}

TEST_F(RegisterTest, HangingEntryPointIsEndedAfterTheLimit) {
    Registrar r(helper(), {}, 800);
    QElapsedTimer t;
    t.start();
    EXPECT_EQ(r.registerComponent(component(WS_REG_HANG_LIB, "hang.ocx"), QString()),
              RegisterOutcome::TimedOut);
    EXPECT_GE(t.elapsed(), 700);
    EXPECT_LT(t.elapsed(), 5000);
    // The process that ran the entry point is gone.
    const int pid = ReadAll(marker()).toInt();
    ASSERT_GT(pid, 0);
    EXPECT_NE(::kill(pid, 0), 0);
}

TEST(Elevation, AskedForOnlyWhereTheTargetsNeedIt) {
    const struct {
        QStringList targets;
        bool appWritable, needed;
    } cases[] = {{{"{app}\\print.exe"}, true, false},
                 {{"{app}\\print.exe"}, false, true},
                 {{"{app}\\a.dll", "{sys}\\b.ocx"}, true, true},
                 {{"{font}\\simsun.ttc"}, true, true},
                 {{}, false, false}};
    for (const auto& c : cases) {
        QList<UpdateRow> rows(c.targets.size());
        for (qsizetype i = 0; i < rows.size(); ++i)
            rows[i].listedTo = c.targets[i];
        EXPECT_EQ(NeedsElevation(rows, c.appWritable), c.needed)
            << c.targets.join(' ').toStdString();
    }
}
