#pragma once
// The outcome of one HTTP exchange. A transport failure (no connection, bad address,
// time-out) is an empty reply: arrived() is false and every part is empty.
#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace net {

using HttpHeaders = QList<QPair<QByteArray, QByteArray>>;

// A header name as it goes on the wire: blanks and a trailing colon removed
// ("Content-Length " and "Content-Type:" both become the bare name).
QByteArray CleanHeaderName(const QByteArray& name);

struct HttpReply {
    bool arrived = false;  // an HTTP reply came back, whatever its status
    bool tooLarge = false; // refused: the body passed the client's size limit (not arrived)
    int status = 0;
    QString statusText;
    QByteArray body;
    HttpHeaders headers;
    QString error; // why no reply arrived (refused connection, time-out, ...); else empty

    bool isEmpty() const { return !arrived; }
    // Response header by name, compared without case and ignoring blanks or a colon
    // around the name; empty when absent.
    QByteArray header(const QByteArray& name) const;
    // The body decoded with the named character set ("GB2312", "GBK", "UTF-8").
    QString text(const QByteArray& charset = "GB2312") const;
};

// Bytes to text by character set name: GB2312, GBK and GB18030 through the code page
// module, UTF-8 directly; any other name is treated as GBK.
QString DecodeText(const QByteArray& bytes, const QByteArray& charset);

} // namespace net
