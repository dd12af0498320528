// Where a secondary window goes: over the window it belongs to and wholly
// within the screen's room, so that no part of it (a button, a title bar to
// drag it by) opens off the screen.
#pragma once

#include <QPoint>
#include <QRect>

class QWidget;

namespace tarvel::platform {

// The top-left corner for a window whose frame is `frame` (its size is what
// counts): `frame` moved as little as it takes to lie within `room`. A
// window larger than the room keeps the room's top-left corner in view.
QPoint keptWithin(const QRect &frame, const QRect &room);

// The top-left corner for a window of `frame`'s size centred over `over`
// (the window it belongs to), then kept within `room`.
QPoint centredWithin(const QRect &frame, const QRect &over, const QRect &room);

// Moves a shown `window` so that its frame lies within `room`.
void keepWithin(QWidget &window, const QRect &room);

} // namespace tarvel::platform
