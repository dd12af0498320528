// Form1: the menu commands handed to ToolActions, the background picture,
// print, the about box and the graphics settings.
#include "main_window/form1.h"

#include "files/settings.h"
#include "files/spreadsheet_exchange.h"
#include "geometry/polygon_commands.h"
#include "main_window/plan_window.h"
#include "main_window/print_page.h"
#include "platform/io/regular_file.h"
#include "settings_windows/frm_about.h"
#include "settings_windows/frm_nastr_grid.h"

#include <QPainter>

namespace tarvel::main_window {

using platform::MsgButtons;
using platform::MsgIcon;

// ---------------------------------------------------------------- spreadsheet

void Form1::Menu_File_Export_Click() {
    tools_.exportCoordinates();
}

void Form1::Menu_File_Import_Click() {
    tools_.importCoordinates();
}

void Form1::applyImportedCorners(const files::ImportedCorners &c) {
    const auto r = geometry::importCorners(doc_.current(), c.x, c.y, c.count);
    showWholePolygon([&] { applyResult(r, QStringLiteral("Импорт координат")); });
}

void Form1::applyImportedCatalogue(const geometry::PastedTable &table) {
    // As a paste into the first row: the catalogue is the polygon, or the
    // plot where blank lines part its contours.
    const auto r = geometry::pasteCorners(doc_.current(), 1, table);
    showWholePolygon([&] { applyResult(r, QStringLiteral("Импорт координат")); });
}

// ---------------------------------------------------------------- print

void Form1::Menu_File_Print_Click() {
    services_.printer.print(this,
                            [this](QPainter &painter, int dpi) { paintPrintPage(painter, dpi); });
}

void Form1::Menu_File_Plan_Click() {
    PlanWindow::open(plan_, *this, services_, doc_, state_.settings);
}

PrintPage Form1::printPage() const {
    return {doc_, view_, state_.settings, plot_->picture(), plot_->measure()};
}

void Form1::paintPrintPage(QPainter &painter, int dpi) {
    printPage().paint(painter, dpi);
}

// ---------------------------------------------------------------- tools

void Form1::Menu_Tools_Kalk_Click() {
    tools_.startCalculator();
}

void Form1::Menu_Tools_Map_Click() {
    const auto path = tools_.choosePicture();
    if (!path) return;
    // A file that is not a picture leaves the previous picture, and the name
    // stored at closing, as they were. Only a regular file is read: a named
    // pipe would hold the window until something wrote to it.
    if (!platform::isRegularFile(*path) || !plot_->loadPicture(*path)) return;
    state_.settings.MapPicture = *path;
    plot_->picture()->setVisible(true);
}

void Form1::Menu_Tools_Map_Yes_Click() {
    plot_->picture()->setVisible(true);
}

void Form1::Menu_Tools_Map_No_Click() {
    plot_->picture()->setVisible(false);
}

// ---------------------------------------------------------------- settings

void Form1::Menu_Set_Path_Click() {
    tools_.chooseWorkFolder();
}

void Form1::Menu_Set_Grid_Click() {
    using settings_windows::FrmNastrGrid;
    if (frmNastrGrid_ && frmNastrGrid_->isVisible()) {
        frmNastrGrid_->raise();
        frmNastrGrid_->activateWindow();
        return;
    }
    // Every opening starts afresh from the variables.
    frmNastrGrid_ = std::make_unique<FrmNastrGrid>(this, services_, state_.settings);
    connect(frmNastrGrid_.get(), &FrmNastrGrid::settingsChanged, this,
            &Form1::applyGraphicsSettings);
    // The window disables this one while it is loaded. The polygon is not
    // saved by closing it, so its unsaved edits stay marked: the save
    // question on leaving must still guard them.
    frmNastrGrid_->Form_Load();
    frmNastrGrid_->show();
}

void Form1::applyGraphicsSettings(const files::Settings &s) {
    // Only the graphics variables: the hint flags may have changed meanwhile
    // through the import hint, which stays usable beside the settings window.
    const bool newBackColour = s.BackColour != state_.settings.BackColour;
    files::takeGraphics(state_.settings, s);
    showNorthUp();
    if (newBackColour) applyBackColour();
    // The grid, the captions and the colours follow at once.
    redraw();
}

void Form1::Menu_Set_Hlp_Click() {
    tools_.showHintsAgain();
}

// ---------------------------------------------------------------- help, about

void Form1::Menu_Help_Help_Click() {
    tools_.showHelp();
}

void Form1::Menu_About_Click() {
    if (frmAbout_ && frmAbout_->isVisible()) {
        frmAbout_->raise();
        frmAbout_->activateWindow();
        return;
    }
    frmAbout_ = std::make_unique<settings_windows::FrmAbout>(*this, services_.shell);
    frmAbout_->Form_Load();
    frmAbout_->show();
}

} // namespace tarvel::main_window
