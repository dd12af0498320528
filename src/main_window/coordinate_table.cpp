#include "main_window/coordinate_table.h"

#include "platform/controls/colours.h"

#include <QWidget>

namespace tarvel::main_window {

CoordinateTable::CoordinateTable(QWidget *surface) {
    auto label = [surface](double left, double top, const QString &caption) {
        auto l = std::make_unique<Label>(surface, true);
        l->move(left, top);
        l->setCaption(caption);
        return l;
    };
    auto text = [surface](double left, double top) {
        auto e = std::make_unique<TextBox>(surface);
        e->move(left, top, 975, 315);
        return e;
    };
    for (int i = 1; i <= 20; ++i) {
        const double top = 1320 + 300.0 * (i - 1);
        LblX_[i] = label(i >= 10 ? 120 : 180, top + 60, QStringLiteral("X%1").arg(i));
        TextX_[i] = text(480, top);
        LblY_[i] = label(i >= 10 ? 1560 : 1620, top + 60, QStringLiteral("Y%1").arg(i));
        TextY_[i] = text(1920, top);
    }
}

CoordinateTable::~CoordinateTable() = default;

void CoordinateTable::showTexts(const geometry::PolygonTexts &texts) {
    writing_ = true;
    for (int i = 1; i <= 20; ++i) {
        if (TextX_[i]->Text() != texts.x[i]) TextX_[i]->setText(texts.x[i]);
        if (TextY_[i]->Text() != texts.y[i]) TextY_[i]->setText(texts.y[i]);
    }
    writing_ = false;
}

void CoordinateTable::showRows(int n) {
    for (int b = 1; b <= 20; ++b) {
        const bool shown = b <= n;
        TextX_[b]->setVisible(shown);
        TextY_[b]->setVisible(shown);
        LblX_[b]->setVisible(shown);
        LblY_[b]->setVisible(shown);
    }
}

void CoordinateTable::clearTextHighlight(int n) {
    for (int i = 1; i <= std::min(n, 20); ++i) {
        TextX_[i]->setForeColor(platform::kSysWindowText);
        TextY_[i]->setForeColor(platform::kSysWindowText);
    }
    showBadField();
}

void CoordinateTable::highlight(int corner, int n) {
    clearTextHighlight(n);
    for (int i = 1; i <= std::min(n, 20); ++i) {
        TextX_[i]->setBackColor(platform::kSysWindowBackground);
        TextY_[i]->setBackColor(platform::kSysWindowBackground);
    }
    if (corner < 1 || corner > 20) return;
    TextX_[corner]->setForeColor(platform::kSysWindowText);
    TextY_[corner]->setForeColor(platform::kSysWindowText);
    TextX_[corner]->setBackColor(0xFFFF);
    TextY_[corner]->setBackColor(0xFFFF);
    showBadField();
}

void CoordinateTable::markNotANumber(Axis axis, int corner) {
    if (badCorner_ >= 1 && badCorner_ <= 20)
        field(badAxis_, badCorner_)->setForeColor(platform::kSysWindowText);
    badAxis_ = axis;
    badCorner_ = corner;
    showBadField();
}

void CoordinateTable::showBadField() {
    if (badCorner_ >= 1 && badCorner_ <= 20) field(badAxis_, badCorner_)->setForeColor(0x0000FF);
}

void CoordinateTable::moveFocus(Axis axis, int i, int keyCode, int n) {
    const auto &column = axis == Axis::X ? TextX_ : TextY_;
    if ((keyCode == platform::kKeyReturn || keyCode == platform::kKeyDown) && i >= 1 && i < n)
        column[std::size_t(i) + 1]->SetFocus();
    else if (keyCode == platform::kKeyUp && i > 1 && i <= n)
        column[std::size_t(i) - 1]->SetFocus();
}

} // namespace tarvel::main_window
