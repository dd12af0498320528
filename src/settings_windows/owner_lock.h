// The one way a secondary window takes input away from the window that owns
// it while it is open: the about box and the graphics settings hold an
// OwnerLock from loading to unloading.
//
// Disabling a widget in Qt disables every window it owns as well. The lock
// takes input away from the owner only: its other windows (the geographic
// entry windows, the import hint, the help) stay usable, and so does the
// window holding the lock.
#pragma once

#include <QPointer>
#include <QWidget>

#include <vector>

namespace tarvel::settings_windows {

class OwnerLock {
public:
    // Disables `owner`, keeping enabled the windows it owns that were.
    explicit OwnerLock(QWidget &owner) : owner_(&owner) {
        std::vector<QPointer<QWidget>> windows;
        for (QWidget *w : owner.findChildren<QWidget *>())
            if (w->isWindow() && w->isEnabled()) windows.emplace_back(w);
        owner.setEnabled(false);
        for (const QPointer<QWidget> &w : windows)
            if (w) w->setEnabled(true);
    }
    // Enables the owner again, unless it is gone.
    ~OwnerLock() {
        if (owner_) owner_->setEnabled(true);
    }
    OwnerLock(const OwnerLock &) = delete;
    OwnerLock &operator=(const OwnerLock &) = delete;

private:
    QPointer<QWidget> owner_;
};

} // namespace tarvel::settings_windows
