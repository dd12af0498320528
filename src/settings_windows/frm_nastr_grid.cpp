#include "settings_windows/frm_nastr_grid.h"

#include "files/settings.h"
#include "main_window/form1.h"
#include "platform/controls/colours.h"
#include "geometry/numtext.h"
#include "settings_windows/owner_lock.h"

#include <QCloseEvent>

#include <algorithm>
#include <cstdint>
#include <optional>

namespace tarvel::settings_windows {

using platform::Button;
using platform::CheckBox;
using platform::Label;

namespace {

constexpr double kTwips = platform::kTwipsPerPixel;

// The background as a colour number; a text that is no colour paints as the
// button face, the main window's own default.
std::uint32_t backColourNumber(const QString &text) {
    return textToColour(text).value_or(platform::kSysButtonFace);
}

// Colours are stored as the decimal text of the signed 32-bit number, so
// that the button face reads "-2147483633" as the settings always held it.
QString backColourText(std::uint32_t colour) {
    return QString::number(static_cast<std::int32_t>(colour));
}

// Shows (1) or hides (0) the labels of corners 1..n; any other value
// switches nothing, as for every flag of the program.
void switchLabels(Form1::Array<Label, 21> &labels, int n, int value) {
    if (value != 0 && value != 1) return;
    for (int i = 1; i <= std::clamp(n, 0, 20); ++i)
        labels[i]->setVisible(value == 1);
}

} // namespace

FrmNastrGrid::FrmNastrGrid(Form1 &form) : QWidget(&form, Qt::Dialog), form_(form) {
    setWindowTitle(QStringLiteral("Настройка графики"));
    platform::setFixedWindowSize(*this, int(6120 / kTwips), int(4020 / kTwips));

    auto check = [this](double top, const QString &caption) {
        auto c = std::make_unique<CheckBox>(this);
        c->move(180, top, 5760, 285);
        c->setCaption(caption);
        return c;
    };
    auto button = [this](double left, double top, double width, const QString &caption) {
        auto b = std::make_unique<Button>(this);
        b->move(left, top, width, 345);
        b->setCaption(caption);
        return b;
    };
    auto swatch = [this](double left, double top) {
        auto l = std::make_unique<Label>(this, false);
        l->move(left, top, 735, 285);
        l->setTransparent(false);
        l->setBorder(true);
        return l;
    };

    Check1 = check(120, QStringLiteral("Показывать сетку"));
    Command1 = button(180, 540, 1575, QStringLiteral("Цвет сетки"));
    Label2 = swatch(1920, 570);
    Command2 = button(180, 960, 1575, QStringLiteral("Цвет линий"));
    Label1 = swatch(1920, 990);
    Command3 = button(180, 1380, 1575, QStringLiteral("Цвет фона"));
    Label3 = swatch(1920, 1410);
    Command4 = button(2820, 1380, 1095, QStringLiteral("по умолч."));
    Check3 = check(1920, QStringLiteral("Отображать величины углов"));
    Check5 = check(2265, QStringLiteral("Отображать номера углов"));
    Check6 = check(2610, QStringLiteral("Отображать длины сторон"));
    Check2 = check(2955, QStringLiteral("Перетаскивать форму за любое место"));
    Check4 =
        check(3300, QStringLiteral("Выделять текст при наведении фокуса на поле с координатами"));
}

FrmNastrGrid::~FrmNastrGrid() = default;

void FrmNastrGrid::wireEvents() {
    Check1->Click = [this] { Check1_Click(); };
    Check2->Click = [this] { Check2_Click(); };
    Check3->Click = [this] { Check3_Click(); };
    Check4->Click = [this] { Check4_Click(); };
    Check5->Click = [this] { Check5_Click(); };
    Check6->Click = [this] { Check6_Click(); };
    Command1->Click = [this] { Command1_Click(); };
    Command2->Click = [this] { Command2_Click(); };
    Command3->Click = [this] { Command3_Click(); };
    Command4->Click = [this] { Command4_Click(); };
}

void FrmNastrGrid::Form_Load() {
    disableOwnerOnly(form_);

    const files::Settings &s = form_.state().settings;
    // The controls take the variables before their handlers are wired:
    // opening the window changes nothing in the main window.
    Check1->setValue(s.ShowGrid);
    Label2->setBackColor(s.GridColour);
    Label1->setBackColor(s.LineColour);
    Label3->setBackColor(backColourNumber(s.BackColour));
    Check2->setValue(s.DragAnywhere);
    Check3->setValue(s.ShowAngles);
    Check4->setValue(s.SelectOnFocus);
    Check5->setValue(s.ShowNumbers);
    Check6->setValue(s.ShowLengths);
    wireEvents();
    loaded_ = true;
}

void FrmNastrGrid::Form_Unload() {
    if (!loaded_) return;
    loaded_ = false;
    files::storeGraphics(form_.services().settings, form_.state().settings);
    // The polygon is not saved by closing this window, so its unsaved edits
    // stay marked: the save question on leaving must still guard them.
    form_.setEnabled(true);
}

void FrmNastrGrid::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void FrmNastrGrid::Check1_Click() {
    const int v = Check1->Value();
    form_.state().settings.ShowGrid = std::int16_t(v);
    // The whole grid, whatever the corner count.
    for (int i = 1; i <= 20; ++i)
        form_.Line5[i]->setVisible(v == 1);
    for (int i = 1; i <= 17; ++i)
        form_.Line6[i]->setVisible(v == 1);
}

void FrmNastrGrid::Check2_Click() {
    form_.state().settings.DragAnywhere = std::int16_t(Check2->Value());
}

void FrmNastrGrid::Check3_Click() {
    const int v = Check3->Value();
    form_.state().settings.ShowAngles = std::int16_t(v);
    switchLabels(form_.Tch, form_.cornerCount(), v);
}

void FrmNastrGrid::Check4_Click() {
    form_.state().settings.SelectOnFocus = std::int16_t(Check4->Value());
}

void FrmNastrGrid::Check5_Click() {
    const int v = Check5->Value();
    form_.state().settings.ShowNumbers = std::int16_t(v);
    switchLabels(form_.Nu, form_.cornerCount(), v);
}

void FrmNastrGrid::Check6_Click() {
    const int v = Check6->Value();
    form_.state().settings.ShowLengths = std::int16_t(v);
    switchLabels(form_.Dl, form_.cornerCount(), v);
}

namespace {

// The colour dialog of a button: the button is disabled while the dialog is
// open, so that a second click cannot open a second dialog.
std::optional<std::uint32_t> chooseColour(QWidget *owner, platform::DialogService &dialogs,
                                          Button &button, std::uint32_t initial) {
    button.setEnabled(false);
    const auto chosen = dialogs.showColour(owner, initial);
    button.setEnabled(true);
    return chosen;
}

} // namespace

void FrmNastrGrid::Command1_Click() {
    files::Settings &s = form_.state().settings;
    const auto c = chooseColour(this, form_.services().dialogs, *Command1, s.GridColour);
    if (!c) return;
    s.GridColour = *c;
    Label2->setBackColor(*c);
    for (int i = 1; i <= 17; ++i)
        form_.Line6[i]->setBorderColor(*c);
    for (int i = 1; i <= 20; ++i)
        form_.Line5[i]->setBorderColor(*c);
}

void FrmNastrGrid::Command2_Click() {
    files::Settings &s = form_.state().settings;
    const auto c = chooseColour(this, form_.services().dialogs, *Command2, s.LineColour);
    if (!c) return;
    s.LineColour = *c;
    Label1->setBackColor(*c);
    for (int i = 1; i <= 20; ++i)
        form_.L[i]->setBorderColor(*c);
}

void FrmNastrGrid::Command3_Click() {
    files::Settings &s = form_.state().settings;
    const auto c =
        chooseColour(this, form_.services().dialogs, *Command3, backColourNumber(s.BackColour));
    if (!c) return;
    s.BackColour = backColourText(*c);
    Label3->setBackColor(*c);
    form_.applyBackColour();
}

void FrmNastrGrid::Command4_Click() {
    form_.state().settings.BackColour = backColourText(platform::kSysButtonFace);
    Label3->setBackColor(platform::kSysButtonFace);
    form_.applyBackColour();
}

} // namespace tarvel::settings_windows
