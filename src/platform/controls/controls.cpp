#include "platform/controls/controls.h"

#include "platform/controls/colours.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QValidator>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStyle>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace tarvel::platform {

int twipsToPixels(double twips) {
    if (!std::isfinite(twips)) return -100000;
    const double px = std::round(twips / kTwipsPerPixel);
    return int(std::clamp(px, -100000.0, 100000.0));
}

QFont defaultFont(double points) {
    // The families are decided once, from one listing of the installed
    // fonts: asking for a family that is not installed sends every font
    // lookup through the fallback search, and hasFamily() would run each
    // name through fontconfig's alias substitution.
    static const QStringList families = [] {
        const QStringList installed = QFontDatabase::families();
        QStringList list;
        for (const char *name : {"MS Sans Serif", "Liberation Sans", "DejaVu Sans"})
            if (installed.contains(QString::fromLatin1(name), Qt::CaseInsensitive))
                list << QString::fromLatin1(name);
        list << QStringLiteral("Sans Serif");
        return list;
    }();
    QFont f;
    f.setFamilies(families);
    f.setStyleHint(QFont::SansSerif);
    f.setPointSizeF(points);
    return f;
}

void setFixedWindowSize(QWidget &window, int width, int height) {
    if (window.windowFlags().testFlag(Qt::WindowMaximizeButtonHint)) {
        // New flags recreate the native window, which hides it.
        const bool shown = window.isVisible();
        window.setWindowFlag(Qt::WindowMaximizeButtonHint, false);
        if (shown) window.show();
    }
    window.setFixedSize(width, height);
}

namespace {

int keyCodeOf(const QKeyEvent *e) {
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        return kKeyReturn;
    case Qt::Key_Escape:
        return kKeyEscape;
    case Qt::Key_Up:
        return kKeyUp;
    case Qt::Key_Down:
        return kKeyDown;
    // The modifier keys have codes of their own: their Qt codes cut to 16
    // bits would read as PageUp (Ctrl) and End (Shift).
    case Qt::Key_Shift:
        return 16;
    case Qt::Key_Control:
        return 17;
    case Qt::Key_Alt:
        return 18;
    case Qt::Key_Meta:
        return 91;
    case Qt::Key_PageUp:
        return kKeyPageUp;
    case Qt::Key_PageDown:
        return kKeyPageDown;
    case Qt::Key_Home:
        return kKeyHome;
    case Qt::Key_End:
        return kKeyEnd;
    case Qt::Key_Left:
        return 37;
    case Qt::Key_Right:
        return 39;
    case Qt::Key_Tab:
        return 9;
    case Qt::Key_Backspace:
        return 8;
    case Qt::Key_Delete:
        return 46;
    default:
        break;
    }
    const int k = e->key();
    if (k >= Qt::Key_0 && k <= Qt::Key_9) return k;
    if (k >= Qt::Key_A && k <= Qt::Key_Z) return k;
    // Other keys of Qt's own range stay clear of the codes above: cut to 16
    // bits, Caps Lock would read as Home and Scroll Lock as Up.
    if (k >= 0x01000000) return 0x10000 | (k & 0xFFFF);
    return k & 0xFFFF;
}

int shiftOf(Qt::KeyboardModifiers m) {
    int s = 0;
    if (m & Qt::ShiftModifier) s |= 1;
    if (m & Qt::ControlModifier) s |= 2;
    if (m & Qt::AltModifier) s |= 4;
    return s;
}

int buttonOf(Qt::MouseButton b) {
    switch (b) {
    case Qt::LeftButton:
        return kLeftButton;
    case Qt::RightButton:
        return kRightButton;
    case Qt::MiddleButton:
        return kMiddleButton;
    default:
        return 0;
    }
}

int buttonsOf(Qt::MouseButtons b) {
    int m = 0;
    if (b & Qt::LeftButton) m |= kLeftButton;
    if (b & Qt::RightButton) m |= kRightButton;
    if (b & Qt::MiddleButton) m |= kMiddleButton;
    return m;
}

// Focus that comes and goes with the whole window (another window raised, a
// menu opened) is not a move of the focus between the window's controls.
bool isWindowFocusChange(Qt::FocusReason r) {
    return r == Qt::ActiveWindowFocusReason || r == Qt::PopupFocusReason;
}

MouseInfo mouseInfo(const QMouseEvent *e, int button) {
    MouseInfo m;
    m.button = button;
    m.x = e->position().x() * kTwipsPerPixel;
    m.y = e->position().y() * kTwipsPerPixel;
    return m;
}

} // namespace

// ---------------------------------------------------------------- Control

Control::Control(QWidget *widget) : widget_(widget) {
    // A child takes its parent's font: only a control whose parent does not
    // carry the program's face already needs it set (a window sets it once
    // for all its controls).
    static const QFont face = defaultFont();
    if (!widget_->parentWidget() || widget_->parentWidget()->font() != face) widget_->setFont(face);
    watch(widget_);
}

Control::~Control() = default;

void Control::watch(QWidget *w) {
    w->installEventFilter(this);
}

void Control::applyGeometry() {
    if (!widget_) return;
    const int x = twipsToPixels(left_);
    const int y = twipsToPixels(top_);
    const int w = std::max(0, twipsToPixels(width_));
    const int h = std::max(0, twipsToPixels(height_));
    widget_->setGeometry(x, y, w, h);
}

void Control::setLeft(double v) {
    left_ = v;
    applyGeometry();
}
void Control::setTop(double v) {
    top_ = v;
    applyGeometry();
}
void Control::setWidth(double v) {
    width_ = v;
    applyGeometry();
}
void Control::setHeight(double v) {
    height_ = v;
    applyGeometry();
}
void Control::move(double l, double t) {
    left_ = l;
    top_ = t;
    applyGeometry();
}
void Control::move(double l, double t, double w, double h) {
    left_ = l;
    top_ = t;
    width_ = w;
    height_ = h;
    applyGeometry();
}

void Control::setVisible(bool v) {
    if (visible_ == v && widget_ && widget_->isHidden() == !v) return;
    visible_ = v;
    if (widget_) widget_->setVisible(v);
}

void Control::setEnabled(bool e) {
    enabled_ = e;
    if (widget_) widget_->setEnabled(e);
}

void Control::applyColours() {
    if (!widget_) return;
    QPalette pal = widget_->palette();
    // The colours hold in every state: the main window's controls keep them
    // while it is disabled behind one of the program's settings windows.
    const QColor fg = toQColor(fore_);
    pal.setColor(QPalette::WindowText, fg);
    pal.setColor(QPalette::Text, fg);
    pal.setColor(QPalette::ButtonText, fg);
    if (backSet_) {
        const QColor bg = toQColor(back_);
        pal.setColor(QPalette::Base, bg);
        pal.setColor(QPalette::Window, bg);
        pal.setColor(QPalette::Button, bg);
    }
    widget_->setPalette(pal);
}

namespace {

// Gives `parent` the colours of `roles` once, in every state, for its
// children to take; `mark` says it has them. False without a parent.
bool colourParentOnce(QWidget *parent, const char *mark,
                      std::initializer_list<std::pair<QPalette::ColorRole, std::uint32_t>> roles) {
    if (!parent) return false;
    if (parent->property(mark).toBool()) return true;
    QPalette pal = parent->palette();
    for (const auto &[role, colour] : roles)
        pal.setColor(role, toQColor(colour));
    parent->setPalette(pal);
    parent->setProperty(mark, true);
    return true;
}

} // namespace

void Control::inheritButtonTextColour() {
    fore_ = kSysButtonText;
    if (!colourParentOnce(widget_ ? widget_->parentWidget() : nullptr,
                          "tarvelButtonTextForChildren",
                          {{QPalette::WindowText, kSysButtonText},
                           {QPalette::Text, kSysButtonText},
                           {QPalette::ButtonText, kSysButtonText}}))
        applyColours();
}

void Control::inheritTextBoxColours() {
    fore_ = kSysWindowText;
    back_ = kSysWindowBackground;
    backSet_ = true;
    if (!colourParentOnce(widget_ ? widget_->parentWidget() : nullptr,
                          "tarvelTextBoxColoursForChildren",
                          {{QPalette::Text, kSysWindowText}, {QPalette::Base, kSysWindowBackground}}))
        applyColours();
}

void Control::setForeColor(std::uint32_t c) {
    if (fore_ == c) return;
    fore_ = c;
    applyColours();
}

void Control::setBackColor(std::uint32_t c) {
    if (backSet_ && back_ == c) return;
    back_ = c;
    backSet_ = true;
    applyColours();
}

double Control::FontSize() const {
    return widget_ ? widget_->font().pointSizeF() : 0;
}
void Control::setFontSize(double points) {
    if (!widget_ || widget_->font().pointSizeF() == points) return;
    QFont f = widget_->font();
    f.setPointSizeF(points);
    widget_->setFont(f);
    sizeChanged();
}
bool Control::FontBold() const {
    return widget_ && widget_->font().bold();
}
void Control::setFontBold(bool b) {
    if (!widget_ || widget_->font().bold() == b) return;
    QFont f = widget_->font();
    f.setBold(b);
    widget_->setFont(f);
    sizeChanged();
}
bool Control::FontItalic() const {
    return widget_ && widget_->font().italic();
}

void Control::SetFocus() {
    if (widget_) widget_->setFocus(Qt::OtherFocusReason);
}

bool Control::hasFocus() const {
    return widget_ && widget_->hasFocus();
}

bool Control::eventFilter(QObject *, QEvent *event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        if (!isWindowFocusChange(static_cast<QFocusEvent *>(event)->reason()) && GotFocus)
            GotFocus();
        break;
    case QEvent::FocusOut:
        if (!isWindowFocusChange(static_cast<QFocusEvent *>(event)->reason()) && LostFocus)
            LostFocus();
        break;
    case QEvent::KeyPress: {
        auto *k = static_cast<QKeyEvent *>(event);
        if (KeyDown) KeyDown(keyCodeOf(k), shiftOf(k->modifiers()));
        break;
    }
    case QEvent::MouseButtonPress: {
        auto *m = static_cast<QMouseEvent *>(event);
        pressed_ = true;
        if (MouseDown) MouseDown(mouseInfo(m, buttonOf(m->button())));
        break;
    }
    case QEvent::MouseMove: {
        auto *m = static_cast<QMouseEvent *>(event);
        if (MouseMove) MouseMove(mouseInfo(m, buttonsOf(m->buttons())));
        break;
    }
    case QEvent::MouseButtonRelease: {
        auto *m = static_cast<QMouseEvent *>(event);
        const bool wasPressed = pressed_;
        pressed_ = false;
        if (MouseUp) MouseUp(mouseInfo(m, buttonOf(m->button())));
        // Buttons, check boxes and lists raise Click from their own signals.
        const bool ownClick = qobject_cast<QPushButton *>(widget_) ||
                              qobject_cast<QCheckBox *>(widget_) ||
                              qobject_cast<QComboBox *>(widget_);
        if (wasPressed && !ownClick && Click && m->button() == Qt::LeftButton) Click();
        break;
    }
    case QEvent::MouseButtonDblClick:
        pressed_ = false;
        if (DblClick) DblClick();
        break;
    default:
        break;
    }
    return false;
}

// ---------------------------------------------------------------- TextBox

TextBox::TextBox(QWidget *parent) : Control(new QLineEdit(parent)) {
    auto *e = edit();
    e->setFrame(true);
    inheritTextBoxColours();
    QObject::connect(e, &QLineEdit::textChanged, this, [this] {
        if (Change) Change();
    });
}

bool TextBox::eventFilter(QObject *watched, QEvent *event) {
    switch (event->type()) {
    case QEvent::FocusIn:
        focusByMouse_ = static_cast<QFocusEvent *>(event)->reason() == Qt::MouseFocusReason;
        break;
    case QEvent::FocusOut:
        focusByMouse_ = keepSelection_ = false;
        break;
    case QEvent::MouseButtonPress:
        // The focus comes before the press; what is selected now is what the
        // GotFocus handler selected.
        keepSelection_ =
            focusByMouse_ && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton;
        focusByMouse_ = false;
        if (keepSelection_) {
            focusSelStart_ = edit()->selectionStart();
            focusSelLength_ = int(edit()->selectedText().size());
        }
        break;
    case QEvent::MouseButtonRelease:
        // A drag selected something of its own; a plain click gets back what
        // the focus handler selected (all of the text, with select-on-focus).
        if (keepSelection_ && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            keepSelection_ = false;
            if (focusSelLength_ > 0 && !edit()->hasSelectedText())
                edit()->setSelection(focusSelStart_, focusSelLength_);
        }
        break;
    case QEvent::MouseButtonDblClick:
        keepSelection_ = false;
        break;
    default:
        break;
    }
    return Control::eventFilter(watched, event);
}

QLineEdit *TextBox::edit() const {
    return static_cast<QLineEdit *>(widget());
}
QString TextBox::Text() const {
    return edit()->text();
}
void TextBox::setText(const QString &text) {
    if (edit()->text() != text) edit()->setText(text);
}
int TextBox::SelStart() const {
    return edit()->hasSelectedText() ? edit()->selectionStart() : edit()->cursorPosition();
}
void TextBox::setSelStart(int position) {
    edit()->setCursorPosition(position);
}
void TextBox::setSelLength(int length) {
    edit()->setSelection(SelStart(), length);
}
namespace {

// Digits only, looked at character by character: the regular-expression
// validator would start its engine with the window.
class DigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override {
        for (const QChar c : input)
            if (c < QLatin1Char('0') || c > QLatin1Char('9')) return Invalid;
        return Acceptable;
    }
};

} // namespace

void TextBox::setDigitsOnly() {
    edit()->setValidator(new DigitsValidator(edit()));
}

void TextBox::setReadOnly(bool ro) {
    edit()->setReadOnly(ro);
}

// ---------------------------------------------------------------- Label

Label::Label(QWidget *parent, bool autoSize) : Control(new QLabel(parent)) {
    autoSize_ = autoSize;
    label()->setAutoFillBackground(false);
    label()->setMouseTracking(true);
    // A label handles its own mouse: a press or release on it is not also a
    // click on the window beneath.
    label()->setAttribute(Qt::WA_NoMousePropagation);
    // Captions are plain text: no rich-text guess at every change.
    label()->setTextFormat(Qt::PlainText);
    label()->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    inheritButtonTextColour();
}

QLabel *Label::label() const {
    return static_cast<QLabel *>(widget());
}
QString Label::Caption() const {
    return label()->text();
}
void Label::setCaption(const QString &caption) {
    if (label()->text() == caption) return;
    label()->setText(caption);
    sizeChanged();
}
void Label::setTransparent(bool t) {
    label()->setAutoFillBackground(!t);
}
void Label::setAlignment(Qt::Alignment a) {
    label()->setAlignment(a);
}
Qt::Alignment Label::Alignment() const {
    return label()->alignment();
}
void Label::setWordWrap(bool w) {
    label()->setWordWrap(w);
}
void Label::setBorder(bool b) {
    label()->setFrameStyle(b ? (QFrame::Box | QFrame::Plain) : QFrame::NoFrame);
}

QSize Label::captionSize() const {
    QLabel *l = label();
    // QLabel works its size hint out three times over (for the hint, the
    // one-line height and the narrowest wrap) and a window of a hundred and
    // more captions sizes them all at start. An unframed plain one-line
    // caption needs only the first of the three; anything else asks QLabel.
    if (l->wordWrap() || l->textFormat() != Qt::PlainText || l->frameWidth() != 0 ||
        l->margin() != 0 || l->indent() > 0 || l->buddy())
        return l->sizeHint();
    l->ensurePolished();
    const QFontMetrics fm(l->font());
    // Centring is left out, as QLabel does, so that no half pixel rounds;
    // QLabel always expands tabs.
    const int flags = (QStyle::visualAlignment(l->layoutDirection(), l->alignment()) &
                       ~(Qt::AlignVCenter | Qt::AlignHCenter)) |
                      Qt::TextExpandTabs;
    const QMargins m = l->contentsMargins();
    const int extraWidth = m.left() + m.right();
    const QRect br = fm.boundingRect(0, 0, 2000 - extraWidth, 2000, flags, l->text());
    return QSize(br.width() + extraWidth, br.height() + m.top() + m.bottom())
        .expandedTo(l->minimumSize());
}

void Label::sizeChanged() {
    if (!autoSize_) return;
    const QSize s = captionSize();
    move(Left(), Top(), s.width() * kTwipsPerPixel, s.height() * kTwipsPerPixel);
}

// ---------------------------------------------------------------- Button

Button::Button(QWidget *parent) : Control(new QPushButton(parent)) {
    button()->setAutoDefault(false);
    setForeColor(kSysButtonText);
    QObject::connect(button(), &QPushButton::clicked, this, [this] {
        if (Click) Click();
    });
}
QPushButton *Button::button() const {
    return static_cast<QPushButton *>(widget());
}
QString Button::Caption() const {
    return button()->text();
}
void Button::setCaption(const QString &c) {
    button()->setText(c);
}
void Button::setIconPixmap(const QPixmap &p) {
    button()->setIcon(QIcon(p));
    button()->setIconSize(p.size());
}

// ---------------------------------------------------------------- ComboBox

ComboBox::ComboBox(QWidget *parent, bool editable) : Control(new QComboBox(parent)) {
    auto *c = combo();
    c->setEditable(editable);
    c->setInsertPolicy(QComboBox::NoInsert);
    if (editable) {
        c->lineEdit()->setFont(defaultFont());
        watch(c->lineEdit());
    }
    QObject::connect(c, &QComboBox::activated, this, [this] {
        if (Click) Click();
    });
}

QComboBox *ComboBox::combo() const {
    return static_cast<QComboBox *>(widget());
}

void ComboBox::AddItem(const QString &item) {
    AddItems({item});
}

void ComboBox::AddItems(const QStringList &items) {
    auto *c = combo();
    // A list starts without a selection however many items it gets; Qt would
    // select the first one added.
    const int index = c->currentIndex();
    const QString text = c->currentText();
    const QSignalBlocker block(c);
    c->addItems(items);
    if (c->currentIndex() != index) {
        c->setCurrentIndex(index);
        if (c->isEditable()) c->setEditText(text);
    }
}

void ComboBox::Clear() {
    auto *c = combo();
    const QString text = c->isEditable() ? c->currentText() : QString();
    const QSignalBlocker block(c);
    c->clear();
    if (c->isEditable()) c->setEditText(text);
}

int ComboBox::ListCount() const {
    return combo()->count();
}
QString ComboBox::List(int index) const {
    return combo()->itemText(index);
}
void ComboBox::setListIndex(int index) {
    {
        const QSignalBlocker block(combo());
        combo()->setCurrentIndex(index);
    }
    if (Click) Click();
}
QString ComboBox::Text() const {
    return combo()->currentText();
}
void ComboBox::setText(const QString &text) {
    auto *c = combo();
    if (c->isEditable()) {
        if (c->currentText() != text) c->setEditText(text);
        return;
    }
    const int i = c->findText(text);
    if (i >= 0 && i != c->currentIndex()) setListIndex(i);
}
void ComboBox::setMaxVisibleItems(int items) {
    combo()->setMaxVisibleItems(std::max(1, items));
}

// ---------------------------------------------------------------- CheckBox

CheckBox::CheckBox(QWidget *parent) : Control(new QCheckBox(parent)) {
    QObject::connect(check(), &QCheckBox::clicked, this, [this] {
        if (Click) Click();
    });
}
QCheckBox *CheckBox::check() const {
    return static_cast<QCheckBox *>(widget());
}
int CheckBox::Value() const {
    return check()->isChecked() ? 1 : 0;
}
void CheckBox::setValue(int value) {
    const bool on = value == 1;
    if (check()->isChecked() == on) return;
    {
        const QSignalBlocker block(check());
        check()->setChecked(on);
    }
    if (Click) Click();
}
QString CheckBox::Caption() const {
    return check()->text();
}
void CheckBox::setCaption(const QString &c) {
    check()->setText(c);
}

// ---------------------------------------------------------------- ImageShape

bool ImageShape::LoadPicture(const QString &fileName) {
    if (fileName.isEmpty()) {
        pixmap_ = QPixmap();
        if (changed_) changed_();
        return true;
    }
    QImageReader reader(fileName);
    reader.setAutoTransform(true);
    const QImage image = reader.read();
    if (image.isNull()) return false;
    pixmap_ = QPixmap::fromImage(image);
    if (changed_) changed_();
    return true;
}
void ImageShape::setLeft(double v) {
    left_ = v;
    if (changed_) changed_();
}
void ImageShape::setTop(double v) {
    top_ = v;
    if (changed_) changed_();
}
void ImageShape::setVisible(bool v) {
    visible_ = v;
    if (changed_) changed_();
}
bool ImageShape::contains(double x, double y) const {
    return visible_ && !pixmap_.isNull() && x >= left_ && y >= top_ && x < left_ + Width() &&
           y < top_ + Height();
}

} // namespace tarvel::platform
