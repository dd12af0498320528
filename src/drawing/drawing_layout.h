// The drawing of the polygon as a value: where every line, corner mark and
// caption of the drawing goes, in what colour, and whether it is shown,
// worked out from the document, the view state and the graphics settings.
// The screen and the printed page paint the same layout; a click finds its
// corner by testing it. Positions are form twips (15 to a pixel).
#pragma once

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "drawing/view_state.h"

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include <array>
#include <cstdint>
#include <functional>
#include <vector>

namespace tarvel::drawing {

// A straight line from (x1, y1) to (x2, y2).
struct DrawnLine {
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::uint32_t colour = 0; // a colour number (&HBBGGRR or a system colour)
    bool visible = false;
};

// A caption of the drawing: its text in the box it takes (top left where it
// is placed, size as the text measures), written across or, upright,
// reading upwards.
struct Caption {
    QString text;
    QRectF box;
    std::uint32_t colour = 0x80000012u; // button text, as the window's captions
    double points = 8;
    bool alignRight = false; // within its box (the Y scale values end at their ticks)
    bool upright = false;
    bool visible = false;
};

// The square that marks a corner.
struct CornerMark {
    QRectF box;
    std::uint32_t colour = 0x80000008u;
    bool visible = false;
};

struct DrawingLayout {
    struct Corner {
        double x = 0, y = 0; // where the corner is drawn
        DrawnLine edge;      // to the next corner, the last back to the first
        CornerMark marker;
        Caption angle, number, length;
        // How far the angle caption was moved off its corner (twips, whole)
        // to keep clear of an earlier corner's: a drop of the caption reads
        // its corner back through it. Zero where the caption is on its corner.
        QPointF angleShift;
    };

    std::array<DrawnLine, 21> verticalGrid;   // 0..20, 0 on the Y axis (never shown)
    std::array<DrawnLine, 18> horizontalGrid; // 0..17, 0 on the X axis (never shown)
    DrawnLine yAxis, xAxis;
    std::array<DrawnLine, 4> xTicks, yTicks; // every 5 cm
    std::array<Caption, 4> xScale, yScale;   // their values
    Caption xName, yName;                    // "X", "Y"
    std::vector<Corner> corners;             // corners 1..n
    DrawnLine measureLine;
    Caption measureCaption;
    // The plot's other contours, in thinner lines, holes dashed: their
    // corners in order, closed back to the first.
    struct OtherContour {
        std::vector<QPointF> corners;
        bool hole = false;
        std::uint32_t colour = 0;
    };
    std::vector<OtherContour> otherContours;
    // The drawing's area: the polygon's lines, marks and captions are cut
    // at its edges, so that none runs over the panel beside the axes, under
    // the X axis's values or across the owner's caption above.
    QRectF area;

    int cornerCount() const { return int(corners.size()); }
    // Corner i, 1..n.
    const Corner &corner(int i) const { return corners.at(std::size_t(i - 1)); }
    // The lines of the frame in painting order: grid, axes, ticks.
    std::vector<const DrawnLine *> frameLines() const;
    // The polygon's lines: its edges, then the measuring line.
    std::vector<const DrawnLine *> polygonLines() const;
};

// The size of a caption's text written across, in twips.
using MeasureText = std::function<QSizeF(const QString &text, double points)>;

// What the window around the drawing leaves room for: the Y scale captions
// end at `scaleRight` beside their ticks and stand on end when one would
// reach left of `columnRight` (the coordinate column's right edge); on end,
// none rises above `clearButtonBottom`.
struct DrawingFrame {
    double scaleRight = 3330;
    double columnRight = 2895;
    double clearButtonBottom = 1335;
};

// Lays out the drawing of `doc` as `view` maps it, with the graphics
// settings `s` (grid, label switches, colours). A position that is not
// finite in single precision is kept, and a painter leaves it out.
DrawingLayout layOutDrawing(const geometry::PolygonDocument &doc, const ViewState &view,
                            const files::Settings &s, const MeasureText &measure,
                            const DrawingFrame &frame = {});

// What lies under a point of the drawing (twips), topmost first: a corner's
// marker or angle caption, some other caption, or nothing. A box covers the
// whole pixels it is painted on.
struct DrawingHit {
    enum Kind { Nothing, Marker, Angle, OtherCaption };
    Kind kind = Nothing;
    int corner = 0;
    bool operator==(const DrawingHit &) const = default;
};
DrawingHit hitTest(const DrawingLayout &layout, double xTwips, double yTwips);

// Whether a twip position can be painted (finite and within reach).
bool drawable(double x, double y);

} // namespace tarvel::drawing
