// What the user edits: the polygon's texts and the length unit they are read
// in. The editing commands (polygon_commands.h) map one such state to the
// next; the document (polygon_document.h) keeps it with its history.
//
// Pure code: no widgets.
#pragma once

#include "geometry/polygon.h"
#include "geometry/text_column.h"

#include <QString>

#include <optional>
#include <vector>

namespace tarvel::geometry {

// A contour of a plot while another one is edited: its texts as they were
// left, the count the one in force then.
struct ContourTexts {
    QString count;
    TextColumn x;
    TextColumn y;
    bool hole = false; // a hole in the plot (an enclave), not a part of it
    TextColumn names;  // the points' names, as a catalogue or the registry gives them

    bool operator==(const ContourTexts &) const = default;
};

// What the registry says of a plot opened from its extract, kept with it.
struct PlotInfo {
    // X is the northing, as the registry writes it: the plot is drawn with
    // X upward and its direction angles start from +X, whatever the
    // program's setting says.
    bool northIsX = false;
    std::optional<double> registeredArea; // m²
    std::optional<double> areaTolerance;  // m²
    QString coordinateSystem;             // "МСК-26, зона 1"
    // The system as PROJ takes it ("EPSG:28407", a PROJ string, WKT), when
    // the plot's coordinates can be converted to the earth's: a map file's
    // system, the origin of a geographic entry, or one the user chose.
    // Empty when not known.
    QString systemDefinition;
    // The definition is the user's own guess at a local zone's parameters:
    // whatever is converted with it is approximate.
    bool systemApproximate = false;

    bool operator==(const PlotInfo &) const = default;
};

// The texts of a polygon, as shown; index 0 of x and y is unused. The
// columns may hold texts beyond the count: rows hidden by a lower count keep
// theirs, and show them again when the count goes up.
//
// A plot may be several contours (outer rings and holes). The window edits
// one of them, whose texts these are; `others` holds the rest in the
// plot's order, the one edited standing at `place` among them.
struct PolygonTexts {
    QString count;
    TextColumn x;
    TextColumn y;
    QString owner;
    std::vector<ContourTexts> others;
    int place = 0;
    bool hole = false; // the contour edited is a hole
    PlotInfo info;
    // The corners' names ("н1", "12") where a catalogue or the registry
    // gave them, row by row as x and y; empty for corners typed in. They
    // go with their corners when one is inserted or deleted.
    TextColumn names;

    bool operator==(const PolygonTexts &) const = default;
};

// How many contours the plot has: 1 and more.
inline int contourCount(const PolygonTexts &t) {
    return int(t.others.size()) + 1;
}
// The plot's contours in order, the one edited among them with its texts.
std::vector<ContourTexts> plotContours(const PolygonTexts &t);
// A plot of the contours, contour `edited` (0-based) the one edited.
PolygonTexts plotOf(std::vector<ContourTexts> contours, const QString &owner, int edited = 0);
// The same plot with contour `k` (0-based) the one edited. The one edited
// so far keeps `countInForce` as its count: a count typed and not applied
// goes with the switch.
PolygonTexts withContourEdited(const PolygonTexts &t, int countInForce, int k);
// The same plot, whichever contour is edited.
bool samePlot(const PolygonTexts &a, const PolygonTexts &b);

// Corners 1..n as numbers; `complete` is false when some text of these
// corners does not read as a number (that coordinate then holds 0).
struct CornerValues {
    int n = 0;
    Coordinates X; // indexes 0..n
    Coordinates Y;
    bool complete = true;
};

enum class Axis { X, Y };

// The length unit the coordinates are read in. It only names them: no
// number is converted when it changes. It is not kept in the polygon file.
enum class Unit { Metres, Kilometres };

// The unit's caption: "М" or "КМ".
QString unitText(Unit unit);
// The unit as documents write it, and its square: "м" and "м²", "км" and
// "км²". The main window's captions keep unitText().
QString unitSymbol(Unit unit);
QString squareUnitSymbol(Unit unit);

// The state an editing command reads and gives.
//   texts    the texts of the count, of the corners and of the owner;
//   unit     the length unit;
//   corners  the corner count in force, 3..kMaxCorners: the count text
//            applied last. A count text typed but not applied ("2", "") does not move
//            it. A command that changes the count writes its new count text
//            and sets `corners` to match.
struct PolygonState {
    PolygonTexts texts;
    Unit unit = Unit::Metres;
    // The program starts with 20 corners (defaultPolygon()).
    int corners = 20;

    bool operator==(const PolygonState &) const = default;
};

} // namespace tarvel::geometry
