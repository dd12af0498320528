// Form1: the straight-line distance between two chosen corners. The
// measuring line joins the drawn corners; the distance itself is computed
// from the coordinates, as the side lengths are: the drawn positions are
// single-precision screen places and lose metres at large scales.
#include "main_window/form1.h"

#include "geometry/polygon.h"
#include "geometry/numtext.h"

#include <algorithm>
#include <cmath>

namespace tarvel {

namespace {

void hideMeasurement(Form1 &f) {
    f.LbR->setVisible(false);
    f.Line7->setVisible(false);
}

} // namespace

void Form1::IZMR() {
    const QString a = Cmb1->Text();
    const QString b = Cmb2->Text();
    if (a.isEmpty() || b.isEmpty()) return;
    if (a == b) {
        hideMeasurement(*this);
        return;
    }
    // Only corners of the polygon have a drawn place; the line of a hidden
    // row still holds where that corner was drawn long ago.
    const auto i = textToInt16(a);
    const auto j = textToInt16(b);
    // Without a usable scale there is no drawing to put the line into.
    const auto m = textToSingle(txtMsb->Text());
    const auto d = i && j ? doc_.distance(*i, *j) : std::nullopt;
    if (!d || !m || !(*m > 0)) {
        hideMeasurement(*this);
        return;
    }

    const double x1 = L[*i]->X1(), y1 = L[*i]->Y1();
    const double x2 = L[*j]->X1(), y2 = L[*j]->Y1();
    Line7->setPoints(x1, y1, x2, y2);
    LbR->setCaption(plainText(roundHalfEven(*d, 2)));
    place(*LbR, x1 + (x2 - x1) * 0.5, y2 - (y2 - y1) * 0.5);
    Line7->setVisible(true);
    LbR->setVisible(true);
}

void Form1::Cmb1_Click() {
    IZMR();
}

void Form1::Cmb2_Click() {
    IZMR();
}

} // namespace tarvel
