// Form1: the plot exported to drawings, maps and catalogues, handed to
// ToolActions with the axis the plan draws to the north.
#include "main_window/form1.h"

namespace tarvel::main_window {

void Form1::exportPlotTo(platform::GisExport::Format format) {
    tools_.exportMap(format, view_.northUp);
}

void Form1::Menu_File_Export_Catalogue_Click() {
    tools_.exportCatalogue();
}

} // namespace tarvel::main_window
