#pragma once
// Small text helpers with the cut rules the booking and page readers rely on: positions count from
// 1, out-of-range cuts give shortened or empty texts, trimming removes blanks only.
#include <QString>
#include <QStringList>

namespace common {

// Removes leading and trailing spaces (U+0020) only; line breaks and tabs stay.
QString TrimSpaces(const QString& s);
// Characters start..start+length-1 (from 1); shortened or empty beyond the end.
QString Mid(const QString& s, int start, int length);
// Characters from start (from 1) to the end.
QString MidToEnd(const QString& s, int start);
QString Left(const QString& s, int n);
QString Right(const QString& s, int n);
// Cut at every occurrence of the marker (a text without it gives one piece).
QStringList Split(const QString& s, const QString& marker);
// The number at the start of the text, read leniently: blanks, tabs and line feeds are
// skipped wherever they stand; sign, digits, one decimal point and an exponent are read;
// reading stops at any other character; no number gives 0.
double LeadingNumber(const QString& s);
// Piece n (from 0) of Split(s, marker), without building the list; empty when there is none.
QString Piece(const QString& s, const QString& marker, int n);
// The number of pieces Split(s, marker) gives, counted no further than limit.
int PieceCount(const QString& s, const QString& marker, int limit);
// Brings every line end (LF, CR or CR LF) to CR LF; a text already in CR LF is returned as is.
QString ToCrLf(const QString& s);

// Views for readers that cut a text many times without copying it.
// TrimSpaces over a view.
QStringView TrimSpacesView(QStringView s);
// mid over a view: characters start..start+length-1 (from 1), shortened or empty beyond the end.
QStringView MidView(QStringView s, int start, int length);
// The part before the first occurrence of the marker (the whole view when there is none).
QStringView BeforeView(QStringView s, QStringView marker);

} // namespace common
