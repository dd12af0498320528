// Form1: the recompute-and-redraw cycle (VICHISLIT), the highlight of the
// current corner (PODKRAS), and the small handlers of the window as a whole.
#include "main_window/form1.h"

#include "platform/controls/colours.h"
#include "geometry/numtext.h"

#include <cmath>

namespace tarvel {

void Form1::VICHISLIT() {
    ++draws_;
    SharedState &st = state_;
    // The document has the numbers and the measures; this places them.
    const geometry::CornerValues &v = doc_.values();
    const int n = v.n;
    const geometry::CornerArray &X = v.X, &Y = v.Y;
    const geometry::Measures &m = doc_.measures();

    // The scale: a text that is not a positive number leaves the drawing at
    // the last valid factor; the measures below do not depend on it.
    if (const auto s = textToSingle(txtMsb->Text()); s && *s > 0) {
        const float k = 10.0f / *s;
        const float factor = k * st.TwipsPerMm;
        if (std::isfinite(factor) && factor > 0) st.ScaleFactor = factor;
    }
    const double sf = st.ScaleFactor;
    const auto px = [&](int i) { return float(sf * X[i] + st.OriginX); };
    const auto py = [&](int i) { return float(-sf * Y[i] + st.OriginY); };

    for (int i = 1; i <= n; ++i) {
        const int next = i == n ? 1 : i + 1;
        L[i]->setPoints(px(i), py(i), px(next), py(next));
        place(*Tch[i], px(i), py(i));
        place(*Nu[i], double(px(i)) + 50, double(py(i)) + 50);
        place(*Shape[i], L[i]->X1() - 35, L[i]->Y1() - 35);
    }

    Text3->setText(formatNumber(doc_.area(), kAreaPattern));
    for (int i = 1; i <= n; ++i) {
        Dl[i]->setCaption(plainText(roundHalfEven(m.SideLen[i], 2)));
        const LineShape &edge = *L[i];
        place(*Dl[i], sf * X[i] + st.OriginX + (edge.X2() - edge.X1()) * 0.5,
              -sf * Y[i] + st.OriginY + (edge.Y2() - edge.Y1()) * 0.5);
    }
    // A corner with a side of length 0 has no angle: its label stays empty.
    for (int i = 2; i <= n + 1; ++i) {
        const int c = i <= n ? i : 1;
        Tch[c]->setCaption(m.AngleDefined[c] ? plainText(roundHalfEven(m.CornerAngle[c], 1)) +
                                                   QStringLiteral(" град")
                                             : QString());
    }

    // Visibility is decided once per element: edges and length labels of
    // corners 1..n are shown, everything above n hidden; the flags then hide
    // or show the labels of 1..n (a flag with another value leaves them as
    // that rule put them: angles and numbers hidden, lengths shown).
    // Switching each element only once spares the window a hide and a show
    // of every label at every keystroke.
    const files::Settings &s = st.settings;
    for (int i = 1; i <= 20; ++i) {
        const bool inPolygon = i <= n;
        L[i]->setVisible(inPolygon);
        Tch[i]->setVisible(inPolygon && s.ShowAngles == 1);
        Nu[i]->setVisible(inPolygon && s.ShowNumbers == 1);
        Dl[i]->setVisible(inPolygon && s.ShowLengths != 0);
    }

    LbR->setVisible(false);
    Line7->setVisible(false);
}

void Form1::PODKRAS() {
    const int n = cornerCount();
    for (int i = 1; i <= n; ++i) {
        TextX[i]->setForeColor(platform::kSysWindowText);
        TextY[i]->setForeColor(platform::kSysWindowText);
        Shape[i]->setBackColor(platform::kSysWindowText);
        Shape[i]->setWidth(75);
        Shape[i]->setHeight(75);
        TextX[i]->setBackColor(platform::kSysWindowBackground);
        TextY[i]->setBackColor(platform::kSysWindowBackground);
        Tch[i]->setFontSize(8);
        Tch[i]->setForeColor(0xC000C0);
    }
    const int c = CurrentCorner;
    if (c >= 1 && c <= 20) {
        TextX[c]->setForeColor(platform::kSysWindowText);
        TextY[c]->setForeColor(platform::kSysWindowText);
        TextX[c]->setBackColor(0xFFFF);
        TextY[c]->setBackColor(0xFFFF);
        Shape[c]->setBackColor(0xC0C000);
        Shape[c]->setWidth(100);
        Shape[c]->setHeight(100);
        Tch[c]->setForeColor(255);
    }
}

void Form1::CmbEd_Click() {
    const QString u = CmbEd->Text();
    Label1[4]->setCaption(u);
    Label1[2]->setCaption(QStringLiteral("Шаг, ") + u);
    Label1[1]->setCaption(QStringLiteral("Кв. ") + u);
}

void Form1::Command1_Click() {
    LbR->setVisible(false);
    Line7->setVisible(false);
}

void Form1::Text1_Change() {
    if (!syncing_) doc_.editCount(Text1->Text());
}

void Form1::Text1_LostFocus() {
    doc_.applyCount();
}

void Form1::Text1_KeyDown(int keyCode) {
    if (keyCode == platform::kKeyReturn) doc_.applyCount();
}

void Form1::Form_Click() {
    CurrentCorner = 0;
    Text3->SetFocus();
    PODKRAS();
    txt3->setVisible(false);
}

void Form1::Img_Click() {
    Form_Click();
}

} // namespace tarvel
