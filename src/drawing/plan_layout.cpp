#include "drawing/plan_layout.h"

#include "geometry/numtext.h"
#include "geometry/polygon_document.h"
#include "geometry/survey_sheet.h"
#include "platform/controls/controls.h"

#include <QFontMetricsF>
#include <QHash>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>

namespace tarvel::drawing {

using geometry::formatNumber;

QString planScaleText(int denominator) {
    return QStringLiteral("1:") + formatNumber(denominator, QStringLiteral("### ### ##0")).trimmed();
}

QStringList planCatalogueHeads() {
    return {QStringLiteral("№ точки"), QStringLiteral("X"), QStringLiteral("Y"),
            QStringLiteral("Длина стороны, м"), QStringLiteral("Дирекционный угол")};
}

// ---------------------------------------------------------------- input

PlanInput planInputOf(const geometry::PolygonDocument &doc) {
    geometry::SheetInput sheetIn;
    sheetIn.polygon = doc.current();
    sheetIn.values = &doc.values();
    // The plan is drawn with X up: its angles start from +X.
    sheetIn.northIsX = true;
    sheetIn.mt.reset();
    sheetIn.contours = doc.contourCount();
    const double toMetres = doc.unit() == geometry::Unit::Kilometres ? 1000.0 : 1.0;
    sheetIn.plotAreaM2 = doc.plotArea() * toMetres * toMetres;
    sheetIn.otherValues = &doc.otherContours();
    const geometry::SurveySheet sheet = geometry::computeSurveySheet(sheetIn);

    PlanInput in;
    in.owner = sheet.owner.simplified();
    in.areaM2 = sheet.contours > 1 && sheet.plotAreaM2 ? *sheet.plotAreaM2 : sheet.areaM2;
    const auto addContour = [&](const std::vector<geometry::SheetRow> &rows, bool hole) {
        PlanContour c;
        c.hole = hole;
        c.corners.reserve(rows.size());
        for (geometry::SheetRow r : rows) {
            // The plan and its catalogue are in metres, whatever unit the
            // coordinates are read in.
            r.x *= toMetres;
            r.y *= toMetres;
            QStringList cells = geometry::sheetRowCells(r);
            cells.resize(5); // the interior angle is the sheet's, not the catalogue's
            c.corners.push_back({r.x, r.y, cells.front(), r.sideM});
            in.catalogue.push_back({PlanCatalogueLine::Kind::Corner, std::move(cells)});
        }
        in.contours.push_back(std::move(c));
    };
    if (sheet.parts.empty()) {
        in.catalogue.reserve(sheet.rows.size());
        addContour(sheet.rows, false);
        return in;
    }
    // A plot of several contours: each under its heading, with its area.
    int line = 0;
    for (const geometry::SheetContour &part : sheet.parts) {
        in.catalogue.push_back({PlanCatalogueLine::Kind::Heading,
                                {geometry::sheetTableLine(sheet, line).cells.value(0)}});
        addContour(part.rows, part.hole);
        line += int(part.rows.size()) + 1;
        in.catalogue.push_back({PlanCatalogueLine::Kind::Note,
                                {geometry::sheetTableLine(sheet, line).cells.value(0)}});
        ++line;
    }
    return in;
}

// ---------------------------------------------------------------- measure

PlanMeasure planFontMeasure() {
    // Advances at a large pixel size, scaled to the points asked: the plan's
    // sizes on paper do not depend on the screen's resolution.
    constexpr double kReference = 200;
    struct Face {
        QFontMetricsF metrics;
        QHash<char16_t, double> advance;
        double height;
        explicit Face(bool bold)
            : metrics([bold] {
                  QFont f = platform::defaultFont();
                  f.setPixelSize(int(kReference));
                  f.setBold(bold);
                  return f;
              }()),
              height(metrics.height()) {}
        double width(const QString &text) {
            double w = 0;
            for (const QChar c : text) {
                auto it = advance.find(c.unicode());
                if (it == advance.end()) it = advance.insert(c.unicode(), metrics.horizontalAdvance(c));
                w += *it;
            }
            return w;
        }
    };
    auto faces = std::make_shared<std::array<Face, 2>>(std::array<Face, 2>{Face(false), Face(true)});
    return [faces](const QString &text, double points, bool bold) {
        Face &f = (*faces)[bold ? 1 : 0];
        const double mmPerUnit = points * 25.4 / 72 / kReference;
        return QSizeF(f.width(text) * mmPerUnit, f.height * mmPerUnit);
    };
}

// ---------------------------------------------------------------- scale

std::optional<PlanBounds> planBounds(const PlanInput &in) {
    std::optional<PlanBounds> b;
    for (const PlanContour &c : in.contours)
        for (const PlanContour::Corner &p : c.corners) {
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) continue;
            if (!b) {
                b = PlanBounds{p.x, p.x, p.y, p.y};
                continue;
            }
            b->minX = std::min(b->minX, p.x);
            b->maxX = std::max(b->maxX, p.x);
            b->minY = std::min(b->minY, p.y);
            b->maxY = std::max(b->maxY, p.y);
        }
    return b;
}

QRectF planFrame(QSizeF pageMm) {
    const double left = kPlanMarginLeft + kPlanValueBand;
    const double top = kPlanMarginTop + kPlanTitleRoom + 3;
    const double width = std::max(10.0, pageMm.width() - kPlanMarginRight - left);
    // Square where the page allows; under it go the grid's values, the
    // scale and the area (about 25 mm) and some of the catalogue.
    const double height =
        std::max(10.0, std::min(width, pageMm.height() - top - kPlanMarginBottom - 40));
    return {left, top, width, height};
}

bool planFits(const PlanBounds &b, QSizeF pageMm, int denominator) {
    if (denominator <= 0) return false;
    const QRectF frame = planFrame(pageMm);
    const double mmPerM = 1000.0 / denominator;
    // A hair of slack: a plot exactly as large as the room fits.
    constexpr double kSlack = 1e-9;
    return (b.maxY - b.minY) * mmPerM <= frame.width() - 2 * kPlanFitRoom + kSlack &&
           (b.maxX - b.minX) * mmPerM <= frame.height() - 2 * kPlanFitRoom + kSlack;
}

int firstFittingScale(const PlanInput &in, QSizeF pageMm) {
    const PlanBounds b = planBounds(in).value_or(PlanBounds{});
    for (int d : kPlanScales)
        if (planFits(b, pageMm, d)) return d;
    return kPlanScales.back();
}

double scaleBarStep(int denominator) {
    const double least = 20.0 * std::max(denominator, 1) / 1000; // 2 cm of paper, in m
    double power = std::pow(10.0, std::floor(std::log10(least)));
    for (;; power *= 10)
        for (double m : {1.0, 2.0, 5.0})
            if (m * power >= least * (1 - 1e-12)) return m * power;
}

// ---------------------------------------------------------------- layout

namespace {

constexpr double kNamePoints = 8, kLengthPoints = 7, kGridPoints = 7;
constexpr double kTablePoints = 9, kCaptionPoints = 10, kScalePoints = 10;
constexpr double kPlotLine = 0.3, kFrameLine = 0.35, kThinLine = 0.15;
constexpr double kCornerMark = 1.2; // diameter, mm

QString grouped(double v) {
    return formatNumber(v, QStringLiteral("### ### ### ### ##0")).trimmed();
}

// Cells of the frame taken by the drawn lines, marks and labels: a label
// goes only where every cell it would cover is free. Half-millimetre
// cells: a label kept a millimetre off a line never shares a cell with it.
class Occupancy {
public:
    explicit Occupancy(const QRectF &frame)
        : frame_(frame), columns_(std::max(1, int(std::ceil(frame.width() / kCell)))),
          rows_(std::max(1, int(std::ceil(frame.height() / kCell)))),
          taken_(std::size_t(columns_) * std::size_t(rows_), 0) {}

    // Takes the cells of `box` when all are free and the box lies within the
    // frame; false, and nothing taken, otherwise.
    bool place(const QRectF &box) {
        if (!frame_.adjusted(0.5, 0.5, -0.5, -0.5).contains(box)) return false;
        const int c0 = column(box.left()), c1 = column(box.right() - 1e-9);
        const int r0 = row(box.top()), r1 = row(box.bottom() - 1e-9);
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                if (at(c, r)) return false;
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                at(c, r) = 1;
        return true;
    }
    // Takes whatever cells of `box` lie in the frame.
    void take(const QRectF &box) {
        const int c0 = std::max(0, column(box.left())), c1 = std::min(columns_ - 1, column(box.right()));
        const int r0 = std::max(0, row(box.top())), r1 = std::min(rows_ - 1, row(box.bottom()));
        for (int r = r0; r <= r1; ++r)
            for (int c = c0; c <= c1; ++c)
                at(c, r) = 1;
    }
    // Takes the cells a straight line passes, within the frame.
    void takeLine(QPointF a, QPointF b) {
        if (!clip(a, b)) return;
        const double length = std::hypot(b.x() - a.x(), b.y() - a.y());
        const int steps = int(std::ceil(length / (kCell / 2)));
        for (int i = 0; i <= steps; ++i) {
            const double t = steps == 0 ? 0 : double(i) / steps;
            const int c = column(a.x() + t * (b.x() - a.x())), r = row(a.y() + t * (b.y() - a.y()));
            if (c >= 0 && c < columns_ && r >= 0 && r < rows_) at(c, r) = 1;
        }
    }

private:
    static constexpr double kCell = 0.5;
    int column(double x) const { return int(std::floor((x - frame_.left()) / kCell)); }
    int row(double y) const { return int(std::floor((y - frame_.top()) / kCell)); }
    std::uint8_t &at(int c, int r) { return taken_[std::size_t(r) * std::size_t(columns_) + std::size_t(c)]; }
    // Liang-Barsky: the part of the line within the frame.
    bool clip(QPointF &a, QPointF &b) const {
        const double dx = b.x() - a.x(), dy = b.y() - a.y();
        double t0 = 0, t1 = 1;
        const double p[4] = {-dx, dx, -dy, dy};
        const double q[4] = {a.x() - frame_.left(), frame_.right() - a.x(), a.y() - frame_.top(),
                             frame_.bottom() - a.y()};
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0) return false;
                continue;
            }
            const double t = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, t);
            else
                t1 = std::min(t1, t);
            if (t0 > t1) return false;
        }
        const QPointF from = a;
        a = QPointF(from.x() + t0 * dx, from.y() + t0 * dy);
        b = QPointF(from.x() + t1 * dx, from.y() + t1 * dy);
        return true;
    }

    QRectF frame_;
    int columns_, rows_;
    std::vector<std::uint8_t> taken_;
};

// A ring cut at a rectangle (Sutherland-Hodgman, one edge of the rectangle
// at a time). Points far off the page never reach the painter: the parts
// of the ring outside come back along the rectangle's edges.
QPolygonF clipRing(const QPolygonF &ring, const QRectF &r) {
    QPolygonF out = ring;
    const auto pass = [&out](auto inside, auto cross) {
        if (out.isEmpty()) return;
        QPolygonF in;
        in.swap(out);
        out.reserve(in.size());
        QPointF prev = in.back();
        bool prevIn = inside(prev);
        for (const QPointF &p : in) {
            const bool pIn = inside(p);
            if (pIn != prevIn) out.append(cross(prev, p));
            if (pIn) out.append(p);
            prev = p;
            prevIn = pIn;
        }
    };
    const auto atX = [](double x) {
        return [x](QPointF a, QPointF b) {
            const double t = (x - a.x()) / (b.x() - a.x());
            return QPointF(x, a.y() + t * (b.y() - a.y()));
        };
    };
    const auto atY = [](double y) {
        return [y](QPointF a, QPointF b) {
            const double t = (y - a.y()) / (b.y() - a.y());
            return QPointF(a.x() + t * (b.x() - a.x()), y);
        };
    };
    pass([&](QPointF p) { return p.x() >= r.left(); }, atX(r.left()));
    pass([&](QPointF p) { return p.x() <= r.right(); }, atX(r.right()));
    pass([&](QPointF p) { return p.y() >= r.top(); }, atY(r.top()));
    pass([&](QPointF p) { return p.y() <= r.bottom(); }, atY(r.bottom()));
    return out;
}

QPointF unit(QPointF v) {
    const double l = std::hypot(v.x(), v.y());
    return l > 0 && std::isfinite(l) ? v / l : QPointF();
}

// A box of `size` whose nearest point lies `gap` from `at` in direction
// `d` (a unit vector): a label beside a point or a line, clear of it.
QRectF besideBox(QPointF at, QPointF d, QSizeF size, double gap) {
    const double half = std::abs(d.x()) * size.width() / 2 + std::abs(d.y()) * size.height() / 2;
    const QPointF centre = at + d * (gap + half);
    return {centre.x() - size.width() / 2, centre.y() - size.height() / 2, size.width(),
            size.height()};
}

// Words wrapped into lines of at most `width` mm; a word longer than that
// stands on its own line.
QStringList wrap(const QString &text, double width, double points, bool bold,
                 const PlanMeasure &measure) {
    QStringList lines;
    QString line;
    for (const QString &word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && measure(longer, points, bold).width() > width) {
            lines << line;
            line = word;
        } else {
            line = longer;
        }
    }
    if (!line.isEmpty()) lines << line;
    return lines;
}

QString elided(QString text, double width, double points, bool bold, const PlanMeasure &measure) {
    if (measure(text, points, bold).width() <= width) return text;
    const QString ellipsis = QStringLiteral("…");
    while (!text.isEmpty() && measure(text + ellipsis, points, bold).width() > width)
        text.chop(1);
    return text.trimmed() + ellipsis;
}

class Builder {
public:
    Builder(const PlanInput &in, QSizeF pageMm, int denominator, const PlanMeasure &measure)
        : in_(in), measure_(measure), mmPerM_(1000.0 / denominator) {
        L.pageMm = pageMm;
        L.denominator = denominator;
        L.frame = planFrame(pageMm);
        occupied_ = std::make_unique<Occupancy>(L.frame);
    }

    PlanLayout build() {
        const std::optional<PlanBounds> b = planBounds(in_);
        const PlanBounds bounds = b.value_or(PlanBounds{});
        L.fits = planFits(bounds, L.pageMm, L.denominator);
        // The plot's bounds in the middle of the frame.
        L.x0 = (bounds.minX + bounds.maxX) / 2 - L.frame.height() / 2 / mmPerM_;
        L.y0 = (bounds.minY + bounds.maxY) / 2 - L.frame.width() / 2 / mmPerM_;
        L.pages.emplace_back();
        title();
        frame();
        grid();
        northArrow();
        plot();
        const double below = scaleAndArea();
        catalogue(below);
        pageNumbers();
        return std::move(L);
    }

private:
    PlanPage &page() { return L.pages.back(); }
    double contentWidth() const { return L.pageMm.width() - kPlanMarginLeft - kPlanMarginRight; }
    QSizeF size(const QString &text, double points, bool bold = false) const {
        return measure_(text, points, bold);
    }
    void text(const QString &t, const QRectF &box, double points, bool bold, int flags,
              bool upright = false) {
        page().texts.push_back({t, box, points, bold, flags, upright});
    }
    void line(QPointF a, QPointF b, double width) { page().lines.push_back({a, b, width}); }

    void title() {
        const QString title =
            in_.owner.trimmed().isEmpty() ? QStringLiteral("Чертёж участка") : in_.owner.simplified();
        const double width = contentWidth();
        // Two lines of the large face, else three of a smaller one, the
        // last cut short when even they do not hold it.
        double points = 12;
        QStringList lines = wrap(title, width, points, true, measure_);
        if (lines.size() > 2) {
            points = 9;
            lines = wrap(title, width, points, true, measure_);
        }
        if (lines.size() > 3) {
            lines = lines.mid(0, 3);
            lines[2] = elided(lines[2] + QStringLiteral(" …"), width, points, true, measure_);
        }
        const double h = size(QStringLiteral("Ау"), points, true).height();
        double y = kPlanMarginTop + std::max(0.0, (kPlanTitleRoom - h * double(lines.size())) / 2);
        for (const QString &l : lines) {
            text(elided(l, width, points, true, measure_), QRectF(kPlanMarginLeft, y, width, h),
                 points, true, Qt::AlignHCenter | Qt::AlignVCenter);
            y += h;
        }
    }

    void frame() {
        const QRectF &f = L.frame;
        line(f.topLeft(), f.topRight(), kFrameLine);
        line(f.topRight(), f.bottomRight(), kFrameLine);
        line(f.bottomRight(), f.bottomLeft(), kFrameLine);
        line(f.bottomLeft(), f.topLeft(), kFrameLine);
    }

    // The grid every 10 cm of paper: a cross at each meeting of its lines,
    // a tick where a line meets the frame, and the line's ground value
    // outside the frame: X left of it, reading upward, Y under it.
    void grid() {
        const QRectF &f = L.frame;
        L.gridStepM = kPlanGridMm / mmPerM_;
        const double step = L.gridStepM;
        const auto values = [step](double low, double high, std::vector<double> &out) {
            if (!std::isfinite(low) || !std::isfinite(high)) return;
            for (double i = std::ceil(low / step); i * step <= high; ++i)
                out.push_back(i * step);
        };
        values(L.x0, L.x0 + f.height() / mmPerM_, L.gridX);
        values(L.y0, L.y0 + f.width() / mmPerM_, L.gridY);
        constexpr double kTick = 3, kArm = 5, kGap = 0.8;
        for (double gx : L.gridX) {
            const double y = L.toPage(gx, L.y0).y();
            mark(QPointF(f.left(), y), QPointF(f.left() + kTick, y));
            mark(QPointF(f.right() - kTick, y), QPointF(f.right(), y));
            const QString value = grouped(gx);
            const QSizeF s = size(value, kGridPoints);
            const QRectF box(f.left() - kGap - s.height(), y - s.width() / 2, s.height(), s.width());
            if (box.top() >= f.top() && box.bottom() <= f.bottom())
                text(value, box, kGridPoints, false, Qt::AlignCenter, true);
        }
        for (double gy : L.gridY) {
            const double x = L.toPage(L.x0, gy).x();
            mark(QPointF(x, f.bottom()), QPointF(x, f.bottom() - kTick));
            mark(QPointF(x, f.top()), QPointF(x, f.top() + kTick));
            const QString value = grouped(gy);
            const QSizeF s = size(value, kGridPoints);
            const QRectF box(x - s.width() / 2, f.bottom() + kGap, s.width(), s.height());
            if (box.left() >= f.left() && box.right() <= f.right())
                text(value, box, kGridPoints, false, Qt::AlignCenter);
        }
        for (double gx : L.gridX)
            for (double gy : L.gridY) {
                const QPointF c = L.toPage(gx, gy);
                mark(QPointF(std::max(f.left(), c.x() - kArm), c.y()),
                     QPointF(std::min(f.right(), c.x() + kArm), c.y()));
                mark(QPointF(c.x(), std::max(f.top(), c.y() - kArm)),
                     QPointF(c.x(), std::min(f.bottom(), c.y() + kArm)));
            }
    }
    // A thin line of the grid, which the labels keep clear of.
    void mark(QPointF a, QPointF b) {
        line(a, b, kThinLine);
        occupied_->takeLine(a, b);
    }

    // The north arrow in the frame's upper right corner, in the room kept
    // round a plot that fits: "С" over an arrow, its left half black.
    void northArrow() {
        const QRectF &f = L.frame;
        const double cx = f.right() - 6, top = f.top() + 2;
        const QString north = QStringLiteral("С");
        const QSizeF s = size(north, 9, true);
        text(north, QRectF(cx - s.width() / 2, top, s.width(), s.height()), 9, true, Qt::AlignCenter);
        const double tip = top + s.height() + 0.8;
        const QPointF head(cx, tip), left(cx - 2, tip + 5), right(cx + 2, tip + 5), notch(cx, tip + 4);
        page().fills.push_back(QPolygonF({head, left, notch}));
        line(head, left, kThinLine);
        line(left, notch, kThinLine);
        line(notch, right, kThinLine);
        line(right, head, kThinLine);
        line(notch, QPointF(cx, tip + 12), kThinLine);
        occupied_->take(QRectF(cx - 3, top - 0.5, 6, tip + 13 - top));
    }

    void plot() {
        const QRectF cut = L.frame.adjusted(-1, -1, 1, 1);
        struct Drawn {
            const PlanContour *contour;
            QPolygonF points;
            double orientation; // 1: the ring runs so that its left is inside, -1 the other way
        };
        std::vector<Drawn> drawn;
        drawn.reserve(in_.contours.size());
        for (const PlanContour &c : in_.contours) {
            QPolygonF points;
            points.reserve(qsizetype(c.corners.size()));
            for (const PlanContour::Corner &p : c.corners)
                points.append(L.toPage(p.x, p.y));
            double twiceArea = 0;
            for (qsizetype i = 0, n = points.size(); i < n; ++i) {
                const QPointF &a = points[i], &b = points[(i + 1) % n];
                twiceArea += a.x() * b.y() - b.x() * a.y();
            }
            // Labels go outward of the plot: off a hole's land too, into it.
            double side = twiceArea > 0 ? 1 : -1;
            if (c.hole) side = -side;
            drawn.push_back({&c, points, side});
            QPolygonF ring = clipRing(points, cut);
            if (ring.size() >= 2) L.rings.push_back({std::move(ring), c.hole});
        }
        // The lines and the corners first: no label covers them.
        for (const Drawn &d : drawn) {
            const qsizetype n = d.points.size();
            for (qsizetype i = 0; i < n; ++i)
                occupied_->takeLine(d.points[i], d.points[(i + 1) % n]);
            for (const QPointF &p : d.points)
                if (L.frame.contains(p)) {
                    L.corners.push_back(p);
                    // The mark's middle: its cells reach up to a cell
                    // beyond it, and a name stands 1,5 mm off.
                    occupied_->take(QRectF(p.x() - kCornerMark / 4, p.y() - kCornerMark / 4,
                                           kCornerMark / 2, kCornerMark / 2));
                }
        }
        // The names before the lengths: where they compete, a point's name
        // says more.
        for (const Drawn &d : drawn) names(d.points, *d.contour, d.orientation);
        for (const Drawn &d : drawn) lengths(d.points, *d.contour, d.orientation);
    }

    // The outward normal of the side a -> b of a ring of `orientation`.
    static QPointF outward(QPointF a, QPointF b, double orientation) {
        const QPointF t = b - a;
        return unit(QPointF(t.y(), -t.x()) * orientation);
    }

    void names(const QPolygonF &points, const PlanContour &c, double orientation) {
        const qsizetype n = points.size();
        for (qsizetype i = 0; i < n; ++i) {
            const QPointF p = points[i], prev = points[(i + n - 1) % n], next = points[(i + 1) % n];
            if (!L.frame.contains(p)) continue;
            // Outward along the bisector of the corner: away from the
            // inside at a convex corner, into the notch at a reflex one.
            const QPointF u1 = unit(prev - p), u2 = unit(next - p);
            QPointF d = u1 + u2;
            const QPointF in = p - prev, out = next - p;
            const double turn = (in.x() * out.y() - in.y() * out.x()) * orientation;
            if (std::hypot(d.x(), d.y()) < 1e-6) {
                d = outward(p, next, orientation);
                if (d.isNull()) d = outward(prev, p, orientation);
            } else {
                d = unit(turn > 0 ? -d : d);
            }
            if (d.isNull()) d = unit(QPointF(1, -1));
            const QString &label = c.corners[std::size_t(i)].label;
            const QRectF box = besideBox(p, d, size(label, kNamePoints), 1.5);
            place(label, box, kNamePoints);
        }
    }

    void lengths(const QPolygonF &points, const PlanContour &c, double orientation) {
        const qsizetype n = points.size();
        for (qsizetype i = 0; i < n; ++i) {
            const double metres = c.corners[std::size_t(i)].sideM;
            if (!(metres > 0)) continue;
            const QPointF a = points[i], b = points[(i + 1) % n];
            const QString label = formatNumber(metres, geometry::kFieldPattern).trimmed();
            const QSizeF s = size(label, kLengthPoints);
            // A side shorter on paper than its length's text would not be
            // seen to own it.
            if (std::hypot(b.x() - a.x(), b.y() - a.y()) < s.width()) continue;
            const QPointF middle = (a + b) / 2;
            if (!L.frame.contains(middle)) continue;
            place(label, besideBox(middle, outward(a, b, orientation), s, 1.0), kLengthPoints);
        }
    }

    void place(const QString &label, const QRectF &box, double points) {
        if (occupied_->place(box))
            L.labels.push_back({label, box, points, false, Qt::AlignCenter, false});
        else
            ++L.labelsLeftOut;
    }

    // Under the frame: the scale, its bar and the area. Gives where the
    // catalogue may start.
    double scaleAndArea() {
        const QRectF &f = L.frame;
        const double row = f.bottom() + kPlanValueBand + 3, rowHeight = 8;
        const double middle = row + rowHeight / 2;
        L.scaleText = QStringLiteral("Масштаб ") + planScaleText(L.denominator);
        const QSizeF scale = size(L.scaleText, kScalePoints);
        text(L.scaleText, QRectF(f.left(), row, scale.width(), rowHeight), kScalePoints, false,
             Qt::AlignLeft | Qt::AlignVCenter);

        // The bar: two parts, the first black, with their ground lengths
        // over the divisions.
        L.barStepM = scaleBarStep(L.denominator);
        const double part = L.barStepM * mmPerM_;
        L.barMm = 2 * part;
        const double left = f.left() + scale.width() + 10, half = 0.8;
        const QRectF bar(left, middle - half, L.barMm, 2 * half);
        page().fills.push_back(QPolygonF(QRectF(left, bar.top(), part, bar.height())));
        line(bar.topLeft(), bar.topRight(), kThinLine);
        line(bar.bottomLeft(), bar.bottomRight(), kThinLine);
        for (int k = 0; k <= 2; ++k)
            line(QPointF(left + k * part, bar.top()), QPointF(left + k * part, bar.bottom()), kThinLine);
        double barEnd = bar.right();
        for (int k = 0; k <= 2; ++k) {
            const QString number = grouped(k * L.barStepM);
            const QSizeF s = size(number, kGridPoints);
            const double x = left + k * part - s.width() / 2;
            const QString t = k == 2 ? number + QStringLiteral(" м") : number;
            const QSizeF ts = size(t, kGridPoints);
            text(t, QRectF(x, bar.top() - 0.6 - ts.height(), ts.width(), ts.height()), kGridPoints,
                 false, Qt::AlignLeft | Qt::AlignVCenter);
            barEnd = std::max(barEnd, x + ts.width());
        }

        L.areaText = QStringLiteral("Площадь участка: ") +
                     formatNumber(in_.areaM2, geometry::kAreaPattern).trimmed() +
                     QStringLiteral(" м²");
        const QSizeF area = size(L.areaText, kScalePoints, true);
        // Beside the bar where there is room, else under it.
        if (f.right() - area.width() >= barEnd + 5) {
            text(L.areaText, QRectF(f.right() - area.width(), row, area.width(), rowHeight),
                 kScalePoints, true, Qt::AlignRight | Qt::AlignVCenter);
            return row + rowHeight;
        }
        text(L.areaText, QRectF(f.left(), row + rowHeight, f.width(), rowHeight), kScalePoints, true,
             Qt::AlignLeft | Qt::AlignVCenter);
        return row + 2 * rowHeight;
    }

    // The catalogue: under the drawing when it fits there whole, else from
    // the next page on; every page of it with its caption and heading row.
    void catalogue(double below) {
        const std::vector<PlanCatalogueLine> &lines = in_.catalogue;
        if (lines.empty()) return;
        const double captionHeight = 7, headHeight = 6, rowHeight = 5;
        const double bottom = L.pageMm.height() - kPlanMarginBottom - 5; // the sheet's number under it
        double top = below + 4;
        const double first = top + captionHeight + headHeight + double(lines.size()) * rowHeight;
        if (first > bottom) {
            L.pages.emplace_back();
            top = kPlanMarginTop;
        }
        L.cataloguePage = int(L.pages.size()) - 1;
        const int perPage = std::max(1, int((bottom - kPlanMarginTop - captionHeight - headHeight) / rowHeight));
        std::size_t at = 0;
        bool continued = false;
        while (at < lines.size()) {
            const int room = std::max(1, int((bottom - top - captionHeight - headHeight) / rowHeight));
            const std::size_t count = std::min(lines.size() - at, std::size_t(continued ? perPage : room));
            table(lines, at, count, top, continued, captionHeight, headHeight, rowHeight);
            at += count;
            continued = true;
            if (at < lines.size()) {
                L.pages.emplace_back();
                top = kPlanMarginTop;
            }
        }
    }

    void table(const std::vector<PlanCatalogueLine> &lines, std::size_t first, std::size_t count,
               double top, bool continued, double captionHeight, double headHeight,
               double rowHeight) {
        const QRectF &f = L.frame;
        const double left = f.left(), width = f.width();
        static constexpr double kShares[5] = {25, 35, 35, 35, 45}; // of 175
        double edges[6] = {left};
        for (int c = 0; c < 5; ++c)
            edges[c + 1] = edges[c] + kShares[c] / 175 * width;
        const QString caption = continued ? QStringLiteral("Каталог координат (продолжение)")
                                          : QStringLiteral("Каталог координат");
        text(caption, QRectF(left, top, width, captionHeight), kCaptionPoints, true,
             Qt::AlignLeft | Qt::AlignVCenter);
        double y = top + captionHeight;
        const double tableTop = y;
        const QStringList heads = planCatalogueHeads();
        for (int c = 0; c < 5; ++c)
            text(heads[c], QRectF(edges[c], y, edges[c + 1] - edges[c], headHeight), kTablePoints,
                 true, Qt::AlignCenter);
        // The rules: one across under every row; the columns' through each
        // run of corner rows, which a contour's heading or area breaks.
        line(QPointF(left, y), QPointF(left + width, y), kThinLine);
        y += headHeight;
        line(QPointF(left, y), QPointF(left + width, y), kThinLine);
        double runTop = tableTop;
        const auto endRun = [&](double runBottom) {
            if (runBottom > runTop)
                for (int c = 1; c < 5; ++c)
                    line(QPointF(edges[c], runTop), QPointF(edges[c], runBottom), kThinLine);
        };
        const double pad = 1.5;
        for (std::size_t i = first; i < first + count; ++i) {
            const PlanCatalogueLine &l = lines[i];
            if (l.kind == PlanCatalogueLine::Kind::Corner) {
                for (int c = 0; c < 5; ++c)
                    text(l.cells.value(c),
                         QRectF(edges[c] + pad, y, edges[c + 1] - edges[c] - 2 * pad, rowHeight),
                         kTablePoints, false,
                         (c == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter);
            } else {
                endRun(y);
                text(l.cells.value(0), QRectF(left + pad, y, width - 2 * pad, rowHeight),
                     kTablePoints, l.kind == PlanCatalogueLine::Kind::Heading,
                     Qt::AlignLeft | Qt::AlignVCenter);
                runTop = y + rowHeight;
            }
            y += rowHeight;
            line(QPointF(left, y), QPointF(left + width, y), kThinLine);
        }
        endRun(y);
        line(QPointF(left, tableTop), QPointF(left, y), kThinLine);
        line(QPointF(left + width, tableTop), QPointF(left + width, y), kThinLine);
    }

    void pageNumbers() {
        const int n = L.pageCount();
        if (n < 2) return;
        const double h = size(QStringLiteral("1"), kNamePoints).height();
        for (int k = 0; k < n; ++k)
            L.pages[std::size_t(k)].texts.push_back(
                {QStringLiteral("Лист %1 из %2").arg(k + 1).arg(n),
                 QRectF(kPlanMarginLeft, L.pageMm.height() - kPlanMarginBottom - h, contentWidth(), h),
                 kNamePoints, false, Qt::AlignRight | Qt::AlignVCenter, false});
    }

    const PlanInput &in_;
    const PlanMeasure &measure_;
    const double mmPerM_;
    PlanLayout L;
    std::unique_ptr<Occupancy> occupied_;
};

} // namespace

PlanLayout layOutPlan(const PlanInput &in, QSizeF pageMm, int denominator,
                      const PlanMeasure &measure) {
    return Builder(in, pageMm, std::max(1, denominator), measure).build();
}

} // namespace tarvel::drawing
