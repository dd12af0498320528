// Form1: the commands that change the whole polygon or its list of corners:
// move to the origin, mirror, the two quarter turns, insert and delete.
//
// Each command reads corners 1..n from the document, computes in 64-bit
// floating point and hands the document the texts after it: one change, one
// undo step.
#include "main_window/form1.h"

#include "geometry/numtext.h"
#include "geometry/polygon.h"

#include <algorithm>
#include <optional>

namespace tarvel {

using platform::MsgButtons;
using platform::MsgIcon;
using platform::MsgResult;

namespace {

using geometry::PolygonTexts;

// The corners 1..n of a set of texts as numbers.
geometry::CornerValues valuesOf(const PolygonTexts &t, int n) {
    geometry::CornerValues c;
    c.n = n;
    for (int i = 1; i <= n; ++i) {
        const auto x = textToDouble(t.x[i]);
        const auto y = textToDouble(t.y[i]);
        c.complete = c.complete && x && y;
        c.X[i] = x.value_or(0);
        c.Y[i] = y.value_or(0);
    }
    return c;
}

// The texts moved so that the smallest X and the smallest Y become 0,
// rounded to hundredths; nothing when a text of corners 1..n is not a
// number (the shift would be taken from a made-up 0).
std::optional<PolygonTexts> movedToOrigin(PolygonTexts t, int n) {
    const geometry::CornerValues c = valuesOf(t, n);
    if (!c.complete) return std::nullopt;
    const geometry::Shift s = geometry::smallest(n, c.X.data(), c.Y.data());
    for (int i = 1; i <= n; ++i) {
        t.x[i] = plainText(roundHalfEven(c.X[i] - s.minX, 2));
        t.y[i] = plainText(roundHalfEven(c.Y[i] - s.minY, 2));
    }
    return t;
}

// The current corner when it names a corner of the polygon, else 0. Insert
// and delete act only on such a corner: a hidden row or no corner at all
// would insert between rows that are not part of the polygon or drop a
// corner other than the one named.
int currentCornerOfPolygon(const Form1 &f, int n) {
    const int p = f.view().currentCorner;
    return p >= 1 && p <= n ? p : 0;
}

} // namespace

bool Form1::refuseIncomplete() {
    // Moving, mirroring or turning a polygon with a field that is not a
    // number would write a made-up 0 over the user's text; these commands
    // refuse instead and change nothing.
    if (doc_.values().complete) return false;
    showNotANumber(this);
    return true;
}

void Form1::applyMovedToOrigin(const geometry::PolygonTexts &texts, const QString &name) {
    if (const auto moved = movedToOrigin(texts, cornerCount())) {
        doc_.apply(*moved, name);
        return;
    }
    // A computed text too large to read back as a number: the command stops
    // where the move to the origin would refuse.
    doc_.apply(texts, name);
    showNotANumber(this);
}

void Form1::moveToOrigin() {
    if (refuseIncomplete()) return;
    applyMovedToOrigin(doc_.texts(), QStringLiteral("Передвинуть в начало координат"));
}

void Form1::NORMALIZ() {
    moveToOrigin();
}

void Form1::Menu_Tools_Norm_Click() {
    NORMALIZ();
}

void Form1::CmdNorm_Click() {
    // The green "N" beside the table is the short way to the same command.
    Menu_Tools_Norm_Click();
}

void Form1::mirror() {
    if (refuseIncomplete()) return;
    const geometry::CornerValues &c = doc_.values();
    PolygonTexts t = doc_.texts();
    for (int i = 1; i <= c.n; ++i)
        t.x[i] = plainText(0.0 - c.X[i]);
    applyMovedToOrigin(t, QStringLiteral("Зеркально перевернуть"));
}

void Form1::turnQuarter(bool clockwise) {
    if (refuseIncomplete()) return;
    geometry::CornerValues c = doc_.values();
    // An exact quarter turn: a turn through cos and sin of an approximate
    // pi/2 would scale the polygon and shift far-away corners by decimetres.
    if (clockwise)
        geometry::rotateClockwise(c.n, c.X.data(), c.Y.data());
    else
        geometry::rotateAnticlockwise(c.n, c.X.data(), c.Y.data());
    PolygonTexts t = doc_.texts();
    for (int i = 1; i <= c.n; ++i) {
        t.x[i] = formatNumber(c.X[i], kFieldPattern);
        t.y[i] = formatNumber(c.Y[i], kFieldPattern);
    }
    applyMovedToOrigin(t, QStringLiteral("Повернуть на 90 гр."));
}

void Form1::Menu_Tools_90R_Click() {
    turnQuarter(true);
}

void Form1::Menu_Tools_90L_Click() {
    turnQuarter(false);
}

void Form1::insertCorner() {
    const int n = cornerCount();
    if (view_.currentCorner == geometry::kMaxCorners || n == geometry::kMaxCorners) {
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
    const geometry::CornerValues &c = doc_.values();
    const geometry::Point m = geometry::insertedCorner(p, n, c.X.data(), c.Y.data());
    PolygonTexts t = doc_.texts();
    for (int k = 1, from = 1; k <= n + 1; ++k) {
        const bool inserted = k == p + 1;
        t.x[k] = plainText(inserted ? m.x : c.X[from]);
        t.y[k] = plainText(inserted ? m.y : c.Y[from]);
        if (!inserted) ++from;
    }
    t.count = QString::number(n + 1);
    clearHighlight(cornerCount());
    doc_.apply(t, QStringLiteral("Вставить угол"));
}

void Form1::deleteCorner() {
    const int n = cornerCount();
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

    // Texts move up as they are: the coordinates are not touched.
    PolygonTexts t = doc_.texts();
    for (int i = p; i <= n - 1; ++i) {
        t.x[i] = t.x[i + 1];
        t.y[i] = t.y[i + 1];
    }
    t.count = QString::number(n - 1);
    clearHighlight(cornerCount());
    doc_.apply(t, QStringLiteral("Удалить угол"));
}

void Form1::Menu_Tools_Zerkalo_Click() {
    mirror();
}

void Form1::Menu_lnsertUgol_Click() {
    insertCorner();
}

void Form1::Menu_DelUgol_Click() {
    deleteCorner();
}

} // namespace tarvel
