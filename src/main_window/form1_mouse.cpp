// Form1: the mouse: dragging a corner, the row captions, moving the window.
#include "main_window/form1.h"

#include "files/settings.h"
#include "geometry/numtext.h"
#include "main_window/drawing_surface.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace tarvel::main_window {

using geometry::roundHalfEven, geometry::plainText;

using platform::MouseInfo;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

// A press, move or release on one of the window's controls belongs to that
// control alone. Qt hands what a label leaves unhandled on to the window
// surface, where a release would count as a click on the empty window and
// clear the current corner. Qt looks at this attribute after the control's
// handler has run, so the event at hand stays with the control too.
void keepMouse(platform::Control &c) {
    if (QWidget *w = c.widget()) w->setAttribute(Qt::WA_NoMousePropagation);
}

// The screen position (pixels) of a mouse event given in twips relative to
// a control.
QPointF screenPosition(const platform::Control &c, const MouseInfo &m) {
    return c.widget()->mapToGlobal(QPointF(m.x, m.y) / platform::kTwipsPerPixel);
}

// The buttons held at a press: the pressed one and any still down.
int heldButtons(const MouseInfo &m) {
    int mask = m.button;
    const Qt::MouseButtons held = QGuiApplication::mouseButtons();
    if (held & Qt::LeftButton) mask |= platform::kLeftButton;
    if (held & Qt::RightButton) mask |= platform::kRightButton;
    if (held & Qt::MiddleButton) mask |= platform::kMiddleButton;
    return mask;
}

// Whether a point of the window surface (twips) lies on one of its child
// controls rather than on the surface itself.
bool onChildControl(const QWidget *surface, const MouseInfo &m) {
    if (!surface) return false;
    const QPoint p(int(std::floor(m.x / platform::kTwipsPerPixel)),
                   int(std::floor(m.y / platform::kTwipsPerPixel)));
    return surface->childAt(p) != nullptr;
}

const QString kCornerHint =
    QStringLiteral("Что бы удалить или добавить угол в произвольном месте нажмите правой кнопкой "
                   "мыши по надписи Xn или Yn (где n - номер угла) и воспользуйтесь контекстным "
                   "меню.") +
    QStringLiteral("\r\n\r\n") + QString(54, QLatin1Char(' ')) +
    QStringLiteral("Больше не выводить эту подсказку?");

} // namespace

void Form1::Surface_MouseDown(const MouseInfo &m) {
    pressed_ = hitTest(plot_->layout(), m.x, m.y);
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
        Form_MouseDown(m);
        break;
    }
}

void Form1::Surface_MouseMove(const MouseInfo &m) {
    if (drag_.active()) {
        if (drag_.follow(QPointF(m.x, m.y), m.button)) {
            view_.drag->dx = drag_.offset().x();
            view_.drag->dy = drag_.offset().y();
            redraw();
        }
        return;
    }
    // The moves of a press on the drawing belong to what was pressed.
    if (pressed_.kind != DrawingHit::Nothing) return;
    const DrawingHit hit = hitTest(plot_->layout(), m.x, m.y);
    const Qt::CursorShape shape =
        hit.kind == DrawingHit::Marker ? Qt::SizeAllCursor : Qt::ArrowCursor;
    if (surface_->cursor().shape() != shape) surface_->setCursor(shape);
    if (hit.kind == DrawingHit::Nothing) Form_MouseMove(m);
}

void Form1::Surface_MouseUp(const MouseInfo &m) {
    const DrawingHit was = pressed_;
    pressed_ = {};
    releasedOnDrawing_ = was.kind != DrawingHit::Nothing;
    // The element is where the mouse let it go before the drop is read.
    if (drag_.active()) {
        if (drag_.follow(QPointF(m.x, m.y), ~0)) {
            view_.drag->dx = drag_.offset().x();
            view_.drag->dy = drag_.offset().y();
        }
        drag_.finish();
    }
    if (was.kind == DrawingHit::Marker) {
        Shape_MouseUp(was.corner);
    } else if (was.kind == DrawingHit::Angle) {
        Tch_MouseUp(was.corner);
        if (m.button == platform::kLeftButton) Tch_Click(was.corner);
    }
}

void Form1::Surface_Click() {
    // The release of a press on the drawing is not a click on the window.
    if (releasedOnDrawing_) return;
    // A click on the visible picture is the picture's click.
    const QPoint p = surface_->mapFromGlobal(QCursor::pos());
    if (plot_->picture()->contains(p.x() * platform::kTwipsPerPixel,
                                   p.y() * platform::kTwipsPerPixel))
        Img_Click();
    else
        Form_Click();
}

void Form1::Shape_MouseDown(int i, const MouseInfo &m) {
    view_.currentCorner = i;
    coordinates->x(i)->SetFocus();
    PODKRAS();
    startDrag(i, false, m);
}

void Form1::Shape_MouseUp(int) {
    takeDroppedCorner(false);
}

void Form1::Tch_MouseDown(int i, const MouseInfo &m) {
    view_.currentCorner = i;
    startDrag(i, true, m);
}

void Form1::startDrag(int i, bool angle, const MouseInfo &m) {
    if (m.button != platform::kLeftButton) return;
    const double w = surface_->width() * platform::kTwipsPerPixel;
    const double h = surface_->height() * platform::kTwipsPerPixel;
    // The marker as the highlight drew it, or the angle caption.
    const auto &corner = plot_->layout().corner(i);
    drag_.start(angle ? corner.angle.box : corner.marker.box, QPointF(m.x, m.y), heldButtons(m),
                QSizeF(w, h));
    view_.drag = ViewState::Drag{i, angle, 0, 0};
}

void Form1::Tch_MouseUp(int) {
    takeDroppedCorner(true);
}

void Form1::Tch_Click(int i) {
    view_.currentCorner = i;
    PODKRAS();
}

void Form1::takeDroppedCorner(bool angle) {
    // The current corner takes the place of its marker (drawn 35 twips up
    // and left of the corner) or of its angle caption (drawn on it), as the
    // drawing shows them now: where the mouse dropped the one it moved.
    const int c = view_.currentCorner;
    const DrawingLayout &layout = plot_->layout();
    if (c < 1 || c > layout.cornerCount()) {
        view_.drag.reset();
        return;
    }
    const QRectF box = angle ? layout.corner(c).angle.box : layout.corner(c).marker.box;
    const double offset = angle ? 0 : 35;
    view_.drag.reset();
    const double sf = view_.scaleFactor();
    if (!std::isfinite(sf) || sf == 0) return redraw();
    const double x = roundHalfEven((box.left() - view_.originX + offset) / sf, 2);
    const double y = roundHalfEven((box.top() - view_.originY + offset) / -sf, 2);
    if (!std::isfinite(x) || !std::isfinite(y)) return redraw();
    geometry::PolygonTexts t = doc_.texts();
    t.x[c] = plainText(x);
    t.y[c] = plainText(y);
    PODKRAS();
    // A drop on the very place it started changes nothing; the dragged
    // element still goes back to its corner.
    if (t == doc_.texts())
        VICHISLIT();
    else
        doc_.apply(t, QStringLiteral("Перетащить угол"));
}

void Form1::LblX_MouseMove(int i) {
    keepMouse(*coordinates->xCaption(i));
    coordinates->xCaption(i)->setFontBold(true);
}

void Form1::LblY_MouseMove(int i) {
    keepMouse(*coordinates->yCaption(i));
    // The hint comes once each time the mouse arrives over the caption, not
    // at every move across it: a box that reopened under the resting mouse
    // could only be got rid of by switching it off.
    const bool arriving = !coordinates->yCaption(i)->FontBold();
    coordinates->yCaption(i)->setFontBold(true);
    if (i != 1 || !arriving || state_.settings.CornerHintOff != 0) return;
    if (services_.messages.show(this, kCornerHint, MsgButtons::YesNo, MsgIcon::Information,
                                QStringLiteral("Подсказка.")) != MsgResult::Yes)
        return;
    state_.settings.CornerHintOff = 1;
    files::storeCornerHintOff(services_.settings, 1);
}

void Form1::LblX_MouseUp(int i, const MouseInfo &m) {
    keepMouse(*coordinates->xCaption(i));
    view_.currentCorner = i;
    if (m.button == platform::kRightButton)
        popupMenu(*Menu_Ugol, screenPosition(*coordinates->xCaption(i), m).toPoint());
}

void Form1::LblY_MouseUp(int i, const MouseInfo &m) {
    keepMouse(*coordinates->yCaption(i));
    view_.currentCorner = i;
    if (m.button == platform::kRightButton)
        popupMenu(*Menu_Ugol, screenPosition(*coordinates->yCaption(i), m).toPoint());
}

void Form1::Form_MouseDown(const MouseInfo &m) {
    if (state_.settings.DragAnywhere != 1 || onChildControl(surface_, m)) return;
    // The window system moves the window with the mouse, as from its title
    // bar.
    if (QWindow *w = windowHandle()) w->startSystemMove();
}

void Form1::Form_MouseMove(const MouseInfo &m) {
    // Over a control the mouse is not over the window surface.
    if (onChildControl(surface_, m)) return;
    for (int i = 1; i <= 20; ++i) {
        coordinates->xCaption(i)->setFontBold(false);
        coordinates->yCaption(i)->setFontBold(false);
    }
}

} // namespace tarvel::main_window
