// The polygon being edited: one document under the main window.
//
// The truth is the texts, exactly as the fields show them: the count text,
// the X and Y texts of corners 1..n (and of rows hidden beyond the count)
// and the owner text. The polygon file,
// the spreadsheet export, the rows hidden beyond the count and a coordinate
// "that is not a number, kept as typed" all depend on the texts, so the
// numbers are derived from them and never the other way round.
// Beside the texts the state holds the length unit; the editing commands
// (polygon_commands.h) compute the next state, the document keeps it.
//
// Derived, after every change:
//   cornerCount()  the count in force, 3..10 000. A count text that is not a
//                  whole number from 3 to 10 000 ("2", "", "3,5") is kept as
//                  text but not applied: the last count in force stays.
//   x(i), y(i)     the value of corner i's texts; a text that is not a
//                  number counts as 0 (see complete()).
//   area(), measures(), distance(a, b), in the unit of the coordinates.
//
// Every command is one change: it emits changed() once, with the texts,
// the count and the measures already consistent, and it is one step on the
// undo stack. Consecutive edits of the same field merge into one step until
// endTyping() closes it. Opening a file, or reset(), clears the history.
// The modified flag is "the texts differ from the state last saved or
// opened": undoing back to that state clears it, and so does typing the
// saved text back.
//
// The history is exact. While an undo or a redo runs, what the views do in
// answer to changed() (a field that loses the focus as its row is hidden)
// is not a command: nothing is pushed, nothing changes. Leaving a field is
// never an edit of its own: the reformatting that leaving brings joins the
// typing that changed the field, and after anything else it does nothing,
// so it never cuts off what there is to redo. The history keeps the newest
// kHistoryLimit steps, each a pair of shared snapshots, and no more than
// about kHistoryBytes of texts of their own: a step that rewrites every
// coordinate of a polygon of thousands of corners holds all those texts,
// and past that budget the oldest steps go.
//
// No widgets: QUndoStack is in QtGui.
#pragma once

#include "geometry/polygon.h"
#include "geometry/polygon_commands.h"
#include "geometry/polygon_state.h"

#include <QObject>
#include <QString>
#include <QUndoStack>

#include <memory>
#include <optional>
#include <vector>

namespace tarvel::geometry {


class PolygonDocument : public QObject {
    Q_OBJECT
public:
    explicit PolygonDocument(QObject *parent = nullptr);
    ~PolygonDocument() override;

    // ---- reading ----
    const PolygonTexts &texts() const { return state_.texts; }
    const QString &text(Axis axis, int i) const;
    int cornerCount() const { return state_.countInForce; }
    // The length unit the coordinates are read in ("М" at start).
    Unit unit() const { return state_.unit; }
    // What the editing commands (polygon_commands.h) start from.
    PolygonState current() const { return {state_.texts, state_.unit, state_.countInForce}; }
    // Corner i's value (0 beyond the count).
    double x(int i) const { return valueAt(values_.X, i); }
    double y(int i) const { return valueAt(values_.Y, i); }
    const CornerValues &values() const { return values_; }
    double area() const { return area_; }
    const Measures &measures() const { return measures_; }
    // Straight-line distance between corners a and b of the polygon, from
    // their coordinates; nothing when either is not a corner 1..n or a text
    // of theirs is not a number.
    std::optional<double> distance(int a, int b) const;
    bool isModified() const { return modified_; }

    // ---- the plot: one contour or several ----
    int contourCount() const { return geometry::contourCount(state_.texts); }
    // The contour edited, 0-based in the plot's order.
    int contourIndex() const { return state_.texts.place; }
    bool isHole() const { return state_.texts.hole; }
    // The plot's area: its outer contours less its holes, each by the
    // trapezoid rule; area() while the plot is one outer contour.
    double plotArea() const { return plotArea_; }
    // The contours not edited, in the plot's order without the one edited,
    // as numbers (a text that is not a number counts as 0); whether each is
    // a hole is in texts().others.
    const std::vector<CornerValues> &otherContours() const { return otherValues_; }
    // How many times the measures were computed; one per change.
    int recomputeCount() const { return recomputes_; }

    // ---- history ----
    QUndoStack &undoStack() { return undo_; }
    // How many steps the history keeps; the oldest go first.
    static constexpr int kHistoryLimit = 1000;
    // About how many bytes of texts the steps may hold of their own.
    static constexpr std::size_t kHistoryBytes = 4'500'000;
    // About how many bytes of texts the steps hold now.
    std::size_t historyBytes() const;

    // ---- commands ----
    // Replaces everything, without an undo step: the polygon at start.
    // Clears the history and the modified flag.
    void reset(const PolygonTexts &texts);
    // A polygon read from a file: as reset(), the state now saved. The file
    // holds no unit: the unit stays.
    void open(const PolygonTexts &texts) { reset(texts); }
    // The texts were written to a file: this state is the saved one.
    void markSaved();
    // The user edits one field. Consecutive edits of the same field are one
    // undo step until endTyping(). The text the field already holds is no
    // edit: a view writing the document's texts back changes nothing.
    void editField(Axis axis, int i, const QString &text);
    void endTyping();
    // The user leaves a field whose text, reformatted, is `text`: part of
    // the typing step when the field was the one typed into last, else
    // nothing. Closes the typing either way.
    void leaveField(Axis axis, int i, const QString &text);
    // The count field: its text, applied by applyCount() or by the next
    // other change; the text it holds already is no edit.
    void editCount(const QString &text);
    // Whether the count field was typed into and not yet applied or left.
    bool countTyped() const;
    void applyCount();
    // The user leaves the count field: applyCount() when the count was the
    // field typed into last, else nothing.
    void leaveCount();
    void editOwner(const QString &text);
    // Any other command: the texts after it, under the name the undo step
    // gets. Texts equal to the present ones change nothing and add no step.
    void apply(const PolygonTexts &after, const QString &name);
    // A command's texts and unit together, as one step. The count in force
    // follows the texts, as for every change; `after.corners` is not read.
    void apply(const PolygonState &after, const QString &name);
    // Contour k (0-based) becomes the one edited: a step of the history, so
    // that an undo shows the contour it changes back.
    void editContour(int k);
    // The contour edited is a hole of the plot, or a part of it.
    void setHole(bool hole);
    // The user chose another unit: a step of its own, so that undo and redo
    // walk through it like any other change. Opening a file keeps the unit;
    // the unit in force is no change.
    void setUnit(Unit unit);

signals:
    // Once per command, after the texts, count and measures are consistent.
    void changed();
    void modifiedChanged(bool modified);

private:
    struct State {
        PolygonTexts texts;
        int countInForce = PolygonState{}.corners;
        Unit unit = Unit::Metres;
        bool operator==(const State &) const = default;
    };
    class Step;
    friend class Step;
    using Snapshot = std::shared_ptr<const State>;

    State next(const PolygonTexts &texts) const;
    void push(const State &after, const QString &name, int mergeKey);
    // Drops the oldest steps while the history holds more than its budget.
    void keepHistoryWithinBudget();
    // True while the history is laid anew: its steps' undo and redo then
    // change nothing.
    bool rebuilding_ = false;
    void typeInto(int key, const State &after, const QString &name);
    void setState(const State &s);
    // An undo or redo makes `s` the state; no command runs meanwhile.
    void replay(const Snapshot &s);
    void recompute();
    // values_ from the texts of corners 1..n.
    void readValues();
    void setModified(bool m);
    static double valueAt(const Coordinates &c, int i) {
        return i >= 0 && std::size_t(i) < c.size() ? c[std::size_t(i)] : 0.0;
    }

    State state_;
    CornerValues values_;
    // The texts values_ was read from: blocks they still share with the
    // present texts need no reading again.
    TextColumn valuesFromX_, valuesFromY_;
    // Per block of corners: whether every text in it reads as a number.
    std::vector<bool> blockComplete_;
    Measures measures_;
    double area_ = 0;
    // The other contours as last read, and what they were read from.
    std::vector<ContourTexts> othersFrom_;
    std::vector<CornerValues> otherValues_;
    double othersArea_ = 0; // their outer rings less their holes
    double plotArea_ = 0;
    void readOtherContours();
    int recomputes_ = 0;
    bool modified_ = false;
    bool typingOpen_ = false;
    // The field the user typed into last, while nothing else happened since.
    int lastTyped_ = -1;
    bool replaying_ = false;
    // The texts last saved or opened.
    PolygonTexts saved_;
    // state_ as the newest step holds it, shared by the next step's
    // `before` (null when state_ came from elsewhere).
    Snapshot snapshot_;
    QUndoStack undo_;
};

} // namespace tarvel::geometry
