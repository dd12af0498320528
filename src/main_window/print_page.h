// The printed page: the owner text, the drawing to scale with its labels,
// the coordinate table with the side lengths, the area and the scale.
//
// A renderer: it lays the drawing out from the document and the view state
// as the screen does, whatever the screen shows now (a corner half dragged
// stays at its corner), and paints it with the texts and measures of the
// document onto any device at its resolution.
#pragma once

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "main_window/drawing_layout.h"
#include "main_window/view_state.h"
#include "platform/controls/controls.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace tarvel::main_window {

struct PrintPage {
    const geometry::PolygonDocument &doc;
    const ViewState &view;
    const files::Settings &settings;
    const platform::ImageShape *picture; // the background picture, if any
    MeasureText measure;                 // the size of a caption, in twips

    // Paints the page; a device without size or a resolution of 0 gets
    // nothing.
    void paint(QPainter &p, int dpi) const;
    // Only the drawing to scale, in `frame` (device dots), as the page has
    // it: for other printed pages that show the polygon.
    void paintDrawingIn(QPainter &p, const QRectF &frame, double dotsPerMm) const {
        paintDrawing(p, frame, dotsPerMm);
    }

private:
    void paintDrawing(QPainter &p, const QRectF &frame, double dotsPerMm) const;
    void paintTable(QPainter &p, const QRectF &table, double rowHeight, double dotsPerMm) const;
};

} // namespace tarvel::main_window
