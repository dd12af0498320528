#include "geometry/polygon_commands.h"

#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>

namespace tarvel::geometry {

QString unitText(Unit unit) {
    return unit == Unit::Kilometres ? QStringLiteral("КМ") : QStringLiteral("М");
}

QString unitSymbol(Unit unit) {
    return unit == Unit::Kilometres ? QStringLiteral("км") : QStringLiteral("м");
}

QString squareUnitSymbol(Unit unit) {
    return unitSymbol(unit) + QChar(0x00B2);
}

std::vector<ContourTexts> plotContours(const PolygonTexts &t) {
    std::vector<ContourTexts> all = t.others;
    const std::size_t at = std::size_t(std::clamp(t.place, 0, int(all.size())));
    all.insert(all.begin() + std::ptrdiff_t(at), ContourTexts{t.count, t.x, t.y, t.hole, t.names});
    return all;
}

PolygonTexts plotOf(std::vector<ContourTexts> contours, const QString &owner, int edited) {
    PolygonTexts t;
    t.owner = owner;
    if (contours.empty()) return t;
    const std::size_t k = std::size_t(std::clamp(edited, 0, int(contours.size()) - 1));
    ContourTexts &one = contours[k];
    t.count = std::move(one.count);
    t.x = std::move(one.x);
    t.y = std::move(one.y);
    t.hole = one.hole;
    t.names = std::move(one.names);
    t.place = int(k);
    contours.erase(contours.begin() + std::ptrdiff_t(k));
    t.others = std::move(contours);
    return t;
}

PolygonTexts withContourEdited(const PolygonTexts &t, int countInForce, int k) {
    if (k == t.place || k < 0 || k >= contourCount(t)) return t;
    PolygonTexts kept = t;
    kept.count = QString::number(countInForce);
    PolygonTexts switched = plotOf(plotContours(kept), t.owner, k);
    switched.info = t.info;
    return switched;
}

bool samePlot(const PolygonTexts &a, const PolygonTexts &b) {
    if (a.place == b.place) return a == b;
    return a.owner == b.owner && a.info == b.info && plotContours(a) == plotContours(b);
}

PolygonTexts defaultPolygon() {
    static constexpr int kX[20] = {26,  26,  6,   6,   96,  101, 106, 114, 118, 126,
                                   176, 176, 140, 140, 176, 176, 96,  96,  76,  76};
    static constexpr int kY[20] = {30, 5,  5,  90, 90, 110, 90, 90, 110, 90,
                                   90, 70, 70, 50, 50, 30,  30, 5,  5,   30};
    PolygonTexts t;
    const int n = PolygonState{}.corners;
    t.count = QString::number(n);
    for (int i = 1; i <= n; ++i) {
        t.x[std::size_t(i)] = QString::number(kX[i - 1]) + QStringLiteral(",00");
        t.y[std::size_t(i)] = QString::number(kY[i - 1]) + QStringLiteral(",00");
    }
    t.owner = QStringLiteral("Сюда можно ввести информацию о собственнике. Кликните мышкой "
                             "чтобы отредактировать надпись");
    return t;
}

namespace {

QString &textOf(PolygonTexts &t, Axis axis, int i) {
    return axis == Axis::X ? t.x[std::size_t(i)] : t.y[std::size_t(i)];
}

int cornersOf(const PolygonState &s) {
    return std::clamp(s.corners, kMinCorners, kMaxCorners);
}

bool isCorner(const PolygonState &s, int p) {
    return p >= 1 && p <= cornersOf(s);
}

using Corners = CornerValues;

Corners readCorners(const PolygonState &s) {
    return cornerValues(s);
}

CommandResult changed(PolygonState s) {
    return {std::move(s), Refusal::None};
}

CommandResult refused(Refusal why) {
    return {std::nullopt, why};
}

// Coordinates moved, turned or mirrored as a whole are no longer in the
// system the plot came in: converted with it, they would land elsewhere on
// the earth.
void forgetSystem(PolygonState &s) {
    s.texts.info.coordinateSystem.clear();
    s.texts.info.systemDefinition.clear();
    s.texts.info.systemApproximate = false;
}

// The texts moved so that the smallest X and Y become 0; nothing when a
// text is not a number or a shifted value leaves the double range.
std::optional<PolygonState> movedToOrigin(PolygonState s) {
    const Corners c = readCorners(s);
    if (!c.complete) return std::nullopt;
    const Shift min = smallest(c.n, c.X.data(), c.Y.data());
    for (int i = 1; i <= c.n; ++i) {
        const std::size_t k = std::size_t(i);
        const double x = c.X[k] - min.minX, y = c.Y[k] - min.minY;
        if (!std::isfinite(x) || !std::isfinite(y)) return std::nullopt;
        s.texts.x[k] = plainText(roundHalfEven(x, 2));
        s.texts.y[k] = plainText(roundHalfEven(y, 2));
    }
    forgetSystem(s);
    return s;
}

// The last step of mirror and of the turns: the texts they computed, moved
// to the origin, or those texts as they are with the warning that the move
// was not possible.
CommandResult thenToOrigin(PolygonState s) {
    if (auto moved = movedToOrigin(s)) return changed(std::move(*moved));
    forgetSystem(s);
    return {std::move(s), Refusal::NotANumber};
}

} // namespace

bool readCornerRange(const PolygonTexts &t, std::size_t first, std::size_t end, Coordinates &X,
                     Coordinates &Y) {
    bool complete = true;
    for (std::size_t i = std::max<std::size_t>(first, 1); i < end; ++i) {
        const auto x = textToCoordinate(t.x[i]);
        const auto y = textToCoordinate(t.y[i]);
        complete = complete && x && y;
        X[i] = x.value_or(0);
        Y[i] = y.value_or(0);
    }
    return complete;
}

CornerValues cornerValues(const PolygonState &s) {
    CornerValues c;
    c.n = cornersOf(s);
    c.X.assign(std::size_t(c.n) + 1, 0.0);
    c.Y.assign(std::size_t(c.n) + 1, 0.0);
    c.complete = readCornerRange(s.texts, 1, std::size_t(c.n) + 1, c.X, c.Y);
    return c;
}

CommandResult moveToOrigin(const PolygonState &s) {
    if (auto moved = movedToOrigin(s)) return changed(std::move(*moved));
    return refused(Refusal::NotANumber);
}

CommandResult mirror(const PolygonState &s) {
    const Corners c = readCorners(s);
    if (!c.complete) return refused(Refusal::NotANumber);
    PolygonState t = s;
    for (int i = 1; i <= c.n; ++i)
        t.texts.x[std::size_t(i)] = plainText(0.0 - c.X[std::size_t(i)]);
    return thenToOrigin(t);
}

CommandResult turnQuarter(const PolygonState &s, bool clockwise) {
    Corners c = readCorners(s);
    if (!c.complete) return refused(Refusal::NotANumber);
    // An exact quarter turn: one through cos and sin of an approximate pi/2
    // would scale the polygon and shift far-away corners by decimetres.
    if (clockwise)
        rotateClockwise(c.n, c.X.data(), c.Y.data());
    else
        rotateAnticlockwise(c.n, c.X.data(), c.Y.data());
    PolygonState t = s;
    for (int i = 1; i <= c.n; ++i) {
        const std::size_t k = std::size_t(i);
        t.texts.x[k] = formatNumber(c.X[k], kFieldPattern);
        t.texts.y[k] = formatNumber(c.Y[k], kFieldPattern);
    }
    return thenToOrigin(t);
}

int cornerAfter(int p, int n) {
    return p == n ? 1 : p + 1;
}

CommandResult insertCorner(const PolygonState &s, int p) {
    const Corners c = readCorners(s);
    const int n = c.n;
    if (n >= kMaxCorners) return refused(Refusal::TooManyCorners);
    if (!isCorner(s, p)) return refused(Refusal::NoCorner);
    // Every text is written anew below: one that is not a number would
    // silently become 0.
    if (!c.complete) return refused(Refusal::NotANumber);
    const Point m = insertedCorner(p, n, c.X.data(), c.Y.data());
    PolygonState t = s;
    for (int k = 1, from = 1; k <= n + 1; ++k) {
        const bool inserted = k == p + 1;
        t.texts.x[std::size_t(k)] = plainText(inserted ? m.x : c.X[std::size_t(from)]);
        t.texts.y[std::size_t(k)] = plainText(inserted ? m.y : c.Y[std::size_t(from)]);
        // A named point keeps its name; the new one has none.
        if (inserted || !s.texts.names[std::size_t(from)].isEmpty() ||
            !t.texts.names[std::size_t(k)].isEmpty())
            t.texts.names[std::size_t(k)] = inserted ? QString() : s.texts.names[std::size_t(from)];
        if (!inserted) ++from;
    }
    t.texts.count = QString::number(n + 1);
    t.corners = n + 1;
    return changed(std::move(t));
}

CommandResult deleteCorner(const PolygonState &s, int p) {
    const int n = cornersOf(s);
    if (n <= kMinCorners) return refused(Refusal::TooFewCorners);
    if (!isCorner(s, p)) return refused(Refusal::NoCorner);
    PolygonState t = s;
    for (int i = p; i <= n - 1; ++i) {
        t.texts.x[std::size_t(i)] = s.texts.x[std::size_t(i + 1)];
        t.texts.y[std::size_t(i)] = s.texts.y[std::size_t(i + 1)];
        if (!s.texts.names[std::size_t(i)].isEmpty() || !s.texts.names[std::size_t(i + 1)].isEmpty())
            t.texts.names[std::size_t(i)] = s.texts.names[std::size_t(i + 1)];
    }
    if (!s.texts.names[std::size_t(n)].isEmpty()) t.texts.names[std::size_t(n)] = QString();
    t.texts.count = QString::number(n - 1);
    t.corners = n - 1;
    return changed(std::move(t));
}

CommandResult changeCount(const PolygonState &s, int delta) {
    const int n = cornersOf(s) + delta;
    if (n < kMinCorners || n > kMaxCorners) return {};
    PolygonState t = s;
    t.texts.count = QString::number(n);
    t.corners = n;
    return changed(std::move(t));
}

CommandResult clearCorners(const PolygonState &s) {
    PolygonState t = s;
    t.texts.x = TextColumn{};
    t.texts.y = TextColumn{};
    t.texts.names = TextColumn{};
    return changed(std::move(t));
}

namespace {

// Adds `delta` to the number in a text, written through the field pattern;
// a text that is not a number, or a sum beyond the double range, stays.
void addTo(QString &text, double delta) {
    const auto v = textToCoordinate(text);
    if (!v) return;
    const double moved = *v + delta;
    if (!std::isfinite(moved)) return;
    text = formatNumber(moved, kFieldPattern);
}

} // namespace

CommandResult moveCorners(const PolygonState &s, Axis axis, double delta) {
    PolygonState t = s;
    for (int i = 1; i <= cornersOf(s); ++i)
        addTo(textOf(t.texts, axis, i), delta);
    if (delta != 0) forgetSystem(t);
    return changed(std::move(t));
}

CommandResult moveCorner(const PolygonState &s, int p, Axis axis, double delta) {
    if (!isCorner(s, p)) return refused(Refusal::NoCorner);
    PolygonState t = s;
    addTo(textOf(t.texts, axis, p), delta);
    return changed(std::move(t));
}

CommandResult importCorners(const PolygonState &s, const TextColumn &x, const TextColumn &y,
                            int count) {
    PolygonState t = s;
    t.texts.x = x;
    t.texts.y = y;
    t.texts.names = {};
    t.corners = std::clamp(count, kMinCorners, kMaxCorners);
    t.texts.count = QString::number(t.corners);
    return changed(std::move(t));
}

CommandResult enterPlaneCorners(const PolygonState &s, int count, std::span<const double> x,
                                std::span<const double> y) {
    const auto text = [](double v) {
        return plainText(roundHalfEven(std::isfinite(v) ? v : 0.0, 2));
    };
    PolygonState t = s;
    t.corners = std::clamp(count, kMinCorners, kMaxCorners);
    t.texts.count = QString::number(t.corners);
    t.texts.names = {};
    for (std::size_t i = 1; i <= std::size_t(t.corners); ++i) {
        t.texts.x[i] = text(i < x.size() ? x[i] : 0.0);
        t.texts.y[i] = text(i < y.size() ? y[i] : 0.0);
    }
    t.unit = Unit::Metres;
    return changed(std::move(t));
}

CommandResult pasteCorners(const PolygonState &s, int from, const PastedTable &table) {
    using Kind = PastedTable::Kind;
    if (table.kind == Kind::BadLine) return {std::nullopt, Refusal::NotANumber, table.badLine};
    if (table.kind == Kind::TooMany) return {std::nullopt, Refusal::TooManyCorners, table.badLine};
    if (table.kind != Kind::Corners || table.corners.empty() || from < 1 || from > s.corners)
        return refused(Refusal::NoCorner);
    const std::size_t rows = table.corners.size();
    if (table.corners.back().contour > 0) {
        // Several contours, parted by blank lines: they are the plot, the
        // first one edited, wherever they were pasted.
        std::vector<ContourTexts> contours(std::size_t(table.corners.back().contour) + 1);
        std::vector<int> counts(contours.size(), 0);
        for (const PastedCorner &c : table.corners) {
            const std::size_t k = std::size_t(c.contour);
            const std::size_t i = std::size_t(++counts[k]);
            contours[k].x[i] = formatNumber(c.x, kFieldPattern);
            contours[k].y[i] = formatNumber(c.y, kFieldPattern);
            if (!c.name.isEmpty()) contours[k].names[i] = c.name;
        }
        for (std::size_t k = 0; k < contours.size(); ++k) {
            // A contour of fewer than three rows is a triangle, its missing
            // corners at zero, as an imported one is.
            for (int i = counts[k] + 1; i <= kMinCorners; ++i) {
                contours[k].x[std::size_t(i)] = formatNumber(0.0, kFieldPattern);
                contours[k].y[std::size_t(i)] = formatNumber(0.0, kFieldPattern);
            }
            contours[k].count = QString::number(std::max(counts[k], kMinCorners));
        }
        PolygonState t = s;
        t.texts = plotOf(std::move(contours), s.texts.owner);
        t.corners = std::max(counts[0], kMinCorners);
        return changed(std::move(t));
    }
    if (from - 1 + rows > std::size_t(kMaxCorners))
        return {std::nullopt, Refusal::TooManyCorners,
                table.corners[std::size_t(kMaxCorners - from + 1)].line};
    PolygonState t = s;
    for (std::size_t k = 0; k < rows; ++k) {
        const std::size_t i = std::size_t(from) + k;
        t.texts.x[i] = formatNumber(table.corners[k].x, kFieldPattern);
        t.texts.y[i] = formatNumber(table.corners[k].y, kFieldPattern);
        // A pasted row takes the name the table gives it, or none.
        if (!table.corners[k].name.isEmpty() || !t.texts.names[i].isEmpty())
            t.texts.names[i] = table.corners[k].name;
    }
    // A list pasted into the first row is the polygon; lower down it only
    // adds corners.
    const int last = from - 1 + int(rows);
    t.corners = from == 1 ? std::max(last, kMinCorners) : std::max(s.corners, last);
    t.texts.count = QString::number(t.corners);
    return changed(std::move(t));
}

} // namespace tarvel::geometry
