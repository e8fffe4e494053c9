#pragma once
// Reads the words of a PDF back with their positions (twips from the page's top-left)
// and font names, to check what the print-out put on paper.
#include <QList>
#include <QRectF>
#include <QString>

struct PdfWord {
    QString text;
    double x = 0; // twips
    double y = 0; // twips
    QString font;
};

struct PdfPage {
    QList<PdfWord> words;
    double widthTwips = 0;
    double heightTwips = 0;
    const PdfWord* find(const QString& text) const {
        for (const PdfWord& w : words)
            if (w.text == text) return &w;
        return nullptr;
    }
};

// Empty when the file is not a readable PDF.
QList<PdfPage> ReadPdf(const QString& path);

// Share of non-white pixels of a page rendered at 36 dpi (0 when unreadable).
double InkShare(const QString& path, int page);

// The box around a page's dark pixels at 288 dpi, in twips from the page's top-Left (empty
// when unreadable or blank).
QRectF InkBox(const QString& path, int page);
