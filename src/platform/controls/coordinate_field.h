// What every coordinate field of the program shares, in the main window and
// in the geographic entry windows alike: the decimal comma. (The message
// the user gets when a field holds no number is a service's:
// platform::showNotANumber in services.h.)
#pragma once

#include "platform/controls/controls.h"

namespace tarvel::platform {

// Turns the first "." of a field into "," and puts the caret at the end;
// the rewrite raises the field's change handler again. True when a point
// was turned.
bool normalizeDecimalPoint(TextBox &field);

} // namespace tarvel::platform
