#include "geometry/polygon_document.h"

#include "geometry/numtext.h"

#include <QUndoCommand>

#include <algorithm>
#include <cmath>
#include <vector>

namespace tarvel::geometry {

namespace {

// Merge keys of the steps that merge: one per field, so that typing in
// TextX(3) and then in TextY(3) gives two steps. Every field of every corner
// up to kMaxCorners has a key of its own, distinct from the owner's and the
// count's.
constexpr int kNoMerge = -1;
constexpr int kOwnerKey = 1;
constexpr int kCountKey = 2;
constexpr int fieldKey(Axis axis, int i) {
    return 3 + 2 * i + (axis == Axis::X ? 0 : 1);
}
static_assert(fieldKey(Axis::Y, kMaxCorners) > fieldKey(Axis::X, kMaxCorners));
static_assert(fieldKey(Axis::X, 1) > kCountKey);

bool validCorner(int i) {
    return i >= 1 && i <= kMaxCorners;
}

} // namespace

// One undo step: the whole state before and after, as snapshots that
// neighbouring steps share (one step's `after` is the next one's `before`),
// and whose texts are implicitly shared with the states around them: a step
// costs about one state's array of text handles.
class PolygonDocument::Step : public QUndoCommand {
public:
    Step(PolygonDocument &doc, Snapshot before, Snapshot after, const QString &name, int key)
        : QUndoCommand(name), doc_(doc), before_(std::move(before)), after_(std::move(after)),
          key_(key), bytes_(measure()) {}
    // The same step again, for a history laid anew.
    Step *copy() const { return new Step(doc_, before_, after_, text(), key_); }

    int id() const override { return key_; }
    void redo() override {
        if (!doc_.rebuilding_) doc_.replay(after_);
    }
    void undo() override {
        if (doc_.rebuilding_) return;
        // Whatever is typed after an undo is a step of its own.
        doc_.typingOpen_ = false;
        doc_.replay(before_);
    }
    bool mergeWith(const QUndoCommand *other) override {
        if (doc_.rebuilding_ || !doc_.typingOpen_ || other->id() != key_) return false;
        after_ = static_cast<const Step *>(other)->after_;
        bytes_ = measure();
        // Typing back to where the step began leaves nothing to undo.
        setObsolete(*after_ == *before_);
        return true;
    }
    // About the bytes of texts this step holds beyond the state before it.
    std::size_t bytes() const { return bytes_; }

private:
    // Its texts not shared with the state before it, and the step itself.
    std::size_t measure() const {
        return 256 + after_->texts.x.bytesApartFrom(before_->texts.x) +
               after_->texts.y.bytesApartFrom(before_->texts.y);
    }

    PolygonDocument &doc_;
    Snapshot before_, after_;
    int key_;
    std::size_t bytes_;
};

PolygonDocument::PolygonDocument(QObject *parent) : QObject(parent) {
    // Only an empty stack takes a limit.
    undo_.setUndoLimit(kHistoryLimit);
    recompute();
}

PolygonDocument::~PolygonDocument() {
    // The steps refer to this document; they go before its members do.
    undo_.clear();
}

const QString &PolygonDocument::text(Axis axis, int i) const {
    const std::size_t k = std::size_t(std::clamp(i, 0, kMaxCorners));
    return axis == Axis::X ? state_.texts.x[k] : state_.texts.y[k];
}

std::optional<double> PolygonDocument::distance(int a, int b) const {
    const int n = cornerCount();
    if (a < 1 || b < 1 || a > n || b > n) return std::nullopt;
    const auto xa = textToCoordinate(text(Axis::X, a)), ya = textToCoordinate(text(Axis::Y, a));
    const auto xb = textToCoordinate(text(Axis::X, b)), yb = textToCoordinate(text(Axis::Y, b));
    if (!xa || !ya || !xb || !yb) return std::nullopt;
    const double d = geometry::distance(*xa, *ya, *xb, *yb);
    if (!std::isfinite(d)) return std::nullopt;
    return d;
}

PolygonDocument::State PolygonDocument::next(const PolygonTexts &texts) const {
    State s{texts, state_.countInForce, state_.unit};
    // Only a whole number from 3 to kMaxCorners is a count: fewer than 3
    // make no polygon.
    if (const auto c = textToInt16(texts.count);
        c && *c >= kMinCorners && *c <= kMaxCorners && double(*c) == textToDouble(texts.count))
        s.countInForce = *c;
    return s;
}

void PolygonDocument::reset(const PolygonTexts &texts) {
    if (replaying_) return;
    typingOpen_ = false;
    lastTyped_ = kNoMerge;
    undo_.clear();
    saved_ = texts;
    setState(next(texts));
    undo_.setClean();
}

void PolygonDocument::markSaved() {
    typingOpen_ = false;
    // Leaving the field now does not make the saved polygon modified.
    lastTyped_ = kNoMerge;
    saved_ = state_.texts;
    undo_.setClean();
    setModified(false);
}

void PolygonDocument::push(const State &after, const QString &name, int mergeKey) {
    if (replaying_ || after == state_) return;
    Snapshot before = snapshot_ ? snapshot_ : std::make_shared<const State>(state_);
    // push() runs the step's redo(), which makes `after` the state.
    undo_.push(
        new Step(*this, std::move(before), std::make_shared<const State>(after), name, mergeKey));
    keepHistoryWithinBudget();
}

std::size_t PolygonDocument::historyBytes() const {
    std::size_t total = 0;
    for (int i = 0; i < undo_.count(); ++i)
        total += static_cast<const Step *>(undo_.command(i))->bytes();
    return total;
}

void PolygonDocument::keepHistoryWithinBudget() {
    if (historyBytes() <= kHistoryBytes) return;
    // QUndoStack drops old steps only by their number: the history is laid
    // anew from the newest steps that take three quarters of the budget, so
    // that this happens once in many steps, not at every one. The step on
    // top always stays.
    std::vector<Step *> kept;
    std::size_t bytes = 0;
    for (int i = undo_.count() - 1; i >= 0; --i) {
        const auto *step = static_cast<const Step *>(undo_.command(i));
        bytes += step->bytes();
        if (!kept.empty() && bytes > kHistoryBytes / 4 * 3) break;
        kept.push_back(step->copy());
    }
    const int dropped = undo_.count() - int(kept.size());
    const int index = undo_.index() - dropped;
    const bool typing = typingOpen_;
    rebuilding_ = true;
    undo_.clear();
    for (auto it = kept.rbegin(); it != kept.rend(); ++it) undo_.push(*it);
    undo_.setIndex(std::max(index, 0));
    rebuilding_ = false;
    typingOpen_ = typing && index == undo_.count();
}

void PolygonDocument::replay(const Snapshot &s) {
    // What answers changed() meanwhile (a field losing the focus as its row
    // is hidden) must not push a step into the stack that is moving.
    const bool outer = !replaying_;
    replaying_ = true;
    lastTyped_ = kNoMerge;
    setState(*s);
    snapshot_ = s;
    if (outer) replaying_ = false;
}

void PolygonDocument::editField(Axis axis, int i, const QString &text) {
    // A field shown anew hands its own text back: that is no typing.
    if (replaying_ || !validCorner(i) || text == this->text(axis, i)) return;
    PolygonTexts t = state_.texts;
    (axis == Axis::X ? t.x : t.y)[std::size_t(i)] = text;
    const int key = fieldKey(axis, i);
    typeInto(key, next(t), QStringLiteral("Ввод координаты"));
    lastTyped_ = key;
}

void PolygonDocument::leaveField(Axis axis, int i, const QString &text) {
    if (replaying_) return;
    if (validCorner(i) && lastTyped_ == fieldKey(axis, i)) {
        PolygonTexts t = state_.texts;
        (axis == Axis::X ? t.x : t.y)[std::size_t(i)] = text;
        typeInto(lastTyped_, next(t), QStringLiteral("Ввод координаты"));
    }
    endTyping();
}

void PolygonDocument::typeInto(int key, const State &after, const QString &name) {
    // Only the newest step of the same field takes more typing.
    const int top = undo_.index();
    if (top == 0 || top != undo_.count() || undo_.command(top - 1)->id() != key)
        typingOpen_ = false;
    // An edit that changes nothing leaves a closed step closed.
    if (after == state_) return;
    push(after, name, key);
    // Typing back to where the step began dropped it: the step now on top
    // was closed before and stays closed.
    typingOpen_ = undo_.index() >= top;
}

void PolygonDocument::endTyping() {
    if (replaying_) return;
    typingOpen_ = false;
    lastTyped_ = kNoMerge;
}

void PolygonDocument::editCount(const QString &text) {
    if (replaying_ || text == state_.texts.count) return;
    // The count typed is taken by the next command, not keystroke by
    // keystroke: on the way to "12" the polygon must not drop to 1 corner,
    // nor on the way to "3,5" to 3.
    State s = state_;
    s.texts.count = text;
    typeInto(kCountKey, s, QStringLiteral("Количество углов"));
    lastTyped_ = kCountKey;
}

bool PolygonDocument::countTyped() const {
    return lastTyped_ == kCountKey;
}

void PolygonDocument::applyCount() {
    if (replaying_) return;
    lastTyped_ = kNoMerge;
    // Belongs to the count's typing step: undoing it takes back both.
    const State s = next(state_.texts);
    if (s == state_) return;
    typeInto(kCountKey, s, QStringLiteral("Количество углов"));
    typingOpen_ = false;
}

void PolygonDocument::leaveCount() {
    if (replaying_) return;
    if (lastTyped_ == kCountKey) applyCount();
    endTyping();
}

void PolygonDocument::editOwner(const QString &text) {
    if (replaying_) return;
    PolygonTexts t = state_.texts;
    t.owner = text;
    typingOpen_ = false;
    lastTyped_ = kNoMerge;
    push(next(t), QStringLiteral("Владелец"), kOwnerKey);
}

void PolygonDocument::apply(const PolygonTexts &after, const QString &name) {
    if (replaying_) return;
    typingOpen_ = false;
    lastTyped_ = kNoMerge;
    push(next(after), name, kNoMerge);
}

void PolygonDocument::apply(const PolygonState &after, const QString &name) {
    if (replaying_) return;
    // Like any other command it ends the typing, also when it changes
    // nothing: leaving the field afterwards must not reformat it as a step
    // of its own.
    typingOpen_ = false;
    lastTyped_ = kNoMerge;
    State s = next(after.texts);
    s.unit = after.unit;
    push(s, name, kNoMerge);
}

void PolygonDocument::editContour(int k) {
    if (replaying_ || k == contourIndex() || k < 0 || k >= contourCount()) return;
    typingOpen_ = false;
    lastTyped_ = kNoMerge;
    push(next(withContourEdited(state_.texts, state_.countInForce, k)),
         QStringLiteral("Контур %1").arg(k + 1), kNoMerge);
}

void PolygonDocument::setHole(bool hole) {
    if (replaying_ || hole == isHole()) return;
    PolygonTexts t = state_.texts;
    t.hole = hole;
    apply(t, QStringLiteral("Дырка"));
}

void PolygonDocument::setUnit(Unit unit) {
    if (unit == state_.unit) return;
    typingOpen_ = false;
    State s = state_;
    s.unit = unit;
    push(s, QStringLiteral("Единица измерения"), kNoMerge);
}

void PolygonDocument::setState(const State &s) {
    state_ = s;
    snapshot_.reset();
    recompute();
    emit changed();
    setModified(!samePlot(state_.texts, saved_));
}

void PolygonDocument::recompute() {
    ++recomputes_;
    readValues();
    const CornerValues &v = values_;
    area_ = PolygonArea(v.n, v.X.data(), v.Y.data());
    computeMeasures(v.n, v.X.data(), v.Y.data(), measures_);
    readOtherContours();
    plotArea_ = othersArea_ + (state_.texts.hole ? -area_ : area_);
}

void PolygonDocument::readOtherContours() {
    // Typing changes the contour edited only: the others are read again
    // when they changed, as on a switch of contours, an open or an undo.
    const std::vector<ContourTexts> &others = state_.texts.others;
    if (others == othersFrom_ && otherValues_.size() == others.size()) return;
    othersFrom_ = others;
    otherValues_.clear();
    othersArea_ = 0;
    for (const ContourTexts &c : others) {
        CornerValues v;
        const auto count = textToInt32(c.count);
        v.n = std::clamp(count.value_or(kMinCorners), kMinCorners, kMaxCorners);
        v.X.assign(std::size_t(v.n) + 1, 0.0);
        v.Y.assign(std::size_t(v.n) + 1, 0.0);
        PolygonTexts texts;
        texts.x = c.x;
        texts.y = c.y;
        v.complete = readCornerRange(texts, 1, std::size_t(v.n) + 1, v.X, v.Y);
        const double a = PolygonArea(v.n, v.X.data(), v.Y.data());
        othersArea_ += c.hole ? -a : a;
        otherValues_.push_back(std::move(v));
    }
}

void PolygonDocument::readValues() {
    // Reading a text as a number is the costly part of a recompute; a
    // keystroke changes one block of texts, so only blocks whose storage
    // changed since the last reading are read again.
    const TextColumn &tx = state_.texts.x, &ty = state_.texts.y;
    CornerValues &v = values_;
    const int n = std::clamp(state_.countInForce, kMinCorners, kMaxCorners);
    const std::size_t size = std::size_t(n) + 1;
    const std::size_t oldSize = v.X.size();
    v.n = n;
    v.X.resize(size, 0.0);
    v.Y.resize(size, 0.0);
    const std::size_t blocks = (size + TextColumn::kBlock - 1) / TextColumn::kBlock;
    blockComplete_.resize(blocks, true);
    v.complete = true;
    for (std::size_t b = 0; b < blocks; ++b) {
        const std::size_t first = b * TextColumn::kBlock;
        const std::size_t end = std::min(size, first + TextColumn::kBlock);
        // Values and completeness hold for the extent the block was read
        // in: a count that ends elsewhere in it reads it again.
        const bool known = std::min(oldSize, first + TextColumn::kBlock) == end &&
                           tx.sharesBlock(valuesFromX_, b) && ty.sharesBlock(valuesFromY_, b);
        if (!known) blockComplete_[b] = readCornerRange(state_.texts, first, end, v.X, v.Y);
        v.complete = v.complete && blockComplete_[b];
    }
    valuesFromX_ = tx;
    valuesFromY_ = ty;
}

void PolygonDocument::setModified(bool m) {
    if (m == modified_) return;
    modified_ = m;
    emit modifiedChanged(m);
}

} // namespace tarvel::geometry
