#include "drawing/drawing_surface.h"

#include "platform/controls/colours.h"

#include <QFontMetricsF>
#include <QPainter>

#include <cmath>
#include <vector>

namespace tarvel::drawing {

DrawingSurface::DrawingSurface(QWidget *parent) : QWidget(parent) {
    setMouseTracking(true);
    // Not declared opaque, although it paints every pixel: Qt then paints
    // a changed part of the drawing in the same pass as the fields above it
    // that changed with it, one paint instead of one for each.
}

void DrawingSurface::paintEvent(QPaintEvent *) {
    ++paints_;
    QPainter p(this);
    p.fillRect(rect(), platform::toQColor(backColour));
    if (paintDrawing) paintDrawing(p);
}

namespace {

void paintLines(QPainter &p, const std::vector<const DrawnLine *> &lines, const PaintStyle &style) {
    const double s = style.unitsPerTwip;
    const double w = style.penWidth;
    // Lines of one colour go to the painter together: ten thousand sides
    // drawn one call each would take most of a frame.
    std::vector<QLineF> batch;
    QColor qColour;
    bool penSet = false;
    std::uint32_t colour = 0;
    const auto flush = [&] {
        if (!batch.empty()) p.drawLines(batch.data(), int(batch.size()));
        batch.clear();
    };
    for (const DrawnLine *l : lines) {
        if (!l->visible || !drawable(l->x1, l->y1) || !drawable(l->x2, l->y2)) continue;
        if (!penSet || colour != l->colour) {
            flush();
            colour = l->colour;
            penSet = true;
            qColour = platform::toQColor(colour);
            QPen pen(qColour);
            pen.setWidthF(w);
            pen.setCapStyle(Qt::FlatCap);
            p.setPen(pen);
        }
        // Centre the one-pixel line on its pixel row, as the twip positions
        // name pixel cells.
        const auto cell = [&](double v) { return std::round(v * s / w); };
        const double x1 = cell(l->x1), y1 = cell(l->y1), x2 = cell(l->x2), y2 = cell(l->y2);
        // A side shorter than a pixel leaves nothing a flat-capped pen
        // would draw.
        if (x1 == x2 && y1 == y2) continue;
        // The grid, the axes and the ticks run along the pixel rows and
        // columns: on the screen such a line is the run of pixels the pen
        // would cover (after its first cell, up to its last), filled at once
        // rather than stroked.
        if (style.screen && w == 1 && (x1 == x2) != (y1 == y2)) {
            flush();
            if (y1 == y2)
                p.fillRect(QRectF(std::min(x1, x2) + 1, y1, std::abs(x2 - x1), 1), qColour);
            else
                p.fillRect(QRectF(x1, std::min(y1, y2) + 1, 1, std::abs(y2 - y1)), qColour);
            continue;
        }
        batch.emplace_back(QPointF(x1 * w + 0.5 * w, y1 * w + 0.5 * w),
                           QPointF(x2 * w + 0.5 * w, y2 * w + 0.5 * w));
    }
    flush();
}

// The plot's contours other than the one edited: half the pen of its
// sides, smoothed so that on the screen they read as thinner; holes dashed.
void paintOtherContours(QPainter &p, const DrawingLayout &layout, const PaintStyle &style) {
    if (layout.otherContours.empty()) return;
    const double s = style.unitsPerTwip;
    p.save();
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setBrush(Qt::NoBrush);
    for (const DrawingLayout::OtherContour &o : layout.otherContours) {
        QPen pen(platform::toQColor(o.colour));
        pen.setWidthF(style.penWidth * 0.5);
        pen.setStyle(o.hole ? Qt::DashLine : Qt::SolidLine);
        p.setPen(pen);
        QPolygonF ring;
        for (const QPointF &c : o.corners)
            if (drawable(c.x(), c.y())) ring << QPointF(c.x() * s, c.y() * s);
        if (ring.size() >= 2) p.drawPolygon(ring);
    }
    p.restore();
}

// A box in device units: on the screen the whole pixels a control of that
// twip box would take.
QRectF deviceBox(const QRectF &box, const PaintStyle &style) {
    if (!style.screen)
        return QRectF(box.left() * style.unitsPerTwip, box.top() * style.unitsPerTwip,
                      box.width() * style.unitsPerTwip, box.height() * style.unitsPerTwip);
    const auto px = [](double t) { return double(platform::twipsToPixels(t)); };
    return QRectF(px(box.left()), px(box.top()), std::max(0.0, px(box.width())),
                  std::max(0.0, px(box.height())));
}

class CaptionPainter {
public:
    CaptionPainter(QPainter &p, const PaintStyle &style) : p_(p), style_(style) {}
    void operator()(const Caption &c) {
        if (!c.visible || c.text.isEmpty() || !drawable(c.box.left(), c.box.top())) return;
        if (points_ != c.points) {
            points_ = c.points;
            p_.setFont(platform::defaultFont(c.points));
            ascent_ = QFontMetricsF(p_.font()).ascent();
        }
        p_.setPen(platform::toQColor(c.colour));
        const QRectF box = deviceBox(c.box, style_);
        if (!c.upright) {
            // A caption is one line: drawn from its baseline, without the
            // line layout a text in a box goes through. On paper it may run
            // beyond the box, whose letters are not the screen's.
            const double left = style_.screen && c.alignRight
                                    ? box.right() - QFontMetricsF(p_.font()).horizontalAdvance(c.text)
                                    : box.left();
            p_.drawText(QPointF(left, box.top() + ascent_), c.text);
            return;
        }
        p_.save();
        p_.translate(box.left(), box.bottom());
        p_.rotate(-90);
        p_.drawText(QRectF(0, 0, box.height(), box.width()), Qt::AlignCenter, c.text);
        p_.restore();
    }

private:
    QPainter &p_;
    const PaintStyle &style_;
    double points_ = -1;
    double ascent_ = 0; // of the font of points_
};

} // namespace

void paintDrawing(QPainter &p, const DrawingLayout &layout, const platform::ImageShape *image,
                  const PaintStyle &style) {
    const double s = style.unitsPerTwip;
    if (image && image->Visible() && !image->Picture().isNull()) {
        const QRectF target(image->Left() * s, image->Top() * s, image->Width() * s,
                            image->Height() * s);
        p.drawPixmap(target, image->Picture(), QRectF(image->Picture().rect()));
    }
    paintLines(p, layout.frameLines(), style);
    CaptionPainter caption(p, style);
    for (std::size_t k = 0; k < layout.xScale.size(); ++k) {
        caption(layout.xScale[k]);
        caption(layout.yScale[k]);
    }
    caption(layout.xName);
    caption(layout.yName);

    // The polygon within the drawing's area.
    p.save();
    if (!layout.area.isEmpty()) p.setClipRect(deviceBox(layout.area, style), Qt::IntersectClip);
    paintOtherContours(p, layout, style);
    paintLines(p, layout.polygonLines(), style);
    // On paper the corners are marked first, all alike.
    if (!style.screen && style.cornerSquare > 0) {
        const double half = style.cornerSquare / 2;
        for (const DrawingLayout::Corner &c : layout.corners) {
            if (!drawable(c.x, c.y)) continue;
            p.fillRect(
                QRectF(c.x * s - half, c.y * s - half, style.cornerSquare, style.cornerSquare),
                Qt::black);
        }
    }
    // The captions and the markers in the order they lie, the later above.
    // A marker on the very pixels of the one before is not filled again:
    // thousands of corners crowd onto a few.
    QRectF lastMarker;
    std::uint32_t lastColour = 0;
    for (const DrawingLayout::Corner &c : layout.corners) {
        caption(c.length);
        caption(c.number);
        caption(c.angle);
        if (style.screen && c.marker.visible && drawable(c.marker.box.left(), c.marker.box.top())) {
            const QRectF box = deviceBox(c.marker.box, style);
            const bool captioned = c.length.visible || c.number.visible || c.angle.visible;
            if (box == lastMarker && c.marker.colour == lastColour && !captioned) continue;
            p.fillRect(box, platform::toQColor(c.marker.colour));
            lastMarker = box;
            lastColour = c.marker.colour;
        }
    }
    caption(layout.measureCaption);
    p.restore();
}

} // namespace tarvel::drawing
