// The surveyor's sheet of a plot: per corner its coordinates, the side to the
// next corner with its direction angle and the interior angle; the area in
// square metres, hectares and сотки with its tolerance, the perimeter, the
// angle check and the outline's warnings. Also the whole sheet as
// tab-separated text (a spreadsheet pastes it as a table) and as HTML, and
// as a document of headings and tables to save.
//
// Units. Lengths and areas are given in metres and square metres whatever
// unit the coordinates are read in: coordinates in kilometres are multiplied
// by 1000 before anything is measured, so that the tolerance formula, the
// hectares and the сотки mean what a surveyor expects. X and Y themselves
// are shown in the document's unit, which the column heads name.
//
// Numbers are written as the program writes them (numtext.h): decimal comma;
// on screen with digit groups ("10 700,00"), in the tab-separated text
// without them ("10700,00"), so that a spreadsheet reads each as a number.
// Angles are written in degrees, minutes and seconds rounded to the whole
// second: "45° 07′ 30″".
//
// Pure code: no widgets.
#pragma once

#include "geometry/polygon_state.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace tarvel::geometry {

// A land category with the permissible mean error Mt of a boundary point,
// in metres.
struct LandCategory {
    QString name;
    double mt = 0;
};

// The six categories, in the order the sheet offers them; the first,
// "земли населённых пунктов" with 0,10 м, is the default.
const std::array<LandCategory, 6> &landCategories();

// What the sheet is made from.
struct SheetInput {
    // The polygon as the user typed it: corners 1..n with n = corners
    // (clamped to 3..10 000); a text that is not a number counts as 0, as for
    // the area, and the warnings say so.
    PolygonState polygon;
    // The polygon's corners as numbers (cornerValues(polygon)) where the
    // caller keeps them already; read from the texts when null.
    const CornerValues *values = nullptr;
    // The axis drawn upward, the north the direction angles start from: X
    // where the plan is drawn with "Ось X — на север", else Y.
    bool northIsX = false;
    // Mt in metres; nothing (or a value not above 0, or not finite) leaves
    // the tolerance out.
    std::optional<double> mt = 0.10;
    // The name of Mt's land category, written beside it; empty when Mt was
    // typed.
    QString category;
    // The area of the same plot on the WGS 84 ellipsoid, in square metres,
    // when it is known; the sheet then gives it with its difference from the
    // plane area.
    std::optional<double> ellipsoidAreaM2;
    // The plot the polygon is a contour of: its number of contours and its
    // area (outer contours less holes, m²) where it has more than one.
    int contours = 1;
    std::optional<double> plotAreaM2;
    // What the registry says of the plot: its area, checked against the
    // computed one, and its coordinate system.
    PlotInfo info;
    // The corners of the plot's other contours as numbers, in the order of
    // polygon.texts.others (the document's otherContours()); read from the
    // texts when null.
    const std::vector<CornerValues> *otherValues = nullptr;
};

struct SheetRow {
    int corner = 0;      // 1..n
    QString name;        // the point's name where the plot gives one
    double x = 0, y = 0; // in the document's unit
    double sideM = 0;    // to the next corner (corner n: back to 1), metres
    // The side's direction angle in degrees, 0 <= a < 360, measured
    // clockwise on the plan from the axis drawn upward, the north: from +X
    // toward +Y where X is north, from +Y toward +X where Y is; nothing for
    // a side of length 0.
    std::optional<double> direction;
    // The interior angle in degrees, 0 <= a < 360: above 180 at a reflex
    // corner, whichever way the corners run; 0 at the tip of a spike, where
    // the outline goes straight back (the warnings name it); nothing where
    // a side meeting at the corner has length 0.
    std::optional<double> interior;
};

// A contour of a plot of several, as the sheet lists it: its own table and
// area.
struct SheetContour {
    int number = 0;      // 1..contours, in the plot's order
    bool hole = false;   // a hole: its area is taken off the plot's
    bool edited = false; // the contour the window edits (its rows are the sheet's rows)
    std::vector<SheetRow> rows;
    double areaM2 = 0;
    double perimeterM = 0;
};

struct SurveySheet {
    Unit unit = Unit::Metres;
    bool northIsX = false; // which axis the direction angles start from
    QString owner;
    std::vector<SheetRow> rows;
    double areaM2 = 0;     // the plane area, m²
    double hectares = 0;   // areaM2 / 10 000
    double sotki = 0;      // areaM2 / 100
    double perimeterM = 0; // m
    // ΔP = 3,5 · Mt · √P in m², rounded to 1 m²; nothing without Mt.
    std::optional<double> toleranceM2;
    std::optional<double> mt;
    QString category;
    // The sum of the interior angles as the table gives them (each rounded
    // to the second), against 180° · (n − 2); the difference in seconds.
    // Nothing when some angle is undefined.
    std::optional<double> angleSumDeg;
    double angleSumExpectedDeg = 0;
    std::optional<double> angleMisclosureSec;
    // The outline's warnings, as the main window shows them.
    QStringList warnings;
    // The ellipsoid's area and its difference from the plane area in per
    // cent of the plane area ((E − P) / P · 100; nothing when P is 0).
    std::optional<double> ellipsoidAreaM2;
    std::optional<double> ellipsoidDiffPercent;
    int contours = 1;
    std::optional<double> plotAreaM2;
    PlotInfo info;
    // Every contour of a plot of several, in order, the edited one among
    // them; empty for a plot of one contour, whose table is `rows`.
    std::vector<SheetContour> parts;
};

// Computes the sheet. Never gives NaN or infinity: coordinates beyond the
// double range count as 0, as for the area.
SurveySheet computeSurveySheet(const SheetInput &in);

// Degrees as "° ′ ″", rounded to the whole second, minutes and seconds in
// two digits: 90 -> "90° 00′ 00″", 45.125 -> "45° 07′ 30″". A value that
// rounds up to 360° for a direction is written "0° 00′ 00″" by the sheet
// itself; this function writes what it is given. Negative values get "-".
QString degreesText(double degrees);

// The sheet as tab-separated lines: a title, the table with its head row,
// then one line per total ("Площадь, м²<TAB>10700<TAB>10700,00", ...). Lines
// end with "\n".
QString sheetTsv(const SurveySheet &sheet);

// The sheet as an HTML document with the same content: the table and the
// totals as tables, the texts escaped.
QString sheetHtml(const SurveySheet &sheet);

// The sheet as a document to save (an OpenDocument text is written from
// it): the title as a heading, the owner, the table of corners with its head
// row (for a plot of several contours one table per contour, under its
// heading and over its area), the totals as a two-column table, the
// warnings last. Numbers as the window shows them, digit groups and all; the
// texts escaped.
QString sheetDocumentHtml(const SurveySheet &sheet);

// The totals as lines "caption: value" for the window and the printed page
// ("Площадь: 10 700 м² (10 700,00 м²)", "± ΔP: 36 м² (...)", ...), the
// warnings last ("Предупреждение: ..."), unless left out.
QStringList sheetTotalLines(const SurveySheet &sheet, bool withWarnings = true);

// The head of the table and its cells as shown on screen (digit groups).
QStringList sheetColumnHeads(const SurveySheet &sheet);
QStringList sheetRowCells(const SheetRow &row);

// The lines of the table as the window and the printed page show it: for a
// plot of one contour its corners; for a plot of several, each contour's
// heading ("Контур 2 из 3 (дырка)"), its corners and its area.
struct SheetTableLine {
    enum class Kind { Corner, Heading, Area };
    Kind kind = Kind::Corner;
    QStringList cells; // a heading or an area line has its text in the first cell
};
int sheetTableLineCount(const SurveySheet &sheet);
// Line `i`, 0..sheetTableLineCount() - 1: made when asked, so that a view
// of ten thousand corners makes the lines in sight only.
SheetTableLine sheetTableLine(const SurveySheet &sheet, int i);

} // namespace tarvel::geometry
