// Form1: opening and unloading the geographic entry windows, entering the
// corners they convert, and the ellipsoid area of what was entered.
#include "main_window/form1.h"

#include "geographic/conversion.h"
#include "geographic/geo_window.h"
#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"

namespace tarvel::main_window {

using geometry::textToInt16;

using geographic::GeoKind;
using geographic::GeoWindow;

// A window that was unloaded (closed by the user) is replaced by a fresh
// one, so that reopening starts like the first opening: design-time state,
// then the stored texts and the main window's corner count.
void Form1::openGeoWindow(std::unique_ptr<GeoWindow> &window, GeoKind kind) {
    if (!window || !window->isLoaded()) {
        window.reset();
        window = std::make_unique<GeoWindow>(this, services_, state_.settings, kind);
        connect(window.get(), &GeoWindow::cornersEntered, this, &Form1::enterGeographicCorners);
        window->Form_Load(textToInt16(doc_.texts().count).value_or(cornerCount()));
    }
    window->show();
    window->raise();
    window->activateWindow();
}

void Form1::Menu_Tools_GK_Click() {
    openGeoWindow(frmGK_, GeoKind::DegreesMinutesSeconds);
}

void Form1::Menu_Tools_GK1_Click() {
    openGeoWindow(frmGK1_, GeoKind::DecimalDegrees);
}

void Form1::unloadGeographicWindows() {
    if (frmGK_ && frmGK_->isLoaded()) frmGK_->unload();
    if (frmGK1_ && frmGK1_->isLoaded()) frmGK1_->unload();
}

void Form1::enterGeographicCorners(const geographic::PlaneCorners &corners) {
    // The unit the conversion sets (metres) is part of the same change.
    auto r = geometry::enterPlaneCorners(doc_.current(), corners.count, corners.x, corners.y);
    // The corners are on a plane of known origin, X to the east: a map
    // can take them back to the earth.
    if (r.after) {
        geometry::PlotInfo &info = r.after->texts.info;
        info.northIsX = false;
        info.systemDefinition = corners.systemDefinition;
        info.systemApproximate = false;
        info.coordinateSystem = corners.systemDefinition.isEmpty()
                                    ? QString()
                                    : QStringLiteral("местная, от географических координат WGS 84");
    }
    // Kept before the change is announced, so that its views see it.
    if (r.after) geoOrigin_ = geographic::originOf(corners.geographic, r.after->texts);
    clearHighlight(r.after->corners);
    showWholePolygon([&] { applyResult(r, QStringLiteral("Ввод географических координат")); });
}

std::optional<double> Form1::ellipsoidArea() const {
    if (!geoOrigin_) return std::nullopt;
    return geographic::ellipsoidAreaWhileUnchanged(*geoOrigin_, doc_.current());
}

} // namespace tarvel::main_window
