#pragma once
// The vendor service's substitution table: ten rows, each a permutation of the 62-character
// cipher alphabet. A table that is not exactly that is refused with a reason.
#include <QString>
#include <QStringList>

#include <optional>

namespace shell {

inline const QString& CipherAlphabet() {
    static const QString a =
        QStringLiteral("0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ");
    return a;
}

class CipherKeyTable {
public:
    static constexpr int kRows = 10;

    // Accepts the 620 characters in one piece, or ten rows separated by ";", line ends or
    // blanks. Returns nothing and sets *error when the text is not ten permutations.
    static std::optional<CipherKeyTable> parse(const QString& text, QString* error = nullptr);

    // The character that stands for c in row (0..9); a null QChar when c is not in the
    // alphabet.
    QChar substitute(int row, QChar c) const;
    // The inverse: the alphabet character that row maps to c.
    QChar restore(int row, QChar c) const;
    const QString& row(int r) const { return rows_[r]; }

private:
    QStringList rows_;
};

} // namespace shell
