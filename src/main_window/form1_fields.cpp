// Form1: the coordinate fields (typing, the decimal comma, keyboard
// navigation, reformatting on leaving), the row count buttons, clearing all
// fields, and the in-place editor of the owner label.
#include "main_window/form1.h"

#include "geometry/numtext.h"
#include "geometry/polygon_commands.h"
#include "drawing/drawing_surface.h"
#include "platform/controls/colours.h"
#include "platform/controls/coordinate_field.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace tarvel::main_window {

using geometry::formatText, geometry::kFieldPattern;

namespace {
// Every point typed becomes a comma, the program's one decimal separator.
QString withDecimalCommas(QString text) {
    return text.replace(QLatin1Char('.'), QLatin1Char(','));
}
} // namespace

void Form1::typeIntoField(geometry::Axis axis, int i) {
    TextBox *shown = coordinates->field(axis, i);
    if (!shown) return;
    TextBox &field = *shown;
    const QString typed = field.Text();
    // The document's own text, written into the field as it is shown anew,
    // is no typing: not even its decimal points are the user's.
    if (typed == doc_.text(axis, i)) return;
    doc_.editField(axis, i, withDecimalCommas(typed));
    // The document wrote the commas into the field; the caret goes after them.
    if (field.Text() != typed) field.setSelStart(int(field.Text().size()));
}

void Form1::TextX_Change(int i) {
    typeIntoField(geometry::Axis::X, i);
}

void Form1::TextY_Change(int i) {
    typeIntoField(geometry::Axis::Y, i);
}

namespace {
void selectAllIf(std::int16_t selectOnFocus, platform::TextBox *field) {
    if (selectOnFocus != 1 || !field) return;
    field->setSelStart(0);
    field->setSelLength(int(field->Text().size()));
}
} // namespace

void Form1::TextX_GotFocus(int i) {
    view_.currentCorner = i;
    PODKRAS();
    selectAllIf(state_.settings.SelectOnFocus, coordinates->x(i));
}

void Form1::TextY_GotFocus(int i) {
    view_.currentCorner = i;
    PODKRAS();
    selectAllIf(state_.settings.SelectOnFocus, coordinates->y(i));
}

void Form1::TextX_KeyDown(int i, int keyCode, int shift) {
    coordinates->moveFocus(geometry::Axis::X, i, keyCode, shift, cornerCount());
}

void Form1::TextY_KeyDown(int i, int keyCode, int shift) {
    coordinates->moveFocus(geometry::Axis::Y, i, keyCode, shift, cornerCount());
}

void Form1::reformatField(geometry::Axis axis, int i) {
    // The reformatting belongs to the typing it ends: one undo step. A field
    // left without typing (a click through, a Tab after an undo) is not
    // edited.
    doc_.leaveField(axis, i, formatText(doc_.text(axis, i), kFieldPattern));
    // The corner is entered now: the view follows it out of the drawing.
    if (followPolygon(false)) redraw();
    // A text that is not a number is told of once its field is left, even
    // when leaving changed nothing to redraw.
    showWarnings();
}

void Form1::TextX_LostFocus(int i) {
    reformatField(geometry::Axis::X, i);
}

void Form1::TextY_LostFocus(int i) {
    reformatField(geometry::Axis::Y, i);
}

void Form1::showRows(int n) {
    shownRows_ = n;
    coordinates->showRows(n);
    placeDrawingFrame();
    // A count of three digits and more would not fit the count field of
    // two: it widens, and its buttons move along.
    if (const bool wide = n >= 100; wide != wideCount_) {
        wideCount_ = wide;
        const double wider = wide ? 285 : 0;
        Text1->move(1860, 60, 315 + wider, 255);
        Command3->move(2220 + wider, 60, 315, 255);
        Command2->move(2520 + wider, 60, 315, 255);
    }
    QStringList corners;
    corners.reserve(n);
    for (int b = 1; b <= n; ++b)
        corners << QString::number(b);
    for (ComboBox *list : {Cmb1.get(), Cmb2.get()}) {
        // Past a table's rows a corner's number can be typed too: a list of
        // thousands is no way to find one.
        list->combo()->setEditable(n > CoordinateTable::kRows);
        list->Clear();
        list->AddItems(corners);
    }
}

void Form1::placeDrawingFrame() {
    if (plot_) plot_->setFrame({3330, coordinates->rightEdge(), CmdClear->Top() + CmdClear->Height()});
}

void Form1::clearHighlight(int n) {
    coordinates->clearTextHighlight(n);
    if (view_.plainAngleAmong(n)) redraw();
}

void Form1::changeCount(int delta) {
    clearHighlight(cornerCount());
    // The buttons work from the count in force: a count typed into the field
    // that was never applied ("25") gives way to it.
    applyResult(geometry::changeCount(doc_.current(), delta),
                delta > 0 ? QStringLiteral("Добавить угол") : QStringLiteral("Убрать угол"));
}

void Form1::Command2_Click() {
    changeCount(+1);
}

void Form1::Command3_Click() {
    changeCount(-1);
}

void Form1::CmdClear_Click() {
    if (services_.messages.show(this, QStringLiteral("Очистить все поля с координатами?"),
                                platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                                QStringLiteral("Подтвердите очистку.")) != platform::MsgResult::Yes)
        return;
    applyResult(geometry::clearCorners(doc_.current()), QStringLiteral("Очистить"));
}

void Form1::Label2_Click() {
    if (!txt3) {
        TextBox &editor = ownerEditor(surface_);
        editor.KeyDown = [this](int k, int) { txt3_KeyDown(k); };
        editor.DblClick = [this] { txt3_DblClick(); };
        // The undo keys are the window's here too.
        editor.edit()->installEventFilter(this);
    }
    txt3->setVisible(true);
    txt3->move(Label2->Left() - 0.5, Label2->Top() - 0.5, Label2->Width(), Label2->Height());
    QFont f = txt3->widget()->font();
    f.setFamilies({Label2->label()->font().family(), QStringLiteral("Liberation Sans")});
    f.setPointSizeF(Label2->FontSize());
    f.setItalic(Label2->FontItalic());
    txt3->widget()->setFont(f);
    txt3->edit()->setAlignment(Label2->Alignment() & Qt::AlignHorizontal_Mask);
    txt3->setText(Label2->Caption());
    txt3->widget()->raise();
    txt3->SetFocus();
}

void Form1::commitOwner() {
    txt3->setVisible(false);
    Label2->setForeColor(platform::kSysButtonText);
    doc_.editOwner(txt3->Text());
}

void Form1::txt3_KeyDown(int keyCode) {
    if (keyCode == platform::kKeyReturn)
        commitOwner();
    else if (keyCode == platform::kKeyEscape)
        txt3->setVisible(false);
}

void Form1::txt3_DblClick() {
    commitOwner();
}

} // namespace tarvel::main_window
