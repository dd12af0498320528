// DrawingMouse: the mouse on the drawing. A press on a corner's marker or
// angle caption makes that corner the current one and, with the left
// button, drags the element; the drop moves the corner to where the element
// was let go, as one change of the document. A press on any other caption
// belongs to that caption; one on the empty drawing belongs to the window.
//
// The drawing has no widgets of its own: every press is tested against the
// laid-out drawing (plot_view.h), and the dragged element is drawn where
// the view state's drag puts it.
#pragma once

#include "drawing/drag_control.h"
#include "drawing/drawing_layout.h"
#include "platform/controls/controls.h"

#include <functional>

namespace tarvel::geometry {
class PolygonDocument;
}

namespace tarvel::drawing {

class DrawingSurface;
class PlotView;
struct ViewState;

class DrawingMouse {
public:
    // What the window does for the mouse.
    struct Window {
        std::function<void()> highlight; // PODKRAS: shows the current corner
        std::function<void()> recompute; // VICHISLIT
        std::function<void()> redraw;    // the drawing anew, nothing else
        std::function<void(int)> focusCorner; // corner i's X field takes the focus
        std::function<void()> pictureClick, windowClick;
        std::function<void(const platform::MouseInfo &)> windowPress, windowMove;
    };

    DrawingMouse(DrawingSurface &surface, const PlotView &plot, ViewState &view,
                 geometry::PolygonDocument &document, Window window);

    // The surface's events.
    void Surface_MouseDown(const platform::MouseInfo &m);
    void Surface_MouseMove(const platform::MouseInfo &m);
    void Surface_MouseUp(const platform::MouseInfo &m);
    void Surface_Click();
    // Whether an element is on its way under the mouse.
    bool dragging() const { return drag_.active(); }

private:
    void Shape_MouseDown(int i, const platform::MouseInfo &m);
    void Tch_MouseDown(int i, const platform::MouseInfo &m);
    void Tch_Click(int i);
    // A left press starts dragging corner i's marker or, with `angle`, its
    // angle caption.
    void startDrag(int i, bool angle, const platform::MouseInfo &m);
    // The current corner takes the place of its marker or, with `angle`, of
    // its angle caption, where the mouse dropped it.
    void takeDroppedCorner(bool angle);
    // The dragged element follows the mouse; true when it moved.
    bool follow(const platform::MouseInfo &m, int heldButtons);

    DrawingSurface &surface_;
    const PlotView &plot_;
    ViewState &view_;
    geometry::PolygonDocument &doc_;
    Window window_;
    // What the mouse was pressed on, until its release.
    DrawingHit pressed_;
    bool releasedOnDrawing_ = false;
    DragControl drag_;
};

} // namespace tarvel::drawing
