// A plot entered from geographic coordinates, or opened from a map in
// them, goes back to the earth: written to KML and GeoJSON with the system
// it carries, the file read back gives the longitudes and latitudes that
// were entered, to a centimetre (1e-7 degree), whichever conversion made the
// plane corners. GDAL and PROJ do the writing and the reading back.
#include "files/coordinate_systems.h"
#include "files/egrn_extract.h"
#include "geographic/ellipsoid.h"
#include "geographic/gis_plots.h"
#include "platform/io/gis_reader.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tarvel::geographic {
namespace {

using platform::GisExport;
using platform::GisReading;

// A field of five corners near Stavropol.
const std::vector<GeoPoint> kEntered = {{45.0431, 41.9734},
                                        {45.0436, 41.9762},
                                        {45.0451, 41.9768},
                                        {45.0458, 41.9741},
                                        {45.0447, 41.9729}};

GisExport exportOf(const PlaneCorners &c) {
    GisExport out;
    out.title = QStringLiteral("Поле");
    out.system = c.systemDefinition;
    platform::GisRing ring;
    for (int i = 1; i <= c.count; ++i)
        ring.points.push_back({c.x[std::size_t(i)], c.y[std::size_t(i)]}); // X east, Y north
    out.rings.push_back(ring);
    return out;
}

void expectBackOnEarth(const GisExport &plot, GisExport::Format format, const char *suffix) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("поле.") + QLatin1String(suffix));
    GisExport out = plot;
    out.format = format;
    platform::GdalGis gis;
    ASSERT_EQ(gis.write(path, out).toStdString(), "");
    const GisReading back = gis.read(path, {});
    ASSERT_EQ(back.outcome, GisReading::Outcome::Read) << back.error.toStdString();
    EXPECT_EQ(back.system, GisReading::System::Geographic);
    ASSERT_FALSE(back.shapes.empty());
    const std::vector<platform::GisPoint> &pts = back.shapes[0].rings[0].points;
    ASSERT_EQ(pts.size(), kEntered.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(pts[i].x, kEntered[i].lon, 1e-7);
        EXPECT_NEAR(pts[i].y, kEntered[i].lat, 1e-7);
    }
}

struct Case {
    const char *name;
    bool exact;
    GisExport::Format format;
    const char *suffix;
};

class GeographicEntryToMap : public ::testing::TestWithParam<Case> {};

TEST_P(GeographicEntryToMap, GoesBackToTheEnteredCorners) {
    const Case &c = GetParam();
    const PlaneCorners plane = c.exact ? *bindToAxesExact(kEntered) : bindToAxes(kEntered);
    ASSERT_FALSE(plane.systemDefinition.isEmpty());
    expectBackOnEarth(exportOf(plane), c.format, c.suffix);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GeographicEntryToMap,
    ::testing::Values(Case{"ExactToKml", true, GisExport::Format::Kml, "kml"},
                      Case{"ExactToGeoJson", true, GisExport::Format::GeoJson, "geojson"},
                      Case{"SimpleToKml", false, GisExport::Format::Kml, "kml"},
                      Case{"SimpleToGeoJson", false, GisExport::Format::GeoJson, "geojson"}),
    [](const auto &info) { return std::string(info.param.name); });

// A map in WGS 84 opened as a plot (X north, bound to the axes) and
// written out again lands where it was.
TEST(MapOpenedAndWritten, GoesBackToWhereItWas) {
    GisReading r;
    r.outcome = GisReading::Outcome::Read;
    r.system = GisReading::System::Geographic;
    platform::GisShape shape;
    platform::GisRing ring;
    for (const GeoPoint &p : kEntered)
        ring.points.push_back({p.lon, p.lat});
    shape.rings.push_back(ring);
    r.shapes.push_back(shape);
    const files::ExtractReading plots = gisPlots(r, QStringLiteral("поле.kml"));
    ASSERT_EQ(plots.plots.size(), 1u);
    GisExport out;
    out.system = plots.plots[0].systemDefinition;
    platform::GisRing plane;
    for (const files::ExtractPoint &p : plots.plots[0].contours[0].outer.points)
        plane.points.push_back({p.y, p.x}); // the plot's X is the northing
    out.rings.push_back(plane);
    expectBackOnEarth(out, GisExport::Format::Kml, "kml");
}

} // namespace
} // namespace tarvel::geographic

namespace tarvel::geographic {
namespace {

// A local zone given by its parameters means what PROJ means by the same
// zone written out by hand: a plot in it lands, in KML, where PROJ's own
// tool puts its corners.
//   printf '1300000 482000\n1300150 482100\n1300000 482100\n' | gdaltransform
//     -s_srs '+proj=tmerc +lat_0=0 +lon_0=41.95 +k=1 +x_0=1300000 +y_0=-4511057.63
//             +ellps=krass +towgs84=23.57,-140.95,-79.8,0,0.35,0.79,-0.22'
//     -t_srs EPSG:4326 -output_xy
const std::vector<GeoPoint> kZoneExpected = {{45.0721464724327, 41.9486234510878},
                                             {45.0730463055834, 41.950528269894},
                                             {45.0730462937678, 41.9486234250261}};

TEST(LocalZone, MeansWhatProjMeansByIt) {
    files::LocalZone zone;
    zone.centralMeridian = 41.95;
    zone.falseEasting = 1300000;
    zone.falseNorthing = -4511057.63;
    zone.scale = 1;
    zone.ellipsoid = files::ZoneEllipsoid::Krassowsky;
    zone.toWgs84 = {23.57, -140.95, -79.8, 0, 0.35, 0.79, -0.22};
    GisExport out;
    out.format = GisExport::Format::GeoJson;
    out.system = files::localZoneDefinition(zone);
    out.rings.push_back({{{1300000, 482000}, {1300150, 482100}, {1300000, 482100}}, false, {}});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("zone.geojson"));
    platform::GdalGis gis;
    ASSERT_EQ(gis.write(path, out).toStdString(), "");
    const GisReading back = gis.read(path, {});
    ASSERT_EQ(back.outcome, GisReading::Outcome::Read);
    const std::vector<platform::GisPoint> &pts = back.shapes.at(0).rings.at(0).points;
    ASSERT_EQ(pts.size(), kZoneExpected.size());
    for (std::size_t i = 0; i < pts.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(pts[i].x, kZoneExpected[i].lon, 1e-7);
        EXPECT_NEAR(pts[i].y, kZoneExpected[i].lat, 1e-7);
    }
}

} // namespace
} // namespace tarvel::geographic
