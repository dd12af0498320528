// Disabling a widget in Qt disables every window it owns as well. The
// settings windows take input away from the main window only: its other
// windows (the geographic entry windows, the import hint, the help) stay
// usable, and so does the window that disabled it.
#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace tarvel::settings_windows {

inline void disableOwnerOnly(QWidget &owner) {
    std::vector<QPointer<QWidget>> windows;
    for (QWidget *w : owner.findChildren<QWidget *>())
        if (w->isWindow() && w->isEnabled()) windows.emplace_back(w);
    owner.setEnabled(false);
    for (const QPointer<QWidget> &w : windows)
        if (w) w->setEnabled(true);
}

} // namespace tarvel::settings_windows
