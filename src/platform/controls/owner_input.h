// Taking input away from a window while a window it owns is open.
//
// Disabling a widget in Qt disables every window it owns as well: the
// owner's other windows (the geographic entry windows, the import hint,
// the help) would go grey with it. They stay usable.
#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace tarvel::platform {

// Disables `owner`, keeping enabled the windows it owns that were.
inline void disableOwnerOnly(QWidget &owner) {
    std::vector<QPointer<QWidget>> windows;
    for (QWidget *w : owner.findChildren<QWidget *>())
        if (w->isWindow() && w->isEnabled()) windows.emplace_back(w);
    owner.setEnabled(false);
    for (const QPointer<QWidget> &w : windows)
        if (w) w->setEnabled(true);
}

} // namespace tarvel::platform
