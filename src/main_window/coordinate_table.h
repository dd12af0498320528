// The coordinate table: twenty rows of X and Y fields with their row
// captions, a window onto the document's corners. Up to 20 corners every
// corner has its row, as the window always had; past 20 a scroll bar at the
// right of the rows moves the window, and the rows show the corners in view,
// captioned with their numbers (X21, Y21, ...). Twenty rows are quick for
// any number of corners: scrolling writes twenty pairs of texts.
//
// A view of the document's texts: it shows them, shows the rows in use, and
// marks the current corner's row; what the user types reaches the document
// through the window's change handlers, which the window wires to the rows
// by their place (slot 1..kRows) and which ask cornerAt() which corner the
// row shows at that moment.
//
// When the window moves while a field has the focus, the field is left
// first (its typing ends as if the focus had gone), and the focus then
// follows its corner when that is still in view, else leaves the table.
#pragma once

#include "geometry/polygon_document.h"
#include "platform/controls/controls.h"

#include <QObject>

#include <array>
#include <memory>

class QScrollBar;
class QWidget;

namespace tarvel::main_window {

class CoordinateTable : public QObject {
    Q_OBJECT
public:
    using Axis = geometry::Axis;
    using TextBox = platform::TextBox;
    using Label = platform::Label;

    // The rows the table has.
    static constexpr int kRows = 20;

    // Builds the rows on `surface`, empty until showTexts().
    explicit CoordinateTable(QWidget *surface);
    ~CoordinateTable() override;
    CoordinateTable(const CoordinateTable &) = delete;
    CoordinateTable &operator=(const CoordinateTable &) = delete;

    // Fields and row captions of corner i while it is in view; nullptr
    // while it is not. A const table hands out const fields and captions,
    // to read and to use through their widgets; only the window, which
    // owns the table, writes them and wires their events.
    const TextBox *x(int i) const { return cornerField(Axis::X, i); }
    const TextBox *y(int i) const { return cornerField(Axis::Y, i); }
    const TextBox *field(Axis axis, int i) const { return cornerField(axis, i); }
    const Label *xCaption(int i) const { return cornerCaption(Axis::X, i); }
    const Label *yCaption(int i) const { return cornerCaption(Axis::Y, i); }
    TextBox *x(int i) { return cornerField(Axis::X, i); }
    TextBox *y(int i) { return cornerField(Axis::Y, i); }
    TextBox *field(Axis axis, int i) { return cornerField(axis, i); }
    Label *xCaption(int i) { return cornerCaption(Axis::X, i); }
    Label *yCaption(int i) { return cornerCaption(Axis::Y, i); }
    // The field and the caption in row `slot` (1..kRows), whatever corner
    // it shows.
    const TextBox *fieldInRow(Axis axis, int slot) const { return rowField(axis, slot); }
    const Label *captionInRow(Axis axis, int slot) const { return rowCaption(axis, slot); }
    TextBox *fieldInRow(Axis axis, int slot) { return rowField(axis, slot); }
    Label *captionInRow(Axis axis, int slot) { return rowCaption(axis, slot); }
    // The corner row `slot` shows.
    int cornerAt(int slot) const { return first_ + slot - 1; }
    // The corner in the first row.
    int first() const { return first_; }
    // The scroll bar, made and shown past kRows corners (none before).
    QScrollBar *scrollBar() const { return bar_; }
    bool scrollBarShown() const;
    // Where the table ends on the right (twips), the scroll bar included
    // while it shows: the drawing's captions keep to the right of it.
    double rightEdge() const;

    // Writes the texts of the corners in view into the fields that show
    // something else; the texts are kept for scrolling. The fields' change
    // handlers hand the document its own texts back, which it takes as no
    // change.
    void showTexts(const geometry::PolygonTexts &texts);
    // Shows the rows of corners 1..n and hides the others.
    void showRows(int n);
    // The fields of corners 1..n take their plain colours; the current
    // corner's stand out, and it is scrolled into view.
    void highlight(int corner, int n);
    // The text colour of corners 1..n back to plain.
    void clearTextHighlight(int n);
    // The field whose text is not a number shows it in red until another
    // field, or none (corner 0), is named; the highlights keep it red.
    void markNotANumber(Axis axis, int corner);
    // The keys of a field of corner i: Enter and Down move to the next
    // corner of the same column, Up to the one before, PageUp and PageDown
    // by a window's height, Ctrl+Home and Ctrl+End to the first and the
    // last corner; the focus never leaves corners 1..n or changes column.
    void moveFocus(Axis axis, int i, int keyCode, int shift, int n);
    // Scrolls corner i into view and gives its field the focus.
    void focusCorner(Axis axis, int i);
    // Scrolls so that corner i is in view (the least move that does).
    void scrollTo(int i);
    // Makes `first` the corner in the first row, within 1..n - kRows + 1.
    void setFirst(int first);

protected:
    // The wheel over the rows scrolls them.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    std::array<std::unique_ptr<TextBox>, kRows + 1> TextX_, TextY_;
    std::array<std::unique_ptr<Label>, kRows + 1> LblX_, LblY_;
    QWidget *surface_ = nullptr;
    QScrollBar *bar_ = nullptr;
    void makeScrollBar();
    geometry::PolygonTexts texts_;
    int n_ = 0;
    int first_ = 1;
    int current_ = 0;
    Axis badAxis_ = Axis::X;
    int badCorner_ = 0;
    // The lookups behind the accessors above; their constness is the
    // accessors'.
    TextBox *cornerField(Axis axis, int i) const;
    Label *cornerCaption(Axis axis, int i) const;
    TextBox *rowField(Axis axis, int slot) const;
    Label *rowCaption(Axis axis, int slot) const;
    void showBadField();
    void writeTexts();
    void placeCaptions();
    void paintRows();
    int slotOf(int corner) const;
    int lastFirst() const;
};

} // namespace tarvel::main_window
