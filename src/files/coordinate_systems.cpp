#include "files/coordinate_systems.h"

#include "geometry/numtext.h"

#include <QRegularExpression>

namespace tarvel::files {

const std::vector<KnownSystem> &knownSystems() {
    static const std::vector<KnownSystem> kSystems = [] {
        std::vector<KnownSystem> s;
        for (int zone = 4; zone <= 32; ++zone)
            s.push_back({QStringLiteral("СК-42, зона %1 (EPSG:%2)").arg(zone).arg(28400 + zone),
                         QStringLiteral("EPSG:%1").arg(28400 + zone)});
        for (int zone = 4; zone <= 32; ++zone)
            s.push_back({QStringLiteral("ГСК-2011, зона %1 (EPSG:%2)").arg(zone).arg(20900 + zone),
                         QStringLiteral("EPSG:%1").arg(20900 + zone)});
        for (int zone = 1; zone <= 60; ++zone)
            s.push_back({QStringLiteral("WGS 84 / UTM, зона %1N (EPSG:%2)").arg(zone).arg(32600 + zone),
                         QStringLiteral("EPSG:%1").arg(32600 + zone)});
        return s;
    }();
    return kSystems;
}

QString localZoneDefinition(const LocalZone &z) {
    const auto n = [](double v) { return QString::number(v, 'g', 15); };
    QString ellipsoid;
    switch (z.ellipsoid) {
    case ZoneEllipsoid::Krassowsky:
        ellipsoid = QStringLiteral("+ellps=krass");
        break;
    case ZoneEllipsoid::Wgs84:
        ellipsoid = QStringLiteral("+ellps=WGS84");
        break;
    case ZoneEllipsoid::Gsk2011:
        // ГСК-2011's own ellipsoid.
        ellipsoid = QStringLiteral("+a=6378136.5 +rf=298.2564151");
        break;
    }
    QStringList shift;
    for (double v : z.toWgs84)
        shift << n(v);
    return QStringLiteral("+proj=tmerc +lat_0=0 +lon_0=%1 +k=%2 +x_0=%3 +y_0=%4 %5 +towgs84=%6 "
                          "+units=m +no_defs")
        .arg(n(z.centralMeridian), n(z.scale), n(z.falseEasting), n(z.falseNorthing), ellipsoid,
             shift.join(QLatin1Char(',')));
}

std::optional<double> parameterOf(const QString &text) {
    return geometry::textToCoordinate(QString(text).replace(QLatin1Char('.'), QLatin1Char(',')));
}

std::optional<std::array<double, 7>> datumShiftOf(const QString &text) {
    const QStringList parts =
        text.split(QRegularExpression(QStringLiteral("[;\\s]+")), Qt::SkipEmptyParts);
    if (parts.size() != 7) return std::nullopt;
    std::array<double, 7> out{};
    for (int i = 0; i < 7; ++i) {
        const auto v = parameterOf(parts[i]);
        if (!v) return std::nullopt;
        out[std::size_t(i)] = *v;
    }
    return out;
}

} // namespace tarvel::files
