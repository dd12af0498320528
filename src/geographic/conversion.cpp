#include "geographic/conversion.h"

#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace tarvel::geographic {

namespace {

// A step whose result is not finite (an overflow) is skipped: the target
// keeps the value it had, which is 0 at the start of every conversion.
void assignFinite(double &target, double value) {
    if (std::isfinite(value)) target = value;
}

struct Bounds {
    double upper = 0;
    bool lowerFirst = false; // which bound is tested first
    int maxChars = 0;        // 0: no cut
};

Bounds boundsOf(FieldRule rule) {
    switch (rule) {
    case FieldRule::LatDegrees:
        return {90, false, 2};
    case FieldRule::LatMinutes:
    case FieldRule::LonMinutes:
        return {60, false, 2};
    case FieldRule::LonDegrees:
        return {180, false, 3};
    case FieldRule::LatSeconds:
        return {60, false, 0};
    case FieldRule::LonSeconds:
        return {60, true, 0};
    case FieldRule::LatDecimal:
        return {90, true, 0};
    case FieldRule::LonDecimal:
        return {180, true, 0};
    }
    return {};
}

bool isSeconds(FieldRule rule) {
    return rule == FieldRule::LatSeconds || rule == FieldRule::LonSeconds;
}

// The digits after the decimal comma of a number's text, blanks between
// them not counted; 0 for a text in exponent form, which is formatted anew.
int typedDecimals(const QString &text) {
    const qsizetype comma = text.indexOf(QLatin1Char(','));
    if (comma < 0 || text.contains(QLatin1Char('E'), Qt::CaseInsensitive)) return 0;
    int digits = 0;
    for (qsizetype i = comma + 1; i < text.size(); ++i)
        if (text[i].isDigit()) ++digits;
    return digits;
}

bool isDecimal(FieldRule rule) {
    return rule == FieldRule::LatDecimal || rule == FieldRule::LonDecimal;
}

// One bound test on the text left by the previous step. A text that stopped
// being a number (only a character cut can do that) passes untouched.
QString applyUpper(const QString &text, double upper) {
    const std::optional<double> v = geometry::textToDouble(text);
    return v && *v > upper ? QString::number(qint64(upper)) : text;
}

QString applyLower(const QString &text) {
    const std::optional<double> v = geometry::textToDouble(text);
    return v && *v < 0 ? QStringLiteral("0") : text;
}

} // namespace

double dmsToDegrees(const QString &degrees, const QString &minutes, const QString &seconds) {
    const double d = geometry::textToInt16(degrees).value_or(0);
    const double m = geometry::textToInt16(minutes).value_or(0);
    const double s = geometry::textToDouble(seconds).value_or(0);
    double result = 0;
    assignFinite(result, d + m / 60 + s / 3600);
    return result;
}

bool isReadable(FieldRule rule, const QString &text) {
    switch (rule) {
    case FieldRule::LatDegrees:
    case FieldRule::LatMinutes:
    case FieldRule::LonDegrees:
    case FieldRule::LonMinutes:
        return geometry::textToInt16(text).has_value();
    default:
        return geometry::textToDouble(text).has_value();
    }
}

double decimalDegrees(const QString &text) {
    return geometry::textToDouble(text).value_or(0);
}

PlaneCorners bindToAxes(std::span<const GeoPoint> points) {
    const int n = int(std::min<std::size_t>(points.size(), kMaxRows));
    if (n == 0) return {};

    std::array<double, kMaxRows + 1> planeX{}, planeY{};
    // Every corner takes the scale of longitude at the first corner's
    // latitude; over a few hundred metres the difference is below the error
    // of the formula itself.
    const double c = std::cos(points[0].lat / kDegreesPerRadian);
    for (int i = 1; i <= n; ++i) {
        const GeoPoint &p = points[std::size_t(i - 1)];
        assignFinite(planeX[i], (kMetresPerDegree * p.lon) * c);
        assignFinite(planeY[i], kMetresPerDegree * p.lat);
    }

    PlaneCorners out = shiftToAxes(n, planeX, planeY);
    out.geographic.assign(points.begin(), points.begin() + n);
    // An equidistant cylindrical projection on a sphere whose degree is
    // kMetresPerDegree long, true to scale at the first corner's latitude,
    // is this conversion exactly.
    const double minX = *std::min_element(planeX.begin() + 1, planeX.begin() + n + 1);
    const double minY = *std::min_element(planeY.begin() + 1, planeY.begin() + n + 1);
    if (std::isfinite(minX) && std::isfinite(minY))
        out.systemDefinition =
            QStringLiteral("+proj=eqc +R=%1 +lat_ts=%2 +lat_0=0 +lon_0=0 +x_0=%3 +y_0=%4 "
                           "+units=m +no_defs")
                .arg(kMetresPerDegree * kDegreesPerRadian, 0, 'g', 17)
                .arg(points[0].lat, 0, 'g', 17)
                .arg(-minX, 0, 'g', 17)
                .arg(-minY, 0, 'g', 17);
    return out;
}

PlaneCorners shiftToAxes(int n, const std::array<double, kMaxRows + 1> &planeX,
                         const std::array<double, kMaxRows + 1> &planeY) {
    PlaneCorners out;
    out.count = std::clamp(n, 0, kMaxRows);
    n = out.count;
    if (n == 0) return out;
    double minX = planeX[1];
    double minY = planeY[1];
    for (int i = 2; i <= n; ++i) {
        if (minX > planeX[i]) minX = planeX[i];
        if (minY > planeY[i]) minY = planeY[i];
    }
    for (int i = 1; i <= n; ++i) {
        assignFinite(out.x[i], planeX[i] - minX);
        assignFinite(out.y[i], planeY[i] - minY);
    }
    return out;
}

QString cornerText(double shifted) {
    return geometry::plainText(geometry::roundHalfEven(shifted, 2));
}

QString twoDecimalSeconds(const QString &s) {
    if (s.isEmpty()) return s;
    if (s.right(3).front() == QLatin1Char(',')) return s;
    if (s.right(2).front() == QLatin1Char(',')) return s + QLatin1Char('0');
    if (!s.contains(QLatin1Char(','))) return s + QStringLiteral(",00");
    return s;
}

QString correctedFieldText(FieldRule rule, const QString &text) {
    if (text.isEmpty() || !geometry::textToDouble(text)) return text;
    const Bounds b = boundsOf(rule);

    if (isDecimal(rule)) {
        const double typed = *geometry::textToDouble(text);
        const double v = std::clamp(typed, 0.0, b.upper);
        // Six decimals of a degree are 0,11 m, more than a boundary point's
        // tolerance: degrees typed with more keep every one of them, since
        // the conversion reads the field's text.
        if (v == typed && typedDecimals(text) > 6) return text.trimmed();
        return geometry::formatNumber(v, geometry::kDegreePattern);
    }

    QString t = text;
    if (b.lowerFirst) {
        t = applyLower(t);
        t = applyUpper(t, b.upper);
    } else {
        t = applyUpper(t, b.upper);
        t = applyLower(t);
    }
    if (b.maxChars > 0 && t.size() > b.maxChars) t = t.left(b.maxChars);
    if (isSeconds(rule)) t = twoDecimalSeconds(t);
    return t;
}

} // namespace tarvel::geographic
