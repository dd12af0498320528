// "Чертёж участка": the plan of the plot to a standard scale on paper, with
// its coordinate grid, north arrow, scale bar, point names, side lengths,
// area and the catalogue of coordinates, worked out as a value in page
// millimetres. The painting (plan_paint.h) only turns the value into ink;
// the window, the printer and the PDF all paint the same value.
//
// The plan is always drawn north up, whatever the screen shows: X, the
// northing, runs up the page and Y, the easting, to the right. A ground
// point (X, Y) in metres lies on the page at
//   x = frame.left + (Y - y0) / denominator * 1000,
//   y = frame.bottom - (X - x0) / denominator * 1000   (mm, y down the page)
// where (x0, y0) is the ground point at the frame's lower left corner; the
// plot's bounds are centred in the frame.
//
// Page of A4 portrait, in mm: margins of 20 on the left (for binding) and 10
// elsewhere; the owner line as the title on top (12 mm kept for it); the
// drawing's square frame of 175 mm below, with the X values of the grid
// left of it and the Y values under it; under those the scale, its bar and
// the area; then the catalogue of coordinates, on the first page when it
// fits there whole, else from the second page on, each page with the
// table's heading row. The scale that fits is the first at which the plot's
// bounds, with 10 mm of room all round for the names and lengths, fit the
// frame.
//
// Pure code: no widgets. Texts are measured through a function the caller
// gives (planFontMeasure() measures them in the plan's font).
#pragma once

#include <QPointF>
#include <qnamespace.h>
#include <QPolygonF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <optional>
#include <vector>

namespace tarvel::geometry {
class PolygonDocument;
}

namespace tarvel::drawing {

// The scales the plan offers, finest first: their denominators.
inline constexpr std::array<int, 8> kPlanScales = {100,  200,  500,   1000,
                                                   2000, 5000, 10000, 25000};
// "1:1 000" for 1000.
QString planScaleText(int denominator);

// The page the plan is laid out for when nothing else is known: A4 portrait.
inline constexpr double kA4WidthMm = 210, kA4HeightMm = 297;

// The page's room, in mm.
inline constexpr double kPlanMarginLeft = 20, kPlanMarginRight = 10;
inline constexpr double kPlanMarginTop = 10, kPlanMarginBottom = 10;
// The band for the title above the frame, and the bands left of and under
// the frame for the grid's values.
inline constexpr double kPlanTitleRoom = 12, kPlanValueBand = 5;
// Room kept round the plot within the frame for its names and lengths.
inline constexpr double kPlanFitRoom = 10;
// The grid: a line every 10 cm of paper.
inline constexpr double kPlanGridMm = 100;

// A contour of the plot, as the plan draws it: corners in metres, X the
// northing and Y the easting, in their order; each with the name the plan
// writes at it and the length of the side to the next corner.
struct PlanContour {
    struct Corner {
        double x = 0, y = 0;
        QString label; // the point's name, else its number
        double sideM = 0;
    };
    std::vector<Corner> corners;
    bool hole = false;
};

// A line of the catalogue: a corner's cells ("№ точки", "X", "Y", "Длина
// стороны, м", "Дирекционный угол"), or a line across the table (a
// contour's heading, bold, or its area).
struct PlanCatalogueLine {
    enum class Kind { Corner, Heading, Note };
    Kind kind = Kind::Corner;
    QStringList cells; // a line across has its text in the first cell
};

// What the plan is made of.
struct PlanInput {
    QString owner; // the title; empty: "Чертёж участка"
    std::vector<PlanContour> contours;
    double areaM2 = 0; // the plot's area: outer contours less holes
    std::vector<PlanCatalogueLine> catalogue;
};

// The plan's input from the document: every contour of the plot in its
// order with its names (or numbers) and sides, in metres whatever unit the
// coordinates are read in; the catalogue from the survey sheet computed
// with X as the north, so that direction angles run clockwise from +X.
PlanInput planInputOf(const geometry::PolygonDocument &doc);

// The column heads of the catalogue.
QStringList planCatalogueHeads();

// The size of a text in mm, written across in the plan's font at `points`.
using PlanMeasure = std::function<QSizeF(const QString &text, double points, bool bold)>;
// Measures in the plan's font (platform::defaultFont), summing the advance
// of each character: cheap enough for ten thousand labels. Needs a
// QGuiApplication.
PlanMeasure planFontMeasure();

// A text of the page: in its box (mm) with the alignment `flags` (Qt
// alignment flags), in a font of `points`; `upright` text reads upward,
// turned a quarter anticlockwise within its box.
struct PlanText {
    QString text;
    QRectF box;
    double points = 8;
    bool bold = false;
    int flags = Qt::AlignCenter;
    bool upright = false;
};

// A straight line of `widthMm`.
struct PlanLine {
    QPointF a, b;
    double widthMm = 0.2;
};

// One page's frame, grid, scale, texts and table: everything but the plot.
struct PlanPage {
    std::vector<PlanLine> lines;
    std::vector<QPolygonF> fills; // filled black: the scale bar's segments, the arrow's half
    std::vector<QRectF> clears;   // filled white, under the texts drawn over the drawing
    std::vector<PlanText> texts;
};

struct PlanLayout {
    QSizeF pageMm{kA4WidthMm, kA4HeightMm};
    int denominator = 500;
    // Whether the plot fits the frame at this scale with its room; a plot
    // that does not is cut at the frame.
    bool fits = true;
    QRectF frame;            // the drawing's frame on the first page, mm
    double x0 = 0, y0 = 0;   // the ground point at the frame's lower left corner, m
    // The page position (mm) of a ground point (m).
    QPointF toPage(double X, double Y) const {
        return {frame.left() + (Y - y0) / denominator * 1000,
                frame.bottom() - (X - x0) / denominator * 1000};
    }

    // ---- the plot, cut at the frame
    struct Ring {
        QPolygonF points; // closed: the first point is not repeated
        bool hole = false;
    };
    std::vector<Ring> rings;
    std::vector<QPointF> corners; // the marks of the corners within the frame
    // The names and lengths that found room; the rest were left out.
    std::vector<PlanText> labels;
    int labelsLeftOut = 0;

    // ---- the grid: its ground values in m, in ascending order
    double gridStepM = 50;
    std::vector<double> gridX, gridY;

    // ---- the scale bar: two parts of `barStepM` on the ground each
    double barStepM = 10;
    double barMm = 40; // its whole length on paper
    QString scaleText; // "Масштаб 1:500"
    QString areaText;  // "Площадь участка: 1 234,56 м²"

    // ---- the pages: the first holds the drawing
    std::vector<PlanPage> pages;
    int cataloguePage = 0; // the page the catalogue starts on (0-based)

    int pageCount() const { return int(pages.size()); }
};

// The ground bounds of the plot's corners, in m; nothing without a finite
// corner.
struct PlanBounds {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};
std::optional<PlanBounds> planBounds(const PlanInput &in);

// The drawing's frame on a page of `pageMm`.
QRectF planFrame(QSizeF pageMm);

// Whether bounds of the ground fit the frame at 1:denominator with
// kPlanFitRoom all round.
bool planFits(const PlanBounds &b, QSizeF pageMm, int denominator);

// The first of kPlanScales at which the whole plot fits the frame of a page
// of `pageMm`; the coarsest when none does (then the plot is cut).
int firstFittingScale(const PlanInput &in, QSizeF pageMm = {kA4WidthMm, kA4HeightMm});

// The scale bar's part on the ground at 1:denominator: the least of 1, 2, 5
// times a power of ten that takes 2 cm of paper or more.
double scaleBarStep(int denominator);

// Lays the plan out on pages of `pageMm` at 1:denominator.
PlanLayout layOutPlan(const PlanInput &in, QSizeF pageMm, int denominator,
                      const PlanMeasure &measure);

} // namespace tarvel::drawing
