#include "shell/up_ini.h"

#include "common/fso.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace shell;

TEST(SignInMemory, WritesFiveGbkLinesWithoutTrailingLineEnd) {
    QTemporaryDir dir;
    const QString path = UpIniPath(dir.path());
    EXPECT_TRUE(path.endsWith(QStringLiteral("/UP.ini")));
    ASSERT_TRUE(WriteSignInMemory(
        path, {QStringLiteral("东方"), QStringLiteral("007"), QStringLiteral("pw"), false, true}));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("\xB6\xAB\xB7\xBD\r\n007\r\npw\r\n0\r\n1"));
    const SignInMemory m = ReadSignInMemory(path);
    EXPECT_EQ(m.account, QStringLiteral("东方"));
    EXPECT_FALSE(m.rememberAccount);
    EXPECT_TRUE(m.rememberPassword);
}

TEST(SignInMemory, MissingShortOrOddFilesGiveNoTicks) {
    QTemporaryDir dir;
    const QString path = UpIniPath(dir.path());
    EXPECT_FALSE(ReadSignInMemory(path).rememberAccount);
    common::WriteTextFile(path, QStringLiteral("a\r\nb\r\nc\r\n1"));
    SignInMemory m = ReadSignInMemory(path);
    EXPECT_TRUE(m.rememberAccount);
    EXPECT_FALSE(m.rememberPassword);
    common::WriteTextFile(path, QStringLiteral("a\r\nb\r\nc\r\n 1\r\n2"));
    m = ReadSignInMemory(path);
    EXPECT_FALSE(m.rememberAccount);
    EXPECT_FALSE(m.rememberPassword);
    common::WriteTextFile(path, QStringLiteral("a\nb\nc\n1\n1")); // LF only: one line
    EXPECT_FALSE(ReadSignInMemory(path).rememberAccount);
}
