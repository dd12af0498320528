// The view of the polygon beside the document: the drawing's scale and its
// mapping onto the window, the step of the move buttons, the current corner
// with its highlight, the measured pair of corners and a corner being
// dragged. One copy, owned by the main window: its fields write it, the
// drawing, the moves, the mouse and the printed page read it. The unit of
// the coordinates is the document's, not the view's.
#pragma once

#include "geometry/numtext.h"

#include <QString>

#include <cmath>
#include <optional>

namespace tarvel::main_window {

struct ViewState {
    // ---- the mapping: a plane point (X, Y) is drawn at form position
    // x = scaleFactor() * X + originX, y = -scaleFactor() * Y + originY (twips)
    double originX = 3540; // the crossing of the axes
    double originY = 10080;
    float twipsPerMm = 56.692f;

    // ---- the scale: coordinate units in a centimetre of drawing ----
    QString scaleText; // as the scale field holds it
    float scale = 10;  // the last text that was a usable scale
    // Takes a scale text; only a positive number whose drawing factor is
    // finite becomes the scale (anything else leaves the last one). True
    // when it did.
    bool applyScale(const QString &text) {
        scaleText = text;
        const auto m = geometry::textToSingle(text);
        if (!m || !(*m > 0) || !std::isfinite(factorFor(*m))) return false;
        scale = *m;
        return true;
    }
    // Whether the scale text, as it stands, is a usable scale.
    bool scaleTextUsable() const {
        const auto m = geometry::textToSingle(scaleText);
        return m && *m > 0 && std::isfinite(factorFor(*m));
    }
    // Twips of drawing per coordinate unit, computed in single precision
    // as 10 / scale * twipsPerMm.
    double scaleFactor() const { return factorFor(scale); }

    // ---- the step of the move buttons, as its field holds it ----
    QString stepText = QStringLiteral("1");
    std::optional<double> step() const { return geometry::textToDouble(stepText); }

    // ---- the current corner (0: none) and its highlight ----
    int currentCorner = 0;
    // The corner whose marker the last highlight showed, and the corner
    // whose angle caption stands out (a change of the count turns that one
    // plain until the next highlight).
    int markedCorner = 0;
    int redAngle = 0;

    // ---- the measuring line between two corners, until the next redraw ----
    struct Pair {
        int a = 0, b = 0;
        bool operator==(const Pair &) const = default;
    };
    std::optional<Pair> measured;

    // ---- a corner's marker or angle caption on its way under the mouse ----
    struct Drag {
        int corner = 0;
        bool angle = false;    // the angle caption, else the marker
        double dx = 0, dy = 0; // twips travelled
        bool operator==(const Drag &) const = default;
    };
    std::optional<Drag> drag;

private:
    float factorFor(float m) const {
        const float k = 10.0f / m;
        return k * twipsPerMm;
    }
};

} // namespace tarvel::main_window
