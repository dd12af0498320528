// Keyboard habits of a desktop program that the widgets do not bring by
// themselves: mnemonics in the menus, F10 for the menu bar, Escape closing a
// secondary window.
#pragma once

#include <QSet>
#include <QString>

class QMainWindow;
class QMenu;
class QMenuBar;
class QWidget;

namespace tarvel::platform {

// `caption` with the mnemonic marker "&" before its first letter that is not
// in `taken` (compared in lower case): the first letter of a word when one
// is free, else any letter of it. The letter chosen joins `taken`. A caption
// that has a marker already keeps it (and its letter joins `taken`); one
// without a free letter is returned unchanged. A literal "&" of the caption
// is written "&&", so the caption shown stays the same.
QString withMnemonic(const QString &caption, QSet<QChar> &taken);

// The caption as shown: without the marker ("&Файл" -> "Файл", "R&&D" ->
// "R&D").
QString shownCaption(const QString &text);

// Gives the items of `menu` mnemonics, unique within the menu, and so on
// down its submenus, each menu on its own. Items added later (a list of
// recent files) bring their own.
void addMnemonics(QMenu &menu);
// The same for the titles of the bar and, as each first opens, for each of
// its menus.
void addMnemonics(QMenuBar &bar);

// F10 opens the first menu of the window's bar, whatever has the focus, as
// on the desktops where F10 is the menu key; from there the arrows and the
// mnemonics reach every item.
void openMenuBarOnF10(QMainWindow &window);

// Escape closes `window` (a top-level window or dialog) the way its close
// box does, from whichever of its controls has the focus. A control that
// uses Escape itself (an open drop-down list) keeps it.
void closeOnEscape(QWidget &window);

} // namespace tarvel::platform
