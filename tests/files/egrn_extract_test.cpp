// The reading of ЕГРН extracts, against the invented extracts of
// tests/data/egrn (written by make_extracts.py there). The expected values
// are what that script printed for the outlines it wrote (`--summary`): the
// outline areas come from its own shoelace sums over the coordinates as
// written, so an area worked out here from the corners read must meet them.
#include "files/egrn_extract.h"

#include "support/fake_services.h"
#include "support/qstring_print.h"

#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <stop_token>
#include <vector>

using namespace tarvel::files;
using tarvel::platform::ArchiveEntry;
using tarvel::platform::FakeArchive;

namespace {

const QString kDataDir = QFileInfo(QStringLiteral(__FILE__)).absolutePath() + "/../data/egrn/";
const QString kAddressStart =
    QStringLiteral("Ставропольский край, Заречный муниципальный округ, с. Ольховка, ");
const QString kNoCoordinates = QStringLiteral("В файле нет координат границ участка");

QByteArray dataFile(const QString &name) {
    QFile f(kDataDir + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

double ringArea(const ExtractRing &ring) {
    double twice = 0;
    const auto &p = ring.points;
    for (std::size_t i = 0; i < p.size(); ++i) {
        const ExtractPoint &a = p[i];
        const ExtractPoint &b = p[(i + 1) % p.size()];
        twice += a.x * b.y - b.x * a.y;
    }
    return std::abs(twice) / 2;
}

double outlineArea(const ExtractPlot &plot) {
    double area = 0;
    for (const ExtractContour &c : plot.contours) {
        area += ringArea(c.outer);
        for (const ExtractRing &h : c.holes) area -= ringArea(h);
    }
    return area;
}

struct PlotRow {
    const char *name;
    const char *file;
    int plotIndex;
    std::size_t plotCount;
    const char *cadastralNumber;
    const char *addressEnd; // after kAddressStart
    double area, tolerance;
    const char *system;
    std::vector<std::vector<std::size_t>> rings; // per contour: the outer's corners, then each hole's
    std::vector<const char *> contourNumbers;
    double firstX, firstY;
    const char *firstNumber, *lastNumber; // of the first contour's outer ring
    double outline;                       // the script's shoelace area
    int arcIndex;                         // the arc corner of the first outer ring, -1: none
};

void PrintTo(const PlotRow &row, std::ostream *os) { *os << row.name; }

class ExtractFiles : public testing::TestWithParam<PlotRow> {};

TEST_P(ExtractFiles, ReadAsWritten) {
    const PlotRow &row = GetParam();
    const QByteArray xml = dataFile(QString::fromLatin1(row.file));
    ASSERT_FALSE(xml.isEmpty()) << row.file;
    const ExtractReading reading = readEgrnExtract(xml);
    ASSERT_EQ(reading.error, QString());
    EXPECT_FALSE(reading.stopped);
    ASSERT_EQ(reading.plots.size(), row.plotCount);
    const ExtractPlot &plot = reading.plots[std::size_t(row.plotIndex)];

    EXPECT_EQ(plot.cadastralNumber, QString::fromUtf8(row.cadastralNumber));
    EXPECT_EQ(plot.address, kAddressStart + QString::fromUtf8(row.addressEnd));
    EXPECT_EQ(plot.area, row.area);
    EXPECT_EQ(plot.areaTolerance, row.tolerance);
    EXPECT_EQ(plot.coordinateSystem, QString::fromUtf8(row.system));

    ASSERT_EQ(plot.contours.size(), row.rings.size());
    for (std::size_t c = 0; c < row.rings.size(); ++c) {
        const ExtractContour &contour = plot.contours[c];
        EXPECT_EQ(contour.number, QString::fromUtf8(row.contourNumbers[c])) << "contour " << c;
        EXPECT_EQ(contour.outer.points.size(), row.rings[c][0]) << "contour " << c;
        ASSERT_EQ(contour.holes.size(), row.rings[c].size() - 1) << "contour " << c;
        for (std::size_t h = 0; h < contour.holes.size(); ++h)
            EXPECT_EQ(contour.holes[h].points.size(), row.rings[c][h + 1]) << "hole " << h;
    }
    const auto &outer = plot.contours.front().outer.points;
    EXPECT_DOUBLE_EQ(outer.front().x, row.firstX);
    EXPECT_DOUBLE_EQ(outer.front().y, row.firstY);
    EXPECT_EQ(outer.front().number, QString::fromUtf8(row.firstNumber));
    // The closing point, which repeats the first, is gone: the ring ends on
    // its last corner of its own.
    EXPECT_EQ(outer.back().number, QString::fromUtf8(row.lastNumber));
    EXPECT_FALSE(outer.back().x == outer.front().x && outer.back().y == outer.front().y);

    EXPECT_NEAR(outlineArea(plot), row.outline, 1e-3);
    for (std::size_t i = 0; i < outer.size(); ++i)
        EXPECT_EQ(outer[i].arc, int(i) == row.arcIndex) << "corner " << i;
    EXPECT_EQ(plot.hasArcs, row.arcIndex >= 0);
}

// Sizes of rings: {outer, holes...} per contour.
const PlotRow kPlots[] = {
    {"one_contour_with_a_part", "one_contour.xml", 0, 1, "26:12:031508:117",
     "ул. Садовая, д. 14", 619, 9, "МСК-26, зона 1", {{7}}, {"1"}, 478514.00, 1312397.53, "1",
     "7", 619.3708, -1},
    {"three_contours", "three_contours.xml", 0, 1, "26:12:031508:302", "ул. Луговая, д. 3", 602,
     9, "МСК-26, зона 2", {{5}, {6}, {4}}, {"1", "2", "3"}, 478630.36, 1312437.37, "1", "5",
     601.7827, -1},
    {"contour_with_a_hole", "hole.xml", 0, 1, "26:12:031508:88", "ул. Родниковая, д. 27", 2467,
     17, "МСК-26, зона 1", {{8, 4}}, {"1"}, 478468.91, 1312609.28, "1", "8", 2467.4299, -1},
    {"arc_corner", "arc.xml", 0, 1, "26:12:031508:140", "ул. Полевая, д. 2", 496, 8,
     "МСК-26, зона 1", {{6}}, {"1"}, 478553.42, 1312239.95, "1", "6", 496.2407, 2},
    // One outline straight under contours_location, new points, no system
    // named; the registered 803 m² is off the outline's 772.71 by more than
    // its 10 m².
    {"short_extract_new_points", "base_params.xml", 0, 1, "26:12:031508:412",
     "ул. Заречная, д. 9", 803, 10, "", {{5}}, {""}, 478379.77, 1312366.24, "н1", "н5",
     772.7095, -1},
    {"old_schema_outline_in_the_parcel", "old_kpt.xml", 0, 2, "26:12:031509:31",
     "ул. Речная, д. 5", 1032, 11, "МСК-26, зона 1", {{6, 4}}, {""}, 478723.08, 1312599.95, "1",
     "6", 1031.9678, -1},
    {"old_schema_contours", "old_kpt.xml", 1, 2, "26:12:031509:32", "ул. Речная, д. 7", 255, 6,
     "МСК-26, зона 1", {{5}, {4}}, {"1", "2"}, 478766.76, 1312535.66, "1", "5", 254.7774, -1},
    {"plan_first_plot", "territory_plan.xml", 0, 50, "26:12:031508:1000", "ул. Степная, д. 1",
     1559, 14, "МСК-26, зона 1", {{7}}, {"1"}, 478126.49, 1311996.91, "1", "7", 1558.7484, -1},
    {"plan_plot_with_a_part", "territory_plan.xml", 5, 50, "26:12:031508:1005",
     "ул. Степная, д. 6", 1203, 12, "МСК-26, зона 1", {{7}}, {"1"}, 478126.20, 1312349.57, "1",
     "7", 1202.9793, -1},
    {"plan_plot_of_two_contours", "territory_plan.xml", 7, 50, "26:12:031508:1007",
     "ул. Степная, д. 8", 1772, 15, "МСК-26, зона 1", {{7}, {4}}, {"1", "2"}, 478120.71,
     1312488.51, "1", "7", 1771.9244, -1},
};

INSTANTIATE_TEST_SUITE_P(EgrnExtract, ExtractFiles, testing::ValuesIn(kPlots),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(EgrnExtractTest, TerritoryPlanHoldsOnlyPlotsWithOutlines) {
    const ExtractReading reading = readEgrnExtract(dataFile(QStringLiteral("territory_plan.xml")));
    ASSERT_EQ(reading.error, QString());
    ASSERT_EQ(reading.plots.size(), 50u);
    std::size_t points = 0;
    for (const ExtractPlot &plot : reading.plots) {
        EXPECT_TRUE(plot.cadastralNumber.startsWith(QStringLiteral("26:12:031508:1")))
            << plot.cadastralNumber.toStdString(); // not :5020, :5040 (no boundary), nor the block
        for (const ExtractContour &c : plot.contours) {
            points += c.outer.points.size();
            EXPECT_TRUE(c.holes.empty());
        }
    }
    // The script's count over the 50 plots; the parts' corners would add 4 each.
    EXPECT_EQ(points, 359u);
    EXPECT_EQ(reading.plots.back().cadastralNumber, QStringLiteral("26:12:031508:1049"));
}

struct ErrorRow {
    const char *name;
    QByteArray xml;
    QString error;
};

void PrintTo(const ErrorRow &row, std::ostream *os) { *os << row.name; }

class ExtractErrors : public testing::TestWithParam<ErrorRow> {};

TEST_P(ExtractErrors, NoPlotsAndTheMessage) {
    const ExtractReading reading = readEgrnExtract(GetParam().xml);
    EXPECT_EQ(reading.error, GetParam().error);
    EXPECT_TRUE(reading.plots.empty());
    EXPECT_FALSE(reading.stopped);
}

QString damagedAt(int line) {
    return QStringLiteral("Ошибка чтения файла! Файл повреждён в строке %1.").arg(line);
}

const ErrorRow kErrors[] = {
    {"plain_text", dataFile(QStringLiteral("not_xml.xml")), damagedAt(1)},
    // Broken off in the middle of line 41.
    {"download_broken_off", dataFile(QStringLiteral("broken.xml")), damagedAt(41)},
    {"empty", QByteArray(), damagedAt(1)},
    // The plot's boundary is not set; its part's outline is no boundary.
    {"only_a_part_has_an_outline", dataFile(QStringLiteral("no_contours.xml")), kNoCoordinates},
    {"other_xml", QByteArray("<?xml version=\"1.0\"?>\n<workbook><sheet/></workbook>\n"),
     kNoCoordinates},
    {"corner_without_a_number",
     QByteArray("<extract_about_property_land>\n<land_record>\n<contours_location>\n"
                "<entity_spatial><spatials_elements><spatial_element><ordinates>\n"
                "<ordinate><x>478500.00</x><y>1312400.00</y></ordinate>\n"
                "<ordinate><x>478510,00</x><y>1312400.00</y></ordinate>\n"
                "<ordinate><x>478510.00</x><y>12 3</y></ordinate>\n"
                "</ordinates></spatial_element></spatials_elements></entity_spatial>\n"
                "</contours_location>\n</land_record>\n</extract_about_property_land>\n"),
     damagedAt(7)},
    {"corner_without_y",
     QByteArray("<KPZU><Parcel CadastralNumber=\"26:12:031509:40\"><EntitySpatial>"
                "<SpatialElement><SpelementUnit>\n<Ordinate X=\"478500.00\" NumGeopoint=\"1\"/>"
                "</SpelementUnit></SpatialElement></EntitySpatial></Parcel></KPZU>"),
     damagedAt(2)},
};

INSTANTIATE_TEST_SUITE_P(EgrnExtract, ExtractErrors, testing::ValuesIn(kErrors),
                         [](const auto &info) { return std::string(info.param.name); });

// Small extracts for what the files above do not show.
struct VariantRow {
    const char *name;
    QByteArray xml;
    std::size_t contours;
    const char *system;
    const char *address;
    const char *cadastralNumber = "";
};

void PrintTo(const VariantRow &row, std::ostream *os) { *os << row.name; }

class ExtractVariants : public testing::TestWithParam<VariantRow> {};

TEST_P(ExtractVariants, OnePlot) {
    const ExtractReading reading = readEgrnExtract(GetParam().xml);
    ASSERT_EQ(reading.error, QString());
    ASSERT_EQ(reading.plots.size(), 1u);
    EXPECT_EQ(reading.plots[0].contours.size(), GetParam().contours);
    EXPECT_EQ(reading.plots[0].coordinateSystem, QString::fromUtf8(GetParam().system));
    EXPECT_EQ(reading.plots[0].address, QString::fromUtf8(GetParam().address));
    EXPECT_EQ(reading.plots[0].cadastralNumber, QString::fromUtf8(GetParam().cadastralNumber));
}

QByteArray square(const char *extra = "") {
    return QByteArray("<spatials_elements><spatial_element><ordinates>"
                      "<ordinate><x>10</x><y>10</y></ordinate>"
                      "<ordinate><x>10</x><y>20</y></ordinate>"
                      "<ordinate><x>0</x><y>20</y></ordinate>"
                      "<ordinate><x>0</x><y>10</y></ordinate>") +
           extra + "</ordinates></spatial_element></spatials_elements>";
}

const VariantRow kVariants[] = {
    // A later schema: a namespace of its own, a prefix, and elements no
    // schema had wrapped around the known ones.
    {"namespaces_and_unknown_wrappers",
     "<e:extract xmlns:e=\"urn:example:extract:3\"><e:land_record><e:contours_location>"
     "<e:shape><e:contours><e:contour><e:entity_spatial><e:sk_id>МСК-26, зона 2</e:sk_id>" +
         square() +
         "</e:entity_spatial></e:contour></e:contours></e:shape></e:contours_location>"
         "</e:land_record></e:extract>",
     1, "МСК-26, зона 2", ""},
    // Straight under the record, beside an outline that is a zone's.
    {"outline_in_the_record",
     "<extract_about_property_land><land_record><restrictions><zone><entity_spatial>" +
         square() + "</entity_spatial></zone></restrictions><entity_spatial>" + square() +
         "</entity_spatial></land_record></extract_about_property_land>",
     1, "", ""},
    // A ring of two corners outlines nothing.
    {"ring_too_short_is_dropped",
     "<extract_about_property_land><land_record><contours_location><contours>"
     "<contour><entity_spatial>" +
         square() +
         "</entity_spatial></contour><contour><entity_spatial><spatials_elements>"
         "<spatial_element><ordinates><ordinate><x>1</x><y>1</y></ordinate><ordinate><x>2</x>"
         "<y>2</y></ordinate></ordinates></spatial_element></spatials_elements></entity_spatial>"
         "</contour></contours></contours_location></land_record></extract_about_property_land>",
     1, "", ""},
    // The only system of the file names the outline that names none.
    {"the_only_system",
     "<extract_cadastral_plan_territory><land_record><contours_location><entity_spatial>" +
         square() +
         "</entity_spatial></contours_location></land_record><coord_systems><coord_system>"
         "<sk_id>  МСК-26,   зона 1 </sk_id></coord_system></coord_systems>"
         "</extract_cadastral_plan_territory>",
     1, "МСК-26, зона 1", ""},
    // An old id with no CoordSystem to name it says nothing readable.
    {"old_id_without_its_system",
     "<KVZU><Parcels><Parcel CadastralNumber=\"26:12:031509:50\"><Location><Address>"
     "<Note>с. Ольховка, ул. Речная, д. 11</Note></Address></Location>"
     "<EntitySpatial EntSys=\"ID7\"><SpatialElement><SpelementUnit><Ordinate X=\"1\" Y=\"1\"/>"
     "</SpelementUnit><SpelementUnit><Ordinate X=\"1\" Y=\"2\"/></SpelementUnit><SpelementUnit>"
     "<Ordinate X=\"2\" Y=\"2\"/></SpelementUnit></SpatialElement></EntitySpatial></Parcel>"
     "</Parcels></KVZU>",
     1, "", "с. Ольховка, ул. Речная, д. 11", "26:12:031509:50"},
    // The numbers of linked objects come before the plot's own.
    {"own_number_after_linked_ones",
     "<extract_about_property_land><land_record><cad_links><included_objects><included_object>"
     "<cad_number>26:12:031508:245</cad_number></included_object></included_objects></cad_links>"
     "<object><common_data><cad_number>26:12:031508:117</cad_number></common_data></object>"
     "<contours_location><entity_spatial>" +
         square() + "</entity_spatial></contours_location></land_record></extract_about_property_land>",
     1, "", "", "26:12:031508:117"},
};

INSTANTIATE_TEST_SUITE_P(EgrnExtract, ExtractVariants, testing::ValuesIn(kVariants),
                         [](const auto &info) { return std::string(info.param.name); });

// A territory plan larger than one piece handed to the parser.
QByteArray manyPlots(int count) {
    QByteArray xml("<extract_cadastral_plan_territory><land_records>");
    for (int i = 0; i < count; ++i)
        xml += "<land_record><object><common_data><cad_number>26:12:031508:" +
               QByteArray::number(i) + "</cad_number></common_data></object><contours_location>" +
               "<entity_spatial>" + square() + "</entity_spatial></contours_location></land_record>";
    return xml + "</land_records></extract_cadastral_plan_territory>";
}

TEST(EgrnExtractTest, StopAskedBeforeTheReadingStopsIt) {
    std::stop_source source;
    source.request_stop();
    int calls = 0;
    const ExtractReading reading = readEgrnExtract(dataFile(QStringLiteral("one_contour.xml")),
                                                   source.get_token(), [&](double) { ++calls; });
    EXPECT_TRUE(reading.stopped);
    EXPECT_TRUE(reading.plots.empty());
    EXPECT_EQ(reading.error, QString());
}

TEST(EgrnExtractTest, StopAskedDuringTheReadingEndsIt) {
    const QByteArray xml = manyPlots(3000); // about 1.3 MB
    ASSERT_GT(xml.size(), 1'000'000);
    std::stop_source source;
    std::vector<double> told;
    const ExtractReading reading = readEgrnExtract(xml, source.get_token(), [&](double f) {
        told.push_back(f);
        source.request_stop();
    });
    EXPECT_TRUE(reading.stopped);
    EXPECT_TRUE(reading.plots.empty());
    ASSERT_FALSE(told.empty());
    EXPECT_LT(told.back(), 0.5); // stopped long before the end
}

TEST(EgrnExtractTest, ProgressRisesToTheWhole) {
    const QByteArray xml = manyPlots(3000);
    std::vector<double> told;
    const ExtractReading reading =
        readEgrnExtract(xml, {}, [&](double f) { told.push_back(f); });
    ASSERT_EQ(reading.plots.size(), 3000u);
    EXPECT_EQ(reading.plots[2999].cadastralNumber, QStringLiteral("26:12:031508:2999"));
    ASSERT_GT(told.size(), 2u);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));
    EXPECT_GT(told.front(), 0.0);
    EXPECT_DOUBLE_EQ(told.back(), 1.0);
}

// ---- Files, plain or zipped ----

struct FileRow {
    const char *name;
    const char *file;
    std::vector<ArchiveEntry> answers; // of the archive, in order
    std::size_t asked;                 // calls the archive should get
    std::size_t plots;
    QString error;
};

void PrintTo(const FileRow &row, std::ostream *os) { *os << row.name; }

class ExtractFileRead : public testing::TestWithParam<FileRow> {};

TEST_P(ExtractFileRead, AsTheArchiveAnswers) {
    const FileRow &row = GetParam();
    FakeArchive archives;
    archives.answers.assign(row.answers.begin(), row.answers.end());
    const ExtractReading reading =
        readEgrnExtractFile(kDataDir + QString::fromLatin1(row.file), archives);
    EXPECT_EQ(reading.error, row.error);
    EXPECT_EQ(reading.plots.size(), row.plots);
    ASSERT_EQ(archives.asked.size(), row.asked);
    if (row.asked > 0) {
        EXPECT_EQ(archives.asked[0].suffix, QStringLiteral(".xml"));
        EXPECT_EQ(archives.asked[0].maxBytes, kMaxExtractBytes);
        EXPECT_EQ(archives.asked[0].zipBytes, dataFile(QString::fromLatin1(row.file)).size());
    }
}

ArchiveEntry answer(ArchiveEntry::Outcome outcome, const QByteArray &data = {}) {
    ArchiveEntry e;
    e.outcome = outcome;
    e.data = data;
    return e;
}

const FileRow kFiles[] = {
    {"plain_xml_is_read_without_the_archive", "three_contours.xml", {}, 0, 1, QString()},
    {"zip_gives_its_xml", "extract.zip",
     {answer(ArchiveEntry::Outcome::Read, dataFile(QStringLiteral("territory_plan.xml")))}, 1, 50,
     QString()},
    {"zip_without_xml", "extract.zip", {answer(ArchiveEntry::Outcome::NotFound)}, 1, 0,
     QStringLiteral("В архиве нет файла выписки (.xml)")},
    {"zip_bomb", "extract.zip", {answer(ArchiveEntry::Outcome::TooLarge)}, 1, 0,
     QStringLiteral("Файл выписки в архиве слишком велик")},
    {"broken_zip", "extract.zip", {answer(ArchiveEntry::Outcome::Unreadable)}, 1, 0,
     QStringLiteral("Ошибка чтения файла!")},
    {"missing_file", "no_such_extract.xml", {}, 0, 0, QStringLiteral("Ошибка чтения файла!")},
};

INSTANTIATE_TEST_SUITE_P(EgrnExtract, ExtractFileRead, testing::ValuesIn(kFiles),
                         [](const auto &info) { return std::string(info.param.name); });

} // namespace
