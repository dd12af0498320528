// The closed shapes of GIS and CAD files, read with GDAL: the committed
// files of tests/data/gis (written by make_gis.py, whose source
// coordinates are typed here once more), broken and hostile files written
// here, the limits, and the module the program loads.
#include "platform/io/gis_reader.h"

#include "support/qstring_print.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace tarvel::platform;
using Outcome = GisReading::Outcome;
using System = GisReading::System;

namespace {

const QString kDataDir = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../../data/gis/";

// Degrees to about a tenth of a millimetre on the ground, metres to a micron.
constexpr double kDegrees = 1e-9;
constexpr double kMetres = 1e-6;

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The shapefile of the committed files, copied into `dir` with its .shp
// cut in the middle of its second polygon.
QString cutShapefile(const QDir &dir) {
    for (const char *ext : {"shp", "shx", "dbf", "prj", "cpg"}) {
        const QString name = QStringLiteral("fields.") + QLatin1String(ext);
        QFile::copy(kDataDir + name, dir.filePath(name));
    }
    QFile shp(dir.filePath(QStringLiteral("fields.shp")));
    shp.open(QIODevice::ReadWrite);
    shp.resize(300);
    return shp.fileName();
}

QString geojson(const QDir &dir, const QByteArray &features) {
    const QString path = dir.filePath(QStringLiteral("scratch.geojson"));
    writeFile(path, R"({"type":"FeatureCollection","features":[)" + features + "]}");
    return path;
}

// A polygon whose outer ring has only two distinct points, with a good
// hole, then one whose hole has two.
QString degenerateRings(const QDir &dir) {
    return geojson(
        dir, R"({"type":"Feature","properties":{"name":"flat"},"geometry":{"type":"Polygon",)"
             R"("coordinates":[[[41.9,44.9],[41.91,44.9],[41.9,44.9]],)"
             R"([[41.902,44.901],[41.903,44.901],[41.903,44.902],[41.902,44.901]]]}},)"
             R"({"type":"Feature","properties":{"name":"thin hole"},"geometry":{"type":"Polygon",)"
             R"("coordinates":[[[41.9,44.9],[41.91,44.9],[41.91,44.91],[41.9,44.9]],)"
             R"([[41.902,44.901],[41.903,44.901],[41.902,44.901]]]}})");
}

QString notANumber(const QDir &dir) {
    return geojson(dir, R"({"type":"Feature","properties":{},"geometry":{"type":"Polygon",)"
                        R"("coordinates":[[[41.9,44.9],[NaN,44.9],[41.91,44.91],[41.9,44.9]]]}})");
}

QString cutGeojson(const QDir &dir) {
    const QString path = dir.filePath(QStringLiteral("cut.geojson"));
    writeFile(path, R"({"type":"FeatureCollection","features":[{"type":"Feature",)"
                    R"("properties":{},"geometry":{"type":"Polygon","coordinates":[[[41.9,44.9],)");
    return path;
}

struct ShapeRow {
    const char *layer;
    const char *name;
    std::vector<bool> holes; // one a ring
    std::size_t corners;     // of the first ring
    double x, y;             // its first corner
};

struct ReadingRow {
    const char *name;
    const char *file;                  // in tests/data/gis, or
    QString (*write)(const QDir &dir); // written into a scratch folder
    Outcome outcome;
    System system;
    const char *systemName;
    const char *definition; // exactly, or
    std::vector<const char *> definitionHolds;
    std::vector<ShapeRow> shapes;
    const char *errorStarts = ""; // Unreadable: the error begins so
};

void PrintTo(const ReadingRow &row, std::ostream *os) {
    *os << row.name;
}

class GisFiles : public testing::TestWithParam<ReadingRow> {
protected:
    QTemporaryDir scratch;
};

TEST_P(GisFiles, ClosedShapesOfTheFile) {
    const ReadingRow &row = GetParam();
    ASSERT_TRUE(scratch.isValid());
    const QString path =
        row.write ? row.write(QDir(scratch.path())) : kDataDir + QString::fromUtf8(row.file);
    GdalGis gis;
    const GisReading reading = gis.read(path, {});
    ASSERT_EQ(reading.outcome, row.outcome) << reading.error.toStdString();
    if (row.outcome != Outcome::Read) {
        EXPECT_FALSE(reading.error.isEmpty());
        EXPECT_TRUE(reading.error.startsWith(QString::fromUtf8(row.errorStarts)))
            << reading.error.toStdString();
        EXPECT_TRUE(reading.shapes.empty());
        return;
    }
    EXPECT_EQ(reading.system, row.system);
    EXPECT_EQ(reading.systemName, QString::fromUtf8(row.systemName));
    if (row.definition) EXPECT_EQ(reading.systemDefinition, QString::fromUtf8(row.definition));
    for (const char *part : row.definitionHolds)
        EXPECT_TRUE(reading.systemDefinition.contains(QString::fromUtf8(part)))
            << part << " not in " << reading.systemDefinition.toStdString();
    const double tolerance = row.system == System::Geographic ? kDegrees : kMetres;
    ASSERT_EQ(reading.shapes.size(), row.shapes.size());
    for (std::size_t i = 0; i < row.shapes.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "shape " << i);
        const ShapeRow &want = row.shapes[i];
        const GisShape &got = reading.shapes[i];
        EXPECT_EQ(got.layer, QString::fromUtf8(want.layer));
        EXPECT_EQ(got.name, QString::fromUtf8(want.name));
        ASSERT_EQ(got.rings.size(), want.holes.size());
        for (std::size_t r = 0; r < want.holes.size(); ++r)
            EXPECT_EQ(got.rings[r].hole, want.holes[r]) << "ring " << r;
        ASSERT_EQ(got.rings[0].points.size(), want.corners);
        EXPECT_NEAR(got.rings[0].points[0].x, want.x, tolerance);
        EXPECT_NEAR(got.rings[0].points[0].y, want.y, tolerance);
    }
}

const ReadingRow kReadings[] = {
    {"dxf_closed_polylines_on_their_layers",
     "plot.dxf",
     nullptr,
     Outcome::Read,
     System::Unknown,
     "",
     "",
     {},
     // The open axis line, the boundary mark's circle and the text are
     // passed over; the plot's repeated corner is one corner.
     {{"Участок", "", {false}, 4, 1250.00, 3480.00},
      {"Строения", "", {false}, 4, 1270.00, 3460.00},
      {"Ограждение", "", {false}, 3, 1290.00, 3440.00}}},
    {"geojson_polygon_with_hole_and_multipolygon",
     "plots.geojson",
     nullptr,
     Outcome::Read,
     System::Geographic,
     "WGS 84",
     "EPSG:4326",
     {},
     {{"Участки", "Усадьба с прудом", {false, true}, 4, 41.90125, 44.90210},
      {"Участки", "Два контура", {false, false}, 3, 41.91005, 44.90530}}},
    {"kml_named_placemark",
     "plot.kml",
     nullptr,
     Outcome::Read,
     System::Geographic,
     "WGS 84",
     "EPSG:4326",
     {},
     {{"Сады", "Сад «Вишнёвый»", {false}, 5, 41.89560, 44.89840}}},
    {"kmz_of_the_same",
     "plot.kmz",
     nullptr,
     Outcome::Read,
     System::Geographic,
     "WGS 84",
     "EPSG:4326",
     {},
     {{"Сады", "Сад «Вишнёвый»", {false}, 5, 41.89560, 44.89840}}},
    {"mif_cp1251_gauss_kruger_identified",
     "plot.mif",
     nullptr,
     Outcome::Read,
     System::Projected,
     "Pulkovo 1942 / Gauss-Kruger zone 7",
     "EPSG:28407",
     {},
     {{"plot", "Луг у балки", {false}, 4, 7728450.25, 4976120.50}}},
    {"mif_local_system_as_wkt",
     "local.mif",
     nullptr,
     Outcome::Read,
     System::Projected,
     "",
     nullptr,
     {"Krassovsky", "41.55", "1300000", "-4511057.63"},
     {{"local", "Пастбище", {false}, 4, 1327410.20, 465180.75}}},
    {"shapefile_utm_cp1251",
     "fields.shp",
     nullptr,
     Outcome::Read,
     System::Projected,
     "WGS 84 / UTM zone 37N",
     "EPSG:32637",
     {},
     {{"fields", "Пашня", {false}, 4, 728310.00, 4975880.00},
      {"fields", "Сенокос", {false}, 6, 728900.00, 4975900.00}}},
    {"outer_ring_of_two_points_passed_over_with_its_hole",
     nullptr,
     degenerateRings,
     Outcome::Read,
     System::Geographic,
     "WGS 84",
     "EPSG:4326",
     {},
     {{"scratch", "thin hole", {false}, 3, 41.9, 44.9}}},
    {"missing_file",
     "no_such_plot.shp",
     nullptr,
     Outcome::Unreadable,
     System::Unknown,
     "",
     "",
     {},
     {},
     "Файл «"},
    {"text_of_no_format",
     "not_gis.txt",
     nullptr,
     Outcome::Unreadable,
     System::Unknown,
     "",
     "",
     {},
     {}},
    {"geojson_cut_short",
     nullptr,
     cutGeojson,
     Outcome::Unreadable,
     System::Unknown,
     "",
     "",
     {},
     {}},
    {"shapefile_cut_in_a_polygon_not_read_as_whole",
     nullptr,
     cutShapefile,
     Outcome::Unreadable,
     System::Unknown,
     "",
     "",
     {},
     {},
     "Файл прочитан не до конца: "},
    {"coordinate_not_a_number",
     nullptr,
     notANumber,
     Outcome::Unreadable,
     System::Unknown,
     "",
     "",
     {},
     {},
     "В файле есть точка, координаты которой не числа."},
};

INSTANTIATE_TEST_SUITE_P(gis, GisFiles, testing::ValuesIn(kReadings),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- Limits ----

// A ring of `corners` distinct points round a field, written as GeoJSON.
QString manyCorners(const QDir &dir, int corners) {
    QByteArray ring;
    for (int i = 0; i <= corners; ++i) {
        const int k = i % corners;
        ring += (i ? "," : "") + QByteArray("[") + QByteArray::number(41.9 + k * 1e-6, 'f', 7) +
                "," + QByteArray::number(44.9 + (k % 2) * 1e-4, 'f', 7) + "]";
    }
    return geojson(dir, R"({"type":"Feature","properties":{},"geometry":{"type":"Polygon",)"
                        R"("coordinates":[[)" +
                            ring + "]]}}");
}

QString thousandCorners(const QDir &dir) {
    return manyCorners(dir, 1001);
}

struct LimitRow {
    const char *name;
    const char *file;
    QString (*write)(const QDir &dir);
    GdalGis::Limits limits;
    Outcome outcome;
    const char *error;
};

void PrintTo(const LimitRow &row, std::ostream *os) {
    *os << row.name;
}

class GisLimits : public testing::TestWithParam<LimitRow> {
protected:
    QTemporaryDir scratch;
};

TEST_P(GisLimits, RefusedBeyondTheLimit) {
    const LimitRow &row = GetParam();
    ASSERT_TRUE(scratch.isValid());
    const QString path =
        row.write ? row.write(QDir(scratch.path())) : kDataDir + QString::fromUtf8(row.file);
    GdalGis gis(row.limits);
    const GisReading reading = gis.read(path, {});
    EXPECT_EQ(reading.outcome, row.outcome);
    EXPECT_EQ(reading.error, QString::fromUtf8(row.error));
    if (row.outcome == Outcome::Unreadable) EXPECT_TRUE(reading.shapes.empty());
}

// fields.shp: rings of 4 and 6 corners. plot.dxf: 4 (written with 5
// vertices, one repeated), 4 and 3.
const LimitRow kLimits[] = {
    {"ring_at_the_limit", "fields.shp", nullptr, {6, 100}, Outcome::Read, ""},
    {"ring_over_the_limit",
     "fields.shp",
     nullptr,
     {5, 100},
     Outcome::Unreadable,
     "В файле есть контур из более чем 5 точек: у многоугольника программы не больше 5 углов."},
    {"total_at_the_limit", "fields.shp", nullptr, {10'000, 10}, Outcome::Read, ""},
    {"total_over_the_limit",
     "fields.shp",
     nullptr,
     {10'000, 9},
     Outcome::Unreadable,
     "В файле больше 9 точек."},
    {"repeated_vertex_not_counted", "plot.dxf", nullptr, {4, 11}, Outcome::Read, ""},
    {"large_limits_written_grouped",
     nullptr,
     thousandCorners,
     {1'000, 2'000'000},
     Outcome::Unreadable,
     "В файле есть контур из более чем 1 000 точек: у многоугольника программы не больше 1 000 "
     "углов."},
    {"total_written_grouped",
     nullptr,
     thousandCorners,
     {10'000, 1'000},
     Outcome::Unreadable,
     "В файле больше 1 000 точек."},
};

INSTANTIATE_TEST_SUITE_P(gis, GisLimits, testing::ValuesIn(kLimits),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(gis, StoppedBeforeReadingIsCancelled) {
    std::stop_source stop;
    stop.request_stop();
    GdalGis gis;
    const GisReading reading =
        gis.read(kDataDir + QStringLiteral("plots.geojson"), stop.get_token());
    EXPECT_EQ(reading.outcome, Outcome::Cancelled);
    EXPECT_TRUE(reading.shapes.empty());
}

TEST(gis, ModuleHandsOutTheService) {
    QLibrary library(QStringLiteral(TARVEL_MODULE_DIR "/tarvel_gis_module"));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    using Create = void *(*)();
    const auto create = reinterpret_cast<Create>(library.resolve("tarvel_create_gis"));
    ASSERT_NE(create, nullptr);
    const std::unique_ptr<GisService> gis(static_cast<GisService *>(create()));
    EXPECT_TRUE(gis->available());
    const GisReading reading = gis->read(kDataDir + QStringLiteral("plot.kml"), {});
    ASSERT_EQ(reading.outcome, Outcome::Read);
    ASSERT_EQ(reading.shapes.size(), 1u);
    EXPECT_EQ(reading.shapes[0].name, QStringLiteral("Сад «Вишнёвый»"));
}

} // namespace
