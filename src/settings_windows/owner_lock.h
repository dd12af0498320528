// The one way a secondary window takes input away from the window that owns
// it while it is open: the about box and the graphics settings hold an
// OwnerLock from loading to unloading.
//
// The lock takes input away from the owner only: its other windows and
// the window holding the lock stay usable (platform/controls/owner_input.h).
#pragma once

#include "platform/controls/owner_input.h"

#include <QPointer>
#include <QWidget>

namespace tarvel::settings_windows {

class OwnerLock {
public:
    // Disables `owner`, keeping enabled the windows it owns that were.
    explicit OwnerLock(QWidget &owner) : owner_(&owner) { platform::disableOwnerOnly(owner); }
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
