// The drawing of the polygon on its centimetre grid: axes, ticks and their
// scale labels, grid lines, the edges, the corner markers, the angle, number
// and length labels, the measuring line and the background picture.
//
// A view: it places its elements from the document and the drawing's
// mapping (SharedState: origin, scale factor), and never reads a number back
// from what it drew. Its controls are its own; the window reaches them
// through the accessors below (the mouse handlers drag markers and labels,
// the print page draws the same elements on paper).
#pragma once

#include "files/settings.h"
#include "geometry/polygon_document.h"
#include "main_window/shared_state.h"
#include "platform/controls/controls.h"

#include <array>
#include <functional>
#include <memory>
#include <vector>

class QWidget;

namespace tarvel {

class PlotView {
public:
    using Label = platform::Label;
    using LineShape = platform::LineShape;

    // Builds the elements on `surface`, in the order they lie (the drawing
    // below everything built after it). `repaint` schedules a repaint of the
    // whole surface (for the picture); lines ask for their own boxes.
    PlotView(QWidget *surface, std::function<void()> repaint);
    ~PlotView();
    PlotView(const PlotView &) = delete;
    PlotView &operator=(const PlotView &) = delete;

    // Places every element of corners 1..n from the document; the scale
    // text, when it is a positive number, sets the scale factor first (a
    // text that is not keeps the last valid one). Hides the measuring line.
    void draw(const geometry::PolygonDocument &doc, SharedState &st, const QString &scaleText);
    // The current corner's marker and angle label stand out; the others of
    // corners 1..n take their plain look.
    void highlight(int corner, int n);
    // The angle labels of corners 1..n take their plain look.
    void clearAngleHighlight(int n);
    // The grid lines and ticks for the mapping of `st`, once at start.
    void buildGrid(const SharedState &st);
    // The captions and places of the scale labels for m units per cm; the
    // Y labels end at their ticks, left of the drawing, and stand upright
    // when a label would reach into `columnRight` (twips).
    void setScaleLabels(float m, double columnRight, double clearButtonBottom);
    // Shows what changed between two sets of graphics settings.
    void applyGraphics(const files::Settings &before, const files::Settings &after, int n);
    // The measuring line between the drawn corners i and j with its caption.
    void showMeasurement(int i, int j, const QString &caption);
    void hideMeasurement();
    // Lines in painting order.
    std::vector<const LineShape *> paintOrder() const;

    // ---- the elements (1-based where they belong to corners) ----
    LineShape *edge(int i) const { return L_.at(std::size_t(i)).get(); }
    Label *marker(int i) const { return Shape_.at(std::size_t(i)).get(); }
    Label *angleLabel(int i) const { return Tch_.at(std::size_t(i)).get(); }
    Label *numberLabel(int i) const { return Nu_.at(std::size_t(i)).get(); }
    Label *lengthLabel(int i) const { return Dl_.at(std::size_t(i)).get(); }
    LineShape *verticalGridLine(int i) const { return Line5_.at(std::size_t(i)).get(); }
    LineShape *horizontalGridLine(int i) const { return Line6_.at(std::size_t(i)).get(); }
    LineShape *xTick(int k) const { return Line3_.at(std::size_t(k)).get(); }
    LineShape *yTick(int k) const { return Line4_.at(std::size_t(k)).get(); }
    Label *xScaleLabel(int k) const { return LbshX_.at(std::size_t(k)).get(); }
    Label *yScaleLabel(int k) const { return LbshY_.at(std::size_t(k)).get(); }
    Label *xAxisLabel() const { return xName_.get(); }
    Label *yAxisLabel() const { return yName_.get(); }
    LineShape *yAxis() const { return Line1_.get(); }
    LineShape *xAxis() const { return Line2_.get(); }
    LineShape *measureLine() const { return Line7_.get(); }
    Label *measureLabel() const { return LbR_.get(); }
    platform::ImageShape *picture() const { return Img_.get(); }

    // Moves a drawn control to a computed place, skipping non-finite values.
    static void place(platform::Control &c, double left, double top);

private:
    template <class T, std::size_t N> using Array = std::array<std::unique_ptr<T>, N>;
    std::unique_ptr<LineShape> makeLine();

    QWidget *surface_;
    std::function<void()> repaint_;
    std::unique_ptr<platform::ImageShape> Img_;
    std::unique_ptr<LineShape> Line1_, Line2_, Line7_;
    Array<LineShape, 21> Line5_; // 0..20
    Array<LineShape, 18> Line6_; // 0..17
    Array<LineShape, 4> Line3_, Line4_;
    Array<LineShape, 21> L_; // 1..20
    Array<Label, 4> LbshX_, LbshY_;
    std::unique_ptr<Label> xName_, yName_, LbR_;
    Array<Label, 21> Dl_, Nu_, Tch_, Shape_;
};

} // namespace tarvel
