#include "drawing/drawing_mouse.h"

#include "geometry/numtext.h"
#include "geometry/polygon_document.h"
#include "drawing/drawing_surface.h"
#include "drawing/plot_view.h"
#include "drawing/view_state.h"

#include <QCursor>
#include <QGuiApplication>

#include <cmath>

namespace tarvel::drawing {

using geometry::roundHalfEven, geometry::plainText;
using platform::MouseInfo;

namespace {

// The buttons held at a press: the pressed one and any still down.
int heldButtons(const MouseInfo &m) {
    int mask = m.button;
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (held & Qt::LeftButton) mask |= platform::kLeftButton;
    if (held & Qt::RightButton) mask |= platform::kRightButton;
    if (held & Qt::MiddleButton) mask |= platform::kMiddleButton;
    return mask;
}

} // namespace

DrawingMouse::DrawingMouse(DrawingSurface &surface, const PlotView &plot, ViewState &view,
                           geometry::PolygonDocument &document, Window window)
    : surface_(surface), plot_(plot), view_(view), doc_(document), window_(std::move(window)) {}

void DrawingMouse::Surface_MouseDown(const MouseInfo &m) {
    pressed_ = hitTest(plot_.layout(), m.x, m.y);
    switch (pressed_.kind) {
    case DrawingHit::Marker:
        Shape_MouseDown(pressed_.corner, m);
        break;
    case DrawingHit::Angle:
        Tch_MouseDown(pressed_.corner, m);
        break;
    case DrawingHit::OtherCaption: // a caption is not the window's surface
        break;
    case DrawingHit::Nothing:
        window_.windowPress(m);
        break;
    }
}

bool DrawingMouse::follow(const MouseInfo &m, int held) {
    if (!drag_.follow(QPointF(m.x, m.y), held)) return false;
    view_.drag->dx = drag_.offset().x();
    view_.drag->dy = drag_.offset().y();
    return true;
}

void DrawingMouse::Surface_MouseMove(const MouseInfo &m) {
    if (drag_.active()) {
        if (follow(m, m.button)) window_.redraw();
        return;
    }
    // The moves of a press on the drawing belong to what was pressed.
    if (pressed_.kind != DrawingHit::Nothing) return;
    const DrawingHit hit = hitTest(plot_.layout(), m.x, m.y);
    const Qt::CursorShape shape =
        hit.kind == DrawingHit::Marker ? Qt::SizeAllCursor : Qt::ArrowCursor;
    if (surface_.cursor().shape() != shape) surface_.setCursor(shape);
    if (hit.kind == DrawingHit::Nothing) window_.windowMove(m);
}

void DrawingMouse::Surface_MouseUp(const MouseInfo &m) {
    const DrawingHit was = pressed_;
    pressed_ = {};
    releasedOnDrawing_ = was.kind != DrawingHit::Nothing;
    // The element is where the mouse let it go before the drop is read.
    if (drag_.active()) {
        follow(m, ~0);
        drag_.finish();
    }
    if (was.kind == DrawingHit::Marker) {
        takeDroppedCorner(false);
    } else if (was.kind == DrawingHit::Angle) {
        takeDroppedCorner(true);
        if (m.button == platform::kLeftButton) Tch_Click(was.corner);
    }
}

void DrawingMouse::Surface_Click() {
    // The release of a press on the drawing is not a click on the window.
    if (releasedOnDrawing_) return;
    // A click on the visible picture is the picture's click.
    const QPoint p = surface_.mapFromGlobal(QCursor::pos());
    if (plot_.picture()->contains(p.x() * platform::kTwipsPerPixel,
                                  p.y() * platform::kTwipsPerPixel))
        window_.pictureClick();
    else
        window_.windowClick();
}

void DrawingMouse::Shape_MouseDown(int i, const MouseInfo &m) {
    // The focus leaves wherever it was first, and leaving the count field
    // applies a count typed there: the corner pressed may be gone after it.
    window_.focusCorner(i);
    if (const int n = plot_.layout().cornerCount(); i < 1 || i > n) {
        // Nor is a corner that is gone the current one.
        if (view_.currentCorner > n) view_.currentCorner = 0;
        window_.highlight();
        return;
    }
    view_.currentCorner = i;
    window_.highlight();
    startDrag(i, false, m);
}

void DrawingMouse::Tch_MouseDown(int i, const MouseInfo &m) {
    view_.currentCorner = i;
    startDrag(i, true, m);
}

void DrawingMouse::startDrag(int i, bool angle, const MouseInfo &m) {
    if (m.button != platform::kLeftButton || i < 1 || i > plot_.layout().cornerCount()) return;
    const double w = surface_.width() * platform::kTwipsPerPixel;
    const double h = surface_.height() * platform::kTwipsPerPixel;
    // The marker as the highlight drew it, or the angle caption.
    const auto &corner = plot_.layout().corner(i);
    drag_.start(angle ? corner.angle.box : corner.marker.box, QPointF(m.x, m.y), heldButtons(m),
                QSizeF(w, h));
    view_.drag = ViewState::Drag{i, angle, 0, 0};
}

void DrawingMouse::Tch_Click(int i) {
    view_.currentCorner = i;
    window_.highlight();
}

void DrawingMouse::takeDroppedCorner(bool angle) {
    // The current corner takes the place of its marker (drawn 35 twips up
    // and left of the corner) or of its angle caption (drawn on it, or
    // shifted off it to keep clear of another corner's), as the drawing
    // shows them now: where the mouse dropped the one it moved.
    const int c = view_.currentCorner;
    const DrawingLayout &layout = plot_.layout();
    if (c < 1 || c > layout.cornerCount()) {
        view_.drag.reset();
        return;
    }
    const DrawingLayout::Corner &corner = layout.corner(c);
    const QPointF dropped = angle ? corner.angle.box.topLeft() - corner.angleShift
                                  : corner.marker.box.topLeft() + QPointF(kMarkerOffset, kMarkerOffset);
    view_.drag.reset();
    const auto at = view_.toPlane(dropped);
    if (!at) return window_.redraw();
    const double x = roundHalfEven(at->x(), 2);
    const double y = roundHalfEven(at->y(), 2);
    if (!std::isfinite(x) || !std::isfinite(y)) return window_.redraw();
    geometry::PolygonTexts t = doc_.texts();
    t.x[c] = plainText(x);
    t.y[c] = plainText(y);
    window_.highlight();
    // A drop on the very place it started changes nothing; the dragged
    // element still goes back to its corner.
    if (t == doc_.texts())
        window_.recompute();
    else
        doc_.apply(t, QStringLiteral("Перетащить угол"));
}

} // namespace tarvel::drawing
