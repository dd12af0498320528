// The printed page: the owner text, the drawing to scale with its labels,
// the coordinate table with the side lengths, the area and the scale.
//
// A renderer: it lays the drawing out from the document as the screen does,
// with axes of its own at the polygon, whatever part of the plane the
// screen shows now (a corner half dragged stays at its corner), and paints
// it with the texts and measures of the document onto any device at its
// resolution.
#pragma once

#include "main_window/drawing_names.h"

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "drawing/drawing_layout.h"
#include "drawing/view_state.h"
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
    // it: for other printed pages that show the polygon. Gives the scale
    // text of the drawing.
    QString paintDrawingIn(QPainter &p, const QRectF &frame, double dotsPerMm) const {
        return paintDrawing(p, frame, dotsPerMm);
    }

private:
    // The drawing with its axes just below the polygon, at the view's scale
    // when the whole polygon fits the frame so, else at the first common
    // scale above it at which it does. Gives the scale text it drew at.
    QString paintDrawing(QPainter &p, const QRectF &frame, double dotsPerMm) const;
    // Rows first..last of the table under its heading, then, when `totals`,
    // the area and `scaleText`.
    void paintTable(QPainter &p, const QRectF &table, double rowHeight, double dotsPerMm,
                    int first, int last, bool totals, const QString &scaleText) const;
};

} // namespace tarvel::main_window
