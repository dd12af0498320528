// Form1: the coordinate fields (typing, the decimal comma, keyboard
// navigation, reformatting on leaving), the row count buttons, clearing all
// fields, and the in-place editor of the owner label.
#include "main_window/form1.h"

#include "platform/controls/colours.h"
#include "platform/controls/coordinate_field.h"
#include "geometry/numtext.h"

#include <QLabel>
#include <QLineEdit>

namespace tarvel {

bool Form1::normalizeDecimalPoint(TextBox &field) {
    return platform::normalizeDecimalPoint(field);
}

void Form1::showNotANumber(QWidget *owner) {
    platform::showNotANumber(services_.messages, owner);
}

void Form1::TextX_Change(int i) {
    normalizeDecimalPoint(*TextX[i]);
    // A changed X marks the polygon as a changed Y does: a command that
    // changes only X texts must not leave its edits unguarded at exit.
    state_.Modified = 1;
    if (state_.FieldsUpdating != 1) VICHISLIT();
}

void Form1::TextY_Change(int i) {
    normalizeDecimalPoint(*TextY[i]);
    state_.Modified = 1;
    if (state_.FieldsUpdating != 1) VICHISLIT();
}

namespace {
void selectAllIf(std::int16_t selectOnFocus, platform::TextBox &field) {
    if (selectOnFocus != 1) return;
    field.setSelStart(0);
    field.setSelLength(int(field.Text().size()));
}
} // namespace

void Form1::TextX_GotFocus(int i) {
    CurrentCorner = std::int16_t(i);
    PODKRAS();
    selectAllIf(state_.settings.SelectOnFocus, *TextX[i]);
}

void Form1::TextY_GotFocus(int i) {
    CurrentCorner = std::int16_t(i);
    PODKRAS();
    selectAllIf(state_.settings.SelectOnFocus, *TextY[i]);
}

namespace {
// Enter and Down move to the next row of the same column, Up to the one
// before; the focus never leaves the rows in use or changes column.
void moveInColumn(Form1::Array<platform::TextBox, 21> &column, int i, int keyCode, int n) {
    if ((keyCode == platform::kKeyReturn || keyCode == platform::kKeyDown) && i >= 1 && i < n)
        column[i + 1]->SetFocus();
    else if (keyCode == platform::kKeyUp && i > 1 && i <= n)
        column[i - 1]->SetFocus();
}
} // namespace

void Form1::TextX_KeyDown(int i, int keyCode) {
    moveInColumn(TextX, i, keyCode, state_.CornerCount);
}

void Form1::TextY_KeyDown(int i, int keyCode) {
    moveInColumn(TextY, i, keyCode, state_.CornerCount);
}

void Form1::TextX_LostFocus(int i) {
    state_.Modified = 1;
    TextX[i]->setText(formatText(TextX[i]->Text(), kFieldPattern));
    VICHISLIT();
}

void Form1::TextY_LostFocus(int i) {
    TextY[i]->setText(formatText(TextY[i]->Text(), kFieldPattern));
    VICHISLIT();
}

void Form1::showRows(int n) {
    for (int b = 1; b <= 20; ++b) {
        TextX[b]->setVisible(false);
        TextY[b]->setVisible(false);
        LblX[b]->setVisible(false);
        LblY[b]->setVisible(false);
        Ls[b]->setVisible(false);
        Shape[b]->setVisible(false);
    }
    Cmb1->Clear();
    Cmb2->Clear();
    for (int b = 1; b <= n && b <= 20; ++b) {
        TextX[b]->setVisible(true);
        TextY[b]->setVisible(true);
        LblX[b]->setVisible(true);
        LblY[b]->setVisible(true);
        Shape[b]->setVisible(true);
        Cmb1->AddItem(QString::number(b));
        Cmb2->AddItem(QString::number(b));
    }
}

namespace {
// The count buttons clear the highlight of the corners in force before the
// click (only the recompute updates the count).
void clearHighlight(Form1 &f, int count) {
    for (int i = 1; i <= count && i <= 20; ++i) {
        f.TextX[i]->setForeColor(platform::kSysWindowText);
        f.TextY[i]->setForeColor(platform::kSysWindowText);
        f.Tch[i]->setFontSize(8);
        f.Tch[i]->setForeColor(0xC000C0);
    }
}
} // namespace

void Form1::Command2_Click() {
    state_.Modified = 1;
    const auto n = textToInt16(Text1->Text());
    if (n && *n < 20 && *n >= 2) {
        Text1->setText(QString::number(*n + 1));
        showRows(*n + 1);
    }
    clearHighlight(*this, state_.CornerCount);
    if (state_.FieldsUpdating != 1) VICHISLIT();
}

void Form1::Command3_Click() {
    state_.Modified = 1;
    const auto n = textToInt16(Text1->Text());
    if (n && *n > 3 && *n <= 21) {
        Text1->setText(QString::number(*n - 1));
        showRows(*n - 1);
    }
    clearHighlight(*this, state_.CornerCount);
    if (state_.FieldsUpdating != 1) VICHISLIT();
}

void Form1::CmdClear_Click() {
    if (services_.messages.show(this, QStringLiteral("Очистить все поля с координатами?"),
                                platform::MsgButtons::YesNo, platform::MsgIcon::Question,
                                QStringLiteral("Подтвердите очистку.")) != platform::MsgResult::Yes)
        return;
    for (int i = 1; i <= 20; ++i) {
        TextX[i]->setText(QString());
        TextY[i]->setText(QString());
    }
}

void Form1::Label2_Click() {
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

namespace {
void commitOwner(Form1 &f) {
    f.Label2->setCaption(f.txt3->Text());
    f.txt3->setVisible(false);
    f.Label2->setForeColor(platform::kSysButtonText);
}
} // namespace

void Form1::txt3_KeyDown(int keyCode) {
    if (keyCode == platform::kKeyReturn)
        commitOwner(*this);
    else if (keyCode == platform::kKeyEscape)
        txt3->setVisible(false);
}

void Form1::txt3_DblClick() {
    commitOwner(*this);
    state_.Modified = 1;
}

} // namespace tarvel
