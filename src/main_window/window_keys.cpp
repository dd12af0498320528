#include "main_window/window_keys.h"

#include "platform/controls/keyboard.h"

#include <QMainWindow>
#include <QMenuBar>

#include <utility>

namespace tarvel::main_window {

void addKeyboardReach(QMainWindow &window, Form1Controls &c) {
    platform::addMnemonics(*window.menuBar());
    // The corner menu's items take theirs as it first opens, as the bar's do.
    QObject::connect(
        c.Menu_Ugol, &QMenu::aboutToShow, c.Menu_Ugol,
        [menu = c.Menu_Ugol] { platform::addMnemonics(*menu); }, Qt::SingleShotConnection);
    platform::openMenuBarOnF10(window);

    const std::pair<platform::Button *, QString> tips[] = {
        {c.Command3.get(), QStringLiteral("Уменьшить количество углов на один")},
        {c.Command2.get(), QStringLiteral("Увеличить количество углов на один")},
        {c.CmdNorm.get(), QStringLiteral("Передвинуть в начало координат")},
        {c.CmdXDw.get(), QStringLiteral("Уменьшить X текущего угла на шаг")},
        {c.CmdXUp.get(), QStringLiteral("Увеличить X текущего угла на шаг")},
        {c.CmdYDw.get(), QStringLiteral("Уменьшить Y текущего угла на шаг")},
        {c.CmdYUp.get(), QStringLiteral("Увеличить Y текущего угла на шаг")},
        {c.CmdClear.get(), QStringLiteral("Очистить все поля с координатами")},
        {c.CmdStepUp.get(), QStringLiteral("Увеличить шаг")},
        {c.CmdStepDw.get(), QStringLiteral("Уменьшить шаг")},
        {c.CmdUp.get(), QStringLiteral("Сдвинуть все углы вверх на шаг (Y + шаг)")},
        {c.CmdDown.get(), QStringLiteral("Сдвинуть все углы вниз на шаг (Y − шаг)")},
        {c.CmdRight.get(), QStringLiteral("Сдвинуть все углы вправо на шаг (X + шаг)")},
        {c.CmLleft.get(), QStringLiteral("Сдвинуть все углы влево на шаг (X − шаг)")},
    };
    for (const auto &[button, tip] : tips)
        button->widget()->setToolTip(tip);
}

} // namespace tarvel::main_window
