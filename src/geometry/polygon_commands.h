// The editing commands of the polygon, as pure functions from one state
// (polygon_state.h) to the next.
//
// The window asks its questions and shows its messages; these functions do
// the arithmetic and say, through a Refusal, what the user must be told. A
// result's `after` is the whole state the document takes as one change (one
// undo step); no `after` means the command changes nothing.
//
// Common rules:
//   - Only corners 1..s.corners are read or written, unless a function says
//     otherwise; the texts of hidden rows (beyond the count) stay as they
//     are.
//   - Coordinates are read with textToDouble (numtext.h): a decimal comma,
//     blanks between digit groups allowed (" 1 234,50" is 1234.5). An empty
//     text, or any other text, is not a number.
//   - Arithmetic is in 64-bit floating point. Coordinates of a national grid
//     (7 digits before the comma, 2 after) keep every digit.
//   - The owner text is never touched, and the unit only by the geographic
//     entry.
//   - A current corner p is valid when 1 <= p <= s.corners: 0 (none chosen)
//     and a row hidden by "-" are not corners of the polygon.
//
// Pure code: no widgets.
#pragma once

#include "geometry/pasted_corners.h"
#include "geometry/polygon_state.h"

#include <optional>
#include <span>

namespace tarvel::geometry {

// Why a command gives no state, or a state the user must be warned about.
enum class Refusal {
    None,
    // A coordinate of corners 1..n is not a number ("В поле с координатами
    // не число!"): the command would have to make up a 0 for it.
    NotANumber,
    // Insert at kMaxCorners corners, or a paste beyond them.
    TooManyCorners,
    // Delete at 3 corners ("Меньше 3-х углов в многоугольнике быть не
    // может!").
    TooFewCorners,
    // Insert, delete or a one-corner move without a valid current corner:
    // nothing to act on, and nothing to say.
    NoCorner,
};

struct CommandResult {
    std::optional<PolygonState> after; // the state after the command, if any
    Refusal refusal = Refusal::None;
    // The line of a pasted text that the refusal is about (1-based), or 0.
    int line = 0;
};

// The polygon the program starts with: 20 corners (area 10 700 m²), the
// design texts "26,00", "30,00", ... and the owner prompt.
PolygonTexts defaultPolygon();

// ---- reading ----
// Reads corners first..end - 1 (index 0 is skipped) of the texts into X and
// Y, which must hold index end - 1; a text that is not a number gives 0.
// True when every text read is a number. The one place texts become
// numbers.
bool readCornerRange(const PolygonTexts &t, std::size_t first, std::size_t end, Coordinates &X,
                     Coordinates &Y);
// Corners 1..s.corners (clamped to 3..kMaxCorners) as numbers.
CornerValues cornerValues(const PolygonState &s);

// ---- whole-polygon transformations ----

// Moves the polygon so that its smallest X and its smallest Y become 0.
// Each coordinate becomes X - min X, rounded to 2 decimals (halves to even),
// written as plain shortest text ("20", "12,5", "0"). Corner order is kept.
// Refused with NotANumber, changing nothing, when a text of corners 1..n
// is not a number, or when a difference leaves the double range (corners
// near +1e308 and -1e308): no coordinate is ever written as an empty text.
CommandResult moveToOrigin(const PolygonState &s);

// Mirrors the polygon in the Y axis and moves it to the origin: corner i
// ends at X = (largest X) - X(i), rounded as above; Y is only moved. The
// corners keep their numbers, so the outline's direction reverses.
// Refused like moveToOrigin when a text is not a number. When the mirrored
// texts cannot be moved (beyond the double range), `after` holds the
// mirrored texts not moved and the refusal is NotANumber.
CommandResult mirror(const PolygonState &s);

// Turns the polygon by exactly a quarter: anticlockwise (x, y) -> (-y, x),
// clockwise (x, y) -> (y, -x), then moves it to the origin. No scaling
// creeps in, so every side keeps its length to the last digit however far
// the polygon lies from the origin. Refusals as for mirror().
CommandResult turnQuarter(const PolygonState &s, bool clockwise);

// ---- the list of corners ----

// The corner that follows corner p of an n-corner polygon: p + 1, or 1
// after the last one.
int cornerAfter(int p, int n);

// Inserts after corner p (the current corner) the midpoint of p and
// cornerAfter(p, n) with the decimals it needs (insertedCorner of
// polygon.h: one more than the two corners have), so the area stays exactly
// as it was ("0,25" and "0,5" give "0,375"). Every coordinate of corners 1..n + 1 is written as plain shortest
// text of its value (" 1 234,50" becomes "1234,5"). The count becomes
// n + 1; whatever row n + 1 held while hidden is overwritten by the corner
// that moves into it.
// Refusals, in this order: TooManyCorners when n = kMaxCorners;
// NoCorner when p is not a corner 1..n; NotANumber, changing nothing, when
// a text of corners 1..n is not a number (it would become 0).
CommandResult insertCorner(const PolygonState &s, int p);

// Deletes corner p: the texts of corners p + 1..n move up by one, exactly as
// they are (a text that is not a number too); row n keeps its text, hidden.
// The count becomes n - 1. Refusals, in this order: TooFewCorners when
// n <= 3; NoCorner when p is not a corner 1..n.
CommandResult deleteCorner(const PolygonState &s, int p);

// The count buttons: n + delta corners (delta +1 or -1), from the count in
// force; rows shown again show their old texts. Beyond 3..kMaxCorners nothing
// changes (no `after`, no refusal).
CommandResult changeCount(const PolygonState &s, int delta);

// Empties the X and Y texts of every row, hidden ones too. The count and
// the owner stay.
CommandResult clearCorners(const PolygonState &s);

// ---- moves by the step ----

// Adds `delta` (in the unit of the coordinates; negative moves left or
// down) to the `axis` coordinate of every corner 1..n. Every moved text is
// written through the field pattern "# ##0.00" (31 -> " 31,00"), also with
// a delta of 0; the other axis is not touched. A text that is not a number
// keeps its text, and so does one whose sum is not finite (beyond the
// double range, or a delta that is itself infinite or NaN).
CommandResult moveCorners(const PolygonState &s, Axis axis, double delta);

// The same for corner p alone; NoCorner when p is not a corner 1..n.
CommandResult moveCorner(const PolygonState &s, int p, Axis axis, double delta);

// ---- polygons from elsewhere ----

// Corners read from a workbook: the X and Y columns (index 0 unused)
// replace the present ones, hidden rows too, and `count` (clamped to
// 3..kMaxCorners) becomes the count. The owner and the unit stay.
CommandResult importCorners(const PolygonState &s, const TextColumn &x, const TextColumn &y,
                            int count);

// Corners converted from geographic coordinates, in metres: x[1..count],
// y[1..count] (count clamped to 3..kMaxCorners; a value beyond the spans
// counts as 0) become the texts of corners 1..count,
// rounded to 2 decimals (halves to even) and written as plain shortest text
// ("20,06", "19,9", "0"); a value that is not finite counts as 0. The unit
// becomes metres: the conversion gives metres, and undoing the entry brings
// back the unit before it. Rows beyond the count and the owner stay.
CommandResult enterPlaneCorners(const PolygonState &s, int count, std::span<const double> x,
                                std::span<const double> y);

// Corners pasted as a table (pasted_corners.h) from corner `from` on: the
// pairs of the table become corners from, from + 1, ... in order, each
// coordinate written through the field pattern "# ##0.00", as a field shows
// a number typed into it once it is left (6123456,78 -> "6123 456,78").
// Pasted from corner 1, the list is the polygon: the count becomes the
// number of pasted corners (at least 3). From a later corner the count
// grows to the last pasted corner and never shrinks. The other corners'
// texts, the owner and the unit stay. One change however many corners.
// Refusals, changing nothing:
//   NotANumber with `line` = table.badLine when a line is not a pair;
//   TooManyCorners with `line` = the first line that would go beyond
//   corner kMaxCorners (the table's own TooMany line, or found here);
//   NoCorner when `from` is not a corner 1..n, or the table holds no
//   corners (a paste that belongs in one field).
// A table of several contours (parted by blank lines) becomes the plot, its
// first contour the one edited, wherever it was pasted; a contour of fewer
// than three rows gets its missing corners at zero.
CommandResult pasteCorners(const PolygonState &s, int from, const PastedTable &table);

} // namespace tarvel::geometry
