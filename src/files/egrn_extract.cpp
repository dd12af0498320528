#include "files/egrn_extract.h"

#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"

#include "platform/io/regular_file.h"

#include <QByteArray>
#include <QXmlStreamReader>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string_view>
#include <utility>

namespace tarvel::files {

namespace {

// ---- The names the reader knows ----

enum class Tag : std::uint8_t {
    Other,
    Plot,    // land_record, Parcel
    Skipped, // the parts of a plot, and the old corners of a changed boundary
    ContoursLocation,
    Contours,
    Contour,
    NumberPP,
    EntitySpatial,
    SpatialElement,
    SpelementUnit,
    Ordinate,
    X,
    Y,
    OrdNmb,
    NumGeopoint,
    Radius,
    SkId,
    CsId,
    Name,
    CoordSystem,
    CommonData,
    CadNumber,
    Params,
    Area,
    Value,
    Inaccuracy,
    AddressLocation,
    Address,
    ReadableAddress,
    Note,
};

struct KnownName {
    std::string_view folded;
    Tag tag;
};

// By the folded name (see fold), in order for a binary search.
constexpr std::array kKnownNames{
    KnownName{"address", Tag::Address},
    KnownName{"addresslocation", Tag::AddressLocation},
    KnownName{"area", Tag::Area},
    KnownName{"cadnumber", Tag::CadNumber},
    KnownName{"commondata", Tag::CommonData},
    KnownName{"contour", Tag::Contour},
    KnownName{"contours", Tag::Contours},
    KnownName{"contourslocation", Tag::ContoursLocation},
    KnownName{"coordsystem", Tag::CoordSystem},
    KnownName{"csid", Tag::CsId},
    KnownName{"entityspatial", Tag::EntitySpatial},
    KnownName{"inaccuracy", Tag::Inaccuracy},
    KnownName{"landrecord", Tag::Plot},
    KnownName{"name", Tag::Name},
    KnownName{"newordinate", Tag::Ordinate},
    KnownName{"note", Tag::Note},
    KnownName{"numberpp", Tag::NumberPP},
    KnownName{"numgeopoint", Tag::NumGeopoint},
    KnownName{"objectpart", Tag::Skipped},
    KnownName{"objectparts", Tag::Skipped},
    KnownName{"oldordinate", Tag::Skipped},
    KnownName{"ordinate", Tag::Ordinate},
    KnownName{"ordnmb", Tag::OrdNmb},
    KnownName{"params", Tag::Params},
    KnownName{"parcel", Tag::Plot},
    KnownName{"part", Tag::Skipped},
    KnownName{"parts", Tag::Skipped},
    KnownName{"r", Tag::Radius},
    KnownName{"radius", Tag::Radius},
    KnownName{"readableaddress", Tag::ReadableAddress},
    KnownName{"skid", Tag::SkId},
    KnownName{"spatialelement", Tag::SpatialElement},
    KnownName{"spelementunit", Tag::SpelementUnit},
    KnownName{"subparcel", Tag::Skipped},
    KnownName{"subparcels", Tag::Skipped},
    KnownName{"value", Tag::Value},
    KnownName{"x", Tag::X},
    KnownName{"y", Tag::Y},
};
static_assert(std::is_sorted(kKnownNames.begin(), kKnownNames.end(),
                             [](const KnownName &a, const KnownName &b) {
                                 return a.folded < b.folded;
                             }));

constexpr std::size_t kLongestName = 24;

// The name in lower case without underscores, so that the names of the
// schemas before 2020 (EntitySpatial, NumGeopoint) meet today's
// (entity_spatial, num_geopoint). Empty for a name no known one can be:
// longer than any, or not ASCII.
std::string_view fold(QStringView name, std::array<char, kLongestName> &buffer) {
    std::size_t n = 0;
    for (const QChar c : name) {
        const char16_t u = c.unicode();
        if (u == u'_') continue;
        if (u >= 0x80 || n == buffer.size()) return {};
        buffer[n++] = static_cast<char>(u >= u'A' && u <= u'Z' ? u + (u'a' - u'A') : u);
    }
    return {buffer.data(), n};
}

Tag tagOf(QStringView name) {
    std::array<char, kLongestName> buffer;
    const std::string_view folded = fold(name, buffer);
    if (folded.empty()) return Tag::Other;
    const auto found = std::lower_bound(
        kKnownNames.begin(), kKnownNames.end(), folded,
        [](const KnownName &known, std::string_view f) { return known.folded < f; });
    return found != kKnownNames.end() && found->folded == folded ? found->tag : Tag::Other;
}

// The value of the attribute whose folded local name is `folded`.
QString attribute(const QXmlStreamAttributes &attributes, std::string_view folded) {
    std::array<char, kLongestName> buffer;
    for (const QXmlStreamAttribute &a : attributes)
        if (fold(a.name(), buffer) == folded) return a.value().trimmed().toString();
    return {};
}

// A coordinate as the schemas write it (a decimal point; a comma is taken
// too); nullopt for anything else, infinities and NaN included.
std::optional<double> coordinate(QStringView text) {
    text = text.trimmed();
    bool ok = false;
    double v = text.toDouble(&ok);
    if (!ok && text.contains(u',')) v = text.toString().replace(u',', u'.').toDouble(&ok);
    if (!ok || !std::isfinite(v)) return std::nullopt;
    return v;
}

QString damagedAt(qint64 line) {
    return QStringLiteral("Ошибка чтения файла! Файл повреждён в строке %1.")
        .arg(std::max<qint64>(line, 1));
}

ExtractReading failure(QString error) {
    ExtractReading r;
    r.error = std::move(error);
    return r;
}

ExtractReading stoppedReading() {
    ExtractReading r;
    r.stopped = true;
    return r;
}

// ---- The reading ----

// How much of the file the parser is handed at a time: progress is told
// per piece.
constexpr qsizetype kPieceBytes = 256 * 1024;

// How often the stop is looked at, in tokens of the parser (a power of two).
constexpr unsigned kTokensBetweenStopChecks = 4096;

class ExtractReader {
public:
    ExtractReading read(QByteArrayView xml, const std::stop_token &stop,
                        const std::function<void(double)> &progress);

private:
    // What the file says about a coordinate system: its id, its sk_id and
    // its name (any of them may be missing).
    struct CoordinateSystem {
        QString id, skId, name;
    };
    // The coordinate system a plot's outline names: an id of the old
    // schemas' CoordSystems (EntSys), or today's sk_id text.
    struct SystemReference {
        QString text;
        bool isId = false;
    };
    struct PlotState {
        std::size_t depth = 0;
        ExtractPlot plot;
        QString note; // the old schemas' address
        std::optional<SystemReference> system;
    };
    struct ContourState {
        std::size_t depth = 0;
        ExtractContour contour;
    };
    struct EntityState {
        std::size_t depth = 0;
        std::vector<ExtractRing> rings;
    };
    struct RingState {
        std::size_t depth = 0;
        std::vector<ExtractPoint> points;
    };
    struct UnitState {
        std::size_t depth = 0;
        QString number; // SuNmb
        bool arc = false;
    };
    struct PointState {
        std::size_t depth = 0;
        std::optional<double> x, y;
        QString ordNmb, numGeopoint;
        bool arc = false;
        qint64 line = 0;
    };
    struct SystemState {
        std::size_t depth = 0;
        CoordinateSystem system;
    };

    void start();
    // False when the element's end makes the file unreadable (`error_`).
    bool end();
    void capture(Tag tag) {
        capture_ = tag;
        captureDepth_ = path_.size();
        text_.clear();
    }
    void takeCaptured();
    Tag parent(std::size_t up = 1) const {
        return path_.size() > up ? path_[path_.size() - 1 - up] : Tag::Other;
    }
    bool insidePlot(Tag tag) const;
    void beginEntity();
    bool endPoint();
    void endRing();
    void endEntity();
    void endPlot();
    QString systemName(const std::optional<SystemReference> &reference) const;

    QXmlStreamReader reader_;
    std::vector<Tag> path_; // the open elements, the current one last
    std::size_t skipFrom_ = 0; // the depth of the element being passed over, 0: none
    Tag capture_ = Tag::Other;
    std::size_t captureDepth_ = 0;
    QString text_;

    std::optional<PlotState> plot_;
    std::optional<ContourState> contour_;
    std::optional<EntityState> entity_;
    std::optional<RingState> ring_;
    std::optional<UnitState> unit_;
    std::optional<PointState> point_;
    std::optional<SystemState> system_;

    std::vector<PlotState> plots_;
    std::vector<CoordinateSystem> systems_;
    QString error_;
};

bool ExtractReader::insidePlot(Tag tag) const {
    for (std::size_t i = plot_->depth; i < path_.size(); ++i)
        if (path_[i] == tag) return true;
    return false;
}

void ExtractReader::start() {
    const Tag tag = tagOf(reader_.name());
    path_.push_back(tag);
    const std::size_t depth = path_.size();
    if (skipFrom_ > 0) return;

    if (tag == Tag::CoordSystem && !system_) {
        const QXmlStreamAttributes a = reader_.attributes();
        system_ = SystemState{depth,
                              {attribute(a, "csid"), attribute(a, "skid"), attribute(a, "name")}};
        return;
    }
    if (system_ && depth == system_->depth + 1 &&
        (tag == Tag::CsId || tag == Tag::SkId || tag == Tag::Name)) {
        capture(tag);
        return;
    }
    if (!plot_) {
        if (tag == Tag::Plot) {
            plot_ = PlotState{};
            plot_->depth = depth;
            plot_->plot.cadastralNumber = attribute(reader_.attributes(), "cadastralnumber");
        }
        return;
    }

    switch (tag) {
    case Tag::Skipped:
        skipFrom_ = depth;
        break;
    case Tag::Contour:
        if (!contour_ && !entity_ && parent() == Tag::Contours) {
            contour_ = ContourState{depth, {}};
            contour_->contour.number = attribute(reader_.attributes(), "numberrecord");
        }
        break;
    case Tag::NumberPP:
        if (contour_ && !entity_ && depth == contour_->depth + 1) capture(tag);
        break;
    case Tag::EntitySpatial:
        // The plot's own outline: in a contour, anywhere in the location of
        // its contours, or straight in the plot; other outlines in a record
        // (of zones, of links) are not the plot's.
        if (!entity_ &&
            (contour_ || insidePlot(Tag::ContoursLocation) || depth == plot_->depth + 1))
            beginEntity();
        break;
    case Tag::SkId:
        if (entity_ && depth == entity_->depth + 1) capture(tag);
        break;
    case Tag::SpatialElement:
        if (entity_ && !ring_) ring_ = RingState{depth, {}};
        break;
    case Tag::SpelementUnit:
        if (ring_ && !unit_ && !point_) {
            const QXmlStreamAttributes a = reader_.attributes();
            unit_ = UnitState{depth, attribute(a, "sunmb"),
                              !attribute(a, "r").isEmpty() || !attribute(a, "radius").isEmpty()};
        }
        break;
    case Tag::Ordinate:
        if (ring_ && !point_) {
            const QXmlStreamAttributes a = reader_.attributes();
            point_ = PointState{};
            point_->depth = depth;
            point_->line = reader_.lineNumber();
            if (const QString x = attribute(a, "x"); !x.isEmpty()) point_->x = coordinate(x);
            if (const QString y = attribute(a, "y"); !y.isEmpty()) point_->y = coordinate(y);
            point_->ordNmb = attribute(a, "ordnmb");
            point_->numGeopoint = attribute(a, "numgeopoint");
            point_->arc = !attribute(a, "r").isEmpty() || !attribute(a, "radius").isEmpty();
        }
        break;
    case Tag::X:
    case Tag::Y:
    case Tag::OrdNmb:
    case Tag::NumGeopoint:
        if (point_ && depth == point_->depth + 1) capture(tag);
        break;
    case Tag::Radius:
        if ((point_ && depth == point_->depth + 1) || (unit_ && !point_ && depth == unit_->depth + 1))
            capture(tag);
        break;
    case Tag::CadNumber:
        if (parent() == Tag::CommonData && plot_->plot.cadastralNumber.isEmpty()) capture(tag);
        break;
    case Tag::Value: // area/value
        if (parent() == Tag::Area && parent(2) == Tag::Params) capture(tag);
        break;
    case Tag::Area: // the old schemas' Area/Area
        if (parent() == Tag::Area && parent(2) == Tag::Plot) capture(tag);
        break;
    case Tag::Inaccuracy:
        if (parent() == Tag::Area && (parent(2) == Tag::Params || parent(2) == Tag::Plot))
            capture(tag);
        break;
    case Tag::ReadableAddress:
        if (plot_->plot.address.isEmpty() && insidePlot(Tag::AddressLocation)) capture(tag);
        break;
    case Tag::Note:
        if (parent() == Tag::Address && plot_->note.isEmpty()) capture(tag);
        break;
    default:
        break;
    }
}

void ExtractReader::beginEntity() {
    entity_ = EntityState{path_.size(), {}};
    if (const QString id = attribute(reader_.attributes(), "entsys");
        !id.isEmpty() && !plot_->system)
        plot_->system = SystemReference{id, true};
}

void ExtractReader::takeCaptured() {
    const QString text = text_.simplified();
    switch (capture_) {
    case Tag::X:
        point_->x = coordinate(text);
        break;
    case Tag::Y:
        point_->y = coordinate(text);
        break;
    case Tag::OrdNmb:
        point_->ordNmb = text;
        break;
    case Tag::NumGeopoint:
        point_->numGeopoint = text;
        break;
    case Tag::Radius:
        if (!text.isEmpty()) (point_ ? point_->arc : unit_->arc) = true;
        break;
    case Tag::NumberPP:
        contour_->contour.number = text;
        break;
    case Tag::SkId:
        if (system_ && captureDepth_ == system_->depth + 1) {
            system_->system.skId = text;
        } else if (plot_ && !text.isEmpty() && !plot_->system) {
            plot_->system = SystemReference{text, false};
        }
        break;
    case Tag::CsId:
        system_->system.id = text;
        break;
    case Tag::Name:
        system_->system.name = text;
        break;
    case Tag::CadNumber:
        plot_->plot.cadastralNumber = text;
        break;
    case Tag::Value:
    case Tag::Area:
        if (const auto v = coordinate(text)) plot_->plot.area = *v;
        break;
    case Tag::Inaccuracy:
        if (const auto v = coordinate(text)) plot_->plot.areaTolerance = *v;
        break;
    case Tag::ReadableAddress:
        plot_->plot.address = text;
        break;
    case Tag::Note:
        plot_->note = text;
        break;
    default:
        break;
    }
    capture_ = Tag::Other;
}

bool ExtractReader::endPoint() {
    PointState p = std::move(*point_);
    point_.reset();
    if (!p.x || !p.y) {
        error_ = damagedAt(p.line);
        return false;
    }
    ExtractPoint point;
    point.x = *p.x;
    point.y = *p.y;
    point.number = !p.numGeopoint.isEmpty() ? p.numGeopoint
                   : !p.ordNmb.isEmpty()    ? p.ordNmb
                   : unit_                  ? unit_->number
                                            : QString();
    point.arc = p.arc || (unit_ && unit_->arc);
    ring_->points.push_back(std::move(point));
    return true;
}

void ExtractReader::endRing() {
    std::vector<ExtractPoint> points = std::move(ring_->points);
    ring_.reset();
    if (points.size() > 1 && points.front().x == points.back().x &&
        points.front().y == points.back().y)
        points.pop_back();
    if (points.size() < 3) return;
    entity_->rings.push_back(ExtractRing{std::move(points)});
}

void ExtractReader::endEntity() {
    std::vector<ExtractRing> rings = std::move(entity_->rings);
    entity_.reset();
    if (rings.empty()) return;
    if (contour_) {
        for (ExtractRing &ring : rings) {
            if (contour_->contour.outer.points.empty())
                contour_->contour.outer = std::move(ring);
            else
                contour_->contour.holes.push_back(std::move(ring));
        }
        return;
    }
    ExtractContour contour;
    contour.outer = std::move(rings.front());
    contour.holes.assign(std::make_move_iterator(rings.begin() + 1),
                         std::make_move_iterator(rings.end()));
    plot_->plot.contours.push_back(std::move(contour));
}

void ExtractReader::endPlot() {
    PlotState state = std::move(*plot_);
    plot_.reset();
    if (state.plot.contours.empty()) return;
    if (state.plot.address.isEmpty()) state.plot.address = state.note;
    for (const ExtractContour &c : state.plot.contours) {
        const auto arc = [](const ExtractPoint &p) { return p.arc; };
        state.plot.hasArcs = state.plot.hasArcs ||
                             std::any_of(c.outer.points.begin(), c.outer.points.end(), arc) ||
                             std::any_of(c.holes.begin(), c.holes.end(), [&](const ExtractRing &h) {
                                 return std::any_of(h.points.begin(), h.points.end(), arc);
                             });
    }
    plots_.push_back(std::move(state));
}

bool ExtractReader::end() {
    const std::size_t depth = path_.size();
    if (skipFrom_ > 0) {
        if (depth == skipFrom_) skipFrom_ = 0;
        path_.pop_back();
        return true;
    }
    if (capture_ != Tag::Other && depth == captureDepth_) takeCaptured();
    if (point_ && depth == point_->depth) {
        if (!endPoint()) return false;
    } else if (unit_ && depth == unit_->depth) {
        unit_.reset();
    } else if (ring_ && depth == ring_->depth) {
        endRing();
    } else if (entity_ && depth == entity_->depth) {
        endEntity();
    } else if (contour_ && depth == contour_->depth) {
        if (!contour_->contour.outer.points.empty())
            plot_->plot.contours.push_back(std::move(contour_->contour));
        contour_.reset();
    } else if (plot_ && depth == plot_->depth) {
        endPlot();
    } else if (system_ && depth == system_->depth) {
        systems_.push_back(std::move(system_->system));
        system_.reset();
    }
    path_.pop_back();
    return true;
}

// The readable name of the coordinate system a plot's outline names. An
// id of the old schemas means nothing without its CoordSystem; today's
// sk_id is the name itself when no coord_system says more. A file that
// defines one system alone answers for outlines that name none.
QString ExtractReader::systemName(const std::optional<SystemReference> &reference) const {
    const auto nameOf = [](const CoordinateSystem &s) {
        return s.name.isEmpty() ? s.skId : s.name;
    };
    if (!reference) return systems_.size() == 1 ? nameOf(systems_.front()) : QString();
    for (const CoordinateSystem &s : systems_)
        if ((!s.id.isEmpty() && s.id == reference->text) ||
            (!s.skId.isEmpty() && s.skId == reference->text)) {
            if (const QString name = nameOf(s); !name.isEmpty()) return name;
        }
    return reference->isId ? QString() : reference->text;
}

ExtractReading ExtractReader::read(QByteArrayView xml, const std::stop_token &stop,
                                   const std::function<void(double)> &progress) {
    if (stop.stop_requested()) return stoppedReading();
    const qsizetype total = xml.size();
    qsizetype fed = 0;
    const auto feed = [&] {
        const qsizetype n = std::min(kPieceBytes, total - fed);
        // Not copied: the parser may hold on to the caller's bytes, which
        // outlive it.
        reader_.addData(QByteArray::fromRawData(xml.data() + fed, n));
        fed += n;
        if (progress) progress(total > 0 ? double(fed) / double(total) : 1.0);
    };
    feed();
    unsigned tokens = 0;
    for (;;) {
        const QXmlStreamReader::TokenType token = reader_.readNext();
        if ((++tokens % kTokensBetweenStopChecks) == 0 && stop.stop_requested())
            return stoppedReading();
        switch (token) {
        case QXmlStreamReader::Invalid:
            if (reader_.error() == QXmlStreamReader::PrematureEndOfDocumentError && fed < total) {
                if (stop.stop_requested()) return stoppedReading();
                feed();
                continue;
            }
            return failure(damagedAt(reader_.lineNumber()));
        case QXmlStreamReader::StartElement:
            start();
            break;
        case QXmlStreamReader::EndElement:
            if (!end()) return failure(error_);
            break;
        case QXmlStreamReader::Characters:
            if (capture_ != Tag::Other) text_ += reader_.text();
            break;
        default:
            break;
        }
        if (token == QXmlStreamReader::EndDocument) break;
    }

    ExtractReading reading;
    reading.plots.reserve(plots_.size());
    for (PlotState &state : plots_) {
        state.plot.coordinateSystem = systemName(state.system).simplified();
        reading.plots.push_back(std::move(state.plot));
    }
    if (reading.plots.empty())
        reading.error = QStringLiteral("В файле нет координат границ участка");
    return reading;
}

} // namespace

ExtractReading readEgrnExtract(QByteArrayView xml, std::stop_token stop,
                               const std::function<void(double)> &progress) {
    return ExtractReader().read(xml, stop, progress);
}

ExtractReading readEgrnExtractFile(const QString &path, platform::ArchiveService &archives,
                                   std::stop_token stop,
                                   const std::function<void(double)> &progress) {
    const auto bytes = platform::readRegularFile(path, kMaxExtractBytes);
    if (!bytes) return failure(QStringLiteral("Ошибка чтения файла!"));
    // A zip starts with a local file header, or with the end of its
    // directory when it holds nothing.
    if (!bytes->startsWith("PK\x03\x04") && !bytes->startsWith("PK\x05\x06"))
        return readEgrnExtract(*bytes, stop, progress);
    if (stop.stop_requested()) return stoppedReading();
    const platform::ArchiveEntry entry =
        archives.readFirstEntry(*bytes, QStringLiteral(".xml"), kMaxExtractBytes);
    switch (entry.outcome) {
    case platform::ArchiveEntry::Outcome::Read:
        return readEgrnExtract(entry.data, stop, progress);
    case platform::ArchiveEntry::Outcome::NotFound:
        return failure(QStringLiteral("В архиве нет файла выписки (.xml)"));
    case platform::ArchiveEntry::Outcome::TooLarge:
        return failure(QStringLiteral("Файл выписки в архиве слишком велик"));
    case platform::ArchiveEntry::Outcome::Unreadable:
        break;
    }
    return failure(QStringLiteral("Ошибка чтения файла!"));
}

geometry::PolygonTexts plotTexts(const ExtractPlot &plot) {
    std::vector<geometry::ContourTexts> contours;
    const auto ring = [&contours](const ExtractRing &r, bool hole) {
        geometry::ContourTexts c;
        c.hole = hole;
        const int n = std::min(int(r.points.size()), geometry::kMaxCorners);
        c.count = QString::number(std::max(n, geometry::kMinCorners));
        for (int i = 1; i <= n; ++i) {
            const ExtractPoint &p = r.points[std::size_t(i - 1)];
            c.x[std::size_t(i)] = geometry::formatNumber(p.x, geometry::kFieldPattern);
            c.y[std::size_t(i)] = geometry::formatNumber(p.y, geometry::kFieldPattern);
            if (!p.number.isEmpty()) c.names[std::size_t(i)] = p.number;
        }
        contours.push_back(std::move(c));
    };
    for (const ExtractContour &contour : plot.contours) {
        ring(contour.outer, false);
        for (const ExtractRing &hole : contour.holes)
            ring(hole, true);
    }
    QStringList owner;
    if (!plot.cadastralNumber.isEmpty()) owner << plot.cadastralNumber;
    if (!plot.address.isEmpty()) owner << plot.address;
    geometry::PolygonTexts t = geometry::plotOf(std::move(contours), owner.join(QStringLiteral(", ")));
    // The registry's X is the northing.
    t.info.northIsX = true;
    t.info.registeredArea = plot.area;
    t.info.areaTolerance = plot.areaTolerance;
    t.info.coordinateSystem = plot.coordinateSystem;
    t.info.systemDefinition = plot.systemDefinition;
    return t;
}

QString plotLabel(const ExtractPlot &plot) {
    std::size_t corners = 0;
    double computed = 0;
    const auto ring = [&corners](const ExtractRing &r) {
        corners += r.points.size();
        // From the first corner: survey coordinates of millions of metres
        // would leave the products little room for the square metres.
        double twice = 0;
        for (std::size_t i = 1; i + 1 < r.points.size(); ++i) {
            const ExtractPoint &o = r.points[0];
            const ExtractPoint &a = r.points[i];
            const ExtractPoint &b = r.points[i + 1];
            twice += (a.x - o.x) * (b.y - o.y) - (b.x - o.x) * (a.y - o.y);
        }
        return std::abs(twice) / 2;
    };
    for (const ExtractContour &c : plot.contours) {
        computed += ring(c.outer);
        for (const ExtractRing &h : c.holes)
            computed -= ring(h);
    }
    QString label = plot.layer.isEmpty() ? QString() : plot.layer + QStringLiteral(": ");
    label += plot.cadastralNumber.isEmpty()
                 ? (plot.layer.isEmpty() ? QStringLiteral("без номера") : QStringLiteral("без имени"))
                 : plot.cadastralNumber;
    label += QStringLiteral(" — углов: %1").arg(corners);
    const double area = plot.area ? *plot.area : std::max(computed, 0.0);
    label += QStringLiteral(", площадь %1 м²")
                 .arg(geometry::formatNumber(area, geometry::kAreaPattern).trimmed());
    return label;
}

} // namespace tarvel::files
