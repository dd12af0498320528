// Polygon states for the tests of the core's commands and checks.
#pragma once

#include "geometry/polygon_state.h"

#include <QString>

#include <cstddef>
#include <initializer_list>
#include <utility>

namespace tarvel::geometry {

using Corners = std::initializer_list<std::pair<const char *, const char *>>;

// Corners 1..n from texts, the count n in force; the hidden rows beyond
// hold `hidden`, so that a command that writes there, or a check that reads
// there, shows.
inline PolygonState polygonOf(Corners corners, const char *hidden) {
    PolygonState s;
    for (std::size_t i = 1; i <= 20; ++i)
        s.texts.x[i] = s.texts.y[i] = QString::fromUtf8(hidden);
    std::size_t i = 0;
    for (const auto &[x, y] : corners) {
        ++i;
        s.texts.x[i] = QString::fromUtf8(x);
        s.texts.y[i] = QString::fromUtf8(y);
    }
    s.corners = int(i);
    s.texts.count = QString::number(i);
    return s;
}

} // namespace tarvel::geometry
