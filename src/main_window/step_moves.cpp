#include "main_window/step_moves.h"

#include "files/settings.h"
#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"
#include "geometry/polygon_document.h"
#include "geometry/step_table.h"
#include "drawing/view_state.h"
#include "platform/controls/coordinate_field.h"

#include <QPushButton>

namespace tarvel::main_window {

using geometry::Axis;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

const QString kStepHint =
    QStringLiteral("Что бы быстро изменить шаг наведите на кнопку фокус и нажмите клавишу Enter.") +
    QStringLiteral("\r\n\r\n") + QString(27, QLatin1Char(' ')) +
    QStringLiteral("Больше не выводить эту подсказку?");

// The clicked step button keeps the focus, and Enter on it clicks it again,
// so that the step can be run through quickly from the keyboard.
void takeFocus(platform::Button &b) {
    b.button()->setAutoDefault(true);
    b.SetFocus();
}

} // namespace

StepMoves::StepMoves(Form1Controls &controls, ViewState &view, geometry::PolygonDocument &document,
                     SharedState &state, platform::Services &services, Window window)
    : c_(controls), view_(view), doc_(document), state_(state), services_(services),
      window_(std::move(window)) {
    c_.CmdUp->Click = [this] { CmdUp_Click(); };
    c_.CmdDown->Click = [this] { CmdDown_Click(); };
    c_.CmdRight->Click = [this] { CmdRight_Click(); };
    c_.CmLleft->Click = [this] { CmLleft_Click(); };
    c_.CmdXUp->Click = [this] { CmdXUp_Click(); };
    c_.CmdXDw->Click = [this] { CmdXDw_Click(); };
    c_.CmdYUp->Click = [this] { CmdYUp_Click(); };
    c_.CmdYDw->Click = [this] { CmdYDw_Click(); };
    c_.CmdStepUp->Click = [this] { CmdStepUp_Click(); };
    c_.CmdStepDw->Click = [this] { CmdStepDw_Click(); };
    c_.txtStep->Change = [this] { txtStep_Change(); };
    c_.txtMsb->Change = [this] { txtMsb_Change(); };
    c_.txtMsb->GotFocus = [this] { txtMsb_GotFocus(); };
    c_.txtMsb->KeyDown = [this](int k, int) { txtMsb_KeyDown(k); };
    c_.Cmb3->Click = [this] { Cmb3_Click(); };
    c_.Cmb3->KeyDown = [this](int k, int) {
        if (k == platform::kKeyReturn) Cmb3_Click();
    };
}

// A step that is not a number moves nothing, but the window is still
// refreshed.
void StepMoves::moveAll(Axis axis, int sign) {
    window_.highlight();
    const auto step = view_.step();
    if (!step) return window_.recompute();
    const auto r = geometry::moveCorners(doc_.current(), axis, sign * *step);
    if (r.after) doc_.apply(*r.after, QStringLiteral("Передвинуть многоугольник"));
}

// Without a current corner of the polygon (none chosen, or a row hidden by
// "-") there is nothing to move, nor to refresh.
void StepMoves::moveCurrent(Axis axis, int sign) {
    const int corner = view_.currentCorner;
    if (corner < 1 || corner > doc_.cornerCount()) return;
    window_.highlight();
    const auto step = view_.step();
    if (!step) return window_.recompute();
    const auto r = geometry::moveCorner(doc_.current(), corner, axis, sign * *step);
    if (r.after) doc_.apply(*r.after, QStringLiteral("Передвинуть угол"));
}

void StepMoves::CmdUp_Click() {
    moveAll(Axis::Y, +1);
}
void StepMoves::CmdDown_Click() {
    moveAll(Axis::Y, -1);
}
void StepMoves::CmdRight_Click() {
    moveAll(Axis::X, +1);
}
void StepMoves::CmLleft_Click() {
    moveAll(Axis::X, -1);
}
void StepMoves::CmdXUp_Click() {
    moveCurrent(Axis::X, +1);
}
void StepMoves::CmdXDw_Click() {
    moveCurrent(Axis::X, -1);
}
void StepMoves::CmdYUp_Click() {
    moveCurrent(Axis::Y, +1);
}
void StepMoves::CmdYDw_Click() {
    moveCurrent(Axis::Y, -1);
}

void StepMoves::stepHint() {
    if (state_.settings.StepHintOff != 0) return;
    if (services_.messages.show(window_.owner, kStepHint, MsgButtons::YesNo, MsgIcon::Information,
                                QStringLiteral("Подсказка.")) != MsgResult::Yes)
        return;
    state_.settings.StepHintOff = 1;
    files::storeStepHintOff(services_.settings, 1);
}

void StepMoves::CmdStepUp_Click() {
    stepHint();
    takeFocus(*c_.CmdStepUp);
    // A step that is not a number is left for the user to correct.
    const auto s = geometry::textToFixed4(c_.txtStep->Text());
    if (!s) return;
    c_.txtStep->setText(geometry::fixed4ToText(geometry::stepUp(*s)));
}

void StepMoves::CmdStepDw_Click() {
    stepHint();
    takeFocus(*c_.CmdStepDw);
    const auto s = geometry::textToFixed4(c_.txtStep->Text());
    if (!s) return;
    const double down = double(geometry::stepDown(*s)) / double(geometry::kStepOne);
    c_.txtStep->setText(geometry::plainText(geometry::roundHalfEven(down, 2)));
}

void StepMoves::txtStep_Change() {
    platform::normalizeDecimalPoint(*c_.txtStep);
    view_.stepText = c_.txtStep->Text();
}

void StepMoves::txtMsb_Change() {
    platform::normalizeDecimalPoint(*c_.txtMsb);
    // A scale that is not a positive number leaves the scale, its values on
    // the axes and the drawing as they were.
    if (view_.applyScale(c_.txtMsb->Text())) window_.recompute();
}

void StepMoves::txtMsb_GotFocus() {
    if (state_.settings.SelectOnFocus != 1) return;
    c_.txtMsb->setSelStart(0);
    c_.txtMsb->setSelLength(int(c_.txtMsb->Text().size()));
}

void StepMoves::txtMsb_KeyDown(int keyCode) {
    if (keyCode != platform::kKeyReturn) return;
    const QString text = c_.txtMsb->Text();
    if (!text.isEmpty()) c_.Cmb3->AddItem(text);
}

void StepMoves::Cmb3_Click() {
    c_.txtMsb->setText(c_.Cmb3->Text());
}

} // namespace tarvel::main_window
