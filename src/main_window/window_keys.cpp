#include "main_window/window_keys.h"

#include "platform/controls/keyboard.h"

#include <QMainWindow>
#include <QMenuBar>

#include <utility>

namespace tarvel::main_window {

void addKeyboardReach(QMainWindow &window, Form1Controls &c) {
    platform::addMnemonics(*window.menuBar());
    platform::addMnemonics(*c.Menu_Ugol);
    platform::openMenuBarOnF10(window);

    const std::pair<platform::Button *, const char *> tips[] = {
        {c.Command3.get(), "Уменьшить количество углов на один"},
        {c.Command2.get(), "Увеличить количество углов на один"},
        {c.CmdNorm.get(), "Передвинуть в начало координат"},
        {c.CmdXDw.get(), "Уменьшить X текущего угла на шаг"},
        {c.CmdXUp.get(), "Увеличить X текущего угла на шаг"},
        {c.CmdYDw.get(), "Уменьшить Y текущего угла на шаг"},
        {c.CmdYUp.get(), "Увеличить Y текущего угла на шаг"},
        {c.CmdClear.get(), "Очистить все поля с координатами"},
        {c.CmdStepUp.get(), "Увеличить шаг"},
        {c.CmdStepDw.get(), "Уменьшить шаг"},
        {c.CmdUp.get(), "Сдвинуть все углы вверх на шаг (Y + шаг)"},
        {c.CmdDown.get(), "Сдвинуть все углы вниз на шаг (Y − шаг)"},
        {c.CmdRight.get(), "Сдвинуть все углы вправо на шаг (X + шаг)"},
        {c.CmLleft.get(), "Сдвинуть все углы влево на шаг (X − шаг)"},
    };
    for (const auto &[button, tip] : tips)
        button->widget()->setToolTip(QString::fromUtf8(tip));
}

} // namespace tarvel::main_window
