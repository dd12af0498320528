// Form1: the straight-line distance between two chosen corners. The
// measuring line joins the drawn corners; the distance itself is computed
// from the coordinates, as the side lengths are: the drawn positions are
// single-precision screen places and lose metres at large scales.
#include "main_window/form1.h"

#include "geometry/numtext.h"

namespace tarvel::main_window {

using geometry::textToInt16;

void Form1::IZMR() {
    const QString a = Cmb1->Text();
    const QString b = Cmb2->Text();
    if (a.isEmpty() || b.isEmpty()) return;
    const auto i = textToInt16(a);
    const auto j = textToInt16(b);
    // Only two different corners of the polygon with coordinates make a
    // measurement. The drawing always has a usable scale: a scale text that
    // is not one leaves the last.
    if (a != b && i && j && doc_.distance(*i, *j))
        view_.measured = ViewState::Pair{*i, *j};
    else
        view_.measured.reset();
    redraw();
}

void Form1::Cmb1_Click() {
    showChosenCorner(*Cmb1);
    IZMR();
}

void Form1::Cmb2_Click() {
    showChosenCorner(*Cmb2);
    IZMR();
}

void Form1::showChosenCorner(const ComboBox &list) {
    if (const auto i = textToInt16(list.Text())) coordinates->scrollTo(*i);
}

} // namespace tarvel::main_window
