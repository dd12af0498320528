// The plot as a drawing or a map receives it: every contour in plane metres,
// easting and northing, with its points' names and the owner line. No
// widgets; the GIS module writes the file.
#pragma once

#include "geometry/polygon_state.h"
#include "platform/services/services.h"

#include <optional>

namespace tarvel::files {

// The plot's contours in order (an outer contour followed by the holes
// after it, as the plot lists them), the contour edited taking the
// `countInForce` corners in force, each other its own count. `northIsX`:
// X is the northing and Y the easting (as the registry and the plan have
// it), else X is the easting. Kilometres are written as metres. The title
// is the owner line (nothing for the prompt no one edited); the system the
// plot's. Nothing when a coordinate of a corner is no number: a map with a
// made-up corner would show another plot. The format is left for the
// caller to set.
std::optional<platform::GisExport> mapExportOf(const geometry::PolygonTexts &plot,
                                               geometry::Unit unit, int countInForce,
                                               bool northIsX);

} // namespace tarvel::files
