#include "byte_stream.h"

#include "http_reply.h"

#include <QFile>

#include <QSaveFile>
#include <algorithm>

namespace net {

bool ByteStream::loadFromFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return false;
    bytes_ = f.readAll();
    pos_ = 0;
    return true;
}

bool ByteStream::saveToFile(const QString& path) const {
    QSaveFile f(path);
    if (!f.open(QIODevice::WriteOnly)) return false;
    if (f.write(bytes_) != bytes_.size()) {
        f.cancelWriting();
        return false;
    }
    return f.commit();
}

void ByteStream::setPosition(qint64 pos) {
    pos_ = std::clamp<qint64>(pos, 0, bytes_.size());
}

void ByteStream::write(const QByteArray& data) {
    const qint64 overlap = std::min<qint64>(data.size(), bytes_.size() - pos_);
    if (overlap > 0) bytes_.replace(pos_, overlap, data.left(overlap));
    if (overlap < data.size()) bytes_.append(data.mid(overlap));
    pos_ += data.size();
}

QString ByteStream::readText(const QByteArray& charset) const {
    return decodeText(bytes_, charset);
}

} // namespace net
