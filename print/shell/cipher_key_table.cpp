#include "shell/cipher_key_table.h"

#include <QRegularExpression>
#include <QSet>

namespace shell {

std::optional<CipherKeyTable> CipherKeyTable::parse(const QString& text, QString* error) {
    auto refuse = [&](const QString& why) -> std::optional<CipherKeyTable> {
        if (error) *error = why;
        return std::nullopt;
    };
    QString joined = text;
    joined.remove(QRegularExpression(QStringLiteral("[;\\s]")));
    const int width = int(CipherAlphabet().size());
    if (joined.size() != kRows * width)
        return refuse(QStringLiteral("the key table has %1 characters, not %2 (ten rows of %3)")
                          .arg(joined.size())
                          .arg(kRows * width)
                          .arg(width));
    CipherKeyTable table;
    for (int r = 0; r < kRows; ++r) {
        const QString row = joined.mid(r * width, width);
        QSet<QChar> seen;
        for (QChar c : row) {
            if (!CipherAlphabet().contains(c))
                return refuse(QStringLiteral("row %1 holds \"%2\", which is not in the alphabet")
                                  .arg(r + 1)
                                  .arg(c));
            seen.insert(c);
        }
        if (seen.size() != width)
            return refuse(
                QStringLiteral("row %1 repeats a character: it is not a permutation").arg(r + 1));
        table.rows_ << row;
    }
    return table;
}

QChar CipherKeyTable::substitute(int row, QChar c) const {
    const qsizetype k = CipherAlphabet().indexOf(c);
    return k < 0 ? QChar() : rows_[row][k];
}

QChar CipherKeyTable::restore(int row, QChar c) const {
    const qsizetype k = rows_[row].indexOf(c);
    return k < 0 ? QChar() : CipherAlphabet()[k];
}

} // namespace shell
