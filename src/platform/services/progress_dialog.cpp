#include "platform/services/progress_dialog.h"

#include "platform/controls/owner_input.h"

#include <QEvent>
#include <QProgressDialog>

#include <algorithm>

#include <vector>

namespace tarvel::platform {

// Keeps the owner from input while the progress window is shown, as a
// window-modal dialog would, yet lets the owner take a close request.
// Disabling a widget disables the windows it owns too: those that were
// enabled (the progress window among them) are enabled again, so only the
// owner itself is locked. An owner that something else had already disabled
// is left to that one to enable.
class QtProgress::OwnerLock : public QObject {
public:
    OwnerLock(QWidget &owner, QWidget &window) : owner_(&owner), window_(&window) {
        if (owner.isEnabled()) {
            disableOwnerOnly(owner);
            disabledOwner_ = true;
        }
        window.setEnabled(true);
        owner.installEventFilter(this);
    }
    ~OwnerLock() override {
        if (disabledOwner_ && owner_) owner_->setEnabled(true);
    }
    OwnerLock(const OwnerLock &) = delete;
    OwnerLock &operator=(const OwnerLock &) = delete;

protected:
    // A click on the owner makes it the active window, but the keyboard
    // belongs to the progress window, as it would to a modal one: Escape
    // still cancels.
    bool eventFilter(QObject *watched, QEvent *event) override {
        if (watched == owner_ && event->type() == QEvent::WindowActivate && window_ &&
            window_->isVisible())
            window_->activateWindow();
        return QObject::eventFilter(watched, event);
    }

private:
    QPointer<QWidget> owner_;
    QPointer<QWidget> window_;
    bool disabledOwner_ = false;
};

QtProgress::QtProgress() = default;

QtProgress::~QtProgress() {
    close();
}

void QtProgress::show(QWidget *owner, const QString &title, const QString &text,
                      std::function<void()> cancelled) {
    close();
    auto *dialog = new QProgressDialog(text, QStringLiteral("Отмена"), 0, 0, owner);
    dialog->setWindowTitle(title);
    dialog->setMinimumDuration(0);
    dialog->setAutoClose(false);
    dialog->setAutoReset(false);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    // The button, Escape and the close box all end in canceled(), which
    // the closing below would emit once more.
    QObject::connect(dialog, &QProgressDialog::canceled, dialog,
                     [this, dialog, cancelled = std::move(cancelled)] {
                         if (dialog_ != dialog) return;
                         dialog_.clear();
                         ownerLock_.reset();
                         const std::function<void()> call = cancelled;
                         dialog->disconnect();
                         dialog->close();
                         if (call) call();
                     });
    dialog_ = dialog;
    // The owner repaints behind the window but takes no edit that the
    // result of the work would overwrite.
    if (owner) ownerLock_ = std::make_unique<OwnerLock>(*owner, *dialog);
    dialog->show();
    // Not being modal, the window is not made the active one by Qt itself.
    dialog->activateWindow();
}

void QtProgress::close() {
    ownerLock_.reset();
    if (!dialog_) return;
    QProgressDialog *dialog = dialog_;
    dialog_.clear();
    dialog->disconnect(); // closing may not count as "Отмена"
    dialog->close();
}

void QtProgress::setFraction(double done) {
    if (!dialog_) return;
    constexpr int kSteps = 1000;
    if (dialog_->maximum() != kSteps) dialog_->setRange(0, kSteps);
    dialog_->setValue(int(std::clamp(done, 0.0, 1.0) * kSteps));
}

} // namespace tarvel::platform
