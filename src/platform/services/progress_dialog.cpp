#include "platform/services/progress_dialog.h"

#include <QProgressDialog>

namespace tarvel::platform {

QtProgress::~QtProgress() {
    close();
}

void QtProgress::show(QWidget *owner, const QString &title, const QString &text,
                      std::function<void()> cancelled) {
    close();
    auto *dialog = new QProgressDialog(text, QStringLiteral("Отмена"), 0, 0, owner);
    dialog->setWindowTitle(title);
    // Modal to its window only: the window repaints behind it, and takes no
    // edit that the result would overwrite.
    dialog->setWindowModality(Qt::WindowModal);
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
                         const std::function<void()> call = cancelled;
                         dialog->disconnect();
                         dialog->close();
                         if (call) call();
                     });
    dialog_ = dialog;
    dialog->show();
}

void QtProgress::close() {
    if (!dialog_) return;
    QProgressDialog *dialog = dialog_;
    dialog_.clear();
    dialog->disconnect(); // closing may not count as "Отмена"
    dialog->close();
}

} // namespace tarvel::platform
