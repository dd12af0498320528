// Form1: opening and unloading the geographic entry windows.
#include "main_window/form1.h"

#include "geographic/geo_window.h"

namespace tarvel {

namespace {

using geographic::GeoKind;
using geographic::GeoWindow;

// Shows the window, loading it first unless it is loaded already. A window
// that was unloaded (closed by the user) is replaced by a fresh one, so that
// reopening starts like the first opening: design-time state, then the
// stored texts and the main window's corner count.
void openGeoWindow(Form1 &main, std::unique_ptr<GeoWindow> &window, GeoKind kind) {
    if (!window || !window->isLoaded()) {
        window.reset();
        window = std::make_unique<GeoWindow>(main, kind);
        window->Form_Load();
    }
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

void Form1::Menu_Tools_GK_Click() {
    openGeoWindow(*this, frmGK_, GeoKind::DegreesMinutesSeconds);
}

void Form1::Menu_Tools_GK1_Click() {
    openGeoWindow(*this, frmGK1_, GeoKind::DecimalDegrees);
}

void Form1::unloadGeographicWindows() {
    if (state_.GKOpen == 1 && frmGK_) frmGK_->unload();
    if (state_.GK1Open == 1 && frmGK1_) frmGK1_->unload();
}

} // namespace tarvel
