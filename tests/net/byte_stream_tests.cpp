#include "byte_stream.h"

#include "code_page.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(ByteStream, WritesAtPositionOverwritingThenExtendingAndSavesWhole) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("part.bin"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("0123456789");
    }
    net::ByteStream s;
    ASSERT_TRUE(s.loadFromFile(path));
    EXPECT_EQ(s.position(), 0);
    s.setPosition(8);
    s.write("abcd");
    EXPECT_EQ(s.bytes(), QByteArray("01234567abcd"));
    EXPECT_EQ(s.position(), 12);
    s.setPosition(2);
    s.write("X");
    s.setPosition(99);
    EXPECT_EQ(s.position(), 12);
    s.write("!");
    ASSERT_TRUE(s.saveToFile(path));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("01X34567abcd!"));
    EXPECT_FALSE(s.loadFromFile(dir.filePath(QStringLiteral("missing"))));
    EXPECT_FALSE(s.saveToFile(dir.filePath(QStringLiteral("no/such/folder/x"))));
}

TEST(ByteStream, ReadsTextInTheNamedCharacterSet) {
    const QString text = QStringLiteral("<file 名称=\"a.dll\">");
    EXPECT_EQ(net::ByteStream(codepage::toGbk(text)).readText("GB2312"), text);
    EXPECT_EQ(net::ByteStream(text.toUtf8()).readText("utf-8"), text);
}
