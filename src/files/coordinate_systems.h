// The coordinate systems a plot's coordinates may be in, as the user picks
// them: the Gauss–Krüger zones of СК-42 and ГСК-2011 and the UTM zones of
// WGS 84 by their EPSG codes, or a local transverse Mercator zone (an МСК)
// given by its parameters, whose datum shift the user takes on trust and
// which is therefore approximate. The definitions are what PROJ takes.
// No widgets.
#pragma once

#include <QString>
#include <QStringList>

#include <array>
#include <optional>
#include <vector>

namespace tarvel::files {

struct KnownSystem {
    QString name;       // "СК-42, зона 7 (EPSG:28407)"
    QString definition; // "EPSG:28407"
};

// СК-42 zones 4..32, ГСК-2011 zones 4..32, WGS 84 / UTM 1N..60N, in that
// order.
const std::vector<KnownSystem> &knownSystems();

// The ellipsoids a local zone may be on.
enum class ZoneEllipsoid { Krassowsky, Wgs84, Gsk2011 };

// A local zone: a transverse Mercator projection with the origin of
// latitudes at the equator.
struct LocalZone {
    double centralMeridian = 0; // degrees east
    double falseEasting = 0;    // m
    double falseNorthing = 0;   // m
    double scale = 1;
    ZoneEllipsoid ellipsoid = ZoneEllipsoid::Krassowsky;
    // To WGS 84: dX, dY, dZ in metres, rotations in seconds of arc, scale
    // difference in parts per million (PROJ's +towgs84 order and units).
    std::array<double, 7> toWgs84{};
};

// The zone as PROJ takes it.
QString localZoneDefinition(const LocalZone &zone);

// A parameter typed by the user: a decimal comma or point.
std::optional<double> parameterOf(const QString &text);

// The seven parameters from a text of seven numbers parted by semicolons
// or blanks ("23,57; -140,95; -79,8; 0; 0,35; 0,79; -0,22"); decimal comma
// or point. Nothing unless there are exactly seven numbers.
std::optional<std::array<double, 7>> datumShiftOf(const QString &text);

} // namespace tarvel::files
