// The main window's code names the drawing's types (drawing/) as its own:
// the drawing is the layer just below it.
#pragma once

namespace tarvel::drawing {
class DrawingSurface;
class PlotView;
struct ViewState;
} // namespace tarvel::drawing

namespace tarvel::main_window {
using namespace tarvel::drawing;
} // namespace tarvel::main_window
