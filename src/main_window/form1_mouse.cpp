// Form1: the mouse: dragging a corner, the row captions, moving the window.
#include "main_window/form1.h"

namespace tarvel {

void Form1::Shape_MouseDown(int, const platform::MouseInfo &) {}
void Form1::Shape_MouseMove(int, const platform::MouseInfo &) {}
void Form1::Shape_MouseUp(int, const platform::MouseInfo &) {}
void Form1::Tch_MouseDown(int, const platform::MouseInfo &) {}
void Form1::Tch_MouseMove(int, const platform::MouseInfo &) {}
void Form1::Tch_MouseUp(int, const platform::MouseInfo &) {}
void Form1::Tch_Click(int) {}
void Form1::LblX_MouseMove(int) {}
void Form1::LblY_MouseMove(int) {}
void Form1::LblX_MouseUp(int, const platform::MouseInfo &) {}
void Form1::LblY_MouseUp(int, const platform::MouseInfo &) {}
void Form1::Form_MouseDown(const platform::MouseInfo &) {}
void Form1::Form_MouseMove(const platform::MouseInfo &) {}

} // namespace tarvel
