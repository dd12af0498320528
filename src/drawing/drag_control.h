// DragControl: moves an element of the drawing (a corner's marker or angle
// caption) with the mouse while the buttons that were down when the drag
// began stay down.
//
// The drag is event-driven: the surface hands it the mouse's moves, and it
// follows the cursor's travel in whole pixels, 15 twips to the pixel, so the
// element's twip position moves by exact amounts. The cursor counts as
// confined to the container's client area: travel beyond its edges is not
// followed, and the element never moves further out of the container than
// it already was.
#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

namespace tarvel::drawing {

class DragControl {
public:
    // Starts moving an element whose box (twips) is `box`, inside a
    // container of `extent` twips. `cursor` is the press that starts it, in
    // twips of the container; `buttons` the mask of the mouse buttons down
    // then (left 1, right 2, middle 4). A drag still under way is replaced.
    void start(const QRectF &box, QPointF cursor, int buttons, QSizeF extent);
    bool active() const { return active_; }
    // Follows the cursor (twips of the container) with the buttons held now;
    // a move without any of the drag's buttons ends the drag instead. True
    // when the element moved.
    bool follow(QPointF cursor, int heldButtons);
    // The element's travel so far, in twips.
    QPointF offset() const { return offset_; }
    void finish() { active_ = false; }

private:
    bool active_ = false;
    int buttons_ = 0;
    QRectF box_;
    QSizeF extent_;
    QPointF startCursor_; // whole pixels
    QPointF offset_;
};

} // namespace tarvel::drawing
