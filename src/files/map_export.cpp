#include "files/map_export.h"

#include "geometry/numtext.h"
#include "geometry/polygon.h"
#include "geometry/polygon_commands.h"

#include <algorithm>

namespace tarvel::files {

std::optional<platform::GisExport> mapExportOf(const geometry::PolygonTexts &plot,
                                               geometry::Unit unit, int countInForce,
                                               bool northIsX) {
    const double toMetres = unit == geometry::Unit::Kilometres ? 1000.0 : 1.0;
    platform::GisExport out;
    out.title = plot.owner == geometry::defaultPolygon().owner ? QString() : plot.owner.trimmed();
    out.system = plot.info.systemDefinition;
    const std::vector<geometry::ContourTexts> contours = geometry::plotContours(plot);
    for (std::size_t k = 0; k < contours.size(); ++k) {
        const geometry::ContourTexts &c = contours[k];
        const int n = int(k) == plot.place
                          ? countInForce
                          : std::clamp(geometry::textToInt32(c.count).value_or(geometry::kMinCorners),
                                       geometry::kMinCorners, geometry::kMaxCorners);
        platform::GisRing ring;
        ring.hole = c.hole;
        ring.points.reserve(std::size_t(n));
        ring.names.reserve(std::size_t(n));
        for (int i = 1; i <= n; ++i) {
            const std::size_t r = std::size_t(i);
            const auto x = geometry::textToCoordinate(c.x[r]);
            const auto y = geometry::textToCoordinate(c.y[r]);
            if (!x || !y) return std::nullopt;
            const double east = (northIsX ? *y : *x) * toMetres;
            const double north = (northIsX ? *x : *y) * toMetres;
            ring.points.push_back({east, north});
            ring.names.push_back(c.names[r].trimmed());
        }
        out.rings.push_back(std::move(ring));
    }
    return out;
}

} // namespace tarvel::files
