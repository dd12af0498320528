// The closed shapes of a drawing or a map, as plots the window can open.
//
// A shape's points come as the file holds them: easting and northing, or
// longitude and latitude. In the plot, as in the registry's extracts, X is
// the northing and Y the easting, drawn north-up; a drawing without a
// coordinate system is taken the same way, its vertical axis the northing.
//
//  - Projected points are kept as they are; the system's name goes with the
//    plot for the sheet.
//  - Geographic points (WGS 84) go through the exact transverse Mercator
//    conversion of the geographic entry, centred on the shape, and are then
//    moved so that the smallest X and Y are 0, as that entry does.
//
// Pure functions, no widgets.
#pragma once

#include "files/egrn_extract.h"
#include "platform/services/services.h"

#include <QString>

namespace tarvel::geographic {

// Whether the file's name is one of a drawing or a map the module reads.
bool isGisFileName(const QString &path);

// The plots of a reading, one per shape, in the file's order; each shape's
// rings become contours, an outer ring followed by its holes. The owner line
// is the shape's name, else the file's name. An error (with no plots) says
// why none: the module missing, the file unreadable, no closed shape. A
// shape whose corners lie too far apart for a plane drawing is left out.
files::ExtractReading gisPlots(const platform::GisReading &reading, const QString &fileName);

} // namespace tarvel::geographic
