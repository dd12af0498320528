// The progress window of work in the background: Qt's progress dialog with
// a busy bar and the button "Отмена".
#pragma once

#include "platform/services/services.h"

#include <QPointer>

class QProgressDialog;

namespace tarvel::platform {

class QtProgress : public ProgressService {
public:
    QtProgress() = default;
    QtProgress(const QtProgress &) = delete;
    QtProgress &operator=(const QtProgress &) = delete;
    ~QtProgress() override;

    void show(QWidget *owner, const QString &title, const QString &text,
              std::function<void()> cancelled) override;
    void close() override;

private:
    // The owner may take the dialog with it when it goes first.
    QPointer<QProgressDialog> dialog_;
};

} // namespace tarvel::platform
