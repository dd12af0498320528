// Form1: the design-time layout (every control with its place, caption,
// colour and font), the menus, and the start-up sequence.
#include "main_window/form1.h"

#include "files/settings.h"
#include "geometry/numtext.h"
#include "drawing/drawing_surface.h"
#include "main_window/survey_sheet_window.h"
#include "main_window/window_fit.h"
#include "platform/controls/colours.h"
#include "platform/io/regular_file.h"

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPolygonF>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <cmath>

namespace tarvel::main_window {

using geometry::textToColour;

using platform::Button;
using platform::ComboBox;
using platform::Label;
using platform::TextBox;

void Form1::connectMenus() {
    const auto on = [this](QAction *item, void (Form1::*handler)()) {
        connect(item, &QAction::triggered, this, handler);
    };
    on(Menu_File_Open, &Form1::Menu_File_Open_Click);
    on(Menu_File_OpenExtract, &Form1::Menu_File_OpenExtract_Click);
    on(Menu_File_Save_As, &Form1::Menu_File_Save_As_Click);
    connect(Menu_File_Save, &QAction::triggered, &fileActions_, &FileActions::save);
    fileActions_.setRecentMenu(Menu_File_Recent);
    on(Menu_File_Export, &Form1::Menu_File_Export_Click);
    using Format = platform::GisExport::Format;
    connect(Menu_File_Export_Dxf, &QAction::triggered, this, [this] { exportPlotTo(Format::Dxf); });
    connect(Menu_File_Export_Mif, &QAction::triggered, this, [this] { exportPlotTo(Format::MapInfo); });
    connect(Menu_File_Export_Shp, &QAction::triggered, this,
            [this] { exportPlotTo(Format::Shapefile); });
    connect(Menu_File_Export_Kml, &QAction::triggered, this, [this] { exportPlotTo(Format::Kml); });
    connect(Menu_File_Export_GeoJson, &QAction::triggered, this,
            [this] { exportPlotTo(Format::GeoJson); });
    on(Menu_File_Export_Catalogue, &Form1::Menu_File_Export_Catalogue_Click);
    on(Menu_File_Import, &Form1::Menu_File_Import_Click);
    on(Menu_File_Print, &Form1::Menu_File_Print_Click);
    on(Menu_File_Plan, &Form1::Menu_File_Plan_Click);
    on(Menu_Exit, &Form1::Menu_Exit_Click);
    on(Menu_Tools_Kalk, &Form1::Menu_Tools_Kalk_Click);
    on(Menu_Tools_Map, &Form1::Menu_Tools_Map_Click);
    on(Menu_Tools_Map_Yes, &Form1::Menu_Tools_Map_Yes_Click);
    on(Menu_Tools_Map_No, &Form1::Menu_Tools_Map_No_Click);
    on(Menu_Tools_Norm, &Form1::NORMALIZ);
    on(Menu_Tools_Zerkalo, &Form1::Menu_Tools_Zerkalo_Click);
    on(Menu_Tools_90R, &Form1::Menu_Tools_90R_Click);
    on(Menu_Tools_90L, &Form1::Menu_Tools_90L_Click);
    on(Menu_Tools_GK, &Form1::Menu_Tools_GK_Click);
    on(Menu_Tools_GK1, &Form1::Menu_Tools_GK1_Click);
    connect(Menu_Tools_Sheet, &QAction::triggered, this, [this] {
        SurveySheetWindow::open(sheet_, *this, services_, printPage(),
                                [this] { return ellipsoidArea(); });
    });
    on(Menu_Undo, &Form1::Menu_Undo_Click);
    on(Menu_Redo, &Form1::Menu_Redo_Click);
    connect(Menu_Tools_ShowAll, &QAction::triggered, this, [this] { showWholePolygon(); });
    on(Menu_Set_Path, &Form1::Menu_Set_Path_Click);
    on(Menu_Set_Grid, &Form1::Menu_Set_Grid_Click);
    on(Menu_Set_System, &Form1::Menu_Set_System_Click);
    on(Menu_Set_Hlp, &Form1::Menu_Set_Hlp_Click);
    on(Menu_Help_Help, &Form1::Menu_Help_Help_Click);
    on(Menu_About, &Form1::Menu_About_Click);
    on(Menu_lnsertUgol, &Form1::Menu_lnsertUgol_Click);
    on(Menu_DelUgol, &Form1::Menu_DelUgol_Click);
}

void Form1::SetComboHeight(ComboBox &combo, int height) {
    // The drop-down part shows as many items as fit into the given pixels.
    const int itemHeight = std::max(1, combo.combo()->fontMetrics().height() + 2);
    combo.setMaxVisibleItems(std::max(1, height / itemHeight));
}

void Form1::applyBackColour() {
    const auto colour = textToColour(state_.settings.BackColour);
    if (!colour) return;
    surface_->backColour = *colour;
    repaintSurface();
}

void Form1::Form_Load() {
    SharedState &st = state_;
    // The scale and a file opened at start would each redraw; the drawing is
    // placed once, at the end, when everything it depends on is set.
    loading_ = true;
    // 1. The drop-down height of the two corner lists.
    SetComboHeight(*Cmb1, 200);
    SetComboHeight(*Cmb2, 200);

    // 2. The window fits the screen; a small one is told of when needed.
    fitToScreen(*fit_, services_.screen, services_.messages, services_.settings, this);

    // 4. The common scales.
    QStringList scales;
    for (float common : ViewState::kCommonScales)
        scales << geometry::plainText(common);
    Cmb3->AddItems(scales);

    // 5. The units; selecting one sets the three unit captions.
    CmbEd->AddItems({geometry::unitText(geometry::Unit::Metres),
                     geometry::unitText(geometry::Unit::Kilometres)});
    showUnit();

    // 6. The file-type association, once per user.
    services_.association.RegisterFileType();

    // 7. The stored preferences.
    st.settings = files::loadSettings(services_.settings);
    view_.scale = st.settings.MapScale;
    showNorthUp();

    // 8. From here a failing step is skipped: none of them may stop the start.
    // 9. Background colour.
    applyBackColour();

    // 10. The background picture with its lower edge on the X axis. A stored
    // name that has become a named pipe must not keep the window from
    // appearing: only a regular file is read.
    if (platform::isRegularFile(st.settings.MapPicture)) plot_->loadPicture(st.settings.MapPicture);

    // 13-15. The grid, the ticks every 5 cm with their values and the
    // edges' colour are laid out with the drawing, beside the coordinate
    // column and below the clear button.
    placeDrawingFrame();

    // 11. The scale; writing txtMsb applies it and asks for the drawing.
    Cmb3->setText(QStringLiteral("10"));
    txtMsb->setText(QStringLiteral("10"));

    // 12. The step.
    txtStep->setText(files::loadStep(services_.settings));
    view_.stepText = txtStep->Text();

    // 16. The rows in use and the corner lists.
    showRows(cornerCount());

    // 18. A polygon file named on the command line; opening one redraws.
    AS_FILE_OPEN();

    // 19. The first full recompute.
    loading_ = false;
    // The outline's warnings follow the first frame: they need the whole
    // outline checked, and the window shows sooner without waiting for it.
    drawWithArea();
    QTimer::singleShot(0, this, &Form1::showWarnings);
}

} // namespace tarvel::main_window
