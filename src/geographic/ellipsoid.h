// Geographic corners on the WGS 84 ellipsoid, with GeographicLib: the area
// they enclose, and an exact conversion of them to plane metres.
//
// The entry windows' own conversion (conversion.h) takes a degree of
// latitude as 111 111.111 m everywhere and a degree of longitude as that
// times the cosine of one latitude; at 55° N its areas come out about 0,6 %
// small. Here the polygon is measured on the ellipsoid itself, its sides
// geodesics (the shortest lines on the ellipsoid; GeographicLib's
// PolygonArea), and converted by a transverse Mercator projection
// (GeographicLib's TransverseMercator, scale 1 on the central meridian)
// whose central meridian and origin latitude pass through the middle of the
// polygon. The projection's scale grows away from the central meridian as
// 1 + (d / R)² / 2, d the distance from it and R about 6 371 km, so plane
// sides and areas agree with the ellipsoid's to 0,01 % for polygons up to
// about 150 km across (to 0,001 % at 50 km), and the disagreement grows as
// the square of the size beyond.
//
// Conventions are the entry windows': northern latitude and eastern
// longitude in decimal degrees (GeoPoint); plane X east and Y north, in
// metres. Pure functions, no widgets; safe to call from any thread.
#pragma once

#include "geographic/conversion.h"

#include <optional>
#include <span>
#include <vector>

namespace tarvel::geographic {

// How far in longitude, in degrees, a corner may lie from the middle of the
// polygon for the exact conversion. The projection's series holds to well
// under a millimetre within about 3 900 km of the central meridian; at the
// equator 30° is 3 340 km. Polygons a plane drawing can show truthfully are
// far smaller.
inline constexpr double kExactMaxLonFromCentre = 30;

// The area, in square metres, enclosed on the WGS 84 ellipsoid by the
// polygon whose corners are `corners` in order (the last joins the first),
// each side the geodesic between its corners.
//   - Absolute: clockwise and counter-clockwise order give the same
//     positive area, the smaller of the two parts the outline divides the
//     ellipsoid into.
//   - An outline that crosses itself counts its loops with their signs, as
//     GeographicLib does: the two loops of a figure eight partly cancel.
//   - Fewer than 3 corners, coincident corners, or all corners on one
//     geodesic: 0 (repeated corners are zero-length sides and change
//     nothing).
//   - Nothing when a latitude lies outside -90..90 or a value is not
//     finite: such a corner is on no ellipsoid.
// Longitudes may be given in any range; a side takes the shorter way
// round, so a polygon across the 180° meridian needs no special form.
std::optional<double> ellipsoidArea(std::span<const GeoPoint> corners);

// The exact counterpart of bindToAxes (conversion.h): the corners
// (points[0] is row 1; at most kMaxRows are used) projected by the
// transverse Mercator projection on WGS 84 with scale 1 on the central
// meridian, the central meridian and origin latitude at the middle of the
// corners' longitudes and latitudes (the middle of their extent, not their
// mean, so that the farthest corners east and west are equally far from
// the central meridian); then moved, as bindToAxes does, so that the
// smallest X and the smallest Y become 0. X is the projection's easting, Y
// its northing, in metres; `geographic` holds the corners converted.
//   - No points: count 0, like bindToAxes.
//   - Coincident corners give coincident plane corners.
//   - Nothing when a latitude lies outside -90..90, a value is not finite,
//     or a corner lies more than kExactMaxLonFromCentre degrees of longitude
//     from the middle: the projection has no trustworthy answer there, and
//     a corner made up in its place would be a plainly wrong polygon.
// Longitudes are taken as given: a polygon across the 180° meridian must be
// given with longitudes that run on (179,9 and 180,1, not -179,9).
std::optional<PlaneCorners> bindToAxesExact(std::span<const GeoPoint> points);

// A corner on the plane of the exact conversion, in metres: east and north
// of the middle of the corners.
struct PlanePoint {
    double east = 0;
    double north = 0;
};

// The projection bindToAxesExact makes, for any number of corners and
// without the move to the axes: the same central meridian and origin
// latitude at the middle of the corners' extent, east and north measured
// from that middle. Nothing, as there, for a corner off the ellipsoid or
// more than kExactMaxLonFromCentre degrees of longitude from the middle.
std::optional<std::vector<PlanePoint>> projectExact(std::span<const GeoPoint> points);

} // namespace tarvel::geographic
