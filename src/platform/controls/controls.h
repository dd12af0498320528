// A thin control layer over Qt widgets in the terms the windows are written
// in: positions and sizes in twips (15 twips to a pixel) relative to the
// window's client area, colour numbers (&HBBGGRR or system colours), fonts,
// visibility, enabled state, focus, and the events the windows handle
// (change, click, double click, got/lost focus, key down with key codes,
// mouse down/move/up with button and twip position).
//
// A control keeps its position in twips exactly as it was set (a 64-bit
// value); the pixel place is derived from it. Reading Left back gives what
// was written, not a value rounded to whole pixels: a corner dragged with
// the mouse is turned back into coordinates from these values, and a round
// trip through pixels would move it without any movement of the mouse.
//
// The picture is not a widget: the window's drawing surface paints it
// beneath its child controls (see ImageShape).
#pragma once

#include <QFont>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <type_traits>
#include <utility>

class QLineEdit;
class QLabel;
class QPushButton;
class QComboBox;
class QCheckBox;

namespace tarvel::platform {

inline constexpr double kTwipsPerPixel = 15.0;

// Pixel place of a twip value. Values that are not finite or lie far outside
// any screen are held at a harmless place so that no widget ever receives a
// non-finite or overflowing position.
int twipsToPixels(double twips);

// Key codes of the key-down events (the window system's virtual-key codes).
enum KeyCode : int {
    kKeyReturn = 13,
    kKeyEscape = 27,
    kKeyPageUp = 33,
    kKeyPageDown = 34,
    kKeyEnd = 35,
    kKeyHome = 36,
    kKeyUp = 38,
    kKeyDown = 40,
};

// The shift mask of a key-down event: Shift 1, Ctrl 2, Alt 4.
enum ShiftMask : int { kShiftKey = 1, kCtrlKey = 2, kAltKey = 4 };

// Mouse buttons as a mask: left 1, right 2, middle 4.
enum MouseButton : int { kLeftButton = 1, kRightButton = 2, kMiddleButton = 4 };

// The handler of a control's event. The control raises it from its
// widget's events and whoever owns the control sets it; through a const
// control it can be neither set nor raised, so that whoever holds one acts
// through the widget, and the handler runs as it runs for a user.
template <class Signature> class Handler;
template <class... Args> class Handler<void(Args...)> {
public:
    Handler() = default;
    template <class F>
        requires(!std::is_same_v<std::remove_cvref_t<F>, Handler> &&
                 std::is_constructible_v<std::function<void(Args...)>, F>)
    Handler(F &&f) : f_(std::forward<F>(f)) {}
    explicit operator bool() const { return bool(f_); }
    void operator()(Args... args) { f_(std::forward<Args>(args)...); }

private:
    std::function<void(Args...)> f_;
};

struct MouseInfo {
    int button = 0; // the button of a press or release; the buttons held for a move
    double x = 0;   // twips, relative to the control
    double y = 0;
};

class Control : public QObject {
    Q_OBJECT
public:
    explicit Control(QWidget *widget);
    ~Control() override;
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    QWidget *widget() const { return widget_; }

    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return width_; }
    double Height() const { return height_; }
    void setLeft(double twips);
    void setTop(double twips);
    void setWidth(double twips);
    void setHeight(double twips);
    void move(double left, double top);
    void move(double left, double top, double width, double height);

    bool Visible() const { return visible_; }
    void setVisible(bool visible);
    bool Enabled() const { return enabled_; }
    void setEnabled(bool enabled);

    std::uint32_t ForeColor() const { return fore_; }
    void setForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return back_; }
    void setBackColor(std::uint32_t colour);

    double FontSize() const;
    void setFontSize(double points);
    bool FontBold() const;
    void setFontBold(bool bold);
    bool FontItalic() const;

    void SetFocus();
    bool hasFocus() const;

    // Events. Unset handlers are simply not called.
    Handler<void()> Click;
    Handler<void()> DblClick;
    Handler<void()> GotFocus;
    Handler<void()> LostFocus;
    Handler<void(int keyCode, int shift)> KeyDown;
    Handler<void(const MouseInfo &)> MouseDown;
    Handler<void(const MouseInfo &)> MouseMove;
    Handler<void(const MouseInfo &)> MouseUp;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    // Widgets whose size follows their text re-derive it here.
    virtual void sizeChanged() {}
    void applyGeometry();
    void applyColours();
    // Takes the button-text colour from the parent instead of a palette of
    // its own: a window of a hundred and more captions would otherwise build
    // one palette per caption at start. The parent gets that colour once, in
    // every state, as applyColours() would give it.
    void inheritButtonTextColour();
    // The same for a text box's text and background (the window text on the
    // window background): set once on the parent, in every state, instead
    // of a palette for each of the window's fifty fields.
    void inheritTextBoxColours();
    // The widget that receives keys and focus (a combo box's line edit).
    void watch(QWidget *w);
    bool autoSize_ = false;

private:
    QPointer<QWidget> widget_;
    double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
    bool visible_ = true;
    bool enabled_ = true;
    bool backSet_ = false;
    std::uint32_t fore_ = 0x80000008u;
    std::uint32_t back_ = 0x8000000Fu;
    bool pressed_ = false;
};

class TextBox : public Control {
    Q_OBJECT
public:
    explicit TextBox(QWidget *parent);
    QLineEdit *edit() const;

    QString Text() const;
    // Writing a different text raises Change before it returns.
    void setText(const QString &text);
    int SelStart() const;
    void setSelStart(int position);
    void setSelLength(int length);
    void setReadOnly(bool readOnly);
    // Only digits can be typed or pasted in: anything else is refused as it
    // comes, with no change.
    void setDigitsOnly();

    Handler<void()> Change;

protected:
    // Keeps the selection the GotFocus handler made through the click that
    // brought the focus: QLineEdit drops it when the button goes down.
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool focusByMouse_ = false;  // the next press is the one that brought the focus
    bool keepSelection_ = false; // that press is down; restore on release
    int focusSelStart_ = 0, focusSelLength_ = 0;
};

class Label : public Control {
    Q_OBJECT
public:
    // An auto-sized label takes the size of its caption.
    Label(QWidget *parent, bool autoSize);
    QLabel *label() const;

    QString Caption() const;
    void setCaption(const QString &caption);
    // Transparent labels show the window beneath them.
    void setTransparent(bool transparent);
    void setAlignment(Qt::Alignment alignment);
    Qt::Alignment Alignment() const;
    void setWordWrap(bool wrap);
    void setBorder(bool border);
    // The size an auto-sized label takes for its caption: QLabel's size hint.
    QSize captionSize() const;

protected:
    void sizeChanged() override;
};

class Button : public Control {
    Q_OBJECT
public:
    explicit Button(QWidget *parent);
    QPushButton *button() const;
    QString Caption() const;
    void setCaption(const QString &caption);
    void setIconPixmap(const QPixmap &pixmap);
};

class ComboBox : public Control {
    Q_OBJECT
public:
    // An editable combo box has a text of its own; a list only offers its items.
    ComboBox(QWidget *parent, bool editable);
    QComboBox *combo() const;

    void AddItem(const QString &item);
    // Several at once: one change of the list instead of one per item.
    void AddItems(const QStringList &items);
    void Clear();
    int ListCount() const;
    QString List(int index) const;
    void setListIndex(int index); // selecting raises Click
    QString Text() const;
    // For an editable box sets its text; for a list selects the matching item.
    void setText(const QString &text);
    void setMaxVisibleItems(int items);
};

class CheckBox : public Control {
    Q_OBJECT
public:
    explicit CheckBox(QWidget *parent);
    QCheckBox *check() const;
    int Value() const;        // 0 or 1
    void setValue(int value); // raises Click when it changes, as a user click would
    QString Caption() const;
    void setCaption(const QString &caption);
};

// The background picture, painted by the drawing surface beneath the drawing.
class ImageShape {
public:
    explicit ImageShape(std::function<void()> changed) : changed_(std::move(changed)) {}
    // Loads a picture; false (and the previous picture kept) when the file is
    // not a picture Qt can read. An empty name clears the picture.
    bool LoadPicture(const QString &fileName);
    const QPixmap &Picture() const { return pixmap_; }
    double Left() const { return left_; }
    double Top() const { return top_; }
    double Width() const { return pixmap_.isNull() ? 0 : pixmap_.width() * kTwipsPerPixel; }
    double Height() const { return pixmap_.isNull() ? 0 : pixmap_.height() * kTwipsPerPixel; }
    void setLeft(double v);
    void setTop(double v);
    bool Visible() const { return visible_; }
    void setVisible(bool v);
    bool contains(double xTwips, double yTwips) const;

private:
    std::function<void()> changed_;
    QPixmap pixmap_;
    double left_ = 0, top_ = 0;
    bool visible_ = true;
};

// Gives a window a size the user cannot change. Such a window offers no
// maximise button: it could only stretch the frame around a layout drawn for
// one size. Minimise and close stay. May be called again to change the size
// while the window is shown.
void setFixedWindowSize(QWidget &window, int width, int height);

// The default face of the program's fields and labels: "MS Sans Serif" where
// it exists, else the nearest sans serif.
QFont defaultFont(double points = 8);

} // namespace tarvel::platform
