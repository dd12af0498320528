// The help compiled into the program, in a window of its own: shown for
// "Краткая справка" where the desktop cannot open the help document.
#pragma once

class QDialog;
class QWidget;

namespace tarvel::platform {

// Shows the built-in help in a window owned by `owner`, deleted when the
// user closes it. A help window of `owner` still open is brought forward
// instead of a second one. Returns the window shown.
QDialog *showBuiltInHelp(QWidget &owner);

} // namespace tarvel::platform
