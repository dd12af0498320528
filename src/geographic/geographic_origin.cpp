#include "geographic/geographic_origin.h"

#include "geographic/ellipsoid.h"

namespace tarvel::geographic {

GeographicOrigin originOf(std::span<const GeoPoint> corners, const geometry::PolygonTexts &texts) {
    return {std::vector<GeoPoint>(corners.begin(), corners.end()), ellipsoidArea(corners), texts};
}

std::optional<double> ellipsoidAreaWhileUnchanged(const GeographicOrigin &origin,
                                                  const geometry::PolygonState &now) {
    const int n = int(origin.corners.size());
    if (now.corners != n || now.unit != geometry::Unit::Metres ||
        now.texts.count != origin.texts.count)
        return std::nullopt;
    for (std::size_t i = 1; i <= std::size_t(n) && i < now.texts.x.size(); ++i) {
        if (now.texts.x[i] != origin.texts.x[i] || now.texts.y[i] != origin.texts.y[i])
            return std::nullopt;
    }
    return origin.area;
}

} // namespace tarvel::geographic
