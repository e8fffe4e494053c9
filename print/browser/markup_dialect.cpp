#include "browser/markup_dialect.h"
#include <QStringList>

namespace browser {

bool IsPlainToken(const QString& value) {
    if (value.isEmpty()) return false;
    for (QChar c : value) {
        if (c.isLetterOrNumber() && !c.isSpace()) continue;
        if (c == u'-' || c == u'_' || c == u'.' || c == u'#') continue;
        return false;
    }
    return true;
}

QString AttributeMarkup(const QString& name, const QString& value) {
    if (value.isEmpty()) return u' ' + name;
    if (IsPlainToken(value)) return u' ' + name + u'=' + value;
    QString quoted = value;
    quoted.replace(u'&', QStringLiteral("&amp;"));
    quoted.replace(u'"', QStringLiteral("&quot;"));
    return u' ' + name + QStringLiteral("=\"") + quoted + u'"';
}

bool IsVoidElement(const QString& t) {
    static const QStringList kVoid = {
        QStringLiteral("AREA"),    QStringLiteral("BASE"),   QStringLiteral("BASEFONT"),
        QStringLiteral("BGSOUND"), QStringLiteral("BR"),     QStringLiteral("COL"),
        QStringLiteral("EMBED"),   QStringLiteral("FRAME"),  QStringLiteral("HR"),
        QStringLiteral("IMG"),     QStringLiteral("INPUT"),  QStringLiteral("ISINDEX"),
        QStringLiteral("KEYGEN"),  QStringLiteral("LINK"),   QStringLiteral("META"),
        QStringLiteral("PARAM"),   QStringLiteral("SOURCE"), QStringLiteral("TRACK"),
        QStringLiteral("WBR")};
    return kVoid.contains(t);
}

bool IsRawTextElement(const QString& t) {
    return t == u"SCRIPT" || t == u"STYLE" || t == u"XMP" || t == u"NOSCRIPT";
}

QString EscapeText(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        switch (c.unicode()) {
        case u'&':
            out += QStringLiteral("&amp;");
            break;
        case u'<':
            out += QStringLiteral("&lt;");
            break;
        case u'>':
            out += QStringLiteral("&gt;");
            break;
        case 0xA0:
            out += QStringLiteral("&nbsp;");
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace browser
