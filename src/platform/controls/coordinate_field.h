// What every coordinate field of the program shares, in the main window and
// in the geographic entry windows alike: the decimal comma, and the message
// the user gets when a field holds no number.
#pragma once

#include "platform/controls/controls.h"
#include "platform/services/services.h"

class QWidget;

namespace tarvel::platform {

// Turns the first "." of a field into "," and puts the caret at the end;
// the rewrite raises the field's change handler again. True when a point
// was turned.
bool normalizeDecimalPoint(TextBox &field);

// Tells the user, over `owner`, that a coordinate field holds no number.
void showNotANumber(MessageBoxService &messages, QWidget *owner);

} // namespace tarvel::platform
