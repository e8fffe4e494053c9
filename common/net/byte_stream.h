#pragma once
// A byte buffer with a position: load a file, write bytes at the position (overwriting,
// then extending), save the whole buffer to a file replacing it, or read it as text in a
// named character set.
#include <QByteArray>
#include <QString>

namespace net {

class ByteStream {
public:
    ByteStream() = default;
    explicit ByteStream(QByteArray bytes) : bytes_(std::move(bytes)) {}

    // Replaces the buffer with the file's bytes and rewinds; false when unreadable.
    bool loadFromFile(const QString& path);
    // Writes the buffer to path atomically, replacing any file there; false on failure.
    bool saveToFile(const QString& path) const;

    qint64 size() const { return bytes_.size(); }
    qint64 position() const { return pos_; }
    // Clamped to 0..size().
    void setPosition(qint64 pos);
    void write(const QByteArray& data);
    const QByteArray& bytes() const { return bytes_; }
    // The whole buffer as text ("GB2312", "GBK", "UTF-8").
    QString readText(const QByteArray& charset = "GB2312") const;

private:
    QByteArray bytes_;
    qint64 pos_ = 0;
};

} // namespace net
