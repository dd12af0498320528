// The one copy of the public state that every window shares: the polygon
// model (the flags that coordinate editing, the view mapping, the measures
// of the last recompute, the shifted corners of the last move to the origin
// or geographic conversion) and the setting variables. The main window owns
// the corner texts themselves; this holds only what is derived or shared.
#pragma once

#include "files/settings.h"
#include "geometry/polygon.h"

#include <array>
#include <cstdint>

namespace tarvel {

struct SharedState {
    // ---- polygon model ----
    std::int16_t CornerCount = 20;
    std::int16_t Modified = 0;
    std::int16_t FieldsUpdating = 0;
    std::int16_t Dragging = 0;
    std::int16_t DragCorner = 0;
    double OriginX = 0; // twips: drawing position of the plane point (0, 0)
    double OriginY = 0;
    double ScaleFactor = 0; // twips per coordinate unit
    float TwipsPerMm = 0;
    float MapScale = 0;          // coordinate units per centimetre of drawing
    geometry::Measures measures; // SideLen, ChordLen, CornerCos, CornerAngle
    std::array<double, 21> ShiftedX{};
    std::array<double, 21> ShiftedY{};

    // ---- setting variables ----
    files::Settings settings;
};

} // namespace tarvel
