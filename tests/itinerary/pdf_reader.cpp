#include "tests/itinerary/pdf_reader.h"

#include <poppler/cpp/poppler-document.h>
#include <poppler/cpp/poppler-image.h>
#include <poppler/cpp/poppler-page-renderer.h>
#include <poppler/cpp/poppler-page.h>

#include <algorithm>
#include <memory>

QList<PdfPage> ReadPdf(const QString& path) {
    QList<PdfPage> out;
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path.toStdString()));
    if (!doc) return out;
    for (int i = 0; i < doc->pages(); ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        PdfPage p;
        const poppler::rectf box = page->page_rect();
        p.widthTwips = box.width() * 20;
        p.heightTwips = box.height() * 20;
        for (const poppler::text_box& t : page->text_list(poppler::page::text_list_include_font)) {
            const poppler::byte_array utf8 = t.text().to_utf8();
            PdfWord w;
            w.text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
            w.x = t.bbox().left() * 20;
            w.y = t.bbox().top() * 20;
            w.font = QString::fromStdString(t.get_font_name());
            p.words << w;
        }
        out << p;
    }
    return out;
}

QRectF InkBox(const QString& path, int pageIndex) {
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path.toStdString()));
    if (!doc || pageIndex >= doc->pages()) return {};
    std::unique_ptr<poppler::page> page(doc->create_page(pageIndex));
    constexpr double kDpi = 288;
    const poppler::image img = poppler::page_renderer().render_page(page.get(), kDpi, kDpi);
    if (!img.is_valid() || img.format() != poppler::image::format_argb32) return {};
    int left = img.width(), top = img.height(), right = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(img.const_data()) +
                          long(y) * img.bytes_per_row();
        for (int x = 0; x < img.width(); ++x) {
            const unsigned char* px = row + 4 * x; // B G R A
            if (px[0] >= 128 || px[1] >= 128 || px[2] >= 128) continue;
            left = std::min(left, x), right = std::max(right, x);
            top = std::min(top, y), bottom = std::max(bottom, y);
        }
    }
    if (right < 0) return {};
    const double twips = 1440 / kDpi;
    return QRectF(left * twips, top * twips, (right - left + 1) * twips,
                  (bottom - top + 1) * twips);
}

double InkShare(const QString& path, int pageIndex) {
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(path.toStdString()));
    if (!doc || pageIndex >= doc->pages()) return 0;
    std::unique_ptr<poppler::page> page(doc->create_page(pageIndex));
    poppler::page_renderer renderer;
    const poppler::image img = renderer.render_page(page.get(), 36, 36);
    if (!img.is_valid() || img.format() != poppler::image::format_argb32) return 0;
    long ink = 0;
    const long total = long(img.width()) * img.height();
    for (int y = 0; y < img.height(); ++y) {
        const auto* row = reinterpret_cast<const unsigned char*>(img.const_data()) +
                          long(y) * img.bytes_per_row();
        for (int x = 0; x < img.width(); ++x) {
            const unsigned char* px = row + 4 * x; // B G R A
            if (px[0] < 128 && px[1] < 128 && px[2] < 128) ++ink;
        }
    }
    return total ? double(ink) / double(total) : 0;
}
