#include "drawing/view_fit.h"

#include "geometry/numtext.h"
#include "geometry/polygon_document.h"
#include "drawing/view_state.h"
#include "platform/controls/controls.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tarvel::drawing {

std::optional<PlaneBounds> boundsOf(const std::vector<double> &X, const std::vector<double> &Y) {
    std::optional<PlaneBounds> b;
    for (std::size_t i = 0; i < std::min(X.size(), Y.size()); ++i) {
        const double x = X[i], y = Y[i];
        if (!std::isfinite(x) || !std::isfinite(y)) continue;
        if (!b) {
            b = PlaneBounds{x, x, y, y};
            continue;
        }
        b->minX = std::min(b->minX, x);
        b->maxX = std::max(b->maxX, x);
        b->minY = std::min(b->minY, y);
        b->maxY = std::max(b->maxY, y);
    }
    return b;
}

bool liesInView(const PlaneBounds &b, const ViewPlacement &view, const DrawingExtent &extent) {
    const double m = view.scale;
    if (!(m > 0) || !std::isfinite(m)) return false;
    // Along the horizontal axis X, or Y when north is up.
    const double acrossX = (view.northUp ? extent.upCm : extent.acrossCm) * m;
    const double acrossY = (view.northUp ? extent.acrossCm : extent.upCm) * m;
    return b.minX >= view.axisX && b.maxX <= view.axisX + acrossX && b.minY >= view.axisY &&
           b.maxY <= view.axisY + acrossY;
}

double roundOrigin(double low, float scale, double cm) {
    const double tick = cm * double(scale);
    if (!(tick > 0) || !std::isfinite(low)) return 0;
    const double origin = std::floor(low / tick) * tick;
    // A multiple as large as the value itself may round above it.
    return origin > low ? origin - tick : origin;
}

namespace {

// The origin along one axis for the span low..high to fit `cm` centimetres
// at scale `s`: at a tick multiple where that leaves room, else at a whole
// centimetre, which wastes less of a small page; nullopt (with the tick
// multiple in `origin`) when neither fits.
bool placeAlong(double low, double high, double cm, float s, double &origin) {
    const double fine = roundOrigin(low, s, 1);
    origin = roundOrigin(low, s);
    if (high <= origin + cm * double(s)) return true;
    if (high > fine + cm * double(s)) return false;
    origin = fine;
    return true;
}

} // namespace

ViewPlacement bestView(const PlaneBounds &b, const ViewPlacement &view,
                       const std::vector<float> &scales, const DrawingExtent &extent) {
    std::vector<float> candidates;
    for (float s : scales)
        if (s > 0 && std::isfinite(s)) candidates.push_back(s);
    if (candidates.empty()) candidates.push_back(view.scale);
    std::sort(candidates.begin(), candidates.end());
    // Along the horizontal axis X, or Y when north is up.
    const double cmX = view.northUp ? extent.upCm : extent.acrossCm;
    const double cmY = view.northUp ? extent.acrossCm : extent.upCm;
    ViewPlacement at = view;
    for (float s : candidates) {
        at.scale = s;
        const double room = kCaptionRoomCm * double(s);
        const bool fitsX = placeAlong(b.minX - room, b.maxX + room, cmX, s, at.axisX);
        const bool fitsY = placeAlong(b.minY - room, b.maxY + room, cmY, s, at.axisY);
        if (fitsX && fitsY) break;
    }
    return at;
}

std::optional<PlaneBounds> polygonBounds(const geometry::PolygonDocument &doc,
                                         const std::function<bool(int corner)> &counts) {
    const geometry::CornerValues &v = doc.values();
    std::vector<double> X, Y;
    const int n = std::clamp(v.n, 0, geometry::kMaxCorners);
    X.reserve(std::size_t(n));
    Y.reserve(std::size_t(n));
    for (int i = 1; i <= n; ++i)
        if (!counts || counts(i)) {
            X.push_back(v.X[std::size_t(i)]);
            Y.push_back(v.Y[std::size_t(i)]);
        }
    // The plot's other contours are shown with it.
    for (const geometry::CornerValues &other : doc.otherContours())
        for (int i = 1; i <= other.n; ++i) {
            X.push_back(other.X[std::size_t(i)]);
            Y.push_back(other.Y[std::size_t(i)]);
        }
    return boundsOf(X, Y);
}

std::vector<float> listedScales(const platform::ComboBox &scaleList) {
    std::vector<float> scales;
    for (int i = 0; i < scaleList.ListCount(); ++i)
        if (const auto m = geometry::textToSingle(scaleList.List(i))) scales.push_back(*m);
    return scales;
}

ViewPlacement placementOf(const ViewState &view) {
    return {view.axisX, view.axisY, view.scale, view.northUp};
}

bool moveView(ViewState &view, const ViewPlacement &to, platform::ComboBox &scaleList,
              platform::TextBox &scaleField) {
    if (placementOf(view) == to) return false;
    view.moveAxes(to.axisX, to.axisY);
    if (to.scale != view.scale) {
        const QString text = geometry::plainText(to.scale);
        scaleList.setText(text);
        const auto apply = std::exchange(scaleField.Change, nullptr);
        scaleField.setText(text);
        scaleField.Change = apply;
        view.applyScale(text);
    }
    return true;
}

} // namespace tarvel::drawing
