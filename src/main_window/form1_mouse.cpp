// Form1: the mouse on the row captions and on the window itself; the
// drawing's own mouse is DrawingMouse's.
#include "main_window/form1.h"

#include "files/settings.h"
#include "main_window/drawing_surface.h"

#include <QWidget>
#include <QWindow>

#include <cmath>

namespace tarvel::main_window {

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
