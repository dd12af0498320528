// What the user edits: the polygon's texts and the length unit they are read
// in. The editing commands (polygon_commands.h) map one such state to the
// next; the document (polygon_document.h) keeps it with its history.
//
// Pure code: no widgets.
#pragma once

#include "geometry/polygon.h"

#include <QString>

#include <array>

namespace tarvel::geometry {

// The texts of a polygon, as shown; index 0 of x and y is unused.
struct PolygonTexts {
    QString count;
    std::array<QString, 21> x{};
    std::array<QString, 21> y{};
    QString owner;

    bool operator==(const PolygonTexts &) const = default;
};

enum class Axis { X, Y };

// The length unit the coordinates are read in. It only names them: no
// number is converted when it changes. It is not kept in the polygon file.
enum class Unit { Metres, Kilometres };

// The unit's caption: "М" or "КМ".
QString unitText(Unit unit);

// The state an editing command reads and gives.
//   texts    the texts of the count, of corners 1..20 and of the owner;
//   unit     the length unit;
//   corners  the corner count in force, 3..20: the count text applied last.
//            A count text typed but not applied ("25", "") does not move
//            it. A command that changes the count writes its new count text
//            and sets `corners` to match.
struct PolygonState {
    PolygonTexts texts;
    Unit unit = Unit::Metres;
    int corners = kMaxCorners;

    bool operator==(const PolygonState &) const = default;
};

} // namespace tarvel::geometry
