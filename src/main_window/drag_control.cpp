#include "main_window/drag_control.h"

#include <QMouseEvent>
#include <QWidget>

#include <algorithm>

namespace tarvel {

namespace {

int buttonMask(Qt::MouseButtons b) {
    int m = 0;
    if (b & Qt::LeftButton) m |= platform::kLeftButton;
    if (b & Qt::RightButton) m |= platform::kRightButton;
    if (b & Qt::MiddleButton) m |= platform::kMiddleButton;
    return m;
}

// The container's client area on the screen, in pixels.
QRect clientRect(const QWidget &container) {
    return QRect(container.mapToGlobal(QPoint(0, 0)), container.size());
}

QPoint confined(QPoint p, const QWidget *container) {
    if (!container || container->width() <= 0 || container->height() <= 0) return p;
    const QRect r = clientRect(*container);
    return QPoint(std::clamp(p.x(), r.left(), r.right()), std::clamp(p.y(), r.top(), r.bottom()));
}

// A position along one axis kept inside 0..extent - size, except that a
// control already lying partly outside is not pulled in: it only may not
// move further out.
double confinedPosition(double wanted, double start, double size, double extent) {
    const double low = std::min(0.0, start);
    const double high = std::max(extent - size, start);
    return std::clamp(wanted, low, std::max(low, high));
}

} // namespace

DragControl::DragControl(platform::Control &control)
    : QObject(control.widget()), control_(&control) {}

DragControl *DragControl::of(const platform::Control &control) {
    QWidget *w = control.widget();
    return w ? w->findChild<DragControl *>(QString(), Qt::FindDirectChildrenOnly) : nullptr;
}

void DragControl::start(platform::Control &control, QPointF cursor, int buttons) {
    if (!control.widget() || buttons == 0) return;
    DragControl *d = of(control);
    if (!d) d = new DragControl(control); // owned by the control's widget
    d->begin(cursor, buttons);
}

bool DragControl::isDragging(const platform::Control &control) {
    const DragControl *d = of(control);
    return d && d->active_;
}

void DragControl::begin(QPointF cursor, int buttons) {
    QWidget *w = control_->widget();
    buttons_ = buttons;
    startCursor_ = confined(cursor.toPoint(), w->parentWidget());
    startLeft_ = control_->Left();
    startTop_ = control_->Top();
    if (!active_) w->installEventFilter(this);
    active_ = true;
}

void DragControl::follow(QPointF cursor) {
    if (!control_ || !control_->widget()) return;
    QWidget *container = control_->widget()->parentWidget();
    const QPoint p = confined(cursor.toPoint(), container);
    // Whole pixels times 15: the twip position moves by exact amounts.
    double left = startLeft_ + (p.x() - startCursor_.x()) * platform::kTwipsPerPixel;
    double top = startTop_ + (p.y() - startCursor_.y()) * platform::kTwipsPerPixel;
    if (container) {
        left = confinedPosition(left, startLeft_, control_->Width(),
                                container->width() * platform::kTwipsPerPixel);
        top = confinedPosition(top, startTop_, control_->Height(),
                               container->height() * platform::kTwipsPerPixel);
    }
    if (left == control_->Left() && top == control_->Top()) return;
    control_->move(left, top);
    if (container) container->update();
}

void DragControl::finish() {
    active_ = false;
    if (control_ && control_->widget()) control_->widget()->removeEventFilter(this);
}

bool DragControl::eventFilter(QObject *watched, QEvent *event) {
    if (!active_ || !control_ || watched != control_->widget()) return false;
    switch (event->type()) {
    case QEvent::MouseMove: {
        const auto *m = static_cast<QMouseEvent *>(event);
        // The buttons were let go where this control did not hear it.
        if ((buttonMask(m->buttons()) & buttons_) == 0)
            finish();
        else
            follow(m->globalPosition());
        break;
    }
    case QEvent::MouseButtonRelease: {
        const auto *m = static_cast<QMouseEvent *>(event);
        follow(m->globalPosition());
        if ((buttonMask(m->buttons()) & buttons_) == 0) finish();
        break;
    }
    default:
        break;
    }
    // The control's own handlers see every event as well.
    return false;
}

} // namespace tarvel
