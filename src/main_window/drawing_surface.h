// The client area of the main window: it paints the background colour, the
// background picture and the lines (grid, axes, ticks, polygon edges, the
// measuring line) beneath its child controls. The painting is kept apart
// from the window logic: the window tells it what to paint.
#pragma once

#include "platform/controls/controls.h"

#include <QWidget>

#include <cstdint>
#include <functional>
#include <vector>

namespace tarvel {

class DrawingSurface : public QWidget {
    Q_OBJECT
public:
    explicit DrawingSurface(QWidget *parent = nullptr);

    // What to paint, in painting order; called at every paint.
    std::function<std::vector<const platform::LineShape *>()> lines;
    const platform::ImageShape *image = nullptr;
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

// Paints a picture and lines given in twips onto a painter whose unit is
// the pixel (15 twips), or onto a printer page with its own scale.
void paintShapes(QPainter &painter, const platform::ImageShape *image,
                 const std::vector<const platform::LineShape *> &lines, double pixelsPerTwip,
                 double penWidth = 1.0);

} // namespace tarvel
