#include "common/code_page.h"

#include "common/platform/platform.h"

#include <QStringDecoder>

namespace common {

// Through the platform's own converter (code page 936), the same on every platform:
// Qt names GBK only when built with ICU.
QByteArray ToGbk(const QString& text) {
    std::string bytes;
    platform::Encode(
        platform::CodePage::Gbk,
        std::u16string_view(reinterpret_cast<const char16_t*>(text.utf16()), size_t(text.size())),
        bytes);
    return QByteArray(bytes.data(), qsizetype(bytes.size()));
}

QString FromGbk(const QByteArray& bytes) {
    const std::u16string text = platform::Decode(
        platform::CodePage::Gbk, std::string_view(bytes.constData(), size_t(bytes.size())));
    return QString::fromStdU16String(text);
}

bool IsValidUtf8(const QByteArray& bytes) {
    QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = dec.decode(bytes);
    Q_UNUSED(decoded);
    return !dec.hasError();
}

QString DecodeDetect(const QByteArray& bytes) {
    if (IsValidUtf8(bytes)) {
        QString s = QString::fromUtf8(bytes);
        if (s.startsWith(QChar(0xFEFF))) s.remove(0, 1);
        return s;
    }
    return FromGbk(bytes);
}

} // namespace common
