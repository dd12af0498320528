// The constants of the drawing's mapping, in one place: where the axes cross
// on the window, how many twips make a millimetre of drawing, how large the
// drawing is and where a corner's marker sits. Positions are twips of the
// window (15 twips to a screen pixel), x to the right and y down.
//
// A plane point (X, Y) is drawn at
//   x = kCrossX + f * (X - axisX),  y = kCrossY - f * (Y - axisY)
// with f = 10 / scale * kTwipsPerMm twips per coordinate unit (view_state.h
// holds the axes' origin and the scale).
#pragma once

namespace tarvel::drawing {

// The axes cross here, whatever plane point the crossing shows.
inline constexpr double kCrossX = 3540, kCrossY = 10080;
// The axes' far ends: the vertical axis starts at kAxisTop, the horizontal
// one ends at kAxisRight.
inline constexpr double kAxisTop = 480, kAxisRight = 15420;
// Twips in a millimetre of drawing (566.92 in a centimetre).
inline constexpr float kTwipsPerMm = 56.692f;
// The centimetre grid beside the axes: this many centimetres across and up
// from their crossing, with a labelled tick every kTickCm.
inline constexpr double kDrawingWidthCm = 20;
inline constexpr double kDrawingHeightCm = 17;
inline constexpr double kTickCm = 5;
// A corner's marker: its top left lies this far up and left of the corner.
inline constexpr double kMarkerOffset = 35;

} // namespace tarvel::drawing
