// Form1: the commands that change the whole polygon or its list of corners.
#include "main_window/form1.h"

namespace tarvel {

void Form1::NORMALIZ() {}
void Form1::Menu_Tools_Norm_Click() {}
void Form1::Menu_Tools_Zerkalo_Click() {}
void Form1::Menu_Tools_90R_Click() {}
void Form1::Menu_Tools_90L_Click() {}
void Form1::Menu_lnsertUgol_Click() {}
void Form1::Menu_DelUgol_Click() {}
void Form1::CmdNorm_Click() {}

} // namespace tarvel
