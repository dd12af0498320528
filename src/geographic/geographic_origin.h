// What a geographic entry leaves behind beside the polygon it made: the
// corners as entered, their area on the ellipsoid, and the texts the entry
// wrote. While the polygon's texts are still exactly those, the polygon is
// the one those corners describe, and its ellipsoid area can be shown beside
// its plane area; after any edit it is another polygon, and it cannot.
//
// The comparison is of texts, not of history: undoing back to the entered
// state shows the area again, since the polygon is again the entered one.
//
// No widgets.
#pragma once

#include "geographic/conversion.h"
#include "geometry/polygon_state.h"

#include <optional>
#include <span>
#include <vector>

namespace tarvel::geographic {

struct GeographicOrigin {
    std::vector<GeoPoint> corners; // as entered, row 1 first
    std::optional<double> area;    // on WGS 84, m²; nothing off the ellipsoid
    geometry::PolygonTexts texts;  // what the entry wrote
};

// The origin of an entry of `corners` that wrote `texts` (the count text
// and the X and Y texts of corners 1..count; the owner text is not looked
// at).
GeographicOrigin originOf(std::span<const GeoPoint> corners, const geometry::PolygonTexts &texts);

// The ellipsoid area in m² while `now` is the polygon the entry made: the
// same count text, the same X and Y texts of every corner in use, the
// corner count in force equal to the number of corners entered, and metres
// as the unit (in kilometres the same texts are a polygon a million times
// larger). Nothing otherwise, and nothing when the corners had no area on
// the ellipsoid. Texts of rows beyond the count and the owner text may
// differ.
std::optional<double> ellipsoidAreaWhileUnchanged(const GeographicOrigin &origin,
                                                  const geometry::PolygonState &now);

} // namespace tarvel::geographic
