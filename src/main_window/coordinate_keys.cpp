#include "main_window/coordinate_keys.h"

#include "geometry/pasted_corners.h"
#include "geometry/polygon_commands.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>

#include <utility>

namespace tarvel::main_window {

using geometry::Axis;

const QString CoordinateKeys::kTitle = QStringLiteral("Ошибка вставки координат");

QString CoordinateKeys::notAPairText(int line) {
    return QStringLiteral("Строка %1: не пара чисел").arg(line);
}

QString CoordinateKeys::tooManyText(int line) {
    return QStringLiteral("Строка %1: больше %2 углов программа не поддерживает!")
        .arg(line)
        .arg(geometry::kMaxCorners);
}

CoordinateKeys::CoordinateKeys(CoordinateTable &table, geometry::PolygonDocument &doc,
                               platform::Services &services, QWidget *owner,
                               CornerMenu openCornerMenu)
    : QObject(owner), table_(table), doc_(doc), services_(services), owner_(owner),
      openCornerMenu_(std::move(openCornerMenu)) {
    // A field is known by its row; the corner it shows is asked when a key
    // comes.
    for (int s = 1; s <= CoordinateTable::kRows; ++s)
        for (Axis axis : {Axis::X, Axis::Y}) {
            QLineEdit *edit = table.fieldInRow(axis, s)->edit();
            places_.insert(edit, Place{axis, s});
            edit->installEventFilter(this);
        }
}

void CoordinateKeys::paste(Axis axis, int i) {
    const QString text = services_.clipboard.text();
    const geometry::PastedTable table =
        geometry::readPastedCorners(text, geometry::kMaxCorners - i + 1);
    if (table.kind == geometry::PastedTable::Kind::NotATable) {
        // One value, as any paste; the line break a spreadsheet puts after a
        // single cell does not go into the field.
        QString one = text;
        while (one.endsWith(QLatin1Char('\n')) || one.endsWith(QLatin1Char('\r')))
            one.chop(1);
        table_.field(axis, i)->edit()->insert(one);
        return;
    }
    const geometry::CommandResult r = geometry::pasteCorners(doc_.current(), i, table);
    if (r.after) {
        bringIn_([&] { doc_.apply(*r.after, QStringLiteral("Вставить координаты")); });
        return;
    }
    if (r.refusal == geometry::Refusal::NotANumber ||
        r.refusal == geometry::Refusal::TooManyCorners)
        services_.messages.show(owner_,
                                r.refusal == geometry::Refusal::NotANumber ? notAPairText(r.line)
                                                                           : tooManyText(r.line),
                                platform::MsgButtons::OK, platform::MsgIcon::Information, kTitle);
}

void CoordinateKeys::openMenuAt(const Place &p) {
    const QWidget *field = table_.field(p.axis, p.corner)->widget();
    openCornerMenu_(p.corner, field->mapToGlobal(QPoint(0, field->height())));
}

void CoordinateKeys::showFieldMenu(const Place &p, const QPoint &globalPos) {
    QLineEdit *edit = table_.field(p.axis, p.corner)->edit();
    QMenu *menu = edit->createStandardContextMenu();
    menu->setAttribute(Qt::WA_DeleteOnClose);
    // "Вставить" of the field's menu pastes as Ctrl+V does. The item is
    // known by the key it shows, else by its icon's name.
    const QString key =
        QLatin1Char('\t') + QKeySequence(QKeySequence::Paste).toString(QKeySequence::NativeText);
    for (QAction *item : menu->actions()) {
        if (!item->text().endsWith(key) && item->icon().name() != QLatin1String("edit-paste"))
            continue;
        QObject::disconnect(item, nullptr, edit, nullptr);
        connect(item, &QAction::triggered, this, [this, p] { paste(p.axis, p.corner); });
    }
    menu->popup(globalPos);
}

bool CoordinateKeys::eventFilter(QObject *watched, QEvent *event) {
    // Only keys and the context menu matter; a field sees many other events.
    if (event->type() != QEvent::KeyPress && event->type() != QEvent::ContextMenu)
        return QObject::eventFilter(watched, event);
    const auto row = places_.constFind(watched);
    if (row == places_.cend()) return QObject::eventFilter(watched, event);
    const Place here{row->axis, table_.cornerAt(row->corner)};
    const Place *place = &here;
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->matches(QKeySequence::Paste)) {
            paste(place->axis, place->corner);
            return true;
        }
        const bool shiftF10 = key->key() == Qt::Key_F10 && key->modifiers() == Qt::ShiftModifier;
        if (shiftF10 || key->key() == Qt::Key_Menu) {
            openMenuAt(*place);
            return true;
        }
    } else if (event->type() == QEvent::ContextMenu) {
        const auto *menu = static_cast<QContextMenuEvent *>(event);
        if (menu->reason() == QContextMenuEvent::Keyboard)
            openMenuAt(*place);
        else
            showFieldMenu(*place, menu->globalPos());
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarvel::main_window
