#include "drawing/plot_view.h"

#include "drawing/drawing_surface.h"

#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <vector>

namespace tarvel::drawing {

PlotView::PlotView(std::function<void(const QRegion &)> repaint) : repaint_(std::move(repaint)) {
    picture_ = std::make_unique<platform::ImageShape>([this] {
        if (repaint_) repaint_(QRegion());
    });
    picture_->setLeft(kCrossX);
    // A caption takes the size a label of the window's face gives its text,
    // in whole pixels.
    measure_ = [this](const QString &text, double points) {
        // The same few captions come again and again (numbers, "90 град").
        if (points == 8)
            if (const auto known = sizes_.constFind(text); known != sizes_.cend()) return *known;
        std::optional<QFontMetrics> other;
        if (!metrics_ && points == 8) metrics_.emplace(platform::defaultFont(8));
        const QFontMetrics &fm =
            points == 8 ? *metrics_ : other.emplace(platform::defaultFont(points));
        const QSize size = fm.boundingRect(0, 0, 2000, 2000,
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text)
                               .size();
        const QSizeF twips(size.width() * platform::kTwipsPerPixel,
                           size.height() * platform::kTwipsPerPixel);
        if (points == 8 && sizes_.size() < 4096) sizes_.insert(text, twips);
        return twips;
    };
}

namespace {

// The pixels (with a pixel of margin) an element of the drawing paints on,
// or an empty rectangle when it paints nothing.
QRect pixelsOf(const QRectF &twips) {
    if (!drawable(twips.left(), twips.top()) || !drawable(twips.right(), twips.bottom())) return {};
    const auto px = [](double t) { return platform::twipsToPixels(t); };
    return QRect(QPoint(px(twips.left()) - 1, px(twips.top()) - 1),
                 QPoint(px(twips.right()) + 1, px(twips.bottom()) + 1));
}
QRect pixelsOf(const DrawnLine &l) {
    if (!l.visible) return {};
    return pixelsOf(QRectF(QPointF(l.x1, l.y1), QPointF(l.x2, l.y2)).normalized());
}
QRect pixelsOf(const Caption &c) {
    return c.visible && !c.text.isEmpty() ? pixelsOf(c.box) : QRect();
}
QRect pixelsOf(const CornerMark &m) {
    return m.visible ? pixelsOf(m.box) : QRect();
}
bool same(const DrawnLine &a, const DrawnLine &b) {
    return a.x1 == b.x1 && a.y1 == b.y1 && a.x2 == b.x2 && a.y2 == b.y2 && a.colour == b.colour &&
           a.visible == b.visible;
}
bool same(const Caption &a, const Caption &b) {
    return a.text == b.text && a.box == b.box && a.colour == b.colour && a.points == b.points &&
           a.upright == b.upright && a.alignRight == b.alignRight && a.visible == b.visible;
}
bool same(const CornerMark &a, const CornerMark &b) {
    return a.box == b.box && a.colour == b.colour && a.visible == b.visible;
}

// What must be painted again between two layouts: the old and the new
// place of every element that changed. Many changes (a new polygon, a new
// scale) give the one rectangle around them all: uniting a hundred
// rectangles into a region would cost more than painting it.
class Changes {
public:
    template <class T> void compare(const T *before, const T *after) {
        if (before && after && same(*before, *after)) return;
        if (before) add(pixelsOf(*before));
        if (after) add(pixelsOf(*after));
    }
    QRegion region() const {
        if (rects_.size() > kMostRects) return QRegion(bounds_);
        QRegion r;
        for (const QRect &rect : rects_)
            r += rect;
        return r;
    }

private:
    static constexpr std::size_t kMostRects = 16;
    void add(const QRect &r) {
        if (r.isEmpty()) return;
        bounds_ = bounds_.united(r);
        if (rects_.size() <= kMostRects) rects_.push_back(r);
    }
    std::vector<QRect> rects_;
    QRect bounds_;
};

QRegion changedPixels(const DrawingLayout &a, const DrawingLayout &b) {
    Changes c;
    for (std::size_t i = 0; i < a.verticalGrid.size(); ++i)
        c.compare(&a.verticalGrid[i], &b.verticalGrid[i]);
    for (std::size_t i = 0; i < a.horizontalGrid.size(); ++i)
        c.compare(&a.horizontalGrid[i], &b.horizontalGrid[i]);
    c.compare(&a.xAxis, &b.xAxis);
    c.compare(&a.yAxis, &b.yAxis);
    for (std::size_t k = 0; k < a.xTicks.size(); ++k) {
        c.compare(&a.xTicks[k], &b.xTicks[k]);
        c.compare(&a.yTicks[k], &b.yTicks[k]);
        c.compare(&a.xScale[k], &b.xScale[k]);
        c.compare(&a.yScale[k], &b.yScale[k]);
    }
    c.compare(&a.xName, &b.xName);
    c.compare(&a.yName, &b.yName);
    for (std::size_t i = 0; i < std::max(a.corners.size(), b.corners.size()); ++i) {
        const DrawingLayout::Corner *x = i < a.corners.size() ? &a.corners[i] : nullptr;
        const DrawingLayout::Corner *y = i < b.corners.size() ? &b.corners[i] : nullptr;
        c.compare(x ? &x->edge : nullptr, y ? &y->edge : nullptr);
        c.compare(x ? &x->marker : nullptr, y ? &y->marker : nullptr);
        c.compare(x ? &x->angle : nullptr, y ? &y->angle : nullptr);
        c.compare(x ? &x->number : nullptr, y ? &y->number : nullptr);
        c.compare(x ? &x->length : nullptr, y ? &y->length : nullptr);
    }
    c.compare(&a.measureLine, &b.measureLine);
    c.compare(&a.measureCaption, &b.measureCaption);
    return c.region();
}

} // namespace

void PlotView::draw(const geometry::PolygonDocument &doc, const ViewState &view,
                    const files::Settings &settings) {
    ++layouts_;
    DrawingLayout next = layOutDrawing(doc, view, settings, measure_, frame_);
    // What changed is painted again; a layout that changed nothing (the
    // same highlight again) costs no paint.
    const QRegion changed = changedPixels(layout_, next);
    layout_ = std::move(next);
    if (repaint_ && !changed.isEmpty()) repaint_(changed);
}

bool PlotView::loadPicture(const QString &path) {
    if (!picture_->LoadPicture(path)) return false;
    picture_->setTop(kCrossY - picture_->Height());
    return true;
}

void PlotView::paint(QPainter &painter) const {
    paintDrawing(painter, layout_, picture_.get(), PaintStyle{});
}

} // namespace tarvel::drawing
