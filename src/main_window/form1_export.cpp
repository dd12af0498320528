// Form1: the plot exported to drawings, maps and catalogues, handed to
// ToolActions with the axis the plan draws to the north.
#include "main_window/form1.h"

#include "settings_windows/frm_system.h"

namespace tarvel::main_window {

void Form1::exportPlotTo(platform::GisExport::Format format) {
    tools_.exportMap(format, view_.northUp);
}

void Form1::Menu_File_Export_Catalogue_Click() {
    tools_.exportCatalogue();
}

void Form1::Menu_Set_System_Click() {
    // Every opening starts from the plot's system as it is now.
    frmSystem_ = std::make_unique<settings_windows::FrmSystem>(this, doc_.texts().info);
    connect(frmSystem_.get(), &settings_windows::FrmSystem::systemChosen, this,
            &Form1::setCoordinateSystem);
    frmSystem_->show();
    frmSystem_->raise();
    frmSystem_->activateWindow();
}

void Form1::setCoordinateSystem(const QString &definition, const QString &name, bool approximate) {
    geometry::PolygonTexts t = doc_.texts();
    t.info.systemDefinition = definition;
    t.info.coordinateSystem = name;
    t.info.systemApproximate = approximate;
    // The systems offered, the Gauss–Krüger zones and the local zones
    // after them, have X to the north.
    if (!definition.isEmpty()) t.info.northIsX = true;
    if (t == doc_.texts()) return;
    doc_.apply(t, QStringLiteral("Система координат"));
}

} // namespace tarvel::main_window
