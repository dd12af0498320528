// Bringing the whole polygon into the drawing: the arithmetic behind
// "Показать весь участок", the fit when a polygon arrives (an open, an
// import, a paste, a geographic entry) and the view that follows a polygon
// a change left outside. Pure functions of the corners, the view and the
// list of scales; the window applies the result.
//
// The drawing is the centimetre grid beside the axes: kDrawingWidthCm
// across and kDrawingHeightCm up from their crossing. A polygon lies in the
// view when every corner does (edges included). The best view of a polygon
// is the finest scale of the list at which it fits with a centimetre of
// room all round for its captions, the axes' origin at round values below
// it (a multiple of the distance between two labelled ticks, 5 cm of
// drawing, or else of a centimetre). The coordinates never change.
#pragma once

#include "drawing/drawing_mapping.h"

#include <functional>
#include <optional>
#include <vector>

namespace tarvel::geometry {
class PolygonDocument;
}
namespace tarvel::platform {
class ComboBox;
class TextBox;
} // namespace tarvel::platform

namespace tarvel::drawing {

struct ViewState;


// The smallest box holding the corners, in plane coordinates.
struct PlaneBounds {
    double minX = 0, maxX = 0, minY = 0, maxY = 0;
};
// The bounds of the finite corners among (X[i], Y[i]); nullopt when none is
// finite.
std::optional<PlaneBounds> boundsOf(const std::vector<double> &X, const std::vector<double> &Y);

// A view's placement: the plane point at the axes' crossing and the scale
// (coordinate units per centimetre). With `northUp` X runs up the drawing
// and Y across it.
struct ViewPlacement {
    double axisX = 0, axisY = 0;
    float scale = 10;
    bool northUp = false;
    bool operator==(const ViewPlacement &) const = default;
};

// The size of a drawing in centimetres: the screen's grid, or the part of
// a printed page the drawing may take.
struct DrawingExtent {
    double acrossCm = kDrawingWidthCm;
    double upCm = kDrawingHeightCm;
};

// Room kept round a fitted polygon for the captions of its corners and
// sides, in centimetres of drawing.
inline constexpr double kCaptionRoomCm = 1;

// Whether every corner lies in the drawing as `view` places it.
bool liesInView(const PlaneBounds &b, const ViewPlacement &view, const DrawingExtent &extent = {});

// The round origin just below `low` for a scale: the largest multiple of
// `cm` centimetres of drawing at that scale (by default the distance
// between two labelled ticks) not above it.
double roundOrigin(double low, float scale, double cm = kTickCm);

// The best view of the polygon: the finest of `scales` (whatever order the
// list has; scales that are not positive are passed over) at which the
// polygon with kCaptionRoomCm all round fits `extent` from the round
// origin below it; when none does, the largest of them. Along each axis
// the origin is a tick multiple where the polygon fits so, else a whole
// centimetre. Without a usable scale in the list the view's own scale is
// taken. North up as `view`.
ViewPlacement bestView(const PlaneBounds &b, const ViewPlacement &view,
                       const std::vector<float> &scales, const DrawingExtent &extent = {});

// The bounds of the corners of `doc` in force; with `counts`, of those
// corners it says count (1-based); with the corners of the plot's other
// contours. nullopt when none counts.
std::optional<PlaneBounds> polygonBounds(const geometry::PolygonDocument &doc,
                                         const std::function<bool(int corner)> &counts = {});

// The scales a list of scales offers, as numbers (texts that are not
// numbers are passed over).
std::vector<float> listedScales(const platform::ComboBox &scaleList);

// Where `view` stands now.
ViewPlacement placementOf(const ViewState &view);

// Moves `view` to `to`. A new scale is written into `scaleList` and
// `scaleField` without raising their change handling: the caller redraws,
// once. True when the view moved.
bool moveView(ViewState &view, const ViewPlacement &to, platform::ComboBox &scaleList,
              platform::TextBox &scaleField);

} // namespace tarvel::drawing
