// What the main window adds for the keyboard and for the resting mouse once
// its controls and menus are built: the mnemonics of every menu and item
// (Alt with a title's letter, then an item's letter), F10 for the menu bar,
// and a tip on each button of one glyph saying what it does.
#pragma once

#include "main_window/form1_controls.h"

class QMainWindow;

namespace tarvel::main_window {

void addKeyboardReach(QMainWindow &window, Form1Controls &controls);

} // namespace tarvel::main_window
