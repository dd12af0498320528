// Form1: the straight-line distance between two chosen corners, taken from
// the drawing: the measuring line joins the drawn corners and its length in
// twips is divided by the drawing's twips per metre.
#include "main_window/form1.h"

#include "platform/numtext.h"

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
    const int n = std::min<int>(state_.CornerCount, geometry::kMaxCorners);
    if (!i || !j || *i < 1 || *j < 1 || *i > n || *j > n) {
        hideMeasurement(*this);
        return;
    }
    // Without a usable scale the drawing has no factor to measure by.
    const auto m = textToSingle(txtMsb->Text());
    if (!m || !(*m > 0)) {
        hideMeasurement(*this);
        return;
    }
    const float k = 10.0f / *m;
    const double twipsPerMetre = double(state_.TwipsPerMm * k);
    if (!std::isfinite(twipsPerMetre) || !(twipsPerMetre > 0)) {
        hideMeasurement(*this);
        return;
    }

    const double x1 = L[*i]->X1(), y1 = L[*i]->Y1();
    const double x2 = L[*j]->X1(), y2 = L[*j]->Y1();
    const double d = std::sqrt((y2 - y1) * (y2 - y1) + (x2 - x1) * (x2 - x1)) / twipsPerMetre;
    if (!std::isfinite(d)) {
        hideMeasurement(*this);
        return;
    }
    Line7->setPoints(x1, y1, x2, y2);
    LbR->setCaption(plainText(roundHalfEven(d, 2)));
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
