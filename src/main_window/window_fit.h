// The main window on small and scaled screens.
//
// The client area has one designed size (1071 x 701 pixels at 100 %). At
// 150 % on a 1920 x 1080 screen, or on a 1366 x 768 screen with a panel,
// the window with its title bar and menu bar is taller than the screen's
// available area. Then the window takes the room there is and the client
// area scrolls; the scroll bars come only for the direction that lacks
// room. The client is not shrunk: the user chose the scaling to read the
// captions and numbers at that size, and shrinking widgets back would blur
// their text and undo that choice. At 125 % and 150 % only the bottom of
// the drawing scrolls; the table, the area and the tools stay in view.
#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>
#include <QSize>
#include <QString>

class QMainWindow;
class QScrollArea;
class QWidget;

namespace tarvel::platform {
class MessageBoxService;
class ScreenService;
class SettingsStore;
} // namespace tarvel::platform

namespace tarvel::main_window {

// The size a window takes in a room, as plain arithmetic.
struct FitPlan {
    QSize window;         // the window without its frame
    bool scrollX = false; // the client area scrolls sideways
    bool scrollY = false; // the client area scrolls up and down
    bool whole() const { return !scrollX && !scrollY; }
};

// `content`: the client area's designed size; `menuHeight`: the menu bar's;
// `frame`: what the window system adds around the window (title bar
// included); `scrollBar`: the width of a scroll bar; `room`: the screen's
// available area. A scroll bar in one direction takes room from the other,
// which may then need one too.
FitPlan planFit(QSize content, int menuHeight, QMargins frame, int scrollBar, QSize room);

class WindowFit : public QObject {
    Q_OBJECT
public:
    // `content`, of its designed fixed size, becomes the central widget of
    // `window`; when the room is short, inside a frameless scroll area, and
    // a control of the content that takes the focus is scrolled into view.
    WindowFit(QMainWindow &window, QWidget *content);

    // Sizes the window to fit `available` (screen coordinates) and, when it
    // does not fit whole, moves it into that area. True when the client
    // area shows whole without scrolling. Until the window system has
    // framed the window its title bar is estimated; once the window is
    // shown in its frame, the fit is made again with the frame's real size.
    bool fitInto(const QRect &available);

    // The scroll area, once the room has been short; nullptr before.
    QScrollArea *scrollArea() const { return area_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // Puts the content into a scroll area, once.
    void scrollContent();
    void fitScrollBars(const FitPlan &plan);

    QMainWindow &window_;
    QWidget *content_;
    QScrollArea *area_ = nullptr;
    QRect available_;
    bool framed_ = false;
};

// The settings key that holds the screen size last told of ("800 Х 600").
inline const QString kSmallScreenKey = QStringLiteral("SmallScreen");

// Fits `window` to the screen's room and, when the client area cannot show
// whole there on a screen below 1024 x 768, tells the user that the screen
// is smaller than the layout was designed for, with its size in pixels;
// once per screen size, which `store` keeps.
void fitToScreen(WindowFit &fit, platform::ScreenService &screen,
                 platform::MessageBoxService &messages, platform::SettingsStore &store,
                 QWidget *window);

} // namespace tarvel::main_window
