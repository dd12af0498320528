#include "geometry/polygon_warnings.h"

#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"

// Boost 1.74 includes some of its own deprecated headers, which would say
// so at every build.
#define BOOST_ALLOW_DEPRECATED_HEADERS
// Boost 1.74's rescaling policy sets a factor on every path GCC cannot
// follow through the inlining; the warning is about its code, not ours.
// Boost 1.74 rescales coordinates to 64-bit integers before it looks for
// self-meetings, and its determinant then overflows (undefined behaviour)
// for survey-size coordinates. Later releases work in floating point by
// default; this asks the same of every release.
#define BOOST_GEOMETRY_NO_ROBUSTNESS
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#include <boost/geometry/algorithms/is_valid.hpp>
#include <boost/geometry/core/cs.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/ring.hpp>
#pragma GCC diagnostic pop

#include <algorithm>
#include <tuple>
#include <cmath>
#include <cstddef>

namespace tarvel::geometry {

namespace bg = boost::geometry;

QString PolygonWarning::line() const {
    return where.isEmpty() ? message : message + QLatin1Char(' ') + where;
}

namespace {

using BoostPoint = bg::model::d2::point_xy<double>;
// Open: corner n is followed by corner 1 without being repeated. The
// orientation is whatever the user typed: it is not checked.
using BoostRing = bg::model::ring<BoostPoint, true, false>;

constexpr double kCheckedMagnitude = 1e15;

QString pointText(double x, double y) {
    return QStringLiteral("(%1; %2)")
        .arg(plainText(roundHalfEven(x, 2)), plainText(roundHalfEven(y, 2)));
}

// Up to this many corners the plain look at every pair of sides is quicker
// than the full check.
constexpr std::size_t kPlainLookCorners = 64;

struct Corner {
    double x = 0;
    double y = 0;
    bool operator==(const Corner &) const = default;
};

// A visit policy for bg::is_valid: it keeps going past what a surveyor's
// outline may well have (consecutive duplicate corners, either direction)
// and stops at the first place where the outline meets itself, keeping
// the candidate points so that ones already told otherwise can be passed
// over.
class FirstMeeting {
public:
    std::vector<BoostPoint> points;

    template <bg::validity_failure_type Failure> bool apply() { return acceptable(Failure); }

    template <bg::validity_failure_type Failure, typename Data> bool apply(const Data &data) {
        if constexpr (Failure == bg::failure_self_intersections) {
            for (const auto &turn : data)
                points.push_back(turn.point);
            return false;
        } else {
            return acceptable(Failure);
        }
    }

    template <bg::validity_failure_type Failure, typename Data1, typename Data2>
    bool apply(const Data1 &, const Data2 &data2) {
        if constexpr (Failure == bg::failure_spikes) {
            points.push_back(data2); // the spike's apex
            return false;
        } else {
            return acceptable(Failure);
        }
    }

private:
    static bool acceptable(bg::validity_failure_type failure) {
        return failure == bg::no_failure || failure == bg::failure_duplicate_points ||
               failure == bg::failure_wrong_orientation;
    }
};

// (b - a) x (c - a), and how far from 0 it may be and still count as 0:
// c within `near` of the line through a and b, or rounding.
double orientation(const BoostPoint &a, const BoostPoint &b, const BoostPoint &c, double near,
                   double &doubt) {
    const double bx = b.x() - a.x(), by = b.y() - a.y(), cx = c.x() - a.x(), cy = c.y() - a.y();
    const double ab = std::abs(bx) + std::abs(by), ac = std::abs(cx) + std::abs(cy);
    doubt = 2 * near * ab + 1e-12 * ab * ac;
    return bx * cy - by * cx;
}

// Whether segments pq and rs surely neither cross nor touch: they keep more
// than `near` apart.
bool surelyApart(const BoostPoint &p, const BoostPoint &q, const BoostPoint &r,
                 const BoostPoint &s, double near) {
    if (std::max(p.x(), q.x()) + near < std::min(r.x(), s.x()) ||
        std::max(r.x(), s.x()) + near < std::min(p.x(), q.x()) ||
        std::max(p.y(), q.y()) + near < std::min(r.y(), s.y()) ||
        std::max(r.y(), s.y()) + near < std::min(p.y(), q.y()))
        return true;
    double d1 = 0, d2 = 0, d3 = 0, d4 = 0;
    const double o1 = orientation(p, q, r, near, d1), o2 = orientation(p, q, s, near, d2);
    const double o3 = orientation(r, s, p, near, d3), o4 = orientation(r, s, q, near, d4);
    const auto sameSide = [](double a, double da, double b, double db) {
        return (a > da && b > db) || (a < -da && b < -db);
    };
    return sameSide(o1, d1, o2, d2) || sameSide(o3, d3, o4, d4);
}

} // namespace

bool surelySimple(const std::vector<QPointF> &corners) {
    const std::size_t m = corners.size();
    if (m < 4) return false;
    std::vector<BoostPoint> ring;
    ring.reserve(m);
    for (const QPointF &c : corners)
        ring.emplace_back(c.x(), c.y());
    const auto at = [&](std::size_t i) -> const BoostPoint & { return ring[i % m]; };
    // What lies closer than a billionth of the coordinates' size may be
    // taken as touching by the full check, whose comparisons allow for
    // rounding at that size: such outlines are left to it.
    double size = 1;
    for (const BoostPoint &p : ring)
        size = std::max({size, std::abs(p.x()), std::abs(p.y())});
    const double near = 1e-9 * size;
    for (std::size_t i = 0; i < m; ++i) {
        // Two sides in a row that fold back on each other make a spike.
        double doubt = 0;
        const double turn = orientation(at(i), at(i + 1), at(i + 2), near, doubt);
        const double along = (at(i + 1).x() - at(i).x()) * (at(i + 2).x() - at(i + 1).x()) +
                             (at(i + 1).y() - at(i).y()) * (at(i + 2).y() - at(i + 1).y());
        if (std::abs(turn) <= doubt && along <= 0) return false;
        // Sides that do not follow one another must keep apart.
        for (std::size_t j = i + 2; j < m; ++j) {
            if (i == 0 && j == m - 1) continue;
            if (!surelyApart(at(i), at(i + 1), at(j), at(j + 1), near)) return false;
        }
    }
    return true;
}

// Every pair of corners i < j in the same place, the first pair (smallest
// i, then smallest j) first. Sorting the corners by place finds them in
// n log n, where a look at every pair would take n² at ten thousand corners.
std::vector<std::pair<int, int>> coincidentPairs(const std::vector<Corner> &corners) {
    std::vector<int> order;
    order.reserve(corners.size());
    for (int i = 1; i < int(corners.size()); ++i) order.push_back(i);
    const auto place = [&](int i) {
        const Corner &c = corners[std::size_t(i)];
        return std::tuple(c.x, c.y, i);
    };
    std::sort(order.begin(), order.end(), [&](int a, int b) { return place(a) < place(b); });
    std::vector<std::pair<int, int>> pairs;
    for (std::size_t g = 0; g < order.size();) {
        std::size_t e = g + 1;
        while (e < order.size() &&
               corners[std::size_t(order[e])] == corners[std::size_t(order[g])])
            ++e;
        for (std::size_t a = g; a < e; ++a)
            for (std::size_t b = a + 1; b < e; ++b) pairs.emplace_back(order[a], order[b]);
        g = e;
    }
    std::sort(pairs.begin(), pairs.end());
    return pairs;
}

std::vector<PolygonWarning> polygonWarnings(const PolygonState &s) {
    return polygonWarnings(s, cornerValues(s));
}

std::vector<PolygonWarning> polygonWarnings(const PolygonState &s, const CornerValues &v) {
    return polygonWarnings(s, v, {});
}

std::vector<PolygonWarning> polygonWarnings(const PolygonState &s, const CornerValues &v,
                                            const PendingText &pending) {
    const int n = v.n;
    if (!v.complete) {
        bool anyPending = false;
        for (int i = 1; i <= n; ++i) {
            const std::size_t k = std::size_t(i);
            for (const Axis axis : {Axis::X, Axis::Y}) {
                const QString &text = (axis == Axis::X ? s.texts.x : s.texts.y)[k];
                if (textToCoordinate(text)) continue;
                if (pending && pending(axis, i, text)) {
                    anyPending = true;
                    continue;
                }
                PolygonWarning w;
                w.kind = PolygonWarning::Kind::NotANumber;
                w.message = QStringLiteral("В поле с координатами не число!");
                w.axis = axis;
                w.corner = i;
                w.where = (axis == Axis::X ? QStringLiteral("X") : QStringLiteral("Y")) +
                          QString::number(i);
                return {w};
            }
        }
        if (anyPending) return {};
    }
    std::vector<Corner> corners(std::size_t(n) + 1);
    for (std::size_t k = 1; k <= std::size_t(n); ++k) corners[k] = {v.X[k], v.Y[k]};

    std::vector<PolygonWarning> warnings;
    std::vector<Corner> shared; // every place where corners coincide
    for (const auto &[i, j] : coincidentPairs(corners)) {
        shared.push_back(corners[std::size_t(i)]);
        if (shared.size() > 1) continue;
        PolygonWarning w;
        w.kind = PolygonWarning::Kind::CoincidentCorners;
        w.message = QStringLiteral("Углы %1 и %2 совпадают").arg(i).arg(j);
        w.first = i;
        w.second = j;
        warnings.push_back(w);
    }

    const bool checkable = std::all_of(corners.begin() + 1, corners.end(), [](const Corner &c) {
        return std::abs(c.x) < kCheckedMagnitude && std::abs(c.y) < kCheckedMagnitude;
    });
    if (checkable) {
        // Consecutive duplicates (the closing pair too) are dropped: they
        // are the coincidence warning's business, and a ring of fewer than
        // 3 distinct corners is then simply too short to be checked.
        BoostRing ring;
        for (int i = 1; i <= n; ++i) {
            const Corner &c = corners[std::size_t(i)];
            if (ring.empty() || ring.back().x() != c.x || ring.back().y() != c.y)
                ring.emplace_back(c.x, c.y);
        }
        while (ring.size() > 1 && ring.back().x() == ring.front().x() &&
               ring.back().y() == ring.front().y())
            ring.pop_back();

        // Most outlines plainly keep apart from themselves: a plain look at
        // every pair of sides tells so for a fraction of the full check,
        // which is left for the outlines where something comes close.
        FirstMeeting meeting;
        std::vector<QPointF> plain;
        plain.reserve(ring.size());
        for (const BoostPoint &p : ring)
            plain.emplace_back(p.x(), p.y());
        // The plain look takes n² steps: on long outlines the full check,
        // which sorts the sides into sections first, is the quicker one.
        if (plain.size() > kPlainLookCorners || !surelySimple(plain))
            bg::is_valid(ring, meeting, bg::default_strategy());
        const auto told = [&](const BoostPoint &p) {
            return std::find(shared.begin(), shared.end(), Corner{p.x(), p.y()}) != shared.end();
        };
        const auto found = std::find_if_not(meeting.points.begin(), meeting.points.end(), told);
        if (found != meeting.points.end()) {
            PolygonWarning w;
            w.kind = PolygonWarning::Kind::CrossesItself;
            w.message = QStringLiteral("Контур пересекает сам себя");
            w.at = {found->x(), found->y()};
            w.where = pointText(found->x(), found->y());
            // Before the coincidence: the order the warning line shows them.
            warnings.insert(warnings.begin(), w);
        }
    }
    return warnings;
}

} // namespace tarvel::geometry
