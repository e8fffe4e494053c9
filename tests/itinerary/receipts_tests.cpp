// The receipt log: rows and the next check code together, filters, spoiled forms, the CSV
// export read back, schema versions, and a writer killed in the middle of its writes.
#include "itinerary/receipts/receipt_log.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QSet>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <utility>

using namespace itin;

namespace {

Receipt receipt(int n, const QDateTime& at = QDateTime(QDate(2026, 3, 1), QTime(9, 0))) {
    Receipt r;
    r.printedAt = at;
    r.checkCode = QStringLiteral("%1").arg(n, 4, 10, QLatin1Char('0'));
    r.passenger = QStringLiteral("旅客%1").arg(n);
    r.ticketNumber = QStringLiteral("999-%1").arg(n);
    r.pnr = QStringLiteral("HX3K8M");
    r.total = QStringLiteral("CNY 1230.00");
    r.mode = QStringLiteral("国内");
    r.target = QStringLiteral("default");
    return r;
}

// Started again by the crash test as a child: logs receipts until it is killed.
const int kWriter = [] {
    const QByteArray path = qgetenv("WS_RECEIPT_WRITER");
    if (path.isEmpty()) return 0;
    ReceiptLog log;
    if (!log.open(QString::fromLocal8Bit(path))) std::_Exit(3);
    for (int n = 1; n < 1000000; ++n) {
        if (!log.record(receipt(n), receipt(n + 1).checkCode)) {
            std::fputs(qPrintable(log.error()), stderr);
            std::_Exit(4);
        }
        if (n == 5) {
            std::puts("READY");
            std::fflush(stdout);
        }
    }
    std::_Exit(0);
}();

// Started twice at once by the two-process test: 30 receipts on the log's next codes.
const int kTaker = [] {
    const QByteArray path = qgetenv("WS_RECEIPT_TAKER");
    if (path.isEmpty()) return 0;
    ReceiptLog log;
    log.setPath(QString::fromLocal8Bit(path));
    for (int n = 0; n < 30; ++n) {
        QList<Receipt> rows = {receipt(0)};
        if (!log.reserve(rows, CodeSource::LogNext, false) ||
            !log.finish({{rows[0].id, true, {}}})) {
            std::fputs(qPrintable(log.error()), stderr);
            std::_Exit(4);
        }
    }
    std::_Exit(0);
}();

// Reads a CSV text back into rows of fields (quotes, doubled quotes, CR LF).
QList<QStringList> readCsv(const QString& text) {
    QList<QStringList> rows(1);
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        const bool lineEnd = c == u'\r' && text.mid(i + 1, 1) == u"\n";
        if (c == u'"' && quoted && text.mid(i + 1, 1) == u"\"")
            field += text.at(++i);
        else if (c == u'"')
            quoted = !quoted;
        else if (!quoted && (c == u',' || lineEnd))
            rows.last() << std::exchange(field, QString());
        else
            field += c;
        if (!quoted && lineEnd) {
            rows.append(QStringList());
            ++i;
        }
    }
    rows.removeLast(); // an unfinished line
    return rows;
}

// Runs statements on the log's file directly, as an older version or a checker would;
// gives the first value the last one answered.
QString onFile(const QString& path, const QStringList& statements) {
    QString answer;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw");
        db.setDatabaseName(path);
        EXPECT_TRUE(db.open());
        QSqlQuery q(db);
        for (const QString& statement : statements)
            EXPECT_TRUE(q.exec(statement)) << statement.toStdString();
        if (q.next()) answer = q.value(0).toString();
    }
    QSqlDatabase::removeDatabase("raw");
    return answer;
}

} // namespace

TEST(ReceiptLog, RowsAndNextCheckCodeCarryOnAcrossOpenings) {
    QTemporaryDir dir;
    const QString path = dir.filePath(LogFileName());
    {
        ReceiptLog log;
        ASSERT_TRUE(log.open(path)) << log.error().toStdString();
        EXPECT_EQ(log.nextCheckCode(), QString());
        const QDate day(2026, 3, 1);
        for (int n = 41; n <= 43; ++n)
            ASSERT_TRUE(log.record(receipt(n, QDateTime(day.addDays(n - 41), QTime(9, 0))),
                                   receipt(n + 1).checkCode));
    }
    ReceiptLog log;
    ASSERT_TRUE(log.open(path));
    EXPECT_EQ(log.schemaVersion(), 4);
    EXPECT_EQ(log.nextCheckCode(), QStringLiteral("0044"));
    EXPECT_TRUE(log.contains(QStringLiteral(" 0042 ")));
    EXPECT_FALSE(log.contains(QStringLiteral("0044")));

    const QList<Receipt> all = log.list();
    ASSERT_EQ(all.size(), 3);
    EXPECT_EQ(all[0].checkCode, QStringLiteral("0043")); // newest first
    Receipt expected = receipt(41);
    expected.id = all[2].id;
    expected.workstation = log.counter(); // every local row is this counter's
    EXPECT_EQ(all[2], expected);

    Filter days;
    days.from = QDate(2026, 3, 2);
    days.to = QDate(2026, 3, 2);
    ASSERT_EQ(log.list(days).size(), 1);
    EXPECT_EQ(log.list(days)[0].checkCode, QStringLiteral("0042"));
    Filter ticket;
    ticket.ticketNumber = QStringLiteral("999-43");
    EXPECT_EQ(log.list(ticket).size(), 1);
    Filter code;
    code.checkCode = QStringLiteral("0041");
    code.pnr = QStringLiteral("HX3K8M");
    EXPECT_EQ(log.list(code).size(), 1);
    code.pnr = QStringLiteral("OTHER1");
    EXPECT_TRUE(log.list(code).isEmpty());

    EXPECT_TRUE(log.markSpoiled(all[1].id));
    EXPECT_TRUE(log.find(all[1].id)->spoiled);
    EXPECT_FALSE(log.markSpoiled(99999));
}

TEST(ReceiptLog, CsvOpensBackWithItsChineseAndCommas) {
    Receipt odd = receipt(7);
    odd.passenger = QStringLiteral("张三, \"小张\"");
    odd.route = QStringLiteral("北京 T3 - 上海虹桥 T2");
    odd.spoiled = true;
    odd.idNumber = QStringLiteral("=HYPERLINK(\"x\")");
    odd.total = QStringLiteral("-1+2");
    odd.target = QStringLiteral("@SUM(A1)");
    odd.workstation = QStringLiteral("柜台1");
    const QByteArray csv = ToCsv({odd, receipt(8)});
    ASSERT_TRUE(csv.startsWith("\xEF\xBB\xBF"));
    const QList<QStringList> rows = readCsv(QString::fromUtf8(csv.mid(3)));
    ASSERT_EQ(rows.size(), 3);
    EXPECT_EQ(rows[0].value(1), QStringLiteral("验证码"));
    EXPECT_EQ(rows[1], QStringList({"2026-03-01 09:00:00", "0007", odd.passenger,
                                    "'" + odd.idNumber, "999-7", "HX3K8M", odd.route, "'-1+2",
                                    QStringLiteral("国内"), "'@SUM(A1)", QStringLiteral("是"),
                                    QStringLiteral("已打印"), odd.workstation}));
    EXPECT_EQ(rows[2].value(2), QStringLiteral("旅客8"));

    // The streamed export writes what the list gives.
    QTemporaryDir dir;
    ReceiptLog log;
    ASSERT_TRUE(log.open(dir.filePath(LogFileName())));
    ASSERT_TRUE(log.record(odd, "0008") && log.record(receipt(8), "0009"));
    QByteArray streamed;
    qint64 count = 0;
    ASSERT_TRUE(log.exportCsv(
        {}, [&](const QByteArray& piece) { return streamed += piece, true; }, &count));
    EXPECT_EQ(streamed, ToCsv(log.list()));
    EXPECT_EQ(count, 2);
}

TEST(ReceiptLog, OlderFilesAreMigratedAndNewerOnesRefused) {
    QTemporaryDir dir;
    const QString path = dir.filePath(LogFileName());
    onFile(path,
           {"CREATE TABLE receipts (id INTEGER PRIMARY KEY AUTOINCREMENT,"
            " printed_at TEXT NOT NULL, check_code TEXT NOT NULL, passenger TEXT,"
            " id_number TEXT, ticket_number TEXT, pnr TEXT, route TEXT, total TEXT,"
            " mode TEXT, target TEXT, spoiled INTEGER NOT NULL DEFAULT 0)",
            "CREATE TABLE state (key TEXT PRIMARY KEY, value TEXT)",
            "INSERT INTO receipts (printed_at, check_code) VALUES ('2026-03-01T09:00:00', '0041')",
            "INSERT INTO receipts (printed_at, check_code) VALUES ('2026-03-01T09:05:00', '41')",
            "PRAGMA user_version = 1"});
    {
        ReceiptLog log;
        ASSERT_TRUE(log.open(path)) << log.error().toStdString();
        EXPECT_EQ(log.schemaVersion(), 4);
        EXPECT_TRUE(log.contains("0041"));
        const QList<Receipt> rows = log.list();
        ASSERT_EQ(rows.size(), 2);
        EXPECT_FALSE(PrintedFields(rows[0]));
        EXPECT_TRUE(rows[0].reused); // the older repeat is kept, as a reprint
        QList<Receipt> again = {receipt(41)};
        EXPECT_FALSE(log.reserve(again, CodeSource::Given, false));
        ASSERT_TRUE(log.record(receipt(42), "0043"));
        EXPECT_EQ(log.list().size(), 3);
    }
    onFile(path, {"PRAGMA user_version = 99"});
    ReceiptLog log;
    EXPECT_FALSE(log.open(path));
    EXPECT_TRUE(log.error().contains(QStringLiteral("receipts.db")));
}

TEST(ReceiptLog, WriterKilledMidWriteLeavesAWholeLog) {
    QTemporaryDir dir;
    const QString path = dir.filePath(LogFileName());
    QProcess writer;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("WS_RECEIPT_WRITER", path);
    writer.setProcessEnvironment(env);
    writer.start(QCoreApplication::applicationFilePath(), {"--gtest_list_tests"});
    ASSERT_TRUE(writer.waitForReadyRead(20000));
    ASSERT_TRUE(writer.readAll().contains("READY"));
    QThread::msleep(150);
    writer.kill();
    ASSERT_TRUE(writer.waitForFinished(5000));

    ReceiptLog log;
    ASSERT_TRUE(log.open(path)) << log.error().toStdString();
    const QList<Receipt> rows = log.list();
    ASSERT_GE(rows.size(), 5);
    // The last row and the next check code were written together.
    EXPECT_EQ(log.nextCheckCode(), receipt(int(rows.size()) + 1).checkCode);
    EXPECT_EQ(rows.first().checkCode, receipt(int(rows.size())).checkCode);
    EXPECT_EQ(onFile(path, {"PRAGMA integrity_check"}), QStringLiteral("ok"));
}

TEST(ReceiptLog, CodesAndDaysAreReadAsAgentsTypeThem) {
    const std::pair<const char*, std::optional<int>> codes[] = {
        {"41", 41},    {"041", 41}, {"0041", 41}, {" 0041 ", 41}, {"0", 0},    {"9999", 9999},
        {"00041", {}}, {"abc", {}}, {"", {}},     {"4 1", {}},    {"-41", {}}, {"4a", {}}};
    for (const auto& [text, number] : codes)
        EXPECT_EQ(CheckCodeNumber(QString::fromUtf8(text)), number) << text;
    EXPECT_EQ(CheckCodeNumber(QStringLiteral("００４１")), 41);

    const std::pair<const char*, QDate> days[] = {{"2026-03-01", {2026, 3, 1}},
                                                  {"2026/3/1", {2026, 3, 1}},
                                                  {"20260301", {2026, 3, 1}},
                                                  {"2026-3-2", {2026, 3, 2}},
                                                  {"2026.03.02", {2026, 3, 2}},
                                                  {" 2026/12/31 ", {2026, 12, 31}},
                                                  {"2026-13-01", {}},
                                                  {"2026-02-30", {}},
                                                  {"3/1/2026", {}},
                                                  {"202631", {}},
                                                  {"yesterday", {}},
                                                  {"", {}}};
    for (const auto& [text, day] : days)
        EXPECT_EQ(ParseDay(QString::fromUtf8(text)), day) << text;
}

TEST(ReceiptLog, CodesAreTakenOnceAndTheCounterOnlyMovesForward) {
    QTemporaryDir dir;
    ReceiptLog log;
    log.setPath(dir.filePath(LogFileName())); // opened by its first use
    struct Step {
        CodeSource source;
        QString first; // the typed code
        int rows;
        bool reuse;
        QStringList taken; // empty: refused
        QString error;
        QString next;
    };
    const auto G = CodeSource::Given, N = CodeSource::GivenThenNext;
    const Step steps[] = {
        {CodeSource::LogNext, "", 1, false, {}, QStringLiteral("请填写验证码!"), ""},
        {G, "0041", 1, false, {"0041"}, "", "0042"},
        {CodeSource::LogNext, "", 2, false, {"0042", "0043"}, "", "0044"},
        {G, "41", 1, false, {}, DuplicateCheckCodeMessage("41"), "0044"},
        {G, "043", 2, false, {}, DuplicateCheckCodeMessage("043"), "0044"},
        {G, QStringLiteral("００４１"), 1, true, {QStringLiteral("００４１")}, "", "0044"},
        {G, "abc", 1, true, {}, QStringLiteral("验证码只能是1到4位数字"), "0044"},
        {G, "12345", 1, true, {}, QStringLiteral("验证码只能是1到4位数字"), "0044"},
        {G, "0050", 1, false, {"0050"}, "", "0051"},
        {G, "45", 1, false, {"45"}, "", "0051"}, // a free code below the counter
        {CodeSource::LogNext, "", 1, false, {"0051"}, "", "0052"},
        {N, "0047", 2, false, {"0047", "0052"}, "", "0053"}, // then the counter's
        {N, "0041", 2, true, {"0041", "0053"}, "", "0054"},  // a reprint leaves it
        {G, "9999", 1, false, {"9999"}, "", "1000"},
    };
    for (const Step& step : steps) {
        QList<Receipt> rows;
        for (int i = 0; i < step.rows; ++i)
            rows << receipt(0);
        rows[0].checkCode = step.first;
        const bool ok = log.reserve(rows, step.source, step.reuse);
        EXPECT_EQ(ok, !step.taken.isEmpty()) << step.first.toStdString();
        if (ok) {
            QStringList taken;
            for (const Receipt& r : rows)
                taken << r.checkCode;
            EXPECT_EQ(taken, step.taken);
        } else {
            EXPECT_EQ(log.error(), step.error);
        }
        EXPECT_EQ(log.nextCheckCode(), step.next) << step.first.toStdString();
    }
    const QList<Receipt> all = log.list();
    ASSERT_EQ(all.size(), 12);
    EXPECT_EQ(all.last().status, ReceiptStatus::Reserved);
    // A failed page gives its code back, to the counter too when it was the last it gave;
    // the rule on codes is the database's own.
    EXPECT_TRUE(log.finish({{all[0].id, false, QStringLiteral("缺纸")}}));
    EXPECT_FALSE(log.contains("9999"));
    EXPECT_EQ(log.find(all[0].id)->reason, QStringLiteral("缺纸"));
    EXPECT_EQ(log.nextCheckCode(), "9999");
    EXPECT_TRUE(log.finish({{all[1].id, false, QStringLiteral("卡纸")}}));
    EXPECT_EQ(log.nextCheckCode(), "9999");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "raw-insert");
        db.setDatabaseName(dir.filePath(LogFileName()));
        ASSERT_TRUE(db.open());
        QSqlQuery q(db);
        EXPECT_FALSE(q.exec("INSERT INTO receipts (printed_at, check_code, code_number)"
                            " VALUES ('2026-03-01T09:00:00', '0050', 50)"));
        EXPECT_TRUE(q.exec("INSERT INTO receipts (printed_at, check_code, code_number)"
                           " VALUES ('2026-03-01T09:00:00', '9999', 9999)"));
    }
    QSqlDatabase::removeDatabase("raw-insert");

    Filter endOfTime;
    endOfTime.to = QDate(9999, 12, 31);
    EXPECT_EQ(log.count(endOfTime), 13);
}

TEST(ReceiptLog, TwoProcessesNeverTakeTheSameCode) {
    QTemporaryDir dir;
    const QString path = dir.filePath(LogFileName());
    {
        ReceiptLog log;
        ASSERT_TRUE(log.open(path) && log.setNextCheckCode("0001"));
    }
    QProcess takers[2];
    for (QProcess& p : takers) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("WS_RECEIPT_TAKER", path);
        p.setProcessEnvironment(env);
        p.start(QCoreApplication::applicationFilePath(), {"--gtest_list_tests"});
    }
    for (QProcess& p : takers) {
        ASSERT_TRUE(p.waitForFinished(60000));
        EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    }
    ReceiptLog log;
    ASSERT_TRUE(log.open(path));
    QSet<QString> codes;
    for (const Receipt& r : log.list())
        codes << r.checkCode;
    EXPECT_EQ(codes.size(), 60);
    EXPECT_EQ(log.nextCheckCode(), "0061");
}

TEST(ReceiptLog, EveryErrorNamesItsCause) {
    QTemporaryDir dir;
    const QString damaged = dir.filePath("damaged.db");
    QFile garbage(damaged);
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(4096, 'x'));
    garbage.close();
    const QString locked = dir.filePath("locked.db");
    {
        ReceiptLog log;
        ASSERT_TRUE(log.open(locked));
    }
    QSqlDatabase holder = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "holder");
    holder.setDatabaseName(locked);
    ASSERT_TRUE(holder.open());
    QSqlQuery hold(holder);
    ASSERT_TRUE(hold.exec("BEGIN IMMEDIATE"));
    const std::pair<QString, const char*> cases[] = {
        {damaged, "file is not a database"},
        {dir.path(), "unable to open"}, // a folder where the file should be
        {locked, "database is locked"},
    };
    for (const auto& [path, cause] : cases) {
        ReceiptLog log;
        log.setPath(path);
        QList<Receipt> rows = {receipt(41)};
        EXPECT_FALSE(log.reserve(rows, CodeSource::Given, false));
        EXPECT_TRUE(log.error().startsWith(QStringLiteral("打印记录 receipts.db 出错：")));
        EXPECT_TRUE(log.error().contains(QLatin1String(cause), Qt::CaseInsensitive))
            << log.error().toStdString();
    }
    hold.exec("ROLLBACK");
    holder.close();
    hold = QSqlQuery();
    holder = QSqlDatabase();
    QSqlDatabase::removeDatabase("holder");
}
