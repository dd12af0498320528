#include "main_window/window_fit.h"

#include "platform/services/services.h"

#include <QMainWindow>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>
#include <cmath>

namespace tarvel::main_window {

FitPlan planFit(QSize content, int menuHeight, QMargins frame, int scrollBar, QSize room) {
    const int roomW = std::max(0, room.width() - frame.left() - frame.right());
    const int roomH = std::max(0, room.height() - frame.top() - frame.bottom());
    FitPlan plan;
    int w = content.width(), h = content.height() + menuHeight;
    // Twice round: a bar in one direction may call for the other.
    for (int round = 0; round < 2; ++round) {
        if (!plan.scrollX && w > roomW) {
            plan.scrollX = true;
            h += scrollBar;
        }
        if (!plan.scrollY && h > roomH) {
            plan.scrollY = true;
            w += scrollBar;
        }
    }
    plan.window = QSize(std::min(w, roomW), std::min(h, roomH));
    return plan;
}

WindowFit::WindowFit(QMainWindow &window, QWidget *content)
    : window_(window), content_(content), area_(new QScrollArea(&window)) {
    area_->setFrameShape(QFrame::NoFrame);
    area_->setWidgetResizable(false);
    area_->setWidget(content);
    window.setCentralWidget(area_);
    // Until a screen is known the window has its designed size.
    fitInto(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
}

namespace {

// What the window system puts around the window. Known once the window is
// shown in a frame; before that, a usual title bar and border, in the
// device pixels they are drawn in.
QMargins frameOf(const QMainWindow &w) {
    const QRect outer = w.frameGeometry(), inner = w.geometry();
    if (w.isVisible() && outer != inner)
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    const double ratio = std::max(1.0, w.devicePixelRatioF());
    const int border = int(std::ceil(4 / ratio)), title = int(std::ceil(32 / ratio));
    return QMargins(border, title, border, border);
}

} // namespace

bool WindowFit::fitInto(const QRect &available) {
    const int menu = window_.menuBar() ? window_.menuBar()->sizeHint().height() : 0;
    const int bar = window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, area_);
    const bool unbounded = available.width() >= QWIDGETSIZE_MAX;
    const QMargins frame = unbounded ? QMargins() : frameOf(window_);
    const FitPlan plan = planFit(content_->size(), menu, frame, bar, available.size());
    area_->setHorizontalScrollBarPolicy(plan.scrollX ? Qt::ScrollBarAlwaysOn
                                                     : Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(plan.scrollY ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
    // The window never grows past what shows the whole client area, and is
    // not resized by the user: the layout has one size.
    window_.setFixedSize(plan.window);
    // A window that fits stays where the window system puts it; one that
    // takes the whole room starts at the room's corner (move() places the
    // frame).
    if (!plan.whole()) window_.move(available.topLeft());
    return plan.whole();
}

void tellSmallScreen(platform::MessageBoxService &messages, QWidget *owner, QSize screen) {
    messages.show(owner,
                  QStringLiteral("У Вас разрешение экрана ") + QString::number(screen.width()) +
                      QStringLiteral(" Х ") + QString::number(screen.height()) +
                      QStringLiteral(", а программа расчитана на разрешение не менее 1024 Х 768 "
                                     "возможно неправильное отображение!"),
                  platform::MsgButtons::OK, platform::MsgIcon::Information,
                  QStringLiteral("Сообщение программы"));
}

} // namespace tarvel::main_window
