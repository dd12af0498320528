#include "drawing/plan_paint.h"

#include "platform/controls/controls.h"

#include <QPagedPaintDevice>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tarvel::drawing {

namespace {

class PagePainter {
public:
    PagePainter(QPainter &p, double dotsPerMm) : p_(p), s_(dotsPerMm) {
        // Fonts are given in points on paper: the device turns points into
        // dots at its own logical resolution, which may not be the
        // resolution the page is painted at (a preview on the screen).
        const int logical = p.device() ? p.device()->logicalDpiY() : 72;
        fontScale_ = s_ * 25.4 / (logical > 0 ? logical : 72);
    }

    void page(const PlanLayout &plan, const PlanPage &page, bool drawing) {
        if (drawing) this->drawing(plan);
        lines(page.lines);
        p_.setPen(Qt::NoPen);
        p_.setBrush(Qt::black);
        for (const QPolygonF &f : page.fills)
            p_.drawPolygon(scaled(f));
        p_.setBrush(Qt::NoBrush);
        texts(page.texts);
    }

private:
    QPointF at(QPointF mm) const { return mm * s_; }
    QRectF at(const QRectF &mm) const {
        return {mm.left() * s_, mm.top() * s_, mm.width() * s_, mm.height() * s_};
    }
    QPolygonF scaled(const QPolygonF &mm) const {
        QPolygonF out;
        out.reserve(mm.size());
        for (const QPointF &q : mm)
            out.append(q * s_);
        return out;
    }
    void pen(double widthMm) {
        if (widthMm == penWidth_) return;
        penWidth_ = widthMm;
        QPen pen(Qt::black, std::max(widthMm * s_, 0.5));
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        p_.setPen(pen);
    }

    // The plot, its corners and labels, cut at the frame.
    void drawing(const PlanLayout &plan) {
        p_.save();
        p_.setClipRect(at(plan.frame));
        p_.setRenderHint(QPainter::Antialiasing, true);
        pen(0.3);
        p_.setBrush(Qt::NoBrush);
        for (const PlanLayout::Ring &r : plan.rings)
            p_.drawPolygon(scaled(r.points));
        // The corners: small circles, white inside, over the lines.
        QPen markPen(Qt::black, std::max(0.15 * s_, 0.5));
        p_.setPen(markPen);
        p_.setBrush(Qt::white);
        const double radius = 0.6 * s_;
        for (const QPointF &c : plan.corners)
            p_.drawEllipse(at(c), radius, radius);
        p_.setBrush(Qt::NoBrush);
        penWidth_ = -1;
        texts(plan.labels);
        p_.restore();
        penWidth_ = -1;
        font_ = {};
    }

    void lines(const std::vector<PlanLine> &lines) {
        // Lines of one width go to the painter together.
        std::vector<QLineF> batch;
        double width = -1;
        const auto flush = [&] {
            if (!batch.empty()) p_.drawLines(batch.data(), int(batch.size()));
            batch.clear();
        };
        for (const PlanLine &l : lines) {
            if (l.widthMm != width) {
                flush();
                width = l.widthMm;
                pen(width);
            }
            batch.emplace_back(at(l.a), at(l.b));
        }
        flush();
    }

    void texts(const std::vector<PlanText> &texts) {
        p_.setPen(Qt::black);
        penWidth_ = -1;
        for (const PlanText &t : texts) {
            font(t.points, t.bold);
            const QRectF box = at(t.box);
            if (!t.upright) {
                p_.drawText(box, t.flags, t.text);
                continue;
            }
            // Reading upward: the box turned a quarter about its centre.
            p_.save();
            p_.translate(box.center());
            p_.rotate(-90);
            p_.drawText(QRectF(-box.height() / 2, -box.width() / 2, box.height(), box.width()),
                        t.flags, t.text);
            p_.restore();
        }
    }

    void font(double points, bool bold) {
        if (font_ && fontPoints_ == points && fontBold_ == bold) return;
        QFont f = platform::defaultFont();
        f.setPointSizeF(points * fontScale_);
        f.setBold(bold);
        p_.setFont(f);
        font_ = true;
        fontPoints_ = points;
        fontBold_ = bold;
    }

    QPainter &p_;
    const double s_;
    double fontScale_ = 1;
    double penWidth_ = -1;
    bool font_ = false;
    double fontPoints_ = 0;
    bool fontBold_ = false;
};

} // namespace

void paintPlanPage(QPainter &p, const PlanLayout &plan, int page, double dotsPerMm) {
    if (page < 0 || page >= plan.pageCount() || !(dotsPerMm > 0)) return;
    p.save();
    PagePainter(p, dotsPerMm).page(plan, plan.pages[std::size_t(page)], page == 0);
    p.restore();
}

void paintPlan(QPainter &p, const PlanLayout &plan, int dpi) {
    if (dpi <= 0 || !p.device()) return;
    const double dotsPerMm = dpi / 25.4;
    auto *pages = dynamic_cast<QPagedPaintDevice *>(p.device());
    p.save();
    // A printer's painter starts at its printable area; the plan is laid
    // out on the whole sheet of paper.
    if (pages) {
        const QPageLayout layout = pages->pageLayout();
        const QRect paint = layout.paintRectPixels(dpi), full = layout.fullRectPixels(dpi);
        p.translate(full.topLeft() - paint.topLeft());
    }
    for (int k = 0; k < plan.pageCount(); ++k) {
        if (k > 0) {
            if (!pages) break;
            pages->newPage();
        }
        paintPlanPage(p, plan, k, dotsPerMm);
    }
    p.restore();
}

QSizeF planPaperOf(const QPainter &p) {
    if (auto *pages = dynamic_cast<QPagedPaintDevice *>(p.device())) {
        const QSizeF mm = pages->pageLayout().fullRect(QPageLayout::Millimeter).size();
        if (mm.width() > 0 && mm.height() > 0) return mm;
    }
    return {kA4WidthMm, kA4HeightMm};
}

} // namespace tarvel::drawing
