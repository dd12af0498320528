// The state every window shares beside the polygon document: the view
// mapping of the drawing and the setting variables.
#pragma once

#include "files/settings.h"
#include "geometry/polygon.h"

#include <array>
#include <cstdint>

namespace tarvel {

struct SharedState {
    // ---- the drawing ----
    double OriginX = 0; // twips: drawing position of the plane point (0, 0)
    double OriginY = 0;
    double ScaleFactor = 0; // twips per coordinate unit
    float TwipsPerMm = 0;
    float MapScale = 0; // coordinate units per centimetre of drawing

    // ---- setting variables ----
    files::Settings settings;
};

} // namespace tarvel
