#include "common/code_page.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <iconv.h>

namespace common {
namespace {

// Qt uses ICU for GBK when it has it; glibc's iconv serves otherwise.
QByteArray iconvConvert(const char* to, const char* from, const QByteArray& in) {
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) return {};
    QByteArray out;
    out.resize(in.size() * 4 + 16);
    char* inPtr = const_cast<char*>(in.constData());
    size_t inLeft = size_t(in.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == size_t(-1)) {
            // Skip one undecodable byte and mark it, as a lenient decoder would.
            if (outLeft < 4) break;
            *outPtr++ = '?';
            --outLeft;
            ++inPtr;
            --inLeft;
        }
    }
    iconv_close(cd);
    out.resize(out.size() - int(outLeft));
    return out;
}

} // namespace

QByteArray toGbk(const QString& text) {
    if (text.isEmpty()) return {};
    QStringEncoder enc("GBK");
    if (enc.isValid()) {
        QByteArray out = enc.encode(text);
        return out;
    }
    return iconvConvert("GBK//TRANSLIT", "UTF-8", text.toUtf8());
}

QString fromGbk(const QByteArray& bytes) {
    if (bytes.isEmpty()) return {};
    QStringDecoder dec("GBK");
    if (dec.isValid()) {
        QString out = dec.decode(bytes);
        return out;
    }
    return QString::fromUtf8(iconvConvert("UTF-8", "GBK", bytes));
}

bool isValidUtf8(const QByteArray& bytes) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = dec.decode(bytes);
    Q_UNUSED(decoded);
    return !dec.hasError();
}

QString decodeDetect(const QByteArray& bytes) {
    if (isValidUtf8(bytes)) {
        QString s = QString::fromUtf8(bytes);
        if (s.startsWith(QChar(0xFEFF))) s.remove(0, 1);
        return s;
    }
    return fromGbk(bytes);
}

} // namespace common
