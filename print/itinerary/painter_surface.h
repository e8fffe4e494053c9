#pragma once
// Print surfaces that draw with QPainter: the base shared by every surface and a PDF file of
// receipt pages (the printer is in printer_surface.h: it needs Qt Print Support).
#include "itinerary/print_surface.h"

#include <QFont>
#include <QPageSize>
#include <QPainter>

#include <memory>

class QFileDevice;
class QPdfWriter;

namespace itin {

// The pre-printed receipt form: 238 mm × 106.6 mm.
QPageSize ReceiptPageSize();

// Font and position state shared by the painter surfaces; subclasses open the painter.
class PainterSurface : public PrintSurface {
public:
    void setFontName(const QString& face) override { font_.setFamily(face); }
    void setFontSize(double points) override;
    void setFontUnderline(bool on) override { font_.setUnderline(on); }
    void setFontBold(bool on) override { font_.setBold(on); }
    void setFontItalic(bool on) override { font_.setItalic(on); }
    void setFontStrikethrough(bool on) override { font_.setStrikeOut(on); }
    void setPosition(int x, int y) override {
        x_ = x;
        y_ = y;
    }
    void drawText(const QString& text) override;
    QString error() const override { return error_; }

protected:
    // Makes one painter unit a twip on the painter's device.
    void useTwips(int deviceDpi);
    // Called for every text drawn, with the box of its ink in twips (the preview checks it).
    virtual void textDrawn(const QString& text, const QRectF& cell) {
        Q_UNUSED(text);
        Q_UNUSED(cell);
    }

    QPainter painter_;
    QString error_;

private:
    QFont font_;
    int x_ = 0;
    int y_ = 0;
};

// Receipt pages into one PDF file, each page the size of the form. A regular file (or a
// new one) is written to a temporary copy that replaces it only when complete; a device
// or pipe is written in place, never replaced.
class PdfSurface : public PainterSurface {
public:
    explicit PdfSurface(const QString& path);
    ~PdfSurface() override;
    bool beginPage() override;
    bool endDocument() override { return painter_.isActive(); }
    // Closes the file; true when every page was written. Without pages, or after a write
    // error, an existing file is left as it was.
    bool finish();
    int pageCount() const { return pages_; }

private:
    std::unique_ptr<QFileDevice> file_; // before writer_: the writer goes first
    std::unique_ptr<QPdfWriter> writer_;
    bool opened_ = false;
    bool finished_ = false;
    bool written_ = false;
    int pages_ = 0;
};

} // namespace itin
