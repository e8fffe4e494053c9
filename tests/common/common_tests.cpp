#include "common/code_page.h"
#include "common/deploy_config.h"
#include "common/fso.h"
#include "common/text_ops.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <sys/stat.h>

TEST(CodePage, GbkRoundTripAndKnownBytes) {
    const QString text = QStringLiteral("啊 ABC 上海浦东");
    const QByteArray gbk = common::ToGbk(text);
    EXPECT_EQ(gbk.left(2), QByteArray("\xB0\xA1")); // 啊 is B0 A1 in GBK
    EXPECT_EQ(common::FromGbk(gbk), text);
}

TEST(CodePage, DetectsUtf8AndGbk) {
    const QString text = QStringLiteral("张三 李四");
    EXPECT_EQ(common::DecodeDetect(text.toUtf8()), text);
    EXPECT_EQ(common::DecodeDetect(common::ToGbk(text)), text);
    EXPECT_EQ(common::DecodeDetect(QByteArray("\xEF\xBB\xBF") + "abc"), QStringLiteral("abc"));
}

TEST(Fso, WritesGbkWithoutBomOrLineEndAndReplacesWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("info.ini"));
    EXPECT_FALSE(common::FileExists(path));
    ASSERT_TRUE(common::WriteTextFile(path, QStringLiteral("<setup>\r\n北京")));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("<setup>\r\n") + common::ToGbk(QStringLiteral("北京")));
    f.close();
    ASSERT_TRUE(common::WriteTextFile(path, QStringLiteral("x")));
    EXPECT_EQ(common::ReadTextFile(path), QStringLiteral("x"));
    EXPECT_TRUE(common::FileExists(path));
    EXPECT_FALSE(common::FileExists(dir.path())); // a folder is not a file
    // No temporary file is left beside it.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("info.ini")});
}

TEST(Fso, FailedWriteKeepsTheOldFile) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("a.txt"));
    ASSERT_TRUE(common::WriteTextFile(path, QStringLiteral("old")));
    QFile::setPermissions(dir.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const bool wrote = common::WriteTextFile(path, QStringLiteral("new"));
    QFile::setPermissions(dir.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (wrote) GTEST_SKIP() << "running with rights that ignore folder permissions";
    EXPECT_EQ(common::ReadTextFile(path), QStringLiteral("old"));
}

TEST(Fso, PasswordFilesOwnerOnlyStaleCopiesGoneReadsBounded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("UP.ini"));
    ASSERT_TRUE(common::WriteTextFile(path, QStringLiteral("old")));
    QFile::setPermissions(path, QFile::permissions(path) | QFileDevice::ReadOther);
    ASSERT_TRUE(common::WriteTextFile(path, QStringLiteral("pw"), common::Access::OwnerOnly));
#ifdef Q_OS_UNIX
    const auto others = QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ReadOther |
                        QFileDevice::WriteOther;
    EXPECT_EQ(QFile::permissions(path) & others, 0);
    EXPECT_TRUE(QFile::permissions(path) & QFileDevice::ReadOwner);
#endif
    // What an interrupted save leaves goes; other files of similar names stay.
    for (const char* name : {"UP.ini.aB3xY9", "UP.ini.bak", "UP.ini.toolong1", "SmsSetup.inf"}) {
        QFile f(dir.filePath(QLatin1String(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    common::RemoveStaleCopies(path);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files, QDir::Name),
              QStringList({"SmsSetup.inf", "UP.ini", "UP.ini.bak", "UP.ini.toolong1"}));

    QByteArray data;
    EXPECT_EQ(common::ReadAtMost(path, 2, data), common::ReadStatus::Ok);
    EXPECT_EQ(data, "pw");
    EXPECT_EQ(common::ReadAtMost(path, 1, data), common::ReadStatus::TooLarge);
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString& p : {fifo, QStringLiteral("/dev/zero"), dir.path()})
        EXPECT_EQ(common::ReadAtMost(p, 4096, data), common::ReadStatus::NotAFile);
    ASSERT_TRUE(common::WriteTextFile(path, QString(common::kMaxSettingsBytes + 1, u'x')));
    QString error;
    EXPECT_EQ(common::ReadTextFile(path, &error), QString());
    EXPECT_TRUE(error.contains(path + " is larger than 1024 KB"));
}

TEST(TextOps, CutsNeverFailAndTrimOnlyBlanks) {
    EXPECT_EQ(common::Mid(QStringLiteral("abc"), 2, 5), QStringLiteral("bc"));
    EXPECT_EQ(common::Mid(QStringLiteral("abc"), 9, 2), QString());
    EXPECT_EQ(common::TrimSpaces(QStringLiteral("  a\r\n ")), QStringLiteral("a\r\n"));
    const std::pair<const char*, const char*> lineEnds[] = {
        {"a\nb\r\nc\rd", "a\r\nb\r\nc\r\nd"},
        {"\r\r\n\n\r", "\r\n\r\n\r\n\r\n"},
        {"ab\r\ncd\r\nef\n", "ab\r\ncd\r\nef\r\n"}, // CR LF before the first other end
        {"\n\n", "\r\n\r\n"},
        {"x\r", "x\r\n"},
        {"a\tb\x0b\nc\x0c", "a\tb\x0b\r\nc\x0c"}, // other control characters stay
        {"", ""}};
    for (const auto& [in, out] : lineEnds)
        EXPECT_EQ(common::ToCrLf(QString::fromLatin1(in)), QString::fromLatin1(out)) << in;
    const QString crLf = QString::fromLatin1("a\r\nb\r\n");
    EXPECT_TRUE(common::ToCrLf(crLf).isSharedWith(crLf)); // nothing to bring: no copy
}

TEST(TextOps, LeadingNumberReadsLeniently) {
    EXPECT_DOUBLE_EQ(common::LeadingNumber(QStringLiteral(" 1 130.00")), 1130.0);
    EXPECT_DOUBLE_EQ(common::LeadingNumber(QStringLiteral("1,130.00")), 1.0);
    EXPECT_DOUBLE_EQ(common::LeadingNumber(QStringLiteral("-1.5abc")), -1.5);
    EXPECT_DOUBLE_EQ(common::LeadingNumber(QStringLiteral("abc")), 0.0);
    EXPECT_DOUBLE_EQ(common::LeadingNumber(QStringLiteral("1e3")), 1000.0);
    EXPECT_DOUBLE_EQ(common::LeadingNumber(QStringLiteral("1e999")), 0.0);
}

TEST(DeployConfig, DeployIniOverridesDefaults) {
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("deploy.ini")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("[deploy]\nSupportContact=12345\nHttpTimeoutMs=500\n");
    f.close();
    const common::DeployConfig cfg = common::DeployConfig::load(dir.path());
    EXPECT_EQ(cfg.value(QStringLiteral("SupportContact")), QStringLiteral("12345"));
    EXPECT_EQ(cfg.httpTimeoutMs(), 500);
    EXPECT_EQ(cfg.value(QStringLiteral("ProductVersion")), QStringLiteral("V9.0"));
    EXPECT_EQ(common::DeployConfig().httpTimeoutMs(), 30000);
}
