// Bringing the whole polygon into the drawing: the arithmetic behind
// "Показать весь участок" and the fit after an open, an import, a paste or
// a geographic entry. Pure functions of the corners, the view and the list
// of scales; the window applies the result.
//
// The drawing is the centimetre grid beside the axes: kDrawingWidthCm
// across and kDrawingHeightCm up from their crossing. The view fits when
// every corner lies in it (edges included). A view that does not fit moves
// its axes' origin to round values just below the smallest coordinates (a
// multiple of the distance between two labelled ticks, 5 cm of drawing),
// and if the polygon is still too large the scale steps up the list of
// scales until it fits. The scale never steps down, and the coordinates
// never change.
#pragma once

#include "drawing/drawing_mapping.h"

#include <QStringList>

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

// Whether every corner lies in the drawing as `view` places it.
bool liesInView(const PlaneBounds &b, const ViewPlacement &view);

// The round origin just below `low` for a scale: the largest multiple of
// the tick distance (kTickCm centimetres at that scale) not above it.
double roundOrigin(double low, float scale);

// The placement that shows the polygon: nullopt when `view` already does.
// Otherwise the origin rounded below the smallest coordinates at the
// current scale, or at the first scale of `scales` above the current one
// (in increasing order, whatever order the list has) at which it fits; when
// none fits, the largest of them. A scale that is not positive is passed
// over.
std::optional<ViewPlacement> fitView(const PlaneBounds &b, const ViewPlacement &view,
                                     const std::vector<float> &scales);

// fitView() for the corners of `doc` in force and the view state, with the
// scales given as the texts of the list of scales (texts that are not
// numbers are passed over).
std::optional<ViewPlacement> fitPolygon(const geometry::PolygonDocument &doc, const ViewState &view,
                                        const QStringList &scales);

// Moves `view` to take in the polygon of `doc` (fitPolygon() with the
// scales of `scaleList`). A new scale is written into `scaleList` and
// `scaleField` without raising their change handling: the caller redraws,
// once. True when the view moved.
bool takeInWholePolygon(ViewState &view, const geometry::PolygonDocument &doc,
                        platform::ComboBox &scaleList, platform::TextBox &scaleField);

} // namespace tarvel::drawing
