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

bool liesInView(const PlaneBounds &b, const ViewPlacement &view) {
    const double m = view.scale;
    if (!(m > 0) || !std::isfinite(m)) return false;
    // Along the horizontal axis X, or Y when north is up.
    const double acrossX = (view.northUp ? kDrawingHeightCm : kDrawingWidthCm) * m;
    const double acrossY = (view.northUp ? kDrawingWidthCm : kDrawingHeightCm) * m;
    return b.minX >= view.axisX && b.maxX <= view.axisX + acrossX && b.minY >= view.axisY &&
           b.maxY <= view.axisY + acrossY;
}

double roundOrigin(double low, float scale) {
    const double tick = kTickCm * double(scale);
    if (!(tick > 0) || !std::isfinite(low)) return 0;
    const double origin = std::floor(low / tick) * tick;
    // A multiple as large as the value itself may round above it.
    return origin > low ? origin - tick : origin;
}

std::optional<ViewPlacement> fitView(const PlaneBounds &b, const ViewPlacement &view,
                                     const std::vector<float> &scales) {
    if (liesInView(b, view)) return std::nullopt;
    std::vector<float> candidates{view.scale};
    for (float s : scales)
        if (s > view.scale && std::isfinite(s)) candidates.push_back(s);
    std::sort(candidates.begin() + 1, candidates.end());
    ViewPlacement at = view;
    for (float s : candidates) {
        if (!(s > 0)) continue;
        at.scale = s;
        at.axisX = roundOrigin(b.minX, s);
        at.axisY = roundOrigin(b.minY, s);
        if (liesInView(b, at)) break;
    }
    return at == view ? std::nullopt : std::optional(at);
}

std::optional<ViewPlacement> fitPolygon(const geometry::PolygonDocument &doc, const ViewState &view,
                                        const QStringList &scales) {
    const geometry::CornerValues &v = doc.values();
    std::vector<double> X, Y;
    for (int i = 1; i <= std::clamp(v.n, 0, geometry::kMaxCorners); ++i) {
        X.push_back(v.X[std::size_t(i)]);
        Y.push_back(v.Y[std::size_t(i)]);
    }
    const auto bounds = boundsOf(X, Y);
    if (!bounds) return std::nullopt;
    std::vector<float> list;
    for (const QString &text : scales)
        if (const auto m = geometry::textToSingle(text)) list.push_back(*m);
    return fitView(*bounds, {view.axisX, view.axisY, view.scale, view.northUp}, list);
}

bool takeInWholePolygon(ViewState &view, const geometry::PolygonDocument &doc,
                        platform::ComboBox &scaleList, platform::TextBox &scaleField) {
    QStringList scales;
    for (int i = 0; i < scaleList.ListCount(); ++i)
        scales << scaleList.List(i);
    const auto fit = fitPolygon(doc, view, scales);
    if (!fit) return false;
    view.moveAxes(fit->axisX, fit->axisY);
    if (fit->scale != view.scale) {
        const QString text = geometry::plainText(fit->scale);
        scaleList.setText(text);
        const auto apply = std::exchange(scaleField.Change, nullptr);
        scaleField.setText(text);
        scaleField.Change = apply;
        view.applyScale(text);
    }
    return true;
}

} // namespace tarvel::drawing
