#include "main_window/window_fit.h"

#include "files/settings.h"

#include "platform/services/services.h"

#include <QApplication>
#include <QEvent>
#include <QMainWindow>
#include <QMenuBar>
#include <QScrollArea>
#include <QScrollBar>
#include <QStyle>
#include <QTimer>

#include <algorithm>

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
    : window_(window), content_(content) {
    // The content paints its own background; a fill of its own, or the
    // scroll area's, would have it painted twice whenever one of its
    // controls changes.
    content->setAutoFillBackground(false);
    window.setCentralWidget(content);
    // Until a screen is known the window has its designed size.
    fitInto(QRect(0, 0, QWIDGETSIZE_MAX, QWIDGETSIZE_MAX));
    window.installEventFilter(this);
}

void WindowFit::scrollContent() {
    if (area_) return;
    // The scroll area comes only when the room is short: most screens show
    // the window whole, and it would cost every start its scroll bars.
    QWidget *content = window_.takeCentralWidget();
    area_ = new QScrollArea(&window_);
    area_->setFrameShape(QFrame::NoFrame);
    area_->setWidgetResizable(false);
    area_->setWidget(content);
    content->setAutoFillBackground(false); // setWidget() turned it on
    window_.setCentralWidget(area_);
    // Enter and the arrows move the focus between rows without the scroll
    // area's Tab handling: whatever takes the focus comes into view.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget *, QWidget *now) {
        if (now && content_->isAncestorOf(now)) area_->ensureWidgetVisible(now);
    });
}

bool WindowFit::eventFilter(QObject *watched, QEvent *event) {
    // The frame is known once the window system has put the shown window
    // into it; a fit made with the estimate is made again with it.
    if (watched == &window_ && event->type() == QEvent::Show && !framed_ && available_.isValid()) {
        framed_ = true;
        QTimer::singleShot(200, this, [this] {
            if (window_.frameGeometry() != window_.geometry()) fitInto(available_);
        });
    }
    return QObject::eventFilter(watched, event);
}

namespace {

// What the window system puts around the window. Known once the window is
// shown in a frame; before that, a usual title bar and border.
QMargins frameOf(const QMainWindow &w) {
    const QRect outer = w.frameGeometry(), inner = w.geometry();
    if (w.isVisible() && outer != inner)
        return QMargins(inner.left() - outer.left(), inner.top() - outer.top(),
                        outer.right() - inner.right(), outer.bottom() - inner.bottom());
    // Desktops scale their title bars with everything else.
    return QMargins(4, 32, 4, 4);
}

} // namespace

bool WindowFit::fitInto(const QRect &available) {
    const int menu = window_.menuBar() ? window_.menuBar()->sizeHint().height() : 0;
    const int bar = window_.style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    const bool unbounded = available.width() >= QWIDGETSIZE_MAX;
    if (!unbounded) available_ = available;
    const QMargins frame = unbounded ? QMargins() : frameOf(window_);
    const FitPlan plan = planFit(content_->size(), menu, frame, bar, available.size());
    if (!plan.whole()) scrollContent();
    if (area_) fitScrollBars(plan);
    // The window never grows past what shows the whole client area, and is
    // not resized by the user: the layout has one size.
    window_.setFixedSize(plan.window);
    // A window that fits stays where the window system puts it; one that
    // takes the whole room starts at the room's corner (move() places the
    // frame).
    if (!plan.whole()) window_.move(available.topLeft());
    return plan.whole();
}

void WindowFit::fitScrollBars(const FitPlan &plan) {
    area_->setHorizontalScrollBarPolicy(plan.scrollX ? Qt::ScrollBarAlwaysOn
                                                     : Qt::ScrollBarAlwaysOff);
    area_->setVerticalScrollBarPolicy(plan.scrollY ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
}

void fitToScreen(WindowFit &fit, platform::ScreenService &screens,
                 platform::MessageBoxService &messages, platform::SettingsStore &store,
                 QWidget *window) {
    const QSize screen = screens.screenSize();
    if (fit.fitInto(screens.availableArea()) || (screen.width() >= 1024 && screen.height() >= 768))
        return;
    // Told once per screen size: the user cannot change the screen at every
    // start, and a notice at each one only stands in the way.
    const QString size = QString::number(screen.width()) + QStringLiteral(" Х ") +
                         QString::number(screen.height());
    if (store.read(files::kTunes, kSmallScreenKey, QString()) == size) return;
    store.write(files::kTunes, kSmallScreenKey, size);
    messages.show(window,
                  QStringLiteral("У Вас разрешение экрана ") + size +
                      QStringLiteral(", а программа рассчитана на разрешение не менее 1024 Х 768 "
                                     "возможно неправильное отображение!"),
                  platform::MsgButtons::OK, platform::MsgIcon::Information,
                  QStringLiteral("Сообщение программы"));
}

} // namespace tarvel::main_window
