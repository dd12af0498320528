// Form1: moving the polygon or one corner by the step, changing the step,
// and the drawing scale.
#include "main_window/form1.h"

#include "files/settings.h"
#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"
#include "geometry/step_table.h"

#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace tarvel::main_window {

using geometry::textToDouble, geometry::formatNumber, geometry::kFieldPattern,
    geometry::textToFixed4, geometry::fixed4ToText, geometry::plainText, geometry::roundHalfEven,
    geometry::textToSingle;

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

using geometry::Axis;

// The step as a signed amount; nullopt when the step is not a number.
std::optional<double> signedStep(Form1 &f, int sign) {
    const auto step = f.view().step();
    if (!step) return std::nullopt;
    return sign * *step;
}

// Moves every corner of the polygon along one axis. A step that is not a
// number moves nothing, but the window is still refreshed.
void moveAll(Form1 &f, Axis axis, int sign) {
    f.PODKRAS();
    const auto delta = signedStep(f, sign);
    if (!delta) return f.VICHISLIT();
    const auto r = geometry::moveCorners(f.document().current(), axis, *delta);
    if (r.after) f.document().apply(*r.after, QStringLiteral("Передвинуть многоугольник"));
}

// Moves the current corner along one axis. Without a current corner of the
// polygon (none chosen, or a row hidden by "-") there is nothing to move,
// nor to refresh.
void moveCurrent(Form1 &f, Axis axis, int sign) {
    const int c = f.view().currentCorner;
    if (c < 1 || c > f.cornerCount()) return;
    f.PODKRAS();
    const auto delta = signedStep(f, sign);
    if (!delta) return f.VICHISLIT();
    const auto r = geometry::moveCorner(f.document().current(), c, axis, *delta);
    if (r.after) f.document().apply(*r.after, QStringLiteral("Передвинуть угол"));
}

const QString kStepHint =
    QStringLiteral("Что бы быстро изменить шаг наведите на кнопку фокус и нажмите клавишу Enter.") +
    QStringLiteral("\r\n\r\n") + QString(27, QLatin1Char(' ')) +
    QStringLiteral("Больше не выводить эту подсказку?");

void stepHint(Form1 &f) {
    SharedState &st = f.state();
    if (st.settings.StepHintOff != 0) return;
    if (f.services().messages.show(&f, kStepHint, MsgButtons::YesNo, MsgIcon::Information,
                                   QStringLiteral("Подсказка.")) != MsgResult::Yes)
        return;
    st.settings.StepHintOff = 1;
    files::storeStepHintOff(f.services().settings, 1);
}

// The clicked step button keeps the focus, and Enter on it clicks it again,
// so that the step can be run through quickly from the keyboard.
void takeFocus(platform::Button &b) {
    b.button()->setAutoDefault(true);
    b.SetFocus();
}

} // namespace

void Form1::CmdUp_Click() {
    moveAll(*this, Axis::Y, +1);
}
void Form1::CmdDown_Click() {
    moveAll(*this, Axis::Y, -1);
}
void Form1::CmdRight_Click() {
    moveAll(*this, Axis::X, +1);
}
void Form1::CmLleft_Click() {
    moveAll(*this, Axis::X, -1);
}
void Form1::CmdXUp_Click() {
    moveCurrent(*this, Axis::X, +1);
}
void Form1::CmdXDw_Click() {
    moveCurrent(*this, Axis::X, -1);
}
void Form1::CmdYUp_Click() {
    moveCurrent(*this, Axis::Y, +1);
}
void Form1::CmdYDw_Click() {
    moveCurrent(*this, Axis::Y, -1);
}

void Form1::CmdStepUp_Click() {
    stepHint(*this);
    takeFocus(*CmdStepUp);
    // A step that is not a number is left for the user to correct.
    const auto s = textToFixed4(txtStep->Text());
    if (!s) return;
    txtStep->setText(fixed4ToText(geometry::stepUp(*s)));
}

void Form1::CmdStepDw_Click() {
    stepHint(*this);
    takeFocus(*CmdStepDw);
    const auto s = textToFixed4(txtStep->Text());
    if (!s) return;
    const double down = double(geometry::stepDown(*s)) / double(geometry::kStepOne);
    txtStep->setText(plainText(roundHalfEven(down, 2)));
}

void Form1::txtStep_Change() {
    normalizeDecimalPoint(*txtStep);
    view_.stepText = txtStep->Text();
}

void Form1::txtMsb_Change() {
    normalizeDecimalPoint(*txtMsb);
    // A scale that is not a positive number leaves the scale, its values on
    // the axes and the drawing as they were.
    if (view_.applyScale(txtMsb->Text())) VICHISLIT();
}

void Form1::txtMsb_GotFocus() {
    if (state_.settings.SelectOnFocus != 1) return;
    txtMsb->setSelStart(0);
    txtMsb->setSelLength(int(txtMsb->Text().size()));
}

void Form1::txtMsb_KeyDown(int keyCode) {
    if (keyCode != platform::kKeyReturn) return;
    const QString text = txtMsb->Text();
    if (!text.isEmpty()) Cmb3->AddItem(text);
}

void Form1::Cmb3_Click() {
    txtMsb->setText(Cmb3->Text());
}

void Form1::Cmb3_KeyDown(int keyCode) {
    if (keyCode == platform::kKeyReturn) txtMsb->setText(Cmb3->Text());
}

} // namespace tarvel::main_window
