// Extracts of the state register of real estate (ЕГРН) about land plots,
// read into plain values: each plot's cadastral number, address, registered
// area and its outline as the registry wrote it. No widgets, no document:
// the window decides what to make of them.
//
// The reader takes the extracts of today (extract_about_property_land,
// extract_base_params_land, extract_cadastral_plan_territory: plots in
// land_record elements, outlines in contours_location) and those of the
// schemas before them (KVZU, KPZU, KPT: plots in Parcel elements, outlines
// in EntitySpatial/SpatialElement/SpelementUnit/Ordinate). Elements are
// known by their local names, compared without regard to case or
// underscores (entity_spatial and EntitySpatial are one name), whatever
// their namespace; elements it does not know are passed over, so a later
// schema that keeps the same paths still reads.
//
// A territory plan of a large block runs to tens of megabytes, so the
// reading is a single pass of a streaming parser that a worker thread can
// run and the user can stop.
#pragma once

#include "geometry/polygon_state.h"
#include "platform/services/services.h"

#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>
#include <stop_token>
#include <vector>

namespace tarvel::files {

// A corner as written: X is the northing, Y the easting.
struct ExtractPoint {
    double x = 0;
    double y = 0;
    QString number; // num_geopoint (new points are named "н1", "н2", ...), else ord_nmb
    bool arc = false; // the registry gives a radius here: the boundary runs on an arc
};

// A closed ring, without the closing point that repeats the first.
struct ExtractRing {
    std::vector<ExtractPoint> points;
};

struct ExtractContour {
    QString number; // the contour's number in a plot of several, else empty
    ExtractRing outer;
    std::vector<ExtractRing> holes;
};

struct ExtractPlot {
    QString cadastralNumber;
    QString address;
    std::vector<ExtractContour> contours;
    std::optional<double> area;          // the registered area, m²
    std::optional<double> areaTolerance; // its inaccuracy, m²
    QString coordinateSystem;            // "МСК-26, зона 1", or empty when the file does not say
    QString systemDefinition;            // the system as PROJ takes it, where a map file gives it
    bool hasArcs = false;                // some boundary runs on an arc
    // Where the plot comes from a drawing or a map rather than the
    // registry: its layer there, shown in the list to choose from. The
    // cadastral number then holds the feature's name.
    QString layer;
};

struct ExtractReading {
    std::vector<ExtractPlot> plots; // in the order of the file
    QString error;                  // empty when the plots were read
    bool stopped = false;           // the reading was stopped before its end
};

// Reads an extract. A plot's outline is its contours: each contour's first
// ring is its outer boundary, the rings after it are holes. A ring's
// closing point, repeating the first one's X and Y, is dropped; a ring of
// fewer than three corners outlines nothing and is dropped too. The parts
// of a plot (ЧЗУ) are not its contours and are passed over, as are the
// block's own boundary and its zones in a territory plan. Plots without a
// contour (their boundary is not set) are left out.
//
// `stop` is looked at every few thousand elements; once it is requested
// the reading ends with `stopped` set and no plots. `progress` is called
// from the reading's thread with the fraction of the bytes read, 0..1.
//
// Errors (`error`, no plots):
//  - not well-formed XML, also a file broken off, or a corner whose X or Y
//    is no number: "Ошибка чтения файла! Файл повреждён в строке N."
//  - no plot with a contour: "В файле нет координат границ участка"
ExtractReading readEgrnExtract(QByteArrayView xml, std::stop_token stop = {},
                               const std::function<void(double)> &progress = {});

// The plot as the window edits it: every ring a contour of its own, each
// contour's outer ring followed by its holes, the first contour edited;
// the corners' X and Y as the registry wrote them, in the fields' format;
// the owner line the cadastral number and the address.
geometry::PolygonTexts plotTexts(const ExtractPlot &plot);
// How a plot is named in a list to choose from: its layer (for a drawing or
// a map), its cadastral number or name, the number of its corners and its
// registered area where the extract says, else its area computed.
QString plotLabel(const ExtractPlot &plot);

// The largest extract read, as a file or inflated from its archive: five
// times the territory plan of a block of two thousand plots.
inline constexpr qint64 kMaxExtractBytes = 256LL * 1024 * 1024;

// Reads the extract in the file `path`: the XML itself, or the zip archive
// the registry sends, holding the XML and its signature (.sig), which
// `archives` opens. Besides the errors of readEgrnExtract:
//  - the file cannot be read (missing, no regular file, larger than
//    kMaxExtractBytes), or the archive is broken: "Ошибка чтения файла!"
//  - the archive holds no .xml: "В архиве нет файла выписки (.xml)"
//  - the XML in it inflates to more than kMaxExtractBytes:
//    "Файл выписки в архиве слишком велик"
ExtractReading readEgrnExtractFile(const QString &path, platform::ArchiveService &archives,
                                   std::stop_token stop = {},
                                   const std::function<void(double)> &progress = {});

} // namespace tarvel::files
