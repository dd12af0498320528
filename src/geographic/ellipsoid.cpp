#include "geographic/ellipsoid.h"

#include <GeographicLib/Constants.hpp>
#include <GeographicLib/Geodesic.hpp>
#include <GeographicLib/PolygonArea.hpp>
#include <GeographicLib/TransverseMercator.hpp>

#include <algorithm>
#include <cmath>

namespace tarvel::geographic {

namespace {

// A corner the ellipsoid has: a finite latitude within the poles and a
// finite longitude.
bool onEllipsoid(const GeoPoint &p) {
    return std::isfinite(p.lat) && std::isfinite(p.lon) && std::abs(p.lat) <= 90;
}

// WGS 84 with scale 1 on the central meridian: plane lengths there are
// ellipsoid lengths.
const GeographicLib::TransverseMercator &projection() {
    static const GeographicLib::TransverseMercator tm(GeographicLib::Constants::WGS84_a(),
                                                      GeographicLib::Constants::WGS84_f(), 1);
    return tm;
}

} // namespace

std::optional<double> ellipsoidArea(std::span<const GeoPoint> corners) {
    if (!std::all_of(corners.begin(), corners.end(), onEllipsoid)) return std::nullopt;
    if (corners.size() < 3) return 0.0;
    GeographicLib::PolygonArea polygon(GeographicLib::Geodesic::WGS84());
    for (const GeoPoint &p : corners)
        polygon.AddPoint(p.lat, p.lon);
    double perimeter = 0;
    double area = 0;
    // Signed, so that a clockwise outline gives its own area negated rather
    // than that of the rest of the earth.
    polygon.Compute(/*reverse=*/false, /*sign=*/true, perimeter, area);
    return std::abs(area);
}

std::optional<std::vector<PlanePoint>> projectExact(std::span<const GeoPoint> points) {
    if (points.empty()) return std::vector<PlanePoint>{};
    if (!std::all_of(points.begin(), points.end(), onEllipsoid)) return std::nullopt;
    const auto [south, north] =
        std::minmax_element(points.begin(), points.end(),
                            [](const GeoPoint &a, const GeoPoint &b) { return a.lat < b.lat; });
    const auto [west, east] =
        std::minmax_element(points.begin(), points.end(),
                            [](const GeoPoint &a, const GeoPoint &b) { return a.lon < b.lon; });
    const double lat0 = (south->lat + north->lat) / 2;
    const double lon0 = west->lon / 2 + east->lon / 2; // no overflow for any finite pair
    if (east->lon - lon0 > kExactMaxLonFromCentre) return std::nullopt;
    const GeographicLib::TransverseMercator &tm = projection();
    double x0 = 0;
    double y0 = 0;
    tm.Forward(lon0, lat0, lon0, x0, y0);
    std::vector<PlanePoint> out(points.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        tm.Forward(lon0, points[i].lat, points[i].lon, out[i].east, out[i].north);
        out[i].east -= x0;
        out[i].north -= y0;
    }
    return out;
}

std::optional<PlaneCorners> bindToAxesExact(std::span<const GeoPoint> points) {
    const int n = int(std::min<std::size_t>(points.size(), kMaxRows));
    if (n == 0) return PlaneCorners{};
    const std::span<const GeoPoint> used = points.first(std::size_t(n));
    const auto plane = projectExact(used);
    if (!plane) return std::nullopt;
    std::array<double, kMaxRows + 1> planeX{}, planeY{};
    for (int i = 1; i <= n; ++i) {
        planeX[i] = (*plane)[std::size_t(i - 1)].east;
        planeY[i] = (*plane)[std::size_t(i - 1)].north;
    }
    PlaneCorners out = shiftToAxes(n, planeX, planeY);
    out.geographic.assign(used.begin(), used.end());
    const auto [south, north] =
        std::minmax_element(used.begin(), used.end(),
                            [](const GeoPoint &a, const GeoPoint &b) { return a.lat < b.lat; });
    const auto [west, east] =
        std::minmax_element(used.begin(), used.end(),
                            [](const GeoPoint &a, const GeoPoint &b) { return a.lon < b.lon; });
    const double minX = *std::min_element(planeX.begin() + 1, planeX.begin() + n + 1);
    const double minY = *std::min_element(planeY.begin() + 1, planeY.begin() + n + 1);
    // The projection as PROJ writes it, moved by the binding to the axes.
    out.systemDefinition = QStringLiteral("+proj=tmerc +lat_0=%1 +lon_0=%2 +k=1 +x_0=%3 +y_0=%4 "
                                          "+ellps=WGS84 +units=m +no_defs")
                               .arg((south->lat + north->lat) / 2, 0, 'g', 17)
                               .arg(west->lon / 2 + east->lon / 2, 0, 'g', 17)
                               .arg(-minX, 0, 'g', 17)
                               .arg(-minY, 0, 'g', 17);
    return out;
}

} // namespace tarvel::geographic
