// Form1: spreadsheet exchange, background picture, working folder, hints,
// help, about, calculator, print and the graphics settings.
#include "main_window/form1.h"

#include <QPainter>

namespace tarvel {

void Form1::Menu_File_Export_Click() {}
void Form1::Menu_File_Import_Click() {}
void Form1::ImportCoordinates() {}
void Form1::Menu_File_Print_Click() {}
void Form1::Menu_Tools_Kalk_Click() {}
void Form1::Menu_Tools_Map_Click() {}
void Form1::Menu_Tools_Map_Yes_Click() {}
void Form1::Menu_Tools_Map_No_Click() {}
void Form1::Menu_Set_Path_Click() {}
void Form1::Menu_Set_Grid_Click() {}
void Form1::Menu_Set_Hlp_Click() {}
void Form1::Menu_Help_Help_Click() {}
void Form1::Menu_About_Click() {}
void Form1::paintPrintPage(QPainter &, int) {}

} // namespace tarvel
