#include "main_window/drawing_surface.h"

#include "platform/controls/colours.h"

#include <QPainter>

#include <cmath>

namespace tarvel {

DrawingSurface::DrawingSurface(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void DrawingSurface::paintEvent(QPaintEvent *) {
    ++paints_;
    QPainter p(this);
    p.fillRect(rect(), platform::toQColor(backColour));
    paintShapes(p, image, lines ? lines() : std::vector<const platform::LineShape *>{},
                1.0 / platform::kTwipsPerPixel);
}

void paintShapes(QPainter &p, const platform::ImageShape *image,
                 const std::vector<const platform::LineShape *> &lines, double pixelsPerTwip,
                 double penWidth) {
    if (image && image->Visible() && !image->Picture().isNull()) {
        const QRectF target(image->Left() * pixelsPerTwip, image->Top() * pixelsPerTwip,
                            image->Width() * pixelsPerTwip, image->Height() * pixelsPerTwip);
        p.drawPixmap(target, image->Picture(), QRectF(image->Picture().rect()));
    }
    // Most lines share a colour: the pen changes only between them.
    std::uint32_t colour = 0;
    int width = -1;
    for (const platform::LineShape *l : lines) {
        if (!l || !l->Visible()) continue;
        const double c[4] = {l->X1(), l->Y1(), l->X2(), l->Y2()};
        bool finite = true;
        for (double v : c)
            finite = finite && std::isfinite(v) && std::abs(v) < 1e9;
        if (!finite) continue;
        if (width != l->BorderWidth() || colour != l->BorderColor()) {
            colour = l->BorderColor();
            width = l->BorderWidth();
            QPen pen(platform::toQColor(colour));
            pen.setWidthF(penWidth * width);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
        }
        // Centre the one-pixel line on its pixel row, as the twip positions
        // name pixel cells.
        const double half = 0.5 * penWidth;
        p.drawLine(QPointF(std::round(c[0] * pixelsPerTwip / penWidth) * penWidth + half,
                           std::round(c[1] * pixelsPerTwip / penWidth) * penWidth + half),
                   QPointF(std::round(c[2] * pixelsPerTwip / penWidth) * penWidth + half,
                           std::round(c[3] * pixelsPerTwip / penWidth) * penWidth + half));
    }
}

} // namespace tarvel
