// Form1: the commands that change the whole polygon or its list of corners:
// move to the origin, mirror, the two quarter turns, insert and delete.
//
// Each command reads the fields of corners 1..n, computes in 64-bit floating
// point and writes texts back; the fields' change handlers recompute the
// drawing (all at once at the end where FieldsUpdating is held).
#include "main_window/form1.h"

#include "geometry/polygon.h"
#include "geometry/numtext.h"

#include <algorithm>

namespace tarvel {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

// Holds FieldsUpdating at 1 while a command rewrites many fields, and clears
// it however the command ends.
class FieldsUpdatingScope {
public:
    explicit FieldsUpdatingScope(SharedState &state) : state_(state) { state_.FieldsUpdating = 1; }
    ~FieldsUpdatingScope() { state_.FieldsUpdating = 0; }
    FieldsUpdatingScope(const FieldsUpdatingScope &) = delete;
    FieldsUpdatingScope &operator=(const FieldsUpdatingScope &) = delete;

private:
    SharedState &state_;
};

// The corners 1..n of the window's fields as numbers; `complete` is false
// when some field of these corners does not read as a number (that corner
// then holds 0).
struct Corners {
    int n = 0;
    geometry::CornerArray X{};
    geometry::CornerArray Y{};
    bool complete = true;
};

int cornerCount(const SharedState &state) {
    return std::clamp<int>(state.CornerCount, geometry::kMinCorners, geometry::kMaxCorners);
}

Corners readCorners(Form1 &f) {
    Corners c;
    c.n = cornerCount(f.state());
    for (int i = 1; i <= c.n; ++i) {
        const auto x = textToDouble(f.TextX[i]->Text());
        const auto y = textToDouble(f.TextY[i]->Text());
        c.complete = c.complete && x && y;
        c.X[i] = x.value_or(0);
        c.Y[i] = y.value_or(0);
    }
    return c;
}

// Moving, mirroring or turning a polygon with a field that is not a number
// would write a made-up 0 over the user's text, and the shift to the origin
// would be taken from it; these commands refuse instead and change nothing.
bool refuseIncomplete(Form1 &f, const Corners &c) {
    if (c.complete) return false;
    f.showNotANumber(&f);
    return true;
}

// Writes turned corners through the field pattern, X then Y of each corner,
// and moves the result to the origin.
void writeTurned(Form1 &f, const Corners &c) {
    for (int i = 1; i <= c.n; ++i) {
        f.TextX[i]->setText(formatNumber(c.X[i], kFieldPattern));
        f.TextY[i]->setText(formatNumber(c.Y[i], kFieldPattern));
    }
    f.NORMALIZ();
}

// The current corner when it names a corner of the polygon, else 0. Insert
// and delete act only on such a corner: a hidden row or no corner at all
// would insert between rows that are not part of the polygon or drop a
// corner other than the one named.
int currentCornerOfPolygon(const Form1 &f, int n) {
    const int p = f.CurrentCorner;
    return p >= 1 && p <= n ? p : 0;
}

// The count buttons work from the text of the count field; a count typed
// there that the recompute did not take (25, say) would make them add or drop
// a row other than the one the fields were just shifted for.
void holdCount(Form1 &f, int n) {
    if (textToDouble(f.Text1->Text()) != double(n)) f.Text1->setText(QString::number(n));
}

} // namespace

void Form1::NORMALIZ() {
    const Corners c = readCorners(*this);
    if (refuseIncomplete(*this, c)) return;
    const geometry::Shift s = geometry::smallest(c.n, c.X.data(), c.Y.data());
    for (int i = 1; i <= c.n; ++i) {
        state_.ShiftedX[i] = c.X[i] - s.minX;
        state_.ShiftedY[i] = c.Y[i] - s.minY;
    }
    for (int b = 1; b <= c.n; ++b) {
        TextX[b]->setText(plainText(roundHalfEven(state_.ShiftedX[b], 2)));
        TextY[b]->setText(plainText(roundHalfEven(state_.ShiftedY[b], 2)));
    }
}

void Form1::Menu_Tools_Norm_Click() {
    NORMALIZ();
}

void Form1::CmdNorm_Click() {
    // The green "N" beside the table is the short way to the same command.
    Menu_Tools_Norm_Click();
}

void Form1::Menu_Tools_Zerkalo_Click() {
    const Corners c = readCorners(*this);
    if (refuseIncomplete(*this, c)) return;
    for (int i = 1; i <= c.n; ++i)
        TextX[i]->setText(plainText(0.0 - c.X[i]));
    NORMALIZ();
}

void Form1::Menu_Tools_90R_Click() {
    Corners c = readCorners(*this);
    if (refuseIncomplete(*this, c)) return;
    // An exact quarter turn: a turn through cos and sin of an approximate
    // pi/2 would scale the polygon and shift far-away corners by decimetres.
    geometry::rotateClockwise(c.n, c.X.data(), c.Y.data());
    writeTurned(*this, c);
}

void Form1::Menu_Tools_90L_Click() {
    Corners c = readCorners(*this);
    if (refuseIncomplete(*this, c)) return;
    geometry::rotateAnticlockwise(c.n, c.X.data(), c.Y.data());
    writeTurned(*this, c);
}

void Form1::Menu_lnsertUgol_Click() {
    const int n = cornerCount(state_);
    if (CurrentCorner == geometry::kMaxCorners || n == geometry::kMaxCorners) {
        services_.messages.show(
            this, QStringLiteral("Больше 20-ти углов программа не поддерживает!"), MsgButtons::OK,
            MsgIcon::Information, QStringLiteral("Ошибка вставки угла"));
        return;
    }
    const int p = currentCornerOfPolygon(*this, n);
    if (p == 0) return;
    const int q = p == n ? 1 : p + 1;
    if (services_.messages.show(
            this,
            QStringLiteral("Вы действительно хотите вставить угол между углом № ") +
                QString::number(p) + QStringLiteral(" и углом № ") + QString::number(q),
            MsgButtons::YesNo, MsgIcon::None,
            QStringLiteral("Подтвердите вставку")) != MsgResult::Yes)
        return;

    // 64-bit throughout: single precision would cut every coordinate of the
    // polygon to 7 significant digits (1234567,89 -> 1234568). A field that
    // does not read as a number counts as 0, as in the recompute.
    const Corners c = readCorners(*this);
    const geometry::Point m = geometry::insertedCorner(p, n, c.X.data(), c.Y.data());
    geometry::CornerArray X{}, Y{};
    for (int k = 1, from = 1; k <= n + 1; ++k) {
        if (k == p + 1) {
            X[k] = m.x;
            Y[k] = m.y;
        } else {
            X[k] = c.X[from];
            Y[k] = c.Y[from];
            ++from;
        }
    }

    {
        const FieldsUpdatingScope scope(state_);
        for (int k = 1; k <= n + 1; ++k) {
            TextX[k]->setText(plainText(X[k]));
            TextY[k]->setText(plainText(Y[k]));
        }
        holdCount(*this, n);
        Command2_Click();
    }
    VICHISLIT();
}

void Form1::Menu_DelUgol_Click() {
    const int n = cornerCount(state_);
    if (n <= geometry::kMinCorners) {
        services_.messages.show(
            this, QStringLiteral("Меньше 3-х углов в многоугольнике быть не может!"),
            MsgButtons::OK, MsgIcon::Information, QStringLiteral("Ошибка удаления угла"));
        return;
    }
    const int p = currentCornerOfPolygon(*this, n);
    if (p == 0) return;
    if (services_.messages.show(this,
                                QStringLiteral("Вы действительно хотите удалить угол № ") +
                                    QString::number(p) + QStringLiteral("   "),
                                MsgButtons::YesNo, MsgIcon::None,
                                QStringLiteral("Подтвердите удаление")) != MsgResult::Yes)
        return;

    const FieldsUpdatingScope scope(state_);
    // Texts move up as they are: the coordinates are not touched.
    for (int i = p; i <= n - 1; ++i) {
        TextX[i]->setText(TextX[i + 1]->Text());
        TextY[i]->setText(TextY[i + 1]->Text());
    }
    holdCount(*this, n);
    Command3_Click();
    VICHISLIT();
}

} // namespace tarvel
