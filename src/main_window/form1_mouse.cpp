// Form1: the mouse: dragging a corner, the row captions, moving the window.
#include "main_window/form1.h"

#include "files/settings.h"
#include "geometry/numtext.h"
#include "main_window/drag_control.h"
#include "main_window/drawing_surface.h"

#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

#include <cmath>

namespace tarvel {

using geometry::roundHalfEven, geometry::plainText;

using platform::MouseInfo;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

// A press, move or release on one of the window's controls belongs to that
// control alone. Qt hands what a label leaves unhandled on to the window
// surface, where the release of a corner drag would count as a click on the
// empty window and clear the current corner. Qt looks at this attribute
// after the control's handler has run, so the event at hand stays with the
// control too.
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

// The current corner takes the position of a control dropped on the
// drawing: `offset` twips from the control's top left corner to the corner
// point (the marker is drawn 35 twips up and left of it, the angle label on
// it).
void takeCornerFrom(Form1 &f, const platform::Control &control, double offset) {
    SharedState &st = f.state();
    const int c = f.CurrentCorner;
    if (c < 1 || c > f.cornerCount()) return;
    const double sf = st.ScaleFactor;
    if (!std::isfinite(sf) || sf == 0) return;
    const double x = roundHalfEven((control.Left() - st.OriginX + offset) / sf, 2);
    const double y = roundHalfEven((control.Top() - st.OriginY + offset) / -sf, 2);
    if (!std::isfinite(x) || !std::isfinite(y)) return;
    // Both coordinates are read from the control before the document
    // changes and the drawing moves it.
    geometry::PolygonTexts t = f.document().texts();
    t.x[c] = plainText(x);
    t.y[c] = plainText(y);
    f.PODKRAS();
    // A drop on the very place it started changes nothing; the dragged
    // control still goes back to its corner.
    if (t == f.document().texts())
        f.VICHISLIT();
    else
        f.document().apply(t, QStringLiteral("Перетащить угол"));
}

} // namespace

void Form1::Shape_MouseDown(int i, const MouseInfo &m) {
    keepMouse(*plot_->marker(i));
    // Taken before the focus moves: leaving another field recomputes and may
    // move the marker.
    const QPointF cursor = screenPosition(*plot_->marker(i), m);
    CurrentCorner = std::int16_t(i);
    table_->x(i)->SetFocus();
    PODKRAS();
    if (m.button == platform::kLeftButton)
        DragControl::start(*plot_->marker(i), cursor, heldButtons(m));
}

void Form1::Shape_MouseMove(int i, const MouseInfo &) {
    keepMouse(*plot_->marker(i));
}

void Form1::Shape_MouseUp(int i, const MouseInfo &) {
    keepMouse(*plot_->marker(i));
    if (CurrentCorner < 1 || CurrentCorner > geometry::kMaxCorners) return;
    takeCornerFrom(*this, *plot_->marker(CurrentCorner), 35);
}

void Form1::Tch_MouseDown(int i, const MouseInfo &m) {
    keepMouse(*plot_->angleLabel(i));
    CurrentCorner = std::int16_t(i);
    if (m.button == platform::kLeftButton)
        DragControl::start(*plot_->angleLabel(i), screenPosition(*plot_->angleLabel(i), m),
                           heldButtons(m));
}

void Form1::Tch_MouseMove(int i, const MouseInfo &) {
    keepMouse(*plot_->angleLabel(i));
}

void Form1::Tch_MouseUp(int i, const MouseInfo &) {
    keepMouse(*plot_->angleLabel(i));
    if (CurrentCorner < 1 || CurrentCorner > geometry::kMaxCorners) return;
    takeCornerFrom(*this, *plot_->angleLabel(CurrentCorner), 0);
}

void Form1::Tch_Click(int i) {
    CurrentCorner = std::int16_t(i);
    PODKRAS();
}

void Form1::LblX_MouseMove(int i) {
    keepMouse(*table_->xCaption(i));
    table_->xCaption(i)->setFontBold(true);
}

void Form1::LblY_MouseMove(int i) {
    keepMouse(*table_->yCaption(i));
    // The hint comes once each time the mouse arrives over the caption, not
    // at every move across it: a box that reopened under the resting mouse
    // could only be got rid of by switching it off.
    const bool arriving = !table_->yCaption(i)->FontBold();
    table_->yCaption(i)->setFontBold(true);
    if (i != 1 || !arriving || state_.settings.CornerHintOff != 0) return;
    if (services_.messages.show(this, kCornerHint, MsgButtons::YesNo, MsgIcon::Information,
                                QStringLiteral("Подсказка.")) != MsgResult::Yes)
        return;
    state_.settings.CornerHintOff = 1;
    files::storeCornerHintOff(services_.settings, 1);
}

void Form1::LblX_MouseUp(int i, const MouseInfo &m) {
    keepMouse(*table_->xCaption(i));
    CurrentCorner = std::int16_t(i);
    if (m.button == platform::kRightButton)
        popupMenu(*Menu_Ugol, screenPosition(*table_->xCaption(i), m).toPoint());
}

void Form1::LblY_MouseUp(int i, const MouseInfo &m) {
    keepMouse(*table_->yCaption(i));
    CurrentCorner = std::int16_t(i);
    if (m.button == platform::kRightButton)
        popupMenu(*Menu_Ugol, screenPosition(*table_->yCaption(i), m).toPoint());
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
        table_->xCaption(i)->setFontBold(false);
        table_->yCaption(i)->setFontBold(false);
    }
}

} // namespace tarvel
