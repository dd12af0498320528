// Form1: moving the polygon or one corner by the step, changing the step,
// and the drawing scale.
#include "main_window/form1.h"

#include "platform/numtext.h"

namespace tarvel {

void Form1::CmdUp_Click() {}
void Form1::CmdDown_Click() {}
void Form1::CmdRight_Click() {}
void Form1::CmLleft_Click() {}
void Form1::CmdXUp_Click() {}
void Form1::CmdXDw_Click() {}
void Form1::CmdYUp_Click() {}
void Form1::CmdYDw_Click() {}
void Form1::CmdStepUp_Click() {}
void Form1::CmdStepDw_Click() {}

void Form1::txtStep_Change() {
    normalizeDecimalPoint(*txtStep);
}

void Form1::txtMsb_Change() {
    normalizeDecimalPoint(*txtMsb);
    // A scale that is not a positive number leaves the scale, its labels and
    // the drawing as they were.
    const auto m = textToSingle(txtMsb->Text());
    if (!m || !(*m > 0)) return;
    state_.MapScale = *m;
    for (int k = 1; k <= 4; ++k) {
        const QString caption = plainText(float(float(k) * *m * 5.0f));
        LbshX[k - 1]->setCaption(caption);
        LbshY[k - 1]->setCaption(caption);
        LbshY[k - 1]->setLeft(3330 - LbshY[k - 1]->Width());
    }
    VICHISLIT();
}

void Form1::txtMsb_GotFocus() {}
void Form1::txtMsb_KeyDown(int) {}
void Form1::Cmb3_Click() {}
void Form1::Cmb3_KeyDown(int) {}

} // namespace tarvel
