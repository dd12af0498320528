// The plot written to DXF, MapInfo MIF/MID, Shapefile, KML and GeoJSON,
// read back with the module's own reading and with GDAL's ogrinfo, the
// bytes of the drawing and of the MapInfo table, the refusals, and the
// recoding of OGR's drawing into Windows-1251.
#include "platform/io/gis_reader.h"
#include "platform/io/gis_writer.h"

#include "support/qstring_print.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLibrary>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

using namespace tarvel::platform;
using Format = GisExport::Format;
using System = GisReading::System;

namespace {

// ---- The plot ----

// In Pulkovo 1942 / Gauss-Kruger zone 7 (EPSG:28407), near 38.25° E
// 55.23° N: an L-shaped outer ring with a hole, and a second outer ring.
// The L's first side is 25,40 m long; the second ring's third side is
// hypot(30, 10) = 31,6228 m.
const std::vector<GisPoint> kOuter = {{7452100.12, 6123400.34}, {7452125.52, 6123400.34},
                                      {7452125.52, 6123420.34}, {7452140.12, 6123420.34},
                                      {7452140.12, 6123450.34}, {7452100.12, 6123450.34}};
const std::vector<GisPoint> kHole = {{7452105.00, 6123430.00},
                                     {7452115.00, 6123430.00},
                                     {7452115.00, 6123440.00},
                                     {7452105.00, 6123440.00}};
const std::vector<GisPoint> kSecond = {{7452200.00, 6123400.00},
                                       {7452230.00, 6123400.00},
                                       {7452230.00, 6123440.00},
                                       {7452200.00, 6123430.00}};

// The same corners in WGS 84, computed once with PROJ through GDAL:
//   gdaltransform -s_srs EPSG:28407 -t_srs EPSG:4326 -output_xy
// (GDAL 3.6.2) with the corners above on its input, one a line.
const std::vector<GisPoint> kOuterWgs84 = {
    {38.2453186006645, 55.2318353155136}, {38.2457177823202, 55.2318377842981},
    {38.2457143817989, 55.2320174182499}, {38.2459438337335, 55.2320188367336},
    {38.245938734431, 55.2322882876651},  {38.2453100947935, 55.2322844003418}};
const std::vector<GisPoint> kHoleWgs84 = {{38.2453902486867, 55.2321021870615},
                                          {38.2455474078663, 55.2321031590905},
                                          {38.2455457072098, 55.2321929760597},
                                          {38.2453885476761, 55.2321920040274}};
const std::vector<GisPoint> kSecondWgs84 = {{38.2468883541611, 55.231841962169},
                                            {38.2473598288129, 55.2318448718525},
                                            {38.2473530425302, 55.2322041398857},
                                            {38.2468832612769, 55.2321114131669}};

constexpr int kCorners = 14;
const char *const kTitle = "Участок № 5 «Сад» Иванова И. И., 1200 м²";
// The same in a MapInfo table, whose code page has no "²".
const char *const kTitleCp1251 = "Участок № 5 «Сад» Иванова И. И., 1200 м?";

GisExport plot(Format format, const char *system = "EPSG:28407") {
    GisExport p;
    p.format = format;
    p.title = QString::fromUtf8(kTitle);
    p.system = QString::fromUtf8(system);
    p.rings = {{kOuter, false, {"н1", "н2", "12", "", "н5", ""}},
               {kHole, true, {}},
               {kSecond, false, {"Б1", "Б2", "Б3", "Б4"}}};
    return p;
}

// Metres to a centimetre; degrees to about a centimetre on the ground.
constexpr double kMetres = 0.01;
constexpr double kDegrees = 1e-7;

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

// The folder's entries; the scratch folders of a write among them show a
// write that did not clean up.
QStringList entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

// Whether `got` is the ring `want`: the same corners in the same cyclic
// order, from any corner and either way round (a format may turn a ring
// to its own orientation).
bool sameRing(const std::vector<GisPoint> &got, const std::vector<GisPoint> &want,
              double tolerance) {
    const std::size_t n = want.size();
    if (got.size() != n) return false;
    auto near = [tolerance](GisPoint a, GisPoint b) {
        return std::abs(a.x - b.x) <= tolerance && std::abs(a.y - b.y) <= tolerance;
    };
    for (std::size_t start = 0; start < n; ++start) {
        for (const bool reversed : {false, true}) {
            bool all = true;
            for (std::size_t i = 0; i < n && all; ++i) {
                const std::size_t j = reversed ? (start + n - i) % n : (start + i) % n;
                all = near(got[j], want[i]);
            }
            if (all) return true;
        }
    }
    return false;
}

// ---- Round trip ----

struct RingWanted {
    const std::vector<GisPoint> *plane;
    const std::vector<GisPoint> *wgs84;
    bool hole;
};

struct ShapeWanted {
    const char *layer;
    const char *name;
    std::vector<RingWanted> rings; // in any order
};

struct RoundTripRow {
    const char *name;
    Format format;
    const char *file;
    System system;
    const char *definition;
    std::vector<ShapeWanted> shapes; // in this order
};

void PrintTo(const RoundTripRow &row, std::ostream *os) {
    *os << row.name;
}

class GisExportRoundTrip : public testing::TestWithParam<RoundTripRow> {
protected:
    QTemporaryDir scratch;
};

TEST_P(GisExportRoundTrip, CornersReadBack) {
    const RoundTripRow &row = GetParam();
    ASSERT_TRUE(scratch.isValid());
    const QString path = QDir(scratch.path()).filePath(QString::fromUtf8(row.file));
    GdalGis gis;
    ASSERT_EQ(gis.write(path, plot(row.format)), QString());

    const GisReading reading = gis.read(path, {});
    ASSERT_EQ(reading.outcome, GisReading::Outcome::Read) << reading.error;
    EXPECT_EQ(reading.system, row.system);
    EXPECT_EQ(reading.systemDefinition, QString::fromUtf8(row.definition));
    const bool degrees = row.system == System::Geographic;
    ASSERT_EQ(reading.shapes.size(), row.shapes.size());
    for (std::size_t s = 0; s < row.shapes.size(); ++s) {
        SCOPED_TRACE(testing::Message() << "shape " << s);
        const ShapeWanted &want = row.shapes[s];
        const GisShape &got = reading.shapes[s];
        EXPECT_EQ(got.layer, QString::fromUtf8(want.layer));
        EXPECT_EQ(got.name, QString::fromUtf8(want.name));
        ASSERT_EQ(got.rings.size(), want.rings.size());
        std::vector<bool> taken(got.rings.size(), false);
        for (std::size_t r = 0; r < want.rings.size(); ++r) {
            const std::vector<GisPoint> &corners =
                degrees ? *want.rings[r].wgs84 : *want.rings[r].plane;
            bool found = false;
            for (std::size_t g = 0; g < got.rings.size() && !found; ++g) {
                if (taken[g] || got.rings[g].hole != want.rings[r].hole) continue;
                found = taken[g] =
                    sameRing(got.rings[g].points, corners, degrees ? kDegrees : kMetres);
            }
            EXPECT_TRUE(found) << "ring " << r << " not read back";
        }
    }
}

const RingWanted kOuterRing{&kOuter, &kOuterWgs84, false};
const RingWanted kHoleRing{&kHole, &kHoleWgs84, true};
const RingWanted kSecondRing{&kSecond, &kSecondWgs84, false};
// A drawing's closed polylines are shapes of their own, a hole among them.
const RingWanted kHoleDrawn{&kHole, &kHoleWgs84, false};

const RoundTripRow kRoundTrips[] = {
    {"dxf_polylines_on_cyrillic_layers",
     Format::Dxf,
     "plot.dxf",
     System::Unknown,
     "",
     {{"Участок", "", {kOuterRing}}, {"Дырки", "", {kHoleDrawn}}, {"Участок", "", {kSecondRing}}}},
    {"mif_gauss_kruger_with_title",
     Format::MapInfo,
     "plot.mif",
     System::Projected,
     "EPSG:28407",
     {{"plot", kTitleCp1251, {kOuterRing, kHoleRing, kSecondRing}}}},
    {"shapefile_gauss_kruger_with_title",
     Format::Shapefile,
     "plot.shp",
     System::Projected,
     "EPSG:28407",
     {{"plot", kTitle, {kOuterRing, kHoleRing, kSecondRing}}}},
    {"kml_in_wgs84",
     Format::Kml,
     "plot.kml",
     System::Geographic,
     "EPSG:4326",
     {{"Участок", kTitle, {kOuterRing, kHoleRing, kSecondRing}}}},
    {"geojson_in_wgs84",
     Format::GeoJson,
     "plot.geojson",
     System::Geographic,
     "EPSG:4326",
     {{"plot", kTitle, {kOuterRing, kHoleRing, kSecondRing}}}},
};

INSTANTIATE_TEST_SUITE_P(gis_export, GisExportRoundTrip, testing::ValuesIn(kRoundTrips),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- What GDAL's own tool sees ----

struct LayerSummary {
    const char *layer;
    const char *geometry;
    int features;
};

struct SummaryRow {
    const char *name;
    Format format;
    const char *file;
    std::vector<LayerSummary> layers;
};

void PrintTo(const SummaryRow &row, std::ostream *os) {
    *os << row.name;
}

class GisExportOgrinfo : public testing::TestWithParam<SummaryRow> {
protected:
    QTemporaryDir scratch;
};

TEST_P(GisExportOgrinfo, SummaryOfEveryLayer) {
    const SummaryRow &row = GetParam();
    const QString ogrinfo = QStandardPaths::findExecutable(QStringLiteral("ogrinfo"));
    if (ogrinfo.isEmpty()) GTEST_SKIP() << "ogrinfo (gdal-bin) is not installed";
    ASSERT_TRUE(scratch.isValid());
    const QString path = QDir(scratch.path()).filePath(QString::fromUtf8(row.file));
    ASSERT_EQ(GdalGis().write(path, plot(row.format)), QString());

    QProcess process;
    process.start(ogrinfo,
                  {QStringLiteral("-ro"), QStringLiteral("-al"), QStringLiteral("-so"), path});
    ASSERT_TRUE(process.waitForFinished(-1));
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    ASSERT_EQ(process.exitStatus(), QProcess::NormalExit);
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    // Each layer's summary runs from its name to the next one's.
    const QStringList summaries = out.split(QStringLiteral("Layer name: ")).mid(1);
    ASSERT_EQ(summaries.size(), static_cast<qsizetype>(row.layers.size())) << out;
    for (std::size_t i = 0; i < row.layers.size(); ++i) {
        const LayerSummary &want = row.layers[i];
        const QString &summary = summaries[static_cast<qsizetype>(i)];
        EXPECT_TRUE(summary.startsWith(QString::fromUtf8(want.layer) + u'\n')) << summary;
        EXPECT_TRUE(summary.contains(QStringLiteral("Geometry: ") +
                                     QString::fromUtf8(want.geometry) + u'\n'))
            << summary;
        EXPECT_TRUE(summary.contains(QStringLiteral("Feature Count: %1\n").arg(want.features)))
            << summary;
    }
}

// The drawing: three polylines, a name and a length at each of the 14
// corners, the title. GeoJSON holds the corners beside the plot; KML in a
// folder of their own.
const SummaryRow kSummaries[] = {
    {"dxf", Format::Dxf, "plot.dxf", {{"entities", "Unknown (any)", 3 + 2 * kCorners + 1}}},
    {"mif", Format::MapInfo, "plot.mif", {{"plot", "Unknown (any)", 1}}},
    {"shapefile", Format::Shapefile, "plot.shp", {{"plot", "Polygon", 1}}},
    {"kml",
     Format::Kml,
     "plot.kml",
     // KML's reading takes any geometry in any folder.
     {{"Участок", "Unknown (any)", 1}, {"Точки", "Unknown (any)", kCorners}}},
    {"geojson", Format::GeoJson, "plot.geojson", {{"plot", "Unknown (any)", 1 + kCorners}}},
};

INSTANTIATE_TEST_SUITE_P(gis_export, GisExportOgrinfo, testing::ValuesIn(kSummaries),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- The bytes of the files ----

struct BytesRow {
    const char *name;
    Format format;
    const char *file;      // written
    const char *inspected; // the file looked into: it, or a companion
    QByteArray holds;      // present, or
    bool absent = false;   // not present
};

void PrintTo(const BytesRow &row, std::ostream *os) {
    *os << row.name;
}

class GisExportBytes : public testing::TestWithParam<BytesRow> {
protected:
    QTemporaryDir scratch;
};

TEST_P(GisExportBytes, FileHolds) {
    const BytesRow &row = GetParam();
    ASSERT_TRUE(scratch.isValid());
    const QDir dir(scratch.path());
    ASSERT_EQ(GdalGis().write(dir.filePath(QString::fromUtf8(row.file)), plot(row.format)),
              QString());
    const QByteArray bytes = readAll(dir.filePath(QString::fromUtf8(row.inspected)));
    ASSERT_FALSE(bytes.isEmpty()) << row.inspected;
    if (row.absent)
        EXPECT_FALSE(bytes.contains(row.holds)) << row.holds.toStdString();
    else
        EXPECT_TRUE(bytes.contains(row.holds)) << row.holds.toStdString();
}

// Windows-1251 bytes typed by hand: Участок D3 F7 E0 F1 F2 EE EA, Дырки
// C4 FB F0 EA E8, Точки D2 EE F7 EA E8, Длины C4 EB E8 ED FB, н ED, Б C1,
// № B9, « AB, » BB, Сад D1 E0 E4, Иванова C8 E2 E0 ED EE E2 E0. An MTEXT
// writes a space as \~; ² is not in the code page and stays escaped.
const BytesRow kBytes[] = {
    {"dxf_declares_cp1251", Format::Dxf, "plot.dxf", "plot.dxf",
     "  9\n$DWGCODEPAGE\n  3\nANSI_1251\n"},
    {"dxf_in_metres", Format::Dxf, "plot.dxf", "plot.dxf", "  9\n$INSUNITS\n 70\n     6\n"},
    {"dxf_plot_layer", Format::Dxf, "plot.dxf", "plot.dxf", "  8\n\xD3\xF7\xE0\xF1\xF2\xEE\xEA\n"},
    {"dxf_hole_layer", Format::Dxf, "plot.dxf", "plot.dxf", "  8\n\xC4\xFB\xF0\xEA\xE8\n"},
    {"dxf_point_layer", Format::Dxf, "plot.dxf", "plot.dxf", "  8\n\xD2\xEE\xF7\xEA\xE8\n"},
    {"dxf_length_layer", Format::Dxf, "plot.dxf", "plot.dxf", "  8\n\xC4\xEB\xE8\xED\xFB\n"},
    {"dxf_layer_table_entry", Format::Dxf, "plot.dxf", "plot.dxf", "  2\n\xC4\xFB\xF0\xEA\xE8\n"},
    {"dxf_no_utf8_layer_name", Format::Dxf, "plot.dxf", "plot.dxf", "Участок", true},
    {"dxf_closed_polyline", Format::Dxf, "plot.dxf", "plot.dxf", "LWPOLYLINE\n  5\n"},
    {"dxf_polyline_closed_flag_and_corners", Format::Dxf, "plot.dxf", "plot.dxf",
     "AcDbPolyline\n 70\n1\n 90\n6\n"},
    {"dxf_length_of_first_side", Format::Dxf, "plot.dxf", "plot.dxf", "  1\n25,40\n"},
    {"dxf_length_of_slanted_side", Format::Dxf, "plot.dxf", "plot.dxf", "  1\n31,62\n"},
    {"dxf_point_name", Format::Dxf, "plot.dxf", "plot.dxf",
     "  1\n\xED"
     "1\n"},
    {"dxf_point_named_by_number", Format::Dxf, "plot.dxf", "plot.dxf", "  1\n6\n"},
    {"dxf_second_ring_name", Format::Dxf, "plot.dxf", "plot.dxf",
     "  1\n\xC1"
     "4\n"},
    {"dxf_title", Format::Dxf, "plot.dxf", "plot.dxf",
     "\\~\xB9\\~5\\~\xAB\xD1\xE0\xE4\xBB\\~\xC8\xE2\xE0\xED\xEE\xE2\xE0\\~"},
    {"dxf_title_character_beyond_cp1251", Format::Dxf, "plot.dxf", "plot.dxf", "\\~\xEC\\U+00B2\n"},
    {"mif_charset", Format::MapInfo, "plot.mif", "plot.mif", "Charset \"WindowsCyrillic\"\n"},
    // Transverse Mercator (8) on Pulkovo 1942 (1001), 39° E, scale 1,
    // 7 500 000 m false easting.
    {"mif_coordsys", Format::MapInfo, "plot.mif", "plot.mif",
     "CoordSys Earth Projection 8, 1001, \"m\", 39, 0, 1, 7500000, 0"},
    {"mif_name_column", Format::MapInfo, "plot.mif", "plot.mif", "  name Char(254)"},
    {"mid_title_in_cp1251", Format::MapInfo, "plot.mif", "plot.mid",
     "\xB9 5 \xAB\xD1\xE0\xE4\xBB \xC8\xE2\xE0\xED\xEE\xE2\xE0"},
    {"shapefile_code_page", Format::Shapefile, "plot.shp", "plot.cpg", "UTF-8"},
    {"shapefile_system", Format::Shapefile, "plot.shp", "plot.prj", "Pulkovo_1942"},
    {"kml_point_name", Format::Kml, "plot.kml", "plot.kml", "<name>н5</name>"},
    {"kml_hole", Format::Kml, "plot.kml", "plot.kml", "<innerBoundaryIs>"},
    {"geojson_title", Format::GeoJson, "plot.geojson", "plot.geojson",
     QByteArray("\"name\": \"") + kTitle + "\""},
    {"geojson_point_named_by_number", Format::GeoJson, "plot.geojson", "plot.geojson",
     "\"name\": \"4\""},
};

INSTANTIATE_TEST_SUITE_P(gis_export, GisExportBytes, testing::ValuesIn(kBytes),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(gis_export, MapInfoWithoutSystemIsNonEarthMetres) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString path = QDir(scratch.path()).filePath(QStringLiteral("plot.mif"));
    ASSERT_EQ(GdalGis().write(path, plot(Format::MapInfo, "")), QString());
    const QByteArray mif = readAll(path);
    EXPECT_TRUE(mif.contains("CoordSys NonEarth Units \"m\" Bounds")) << mif.toStdString();
    const GisReading reading = GdalGis().read(path, {});
    ASSERT_EQ(reading.outcome, GisReading::Outcome::Read);
    EXPECT_EQ(reading.system, System::Unknown);
    ASSERT_EQ(reading.shapes.size(), 1u);
    EXPECT_TRUE(std::any_of(reading.shapes[0].rings.begin(), reading.shapes[0].rings.end(),
                            [](const GisRing &r) { return sameRing(r.points, kOuter, kMetres); }));
}

// ---- Refusals: nothing written, nothing harmed ----

struct RefusalRow {
    const char *name;
    Format format;
    const char *system;
    const char *file;         // in the scratch folder, or in a folder it lacks
    bool existing;            // a file of the name is there before
    const char *directoryAt;  // a folder in the way of a file of the set, or null
    const char *reason;       // exactly, or
    const char *reasonStarts; // its beginning
    void (*spoil)(GisExport &) = nullptr;
};

void PrintTo(const RefusalRow &row, std::ostream *os) {
    *os << row.name;
}

class GisExportRefused : public testing::TestWithParam<RefusalRow> {
protected:
    QTemporaryDir scratch;
};

TEST_P(GisExportRefused, NothingWrittenNothingHarmed) {
    const RefusalRow &row = GetParam();
    ASSERT_TRUE(scratch.isValid());
    const QDir dir(scratch.path());
    const QString path = dir.filePath(QString::fromUtf8(row.file));
    const QByteArray before = "an earlier file of the name";
    if (row.existing) ASSERT_TRUE(writeFile(path, before));
    if (row.directoryAt) {
        ASSERT_TRUE(dir.mkpath(QString::fromUtf8(row.directoryAt) + QStringLiteral("/inside")));
    }
    const QStringList entriesBefore = entries(dir.path());

    GisExport p = plot(row.format, row.system);
    if (row.spoil) row.spoil(p);
    const QString reason = GdalGis().write(path, p);

    if (row.reason)
        EXPECT_EQ(reason, QString::fromUtf8(row.reason));
    else
        EXPECT_TRUE(reason.startsWith(QString::fromUtf8(row.reasonStarts))) << reason;
    EXPECT_EQ(entries(dir.path()), entriesBefore);
    if (row.existing) EXPECT_EQ(readAll(path), before);
}

void noRings(GisExport &p) {
    p.rings.clear();
}
void twoPointRing(GisExport &p) {
    p.rings = {{{{0, 0}, {10, 0}}, false, {}}};
}
void notANumber(GisExport &p) {
    p.rings[2].points[1].y = std::numeric_limits<double>::quiet_NaN();
}

constexpr const char *kNeedsSystem =
    "Для KML и GeoJSON нужна система координат участка: выберите её в "
    "«Настройки → Система координат...»";

const RefusalRow kRefusals[] = {
    {"kml_without_system", Format::Kml, "", "plot.kml", false, nullptr, kNeedsSystem, nullptr},
    {"geojson_without_system", Format::GeoJson, "", "plot.geojson", false, nullptr, kNeedsSystem,
     nullptr},
    {"kml_without_system_keeps_earlier_file", Format::Kml, "", "plot.kml", true, nullptr,
     kNeedsSystem, nullptr},
    {"folder_missing", Format::Dxf, "EPSG:28407", "no such folder/plot.dxf", false, nullptr,
     nullptr, "Ошибка записи файла!\nПапка «"},
    {"system_not_known", Format::Shapefile, "EPSG:999999", "plot.shp", true, nullptr, nullptr,
     "Ошибка записи файла!\nСистема координат участка не распознана: "},
    {"system_not_known_for_kml", Format::Kml, "no such system", "plot.kml", true, nullptr, nullptr,
     "Ошибка записи файла!\nСистема координат участка не распознана: "},
    {"shapefile_of_another_suffix", Format::Shapefile, "EPSG:28407", "plot.txt", true, nullptr,
     "Ошибка записи файла!\nИмя файла должно оканчиваться на .shp.", nullptr},
    {"no_rings", Format::Dxf, "", "plot.dxf", true, nullptr,
     "Ошибка записи файла!\nУ участка нет контура из трёх и более точек.", nullptr, noRings},
    {"ring_of_two_points", Format::MapInfo, "", "plot.mif", false, nullptr,
     "Ошибка записи файла!\nУ участка нет контура из трёх и более точек.", nullptr, twoPointRing},
    {"coordinate_not_a_number", Format::GeoJson, "EPSG:28407", "plot.geojson", true, nullptr,
     "Ошибка записи файла!\nВ участке есть точка, координаты которой не числа.", nullptr,
     notANumber},
    // The set cannot be moved into place whole: the main file stays as it
    // was, and the written set goes with the scratch folder.
    {"folder_in_the_way_of_a_companion", Format::Shapefile, "EPSG:28407", "plot.shp", true,
     "plot.dbf", nullptr, "Ошибка записи файла!\nНа месте файла «"},
    {"target_is_a_folder", Format::Dxf, "", "plot.dxf", false, "plot.dxf", nullptr,
     "Ошибка записи файла!\n«"},
};

INSTANTIATE_TEST_SUITE_P(gis_export, GisExportRefused, testing::ValuesIn(kRefusals),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- Overwriting ----

TEST(gis_export, EarlierSetReplacedWithoutItsStaleCompanions) {
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QDir dir(scratch.path());
    const QString path = dir.filePath(QStringLiteral("plot.shp"));
    ASSERT_EQ(GdalGis().write(path, plot(Format::Shapefile)), QString());
    ASSERT_TRUE(QFileInfo::exists(dir.filePath(QStringLiteral("plot.prj"))));
    // A spatial index an earlier program left would be taken for the new
    // file's.
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("plot.qix")), "index"));
    ASSERT_TRUE(writeFile(dir.filePath(QStringLiteral("other.prj")), "someone else's"));

    GisExport second = plot(Format::Shapefile, "");
    second.title = QStringLiteral("Новый владелец");
    second.rings = {{kSecond, false, {}}};
    ASSERT_EQ(GdalGis().write(path, second), QString());

    EXPECT_EQ(entries(dir.path()),
              QStringList({"other.prj", "plot.cpg", "plot.dbf", "plot.shp", "plot.shx"}));
    const GisReading reading = GdalGis().read(path, {});
    ASSERT_EQ(reading.outcome, GisReading::Outcome::Read);
    EXPECT_EQ(reading.system, System::Unknown);
    ASSERT_EQ(reading.shapes.size(), 1u);
    EXPECT_EQ(reading.shapes[0].name, QStringLiteral("Новый владелец"));
    ASSERT_EQ(reading.shapes[0].rings.size(), 1u);
    EXPECT_TRUE(sameRing(reading.shapes[0].rings[0].points, kSecond, kMetres));
}

// ---- Lengths ----

struct LengthRow {
    const char *name;
    double metres;
    const char *label;
};

class GisLengthLabel : public testing::TestWithParam<LengthRow> {};

TEST_P(GisLengthLabel, TwoDecimalsWithComma) {
    EXPECT_EQ(gis_writer::lengthLabel(GetParam().metres), QString::fromUtf8(GetParam().label));
}

const LengthRow kLengths[] = {
    {"exact", 25.4, "25,40"},        {"rounded_down", 31.6227766, "31,62"},
    {"rounded_up", 14.605, "14,61"}, {"long", 1234.5, "1234,50"},
    {"zero", 0.0, "0,00"},
};

INSTANTIATE_TEST_SUITE_P(gis_export, GisLengthLabel, testing::ValuesIn(kLengths),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- The drawing recoded ----

// A drawing as OGR's writer leaves it, around `entities` (pairs of lines).
QByteArray drawing(const QByteArray &header, const QByteArray &entities) {
    return "  0\nSECTION\n  2\nHEADER\n" + header + "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n" +
           entities + "  0\nENDSEC\n  0\nEOF\n";
}

const QByteArray kAcadVer = "  9\n$ACADVER\n  1\nAC1018\n";
const QByteArray kCodePage1252 = "  9\n$DWGCODEPAGE\n  3\nANSI_1252\n";
const QByteArray kCodePage1251 = "  9\n$DWGCODEPAGE\n  3\nANSI_1251\n";

QByteArray mtext(const QByteArray &pairs) {
    return "  0\nMTEXT\n  5\n20000\n100\nAcDbEntity\n  8\n0\n100\nAcDbMText\n" + pairs +
           " 10\n0\n 20\n0\n";
}

QByteArray repeated(const QByteArray &unit, int times) {
    QByteArray out;
    for (int i = 0; i < times; ++i)
        out += unit;
    return out;
}

struct RecodeRow {
    const char *name;
    QByteArray in;
    std::optional<QByteArray> out; // nullopt: refused
};

void PrintTo(const RecodeRow &row, std::ostream *os) {
    *os << row.name;
}

class GisDrawingRecoded : public testing::TestWithParam<RecodeRow> {};

TEST_P(GisDrawingRecoded, InCp1251) {
    const RecodeRow &row = GetParam();
    const std::optional<QByteArray> out = gis_writer::drawingInCp1251(row.in);
    ASSERT_EQ(out.has_value(), row.out.has_value());
    if (out) EXPECT_EQ(*out, *row.out) << out->toStdString();
}

// ж E6, у F3, Ж C6; « AB (the same byte in both code pages); × is D7 in
// Latin-1 (Ч in Windows-1251, which lacks ×), ² B2 (І there).
const RecodeRow kRecodings[] = {
    {"code_page_declared", drawing(kAcadVer + kCodePage1252, ""),
     drawing(kAcadVer + kCodePage1251, "")},
    {"code_page_added_when_missing", drawing(kAcadVer, ""), drawing(kAcadVer + kCodePage1251, "")},
    {"metres_for_inches",
     drawing("  9\n$INSUNITS\n 70\n     1\n  9\n$MEASUREMENT\n 70\n     0\n" + kCodePage1252, ""),
     drawing("  9\n$INSUNITS\n 70\n     6\n  9\n$MEASUREMENT\n 70\n     1\n" + kCodePage1251, "")},
    {"layer_name_from_utf8", drawing(kCodePage1252, "  0\nLWPOLYLINE\n  8\nЖуж\n"),
     drawing(kCodePage1251, "  0\nLWPOLYLINE\n  8\n\xC6\xF3\xE6\n")},
    {"escaped_cyrillic_to_bytes", drawing(kCodePage1252, mtext("  1\n\\U+0436\\U+0443\n")),
     drawing(kCodePage1251, mtext("  1\n\xE6\xF3\n"))},
    {"latin1_bytes_the_code_page_has",
     drawing(kCodePage1252, mtext("  1\n\xAB"
                                  "a\xBB\n")),
     drawing(kCodePage1251, mtext("  1\n\xAB"
                                  "a\xBB\n"))},
    {"latin1_bytes_the_code_page_lacks",
     drawing(kCodePage1252, mtext("  1\n2\xD7"
                                  "3\xB2\n")),
     drawing(kCodePage1251, mtext("  1\n2\\U+00D7"
                                  "3\\U+00B2\n"))},
    {"mtext_escapes_kept", drawing(kCodePage1252, mtext("  1\na\\~b\\Pc\\\\U+0436\n")),
     drawing(kCodePage1251, mtext("  1\na\\~b\\Pc\\\\U+0436\n"))},
    {"escape_beyond_cp1251_kept", drawing(kCodePage1252, mtext("  1\n\\U+2116\\U+263A\n")),
     drawing(kCodePage1251, mtext("  1\n\xB9\\U+263A\n"))},
    // OGR splits a long escaped text into 250-byte values; recoded, 300
    // letters are 300 bytes: 250 and 50.
    {"long_text_joined_and_split_again",
     drawing(kCodePage1252, mtext("  3\n" + repeated("\\U+0436", 35) + "\\U+04\n  1\n36" +
                                  repeated("\\U+0436", 264) + "\n")),
     drawing(kCodePage1251,
             mtext("  3\n" + repeated("\xE6", 250) + "\n  1\n" + repeated("\xE6", 50) + "\n"))},
    // Escapes that stay escapes are never cut: 35 of 7 bytes fill 245.
    {"long_text_split_between_escapes",
     drawing(kCodePage1252, mtext("  1\n" + repeated("\\U+263A", 40) + "\n")),
     drawing(kCodePage1251, mtext("  3\n" + repeated("\\U+263A", 35) + "\n  1\n" +
                                  repeated("\\U+263A", 5) + "\n"))},
    {"cut_short_before_eof", "  0\nSECTION\n  2\nENTITIES\n  0\nLWPOLYLINE\n", std::nullopt},
    {"cut_short_between_code_and_value", "  0\nSECTION\n  2\n", std::nullopt},
    {"code_not_a_number", "  0\nSECTION\nHEADER\n  0\n  0\nEOF\n", std::nullopt},
};

INSTANTIATE_TEST_SUITE_P(gis_export, GisDrawingRecoded, testing::ValuesIn(kRecodings),
                         [](const auto &info) { return std::string(info.param.name); });

// ---- The module ----

TEST(gis_export, ModuleWrites) {
    QLibrary library(QStringLiteral(TARVEL_MODULE_DIR "/tarvel_gis_module"));
    ASSERT_TRUE(library.load()) << library.errorString().toStdString();
    using Create = void *(*)();
    const auto create = reinterpret_cast<Create>(library.resolve("tarvel_create_gis"));
    ASSERT_NE(create, nullptr);
    const std::unique_ptr<GisService> gis(static_cast<GisService *>(create()));
    QTemporaryDir scratch;
    ASSERT_TRUE(scratch.isValid());
    const QString path = QDir(scratch.path()).filePath(QStringLiteral("plot.geojson"));
    EXPECT_EQ(gis->write(path, plot(Format::GeoJson, "")), QString::fromUtf8(kNeedsSystem));
    ASSERT_EQ(gis->write(path, plot(Format::GeoJson)), QString());
    EXPECT_EQ(gis->read(path, {}).shapes.size(), 1u);
}

} // namespace
