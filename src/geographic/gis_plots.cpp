#include "geographic/gis_plots.h"

#include "geographic/ellipsoid.h"
#include "geometry/numtext.h"
#include "geometry/polygon.h"

#include <QFileInfo>

#include <algorithm>
#include <limits>

namespace tarvel::geographic {

namespace {

using platform::GisReading;
using platform::GisShape;

files::ExtractRing ringOf(const std::vector<PlanePoint> &plane, std::size_t from, std::size_t n) {
    files::ExtractRing ring;
    ring.points.reserve(n);
    for (std::size_t i = from; i < from + n; ++i)
        ring.points.push_back({plane[i].north, plane[i].east, {}, false});
    return ring;
}

// The shape's points on the plane, east and north, in the order of its
// rings, and the system they are in as PROJ takes it; nothing when a
// geographic shape cannot be projected.
struct Plane {
    std::vector<PlanePoint> points;
    QString definition;
    double centralMeridian = 0;
};

std::optional<Plane> planeOf(const GisShape &shape, const GisReading &reading) {
    Plane plane;
    if (reading.system != GisReading::System::Geographic) {
        for (const platform::GisRing &r : shape.rings)
            for (const platform::GisPoint &p : r.points)
                plane.points.push_back({p.x, p.y});
        if (reading.system == GisReading::System::Projected)
            plane.definition = reading.systemDefinition;
        return plane;
    }
    std::vector<GeoPoint> geo;
    double west = std::numeric_limits<double>::infinity(), east = -west;
    double south = west, north = -west;
    for (const platform::GisRing &r : shape.rings)
        for (const platform::GisPoint &p : r.points) {
            geo.push_back({p.y, p.x});
            west = std::min(west, p.x);
            east = std::max(east, p.x);
            south = std::min(south, p.y);
            north = std::max(north, p.y);
        }
    auto projected = projectExact(geo);
    if (!projected || projected->empty()) return std::nullopt;
    // Bound to the axes, as the geographic entry binds its corners.
    double minEast = std::numeric_limits<double>::infinity();
    double minNorth = minEast;
    for (const PlanePoint &p : *projected) {
        minEast = std::min(minEast, p.east);
        minNorth = std::min(minNorth, p.north);
    }
    for (PlanePoint &p : *projected) {
        p.east -= minEast;
        p.north -= minNorth;
    }
    plane.points = std::move(*projected);
    // The same projection as PROJ writes it: its origin at the middle of
    // the shape, moved by the binding.
    plane.centralMeridian = west / 2 + east / 2;
    plane.definition = QStringLiteral("+proj=tmerc +lat_0=%1 +lon_0=%2 +k=1 +x_0=%3 +y_0=%4 "
                                      "+ellps=WGS84 +units=m +no_defs")
                           .arg((south + north) / 2, 0, 'g', 17)
                           .arg(plane.centralMeridian, 0, 'g', 17)
                           .arg(-minEast, 0, 'g', 17)
                           .arg(-minNorth, 0, 'g', 17);
    return plane;
}

} // namespace

bool isGisFileName(const QString &path) {
    static constexpr const char *kSuffixes[] = {"dxf", "geojson", "json", "kml",
                                                "kmz", "mif",     "tab",  "shp"};
    const QString suffix = QFileInfo(path).suffix().toLower();
    return std::any_of(std::begin(kSuffixes), std::end(kSuffixes),
                       [&suffix](const char *s) { return suffix == QLatin1String(s); });
}

files::ExtractReading gisPlots(const GisReading &reading, const QString &fileName) {
    files::ExtractReading out;
    switch (reading.outcome) {
    case GisReading::Outcome::Read:
        break;
    case GisReading::Outcome::NoModule:
        out.error = QString::fromUtf16(platform::kGisModuleMissing);
        return out;
    case GisReading::Outcome::Unreadable:
        out.error = reading.error.isEmpty()
                        ? QStringLiteral("Ошибка чтения файла!")
                        : QStringLiteral("Ошибка чтения файла! %1").arg(reading.error);
        return out;
    case GisReading::Outcome::Cancelled:
        out.stopped = true;
        return out;
    }
    bool tooLarge = false;
    for (const GisShape &shape : reading.shapes) {
        const bool fits = std::all_of(shape.rings.begin(), shape.rings.end(), [](const auto &r) {
            return r.points.size() <= std::size_t(geometry::kMaxCorners);
        });
        if (!fits) {
            // Cut short it would be another plot, its area wrong.
            tooLarge = true;
            continue;
        }
        const auto plane = planeOf(shape, reading);
        if (!plane || plane->points.empty()) continue;
        files::ExtractPlot plot;
        plot.layer = shape.layer.isEmpty() ? QStringLiteral("без слоя") : shape.layer;
        plot.cadastralNumber = shape.name;
        plot.address = shape.name.isEmpty() ? QFileInfo(fileName).fileName() : QString();
        std::size_t at = 0;
        for (const platform::GisRing &r : shape.rings) {
            files::ExtractRing ring = ringOf(plane->points, at, r.points.size());
            at += r.points.size();
            if (!r.hole || plot.contours.empty())
                plot.contours.push_back({{}, std::move(ring), {}});
            else
                plot.contours.back().holes.push_back(std::move(ring));
        }
        plot.systemDefinition = plane->definition;
        if (reading.system == GisReading::System::Projected)
            plot.coordinateSystem = reading.systemName;
        else if (reading.system == GisReading::System::Geographic)
            plot.coordinateSystem =
                QStringLiteral("местная: WGS 84 в поперечной проекции Меркатора, осевой "
                               "меридиан %1°")
                    .arg(geometry::formatNumber(plane->centralMeridian, QStringLiteral("0.000000"))
                             .trimmed());
        out.plots.push_back(std::move(plot));
    }
    if (out.plots.empty())
        out.error = tooLarge ? QStringLiteral("В контуре больше %1 углов: программа их не "
                                              "поддерживает")
                                   .arg(geometry::kMaxCorners)
                             : QStringLiteral("В файле нет координат границ участка");
    return out;
}

} // namespace tarvel::geographic
