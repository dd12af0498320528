#include "platform/io/gis_reader.h"

#include "platform/io/gis_gdal.h"

#include <QFile>
#include <QFileInfo>

#include <cpl_conv.h>
#include <cpl_error.h>
#include <gdal_priv.h>
#include <ogr_feature.h>
#include <ogr_geometry.h>
#include <ogr_spatialref.h>
#include <ogrsf_frmts.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <utility>

namespace tarvel::platform {

namespace {

using Outcome = GisReading::Outcome;
using System = GisReading::System;
using gdal::lastError;
using gdal::SrsPtr;
using gdal::TransformPtr;

// Only the formats the program offers: GDAL's other drivers (databases,
// web services, rasters) have no business with a file a person picked.
constexpr const char *kDrivers[] = {"DXF",          "GeoJSON",        "KML",  "LIBKML",
                                    "MapInfo File", "ESRI Shapefile", nullptr};

// "2 000 000": the counts of the messages, in groups of three digits as
// Russian text has them.
QString grouped(std::size_t n) {
    QString digits = QString::number(n);
    for (qsizetype i = digits.size() - 3; i > 0; i -= 3)
        digits.insert(i, u' ');
    return digits;
}

// The coordinate system of one layer, as the reading reports it, with what
// its points need to be in that system.
struct LayerSystem {
    System kind = System::Unknown;
    QString name;
    QString definition;
    TransformPtr toWgs84;  // geographic layers
    bool swapAxes = false; // projected layers whose data puts the northing first

    bool sameAs(const GisReading &r) const {
        return kind == r.system && name == r.systemName && definition == r.systemDefinition;
    }
};

QString authorityCode(const OGRSpatialReference &srs) {
    const char *authority = srs.GetAuthorityName(nullptr);
    const char *code = srs.GetAuthorityCode(nullptr);
    if (!authority || !code || !*authority || !*code) return {};
    return QStringLiteral("%1:%2").arg(QString::fromUtf8(authority), QString::fromUtf8(code));
}

bool unnamed(const QString &name) {
    return name.isEmpty() || name.compare(QLatin1String("unnamed"), Qt::CaseInsensitive) == 0 ||
           name.compare(QLatin1String("unknown"), Qt::CaseInsensitive) == 0;
}

// Whether the first coordinate of the layer's data is the northing: the
// axis the data puts first is a north one. GDAL's drivers of these formats
// give easting first whatever the system's official order, but a system
// whose order is kept as the authority has it (Pulkovo's zones put x to the
// north) would otherwise come out mirrored.
bool northingFirst(const OGRSpatialReference &srs) {
    const std::vector<int> &mapping = srs.GetDataAxisToSRSAxisMapping();
    if (mapping.size() < 2) return false;
    OGRAxisOrientation orientation = OAO_Other;
    srs.GetAxis(nullptr, std::abs(mapping[0]) - 1, &orientation);
    return orientation == OAO_North || orientation == OAO_South;
}

// The entry of EPSG's that `srs` is, when exactly one is: the same
// projection on the same datum with the same parameters, whatever its name
// and the order of its axes (MapInfo's systems are "unnamed", and give the
// easting first where EPSG's Gauss-Krüger zones put the northing first).
SrsPtr uniqueEpsgEquivalent(const OGRSpatialReference &srs) {
    int count = 0;
    int *confidences = nullptr;
    OGRSpatialReferenceH *matches = srs.FindMatches(nullptr, &count, &confidences);
    const char *const equivalent[] = {"CRITERION=EQUIVALENT",
                                      "IGNORE_DATA_AXIS_TO_SRS_AXIS_MAPPING=YES", nullptr};
    // PROJ rates a system that differs from the entry only in its axis
    // order at 50; lower ratings are systems merely alike.
    constexpr int kAlike = 50;
    SrsPtr found;
    int found_count = 0;
    for (int i = 0; i < count; ++i) {
        if (confidences[i] < kAlike) continue;
        SrsPtr candidate(OGRSpatialReference::FromHandle(matches[i])->Clone());
        const char *authority = candidate->GetAuthorityName(nullptr);
        if (!authority || !EQUAL(authority, "EPSG")) continue;
        bool same = srs.IsSame(candidate.get(), equivalent);
        if (!same) {
            OGRSpatialReference eastFirst(*candidate);
            same = eastFirst.SetAxes(nullptr, "Easting", OAO_East, "Northing", OAO_North) ==
                       OGRERR_NONE &&
                   srs.IsSame(&eastFirst, equivalent);
        }
        if (same && ++found_count == 1) found = std::move(candidate);
    }
    OSRFreeSRSArray(matches);
    CPLFree(confidences);
    return found_count == 1 ? std::move(found) : nullptr;
}

// The projected system's name and its code ("EPSG:28407"): the file's own,
// or the one of EPSG's that it is without doubt (a MapInfo CoordSys names
// no code, a .prj only sometimes); failing that, its WKT.
void describeProjected(const OGRSpatialReference &srs, LayerSystem &system) {
    system.name = QString::fromUtf8(srs.GetName() ? srs.GetName() : "");
    system.definition = authorityCode(srs);
    if (!system.definition.isEmpty()) return;
    // Datum shifts to WGS 84 that a format writes beside a datum EPSG knows
    // (MapInfo's datum table has them) are no part of the system itself.
    OGRSpatialReference bare(srs);
    bare.StripTOWGS84IfKnownDatum();
    OGRSpatialReference identified(bare);
    if (identified.AutoIdentifyEPSG() == OGRERR_NONE) system.definition = authorityCode(identified);
    if (system.definition.isEmpty()) {
        if (const SrsPtr match = uniqueEpsgEquivalent(bare)) {
            system.definition = authorityCode(*match);
            if (unnamed(system.name))
                system.name = QString::fromUtf8(match->GetName() ? match->GetName() : "");
        }
    }
    if (!system.definition.isEmpty()) return;
    // What GDAL calls a system that has no name is no name to show.
    if (unnamed(system.name)) system.name.clear();
    char *wkt = nullptr;
    const char *const options[] = {"FORMAT=WKT2_2019", nullptr};
    if (srs.exportToWkt(&wkt, options) != OGRERR_NONE || !wkt) {
        CPLFree(wkt);
        wkt = nullptr;
        srs.exportToWkt(&wkt);
    }
    system.definition = QString::fromUtf8(wkt ? wkt : "");
    CPLFree(wkt);
}

// The layer's system; nullopt (with GDAL's error) when its geographic
// points cannot be brought to WGS 84.
std::optional<LayerSystem> layerSystem(const OGRSpatialReference *srs) {
    LayerSystem system;
    if (!srs) return system; // a drawing
    if (srs->IsGeographic()) {
        OGRSpatialReference wgs84;
        if (wgs84.importFromEPSG(4326) != OGRERR_NONE) return std::nullopt;
        wgs84.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        // The layer's own axis mapping says in which order its data holds
        // longitude and latitude; the target's makes x the longitude.
        system.toWgs84.reset(OGRCreateCoordinateTransformation(srs, &wgs84));
        if (!system.toWgs84) return std::nullopt;
        system.kind = System::Geographic;
        system.name = QStringLiteral("WGS 84");
        system.definition = QStringLiteral("EPSG:4326");
    } else if (srs->IsProjected()) {
        system.kind = System::Projected;
        system.swapAxes = northingFirst(*srs);
        describeProjected(*srs, system);
    }
    // Local (engineering) systems are drawings too: their points as they are.
    return system;
}

// The name of the feature: the first field of these names (in this order,
// without regard to case) that holds a text.
QString featureName(const OGRFeature &feature) {
    static constexpr const char *kNameFields[] = {"name",        "название", "наименование",
                                                  "description", "описание", "text"};
    const OGRFeatureDefn *definition = feature.GetDefnRef();
    for (const char *wanted : kNameFields) {
        const QString wantedName = QString::fromUtf8(wanted);
        for (int i = 0; i < definition->GetFieldCount(); ++i) {
            if (QString::fromUtf8(definition->GetFieldDefn(i)->GetNameRef())
                    .compare(wantedName, Qt::CaseInsensitive) != 0)
                continue;
            if (!feature.IsFieldSetAndNotNull(i)) continue;
            const QString value = QString::fromUtf8(feature.GetFieldAsString(i)).trimmed();
            if (!value.isEmpty()) return value;
        }
    }
    return {};
}

QString textField(const OGRFeature &feature, const char *field) {
    const int i = feature.GetFieldIndex(field);
    if (i < 0 || !feature.IsFieldSetAndNotNull(i)) return {};
    return QString::fromUtf8(feature.GetFieldAsString(i));
}

// Circles and ellipses of a drawing come from OGR as closed lines, but are
// the marks of corners, wells and trees rather than outlines of plots. The
// entity's subclass markers (from R13 on) tell them.
bool roundEntity(const OGRFeature &feature) {
    const QString subclasses = textField(feature, "SubClasses");
    return subclasses.contains(QLatin1String("AcDbCircle")) ||
           subclasses.contains(QLatin1String("AcDbEllipse"));
}

bool samePoint(const GisPoint &a, const GisPoint &b) {
    return a.x == b.x && a.y == b.y;
}

// Gathers the rings of the file's shapes, holding the limits; the first
// limit crossed stops the reading with its message.
class RingCollector {
public:
    explicit RingCollector(const GdalGis::Limits &limits) : limits_(limits) {}

    // Every ring of `geometry` (linear by now) into `shape`.
    void collect(const OGRGeometry &geometry, bool swapAxes, GisShape &shape) {
        swapAxes_ = swapAxes;
        add(geometry, shape);
    }
    const QString &refusal() const { return refusal_; }

private:
    void add(const OGRGeometry &geometry, GisShape &shape) {
        if (!refusal_.isEmpty()) return;
        switch (wkbFlatten(geometry.getGeometryType())) {
        case wkbPolygon:
        case wkbTriangle:
            addPolygon(*geometry.toPolygon(), shape);
            break;
        case wkbLineString:
        case wkbLinearRing: {
            const OGRSimpleCurve &line = *geometry.toSimpleCurve();
            if (closed(line)) addRing(line, false, shape);
            break;
        }
        case wkbMultiPolygon:
        case wkbMultiLineString:
        case wkbGeometryCollection: {
            const OGRGeometryCollection &parts = *geometry.toGeometryCollection();
            for (int i = 0; i < parts.getNumGeometries(); ++i)
                add(*parts.getGeometryRef(i), shape);
            break;
        }
        default:
            // Points, texts, and the faces of 3D meshes and surfaces: no
            // plots.
            break;
        }
    }

    void addPolygon(const OGRPolygon &polygon, GisShape &shape) {
        const OGRLinearRing *outer = polygon.getExteriorRing();
        // The holes of an outer ring passed over have nothing to be holes in.
        if (!outer || !addRing(*outer, false, shape)) return;
        for (int i = 0; i < polygon.getNumInteriorRings(); ++i)
            addRing(*polygon.getInteriorRing(i), true, shape);
    }

    // A line is closed when its last point meets its first: so OGR gives
    // the polylines a drawing flags closed, and the lines drawn round.
    static bool closed(const OGRSimpleCurve &line) {
        const int n = line.getNumPoints();
        return n >= 4 && line.getX(0) == line.getX(n - 1) && line.getY(0) == line.getY(n - 1);
    }

    // The ring without repeated points; false when it is passed over (fewer
    // than three distinct points) or the reading is refused.
    bool addRing(const OGRSimpleCurve &curve, bool hole, GisShape &shape) {
        GisRing ring;
        ring.hole = hole;
        const int n = curve.getNumPoints();
        // One more than the limit, for the closing point not yet dropped.
        const std::size_t most = limits_.maxRingPoints + 1;
        ring.points.reserve(std::min<std::size_t>(static_cast<std::size_t>(n), most + 1));
        for (int i = 0; i < n; ++i) {
            GisPoint p{curve.getX(i), curve.getY(i)};
            if (swapAxes_) std::swap(p.x, p.y);
            if (!std::isfinite(p.x) || !std::isfinite(p.y)) {
                refusal_ = QStringLiteral("В файле есть точка, координаты которой не числа.");
                return false;
            }
            if (!ring.points.empty() && samePoint(ring.points.back(), p)) continue;
            if (ring.points.size() == most) return refuseRing();
            ring.points.push_back(p);
        }
        while (ring.points.size() > 1 && samePoint(ring.points.back(), ring.points.front()))
            ring.points.pop_back();
        if (ring.points.size() < 3) return false;
        if (ring.points.size() > limits_.maxRingPoints) return refuseRing();
        total_ += ring.points.size();
        if (total_ > limits_.maxTotalPoints) {
            refusal_ =
                QStringLiteral("В файле больше %1 точек.").arg(grouped(limits_.maxTotalPoints));
            return false;
        }
        shape.rings.push_back(std::move(ring));
        return true;
    }

    bool refuseRing() {
        refusal_ = QStringLiteral("В файле есть контур из более чем %1 точек: у многоугольника "
                                  "программы не больше %1 углов.")
                       .arg(grouped(limits_.maxRingPoints));
        return false;
    }

    GdalGis::Limits limits_;
    bool swapAxes_ = false;
    std::size_t total_ = 0;
    QString refusal_;
};

GisReading refused(Outcome outcome, QString error = {}) {
    GisReading reading;
    reading.outcome = outcome;
    reading.error = std::move(error);
    return reading;
}

} // namespace

GdalGis::GdalGis() : GdalGis(Limits{}) {}

GdalGis::GdalGis(Limits limits) : limits_(limits) {}

GisReading GdalGis::read(const QString &fileName, std::stop_token stop) {
    if (stop.stop_requested()) return refused(Outcome::Cancelled);
    // A name GDAL would take for something else than a file (a folder of
    // shapefiles, a /vsicurl/ address, GeoJSON text) is no file picked.
    if (!QFileInfo(fileName).isFile())
        return refused(Outcome::Unreadable, QStringLiteral("Файл «%1» не найден.").arg(fileName));

    const gdal::QuietErrors quiet;
    gdal::registerDrivers();
    const GDALDatasetUniquePtr dataset(GDALDataset::Open(
        QFile::encodeName(fileName).constData(),
        GDAL_OF_VECTOR | GDAL_OF_READONLY | GDAL_OF_VERBOSE_ERROR, kDrivers, nullptr, nullptr));
    if (!dataset)
        return refused(Outcome::Unreadable,
                       lastError(QStringLiteral("Файл не в одном из форматов ГИС и чертежей.")));
    // A drawing comes as one layer of every entity; its own layers are a
    // field of each.
    const bool drawing = EQUAL(dataset->GetDriver()->GetDescription(), "DXF");

    GisReading reading;
    bool systemKnown = false;
    RingCollector rings(limits_);
    for (OGRLayer *layer : dataset->GetLayers()) {
        CPLErrorReset();
        std::optional<LayerSystem> system = layerSystem(layer->GetSpatialRef());
        if (!system)
            return refused(Outcome::Unreadable,
                           QStringLiteral("Координаты файла не переводятся в WGS 84: %1")
                               .arg(lastError(QStringLiteral("нет преобразования"))));
        const QString layerName = QString::fromUtf8(layer->GetName());
        layer->ResetReading();
        CPLErrorReset();
        for (;;) {
            if (stop.stop_requested()) return refused(Outcome::Cancelled);
            const OGRFeatureUniquePtr feature(layer->GetNextFeature());
            if (!feature) break;
            if (drawing && roundEntity(*feature)) continue;
            OGRGeometryUniquePtr geometry(feature->StealGeometry());
            if (!geometry || geometry->IsEmpty()) continue;
            if (geometry->hasCurveGeometry()) geometry.reset(geometry->getLinearGeometry());
            if (!geometry) continue;
            if (system->toWgs84 && geometry->transform(system->toWgs84.get()) != OGRERR_NONE)
                return refused(Outcome::Unreadable,
                               QStringLiteral("Координаты файла не переводятся в WGS 84: %1")
                                   .arg(lastError(QStringLiteral("точка вне системы"))));
            GisShape shape;
            rings.collect(*geometry, system->swapAxes, shape);
            if (!rings.refusal().isEmpty()) return refused(Outcome::Unreadable, rings.refusal());
            if (shape.rings.empty()) continue;
            if (!systemKnown) {
                reading.system = system->kind;
                reading.systemName = system->name;
                reading.systemDefinition = system->definition;
                systemKnown = true;
            } else if (!system->sameAs(reading)) {
                // One set of corners takes one system: points of two
                // together would be nonsense.
                return refused(Outcome::Unreadable,
                               QStringLiteral("Слои файла заданы в разных системах координат."));
            }
            shape.layer = drawing ? textField(*feature, "Layer") : layerName;
            if (drawing && shape.layer.isEmpty()) shape.layer = layerName;
            shape.name = featureName(*feature);
            reading.shapes.push_back(std::move(shape));
        }
        // The end of the features, or a file broken half-way: the shapes
        // read so far would pass for all of them.
        if (gdal::failed())
            return refused(Outcome::Unreadable, QStringLiteral("Файл прочитан не до конца: %1")
                                                    .arg(lastError(QStringLiteral("ошибка"))));
    }
    reading.outcome = Outcome::Read;
    return reading;
}

} // namespace tarvel::platform
