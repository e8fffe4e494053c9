#pragma once
// A real printer as a print surface (the system default or one by name), one print job per
// receipt. Apart from the PDF surface: Qt Print Support brings Qt Widgets with it, which the
// PDF and preview jobs do not load.
#include "itinerary/painter_surface.h"

#include <memory>

class QPrinter;

namespace itin {

// Where the printer's printable area starts on the receipt page, in twips from the page's
// top-left: the print-out's origin on that printer. Empty or "default" names the system
// default printer; an unknown printer gives (0, 0), as a PDF page does.
QPointF PrintableAreaCorner(const QString& printerName = {});

// One print job per receipt on a printer: name empty or "default" for the system
// default printer. Uses the form's paper size when the printer accepts it, and draws from
// the corner of the printable area the printer reports for it (no margins of our own).
class PrinterSurface : public PainterSurface {
public:
    explicit PrinterSurface(const QString& printerName = {});
    ~PrinterSurface() override;
    bool beginPage() override;
    bool endDocument() override;

private:
    QString name_;
    std::unique_ptr<QPrinter> printer_;
};

} // namespace itin
