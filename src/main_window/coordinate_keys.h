// The keys of the coordinate fields beyond typing:
//   - Ctrl+V (and Shift+Insert, and "Вставить" of the field's own menu) with
//     a list of coordinates on the clipboard fills the corners from the
//     field's row on, as one change of the document; a single number goes
//     into the field as any paste does;
//   - Shift+F10 or the context-menu key opens the corner menu ("Вставить
//     угол", "Удалить угол") at the field, as a right click on the row's
//     caption does.
#pragma once

#include "geometry/polygon_document.h"
#include "main_window/coordinate_table.h"
#include "platform/services/services.h"

#include <QHash>
#include <QObject>
#include <QPoint>

#include <functional>

class QLineEdit;

namespace tarvel::main_window {

class CoordinateKeys : public QObject {
    Q_OBJECT
public:
    // Opens the corner menu for corner i at a screen position; the window
    // shows it.
    using CornerMenu = std::function<void(int corner, QPoint globalPos)>;

    // Watches the 40 fields of `table`; messages go over `owner`.
    CoordinateKeys(CoordinateTable &table, geometry::PolygonDocument &doc,
                   platform::Services &services, QWidget *owner, CornerMenu openCornerMenu);

    // Pastes the clipboard's text at the field of corner i: a list of
    // corners fills the corners from i on, or a message names the line that
    // stops it and nothing changes; any other text goes into the field.
    void paste(geometry::Axis axis, int i);

    // The messages, over `owner`, of a paste refused at a line.
    static QString notAPairText(int line);
    static QString tooManyText(int line);
    static const QString kTitle;

    // How a pasted list becomes the polygon: the window runs the change so
    // that the view takes the pasted corners in within its one redraw.
    using BringIn = std::function<void(const std::function<void()> &change)>;
    void setBringIn(BringIn bringIn) { bringIn_ = std::move(bringIn); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Place {
        geometry::Axis axis;
        int corner;
    };
    void openMenuAt(const Place &p);
    void showFieldMenu(const Place &p, const QPoint &globalPos);

    CoordinateTable &table_;
    geometry::PolygonDocument &doc_;
    platform::Services &services_;
    QWidget *owner_;
    CornerMenu openCornerMenu_;
    BringIn bringIn_ = [](const std::function<void()> &change) { change(); };
    QHash<QObject *, Place> places_;
};

} // namespace tarvel::main_window
