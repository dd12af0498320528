// Form1: the straight-line distance between two chosen corners.
#include "main_window/form1.h"

namespace tarvel {

void Form1::IZMR() {}
void Form1::Cmb1_Click() {}
void Form1::Cmb2_Click() {}

} // namespace tarvel
