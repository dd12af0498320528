// The coordinate table: the X and Y fields of corners 1..20 with their row
// captions. A view of the document's texts: it shows them, shows the rows
// in use, and marks the current corner's row; what the user types reaches
// the document through the window's change handlers.
#pragma once

#include "geometry/polygon_document.h"
#include "platform/controls/controls.h"

#include <array>
#include <memory>

class QWidget;

namespace tarvel::main_window {

class CoordinateTable {
public:
    using Axis = geometry::Axis;
    using TextBox = platform::TextBox;
    using Label = platform::Label;

    // Builds the rows on `surface`, empty until showTexts().
    explicit CoordinateTable(QWidget *surface);
    ~CoordinateTable();
    CoordinateTable(const CoordinateTable &) = delete;
    CoordinateTable &operator=(const CoordinateTable &) = delete;

    // Fields and row captions of corner i (1..20).
    TextBox *x(int i) const { return TextX_.at(std::size_t(i)).get(); }
    TextBox *y(int i) const { return TextY_.at(std::size_t(i)).get(); }
    TextBox *field(Axis axis, int i) const { return axis == Axis::X ? x(i) : y(i); }
    Label *xCaption(int i) const { return LblX_.at(std::size_t(i)).get(); }
    Label *yCaption(int i) const { return LblY_.at(std::size_t(i)).get(); }

    // Writes the texts into the fields that show something else. While it
    // writes, writing() is true: the fields' change handlers must not hand
    // the document its own texts back.
    void showTexts(const geometry::PolygonTexts &texts);
    bool writing() const { return writing_; }
    // Shows rows 1..n and hides the others.
    void showRows(int n);
    // The fields of corners 1..n take their plain colours; the current
    // corner's (when it is one of 1..20) stand out.
    void highlight(int corner, int n);
    // The text colour of corners 1..n back to plain.
    void clearTextHighlight(int n);
    // The field whose text is not a number shows it in red until another
    // field, or none (corner 0), is named; the highlights keep it red.
    void markNotANumber(Axis axis, int corner);
    // Enter and Down move to the next row of the same column, Up to the one
    // before; the focus never leaves rows 1..n or changes column.
    void moveFocus(Axis axis, int i, int keyCode, int n);

private:
    std::array<std::unique_ptr<TextBox>, 21> TextX_, TextY_;
    std::array<std::unique_ptr<Label>, 21> LblX_, LblY_;
    bool writing_ = false;
    Axis badAxis_ = Axis::X;
    int badCorner_ = 0;
    void showBadField();
};

} // namespace tarvel::main_window
