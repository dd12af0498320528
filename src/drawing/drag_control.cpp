#include "drawing/drag_control.h"

#include <algorithm>
#include <cmath>

namespace tarvel::drawing {

namespace {

constexpr double kTwipsPerPixel = 15;

// The whole pixel of the container under a cursor, kept inside it.
QPointF confinedPixel(QPointF twips, QSizeF extent) {
    double x = std::floor(twips.x() / kTwipsPerPixel);
    double y = std::floor(twips.y() / kTwipsPerPixel);
    const double w = std::floor(extent.width() / kTwipsPerPixel);
    const double h = std::floor(extent.height() / kTwipsPerPixel);
    if (w > 0 && h > 0) {
        x = std::clamp(x, 0.0, w - 1);
        y = std::clamp(y, 0.0, h - 1);
    }
    return QPointF(x, y);
}

// A position along one axis kept inside 0..extent - size, except that an
// element already lying partly outside is not pulled in: it only may not
// move further out.
double confinedPosition(double wanted, double start, double size, double extent) {
    const double low = std::min(0.0, start);
    const double high = std::max(extent - size, start);
    return std::clamp(wanted, low, std::max(low, high));
}

} // namespace

void DragControl::start(const QRectF &box, QPointF cursor, int buttons, QSizeF extent) {
    active_ = buttons != 0;
    buttons_ = buttons;
    box_ = box;
    extent_ = extent;
    startCursor_ = confinedPixel(cursor, extent);
    offset_ = QPointF();
}

bool DragControl::follow(QPointF cursor, int held) {
    if (!active_) return false;
    // The buttons were let go where the window did not hear it.
    if ((held & buttons_) == 0) {
        finish();
        return false;
    }
    const QPointF p = confinedPixel(cursor, extent_);
    double left = box_.left() + (p.x() - startCursor_.x()) * kTwipsPerPixel;
    double top = box_.top() + (p.y() - startCursor_.y()) * kTwipsPerPixel;
    if (extent_.width() > 0 && extent_.height() > 0) {
        left = confinedPosition(left, box_.left(), box_.width(), extent_.width());
        top = confinedPosition(top, box_.top(), box_.height(), extent_.height());
    }
    const QPointF offset(left - box_.left(), top - box_.top());
    if (offset == offset_) return false;
    offset_ = offset;
    return true;
}

} // namespace tarvel::drawing
