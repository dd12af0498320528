// frmNastrGrid, "Настройка графики": switches parts of the drawing on and
// off and chooses the colours of the main window. Every change takes effect
// in the main window at once; the values are stored when the window closes.
//
// The window works directly on the shared setting variables and keeps no
// state of its own beyond its controls. It is not modal, but the main window
// takes no input while it is open.
#pragma once

#include "platform/controls/controls.h"

#include <QWidget>

#include <memory>

namespace tarvel {
class Form1;
}

namespace tarvel::settings_windows {

class FrmNastrGrid : public QWidget {
    Q_OBJECT
public:
    // A top-level window owned by the main window, so that it stays above it.
    explicit FrmNastrGrid(Form1 &form);
    ~FrmNastrGrid() override;

    // Disables the main window and sets every control from the variables.
    void Form_Load();
    // Stores the nine graphics keys and enables the main window again.
    void Form_Unload();

    void Check1_Click();   // grid
    void Check2_Click();   // drag the main window by any point
    void Check3_Click();   // corner angles
    void Check4_Click();   // select the whole text on focus
    void Check5_Click();   // corner numbers
    void Check6_Click();   // side lengths
    void Command1_Click(); // grid colour
    void Command2_Click(); // edge colour
    void Command3_Click(); // background colour
    void Command4_Click(); // background back to the button face

    std::unique_ptr<platform::CheckBox> Check1, Check2, Check3, Check4, Check5, Check6;
    std::unique_ptr<platform::Button> Command1, Command2, Command3, Command4;
    // Colour swatches: Label2 grid, Label1 edges, Label3 background.
    std::unique_ptr<platform::Label> Label1, Label2, Label3;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void wireEvents();

    Form1 &form_;
    bool loaded_ = false;
};

} // namespace tarvel::settings_windows
