#include "main_window/coordinate_table.h"

#include "platform/controls/colours.h"

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>

namespace tarvel::main_window {

namespace {
// The rows' places, in twips.
constexpr double kFirstRowTop = 1320;
constexpr double kRowHeight = 300;
constexpr double kFieldHeight = 315;
constexpr double kXCaptionLeft = 180, kXFieldLeft = 480;
constexpr double kYCaptionLeft = 1620, kYFieldLeft = 1920;
constexpr double kFieldWidth = 975;
// A caption moves left by this much for every digit after the first.
constexpr double kDigitWidth = 60;
// The scroll bar stands right of the Y fields, as tall as the rows, and
// narrow: the drawing's upright scale values stand right of it.
constexpr double kBarGap = 0, kBarWidth = 165;

int digits(int n) {
    int d = 1;
    while (n >= 10) {
        n /= 10;
        ++d;
    }
    return d;
}
} // namespace

CoordinateTable::CoordinateTable(QWidget *surface) {
    auto label = [surface] { return std::make_unique<Label>(surface, true); };
    auto text = [surface](double left, double top) {
        auto e = std::make_unique<TextBox>(surface);
        e->move(left, top, kFieldWidth, kFieldHeight);
        return e;
    };
    for (int s = 1; s <= kRows; ++s) {
        const double top = kFirstRowTop + kRowHeight * (s - 1);
        LblX_[s] = label();
        TextX_[s] = text(kXFieldLeft, top);
        LblY_[s] = label();
        TextY_[s] = text(kYFieldLeft, top);
    }
    // The wheel over a field or a caption, which take none, comes on to
    // the surface under them.
    surface->installEventFilter(this);
    placeCaptions();
    surface_ = surface;
}

void CoordinateTable::makeScrollBar() {
    // Made when first needed: most polygons never scroll, and a start of
    // the program is quicker without it.
    bar_ = new QScrollBar(Qt::Vertical, surface_);
    const int left = platform::twipsToPixels(kYFieldLeft + kFieldWidth + kBarGap);
    const int top = platform::twipsToPixels(kFirstRowTop);
    const int bottom = platform::twipsToPixels(kFirstRowTop + kRowHeight * (kRows - 1) + kFieldHeight);
    bar_->setGeometry(left, top, platform::twipsToPixels(kBarWidth), bottom - top);
    bar_->setSingleStep(1);
    bar_->setPageStep(kRows);
    bar_->setFocusPolicy(Qt::NoFocus);
    connect(bar_, &QScrollBar::valueChanged, this, [this](int v) { setFirst(v); });
}

CoordinateTable::~CoordinateTable() = default;

int CoordinateTable::slotOf(int corner) const {
    const int s = corner - first_ + 1;
    return s >= 1 && s <= kRows ? s : 0;
}

int CoordinateTable::lastFirst() const {
    return std::max(1, n_ - kRows + 1);
}

bool CoordinateTable::scrollBarShown() const {
    return bar_ && !bar_->isHidden();
}

double CoordinateTable::rightEdge() const {
    return kYFieldLeft + kFieldWidth + (n_ > kRows ? kBarGap + kBarWidth : 0);
}

platform::TextBox *CoordinateTable::cornerField(Axis axis, int i) const {
    const int s = slotOf(i);
    return s == 0 ? nullptr : rowField(axis, s);
}

platform::TextBox *CoordinateTable::rowField(Axis axis, int slot) const {
    const auto k = std::size_t(std::clamp(slot, 1, kRows));
    return axis == Axis::X ? TextX_[k].get() : TextY_[k].get();
}

platform::Label *CoordinateTable::rowCaption(Axis axis, int slot) const {
    const auto k = std::size_t(std::clamp(slot, 1, kRows));
    return axis == Axis::X ? LblX_[k].get() : LblY_[k].get();
}

platform::Label *CoordinateTable::cornerCaption(Axis axis, int i) const {
    const int s = slotOf(i);
    return s == 0 ? nullptr : rowCaption(axis, s);
}

void CoordinateTable::placeCaptions() {
    for (int s = 1; s <= kRows; ++s) {
        const int corner = cornerAt(s);
        const double shift = kDigitWidth * (digits(corner) - 1);
        const double top = kFirstRowTop + kRowHeight * (s - 1) + 60;
        Label &lx = *LblX_[std::size_t(s)], &ly = *LblY_[std::size_t(s)];
        const QString xText = QStringLiteral("X%1").arg(corner);
        if (lx.Caption() != xText) {
            lx.setCaption(xText);
            lx.move(std::max(0.0, kXCaptionLeft - shift), top);
            ly.setCaption(QStringLiteral("Y%1").arg(corner));
            ly.move(kYCaptionLeft - shift, top);
        }
    }
}

void CoordinateTable::writeTexts() {
    for (int s = 1; s <= kRows; ++s) {
        const auto k = std::size_t(cornerAt(s));
        TextBox &x = *TextX_[std::size_t(s)], &y = *TextY_[std::size_t(s)];
        if (x.Text() != texts_.x[k]) x.setText(texts_.x[k]);
        if (y.Text() != texts_.y[k]) y.setText(texts_.y[k]);
    }
}

void CoordinateTable::showTexts(const geometry::PolygonTexts &texts) {
    texts_ = texts;
    writeTexts();
}

void CoordinateTable::showRows(int n) {
    n_ = n;
    const bool scrolls = n > kRows;
    if (scrolls && !bar_) makeScrollBar();
    if (bar_) {
        const QSignalBlocker quiet(bar_);
        bar_->setRange(1, lastFirst());
        bar_->setVisible(scrolls);
    }
    if (first_ > lastFirst())
        setFirst(lastFirst());
    for (int s = 1; s <= kRows; ++s) {
        const bool shown = cornerAt(s) <= n;
        TextX_[std::size_t(s)]->setVisible(shown);
        TextY_[std::size_t(s)]->setVisible(shown);
        LblX_[std::size_t(s)]->setVisible(shown);
        LblY_[std::size_t(s)]->setVisible(shown);
    }
}

void CoordinateTable::setFirst(int first) {
    first = std::clamp(first, 1, lastFirst());
    if (first == first_) return;
    // The field with the focus is left before it shows another corner: its
    // typing ends with its own corner.
    int focusedCorner = 0;
    Axis focusedAxis = Axis::X;
    for (int s = 1; s <= kRows && focusedCorner == 0; ++s)
        for (Axis a : {Axis::X, Axis::Y})
            if (fieldInRow(a, s)->edit()->hasFocus()) {
                focusedCorner = cornerAt(s);
                focusedAxis = a;
                if (auto &left = fieldInRow(a, s)->LostFocus) left();
            }
    first_ = first;
    if (bar_) {
        const QSignalBlocker quiet(bar_);
        bar_->setValue(first_);
    }
    placeCaptions();
    writeTexts();
    showRows(n_);
    paintRows();
    if (focusedCorner != 0) {
        if (TextBox *f = field(focusedAxis, focusedCorner)) {
            f->SetFocus();
            if (f->edit()->hasFocus() && f->GotFocus) f->GotFocus();
        } else if (QWidget *focused = QApplication::focusWidget()) {
            focused->clearFocus();
        }
    }
}

void CoordinateTable::scrollTo(int i) {
    if (i < 1 || i > n_ || slotOf(i) != 0) return;
    setFirst(i < first_ ? i : i - kRows + 1);
}

void CoordinateTable::focusCorner(Axis axis, int i) {
    scrollTo(i);
    if (TextBox *f = field(axis, i)) f->SetFocus();
}

void CoordinateTable::paintRows() {
    for (int s = 1; s <= kRows; ++s) {
        const bool current = cornerAt(s) == current_ && current_ >= 1 && current_ <= n_;
        for (Axis a : {Axis::X, Axis::Y}) {
            TextBox &f = *fieldInRow(a, s);
            f.setForeColor(platform::kSysWindowText);
            f.setBackColor(current ? 0xFFFF : platform::kSysWindowBackground);
        }
    }
    showBadField();
}

void CoordinateTable::clearTextHighlight(int) {
    paintRows();
}

void CoordinateTable::highlight(int corner, int n) {
    current_ = corner;
    if (n == n_) scrollTo(corner);
    paintRows();
}

void CoordinateTable::markNotANumber(Axis axis, int corner) {
    badAxis_ = axis;
    badCorner_ = corner;
    paintRows();
}

void CoordinateTable::showBadField() {
    if (TextBox *f = field(badAxis_, badCorner_); f && badCorner_ >= 1)
        f->setForeColor(0x0000FF);
}

void CoordinateTable::moveFocus(Axis axis, int i, int keyCode, int shift, int n) {
    if (i < 1 || i > n) return;
    int to = i;
    const bool ctrl = (shift & platform::kCtrlKey) != 0;
    switch (keyCode) {
    case platform::kKeyReturn:
    case platform::kKeyDown:
        to = i + 1;
        break;
    case platform::kKeyUp:
        to = i - 1;
        break;
    case platform::kKeyPageDown:
        to = i + kRows;
        break;
    case platform::kKeyPageUp:
        to = i - kRows;
        break;
    case platform::kKeyHome:
        if (!ctrl) return;
        to = 1;
        break;
    case platform::kKeyEnd:
        if (!ctrl) return;
        to = n;
        break;
    default:
        return;
    }
    to = std::clamp(to, 1, n);
    if (to == i) return;
    // A page moves the window with the focus, so the focus keeps its row.
    if (keyCode == platform::kKeyPageDown || keyCode == platform::kKeyPageUp)
        setFirst(first_ + (to - i));
    focusCorner(axis, to);
}

bool CoordinateTable::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() == QEvent::Wheel && n_ > kRows) {
        const auto *wheel = static_cast<QWheelEvent *>(event);
        const QPointF at = wheel->position();
        const auto px = [](double twips) { return double(platform::twipsToPixels(twips)); };
        const bool overRows = at.x() < px(rightEdge()) && at.y() >= px(kFirstRowTop) &&
                              at.y() < px(kFirstRowTop + kRowHeight * kRows);
        if (!overRows) return QObject::eventFilter(watched, event);
        const int notches = wheel->angleDelta().y() / 120;
        // Three corners a notch, as a list scrolls.
        if (notches != 0) setFirst(first_ - 3 * notches);
        return true;
    }
    return QObject::eventFilter(watched, event);
}

} // namespace tarvel::main_window
