// frmNastrGrid, "Настройка графики": switches parts of the drawing on and
// off and chooses the colours of the main window. Every change is handed on
// at once through settingsChanged, for the main window to show it; the
// values are stored when the window closes.
//
// The window works on its own copy of the setting variables, taken when it
// is created. It is not modal, but its owner (the main window) takes no input
// while it is loaded: the window holds an OwnerLock, as the about box does.
#pragma once

#include "files/settings.h"
#include "platform/controls/controls.h"
#include "platform/services/services.h"
#include "settings_windows/owner_lock.h"

#include <QWidget>

#include <memory>
#include <optional>

namespace tarvel::settings_windows {

class FrmNastrGrid : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by `owner` (the main window), so that it
    // stays above it, starting from the variables in `current`.
    FrmNastrGrid(QWidget *owner, platform::Services &services, const files::Settings &current);
    ~FrmNastrGrid() override;

    // Sets every control from the variables and disables the owner.
    void Form_Load();
    // Stores the nine graphics keys, enables the owner again, then raises
    // `closed`.
    void Form_Unload();

    // The variables as the window has them, every change included.
    const files::Settings &settings() const { return settings_; }

    void Check1_Click();   // grid
    void Check2_Click();   // drag the main window by any point
    void Check3_Click();   // corner angles
    void Check4_Click();   // select the whole text on focus
    void Check5_Click();   // corner numbers
    void Check6_Click();   // side lengths
    void Check7_Click();   // X north, as on survey plans
    void Command1_Click(); // grid colour
    void Command2_Click(); // edge colour
    void Command3_Click(); // background colour
    void Command4_Click(); // background back to the button face

    std::unique_ptr<platform::CheckBox> Check1, Check2, Check3, Check4, Check5, Check6, Check7;
    std::unique_ptr<platform::Button> Command1, Command2, Command3, Command4;
    // Colour swatches: Label2 grid, Label1 edges, Label3 background.
    std::unique_ptr<platform::Label> Label1, Label2, Label3;

signals:
    // After every change, with all the variables as they now are.
    void settingsChanged(const files::Settings &settings);
    // Once, when the window is unloaded.
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void wireEvents();
    void changed();

    platform::Services &services_;
    files::Settings settings_;
    bool loaded_ = false;
    std::optional<OwnerLock> ownerLock_; // while loaded, when there is an owner
};

} // namespace tarvel::settings_windows
