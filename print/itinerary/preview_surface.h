#pragma once
// The print preview: the receipt page drawn by the print-out into a picture, over a picture
// of the pre-printed form (a scanned image, or an outline drawn from the layout table).
// Texts that overlap each other or run off the page are outlined in red.
#include "itinerary/painter_surface.h"
#include "itinerary/print_form_state.h"
#include "itinerary/print_settings.h"
#include "itinerary/record.h"

#include <QImage>
#include <QList>
#include <QRectF>

namespace itin {

// The receipt page in twips: 238 mm × 106.6 mm.
QRectF ReceiptPageTwips();

// The outline of the pre-printed form at zero offsets: a box and caption per printed field.
void DrawFormOutline(QPainter& painter);

class PreviewSurface : public PainterSurface {
public:
    // dpi: pixels per inch of the picture; form: the scanned form, empty for the outline.
    explicit PreviewSurface(int dpi = 150, QImage form = {});
    // Draws the print-out from this point of the page (twips), as a printer whose printable
    // area starts there prints it (see PrintableAreaCorner).
    void setOrigin(QPointF twips) { origin_ = twips; }
    bool beginPage() override;
    bool endDocument() override;

    struct Placed {
        QString text;
        QRectF cell;          // twips
        bool flagged = false; // overlaps another text or leaves the page
    };
    const QList<Placed>& placed() const { return placed_; }
    int flaggedCount() const;
    const QImage& image() const { return image_; }

protected:
    void textDrawn(const QString& text, const QRectF& cell) override;

private:
    int dpi_;
    QPointF origin_;
    QImage form_;
    QImage image_;
    QList<Placed> placed_;
};

// Draws the receipt the print button would print now onto the preview, through the same
// print-out, without touching the record (its check code does not advance); an empty check
// code is drawn as an empty box. When the print-out refuses, the preview shows the bare form and
// its message is returned.
QString RenderPreview(const ItineraryRecord& record, const PrintFormState& formState,
                      const PrintSettings& settings, const QString& leftr, const QString& topb,
                      PreviewSurface& surface);

// The background image file the agent picked, kept in the preview's own settings file
// "preview.ini" in the program folder; empty when none.
QString PreviewFormImagePath(const QString& programFolder);
bool SavePreviewFormImagePath(const QString& programFolder, const QString& imagePath);
// The scanned form behind the preview, read through the capped reader (at most 16 MB, a
// regular file); a null image when it cannot be read.
constexpr qint64 kMaxFormImageBytes = 16 * 1024 * 1024;
QImage LoadFormImage(const QString& path);

} // namespace itin
