// The printed page: the owner text, the drawing to scale with its labels,
// the coordinate table with the side lengths, the area and the scale.
//
// A renderer: it reads the document (texts, measures, area) and the drawing
// as the plot view placed it, and paints onto any device at its resolution.
#pragma once

#include "geometry/polygon_document.h"
#include "main_window/plot_view.h"
#include "main_window/shared_state.h"

#include <QRectF>
#include <QString>

class QPainter;

namespace tarvel {

struct PrintPage {
    const geometry::PolygonDocument &doc;
    const PlotView &plot;
    const SharedState &state;
    QString unit;      // the unit of the coordinates ("М")
    QString areaUnit;  // the unit of the area ("Кв. М")
    QString scaleText; // units in a centimetre of drawing, as typed

    // Paints the page; a device without size or a resolution of 0 gets
    // nothing.
    void paint(QPainter &p, int dpi) const;

private:
    void paintDrawing(QPainter &p, const QRectF &frame, double dotsPerMm) const;
    void paintTable(QPainter &p, const QRectF &table, double rowHeight, double dotsPerMm) const;
};

} // namespace tarvel
