#pragma once
// Form geometry is laid out in twips, 15 to a screen pixel.
#include <QRect>
#include <QWidget>

namespace itin {

constexpr int kTwipsPerPixel = 15;

inline QRect TwipRect(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

inline void PlaceTwips(QWidget* w, int left, int top, int width, int height) {
    w->setGeometry(TwipRect(left, top, width, height));
}

// The form font: 宋体 where installed, else the CJK fonts of the build machine.
QFont SongTi(double points);

} // namespace itin
