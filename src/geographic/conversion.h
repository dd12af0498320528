// Geographic corners to plane metres, and the corrections the entry windows
// make to a coordinate text when the user leaves its field.
//
// The conversion is a deliberately simple one (about 1 % off): a degree of
// latitude is taken as 111 111.111 111 111 m everywhere, and a degree of
// longitude as that times the cosine of the FIRST corner's latitude, for
// every corner. The plane result is then moved so that the smallest X and
// the smallest Y become 0 ("bound to the axes"), which puts the polygon into
// the first quadrant of the main window's drawing.
//
// The windows convert only rows whose every field reads as a number (see
// isReadable); they tell the user of any other text rather than enter a
// corner made up from it. Here, a text that cannot be read counts as 0, and
// a step that overflows is skipped.
//
// Pure functions without widget dependencies.
#pragma once

#include <QString>

#include <array>
#include <span>
#include <vector>

namespace tarvel::geographic {

inline constexpr double kMetresPerDegree = 111111.111111111;
inline constexpr double kDegreesPerRadian = 57.2957795130823;
inline constexpr int kMaxRows = 20;
inline constexpr int kMinRows = 3;

// One corner in decimal degrees: northern latitude, eastern longitude.
struct GeoPoint {
    double lat = 0;
    double lon = 0;
};

// Degrees, minutes and seconds texts to decimal degrees. Degrees and
// minutes are read as whole numbers (halves to the even neighbour: "37,5"
// is 38), seconds as a real number; a text that cannot be read counts as 0.
// Computed as (degrees + minutes / 60) + seconds / 3600.
double dmsToDegrees(const QString &degrees, const QString &minutes, const QString &seconds);

// A decimal-degree text ("55,605 181") to its value; unreadable text is 0.
double decimalDegrees(const QString &text);

// Plane corners bound to the axes, indexed like the windows' rows: x[1..count]
// and y[1..count]; element 0 and the elements above count stay 0.
// `geographic` holds the corners they were converted from, row 1 first, so
// that whoever enters them can still measure them on the ellipsoid.
struct PlaneCorners {
    int count = 0;
    std::array<double, kMaxRows + 1> x{};
    std::array<double, kMaxRows + 1> y{};
    std::vector<GeoPoint> geographic;
    // The plane the corners are on as PROJ takes it (X its easting, Y its
    // northing), so that a map can take them back to the earth: the
    // conversion made, with the move to the axes as its false easting and
    // northing. Empty with no corners.
    QString systemDefinition;
};

// Converts the corners (points[0] is row 1; at most kMaxRows are used) to
// plane metres and shifts them so that the smallest X and Y are 0.
PlaneCorners bindToAxes(std::span<const GeoPoint> points);

// Plane corners planeX[1..n], planeY[1..n] (n at most kMaxRows) moved so
// that the smallest X and the smallest Y become 0; a difference that is not
// finite leaves 0. The last step of bindToAxes and of its exact
// counterpart.
PlaneCorners shiftToAxes(int n, const std::array<double, kMaxRows + 1> &planeX,
                         const std::array<double, kMaxRows + 1> &planeY);

// The text a converted coordinate takes in the main window: rounded to two
// decimals (halves to even), shortest form, decimal comma ("20,06", "19,9",
// "0").
QString cornerText(double shifted);

// What each coordinate field holds, which decides its correction on leaving.
enum class FieldRule {
    LatDegrees, // whole degrees 0..90, at most 2 characters
    LatMinutes, // whole minutes 0..60, at most 2 characters
    LatSeconds, // seconds 0..60, two-decimal form
    LonDegrees, // whole degrees 0..180, at most 3 characters
    LonMinutes, // whole minutes 0..60, at most 2 characters
    LonSeconds, // seconds 0..60, two-decimal form
    LatDecimal, // decimal degrees 0..90, "#0.000 000"
    LonDecimal, // decimal degrees 0..180, "#0.000 000"
};

// Whether a field's text reads as the number the conversion takes from it: a
// whole number within -32768..32767 for degrees and minutes of the
// degrees-minutes-seconds window, a real number for seconds and decimal
// degrees. An empty text is no number.
bool isReadable(FieldRule rule, const QString &text);

// The text a field holds after the user leaves it. An empty text, and a text
// that is not a number, are returned unchanged: putting a bound in place of
// something the user typed by mistake would silently invent a coordinate.
// A bound that is applied replaces the whole text by the bound as a whole
// number; bounds are inclusive.
QString correctedFieldText(FieldRule rule, const QString &text);

// The two-decimal form of a seconds text: "47" -> "47,00", "47,5" -> "47,50";
// "47,08", "47," and "47,123" stay as they are.
QString twoDecimalSeconds(const QString &text);

} // namespace tarvel::geographic
