// The view of the polygon beside the document: the drawing's scale and its
// mapping onto the window, the step of the move buttons, the current corner
// with its highlight, the measured pair of corners and a corner being
// dragged. One copy, owned by the main window: its fields write it, the
// drawing, the moves, the mouse and the printed page read it. The unit of
// the coordinates is the document's, not the view's.
#pragma once

#include "drawing/drawing_mapping.h"
#include "geometry/numtext.h"

#include <QPointF>
#include <QString>

#include <cmath>
#include <array>
#include <optional>

namespace tarvel::drawing {

struct ViewState {
    // ---- the mapping ----
    // The axes cross at form position (kCrossX, kCrossY) twips, and there the
    // drawing shows the plane point (axisX, axisY), the axes' origin. Drawn
    // as the program always drew, X runs to the right and Y upward:
    //   x = kCrossX + f * (X - axisX),  y = kCrossY - f * (Y - axisY);
    // north up, as survey plans are drawn, X runs upward and Y to the right:
    //   x = kCrossX + f * (Y - axisY),  y = kCrossY - f * (X - axisX),
    // with f = scaleFactor(). The coordinates never change with the view.
    // Where the plane point (0, 0) lies on the form, for code that maps with
    // x = f * X + originX, y = -f * Y + originY (the mapping when the axes'
    // origin is (0, 0) and X runs to the right). Kept up to date by
    // moveAxes(), setNorthUp() and applyScale(); read-only for the rest.
    double originX = kCrossX;
    double originY = kCrossY;
    float twipsPerMm = kTwipsPerMm;
    double axisX = 0, axisY = 0;
    bool northUp = false;

    // The form position (twips) of a plane point.
    QPointF toForm(double X, double Y) const {
        const double f = scaleFactor();
        const double along = f * ((northUp ? Y : X) - (northUp ? axisY : axisX));
        const double up = f * ((northUp ? X : Y) - (northUp ? axisX : axisY));
        return {kCrossX + along, kCrossY - up};
    }
    // The plane point drawn at a form position; nullopt without a usable
    // scale.
    std::optional<QPointF> toPlane(QPointF form) const {
        const double f = scaleFactor();
        if (!std::isfinite(f) || f == 0) return std::nullopt;
        const double along = (form.x() - kCrossX) / f, up = (kCrossY - form.y()) / f;
        if (northUp) return QPointF(axisX + up, axisY + along);
        return QPointF(axisX + along, axisY + up);
    }
    // The axes' crossing shows the plane point (x, y).
    void moveAxes(double x, double y) {
        axisX = x;
        axisY = y;
        updateOrigin();
    }
    void setNorthUp(bool on) {
        northUp = on;
        updateOrigin();
    }

    // The common scales the list offers, finest first.
    static constexpr std::array<float, 17> kCommonScales = {
        1, 2, 5, 10, 20, 25, 50, 100, 200, 400, 500, 1000, 1500, 2000, 3000, 5000, 10000};
    // ---- the scale: coordinate units in a centimetre of drawing ----
    // The one scale: the field and the list show it, the drawing, the
    // printed page and the sheet read it. A text typed into the field that
    // is not a usable scale leaves it as it was.
    float scale = 10;
    // Takes a scale text; only a positive number whose drawing factor is
    // finite becomes the scale (anything else leaves the last one). True
    // when it did.
    bool applyScale(const QString &text) {
        const auto m = geometry::textToSingle(text);
        if (!m || !(*m > 0) || !std::isfinite(factorFor(*m))) return false;
        scale = *m;
        updateOrigin();
        return true;
    }
    // The scale as captions write it: "12,5" for 12.5.
    QString scaleCaption() const { return geometry::plainText(scale); }
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
    // The drawing marks the current corner; true when that changed it.
    bool markCurrentCorner() {
        if (markedCorner == currentCorner && redAngle == currentCorner) return false;
        markedCorner = redAngle = currentCorner;
        return true;
    }
    // The angle caption of corners 1..n takes its plain look; true when one
    // stood out.
    bool plainAngleAmong(int n) {
        if (redAngle < 1 || redAngle > n) return false;
        redAngle = 0;
        return true;
    }

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

    // Every recompute removes a measurement; a marker or caption still under
    // the mouse (`dragging`) stays where the mouse holds it.
    void recomputed(bool dragging) {
        measured.reset();
        if (!dragging) drag.reset();
    }

private:
    void updateOrigin() {
        const QPointF zero = toForm(0, 0);
        originX = zero.x();
        originY = zero.y();
    }
    float factorFor(float m) const {
        const float k = 10.0f / m;
        return k * twipsPerMm;
    }
};

} // namespace tarvel::drawing
