#include "main_window/print_page.h"

#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"
#include "drawing/drawing_surface.h"
#include "drawing/view_fit.h"
#include "platform/controls/colours.h"

#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace tarvel::main_window {

using geometry::formatNumber, geometry::kFieldPattern, geometry::kAreaPattern;

namespace {

// One axis of the paper's window into the drawing: a span that must be seen
// (the polygon with room for its labels, stretched to take in the axes).
struct Span {
    double low, high;
};

// Where the window of the given size starts along one axis. The wanted spans
// come in order of preference (axes with their scale labels, the axis line
// alone, the polygon alone); the first that fits lies against its low end,
// or its high end for the vertical axis, where the X axis is the bottom.
// When not even the polygon fits, the window is centred on it.
double placeWindow(std::initializer_list<Span> wanted, double size, bool againstHigh) {
    for (const Span &w : wanted)
        if (w.high - w.low <= size) return againstHigh ? w.high - size : w.low;
    const Span &polygon = *(wanted.end() - 1);
    return (polygon.low + polygon.high) / 2 - size / 2;
}

} // namespace

void PrintPage::paint(QPainter &p, int dpi) const {
    if (dpi <= 0 || !p.device()) return;
    const double dotsPerMm = dpi / 25.4;
    const double margin = 10 * dotsPerMm;
    const QRectF area(margin, margin, p.device()->width() - 2 * margin,
                      p.device()->height() - 2 * margin);
    if (area.width() <= 0 || area.height() <= 0) return;
    const double gap = 4 * dotsPerMm;
    const int n = doc.cornerCount();
    const geometry::PolygonTexts &texts = doc.texts();

    p.save();
    p.setPen(Qt::black);

    // The owner text above everything.
    QFont ownerFont = platform::defaultFont(11);
    ownerFont.setBold(true);
    p.setFont(ownerFont);
    const int ownerFlags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
    // The label's prompt, never edited, is no owner: the page has no title.
    const QString owner = texts.owner == geometry::defaultPolygon().owner ? QString() : texts.owner;
    const QRectF ownerRect =
        owner.isEmpty()
            ? QRectF()
            : p.boundingRect(QRectF(area.left(), area.top(), area.width(), area.height() / 4),
                             ownerFlags, owner);
    if (!owner.isEmpty())
        p.drawText(QRectF(area.left(), area.top(), area.width(), ownerRect.height()), ownerFlags,
                   owner);
    const double below = area.top() + (owner.isEmpty() ? 0 : ownerRect.height() + gap);

    // The table: one row per corner and two lines for the area and the scale.
    // A long table keeps what fits below the drawing and runs on over pages
    // of its own, each with the heading.
    const QFont tableFont = platform::defaultFont(9);
    const double rowHeight = QFontMetricsF(tableFont, p.device()).height() * 1.35;
    const double tableWidth = 95 * dotsPerMm;
    auto *pages = dynamic_cast<QPagedPaintDevice *>(p.device());
    // Rows a part of the table of `height` holds, heading and totals aside.
    const auto rowsIn = [&](double height) { return std::max(1, int(height / rowHeight) - 4); };
    // A page wider than high takes the table beside the drawing, else below it.
    const bool beside = area.width() > area.height();
    const double leastDrawing = std::min(120 * dotsPerMm, (area.bottom() - below) / 2);
    int firstRows = n;
    if (!beside && (n + 4) * rowHeight > area.bottom() - below - leastDrawing - gap)
        firstRows = rowsIn(area.bottom() - below - leastDrawing - gap);
    if (beside && (n + 4) * rowHeight > area.bottom() - below) firstRows = rowsIn(area.bottom() - below);
    // Without pages (a picture) the table shows what fits.
    const bool runsOn = firstRows < n && pages;
    const double tableHeight = (std::min(firstRows, n) + 1 + 3) * rowHeight;
    QRectF frame, table;
    if (beside) {
        frame = QRectF(area.left(), below, area.width() - tableWidth - gap, area.bottom() - below);
        table = QRectF(frame.right() + gap, below, tableWidth, area.bottom() - below);
    } else {
        const double height = std::min(area.bottom() - below - tableHeight - gap, 180 * dotsPerMm);
        frame = QRectF(area.left(), below, area.width(), height);
        table = QRectF(area.left(), frame.bottom() + gap, std::min(area.width(), tableWidth),
                       tableHeight);
    }

    const QString scaleText = paintDrawing(p, frame, dotsPerMm);
    paintTable(p, table, rowHeight, dotsPerMm, 1, firstRows, !runsOn, scaleText);
    for (int first = firstRows + 1; runsOn && first <= n;) {
        pages->newPage();
        const int last = std::min(n, first - 1 + rowsIn(area.height()));
        paintTable(p, QRectF(area.left(), area.top(), std::min(area.width(), tableWidth),
                             area.height()),
                   rowHeight, dotsPerMm, first, last, last == n, scaleText);
        first = last + 1;
    }
    p.restore();
}

QString PrintPage::paintDrawing(QPainter &p, const QRectF &frame, double dotsPerMm) const {
    if (frame.width() <= 0 || frame.height() <= 0) return view.scaleCaption();
    ViewState still = view;
    still.drag.reset();
    // The drawing to scale: the screen shows twipsPerMm twips in a
    // millimetre of drawing, and so must the paper.
    const double twipsPerMm = view.twipsPerMm > 0 ? double(view.twipsPerMm) : double(kTwipsPerMm);
    const double s = dotsPerMm / twipsPerMm; // device dots per twip
    // The page has axes of its own, at round values just below the polygon,
    // whatever part of the plane the screen shows: a polygon drawn far from
    // its axes would leave the page with an outline and nothing else. The
    // scale is the screen's when the polygon fits the page so, else the
    // first common scale above it that does.
    const double ox = kCrossX, oy = kCrossY;
    constexpr double kRoom = 600;        // room for the captions round the corners
    constexpr double kScaleRoomX = 900;  // left of the Y axis, for its values
    constexpr double kScaleRoomY = 500;  // below the X axis, for its values
    if (const auto bounds = polygonBounds(doc)) {
        std::vector<float> scales{still.scale};
        for (float common : ViewState::kCommonScales)
            if (common > still.scale) scales.push_back(common);
        const double twipsPerCm = twipsPerMm * 10;
        const DrawingExtent page{
            std::min(kDrawingWidthCm, (frame.width() / s - kScaleRoomX) / twipsPerCm),
            std::min(kDrawingHeightCm, (frame.height() / s - kScaleRoomY) / twipsPerCm)};
        const ViewPlacement at = bestView(*bounds, placementOf(still), scales, page);
        still.moveAxes(at.axisX, at.axisY);
        still.applyScale(geometry::plainText(at.scale));
    }
    const DrawingLayout layout = layOutDrawing(doc, still, settings, measure);
    // The drawn corners, with room for their captions.
    double minX = ox, maxX = ox, minY = oy, maxY = oy;
    bool any = false;
    for (const DrawingLayout::Corner &c : layout.corners) {
        if (!drawable(c.x, c.y)) continue;
        minX = any ? std::min(minX, c.x) : c.x;
        maxX = any ? std::max(maxX, c.x) : c.x;
        minY = any ? std::min(minY, c.y) : c.y;
        maxY = any ? std::max(maxY, c.y) : c.y;
        any = true;
    }
    minX -= kRoom;
    maxX += kRoom;
    minY -= kRoom;
    maxY += kRoom;
    const double left = placeWindow(
        {{std::min(minX, ox - kScaleRoomX), maxX}, {std::min(minX, ox - 60), maxX}, {minX, maxX}},
        frame.width() / s, false);
    const double top = placeWindow(
        {{minY, std::max(maxY, oy + kScaleRoomY)}, {minY, std::max(maxY, oy + 60)}, {minY, maxY}},
        frame.height() / s, true);

    p.save();
    p.setPen(QPen(QColor(160, 160, 160), 0.2 * dotsPerMm));
    p.drawRect(frame);
    p.setClipRect(frame);
    p.translate(frame.left() - left * s, frame.top() - top * s);
    PaintStyle style;
    style.unitsPerTwip = s;
    style.penWidth = std::max(1.0, 0.2 * dotsPerMm);
    style.screen = false;
    style.cornerSquare = 1.2 * dotsPerMm;
    main_window::paintDrawing(p, layout, picture, style);
    p.restore();
    return still.scaleCaption();
}

void PrintPage::paintTable(QPainter &p, const QRectF &table, double rowHeight, double dotsPerMm,
                           int first, int last, bool totals, const QString &scaleText) const {
    const int n = doc.cornerCount();
    const geometry::PolygonTexts &texts = doc.texts();
    const QFont tableFont = platform::defaultFont(9);
    const geometry::Measures &m = doc.measures();
    // The unit is the document's, written as documents write it.
    const QString unit = geometry::unitSymbol(doc.unit());
    const QString areaUnit = geometry::squareUnitSymbol(doc.unit());

    p.setFont(tableFont);
    p.setPen(Qt::black);
    const std::array<double, 5> columnWidth = {0.10, 0.22, 0.22, 0.20, 0.26};
    auto drawRow = [&](int row, const std::array<QString, 5> &cells, bool bold) {
        QFont f = tableFont;
        f.setBold(bold);
        p.setFont(f);
        double x = table.left();
        for (std::size_t c = 0; c < cells.size(); ++c) {
            const double w = columnWidth[c] * table.width();
            const QRectF cell(x, table.top() + row * rowHeight, w, rowHeight);
            p.drawRect(cell);
            p.drawText(cell.adjusted(dotsPerMm, 0, -dotsPerMm, 0),
                       (c == 0 ? Qt::AlignHCenter : Qt::AlignRight) | Qt::AlignVCenter, cells[c]);
            x += w;
        }
    };
    drawRow(0,
            {QStringLiteral("№"), QStringLiteral("X, ") + unit, QStringLiteral("Y, ") + unit,
             QStringLiteral("Сторона"), QStringLiteral("Длина, ") + unit},
            true);
    for (int i = first; i <= last; ++i) {
        const int next = i == n ? 1 : i + 1;
        drawRow(i - first + 1,
                {QString::number(i), texts.x[i].trimmed(), texts.y[i].trimmed(),
                 QString::number(i) + QStringLiteral("-") + QString::number(next),
                 formatNumber(m.SideLen[i], kFieldPattern).trimmed()},
                false);
    }

    if (!totals) return;
    QFont bold = tableFont;
    bold.setBold(true);
    p.setFont(bold);
    const double totalsTop = table.top() + (last - first + 2.5) * rowHeight;
    p.drawText(QRectF(table.left(), totalsTop, table.width() * 2, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Площадь: ") + formatNumber(doc.area(), kAreaPattern).trimmed() +
                   QLatin1Char(' ') + areaUnit);
    p.setFont(tableFont);
    p.drawText(QRectF(table.left(), totalsTop + rowHeight, table.width() * 2, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Масштаб: в 1 см ") + scaleText.trimmed() + QLatin1Char(' ') +
                   unit);
}

} // namespace tarvel::main_window
