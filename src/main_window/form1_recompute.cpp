// Form1: the recompute-and-redraw cycle (VICHISLIT), the highlight of the
// current corner (PODKRAS), and the small handlers of the window as a whole.
#include "main_window/form1.h"

#include "geometry/numtext.h"
#include "geometry/polygon_warnings.h"
#include "drawing/drawing_surface.h"
#include "platform/controls/colours.h"

#include <cmath>

namespace tarvel::main_window {

using geometry::formatNumber, geometry::kAreaPattern;

void Form1::VICHISLIT() {
    if (loading_) return;
    drawWithArea();
    showWarnings();
}

void Form1::drawWithArea() {
    ++draws_;
    view_.recomputed(mouse_ && mouse_->dragging());
    plot_->draw(doc_, view_, state_.settings);
    // The plot's area: every outer contour less the holes.
    Text3->setText(formatNumber(doc_.plotArea(), kAreaPattern));
}

void Form1::showWarnings() {
    // The area keeps its rule; the warnings say why it may not be the one
    // the user expects.
    QStringList lines;
    int badCorner = 0;
    geometry::Axis badAxis = geometry::Axis::X;
    // A field left empty (after "Х", say) or the one the user is in is not
    // told of as no number yet: the warning waits until a field is left
    // with a text that is not one.
    const auto pending = [this](geometry::Axis axis, int i, const QString &text) {
        const TextBox *field = coordinates->field(axis, i);
        return text.trimmed().isEmpty() || (field && field->hasFocus());
    };
    for (const geometry::PolygonWarning &w :
         geometry::polygonWarnings(doc_.current(), doc_.values(), pending)) {
        lines << w.line();
        if (w.kind == geometry::PolygonWarning::Kind::NotANumber) {
            badAxis = w.axis;
            badCorner = w.corner;
        }
    }
    if (!lines.isEmpty() || lblWarning)
        warningLabel(surface_).setCaption(lines.join(QLatin1Char('\n')));
    coordinates->markNotANumber(badAxis, badCorner);
}

void Form1::redraw() {
    if (!loading_) plot_->draw(doc_, view_, state_.settings);
}

void Form1::PODKRAS() {
    coordinates->highlight(view_.currentCorner, cornerCount());
    if (view_.markCurrentCorner()) redraw();
}

void Form1::CmbEd_Click() {
    // The user's choice is a change of the document; showUnit() follows it
    // (and the document takes the unit it has as no change).
    const bool km = CmbEd->Text() == geometry::unitText(geometry::Unit::Kilometres);
    doc_.setUnit(km ? geometry::Unit::Kilometres : geometry::Unit::Metres);
}

void Form1::showUnit() {
    const QString u = geometry::unitText(doc_.unit());
    CmbEd->setText(u);
    Label1[4]->setCaption(u);
    Label1[2]->setCaption(QStringLiteral("Шаг, ") + u);
    Label1[1]->setCaption(QStringLiteral("Кв. ") + u);
}

void Form1::Command1_Click() {
    view_.measured.reset();
    redraw();
}

void Form1::Text1_Change() {
    // The document takes its own count, written back, as no change.
    doc_.editCount(Text1->Text());
}

void Form1::Text1_LostFocus() {
    if (refuseCountOutOfRange()) return doc_.endTyping();
    doc_.leaveCount();
}

void Form1::Text1_KeyDown(int keyCode) {
    if (keyCode != platform::kKeyReturn || refuseCountOutOfRange()) return;
    doc_.applyCount();
}

bool Form1::refuseCountOutOfRange() {
    // Only what the user typed: a count text an undo brought back is the
    // history's, not a new entry.
    if (!doc_.countTyped()) return false;
    const auto n = geometry::textToInt32(Text1->Text());
    if (n && *n >= geometry::kMinCorners && *n <= geometry::kMaxCorners) return false;
    // The field shows the count in force again before the message takes the
    // focus from it (and leaves it once more).
    Text1->setText(QString::number(cornerCount()));
    services_.messages.show(this, kCountRange, platform::MsgButtons::OK,
                            platform::MsgIcon::Exclamation, QStringLiteral("Ошибка"));
    return true;
}

void Form1::Form_Click() {
    view_.currentCorner = 0;
    Text3->SetFocus();
    PODKRAS();
    if (txt3) txt3->setVisible(false);
}

void Form1::Img_Click() {
    Form_Click();
}

} // namespace tarvel::main_window
