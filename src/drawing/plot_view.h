// The drawing of the polygon on its centimetre grid: axes, ticks and their
// scale values, grid lines, the edges, the corner markers, the angle,
// number and length captions, the measuring line and the background
// picture.
//
// A view without widgets: draw() lays the drawing out (drawing_layout.h)
// from the document, the view state and the graphics settings, and asks
// its surface for one repaint; paint() paints that layout. Whoever needs to
// know where something is drawn reads the layout, never the screen.
#pragma once

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "drawing/drawing_layout.h"
#include "drawing/view_state.h"
#include "platform/controls/controls.h"

#include <QFontMetrics>
#include <QHash>
#include <QRegion>

#include <functional>
#include <memory>
#include <optional>

class QPainter;

namespace tarvel::drawing {

class PlotView {
public:
    // `repaint` schedules a repaint of a region of the surface the drawing
    // lies on (pixels; an empty region: all of it).
    explicit PlotView(std::function<void(const QRegion &)> repaint);
    PlotView(const PlotView &) = delete;
    PlotView &operator=(const PlotView &) = delete;

    // Lays the drawing out anew and asks for a repaint of what changed.
    void draw(const geometry::PolygonDocument &doc, const ViewState &view,
              const files::Settings &settings);
    const DrawingLayout &layout() const { return layout_; }
    // How many times the drawing was laid out.
    int layoutCount() const { return layouts_; }
    // What the window around the drawing leaves room for.
    void setFrame(const DrawingFrame &frame) { frame_ = frame; }
    // The size of a caption on the screen, in twips.
    const MeasureText &measure() const { return measure_; }

    // The background picture, beneath everything.
    platform::ImageShape *picture() const { return picture_.get(); }
    // Loads the picture from a file, its lower edge on the X axis and its
    // left on the Y axis, wherever the axes' origin lies. False, and the
    // picture as it was, when the file is no picture.
    bool loadPicture(const QString &path);

    // Paints picture and layout onto a painter whose unit is the pixel.
    void paint(QPainter &painter) const;

private:
    std::function<void(const QRegion &)> repaint_;
    std::unique_ptr<platform::ImageShape> picture_;
    DrawingLayout layout_;
    DrawingFrame frame_;
    MeasureText measure_;
    std::optional<QFontMetrics> metrics_; // of the 8-point captions
    QHash<QString, QSizeF> sizes_;        // measured 8-point captions
    int layouts_ = 0;
};

} // namespace tarvel::drawing
