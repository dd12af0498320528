// WindowMouse: the mouse on the row captions and on the window itself (the
// drawing's own mouse is DrawingMouse's).
//   - A caption under the mouse turns bold, and back when the mouse reaches
//     the bare window; arriving over "Y1" brings the corner-menu hint once,
//     until switched off.
//   - A release on a caption makes its corner the current one; the right
//     button opens the corner menu there.
//   - With "drag anywhere" set, a press on the bare window moves the window.
// It wires the captions' events when made.
#pragma once

#include "main_window/drawing_names.h"

#include "main_window/shared_state.h"
#include "platform/controls/controls.h"
#include "platform/services/services.h"

#include <QPoint>

#include <functional>

class QWidget;

namespace tarvel::main_window {

class CoordinateTable;

class WindowMouse {
public:
    struct Window {
        QWidget *window;  // moved by a press; the hint goes over it
        QWidget *surface; // the client area with the controls on it
        std::function<void(QPoint globalPos)> cornerMenu;
        std::function<void()> highlight; // PODKRAS
    };

    WindowMouse(CoordinateTable &table, ViewState &view, SharedState &state,
                platform::Services &services, Window window);

    void Form_MouseDown(const platform::MouseInfo &m);
    void Form_MouseMove(const platform::MouseInfo &m);

private:
    void LblX_MouseMove(int i);
    void LblY_MouseMove(int i);
    // A release on corner i's X or Y caption.
    void captionReleased(platform::Label &caption, int i, const platform::MouseInfo &m);
    // Whether a point of the surface (twips) lies on one of its controls.
    bool onChildControl(const platform::MouseInfo &m) const;

    CoordinateTable &table_;
    ViewState &view_;
    SharedState &state_;
    platform::Services &services_;
    Window window_;
};

} // namespace tarvel::main_window
