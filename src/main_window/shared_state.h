// The state every window shares beside the polygon document: the setting
// variables. The view of the drawing is the main window's (view_state.h).
#pragma once

#include "files/settings.h"

namespace tarvel::main_window {

struct SharedState {
    files::Settings settings;
};

} // namespace tarvel::main_window
