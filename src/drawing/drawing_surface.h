// The client area of the main window: it paints the background colour and
// the drawing beneath its child controls, and hands its mouse to the window.
// The painting is kept apart from the window logic: the window tells it what
// to paint.
#pragma once

#include "drawing/drawing_layout.h"
#include "platform/controls/controls.h"

#include <QWidget>

#include <cstdint>
#include <functional>

namespace tarvel::drawing {

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget *parent = nullptr);

    // Paints the drawing over the background; called at every paint.
    std::function<void(QPainter &)> paintDrawing;
    std::uint32_t backColour = 0x8000000Fu;

    // Repaints soon (coalesced by Qt).
    void scheduleRepaint() { update(); }
    // Counts the paints, for tests and benchmarks.
    int paintCount() const { return paints_; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int paints_ = 0;
};

// How a layout meets a device: device units per twip, the width of a
// one-pixel line, and whether captions and marks keep to the screen's whole
// pixels. On paper every corner is marked alike, by a black square of
// `cornerSquare` device units.
struct PaintStyle {
    double unitsPerTwip = 1.0 / platform::kTwipsPerPixel;
    double penWidth = 1.0;
    bool screen = true;
    double cornerSquare = 0;
};

// Paints the picture, then the layout's lines, captions and corner marks in
// the order they lie.
void paintDrawing(QPainter &painter, const DrawingLayout &layout,
                  const platform::ImageShape *picture, const PaintStyle &style);

} // namespace tarvel::drawing
