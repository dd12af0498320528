#include "geometry/polygon.h"

#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <limits>
#include <optional>

namespace tarvel::geometry {

namespace {

constexpr double kLargest = std::numeric_limits<double>::max();

// Sides between these bounds square, add and multiply in the law of cosines
// without overflow or loss to subnormals; every real survey lies far inside.
constexpr double kSafeSideMin = 1e-150;
constexpr double kSafeSideMax = 1e150;

// A coordinate that is not a finite number counts as 0, as an unreadable
// field does; this keeps NaN and infinity out of every result.
double coord(const double *a, int i) {
    const double v = a[i];
    return std::isfinite(v) ? v : 0.0;
}

// Distance when the plain formula has overflowed or underflowed: hypot scales
// internally, and a difference that itself overflows is taken at half scale.
// A distance beyond the double range saturates at the largest double.
double scaledDistance(double xa, double ya, double xb, double yb) {
    const double dx = xa - xb;
    const double dy = ya - yb;
    if (std::isfinite(dx) && std::isfinite(dy)) return std::min(std::hypot(dx, dy), kLargest);
    const double half = std::hypot(xa * 0.5 - xb * 0.5, ya * 0.5 - yb * 0.5);
    return half > kLargest * 0.5 ? kLargest : half * 2.0;
}

struct Direction {
    double ux = 0;
    double uy = 0;
};

// Unit vector from (xb, yb) towards (xa, ya) for finite coordinates, or
// nothing when the points coincide. Dividing by the larger component first
// keeps every step in range for any pair of finite doubles.
std::optional<Direction> unitDirection(double xa, double ya, double xb, double yb) {
    double dx = xa - xb;
    double dy = ya - yb;
    if (!std::isfinite(dx) || !std::isfinite(dy)) {
        dx = xa * 0.5 - xb * 0.5;
        dy = ya * 0.5 - yb * 0.5;
    }
    const double m = std::max(std::abs(dx), std::abs(dy));
    if (m == 0.0) return std::nullopt;
    dx /= m;
    dy /= m;
    const double len = std::hypot(dx, dy);
    return Direction{dx / len, dy / len};
}

bool safeSide(double s) {
    return s >= kSafeSideMin && s <= kSafeSideMax;
}

// Cosine of the angle at corner c between the sides to its neighbours a and
// b, whose lengths are sa and sb (both > 0) and whose far ends are chord
// apart. The law of cosines is the rule for every realistic polygon; for
// sides so long or so short that their squares leave the double range the
// cosine comes from unit vectors instead, which gives the same angle without
// 0/0 or inf/inf. The result is clamped to -1..1: rounding on nearly
// collinear sides may push it just outside.
double cornerCosine(double sa, double sb, double chord, const double *X, const double *Y, int c,
                    int a, int b) {
    double cosine = 0.0;
    if (safeSide(sa) && safeSide(sb)) {
        cosine = (std::pow(sa, 2) + std::pow(sb, 2) - std::pow(chord, 2)) / (sa * 2 * sb);
    } else {
        const auto u = unitDirection(coord(X, a), coord(Y, a), coord(X, c), coord(Y, c));
        const auto v = unitDirection(coord(X, b), coord(Y, b), coord(X, c), coord(Y, c));
        if (u && v) cosine = u->ux * v->ux + u->uy * v->uy;
    }
    return std::clamp(cosine, -1.0, 1.0);
}

// Trapezoid sum over the ring 0..n with element 0 standing for corner n,
// each axis scaled by a power of two (exact for normal numbers).
double trapezoidSum(int n, const double *X, const double *Y, int scaleX, int scaleY) {
    if (scaleX == 0 && scaleY == 0) {
        // The usual case, kept free of the scaling calls: it runs at every
        // keystroke.
        double sum = 0.0;
        double px = coord(X, n), py = coord(Y, n);
        for (int i = 1; i <= n; ++i) {
            const double cx = coord(X, i), cy = coord(Y, i);
            sum += (px + cx) * (py - cy);
            px = cx;
            py = cy;
        }
        return sum;
    }
    const auto x = [&](int i) { return std::ldexp(coord(X, i == 0 ? n : i), -scaleX); };
    const auto y = [&](int i) { return std::ldexp(coord(Y, i == 0 ? n : i), -scaleY); };
    double sum = 0.0;
    for (int i = 0; i < n; ++i)
        sum += (x(i) + x(i + 1)) * (y(i) - y(i + 1));
    return sum;
}

// Binary exponent that brings the largest magnitude of corners 1..n below 1.
int scaleExponent(int n, const double *a) {
    double largest = 0.0;
    for (int i = 1; i <= n; ++i)
        largest = std::max(largest, std::abs(coord(a, i)));
    return largest == 0.0 ? 0 : std::ilogb(largest) + 1;
}

// The decimals of a value's plain text (numtext.h): 2 for 1234.56, 0 for
// 20; -1 when that text is in exponent form (below 1e-4 or from 1e15 up in
// magnitude), where a count of decimals means nothing.
int decimalsOf(double v) {
    const QString text = plainText(v);
    if (text.contains(QLatin1Char('E'))) return -1;
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    return comma < 0 ? 0 : int(text.size() - comma - 1);
}

} // namespace

double SignedArea(int n, const double *X, const double *Y) {
    if (n < 1 || X == nullptr || Y == nullptr) return 0.0;
    // The trapezoid sum runs the other way round: it is minus twice the
    // counterclockwise area.
    const double sum = trapezoidSum(n, X, Y, 0, 0);
    if (std::isfinite(sum)) return -sum * 0.5;

    // The products overflowed (coordinates near the double limit): the same
    // sum on coordinates scaled into -1..1, then scaled back. An area larger
    // than any double saturates instead of becoming infinite.
    const int ex = scaleExponent(n, X);
    const int ey = scaleExponent(n, Y);
    const double area = std::ldexp(-trapezoidSum(n, X, Y, ex, ey) * 0.5, ex + ey);
    return std::clamp(area, -kLargest, kLargest);
}

double PolygonArea(int n, const double *X, const double *Y) {
    return std::abs(SignedArea(n, X, Y));
}

std::optional<double> InteriorAngle(double x, double y, double prevX, double prevY, double nextX,
                                    double nextY, bool clockwise) {
    const double ax = prevX - x, ay = prevY - y;
    const double dx = nextX - x, dy = nextY - y;
    if ((ax == 0 && ay == 0) || (dx == 0 && dy == 0)) return std::nullopt;
    const double cross = clockwise ? ax * dy - ay * dx : dx * ay - dy * ax;
    const double dot = dx * ax + dy * ay;
    double a = std::atan2(cross, dot) * 180 / std::numbers::pi;
    if (!std::isfinite(a)) return std::nullopt;
    if (a < 0) a += 360;
    return a;
}

float Acos(float x) {
    constexpr float kPi = 3.14159265358979f;
    if (std::isnan(x)) x = 0.0f; // a non-number counts as 0, like an unreadable field
    if (x >= 1.0f) return 0.0f;
    if (x <= -1.0f) return kPi;
    // -x * x + 1 in single precision, the square root and arc tangents in
    // double, and the sum narrowed back to single at the interface.
    const float t = -x * x + 1.0f;
    return static_cast<float>(
        std::atan(-static_cast<double>(x) / std::sqrt(static_cast<double>(t))) +
        2.0 * std::atan(1.0));
}

void Measures::clear() {
    SideLen.clear();
    ChordLen.clear();
    CornerCos.clear();
    CornerAngle.clear();
    AngleDefined.clear();
}

double distance(double xa, double ya, double xb, double yb) {
    const double dx = xa - xb;
    const double dy = ya - yb;
    const double squares = std::pow(dx, 2) + std::pow(dy, 2);
    // The plain formula holds whenever the sum of squares is a normal double;
    // past either end of the range distinct points would come out 0 apart,
    // imprecise, or infinitely far.
    if (std::isfinite(squares) &&
        (squares >= std::numeric_limits<double>::min() || (dx == 0.0 && dy == 0.0)))
        return std::pow(squares, 0.5);
    return scaledDistance(xa, ya, xb, yb);
}

void computeMeasures(int n, const double *X, const double *Y, Measures &out) {
    out.clear();
    if (n < kMinCorners || X == nullptr || Y == nullptr) return;
    const auto size = std::size_t(n) + 1;
    out.SideLen.assign(size, 0.0);
    out.ChordLen.assign(size, 0.0);
    out.CornerCos.assign(size, 0.0f);
    out.CornerAngle.assign(size, 0.0);
    out.AngleDefined.assign(size, false);

    const auto dist = [&](int a, int b) {
        return distance(coord(X, a), coord(Y, a), coord(X, b), coord(Y, b));
    };

    for (int i = 1; i <= n - 1; ++i)
        out.SideLen[i] = dist(i + 1, i);
    out.SideLen[n] = dist(n, 1);

    for (int i = 2; i <= n - 1; ++i)
        out.ChordLen[i] = dist(i + 1, i - 1);
    out.ChordLen[n] = dist(1, n - 1);
    out.ChordLen[1] = dist(2, n);

    // Corner i lies between side i (towards corner next) and side before
    // (from corner prev). A side of length 0 leaves the corner without an
    // angle: its cosine and angle stay 0 and the flag tells the caller.
    const auto angle = [&](int i, int before, int prev, int next) {
        const double sa = out.SideLen[i];
        const double sb = out.SideLen[before];
        if (!(sa > 0.0) || !(sb > 0.0)) return;
        const auto cosine =
            static_cast<float>(cornerCosine(sa, sb, out.ChordLen[i], X, Y, i, next, prev));
        out.CornerCos[i] = cosine;
        // Degrees the way the window always showed them: the single-precision
        // arc cosine times a single 180, then divided by a double pi.
        out.CornerAngle[i] = static_cast<double>(Acos(cosine) * 180.0f) / 3.1415926535;
        out.AngleDefined[i] = true;
    };
    for (int i = 2; i <= n; ++i)
        angle(i, i - 1, i - 1, i == n ? 1 : i + 1);
    angle(1, n, n, 2);
}

Shift smallest(int n, const double *X, const double *Y) {
    Shift s;
    if (n < 1 || X == nullptr || Y == nullptr) return s;
    s.minX = coord(X, 1);
    s.minY = coord(Y, 1);
    for (int i = 2; i <= n; ++i) {
        if (coord(X, i) < s.minX) s.minX = coord(X, i);
        if (coord(Y, i) < s.minY) s.minY = coord(Y, i);
    }
    return s;
}

// Negation is written as 0 - v so that a 0 coordinate stays +0 and never
// shows up later as "-0".
void rotateAnticlockwise(int n, double *X, double *Y) {
    if (n < 1 || X == nullptr || Y == nullptr) return;
    for (int i = 1; i <= n; ++i) {
        const double x = coord(X, i);
        const double y = coord(Y, i);
        X[i] = 0.0 - y;
        Y[i] = x;
    }
}

void rotateClockwise(int n, double *X, double *Y) {
    if (n < 1 || X == nullptr || Y == nullptr) return;
    for (int i = 1; i <= n; ++i) {
        const double x = coord(X, i);
        const double y = coord(Y, i);
        X[i] = y;
        Y[i] = 0.0 - x;
    }
}

Point insertedCorner(int p, int n, const double *X, const double *Y) {
    if (n < 1 || p < 1 || p > n || X == nullptr || Y == nullptr) return {};
    const int q = p == n ? 1 : p + 1;
    // Halving each coordinate first is exact and gives the same double as
    // (a + b) / 2, but cannot overflow for coordinates near the double limit.
    // The exact decimal midpoint of two values of d decimals has at most
    // d + 1: rounding there takes off only the binary noise of the sum.
    const auto mid = [](double a, double b) {
        const double m = a * 0.5 + b * 0.5;
        const int da = decimalsOf(a), db = decimalsOf(b);
        if (da < 0 || db < 0) return m;
        return roundHalfEven(m, std::max(da, db) + 1);
    };
    return Point{mid(coord(X, p), coord(X, q)), mid(coord(Y, p), coord(Y, q))};
}

} // namespace tarvel::geometry
