#include "main_window/print_page.h"

#include "geometry/numtext.h"
#include "main_window/drawing_surface.h"
#include "platform/controls/colours.h"

#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <array>
#include <cmath>
#include <initializer_list>

namespace tarvel {

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

void drawCaption(QPainter &p, const platform::Label &label, double pixelsPerTwip) {
    if (!label.Visible() || label.Caption().isEmpty()) return;
    const double x = label.Left() * pixelsPerTwip;
    const double y = label.Top() * pixelsPerTwip;
    if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 1e7 || std::abs(y) > 1e7) return;
    QFont f = platform::defaultFont(label.FontSize() > 0 ? label.FontSize() : 8);
    p.setFont(f);
    p.setPen(platform::toQColor(label.ForeColor()));
    p.drawText(QRectF(x, y, 1e5, 1e5), Qt::AlignLeft | Qt::AlignTop, label.Caption());
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
    const QRectF ownerRect = p.boundingRect(
        QRectF(area.left(), area.top(), area.width(), area.height() / 4), ownerFlags, texts.owner);
    p.drawText(QRectF(area.left(), area.top(), area.width(), ownerRect.height()), ownerFlags,
               texts.owner);
    const double below = area.top() + ownerRect.height() + gap;

    // The table: one row per corner and two lines for the area and the scale.
    const QFont tableFont = platform::defaultFont(9);
    const double rowHeight = QFontMetricsF(tableFont, p.device()).height() * 1.35;
    const double tableHeight = (n + 1 + 3) * rowHeight;
    const double tableWidth = 95 * dotsPerMm;
    // A page wider than high takes the table beside the drawing, else below it.
    const bool beside = area.width() > area.height();
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

    paintDrawing(p, frame, dotsPerMm);
    paintTable(p, table, rowHeight, dotsPerMm);
    p.restore();
}

void PrintPage::paintDrawing(QPainter &p, const QRectF &frame, double dotsPerMm) const {
    const int n = doc.cornerCount();
    // The drawing to scale: the screen shows TwipsPerMm twips in a
    // millimetre of drawing, and so must the paper.
    const double twipsPerMm = state.TwipsPerMm > 0 ? state.TwipsPerMm : 56.692;
    const double s = dotsPerMm / twipsPerMm; // device dots per twip
    if (frame.width() > 0 && frame.height() > 0) {
        const double ox = state.OriginX, oy = state.OriginY;
        // The drawn corners (the edges start at them), with room for their labels.
        double minX = ox, maxX = ox, minY = oy, maxY = oy;
        bool any = false;
        for (int i = 1; i <= n; ++i) {
            const double x = plot.edge(i)->X1(), y = plot.edge(i)->Y1();
            if (!std::isfinite(x) || !std::isfinite(y)) continue;
            minX = any ? std::min(minX, x) : x;
            maxX = any ? std::max(maxX, x) : x;
            minY = any ? std::min(minY, y) : y;
            maxY = any ? std::max(maxY, y) : y;
            any = true;
        }
        constexpr double kRoom = 600;
        minX -= kRoom;
        maxX += kRoom;
        minY -= kRoom;
        maxY += kRoom;
        const double left = placeWindow(
            {{std::min(minX, ox - 900), maxX}, {std::min(minX, ox - 60), maxX}, {minX, maxX}},
            frame.width() / s, false);
        const double top = placeWindow(
            {{minY, std::max(maxY, oy + 500)}, {minY, std::max(maxY, oy + 60)}, {minY, maxY}},
            frame.height() / s, true);

        p.save();
        p.setPen(QPen(QColor(160, 160, 160), 0.2 * dotsPerMm));
        p.drawRect(frame);
        p.setClipRect(frame);
        p.translate(frame.left() - left * s, frame.top() - top * s);
        paintShapes(p, plot.picture(), plot.paintOrder(), s, std::max(1.0, 0.2 * dotsPerMm));
        // Corner markers, then the labels of the drawing.
        const double marker = 1.2 * dotsPerMm;
        for (int i = 1; i <= n; ++i) {
            const double x = plot.edge(i)->X1() * s;
            const double y = plot.edge(i)->Y1() * s;
            if (!std::isfinite(x) || !std::isfinite(y) || std::abs(x) > 1e7 || std::abs(y) > 1e7)
                continue;
            p.fillRect(QRectF(x - marker / 2, y - marker / 2, marker, marker), Qt::black);
        }
        for (int i = 1; i <= n; ++i) {
            drawCaption(p, *plot.numberLabel(i), s);
            drawCaption(p, *plot.lengthLabel(i), s);
            drawCaption(p, *plot.angleLabel(i), s);
        }
        for (int k = 0; k < 4; ++k) {
            drawCaption(p, *plot.xScaleLabel(k), s);
            drawCaption(p, *plot.yScaleLabel(k), s);
        }
        drawCaption(p, *plot.xAxisLabel(), s);
        drawCaption(p, *plot.yAxisLabel(), s);
        drawCaption(p, *plot.measureLabel(), s);
        p.restore();
    }
}

void PrintPage::paintTable(QPainter &p, const QRectF &table, double rowHeight,
                           double dotsPerMm) const {
    const int n = doc.cornerCount();
    const geometry::PolygonTexts &texts = doc.texts();
    const QFont tableFont = platform::defaultFont(9);
    const geometry::Measures &m = doc.measures();

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
    for (int i = 1; i <= n; ++i) {
        const int next = i == n ? 1 : i + 1;
        drawRow(i,
                {QString::number(i), texts.x[i].trimmed(), texts.y[i].trimmed(),
                 QString::number(i) + QStringLiteral("-") + QString::number(next),
                 formatNumber(m.SideLen[i], kFieldPattern).trimmed()},
                false);
    }

    QFont totals = tableFont;
    totals.setBold(true);
    p.setFont(totals);
    const double totalsTop = table.top() + (n + 1.5) * rowHeight;
    p.drawText(QRectF(table.left(), totalsTop, table.width() * 2, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Площадь: ") + formatNumber(doc.area(), kAreaPattern).trimmed() +
                   QLatin1Char(' ') + areaUnit);
    p.setFont(tableFont);
    p.drawText(QRectF(table.left(), totalsTop + rowHeight, table.width() * 2, rowHeight),
               Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Масштаб: в 1 см ") + scaleText.trimmed() + QLatin1Char(' ') + unit);
}

} // namespace tarvel
