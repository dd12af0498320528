#include "settings_windows/frm_nastr_grid.h"

#include "geometry/numtext.h"
#include "platform/controls/colours.h"
#include "platform/controls/keyboard.h"

#include <QCloseEvent>

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
    return geometry::textToColour(text).value_or(platform::kSysButtonFace);
}

// Colours are stored as the decimal text of the signed 32-bit number, so
// that the button face reads "-2147483633" as the settings always held it.
QString backColourText(std::uint32_t colour) {
    return QString::number(static_cast<std::int32_t>(colour));
}

} // namespace

FrmNastrGrid::FrmNastrGrid(QWidget *owner, platform::Services &services,
                           const files::Settings &current)
    : QWidget(owner, Qt::Dialog), services_(services), settings_(current) {
    setWindowTitle(QStringLiteral("Настройка графики"));
    platform::closeOnEscape(*this);
    platform::setFixedWindowSize(*this, int(6120 / kTwips), int(4365 / kTwips));

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
    Check7 = check(3645, QStringLiteral("Ось X — на север (как на планах)"));
}

FrmNastrGrid::~FrmNastrGrid() = default;

void FrmNastrGrid::wireEvents() {
    Check1->Click = [this] { Check1_Click(); };
    Check2->Click = [this] { Check2_Click(); };
    Check3->Click = [this] { Check3_Click(); };
    Check4->Click = [this] { Check4_Click(); };
    Check5->Click = [this] { Check5_Click(); };
    Check6->Click = [this] { Check6_Click(); };
    Check7->Click = [this] { Check7_Click(); };
    Command1->Click = [this] { Command1_Click(); };
    Command2->Click = [this] { Command2_Click(); };
    Command3->Click = [this] { Command3_Click(); };
    Command4->Click = [this] { Command4_Click(); };
}

void FrmNastrGrid::Form_Load() {
    const files::Settings &s = settings_;
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
    Check7->setValue(s.NorthUp);
    wireEvents();
    loaded_ = true;
    if (QWidget *owner = parentWidget()) ownerLock_.emplace(*owner);
}

void FrmNastrGrid::Form_Unload() {
    if (!loaded_) return;
    loaded_ = false;
    files::storeGraphics(services_.settings, settings_);
    ownerLock_.reset();
    emit closed();
}

void FrmNastrGrid::closeEvent(QCloseEvent *event) {
    Form_Unload();
    event->accept();
}

void FrmNastrGrid::changed() {
    emit settingsChanged(settings_);
}

void FrmNastrGrid::Check1_Click() {
    settings_.ShowGrid = std::int16_t(Check1->Value());
    changed();
}

void FrmNastrGrid::Check2_Click() {
    settings_.DragAnywhere = std::int16_t(Check2->Value());
    changed();
}

void FrmNastrGrid::Check3_Click() {
    settings_.ShowAngles = std::int16_t(Check3->Value());
    changed();
}

void FrmNastrGrid::Check4_Click() {
    settings_.SelectOnFocus = std::int16_t(Check4->Value());
    changed();
}

void FrmNastrGrid::Check5_Click() {
    settings_.ShowNumbers = std::int16_t(Check5->Value());
    changed();
}

void FrmNastrGrid::Check6_Click() {
    settings_.ShowLengths = std::int16_t(Check6->Value());
    changed();
}

void FrmNastrGrid::Check7_Click() {
    settings_.NorthUp = std::int16_t(Check7->Value());
    changed();
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
    const auto c = chooseColour(this, services_.dialogs, *Command1, settings_.GridColour);
    if (!c) return;
    settings_.GridColour = *c;
    Label2->setBackColor(*c);
    changed();
}

void FrmNastrGrid::Command2_Click() {
    const auto c = chooseColour(this, services_.dialogs, *Command2, settings_.LineColour);
    if (!c) return;
    settings_.LineColour = *c;
    Label1->setBackColor(*c);
    changed();
}

void FrmNastrGrid::Command3_Click() {
    const auto c =
        chooseColour(this, services_.dialogs, *Command3, backColourNumber(settings_.BackColour));
    if (!c) return;
    settings_.BackColour = backColourText(*c);
    Label3->setBackColor(*c);
    changed();
}

void FrmNastrGrid::Command4_Click() {
    settings_.BackColour = backColourText(platform::kSysButtonFace);
    Label3->setBackColor(platform::kSysButtonFace);
    changed();
}

} // namespace tarvel::settings_windows
