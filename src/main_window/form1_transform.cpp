// Form1: the commands that change the whole polygon or its list of corners:
// move to the origin, mirror, the two quarter turns, insert and delete.
//
// The arithmetic is the core's (geometry/polygon_commands.h); the window
// asks the questions, tells the refusals and applies the one result as one
// change of the document.
#include "main_window/form1.h"

#include "geometry/polygon_commands.h"

namespace tarvel::main_window {

using geometry::Refusal;
using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

void Form1::tellRefusal(Refusal why) {
    switch (why) {
    case Refusal::None:
    case Refusal::NoCorner:
        return;
    case Refusal::NotANumber:
        platform::showNotANumber(services_.messages, this);
        return;
    case Refusal::TooManyCorners:
        services_.messages.show(
            this,
            QStringLiteral("Больше %1 углов программа не поддерживает!").arg(geometry::kMaxCorners),
            MsgButtons::OK,
            MsgIcon::Information, QStringLiteral("Ошибка вставки угла"));
        return;
    case Refusal::TooFewCorners:
        services_.messages.show(
            this, QStringLiteral("Меньше 3-х углов в многоугольнике быть не может!"),
            MsgButtons::OK, MsgIcon::Information, QStringLiteral("Ошибка удаления угла"));
        return;
    }
}

void Form1::applyResult(const geometry::CommandResult &r, const QString &name) {
    if (r.after) doc_.apply(*r.after, name);
    tellRefusal(r.refusal);
}

// The menu item and the green "N" both call it. These take the polygon
// elsewhere, maybe out of the view: the view follows it as after any change.
void Form1::NORMALIZ() {
    const auto r = geometry::moveToOrigin(doc_.current());
    applyResult(r, QStringLiteral("Передвинуть в начало координат"));
}

void Form1::mirror() {
    const auto r = geometry::mirror(doc_.current());
    applyResult(r, QStringLiteral("Зеркально перевернуть"));
}

void Form1::turnQuarter(bool clockwise) {
    const auto r = geometry::turnQuarter(doc_.current(), clockwise);
    applyResult(r, QStringLiteral("Повернуть на 90 гр."));
}

void Form1::Menu_Tools_90R_Click() {
    turnQuarter(true);
}

void Form1::Menu_Tools_90L_Click() {
    turnQuarter(false);
}

void Form1::insertCorner() {
    const int p = view_.currentCorner, n = cornerCount();
    const geometry::CommandResult r = geometry::insertCorner(doc_.current(), p);
    if (!r.after) return tellRefusal(r.refusal);
    if (services_.messages.show(
            this,
            QStringLiteral("Вы действительно хотите вставить угол между углом № ") +
                QString::number(p) + QStringLiteral(" и углом № ") +
                QString::number(geometry::cornerAfter(p, n)),
            MsgButtons::YesNo, MsgIcon::None,
            QStringLiteral("Подтвердите вставку")) != MsgResult::Yes)
        return;
    clearHighlight(n);
    applyResult(r, QStringLiteral("Вставить угол"));
}

void Form1::deleteCorner() {
    const int p = view_.currentCorner;
    const geometry::CommandResult r = geometry::deleteCorner(doc_.current(), p);
    if (!r.after) return tellRefusal(r.refusal);
    if (services_.messages.show(this,
                                QStringLiteral("Вы действительно хотите удалить угол № ") +
                                    QString::number(p) + QStringLiteral("   "),
                                MsgButtons::YesNo, MsgIcon::None,
                                QStringLiteral("Подтвердите удаление")) != MsgResult::Yes)
        return;
    clearHighlight(cornerCount());
    applyResult(r, QStringLiteral("Удалить угол"));
}

void Form1::Menu_Tools_Zerkalo_Click() {
    mirror();
}

void Form1::Menu_lnsertUgol_Click() {
    insertCorner();
}

void Form1::Menu_DelUgol_Click() {
    deleteCorner();
}

} // namespace tarvel::main_window
