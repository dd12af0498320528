#include "platform/controls/window_place.h"

#include <QWidget>

#include <algorithm>

namespace tarvel::platform {

QPoint keptWithin(const QRect &frame, const QRect &room) {
    if (room.isEmpty()) return frame.topLeft();
    // Past the right or the bottom edge first, then the left and the top:
    // a window larger than the room shows its title bar and its left edge.
    int x = std::min(frame.left(), room.right() + 1 - frame.width());
    int y = std::min(frame.top(), room.bottom() + 1 - frame.height());
    x = std::max(x, room.left());
    y = std::max(y, room.top());
    return {x, y};
}

QPoint centredWithin(const QRect &frame, const QRect &over, const QRect &room) {
    QRect placed(QPoint(0, 0), frame.size());
    placed.moveCenter(over.center());
    return keptWithin(placed, room);
}

void keepWithin(QWidget &window, const QRect &room) {
    const QRect frame = window.frameGeometry();
    const QPoint to = keptWithin(frame, room);
    if (to != frame.topLeft()) window.move(to);
}

} // namespace tarvel::platform
