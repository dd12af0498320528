#include "drawing/drawing_layout.h"

#include "geometry/numtext.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <memory>
#include <array>
#include <unordered_map>
#include <cmath>
#include <numbers>

namespace tarvel::drawing {

namespace {

constexpr double kTwipsPerPixel = 15;
constexpr std::uint32_t kWindowText = 0x80000008u;

// The design places of the axes and of the grid's ends.
constexpr double kGridTop = 450, kGridBottom = 10050;
constexpr double kXTickBottom = 10260, kYTickLeft = 3360, kXScaleTop = 10290;
// How far the drawing's area reaches past the axes: a corner's marker on
// an axis shows whole, and nothing reaches the values under the X axis.
constexpr double kAreaOverAxes = 75;

DrawnLine line(double x1, double y1, double x2, double y2, std::uint32_t colour, bool visible) {
    return {x1, y1, x2, y2, colour, visible};
}

// A position passes through single precision on its way into the drawing,
// as the view's places always have. Kept out of line: GCC 12's SLP
// vectorizer at -O2 drops the rounding when it converts a corner's x and y
// side by side (-fno-tree-slp-vectorize keeps it too).
[[gnu::noinline]] double single(double v) {
    return double(float(v));
}

Caption caption(const QString &text, double left, double top, std::uint32_t colour, bool visible,
                const MeasureText &measure) {
    Caption c;
    c.text = text;
    c.colour = colour;
    c.visible = visible;
    const QSizeF size = measure ? measure(text, c.points) : QSizeF();
    c.box = QRectF(single(left), single(top), size.width(), size.height());
    return c;
}

// The whole pixels a box is painted on (left, top, right and bottom, the
// last two past the end).
struct Cells {
    long long left, top, right, bottom;
};
Cells cellsOf(const QRectF &box) {
    const auto px = [](double t) { return std::llround(t / kTwipsPerPixel); };
    const long long l = px(box.left()), t = px(box.top());
    return {l, t, l + std::max(0LL, px(box.width())), t + std::max(0LL, px(box.height()))};
}

bool covers(const QRectF &box, double x, double y) {
    if (!drawable(box.left(), box.top())) return false;
    const Cells c = cellsOf(box);
    const auto cx = (long long)std::floor(x / kTwipsPerPixel);
    const auto cy = (long long)std::floor(y / kTwipsPerPixel);
    return cx >= c.left && cx < c.right && cy >= c.top && cy < c.bottom;
}

bool covers(const Caption &c, double x, double y) {
    return c.visible && covers(c.box, x, y);
}

// The value a tick stands for: k ticks (5 cm each) from the axes' origin.
// From the origin 0 it is the distance, as a plain single-precision text
// ("50", "100"); from elsewhere the coordinate itself, its thousands apart
// ("6 123 500").
QString tickValue(double origin, int k, float scale) {
    if (origin == 0) return geometry::plainText(float(float(k) * scale * 5.0f));
    const double value = origin + k * 5.0 * double(scale);
    QString text = geometry::formatNumber(value, QStringLiteral("### ### ### ##0.##")).trimmed();
    if (text.endsWith(QLatin1Char(','))) text.chop(1);
    return text;
}

// ---- keeping the captions apart ----

constexpr double kCaptionGap = 45; // between a side and its length, twips
// How far from its corner a moved number or angle caption goes, nearest first.
constexpr double kMoveGaps[] = {60, 180, 360};
constexpr double kClearance = 15; // captions closer than a pixel touch

QPointF unit(QPointF v) {
    const double l = std::hypot(v.x(), v.y());
    return l > 1e-9 ? v / l : QPointF();
}

// How far a box reaches from its centre along a unit direction.
double reach(const QSizeF &size, QPointF dir) {
    return std::abs(dir.x()) * size.width() / 2 + std::abs(dir.y()) * size.height() / 2;
}

// A box of `size` whose side nearest `from` lies `gap` away along `dir`.
QRectF boxBeyond(QPointF from, QPointF dir, double gap, const QSizeF &size) {
    const QPointF centre = from + dir * (gap + reach(size, dir));
    return QRectF(centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(),
                  size.height());
}

bool shown(const Caption &c) {
    return c.visible && !c.text.isEmpty() && drawable(c.box.left(), c.box.top());
}

// The captions placed so far: a few in a list, more in cells of a grid over
// the drawing, so that a look for a clash sees only its neighbourhood and
// thousands of corners stay quick.
class Placed {
public:
    // `many`: thousands of looks to come, however few boxes get placed; the
    // grid from the start.
    explicit Placed(bool many = false) : few_limit_(many ? 0 : kFew) {}
    void add(const QRectF &box) {
        if (cells_.empty() && few_.size() < few_limit_) {
            few_.push_back(box);
            return;
        }
        // Past a few boxes the grid takes over, with those already placed.
        for (const QRectF &b : few_) addToCells(b);
        few_.clear();
        addToCells(box);
    }
    bool clashes(const QRectF &box) const {
        const QRectF wide = box.adjusted(-kClearance, -kClearance, kClearance, kClearance);
        for (const QRectF &b : few_)
            if (wide.intersects(b)) return true;
        if (cells_.empty()) return false;
        return forCells(wide, [&](std::int64_t key) {
            const auto cell = cells_.find(key);
            if (cell == cells_.end()) return false;
            for (const QRectF &b : cell->second)
                if (wide.intersects(b)) return true;
            return false;
        });
    }
    // The first box that clashes with nothing placed (nor with anything in
    // `also`), or the first of all.
    QRectF firstFree(const std::vector<QRectF> &candidates, const Placed *also = nullptr) const {
        for (const QRectF &c : candidates)
            if (!clashes(c) && !(also && also->clashes(c))) return c;
        return candidates.front();
    }

private:
    // Up to this many boxes a look at each is quicker than the grid.
    static constexpr std::size_t kFew = 96;
    static constexpr double kCell = 1200;
    void addToCells(const QRectF &box) {
        forCells(box, [&](std::int64_t key) {
            cells_[key].push_back(box);
            return false;
        });
    }
    static constexpr std::int64_t kSpan = std::int64_t(1) << 24;
    // Calls `f` with the key of every cell the box touches until it says
    // true; a box wider than a few cells goes to one cell of its own that
    // every look visits.
    template <typename F> bool forCells(const QRectF &box, F &&f) const {
        if (!drawable(box.left(), box.top()) || !drawable(box.right(), box.bottom()))
            return f(kHuge);
        const auto cell = [](double v) { return std::int64_t(std::floor(v / kCell)); };
        const std::int64_t x0 = cell(box.left()), x1 = cell(box.right());
        const std::int64_t y0 = cell(box.top()), y1 = cell(box.bottom());
        if (x1 - x0 > 4 || y1 - y0 > 4) return f(kHuge);
        if (cells_.count(kHuge) && f(kHuge)) return true;
        for (std::int64_t x = x0; x <= x1; ++x)
            for (std::int64_t y = y0; y <= y1; ++y)
                if (f(x * kSpan + y)) return true;
        return false;
    }
    static constexpr std::int64_t kHuge = std::numeric_limits<std::int64_t>::min();
    std::size_t few_limit_;
    std::vector<QRectF> few_;
    std::unordered_map<std::int64_t, std::vector<QRectF>> cells_;
};

// Up to this many corners every caption is drawn, moved where it meets
// another; past it, captions that would meet are left out.
constexpr std::size_t kEveryCaptionUpTo = 20;

// The captions of the axes that show: their names and scale values.
Placed axesCaptions(const DrawingLayout &layout, bool many = false) {
    Placed axes(many);
    for (const Caption *c : {&layout.xName, &layout.yName})
        if (shown(*c)) axes.add(c->box);
    for (std::size_t k = 0; k < layout.xScale.size(); ++k)
        for (const Caption *c : {&layout.xScale[k], &layout.yScale[k]})
            if (shown(*c)) axes.add(c->box);
    return axes;
}

// The captions of a crowded outline where they meet nothing: those of the
// first, the last and the `keep` corner first, then corner by corner.
void leaveOutCrowdedCaptions(DrawingLayout &layout, int keep) {
    std::vector<DrawingLayout::Corner> &corners = layout.corners;
    const std::size_t n = corners.size();
    Placed placed = axesCaptions(layout, true);
    const auto kept = [&](std::size_t i) {
        return i == 0 || i + 1 == n || int(i) + 1 == keep;
    };
    for (std::size_t i = 0; i < n; ++i)
        if (kept(i))
            for (Caption *c : {&corners[i].angle, &corners[i].number, &corners[i].length})
                if (shown(*c)) placed.add(c->box);
    for (std::size_t i = 0; i < n; ++i) {
        if (kept(i)) continue;
        for (Caption *c : {&corners[i].angle, &corners[i].number, &corners[i].length}) {
            if (!shown(*c)) continue;
            if (placed.clashes(c->box))
                c->visible = false;
            else
                placed.add(c->box);
        }
    }
}

// Keeps the captions of the corners off each other. An angle caption stays
// on its corner (where a drop of it is read) unless an earlier corner's
// lies there: then it moves a little round its corner, outward first, clear
// of the axes' captions too, and its corner keeps the shift. A number keeps
// its place below right of the corner unless something lies there, and
// then moves round the corner the same way. A side's length sits beside its
// middle on the outer side of the outline. Where two captions would still
// meet, the shorter side's length gives way: the lengths are placed longest
// side first.
//
// Past kEveryCaptionUpTo corners the captions are too many to move about:
// one that would meet another is left out, except those of the first, the
// last and the current corner (`keep`, 1-based), which stay where they are.
void keepCaptionsApart(DrawingLayout &layout, const geometry::Measures &m, int keep) {
    std::vector<DrawingLayout::Corner> &corners = layout.corners;
    const std::size_t n = corners.size();
    if (n < 2) return;
    if (n > kEveryCaptionUpTo) {
        leaveOutCrowdedCaptions(layout, keep);
        return;
    }
    // The outline's turning sense on the form: the outer side of each edge.
    // (Few corners come this far: the copies cost nothing.)
    geometry::Coordinates formX(n + 1), formY(n + 1);
    for (std::size_t i = 0; i < n; ++i) {
        formX[i + 1] = corners[i].x;
        formY[i + 1] = corners[i].y;
    }
    const double sense = geometry::SignedArea(int(n), formX.data(), formY.data()) >= 0 ? 1 : -1;
    const auto outward = [&](const DrawingLayout::Corner &c) {
        const QPointF d = unit(QPointF(c.edge.x2 - c.edge.x1, c.edge.y2 - c.edge.y1));
        if (d.isNull()) return QPointF(0, -1);
        return QPointF(d.y(), -d.x()) * sense;
    };
    // The eight directions round corner i, the most outward first.
    const auto directionsOut = [&](std::size_t i) {
        const auto &c = corners[i];
        const auto &prev = corners[(i + n - 1) % n];
        const QPointF p(c.x, c.y);
        const QPointF toPrev = unit(QPointF(prev.x, prev.y) - p);
        const QPointF toNext = unit(QPointF(c.edge.x2, c.edge.y2) - p);
        const double turn =
            (p.x() - prev.x) * (c.edge.y2 - p.y()) - (p.y() - prev.y) * (c.edge.x2 - p.x());
        QPointF out = unit(toPrev + toNext);
        if (out.isNull())
            out = outward(c);
        else if (turn * sense >= 0)
            out = -out; // a convex corner opens inward
        std::vector<QPointF> dirs;
        for (int k = 0; k < 8; ++k) {
            const double a = k * std::numbers::pi / 4;
            dirs.emplace_back(std::cos(a), std::sin(a));
        }
        std::stable_sort(dirs.begin(), dirs.end(), [&](QPointF a, QPointF b) {
            return QPointF::dotProduct(a, out) > QPointF::dotProduct(b, out);
        });
        return dirs;
    };

    const Placed axes = axesCaptions(layout);

    // The angles in corner order, so the same outline always comes out the same.
    Placed placed;
    for (std::size_t i = 0; i < n; ++i) {
        auto &c = corners[i];
        if (!shown(c.angle)) continue;
        if (placed.clashes(c.angle.box)) {
            const QRectF home = c.angle.box;
            std::vector<QRectF> candidates{home};
            // Outward before near: a caption that must leave its corner
            // goes out of the outline rather than across it.
            for (QPointF dir : directionsOut(i))
                for (double gap : kMoveGaps) {
                    const QRectF b = boxBeyond(QPointF(c.x, c.y), dir, gap, home.size());
                    // Whole twips: the drop takes the shift off again exactly.
                    const QPointF shift(std::round(b.left() - home.left()),
                                        std::round(b.top() - home.top()));
                    candidates.push_back(home.translated(shift));
                }
            c.angle.box = placed.firstFree(candidates, &axes);
            c.angleShift = c.angle.box.topLeft() - home.topLeft();
        }
        placed.add(c.angle.box);
    }

    for (std::size_t i = 0; i < n; ++i) {
        auto &c = corners[i];
        if (!shown(c.number)) continue;
        if (placed.clashes(c.number.box) || axes.clashes(c.number.box)) {
            std::vector<QRectF> candidates{c.number.box};
            const std::vector<QPointF> dirs = directionsOut(i);
            for (double gap : kMoveGaps)
                for (QPointF dir : dirs)
                    candidates.push_back(
                        boxBeyond(QPointF(c.x, c.y), dir, gap, c.number.box.size()));
            c.number.box = placed.firstFree(candidates, &axes);
        }
        placed.add(c.number.box);
    }

    std::vector<std::size_t> order(n);
    for (std::size_t i = 0; i < n; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) {
        return m.SideLen[a + 1] > m.SideLen[b + 1];
    });
    for (std::size_t i : order) {
        auto &c = corners[i];
        if (!shown(c.length)) continue;
        const QPointF from(c.edge.x1, c.edge.y1), to(c.edge.x2, c.edge.y2);
        const QPointF out = outward(c);
        const QSizeF size = c.length.box.size();
        // Mostly the first place is free: the others are tried one by one.
        const QRectF first = boxBeyond(from + (to - from) * 0.5, out, kCaptionGap, size);
        c.length.box = first;
        const auto clear = [&](const QRectF &b) { return !placed.clashes(b) && !axes.clashes(b); };
        bool free = clear(first);
        for (double gap : {kCaptionGap, kCaptionGap + 200, kCaptionGap + 450, kCaptionGap + 750,
                           kCaptionGap + 1100})
            for (double t : {0.5, 0.3, 0.7, 0.15, 0.85}) {
                if (free) break;
                c.length.box = boxBeyond(from + (to - from) * t, out, gap, size);
                free = clear(c.length.box);
            }
        if (!free) c.length.box = first;
        placed.add(c.length.box);
    }
}

} // namespace

bool drawable(double x, double y) {
    return std::isfinite(x) && std::isfinite(y) && std::abs(x) < 1e9 && std::abs(y) < 1e9;
}

std::vector<const DrawnLine *> DrawingLayout::frameLines() const {
    std::vector<const DrawnLine *> v;
    v.reserve(verticalGrid.size() + horizontalGrid.size() + 10);
    for (const DrawnLine &l : verticalGrid)
        v.push_back(&l);
    for (const DrawnLine &l : horizontalGrid)
        v.push_back(&l);
    v.push_back(&yAxis);
    v.push_back(&xAxis);
    for (const DrawnLine &l : xTicks)
        v.push_back(&l);
    for (const DrawnLine &l : yTicks)
        v.push_back(&l);
    return v;
}

std::vector<const DrawnLine *> DrawingLayout::polygonLines() const {
    std::vector<const DrawnLine *> v;
    v.reserve(corners.size() + 1);
    for (const Corner &c : corners)
        v.push_back(&c.edge);
    v.push_back(&measureLine);
    return v;
}

namespace {

// The size of a caption as the sum of its characters' sizes, each measured
// once: a crowded drawing has thousands of captions of a dozen characters,
// and measuring each text whole would take most of a frame. Only for
// deciding which captions keep apart, where a pixel more or less is of no
// account.
class CharacterMeasure {
public:
    explicit CharacterMeasure(const MeasureText &measure) : measure_(measure) {}
    QSizeF operator()(const QString &text, double points) {
        Sizes &sizes = sizesAt(points);
        QSizeF size(0, 0);
        for (const QChar c : text) {
            // Captions are digits, commas and a few letters: those are kept
            // in a table, any other character is measured every time.
            const char16_t u = c.unicode();
            std::optional<QSizeF> other;
            std::optional<QSizeF> &known = u < sizes.size() ? sizes[u] : other;
            if (!known) known = measure_(QString(c), points);
            size.rwidth() += known->width();
            size.rheight() = std::max(size.height(), known->height());
        }
        return size;
    }

private:
    using Sizes = std::array<std::optional<QSizeF>, 0x500>; // Latin and Cyrillic
    Sizes &sizesAt(double points) {
        for (auto &[at, sizes] : byPoints_)
            if (at == points) return *sizes;
        byPoints_.emplace_back(points, std::make_unique<Sizes>());
        return *byPoints_.back().second;
    }
    const MeasureText &measure_;
    std::vector<std::pair<double, std::unique_ptr<Sizes>>> byPoints_;
};

} // namespace

DrawingLayout layOutDrawing(const geometry::PolygonDocument &doc, const ViewState &view,
                            const files::Settings &s, const MeasureText &exactMeasure,
                            const DrawingFrame &frame) {
    DrawingLayout d;
    const bool crowded = doc.cornerCount() > int(kEveryCaptionUpTo);
    MeasureText byCharacter;
    if (crowded && exactMeasure)
        byCharacter = [m = std::make_shared<CharacterMeasure>(exactMeasure)](
                          const QString &text, double points) { return (*m)(text, points); };
    const MeasureText &measure = crowded && exactMeasure ? byCharacter : exactMeasure;
    // The grid and the ticks start at the axes' crossing.
    const double ox = kCrossX, oy = kCrossY;
    const double cm = double(view.twipsPerMm) * 10;

    // The centimetre grid, 20 cm wide and 17 cm high, from the axes' crossing.
    const bool grid = s.ShowGrid != 0;
    d.verticalGrid[0] = line(ox, kGridTop, ox, kGridBottom, s.GridColour, false);
    for (std::size_t i = 1; i < d.verticalGrid.size(); ++i) {
        const double x = d.verticalGrid[i - 1].x1 + cm;
        d.verticalGrid[i] = line(x, kGridTop, x, kGridBottom, s.GridColour, grid);
    }
    const double gridRight = d.verticalGrid.back().x1;
    d.horizontalGrid[0] = line(ox, oy, gridRight, oy, s.GridColour, false);
    for (std::size_t i = 1; i < d.horizontalGrid.size(); ++i) {
        const double y = d.horizontalGrid[i - 1].y1 - cm;
        d.horizontalGrid[i] = line(ox, y, gridRight, y, s.GridColour, grid);
    }

    // The axes, and their ticks every 5 cm with the distance they stand for.
    d.yAxis = line(kCrossX, kAxisTop, kCrossX, kCrossY, 0, true);
    d.xAxis = line(kCrossX, kCrossY, kAxisRight, kCrossY, 0, true);
    // The values are the coordinates the ticks stand at: across, X (Y when
    // north is up), and up, the other one.
    const double acrossOrigin = view.northUp ? view.axisY : view.axisX;
    const double upOrigin = view.northUp ? view.axisX : view.axisY;
    bool upright = false;
    for (int k = 1; k <= 4; ++k) {
        const double x = k * cm * 5 + ox;
        const double y = oy - k * cm * 5;
        d.xTicks[k - 1] = line(x, kCrossY, x, kXTickBottom, 0, true);
        d.yTicks[k - 1] = line(kCrossX, y, kYTickLeft, y, 0, true);
        d.xScale[k - 1] = caption(tickValue(acrossOrigin, k, view.scale), x - 100, kXScaleTop,
                                  0x80000012u, true, measure);
        d.yScale[k - 1] =
            caption(tickValue(upOrigin, k, view.scale), 0, 0, 0x80000012u, true, measure);
        upright = upright || d.yScale[k - 1].box.width() > frame.scaleRight - frame.columnRight;
    }
    // The Y values end at their ticks. Where one of them would reach under
    // the coordinate column (the long numbers of large scales), all four
    // stand on end, centred on their ticks, below the clear button.
    for (int k = 0; k < 4; ++k) {
        Caption &c = d.yScale[k];
        c.upright = upright;
        c.alignRight = true;
        const QSizeF size = upright ? c.box.size().transposed() : c.box.size();
        const double tick = d.yTicks[k].y1;
        double top = upright ? tick - size.height() / 2 : tick - 200;
        if (upright && tick > frame.clearButtonBottom) top = std::max(top, frame.clearButtonBottom);
        c.box = QRectF(frame.scaleRight - size.width(), top, size.width(), size.height());
    }
    // The name at the end of each axis: north up, X is the upright one.
    const QString across = view.northUp ? QStringLiteral("Y") : QStringLiteral("X");
    const QString up = view.northUp ? QStringLiteral("X") : QStringLiteral("Y");
    d.xName = caption(across, 15720, 9960, 0x80000012u, true, measure);
    d.yName = caption(up, 3450, 120, 0x80000012u, true, measure);

    // The quarter of the plane right of the Y axis and above the X axis,
    // with room for the marker of a corner on an axis.
    d.area = QRectF(QPointF(kCrossX - kAreaOverAxes, kAxisTop),
                    QPointF(kAxisRight, kCrossY + kAreaOverAxes));

    // The plot's other contours.
    const std::vector<geometry::CornerValues> &others = doc.otherContours();
    for (std::size_t k = 0; k < others.size(); ++k) {
        DrawingLayout::OtherContour o;
        o.hole = k < doc.texts().others.size() && doc.texts().others[k].hole;
        o.colour = s.LineColour;
        for (int i = 1; i <= others[k].n; ++i) {
            const QPointF at = view.toForm(others[k].X[std::size_t(i)], others[k].Y[std::size_t(i)]);
            o.corners.emplace_back(single(at.x()), single(at.y()));
        }
        d.otherContours.push_back(std::move(o));
    }

    // The polygon.
    const geometry::CornerValues &v = doc.values();
    const geometry::Measures &measures = doc.measures();
    const int n = std::clamp(v.n, 0, geometry::kMaxCorners);
    d.corners.resize(std::size_t(n));
    const bool clockwise = geometry::SignedArea(n, v.X.data(), v.Y.data()) < 0;
    for (int i = 1; i <= n; ++i) {
        DrawingLayout::Corner &c = d.corners[std::size_t(i - 1)];
        const QPointF at = view.toForm(v.X[std::size_t(i)], v.Y[std::size_t(i)]);
        c.x = single(at.x());
        c.y = single(at.y());
    }
    for (int i = 1; i <= n; ++i) {
        DrawingLayout::Corner &c = d.corners[std::size_t(i - 1)];
        const DrawingLayout::Corner &next = d.corners[std::size_t(i == n ? 0 : i)];
        c.edge = line(c.x, c.y, next.x, next.y, s.LineColour, true);

        const bool marked = view.markedCorner == i;
        const double size = marked ? 100 : 75;
        c.marker.box =
            QRectF(single(c.x - kMarkerOffset), single(c.y - kMarkerOffset), size, size);
        c.marker.colour = marked ? 0xC0C000u : kWindowText;
        c.marker.visible = true;

        // The angle inside the outline, a reflex one above 180 as the sheet
        // reads it. A corner with a side of length 0 has none: its caption
        // is empty.
        const std::size_t k = std::size_t(i);
        const std::size_t before = std::size_t(i == 1 ? n : i - 1), after = std::size_t(i == n ? 1 : i + 1);
        const std::optional<double> inside = geometry::InteriorAngle(
            v.X[k], v.Y[k], v.X[before], v.Y[before], v.X[after], v.Y[after], clockwise);
        const QString angle =
            inside ? geometry::plainText(geometry::roundHalfEven(*inside, 1)) +
                         QStringLiteral(" град")
                   : QString();
        c.angle = caption(angle, c.x, c.y, view.redAngle == i ? 255u : 0xC000C0u, s.ShowAngles == 1,
                          measure);
        c.number =
            caption(QString::number(i), c.x + 50, c.y + 50, 0xFF0000u, s.ShowNumbers == 1, measure);
        // A flag of another value than 0 and 1 leaves the lengths shown.
        c.length = caption(geometry::plainText(geometry::roundHalfEven(measures.SideLen[k], 2)),
                           c.x + (c.edge.x2 - c.edge.x1) * 0.5, c.y + (c.edge.y2 - c.edge.y1) * 0.5,
                           0x80000012u, s.ShowLengths != 0, measure);
    }
    keepCaptionsApart(d, measures, view.currentCorner);

    // A marker or angle caption under the mouse is where the mouse took it.
    if (view.drag && view.drag->corner >= 1 && view.drag->corner <= n) {
        DrawingLayout::Corner &c = d.corners[std::size_t(view.drag->corner - 1)];
        QRectF &box = view.drag->angle ? c.angle.box : c.marker.box;
        box.translate(view.drag->dx, view.drag->dy);
    }

    // The measuring line joins two drawn corners; its caption, at the
    // middle, is the distance of their coordinates.
    d.measureLine.colour = 0xC000;
    if (const auto &p = view.measured;
        p && p->a != p->b && p->a >= 1 && p->b >= 1 && p->a <= n && p->b <= n) {
        if (const auto distance = doc.distance(p->a, p->b)) {
            const DrawingLayout::Corner &a = d.corner(p->a), &b = d.corner(p->b);
            d.measureLine = line(a.x, a.y, b.x, b.y, 0xC000, true);
            d.measureCaption =
                caption(geometry::plainText(geometry::roundHalfEven(*distance, 2)),
                        a.x + (b.x - a.x) * 0.5, b.y - (b.y - a.y) * 0.5, 0x8000, true, measure);
        }
    }
    return d;
}

DrawingHit hitTest(const DrawingLayout &d, double x, double y) {
    // Topmost first: the measuring caption, then the corners from the last
    // (each corner's marker above its captions), then the axes' captions.
    if (covers(d.measureCaption, x, y)) return {DrawingHit::OtherCaption, 0};
    for (int i = d.cornerCount(); i >= 1; --i) {
        const DrawingLayout::Corner &c = d.corner(i);
        if (c.marker.visible && covers(c.marker.box, x, y)) return {DrawingHit::Marker, i};
        if (covers(c.angle, x, y)) return {DrawingHit::Angle, i};
        if (covers(c.number, x, y) || covers(c.length, x, y)) return {DrawingHit::OtherCaption, i};
    }
    if (covers(d.xName, x, y) || covers(d.yName, x, y)) return {DrawingHit::OtherCaption, 0};
    for (int k = 3; k >= 0; --k)
        if (covers(d.xScale[k], x, y) || covers(d.yScale[k], x, y))
            return {DrawingHit::OtherCaption, 0};
    return {};
}

} // namespace tarvel::drawing
