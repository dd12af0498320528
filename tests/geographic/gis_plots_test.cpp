// The shapes of a drawing or a map as plots: what the window is told when
// none can be opened, the northing as X, holes after their outer ring, and
// geographic shapes through the exact conversion. The plane figures of the
// geographic square were computed with PROJ's own transverse Mercator
// (GDAL 3.6.2's gdaltransform, the command beside them), not with the
// GeographicLib projection the program uses.
#include "geographic/gis_plots.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace tarvel::geographic {
namespace {

using platform::GisReading;
using platform::GisRing;
using platform::GisShape;

GisShape square(const QString &layer, const QString &name, double x0, double y0, double side) {
    GisShape s;
    s.layer = layer;
    s.name = name;
    s.rings.push_back({{{x0, y0}, {x0 + side, y0}, {x0 + side, y0 + side}, {x0, y0 + side}}, false});
    return s;
}

GisReading readingOf(GisReading::System system, std::vector<GisShape> shapes) {
    GisReading r;
    r.outcome = GisReading::Outcome::Read;
    r.system = system;
    r.shapes = std::move(shapes);
    return r;
}

struct RefusalCase {
    const char *name;
    GisReading reading;
    const char *error; // empty: none, the reading stopped
    bool stopped;
};

class GisRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(GisRefusals, NoPlotAndTheReasonSaid) {
    const RefusalCase &c = GetParam();
    const files::ExtractReading out = gisPlots(c.reading, QStringLiteral("/tmp/план.dxf"));
    EXPECT_TRUE(out.plots.empty());
    EXPECT_EQ(out.error.toStdString(), std::string(c.error));
    EXPECT_EQ(out.stopped, c.stopped);
}

GisReading outcome(GisReading::Outcome o, const QString &error = {}) {
    GisReading r;
    r.outcome = o;
    r.error = error;
    return r;
}

GisShape tooManyCorners() {
    GisShape s;
    for (int i = 0; i < 10001; ++i)
        s.rings.resize(1), s.rings[0].points.push_back({double(i), double(i % 2)});
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, GisRefusals,
    ::testing::Values(
        RefusalCase{"NoModule", outcome(GisReading::Outcome::NoModule),
                    "Для этого формата установите пакет tarvel-gis", false},
        RefusalCase{"UnreadableWithGdalsReason",
                    outcome(GisReading::Outcome::Unreadable, QStringLiteral("not a DXF")),
                    "Ошибка чтения файла! not a DXF", false},
        RefusalCase{"UnreadableWithoutReason", outcome(GisReading::Outcome::Unreadable),
                    "Ошибка чтения файла!", false},
        RefusalCase{"Cancelled", outcome(GisReading::Outcome::Cancelled), "", true},
        RefusalCase{"NoClosedShape", readingOf(GisReading::System::Unknown, {}),
                    "В файле нет координат границ участка", false},
        RefusalCase{"OnlyAShapeOfMoreCornersThanTheProgramHolds",
                    readingOf(GisReading::System::Unknown, {tooManyCorners()}),
                    "В контуре больше 10000 углов: программа их не поддерживает", false},
        RefusalCase{"GeographicWiderThanTheConversionHolds",
                    readingOf(GisReading::System::Geographic,
                              {square({}, {}, 10.0, 40.0, 70.0)}),
                    "В файле нет координат границ участка", false}),
    [](const auto &info) { return std::string(info.param.name); });

TEST(GisPlots, ProjectedShapesKeepTheirCoordinatesWithTheNorthingAsX) {
    GisShape withHole = square(QStringLiteral("Участки"), QStringLiteral("Сад 12"), 452000, 6123000, 100);
    withHole.rings.push_back({{{452010, 6123010}, {452020, 6123010}, {452020, 6123020}}, true});
    withHole.rings.push_back({{{452200, 6123000}, {452250, 6123000}, {452250, 6123050}}, false});
    GisReading r = readingOf(GisReading::System::Projected,
                             {withHole, square(QStringLiteral("Дороги"), {}, 0, 0, 10)});
    r.systemName = QStringLiteral("Pulkovo 1942 / Gauss-Kruger zone 7");
    r.systemDefinition = QStringLiteral("EPSG:28407");
    const files::ExtractReading out = gisPlots(r, QStringLiteral("/data/карта.mif"));
    ASSERT_TRUE(out.error.isEmpty());
    ASSERT_EQ(out.plots.size(), 2u);

    const files::ExtractPlot &p = out.plots[0];
    ASSERT_EQ(p.contours.size(), 2u);
    ASSERT_EQ(p.contours[0].holes.size(), 1u);
    EXPECT_TRUE(p.contours[1].holes.empty());
    // The file's (easting, northing) (452100, 6123000) is the plot's
    // X 6 123 000, Y 452 100.
    EXPECT_EQ(p.contours[0].outer.points[1].x, 6123000);
    EXPECT_EQ(p.contours[0].outer.points[1].y, 452100);
    EXPECT_EQ(p.contours[0].holes[0].points[2].x, 6123020);
    EXPECT_EQ(p.coordinateSystem.toStdString(), "Pulkovo 1942 / Gauss-Kruger zone 7");
    EXPECT_EQ(p.systemDefinition.toStdString(), "EPSG:28407");
    EXPECT_EQ(p.cadastralNumber.toStdString(), "Сад 12");
    // 100 × 100 less the hole's 50 m², and the second contour's 1 250 m².
    EXPECT_EQ(files::plotLabel(p).toStdString(),
              "Участки: Сад 12 — углов: 10, площадь 11 200,00 м²");

    const geometry::PolygonTexts t = files::plotTexts(out.plots[1]);
    EXPECT_TRUE(t.info.northIsX);
    // No name: the owner line is the file's.
    EXPECT_EQ(t.owner.toStdString(), "карта.mif");
    EXPECT_EQ(files::plotLabel(out.plots[1]).toStdString(),
              "Дороги: без имени — углов: 4, площадь 100,00 м²");
}

TEST(GisPlots, GeographicShapeGoesThroughTheExactConversionBoundToTheAxes) {
    // About 158 m by 111 m near 44,9° N 41,9° E.
    GisShape s;
    s.rings.push_back(
        {{{41.900, 44.900}, {41.902, 44.900}, {41.902, 44.901}, {41.900, 44.901}}, false});
    const files::ExtractReading out =
        gisPlots(readingOf(GisReading::System::Geographic, {s}), QStringLiteral("участок.kml"));
    ASSERT_EQ(out.plots.size(), 1u);
    const std::vector<files::ExtractPoint> &pts = out.plots[0].contours[0].outer.points;
    ASSERT_EQ(pts.size(), 4u);
    // printf '41.900 44.900\n41.902 44.900\n41.902 44.901\n41.900 44.901\n' | gdaltransform
    //   -s_srs EPSG:4326 -t_srs '+proj=tmerc +lat_0=44.9005 +lon_0=41.901 +k=1 +ellps=WGS84'
    //   -> (-78.983865654546, -55.564427524429) (78.9838656540435, -55.564427524429)
    //      (78.9824965466262, 55.5654054736514) (-78.9824965471286, 55.5654054736514),
    // then moved so that the smallest easting and northing are 0.
    const double east[] = {0, 157.967731308590, 157.966362201172, 0.001369107418};
    const double north[] = {0, 0, 111.129833, 111.129833};
    for (std::size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_NEAR(pts[i].y, east[i], 1e-6);
        EXPECT_NEAR(pts[i].x, north[i], 1e-6);
    }
    EXPECT_TRUE(out.plots[0].coordinateSystem.contains(QStringLiteral("осевой меридиан 41,901")));
    // The system the plot is in, as PROJ takes it: the same transverse
    // Mercator, moved by the binding, so that the plane corners above go
    // back to their longitudes and latitudes. Its false easting and
    // northing are PROJ's figures for corner 1, negated.
    const QStringList parts = out.plots[0].systemDefinition.split(QLatin1Char(' '));
    const auto value = [&parts](const QString &key) {
        for (const QString &p : parts)
            if (p.startsWith(key + QLatin1Char('='))) return p.mid(key.size() + 1).toDouble();
        return std::nan("");
    };
    EXPECT_TRUE(parts.contains(QStringLiteral("+proj=tmerc")));
    EXPECT_TRUE(parts.contains(QStringLiteral("+ellps=WGS84")));
    EXPECT_NEAR(value(QStringLiteral("+lat_0")), 44.9005, 1e-12);
    EXPECT_NEAR(value(QStringLiteral("+lon_0")), 41.901, 1e-12);
    EXPECT_NEAR(value(QStringLiteral("+x_0")), 78.983865654546, 1e-6);
    EXPECT_NEAR(value(QStringLiteral("+y_0")), 55.564427524429, 1e-6);
}

TEST(GisPlots, FileNamesOfDrawingsAndMaps) {
    const struct {
        const char *path;
        bool gis;
    } cases[] = {{"/a/план.DXF", true},  {"b.geojson", true}, {"c.json", true},
                 {"d.kml", true},        {"e.kmz", true},     {"f.mif", true},
                 {"g.tab", true},        {"h.shp", true},     {"i.squ", false},
                 {"j.xml", false},       {"dxf", false},      {"k.dxf.txt", false}};
    for (const auto &c : cases)
        EXPECT_EQ(isGisFileName(QString::fromUtf8(c.path)), c.gis) << c.path;
}

} // namespace
} // namespace tarvel::geographic
