// The polygon model and its measures.
//
// A polygon is 3 to kMaxCorners corners given by plane coordinates in
// metres (or in whatever unit the user reads them in), numbered from 1;
// corner n is followed by corner 1. Arrays are indexed like the corners:
// element 0 is unused (or used as working room by the algorithms).
//
// Every function below reads corners 1..n only, so the arrays passed in must
// hold index n. A coordinate that is not a finite number (NaN, infinity)
// counts as 0, just as a field that does not read as a number does; no
// result is ever NaN or infinite.
//
// Pure code: no widgets.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace tarvel::geometry {

// The most corners a polygon has. The 42-line polygon file holds only 20
// (files/polygon_file.h); that is the file's limit, not the polygon's.
inline constexpr int kMaxCorners = 10000;
inline constexpr int kMinCorners = 3;

// Values of corners 1..n at indexes 1..n; index 0 is unused.
using Coordinates = std::vector<double>;

// Area by the trapezoid rule on corners 1..n of X and Y (n from 1 up;
// anything else gives 0). The result does not depend on the direction in
// which the corners run; self-intersecting outlines are not detected.
// Unit: square of the coordinates' unit. Coordinates so large that the
// products overflow are summed at a scale instead; an area beyond the double
// range gives the largest double.
double PolygonArea(int n, const double *X, const double *Y);

// The same trapezoid sum with its sign: positive when corners 1..n run
// counterclockwise in the plane (X to the right, Y upward), negative when
// they run clockwise, 0 for a degenerate outline. PolygonArea is its
// magnitude. Overflowing products are summed at a scale the same way; the
// result saturates at the largest double of its sign.
double SignedArea(int n, const double *X, const double *Y);

// The angle inside the polygon at the corner (x, y) whose neighbours are
// (prevX, prevY) and (nextX, nextY), in degrees from 0 up to 360: swept from
// the side toward the next corner to the side toward the previous one, the
// way the corners run (`clockwise`, the sign of SignedArea). A reflex corner
// reads above 180. Nothing when either side has length 0.
std::optional<double> InteriorAngle(double x, double y, double prevX, double prevY, double nextX,
                                    double nextY, bool clockwise);

// Arc cosine in single precision, in radians: 0 for 1, pi for -1. Arguments
// outside -1..1 are clamped to that range (they only arise from rounding of
// nearly collinear sides) and NaN counts as 0, so the result is always
// finite.
float Acos(float x);

// The derived measures of one recompute: n + 1 elements each, element 0
// is 0 and elements 1..n hold the current measures (none at all after
// clear(), or for fewer than 3 corners).
struct Measures {
    std::vector<double> SideLen;     // side from corner i to i+1; SideLen(n) back to 1
    std::vector<double> ChordLen;    // distance between the two neighbours of corner i
    std::vector<float> CornerCos;    // cosine of the angle at corner i (single)
    std::vector<double> CornerAngle; // degrees, 0..180, unsigned
    // false where the angle is undefined: one of the two sides meeting at the
    // corner has length 0. Such a corner's CornerCos and CornerAngle stay 0.
    std::vector<bool> AngleDefined;

    // The number of corners measured (0 when none).
    int corners() const { return SideLen.empty() ? 0 : int(SideLen.size()) - 1; }
    void clear();
};

// Fills the measures of corners 1..n (n from 3 up; otherwise only clears)
// from X(1..n), Y(1..n), in the order the window uses: sides 1..n-1, side n,
// chords 2..n-1, n, 1, then angles 2..n and corner 1 last. Angles come from
// the law of cosines, the cosine is stored in single precision and turned
// into degrees with Acos(c) * 180f / 3.1415926535; a cosine pushed outside
// -1..1 by rounding is stored as -1 or 1 (180 or 0 degrees). Sides too long
// or too short for their squares to stay in the double range (beyond about
// 1e150 or below 1e-150) take the cosine from unit vectors instead of the
// law of cosines. No NaN or infinity is ever stored.
void computeMeasures(int n, const double *X, const double *Y, Measures &out);

// Distance between two points, ((xa - xb)^2 + (ya - yb)^2)^0.5. Where the
// squares overflow or underflow (distinct points coming out 0 apart) it is
// computed with scaling instead; a distance beyond the double range gives
// the largest double.
double distance(double xa, double ya, double xb, double yb);

// ---- Transformations (the arithmetic of the polygon editing commands) ----

struct Shift {
    double minX = 0;
    double minY = 0;
};

// The smallest X and the smallest Y of corners 1..n (first corner's values,
// replaced only by strictly smaller ones). n below 1 gives (0, 0).
Shift smallest(int n, const double *X, const double *Y);

// Rotation by exactly 90 degrees: anticlockwise (x, y) -> (-y, x),
// clockwise (x, y) -> (y, -x). Applied in place to corners 1..n (n below 1
// changes nothing). No scaling creeps in, so side lengths
// and the area are kept exactly; a coordinate 0 comes out as +0, never -0.
void rotateAnticlockwise(int n, double *X, double *Y);
void rotateClockwise(int n, double *X, double *Y);

// The corner inserted after corner p (1..n) of an n-corner polygon: the
// midpoint of corner p and corner q = p + 1 (or 1 when p = n), exactly, so
// that the new corner lies on the side and the area does not change. Each
// coordinate keeps the decimals it needs: the midpoint of values with at
// most d decimals (in their plain text, numtext.h) is rounded to d + 1
// decimals, which only takes off the binary noise of the sum
// (4230.51 and 4230.62 give 4230.565). Where an endpoint's plain text is in
// exponent form (below 1e-4 or from 1e15 up in magnitude) the midpoint is
// the double as computed. Computed in double, so survey coordinates keep
// every digit (6123456.78 and 6123456.79 give 6123456.785); beyond 15
// significant digits a double holds no more. p outside 1..n gives (0, 0).
struct Point {
    double x = 0;
    double y = 0;
};
Point insertedCorner(int p, int n, const double *X, const double *Y);

} // namespace tarvel::geometry
