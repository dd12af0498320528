// DragControl: moves a control with the mouse while the buttons that were
// down when the drag began stay down.
//
// The drag is event-driven: it watches the control's own mouse events (Qt
// keeps delivering them to the pressed widget until the button is released)
// and moves the control by the cursor's travel in screen pixels, 15 twips to
// the pixel, so the control's twip position stays exact. The cursor counts
// as confined to the container's client area (the control's parent
// widget): travel beyond its edges is not followed, and the control never
// moves further out of the container than it already was.
//
// The mouse-up of the control may be handled by the window as soon as it
// arrives; the drag has moved the control to the release point before the
// control's own handlers see that event.
#pragma once

#include "platform/controls/controls.h"

#include <QObject>
#include <QPoint>
#include <QPointer>

namespace tarvel {

class DragControl : public QObject {
    Q_OBJECT
public:
    // Starts moving `control` with the mouse. `cursor` is the screen position
    // (pixels) of the press that starts it, `buttons` the mask of the mouse
    // buttons down then (left 1, right 2, middle 4). A drag of the same
    // control still under way is replaced.
    static void start(platform::Control &control, QPointF cursor, int buttons);

    // Whether `control` is being moved now.
    static bool isDragging(const platform::Control &control);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit DragControl(platform::Control &control);
    static DragControl *of(const platform::Control &control);
    void begin(QPointF cursor, int buttons);
    // Moves the control by the travel from the start to `cursor`.
    void follow(QPointF cursor);
    void finish();

    QPointer<platform::Control> control_;
    bool active_ = false;
    int buttons_ = 0;
    QPoint startCursor_;
    double startLeft_ = 0;
    double startTop_ = 0;
};

} // namespace tarvel
