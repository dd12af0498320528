#include "platform/io/gis_writer.h"

#include "platform/io/cp1251.h"
#include "platform/io/gis_gdal.h"
#include "platform/io/gis_reader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QUuid>

#include <cpl_string.h>
#include <cpl_vsi.h>
#include <gdal_priv.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <system_error>
#include <utility>
#include <vector>

namespace tarvel::platform {

namespace {

using Format = GisExport::Format;

QString writeFailed(QStringView detail) {
    return QStringLiteral("Ошибка записи файла!\n").append(detail);
}

constexpr QStringView kNotWritten = u"GDAL не записал файл.";

// GDAL's own word on what failed, when it has one.
QString gdalFailure() {
    return writeFailed(gdal::lastError(kNotWritten.toString()));
}

// ---- The plot as polygons ----

// An outer ring with its holes.
struct Polygon {
    const GisRing *outer = nullptr;
    std::vector<const GisRing *> holes;
};

struct Outline {
    std::vector<Polygon> polygons;
    QString refusal;
};

// The polygons of `rings`, each outer ring followed by its holes. A ring of
// fewer than three points encloses nothing and is left out, and with an
// outer ring left out go its holes, which have nothing to be holes in.
Outline outline(const std::vector<GisRing> &rings) {
    Outline result;
    bool outerKept = false;
    for (const GisRing &ring : rings) {
        const bool enclosing = ring.points.size() >= 3;
        if (!ring.hole) {
            outerKept = enclosing;
            if (enclosing) result.polygons.push_back({&ring, {}});
        } else if (outerKept && enclosing) {
            result.polygons.back().holes.push_back(&ring);
        }
    }
    if (result.polygons.empty())
        result.refusal =
            writeFailed(QStringLiteral("У участка нет контура из трёх и более точек."));
    return result;
}

bool allFinite(const std::vector<GisRing> &rings) {
    return std::all_of(rings.begin(), rings.end(), [](const GisRing &ring) {
        return std::all_of(ring.points.begin(), ring.points.end(), [](const GisPoint &p) {
            return std::isfinite(p.x) && std::isfinite(p.y);
        });
    });
}

// The name of the point `i` of `ring`: its own, or its number in the ring.
QString pointName(const GisRing &ring, std::size_t i) {
    if (i < ring.names.size() && !ring.names[i].trimmed().isEmpty()) return ring.names[i];
    return QString::number(i + 1);
}

struct Extent {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    double width() const { return maxX - minX; }
    double height() const { return maxY - minY; }
};

Extent extentOf(const std::vector<Polygon> &polygons) {
    Extent e{polygons[0].outer->points[0].x, polygons[0].outer->points[0].y,
             polygons[0].outer->points[0].x, polygons[0].outer->points[0].y};
    for (const Polygon &polygon : polygons) {
        for (const GisPoint &p : polygon.outer->points) {
            e.minX = std::min(e.minX, p.x);
            e.maxX = std::max(e.maxX, p.x);
            e.minY = std::min(e.minY, p.y);
            e.maxY = std::max(e.maxY, p.y);
        }
    }
    return e;
}

// The ring as OGR holds it: closed, its first point repeated at the end.
std::unique_ptr<OGRLinearRing> closedRing(const GisRing &ring) {
    auto result = std::make_unique<OGRLinearRing>();
    const int n = static_cast<int>(ring.points.size());
    result->setNumPoints(n + 1, FALSE);
    for (int i = 0; i < n; ++i)
        result->setPoint(i, ring.points[static_cast<std::size_t>(i)].x,
                         ring.points[static_cast<std::size_t>(i)].y);
    result->setPoint(n, ring.points[0].x, ring.points[0].y);
    return result;
}

std::unique_ptr<OGRPolygon> ogrPolygon(const Polygon &polygon) {
    auto result = std::make_unique<OGRPolygon>();
    result->addRingDirectly(closedRing(*polygon.outer).release());
    for (const GisRing *hole : polygon.holes)
        result->addRingDirectly(closedRing(*hole).release());
    return result;
}

// One polygon as a polygon, several as a multipolygon: one feature holds
// the whole plot.
std::unique_ptr<OGRGeometry> plotGeometry(const std::vector<Polygon> &polygons) {
    if (polygons.size() == 1) return ogrPolygon(polygons[0]);
    auto parts = std::make_unique<OGRMultiPolygon>();
    for (const Polygon &polygon : polygons)
        parts->addGeometryDirectly(ogrPolygon(polygon).release());
    return parts;
}

// A text field holds at most this many bytes in a .dbf, and characters in a
// MapInfo table: a longer title is cut at a whole character rather than by
// the driver in the middle of one.
constexpr qsizetype kFieldBytes = 254;

QByteArray utf8Within(const QString &text, qsizetype bytes) {
    QString cut = text;
    QByteArray utf8 = cut.toUtf8();
    while (utf8.size() > bytes) {
        cut.chop(cut.size() >= 2 && cut.at(cut.size() - 1).isLowSurrogate() ? 2 : 1);
        utf8 = cut.toUtf8();
    }
    return utf8;
}

// ---- Coordinate systems ----

gdal::SrsPtr newSrs() {
    return gdal::SrsPtr(new OGRSpatialReference());
}

// The plot's system, its data easting first (so the program and the
// formats hold plane coordinates); nullptr with the reason when the text
// names none. Only definitions in the text itself are taken: no files, no
// network.
gdal::SrsPtr plotSystem(const QString &system, QString &reason) {
    gdal::SrsPtr srs = newSrs();
    CPLErrorReset();
    if (srs->SetFromUserInput(system.toUtf8().constData(),
                              OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS_get()) !=
        OGRERR_NONE) {
        reason = writeFailed(QStringLiteral("Система координат участка не распознана: %1")
                                 .arg(gdal::lastError(system)));
        return nullptr;
    }
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

// The same system a drawing has: plane metres with no place on the earth.
gdal::SrsPtr localMetres() {
    gdal::SrsPtr srs = newSrs();
    srs->SetLocalCS("Участок");
    srs->SetLinearUnits(SRS_UL_METER, 1.0);
    return srs;
}

gdal::SrsPtr wgs84() {
    gdal::SrsPtr srs = newSrs();
    srs->importFromEPSG(4326);
    srs->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return srs;
}

constexpr QStringView kNeedsSystem =
    u"Для KML и GeoJSON нужна система координат участка: выберите её в "
    u"«Настройки → Система координат...»";

// The rings in WGS 84 longitude (x) and latitude (y); empty with the reason
// when they cannot be brought there.
std::vector<GisRing> inWgs84(const GisExport &plot, QString &reason) {
    if (plot.system.trimmed().isEmpty()) {
        reason = kNeedsSystem.toString();
        return {};
    }
    const gdal::SrsPtr source = plotSystem(plot.system, reason);
    if (!source) return {};
    const gdal::SrsPtr target = wgs84();
    CPLErrorReset();
    const gdal::TransformPtr toWgs84(OGRCreateCoordinateTransformation(source.get(), target.get()));
    if (!toWgs84) {
        reason = writeFailed(QStringLiteral("Координаты участка не переводятся в WGS 84: %1")
                                 .arg(gdal::lastError(QStringLiteral("нет преобразования"))));
        return {};
    }
    std::vector<GisRing> rings = plot.rings;
    for (GisRing &ring : rings) {
        const std::size_t n = ring.points.size();
        std::vector<double> x(n), y(n);
        std::vector<int> converted(n, FALSE);
        for (std::size_t i = 0; i < n; ++i) {
            x[i] = ring.points[i].x;
            y[i] = ring.points[i].y;
        }
        const bool all =
            n == 0 || toWgs84->Transform(n, x.data(), y.data(), nullptr, converted.data());
        for (std::size_t i = 0; i < n; ++i) {
            if (!all || !converted[i] || !std::isfinite(x[i]) || !std::isfinite(y[i])) {
                reason = writeFailed(
                    QStringLiteral("Координаты участка не переводятся в WGS 84: точка %1 вне "
                                   "системы координат.")
                        .arg(pointName(ring, i)));
                return {};
            }
            ring.points[i] = {x[i], y[i]};
        }
    }
    return rings;
}

// ---- Datasets ----

GDALDatasetUniquePtr createDataset(const char *driverName, const QString &path,
                                   const std::vector<const char *> &options) {
    GDALDriver *driver = GetGDALDriverManager()->GetDriverByName(driverName);
    if (!driver) {
        CPLError(CE_Failure, CPLE_AppDefined, "GDAL has no %s driver", driverName);
        return nullptr;
    }
    std::vector<const char *> list = options;
    list.push_back(nullptr);
    return GDALDatasetUniquePtr(driver->Create(QFile::encodeName(path).constData(), 0, 0, 0,
                                               GDT_Unknown, const_cast<char **>(list.data())));
}

OGRLayer *createLayer(GDALDataset &dataset, const QString &name, const OGRSpatialReference *srs,
                      OGRwkbGeometryType type, const std::vector<const char *> &options) {
    std::vector<const char *> list = options;
    list.push_back(nullptr);
    return dataset.CreateLayer(name.toUtf8().constData(), const_cast<OGRSpatialReference *>(srs),
                               type, const_cast<char **>(list.data()));
}

bool addNameField(OGRLayer &layer) {
    OGRFieldDefn field("name", OFTString);
    field.SetWidth(static_cast<int>(kFieldBytes));
    return layer.CreateField(&field) == OGRERR_NONE;
}

// Closes the dataset, which is when most drivers write what they hold back
// (the DXF writer its whole header and the entities after it): only a close
// without an error makes the files whole.
bool closeDataset(GDALDatasetUniquePtr &dataset) {
    CPLErrorReset();
    bool closed = true;
#if GDAL_VERSION_NUM >= GDAL_COMPUTE_VERSION(3, 7, 0)
    closed = dataset->Close() == CE_None;
#endif
    dataset.reset();
    return closed && !gdal::failed();
}

// A feature of `layer` holding `geometry` and, when the layer has it, the
// field "name".
OGRErr addFeature(OGRLayer &layer, std::unique_ptr<OGRGeometry> geometry, const QByteArray &name) {
    OGRFeature feature(layer.GetLayerDefn());
    const int nameField = feature.GetFieldIndex("name");
    if (nameField >= 0) feature.SetField(nameField, name.constData());
    feature.SetGeometryDirectly(geometry.release());
    return layer.CreateFeature(&feature);
}

// A layer of the corners, each a point feature named as the plot names it.
OGRErr addCorners(OGRLayer &layer, const std::vector<Polygon> &polygons) {
    auto addRing = [&layer](const GisRing &ring) {
        for (std::size_t i = 0; i < ring.points.size(); ++i) {
            const OGRErr err =
                addFeature(layer, std::make_unique<OGRPoint>(ring.points[i].x, ring.points[i].y),
                           pointName(ring, i).toUtf8());
            if (err != OGRERR_NONE) return err;
        }
        return OGRERR_NONE;
    };
    for (const Polygon &polygon : polygons) {
        if (const OGRErr err = addRing(*polygon.outer); err != OGRERR_NONE) return err;
        for (const GisRing *hole : polygon.holes)
            if (const OGRErr err = addRing(*hole); err != OGRERR_NONE) return err;
    }
    return OGRERR_NONE;
}

// ---- DXF ----

constexpr QStringView kPlotLayer = u"Участок";
constexpr QStringView kHoleLayer = u"Дырки";
constexpr QStringView kPointLayer = u"Точки";
constexpr QStringView kLengthLayer = u"Длины";

// The labels of the anchor points of OGR's style strings.
constexpr int kBottomLeft = 1;
constexpr int kBottomCentre = 2;

// The entities of the drawing, written one by one through OGR's single
// layer of entities; each names its drawing layer in the field "Layer".
class Drawing {
public:
    explicit Drawing(OGRLayer &entities)
        : entities_(entities), layerField_(entities.GetLayerDefn()->GetFieldIndex("Layer")) {}

    // A closed LWPOLYLINE: OGR writes a bare linear ring as a polyline
    // flagged closed, with its points as they are (no repeated first
    // point), where a polygon would become a hatch.
    bool ring(QStringView layer, const GisRing &ring) {
        auto line = std::make_unique<OGRLinearRing>();
        line->setNumPoints(static_cast<int>(ring.points.size()), FALSE);
        for (std::size_t i = 0; i < ring.points.size(); ++i)
            line->setPoint(static_cast<int>(i), ring.points[i].x, ring.points[i].y);
        return add(layer, std::move(line), nullptr);
    }

    // A text at `at`, `height` metres high, turned `degrees` from the x
    // axis. Arial, which every CAD program has, holds the Cyrillic letters
    // that the simple fonts of some lack.
    bool text(QStringView layer, const QString &text, GisPoint at, double height, double degrees,
              int anchor) {
        // OGR's own style writer leaves the text unquoted, and a comma in
        // it ("25,40") would end it: quoted here, with its quotes and
        // backslashes escaped as the style reader takes them.
        QByteArray quoted = text.toUtf8();
        quoted.replace("\\", "\\\\").replace("\"", "\\\"");
        QByteArray style =
            "LABEL(f:\"Arial\",t:\"" + quoted + "\",s:" + QByteArray::number(height, 'g', 6) + "g";
        // Each part costs OGR a parse: an angle of 0 is its default.
        if (degrees != 0.0) style += ",a:" + QByteArray::number(degrees, 'g', 6);
        style += ",p:" + QByteArray::number(anchor) + ")";
        return add(layer, std::make_unique<OGRPoint>(at.x, at.y), style.constData());
    }

private:
    bool add(QStringView layer, std::unique_ptr<OGRGeometry> geometry, const char *style) {
        OGRFeature feature(entities_.GetLayerDefn());
        feature.SetField(layerField_, layer.toUtf8().constData());
        feature.SetGeometryDirectly(geometry.release());
        if (style) feature.SetStyleString(style);
        return entities_.CreateFeature(&feature) == OGRERR_NONE;
    }

    OGRLayer &entities_;
    int layerField_;
};

// A side's direction in degrees, turned so that its label reads from left
// to right.
double readableAngle(GisPoint a, GisPoint b) {
    double degrees = std::atan2(b.y - a.y, b.x - a.x) * 180.0 / std::numbers::pi;
    if (degrees > 90.0) degrees -= 180.0;
    if (degrees <= -90.0) degrees += 180.0;
    return degrees;
}

// The rings with their point names and the lengths of their sides, and the
// title above the plot. Texts are sized to the plot, so that a drawing of
// a garden and one of a farm both open legible.
bool drawPlot(Drawing &drawing, const std::vector<Polygon> &polygons, const QString &title) {
    const Extent extent = extentOf(polygons);
    const double height = std::clamp(std::max(extent.width(), extent.height()) / 60.0, 0.1, 10.0);
    auto labelRing = [&](const GisRing &ring) {
        const std::size_t n = ring.points.size();
        for (std::size_t i = 0; i < n; ++i) {
            const GisPoint a = ring.points[i];
            const GisPoint b = ring.points[(i + 1) % n];
            if (!drawing.text(kPointLayer, pointName(ring, i),
                              {a.x + 0.4 * height, a.y + 0.4 * height}, height, 0.0, kBottomLeft))
                return false;
            const double length = std::hypot(b.x - a.x, b.y - a.y);
            if (!drawing.text(kLengthLayer, gis_writer::lengthLabel(length),
                              {(a.x + b.x) / 2, (a.y + b.y) / 2}, height * 0.8, readableAngle(a, b),
                              kBottomCentre))
                return false;
        }
        return true;
    };
    for (const Polygon &polygon : polygons) {
        if (!drawing.ring(kPlotLayer, *polygon.outer)) return false;
        for (const GisRing *hole : polygon.holes)
            if (!drawing.ring(kHoleLayer, *hole)) return false;
    }
    for (const Polygon &polygon : polygons) {
        if (!labelRing(*polygon.outer)) return false;
        for (const GisRing *hole : polygon.holes)
            if (!labelRing(*hole)) return false;
    }
    if (!title.trimmed().isEmpty() &&
        !drawing.text(kPlotLayer, title,
                      {(extent.minX + extent.maxX) / 2, extent.maxY + 2 * height}, 2 * height, 0.0,
                      kBottomCentre))
        return false;
    return true;
}

// A folder of GDAL's memory file system, gone with its files when the
// object goes.
class MemoryFolder {
public:
    MemoryFolder()
        : path_(QStringLiteral("/vsimem/tarvel-%1")
                    .arg(QUuid::createUuid().toString(QUuid::WithoutBraces))) {}
    ~MemoryFolder() { VSIRmdirRecursive(path_.toUtf8().constData()); }
    MemoryFolder(const MemoryFolder &) = delete;
    MemoryFolder &operator=(const MemoryFolder &) = delete;
    QString filePath(const QString &name) const { return path_ + u'/' + name; }

private:
    QString path_;
};

// OGR composes the drawing at its close from its header, a file of the
// entities and its trailer, copying the entities line by line with a seek
// for each: in memory, as the drawing is recoded there anyway, that costs
// nothing, where on a disk it was most of the time of a large plot.
QString writeDxf(const QString &path, const std::vector<Polygon> &polygons, const QString &title) {
    const MemoryFolder memory;
    const QString composed = memory.filePath(QStringLiteral("drawing.dxf"));
    GDALDatasetUniquePtr dataset = createDataset("DXF", composed, {});
    if (!dataset) return gdalFailure();
    OGRLayer *entities = createLayer(*dataset, QStringLiteral("entities"), nullptr, wkbUnknown, {});
    if (!entities) return gdalFailure();
    Drawing drawing(*entities);
    if (!drawPlot(drawing, polygons, title)) return gdalFailure();
    if (!closeDataset(dataset)) return gdalFailure();

    vsi_l_offset length = 0;
    const GByte *bytes = VSIGetMemFileBuffer(composed.toUtf8().constData(), &length, FALSE);
    if (!bytes) return writeFailed(kNotWritten);
    const std::optional<QByteArray> recoded = gis_writer::drawingInCp1251(QByteArray::fromRawData(
        reinterpret_cast<const char *>(bytes), static_cast<qsizetype>(length)));
    if (!recoded) return writeFailed(QStringLiteral("GDAL записал чертёж не до конца."));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(*recoded) != recoded->size() || !file.flush())
        return writeFailed(file.errorString());
    return {};
}

// ---- MapInfo, Shapefile ----

// A MapInfo table without a system on the earth is "NonEarth", and its
// bounds are the grid its points are stored on: the plot with room round
// it, at a fine step.
QByteArray mapInfoBounds(const Extent &extent) {
    const double margin = std::max({extent.width(), extent.height(), 1000.0});
    return "BOUNDS=" + QByteArray::number(std::floor(extent.minX - margin), 'f', 0) + "," +
           QByteArray::number(std::floor(extent.minY - margin), 'f', 0) + "," +
           QByteArray::number(std::ceil(extent.maxX + margin), 'f', 0) + "," +
           QByteArray::number(std::ceil(extent.maxY + margin), 'f', 0);
}

QString writeMapInfo(const QString &path, const std::vector<Polygon> &polygons,
                     const QString &title, const OGRSpatialReference *system) {
    GDALDatasetUniquePtr dataset = createDataset("MapInfo File", path, {"FORMAT=MIF"});
    if (!dataset) return gdalFailure();
    // Without a system the plot's metres would pass for degrees of
    // longitude and latitude, MapInfo's default.
    const gdal::SrsPtr local = system ? nullptr : localMetres();
    const QByteArray bounds = mapInfoBounds(extentOf(polygons));
    std::vector<const char *> options = {"ENCODING=CP1251"};
    if (!system) options.push_back(bounds.constData());
    OGRLayer *layer = createLayer(*dataset, QFileInfo(path).completeBaseName(),
                                  system ? system : local.get(), wkbUnknown, options);
    if (!layer || !addNameField(*layer)) return gdalFailure();
    // A character Windows-1251 lacks is a "?", as in the program's other
    // files of that code page, rather than dropped.
    const QString title1251 = cp1251::decode(cp1251::encode(title));
    if (addFeature(*layer, plotGeometry(polygons), title1251.left(kFieldBytes).toUtf8()) !=
            OGRERR_NONE ||
        !closeDataset(dataset))
        return gdalFailure();
    return {};
}

QString writeShapefile(const QString &path, const std::vector<Polygon> &polygons,
                       const QString &title, const OGRSpatialReference *system) {
    GDALDatasetUniquePtr dataset = createDataset("ESRI Shapefile", path, {});
    if (!dataset) return gdalFailure();
    // UTF-8 keeps every character of the title; the .cpg says so to the
    // programs that read it.
    OGRLayer *layer = createLayer(*dataset, QFileInfo(path).completeBaseName(), system, wkbPolygon,
                                  {"ENCODING=UTF-8"});
    if (!layer || !addNameField(*layer)) return gdalFailure();
    if (addFeature(*layer, plotGeometry(polygons), utf8Within(title, kFieldBytes)) != OGRERR_NONE ||
        !closeDataset(dataset))
        return gdalFailure();
    return {};
}

// ---- KML, GeoJSON (in WGS 84) ----

QString writeKml(const QString &path, const std::vector<Polygon> &polygons, const QString &title) {
    GDALDatasetUniquePtr dataset = createDataset("KML", path, {});
    if (!dataset) return gdalFailure();
    const gdal::SrsPtr srs = wgs84();
    OGRLayer *plot = createLayer(*dataset, kPlotLayer.toString(), srs.get(), wkbUnknown, {});
    if (!plot || !addNameField(*plot) ||
        addFeature(*plot, plotGeometry(polygons), title.toUtf8()) != OGRERR_NONE)
        return gdalFailure();
    OGRLayer *corners = createLayer(*dataset, kPointLayer.toString(), srs.get(), wkbPoint, {});
    if (!corners || !addNameField(*corners) || addCorners(*corners, polygons) != OGRERR_NONE ||
        !closeDataset(dataset))
        return gdalFailure();
    return {};
}

QString writeGeoJson(const QString &path, const std::vector<Polygon> &polygons,
                     const QString &title) {
    GDALDatasetUniquePtr dataset = createDataset("GeoJSON", path, {});
    if (!dataset) return gdalFailure();
    const gdal::SrsPtr srs = wgs84();
    // RFC 7946 leaves out the old "crs" member and turns the rings as the
    // standard has them. Nine decimals of a degree are a tenth of a
    // millimetre: the survey's own precision survives.
    OGRLayer *layer = createLayer(*dataset, QFileInfo(path).completeBaseName(), srs.get(),
                                  wkbUnknown, {"RFC7946=YES", "COORDINATE_PRECISION=9"});
    if (!layer || !addNameField(*layer) ||
        addFeature(*layer, plotGeometry(polygons), title.toUtf8()) != OGRERR_NONE ||
        addCorners(*layer, polygons) != OGRERR_NONE || !closeDataset(dataset))
        return gdalFailure();
    return {};
}

// ---- Files in place ----

struct FormatFiles {
    const char *suffix;                   // of the main file
    std::vector<const char *> companions; // the set's other files a reader may take
};

FormatFiles filesOf(Format format) {
    switch (format) {
    case Format::Dxf:
        return {"dxf", {}};
    case Format::MapInfo:
        return {"mif", {"mid"}};
    case Format::Shapefile:
        // An index or a system left from an earlier file of the name would
        // be taken for this one's.
        return {"shp", {"shx", "dbf", "prj", "cpg", "qix", "sbn", "sbx", "qpj"}};
    case Format::Kml:
        return {"kml", {}};
    case Format::GeoJson:
        return {"geojson", {}};
    }
    return {"", {}};
}

std::filesystem::path fsPath(const QString &path) {
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

// Moves the files written into `scratch` to their places beside `target`,
// each replacing its namesake in one step, the main file last: a failure
// half-way leaves the file the user picked as it was. Companions of an
// earlier file of the name that this one has not are removed with it.
QString moveIntoPlace(const QDir &scratch, const QFileInfo &target, const FormatFiles &files) {
    const QDir folder = target.absoluteDir();
    const QString base = target.completeBaseName();
    QStringList written;
    for (const QString &name : scratch.entryList(QDir::Files | QDir::Hidden | QDir::System))
        if (QFileInfo(name).completeBaseName() == base) written.push_back(name);
    if (!written.contains(target.fileName())) return writeFailed(kNotWritten);
    written.removeAll(target.fileName());
    written.push_back(target.fileName());
    for (const QString &name : written) {
        if (QFileInfo(folder.filePath(name)).isDir())
            return writeFailed(
                QStringLiteral("На месте файла «%1» — папка.").arg(folder.filePath(name)));
    }
    for (const QString &name : written) {
        std::error_code error;
        std::filesystem::rename(fsPath(scratch.filePath(name)), fsPath(folder.filePath(name)),
                                error);
        if (error)
            return writeFailed(
                QStringLiteral("Файл «%1» не записан: %2")
                    .arg(folder.filePath(name), QString::fromLocal8Bit(error.message())));
    }
    const bool upper = target.suffix() == target.suffix().toUpper();
    for (const char *companion : files.companions) {
        const QString suffix =
            upper ? QString::fromLatin1(companion).toUpper() : QString::fromLatin1(companion);
        const QString name = base + u'.' + suffix;
        if (written.contains(name)) continue;
        QFile stale(folder.filePath(name));
        if (stale.exists() && !stale.remove())
            return writeFailed(
                QStringLiteral("Прежний файл «%1» не подходит к новому и не удалён: %2")
                    .arg(stale.fileName(), stale.errorString()));
    }
    return {};
}

} // namespace

namespace gis_writer {

QString lengthLabel(double metres) {
    return QString::number(metres, 'f', 2).replace(u'.', u',');
}

namespace {

// Windows-1251's byte of each character it has.
class Cp1251Bytes {
public:
    Cp1251Bytes() : bytes_(0x10000, 0) {
        QByteArray upper;
        for (int b = 0x80; b <= 0xFF; ++b)
            upper.append(static_cast<char>(b));
        const QString chars = cp1251::decode(upper);
        for (qsizetype i = 0; i < chars.size() && i < 0x80; ++i)
            bytes_[chars.at(i).unicode()] = static_cast<unsigned char>(0x80 + i);
    }
    // 0 when it has none.
    unsigned char byteOf(char32_t c) const { return c < 0x10000 ? bytes_[c] : 0; }
    // A name given to OGR, as UTF-8; what the code page lacks is a "?".
    QByteArray fromUtf8(QByteArrayView utf8) const {
        QByteArray out;
        for (const char32_t c : QString::fromUtf8(utf8).toUcs4()) {
            const unsigned char b = c < 0x80 ? static_cast<unsigned char>(c) : byteOf(c);
            out.append(b ? static_cast<char>(b) : '?');
        }
        return out;
    }

private:
    std::vector<unsigned char> bytes_;
};

// The DXF limit of a text pair's value; longer texts are continued in
// pairs of code 3 before the last, of code 1.
constexpr qsizetype kTextChunk = 250;

// The value of a hexadecimal digit; -1 for another character.
int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The character of the escape \U+XXXX at the start of `text`, or nothing.
std::optional<char32_t> unicodeEscape(QByteArrayView text) {
    if (text.size() < 7 || text[0] != '\\' || text[1] != 'U' || text[2] != '+') return std::nullopt;
    char32_t c = 0;
    for (qsizetype i = 3; i < 7; ++i) {
        const int digit = hexDigit(text[i]);
        if (digit < 0) return std::nullopt;
        c = c * 16 + static_cast<char32_t>(digit);
    }
    return c;
}

// An MTEXT's text as OGR escapes it, in Windows-1251: the escapes of the
// characters the code page has become its bytes, its Latin-1 bytes the
// code page's (or escapes), MTEXT's own escapes (\P, \~, \\) stay.
QByteArray recodeText(QByteArrayView escaped, const Cp1251Bytes &code) {
    QByteArray out;
    out.reserve(escaped.size());
    auto put = [&](char32_t c) {
        if (c < 0x80) {
            out.append(static_cast<char>(c));
        } else if (const unsigned char b = code.byteOf(c)) {
            out.append(static_cast<char>(b));
        } else {
            out.append(
                "\\U+" +
                QByteArray::number(static_cast<uint>(c), 16).toUpper().rightJustified(4, '0'));
        }
    };
    for (qsizetype i = 0; i < escaped.size();) {
        const char c = escaped[i];
        if (const std::optional<char32_t> escape = unicodeEscape(escaped.sliced(i))) {
            put(*escape);
            i += 7;
        } else if (c == '\\' && i + 1 < escaped.size()) {
            out.append(escaped.sliced(i, 2));
            i += 2;
        } else {
            put(static_cast<unsigned char>(c));
            ++i;
        }
    }
    return out;
}

// A recoded text longer than a pair holds, split into the values of its
// pairs, never inside an escape.
std::vector<QByteArrayView> splitText(QByteArrayView text) {
    std::vector<QByteArrayView> values;
    qsizetype start = 0; // of the value being filled
    for (qsizetype i = 0; i < text.size();) {
        qsizetype unit = 1;
        if (unicodeEscape(text.sliced(i)))
            unit = 7;
        else if (text[i] == '\\' && i + 1 < text.size())
            unit = 2;
        if (i + unit - start > kTextChunk) {
            values.push_back(text.sliced(start, i - start));
            start = i;
        }
        i += unit;
    }
    values.push_back(text.sliced(start));
    return values;
}

bool ascii(QByteArrayView value) {
    return std::all_of(value.begin(), value.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

void appendPair(QByteArray &out, QByteArrayView code, QByteArrayView value) {
    out.append(code);
    out.append('\n');
    out.append(value);
    out.append('\n');
}

// The header variables set for a Russian metric drawing: the code page, and
// metres (the template has inches) for the drawing's units.
struct HeaderValue {
    const char *variable;
    int code;
    const char *value;
};
constexpr std::array<HeaderValue, 3> kHeaderValues = {{
    {"$DWGCODEPAGE", 3, "ANSI_1251"},
    {"$INSUNITS", 70, "     6"},
    {"$MEASUREMENT", 70, "     1"},
}};

} // namespace

std::optional<QByteArray> drawingInCp1251(const QByteArray &drawing) {
    const Cp1251Bytes code;
    QByteArray out;
    out.reserve(drawing.size());

    qsizetype pos = 0;
    auto nextLine = [&](QByteArrayView &line) {
        if (pos >= drawing.size()) return false;
        qsizetype end = drawing.indexOf('\n', pos);
        if (end < 0) end = drawing.size();
        line = QByteArrayView(drawing).sliced(pos, end - pos);
        if (line.endsWith('\r')) line.chop(1);
        pos = end + 1;
        return true;
    };

    QByteArrayView section;
    QByteArrayView entity;
    const HeaderValue *pendingHeader = nullptr;
    bool codePageSet = false;
    QByteArray text; // an MTEXT's value so far
    constexpr std::size_t kNamesKept = 16;
    std::vector<std::pair<QByteArrayView, QByteArray>> names; // recoded
    QByteArrayView codeLine, value;
    bool ended = false;
    while (nextLine(codeLine)) {
        if (ended) {
            if (!codeLine.trimmed().isEmpty()) return std::nullopt;
            continue;
        }
        if (!nextLine(value)) return std::nullopt;
        bool isNumber = false;
        const int groupCode = codeLine.trimmed().toInt(&isNumber);
        if (!isNumber) return std::nullopt;

        if (groupCode == 0) {
            if (section == "HEADER" && value == "ENDSEC" && !codePageSet) {
                appendPair(out, "  9", "$DWGCODEPAGE");
                appendPair(out, "  3", "ANSI_1251");
                codePageSet = true;
            }
            if (value == "ENDSEC") section = {};
            if (value == "EOF") ended = true;
            entity = value;
            pendingHeader = nullptr;
        } else if (groupCode == 2 && entity == "SECTION" && section.isEmpty()) {
            section = value;
        } else if (section == "HEADER" && groupCode == 9) {
            pendingHeader = nullptr;
            for (const HeaderValue &h : kHeaderValues)
                if (value == h.variable) pendingHeader = &h;
        } else if (pendingHeader && groupCode == pendingHeader->code) {
            if (QByteArrayView(pendingHeader->variable) == "$DWGCODEPAGE") codePageSet = true;
            appendPair(out, codeLine, pendingHeader->value);
            pendingHeader = nullptr;
            continue;
        } else if (entity == "MTEXT" && (groupCode == 3 || groupCode == 1)) {
            text.append(value);
            if (groupCode == 3) continue;
            const QByteArray recoded = recodeText(text, code);
            text.clear();
            if (recoded.size() <= kTextChunk) {
                appendPair(out, codeLine, recoded);
                continue;
            }
            const std::vector<QByteArrayView> values = splitText(recoded);
            for (std::size_t i = 0; i + 1 < values.size(); ++i)
                appendPair(out, "  3", values[i]);
            appendPair(out, codeLine, values.back());
            continue;
        }
        if (ascii(value)) {
            appendPair(out, codeLine, value);
        } else {
            // The few names OGR repeats for every entity (its layer's).
            auto known = std::find_if(names.begin(), names.end(),
                                      [value](const auto &n) { return n.first == value; });
            if (known != names.end()) {
                appendPair(out, codeLine, known->second);
            } else {
                const QByteArray recoded = code.fromUtf8(value);
                if (names.size() < kNamesKept) names.emplace_back(value, recoded);
                appendPair(out, codeLine, recoded);
            }
        }
    }
    if (!ended || !text.isEmpty()) return std::nullopt;
    return out;
}

} // namespace gis_writer

QString GdalGis::write(const QString &fileName, const GisExport &plot) {
    const QFileInfo target(fileName);
    const FormatFiles files = filesOf(plot.format);
    const bool plane = plot.format != Format::Kml && plot.format != Format::GeoJson;

    if (!allFinite(plot.rings))
        return writeFailed(QStringLiteral("В участке есть точка, координаты которой не числа."));
    const gdal::QuietErrors quiet;
    QString reason;
    std::vector<GisRing> wgs84Rings;
    if (!plane) {
        wgs84Rings = inWgs84(plot, reason);
        if (!reason.isEmpty()) return reason;
    }
    const Outline shape = outline(plane ? plot.rings : wgs84Rings);
    if (!shape.refusal.isEmpty()) return shape.refusal;

    gdal::SrsPtr system;
    if (plane && !plot.system.trimmed().isEmpty()) {
        system = plotSystem(plot.system, reason);
        if (!system) return reason;
    }

    if (!target.absoluteDir().exists())
        return writeFailed(QStringLiteral("Папка «%1» не найдена.").arg(target.absolutePath()));
    if (target.isDir())
        return writeFailed(
            QStringLiteral("«%1» — папка, а не файл.").arg(target.absoluteFilePath()));
    // The drivers of these two name their companions after the main file
    // and take another suffix for a folder to fill.
    if ((plot.format == Format::MapInfo || plot.format == Format::Shapefile) &&
        target.suffix().compare(QLatin1String(files.suffix), Qt::CaseInsensitive) != 0)
        return writeFailed(QStringLiteral("Имя файла должно оканчиваться на .%1.")
                               .arg(QLatin1String(files.suffix)));

    // Written whole into a folder of its own beside the target, then moved
    // into place: the same disk, so a move replaces a file in one step.
    QTemporaryDir scratch(target.absoluteDir().filePath(QStringLiteral(".tarvel-XXXXXX")));
    if (!scratch.isValid())
        return writeFailed(QStringLiteral("Нет доступа к папке «%1»: %2")
                               .arg(target.absolutePath(), scratch.errorString()));
    const QString path = QDir(scratch.path()).filePath(target.fileName());
    gdal::registerDrivers();

    switch (plot.format) {
    case Format::Dxf:
        reason = writeDxf(path, shape.polygons, plot.title);
        break;
    case Format::MapInfo:
        reason = writeMapInfo(path, shape.polygons, plot.title, system.get());
        break;
    case Format::Shapefile:
        reason = writeShapefile(path, shape.polygons, plot.title, system.get());
        break;
    case Format::Kml:
        reason = writeKml(path, shape.polygons, plot.title);
        break;
    case Format::GeoJson:
        reason = writeGeoJson(path, shape.polygons, plot.title);
        break;
    }
    if (!reason.isEmpty()) return reason;
    return moveIntoPlace(QDir(scratch.path()), target, files);
}

} // namespace tarvel::platform
