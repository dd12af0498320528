// StepMoves: the step and what moves by it, and the drawing scale.
//   - The four arrows move every corner by the step; "+" and "-" beside X
//     and Y move the current corner. A step that is not a number moves
//     nothing; without a current corner the per-corner buttons do nothing.
//   - The step buttons run the step through its list of values; the clicked
//     button keeps the focus so that Enter runs on.
//   - txtStep and txtMsb write the view state; a usable scale redraws.
//     Cmb3 offers the common scales, and Enter in txtMsb adds the typed one.
// It wires the controls it owns when made; the window gives it the two
// redraws it asks for.
#pragma once

#include "main_window/drawing_names.h"

#include "geometry/polygon_state.h"
#include "main_window/form1_controls.h"
#include "main_window/shared_state.h"
#include "platform/services/services.h"

#include <functional>

class QWidget;

namespace tarvel::geometry {
class PolygonDocument;
}

namespace tarvel::main_window {


class StepMoves {
public:
    struct Window {
        QWidget *owner;                  // the hint's message box goes over it
        std::function<void()> highlight; // PODKRAS
        std::function<void()> recompute; // VICHISLIT
    };

    StepMoves(Form1Controls &controls, ViewState &view, geometry::PolygonDocument &document,
              SharedState &state, platform::Services &services, Window window);

private:
    void CmdUp_Click();
    void CmdDown_Click();
    void CmdRight_Click();
    void CmLleft_Click();
    void CmdXUp_Click();
    void CmdXDw_Click();
    void CmdYUp_Click();
    void CmdYDw_Click();
    void CmdStepUp_Click();
    void CmdStepDw_Click();
    void txtStep_Change();
    void txtMsb_Change();
    void txtMsb_GotFocus();
    void txtMsb_KeyDown(int keyCode);
    void Cmb3_Click();

    // Every corner, or the current one, along one axis by the signed step.
    void moveAll(geometry::Axis axis, int sign);
    void moveCurrent(geometry::Axis axis, int sign);
    // Once, until switched off: how Enter on a step button runs the step on.
    void stepHint();

    Form1Controls &c_;
    ViewState &view_;
    geometry::PolygonDocument &doc_;
    SharedState &state_;
    platform::Services &services_;
    Window window_;
};

} // namespace tarvel::main_window
