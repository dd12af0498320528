// frmPodsk1, "Подсказка": the hint shown before the import of coordinates
// from a workbook, with the cell layout the import expects and a picture of
// such a worksheet. It has no buttons: the user closes it with its close
// box, and the window says so with `closed`, for the import to start then.
#pragma once

#include "platform/controls/controls.h"

#include <QPixmap>
#include <QWidget>

#include <memory>

namespace tarvel::settings_windows {

class FrmPodsk1 : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by the main window; it blocks nothing.
    explicit FrmPodsk1(QWidget *owner);
    ~FrmPodsk1() override;

    std::unique_ptr<platform::Label> Label1;
    std::unique_ptr<platform::CheckBox> Ch1; // "Больше не выводить это сообщение"
    std::unique_ptr<platform::Label> Picture1;

    // A worksheet with twenty X values in column A and twenty Y values in
    // column B, right-aligned with two decimals, drawn at run time.
    static QPixmap worksheetPicture();

signals:
    // The window was closed, and is hidden already; `dontShowAgain` is the
    // tick of "Больше не выводить это сообщение".
    void closed(bool dontShowAgain);

protected:
    void closeEvent(QCloseEvent *event) override;
};

} // namespace tarvel::settings_windows
