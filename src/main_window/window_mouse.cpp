#include "main_window/window_mouse.h"

#include "files/settings.h"
#include "main_window/coordinate_table.h"
#include "drawing/view_state.h"

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

const QString kCornerHint =
    QStringLiteral("Что бы удалить или добавить угол в произвольном месте нажмите правой кнопкой "
                   "мыши по надписи Xn или Yn (где n - номер угла) и воспользуйтесь контекстным "
                   "меню.") +
    QStringLiteral("\r\n\r\n") + QString(54, QLatin1Char(' ')) +
    QStringLiteral("Больше не выводить эту подсказку?");

} // namespace

WindowMouse::WindowMouse(CoordinateTable &table, ViewState &view, SharedState &state,
                         platform::Services &services, Window window)
    : table_(table), view_(view), state_(state), services_(services), window_(std::move(window)) {
    using geometry::Axis;
    // The captions are wired by their row; each asks which corner it shows
    // when the mouse comes.
    for (int s = 1; s <= CoordinateTable::kRows; ++s) {
        platform::Label &x = *table_.captionInRow(Axis::X, s);
        platform::Label &y = *table_.captionInRow(Axis::Y, s);
        x.MouseMove = [this, s](const MouseInfo &) { LblX_MouseMove(table_.cornerAt(s)); };
        y.MouseMove = [this, s](const MouseInfo &) { LblY_MouseMove(table_.cornerAt(s)); };
        x.MouseUp = [this, s, &x](const MouseInfo &m) { captionReleased(x, table_.cornerAt(s), m); };
        y.MouseUp = [this, s, &y](const MouseInfo &m) { captionReleased(y, table_.cornerAt(s), m); };
    }
}

void WindowMouse::LblX_MouseMove(int i) {
    keepMouse(*table_.xCaption(i));
    table_.xCaption(i)->setFontBold(true);
}

void WindowMouse::LblY_MouseMove(int i) {
    keepMouse(*table_.yCaption(i));
    // The hint comes once each time the mouse arrives over the caption, not
    // at every move across it: a box that reopened under the resting mouse
    // could only be got rid of by switching it off.
    const bool arriving = !table_.yCaption(i)->FontBold();
    table_.yCaption(i)->setFontBold(true);
    if (i != 1 || !arriving || state_.settings.CornerHintOff != 0) return;
    if (services_.messages.show(window_.window, kCornerHint, MsgButtons::YesNo,
                                MsgIcon::Information,
                                QStringLiteral("Подсказка.")) != MsgResult::Yes)
        return;
    state_.settings.CornerHintOff = 1;
    files::storeCornerHintOff(services_.settings, 1);
}

void WindowMouse::captionReleased(platform::Label &caption, int i, const MouseInfo &m) {
    keepMouse(caption);
    view_.currentCorner = i;
    if (m.button == platform::kRightButton)
        window_.cornerMenu(screenPosition(caption, m).toPoint());
    // The highlight shows the corner the release made current.
    window_.highlight();
}

bool WindowMouse::onChildControl(const MouseInfo &m) const {
    if (!window_.surface) return false;
    const QPoint p(int(std::floor(m.x / platform::kTwipsPerPixel)),
                   int(std::floor(m.y / platform::kTwipsPerPixel)));
    return window_.surface->childAt(p) != nullptr;
}

void WindowMouse::Form_MouseDown(const MouseInfo &m) {
    if (state_.settings.DragAnywhere != 1 || onChildControl(m)) return;
    // The window system moves the window with the mouse, as from its title
    // bar.
    if (QWindow *w = window_.window->windowHandle()) w->startSystemMove();
}

void WindowMouse::Form_MouseMove(const MouseInfo &m) {
    // Over a control the mouse is not over the window surface.
    if (onChildControl(m)) return;
    for (int s = 1; s <= CoordinateTable::kRows; ++s) {
        table_.captionInRow(geometry::Axis::X, s)->setFontBold(false);
        table_.captionInRow(geometry::Axis::Y, s)->setFontBold(false);
    }
}

} // namespace tarvel::main_window
