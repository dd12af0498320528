// What is wrong with the outline the user typed, for the warning line near
// the area: a pure function of the polygon's state.
//
// The warnings never change a number: the area and the measures follow
// their own rules (a text that is not a number counts as 0, a crossed
// outline gives the trapezoid sum). They only say why that result may not
// be what the user meant.
//
// Pure code: no widgets.
#pragma once

#include "geometry/polygon.h"
#include "geometry/polygon_state.h"

#include <QPointF>
#include <QString>

#include <optional>
#include <functional>
#include <vector>

namespace tarvel::geometry {

struct PolygonWarning {
    enum class Kind {
        // A coordinate text of corners 1..n does not read as a number.
        NotANumber,
        // The outline meets itself away from its own corners' joins.
        CrossesItself,
        // Two corners lie in the same place.
        CoincidentCorners,
    };
    Kind kind = Kind::NotANumber;
    // The message, exact: "В поле с координатами не число!",
    // "Контур пересекает сам себя" or "Углы 3 и 4 совпадают".
    QString message;
    // What the message points at, shown after it: the field ("X3", "Y7")
    // or the crossing point ("(20; 15)"); empty for coincident corners,
    // whose message names them.
    QString where;
    // NotANumber: the field to mark (axis, corner 1..n).
    Axis axis = Axis::X;
    int corner = 0;
    // CoincidentCorners: the two corners, first < second.
    int first = 0;
    int second = 0;
    // CrossesItself: the point, in the unit of the coordinates.
    Point at;

    // The whole line: the message, then `where` after a blank when there is
    // one ("Контур пересекает сам себя (20; 15)").
    QString line() const;
};

// The warnings about corners 1..n of `s` (n = s.corners, clamped to 3..10 000;
// hidden rows are never read), at most one of each kind, in this order:
//
//  1. NotANumber: the first coordinate text, read X1, Y1, X2, Y2, ..., that
//     is not a number (textToDouble of numtext.h: an empty text is not one
//     either). While there is one, the outline is unknown and this is the
//     only warning: checking an outline with a made-up 0 in it would only
//     add noise.
//  2. CrossesItself: the outline is not a simple ring. It counts whenever
//     two sides meet anywhere else than at the corner they share:
//       - sides that cross (the bow-tie (0,0), (40,0), (0,30), (40,30)
//         crosses at (20; 15));
//       - a corner lying on another side, or touching another corner's
//         join: the outline pinches there, it is really two outlines;
//       - two sides that overlap along a line, and a spike (a side that
//         goes straight back along the side before it, which also covers a
//         flat outline with every corner on one line).
//     The point is where Boost.Geometry's validity check (OGC rules for a
//     ring) first found the outline meeting itself: the crossing, the
//     touching corner, an end of an overlap or a spike's apex. It is
//     written "(x; y)", each coordinate the plain text (numtext.h) of its
//     value rounded to 2 decimals with halves to even: "(20; 15)",
//     "(6123476; 2345693,5)".
//  3. CoincidentCorners: the first pair i < j (by i, then j) of corners with
//     exactly equal X and Y values ("1,50" and "1,5" are equal), adjacent
//     or not. Adjacent duplicates are otherwise harmless to the outline
//     check; where two corners far apart in the numbering coincide, the
//     outline touches itself at them, and that point is told by this
//     warning alone, not again as a crossing. (A crossing somewhere else
//     the validity check might have met later shows once they are parted.)
//
// Degenerate outlines: fewer than 3 distinct corners give the coincidence
// warning and no crossing. Coordinates of 1e15 or more in magnitude (far
// beyond any survey grid, where two decimals no longer exist in a double)
// are not checked for crossing; coincidence still is.
std::vector<PolygonWarning> polygonWarnings(const PolygonState &s);
// The same with the corners already read as numbers (cornerValues(s), as
// the document keeps them): ten thousand texts need not be read again.
std::vector<PolygonWarning> polygonWarnings(const PolygonState &s, const CornerValues &v);
// The same, where a text that is not a number is not yet told of while
// `pending` says so of it (the window: an empty field, or the one being
// typed into). While such a text stands, the outline is not complete and
// nothing else is checked.
using PendingText = std::function<bool(Axis axis, int corner, const QString &text)>;
std::vector<PolygonWarning> polygonWarnings(const PolygonState &s, const CornerValues &v,
                                            const PendingText &pending);

// Whether the closed outline through `corners` (no corner repeated in a row,
// the last joined to the first) surely neither crosses nor touches itself
// nor folds back in a spike: every pair of sides that do not follow one
// another lies apart by more than rounding could blur. False means only that
// the full validity check has to look; fewer than 4 corners always need it.
bool surelySimple(const std::vector<QPointF> &corners);

} // namespace tarvel::geometry
