#include "main_window/plot_view.h"

#include "main_window/drawing_surface.h"

#include <QPainter>

namespace tarvel {

PlotView::PlotView(std::function<void()> repaint) : repaint_(std::move(repaint)) {
    picture_ = std::make_unique<platform::ImageShape>([this] {
        if (repaint_) repaint_();
    });
    picture_->setLeft(3540);
    // A caption takes the size a label of the window's face gives its text,
    // in whole pixels.
    measure_ = [this](const QString &text, double points) {
        // The same few captions come again and again (numbers, "90 град").
        if (points == 8)
            if (const auto known = sizes_.constFind(text); known != sizes_.cend()) return *known;
        std::optional<QFontMetrics> other;
        if (!metrics_ && points == 8) metrics_.emplace(platform::defaultFont(8));
        const QFontMetrics &fm =
            points == 8 ? *metrics_ : other.emplace(platform::defaultFont(points));
        const QSize size = fm.boundingRect(0, 0, 2000, 2000,
                                           Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, text)
                               .size();
        const QSizeF twips(size.width() * platform::kTwipsPerPixel,
                           size.height() * platform::kTwipsPerPixel);
        if (points == 8 && sizes_.size() < 4096) sizes_.insert(text, twips);
        return twips;
    };
}

void PlotView::draw(const geometry::PolygonDocument &doc, const ViewState &view,
                    const files::Settings &settings) {
    ++layouts_;
    layout_ = layOutDrawing(doc, view, settings, measure_, frame_);
    // The whole surface: one paint covers the drawing and the fields above
    // it that changed with it.
    if (repaint_) repaint_();
}

void PlotView::paint(QPainter &painter) const {
    paintDrawing(painter, layout_, picture_.get(), PaintStyle{});
}

} // namespace tarvel
