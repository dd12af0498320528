// Form1: opening and unloading the geographic entry windows.
#include "main_window/form1.h"

#include "geographic/geo_window.h"

namespace tarvel {

void Form1::Menu_Tools_GK_Click() {}
void Form1::Menu_Tools_GK1_Click() {}
void Form1::unloadGeographicWindows() {}

} // namespace tarvel
