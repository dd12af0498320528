#include "main_window/plot_view.h"

#include "geometry/numtext.h"
#include "platform/controls/colours.h"

#include <QLabel>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace tarvel {

using geometry::textToSingle, geometry::plainText, geometry::roundHalfEven;

using platform::Label;
using platform::LineShape;

std::unique_ptr<LineShape> PlotView::makeLine() {
    return std::make_unique<LineShape>([this](double x1, double y1, double x2, double y2) {
        const auto px = [](double t) { return platform::twipsToPixels(t); };
        const QRect box = QRect(QPoint(px(x1), px(y1)), QPoint(px(x2), px(y2))).normalized();
        if (surface_) surface_->update(box.adjusted(-2, -2, 2, 2));
    });
}

PlotView::PlotView(QWidget *surface, std::function<void()> repaint)
    : surface_(surface), repaint_(std::move(repaint)) {
    auto label = [surface](double left, double top, const QString &caption) {
        auto l = std::make_unique<Label>(surface, true);
        l->move(left, top);
        l->setCaption(caption);
        return l;
    };
    Img_ = std::make_unique<platform::ImageShape>([this] {
        if (repaint_) repaint_();
    });
    Img_->setLeft(3540);

    Line1_ = makeLine();
    Line1_->setPoints(3540, 480, 3540, 10080);
    Line2_ = makeLine();
    Line2_->setPoints(3540, 10080, 15420, 10080);
    for (auto &l : Line5_)
        l = makeLine();
    for (auto &l : Line6_)
        l = makeLine();
    Line5_[0]->setPoints(0, 450, 0, 10050);
    Line5_[0]->setVisible(false);
    Line6_[0]->setVisible(false);
    for (int k = 0; k < 4; ++k) {
        Line3_[k] = makeLine();
        Line3_[k]->setPoints(0, 10080, 0, 10260);
        Line4_[k] = makeLine();
        Line4_[k]->setPoints(3540, 0, 3360, 0);
    }
    for (int i = 1; i <= 20; ++i) {
        L_[i] = makeLine();
        L_[i]->setBorderColor(255);
        L_[i]->setVisible(false);
    }
    Line7_ = makeLine();
    Line7_->setBorderColor(0xC000);
    Line7_->setVisible(false);

    for (int k = 0; k < 4; ++k) {
        LbshX_[k] = label(0, 10290, QString::number((k + 1) * 50));
        LbshY_[k] = label(0, 0, QString::number((k + 1) * 50));
        LbshY_[k]->setAlignment(Qt::AlignRight | Qt::AlignTop);
    }
    xName_ = label(15720, 9960, QStringLiteral("X"));
    yName_ = label(3450, 120, QStringLiteral("Y"));

    for (int i = 1; i <= 20; ++i) {
        Dl_[i] = label(0, 0, QString());
        Dl_[i]->setVisible(false);
        Nu_[i] = label(0, 0, QString::number(i));
        Nu_[i]->setForeColor(0xFF0000);
        Nu_[i]->setVisible(false);
        // Its caption is the angle, written by the first drawing.
        Tch_[i] = label(0, 0, QString());
        Tch_[i]->setForeColor(0xC000C0);
        Tch_[i]->setFontSize(8);
        Tch_[i]->setVisible(false);
        Shape_[i] = std::make_unique<Label>(surface, false);
        Shape_[i]->move(0, 0, 75, 75);
        Shape_[i]->setBackColor(platform::kSysWindowText);
        Shape_[i]->setTransparent(false);
        Shape_[i]->label()->setCursor(Qt::SizeAllCursor);
    }
    LbR_ = label(0, 0, QString());
    LbR_->setForeColor(0x8000);
    LbR_->setVisible(false);
}

PlotView::~PlotView() = default;

void PlotView::place(platform::Control &c, double left, double top) {
    // A position passes through single precision on its way to a control,
    // and a position that is not finite there (an overflowing coordinate)
    // is not applied at all.
    const float l = float(left);
    const float t = float(top);
    if (!std::isfinite(l) || !std::isfinite(t)) return;
    c.move(l, t);
}

void PlotView::draw(const geometry::PolygonDocument &doc, SharedState &st,
                    const QString &scaleText) {
    const geometry::CornerValues &v = doc.values();
    const int n = v.n;
    const geometry::CornerArray &X = v.X, &Y = v.Y;
    const geometry::Measures &m = doc.measures();

    // The scale: a text that is not a positive number leaves the drawing at
    // the last valid factor; the measures do not depend on it.
    if (const auto s = textToSingle(scaleText); s && *s > 0) {
        const float k = 10.0f / *s;
        const float factor = k * st.TwipsPerMm;
        if (std::isfinite(factor) && factor > 0) st.ScaleFactor = factor;
    }
    const double sf = st.ScaleFactor;
    const auto px = [&](int i) { return float(sf * X[i] + st.OriginX); };
    const auto py = [&](int i) { return float(-sf * Y[i] + st.OriginY); };

    for (int i = 1; i <= n; ++i) {
        const int next = i == n ? 1 : i + 1;
        L_[i]->setPoints(px(i), py(i), px(next), py(next));
        place(*Tch_[i], px(i), py(i));
        place(*Nu_[i], double(px(i)) + 50, double(py(i)) + 50);
        place(*Shape_[i], L_[i]->X1() - 35, L_[i]->Y1() - 35);
    }
    for (int i = 1; i <= n; ++i) {
        Dl_[i]->setCaption(plainText(roundHalfEven(m.SideLen[i], 2)));
        const LineShape &edge = *L_[i];
        place(*Dl_[i], sf * X[i] + st.OriginX + (edge.X2() - edge.X1()) * 0.5,
              -sf * Y[i] + st.OriginY + (edge.Y2() - edge.Y1()) * 0.5);
    }
    // A corner with a side of length 0 has no angle: its label stays empty.
    for (int i = 1; i <= n; ++i)
        Tch_[i]->setCaption(m.AngleDefined[i] ? plainText(roundHalfEven(m.CornerAngle[i], 1)) +
                                                    QStringLiteral(" град")
                                              : QString());

    // Visibility is decided once per element: edges and length labels of
    // corners 1..n are shown, everything above n hidden; the flags then hide
    // or show the labels of 1..n (a flag with another value leaves them as
    // that rule put them: angles and numbers hidden, lengths shown).
    // Switching each element only once spares the window a hide and a show
    // of every label at every keystroke.
    const files::Settings &s = st.settings;
    for (int i = 1; i <= 20; ++i) {
        const bool inPolygon = i <= n;
        L_[i]->setVisible(inPolygon);
        Tch_[i]->setVisible(inPolygon && s.ShowAngles == 1);
        Nu_[i]->setVisible(inPolygon && s.ShowNumbers == 1);
        Dl_[i]->setVisible(inPolygon && s.ShowLengths != 0);
    }
    hideMeasurement();
}

void PlotView::clearAngleHighlight(int n) {
    for (int i = 1; i <= std::min(n, 20); ++i) {
        Tch_[i]->setFontSize(8);
        Tch_[i]->setForeColor(0xC000C0);
    }
}

void PlotView::highlight(int corner, int n) {
    for (int i = 1; i <= std::min(n, 20); ++i) {
        Shape_[i]->setBackColor(platform::kSysWindowText);
        Shape_[i]->setWidth(75);
        Shape_[i]->setHeight(75);
    }
    clearAngleHighlight(n);
    if (corner < 1 || corner > 20) return;
    Shape_[corner]->setBackColor(0xC0C000);
    Shape_[corner]->setWidth(100);
    Shape_[corner]->setHeight(100);
    Tch_[corner]->setForeColor(255);
}

void PlotView::buildGrid(const SharedState &st) {
    // Vertical grid lines, one per centimetre.
    const double cm = double(st.TwipsPerMm) * 10;
    const std::uint32_t gridColour = st.settings.GridColour;
    Line5_[0]->setX1(st.OriginX);
    Line5_[0]->setX2(st.OriginX);
    for (int i = 1; i <= 20; ++i) {
        const double x = Line5_[i - 1]->X1() + cm;
        Line5_[i]->setPoints(x, Line5_[0]->Y1(), x, Line5_[0]->Y2());
        Line5_[i]->setVisible(st.settings.ShowGrid != 0);
        Line5_[i]->setBorderColor(gridColour);
    }
    // Horizontal grid lines.
    Line6_[0]->setPoints(st.OriginX, st.OriginY, Line5_[20]->X1(), st.OriginY);
    for (int i = 1; i <= 17; ++i) {
        const double y = Line6_[i - 1]->Y1() - cm;
        Line6_[i]->setPoints(Line6_[0]->X1(), y, Line6_[0]->X2(), y);
        Line6_[i]->setVisible(st.settings.ShowGrid != 0);
        Line6_[i]->setBorderColor(gridColour);
    }
    // Ticks every 5 cm.
    for (int k = 1; k <= 4; ++k) {
        const double x = k * cm * 5 + st.OriginX;
        Line3_[k - 1]->setX1(x);
        Line3_[k - 1]->setX2(x);
        LbshX_[k - 1]->setLeft(x - 100);
        const double y = st.OriginY - k * cm * 5;
        Line4_[k - 1]->setY1(y);
        Line4_[k - 1]->setY2(y);
    }
    for (int i = 1; i <= 20; ++i)
        L_[i]->setBorderColor(st.settings.LineColour);
}

void PlotView::setScaleLabels(float m, double columnRight, double clearButtonBottom) {
    // The labels of the ticks on both axes: k * 5 * m units at the k-th tick.
    constexpr double kRightEdge = 3330;
    const double room = kRightEdge - columnRight;
    bool upright = false;
    for (int k = 1; k <= 4; ++k) {
        const QString caption = plainText(float(float(k) * m * 5.0f));
        LbshX_[k - 1]->setCaption(caption);
        LbshY_[k - 1]->setUpright(false);
        LbshY_[k - 1]->setCaption(caption);
        upright = upright || LbshY_[k - 1]->Width() > room;
    }
    // The clear button stands above the column, right where the upper
    // label would reach.
    for (int k = 1; k <= 4; ++k) {
        Label &label = *LbshY_[k - 1];
        label.setUpright(upright);
        const double tick = Line4_[k - 1]->Y1();
        double top = upright ? tick - label.Height() / 2 : tick - 200;
        if (upright && tick > clearButtonBottom) top = std::max(top, clearButtonBottom);
        label.setTop(top);
        label.setLeft(kRightEdge - label.Width());
    }
}

namespace {
// Shows (1) or hides (0) the labels of corners 1..n; any other value
// switches nothing, as for every flag of the program.
template <class Labels> void switchLabels(const Labels &labels, int n, int value) {
    if (value != 0 && value != 1) return;
    for (int i = 1; i <= std::clamp(n, 0, 20); ++i)
        labels[std::size_t(i)]->setVisible(value == 1);
}
} // namespace

void PlotView::applyGraphics(const files::Settings &v, const files::Settings &s, int n) {
    // Only what changed is shown again: a label that the last recompute left
    // as it is must stay so when some other setting is switched.
    if (s.ShowGrid != v.ShowGrid) {
        // The whole grid, whatever the corner count.
        for (int i = 1; i <= 20; ++i)
            Line5_[i]->setVisible(s.ShowGrid == 1);
        for (int i = 1; i <= 17; ++i)
            Line6_[i]->setVisible(s.ShowGrid == 1);
    }
    if (s.ShowAngles != v.ShowAngles) switchLabels(Tch_, n, s.ShowAngles);
    if (s.ShowNumbers != v.ShowNumbers) switchLabels(Nu_, n, s.ShowNumbers);
    if (s.ShowLengths != v.ShowLengths) switchLabels(Dl_, n, s.ShowLengths);
    if (s.GridColour != v.GridColour) {
        for (int i = 1; i <= 17; ++i)
            Line6_[i]->setBorderColor(s.GridColour);
        for (int i = 1; i <= 20; ++i)
            Line5_[i]->setBorderColor(s.GridColour);
    }
    if (s.LineColour != v.LineColour)
        for (int i = 1; i <= 20; ++i)
            L_[i]->setBorderColor(s.LineColour);
}

void PlotView::showMeasurement(int i, int j, const QString &caption) {
    const double x1 = L_[i]->X1(), y1 = L_[i]->Y1();
    const double x2 = L_[j]->X1(), y2 = L_[j]->Y1();
    Line7_->setPoints(x1, y1, x2, y2);
    LbR_->setCaption(caption);
    place(*LbR_, x1 + (x2 - x1) * 0.5, y2 - (y2 - y1) * 0.5);
    Line7_->setVisible(true);
    LbR_->setVisible(true);
}

void PlotView::hideMeasurement() {
    LbR_->setVisible(false);
    Line7_->setVisible(false);
}

std::vector<const LineShape *> PlotView::paintOrder() const {
    std::vector<const LineShape *> v;
    v.reserve(80);
    for (const auto &l : Line5_)
        v.push_back(l.get());
    for (const auto &l : Line6_)
        v.push_back(l.get());
    v.push_back(Line1_.get());
    v.push_back(Line2_.get());
    for (const auto &l : Line3_)
        v.push_back(l.get());
    for (const auto &l : Line4_)
        v.push_back(l.get());
    for (int i = 1; i <= 20; ++i)
        v.push_back(L_[i].get());
    v.push_back(Line7_.get());
    return v;
}

} // namespace tarvel
