// Form1: the straight-line distance between two chosen corners. The
// measuring line joins the drawn corners; the distance itself is computed
// from the coordinates, as the side lengths are: the drawn positions are
// single-precision screen places and lose metres at large scales.
#include "main_window/form1.h"

#include "geometry/numtext.h"
#include "geometry/polygon.h"

#include <algorithm>
#include <cmath>

namespace tarvel {

using geometry::textToInt16, geometry::textToSingle, geometry::plainText, geometry::roundHalfEven;

namespace {

void hideMeasurement(Form1 &f) {
    f.plot().hideMeasurement();
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

    plot_->showMeasurement(*i, *j, plainText(roundHalfEven(*d, 2)));
}

void Form1::Cmb1_Click() {
    IZMR();
}

void Form1::Cmb2_Click() {
    IZMR();
}

} // namespace tarvel
