// The progress window of work in the background: Qt's progress dialog with
// a busy bar and the button "Отмена".
//
// The window takes input away from its owner by disabling it, not by Qt's
// window modality: Qt drops the window manager's close request for a window
// that a modal one blocks, and the owner's close box (or Alt+F4 on it) must
// still reach the owner, which ends the work and closes.
#pragma once

#include "platform/services/services.h"

#include <QPointer>

#include <memory>

class QProgressDialog;

namespace tarvel::platform {

class QtProgress : public ProgressService {
public:
    QtProgress();
    QtProgress(const QtProgress &) = delete;
    QtProgress &operator=(const QtProgress &) = delete;
    ~QtProgress() override;

    void show(QWidget *owner, const QString &title, const QString &text,
              std::function<void()> cancelled) override;
    void close() override;
    void setFraction(double done) override;

private:
    class OwnerLock;

    // The owner may take the dialog with it when it goes first.
    QPointer<QProgressDialog> dialog_;
    // Held while the dialog is shown.
    std::unique_ptr<OwnerLock> ownerLock_;
};

} // namespace tarvel::platform
