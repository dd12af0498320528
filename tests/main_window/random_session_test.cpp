// A long deterministic session of pseudo-random operations on the real
// window: whatever is typed or clicked, nothing crashes, the corner count
// stays within 3..20, the area shown is the area of what the fields hold,
// and no control sits at a place that is not finite.
#include "support/window_fixture.h"

#include "geographic/geo_window.h"
#include "geometry/numtext.h"
#include "geometry/polygon.h"
#include "drawing/drawing_layout.h"
#include "drawing/drawing_surface.h"

#include <QMouseEvent>
#include <QTemporaryDir>

#include <cmath>
#include <random>

namespace tarvel::testing {

using geometry::textToDouble, geometry::formatNumber, geometry::kAreaPattern;
namespace {

using platform::MsgResult;

class RandomSession : public WindowTest {
protected:
    std::mt19937 rng{20261207};
    int pick(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); }

    QString randomText() {
        static const QStringList pieces = {
            "0",        "1", "2",           "5",     "9",  "12",  "100",   "-",      ",",
            ".",        " ", "e",           "E",     "+",  "abc", "1e308", "-1e308", "1E400",
            "\xC2\xA0", "Ж", "99999999999", "0,001", "&H", "\t",  ""};
        QString s;
        const int parts = pick(0, 4);
        for (int k = 0; k < parts; ++k)
            s += pieces[pick(0, int(pieces.size()) - 1)];
        return s;
    }

    const platform::TextBox &randomField() {
        switch (pick(0, 5)) {
        case 0:
            return *form->table().fieldInRow(geometry::Axis::Y, pick(1, 20));
        case 1:
            return *form->controls().Text1;
        case 2:
            return *form->controls().txtStep;
        case 3:
            return *form->controls().txtMsb;
        default:
            return *form->table().fieldInRow(geometry::Axis::X, pick(1, 20));
        }
    }

    // A corner of the polygon is made current as the user makes it; one
    // that is not there cannot be clicked, and the current corner stays.
    void makeCurrentIfThere(int i) {
        if (i <= form->cornerCount()) makeCurrent(i);
    }
    // An item chosen in a list; -1, nothing chosen, leaves the list as it is.
    static void chooseOrNot(const platform::ComboBox &list, int index) {
        if (index >= 0) choose(list, index);
    }

    void checkInvariants(int step) {
        ASSERT_GE(form->cornerCount(), 3) << "step " << step;
        ASSERT_LE(form->cornerCount(), 10000) << "step " << step;
        const int n = form->cornerCount();
        std::vector<double> X(std::size_t(n) + 1), Y(std::size_t(n) + 1);
        for (int i = 1; i <= n; ++i) {
            const auto &doc = form->document();
            // Past a thousand million kilometres a text is no coordinate.
            const auto coordinate = [](const QString &text) {
                const auto v = textToDouble(text);
                return v && std::abs(*v) <= 1e12 ? *v : 0.0;
            };
            X[std::size_t(i)] = coordinate(doc.text(geometry::Axis::X, i));
            Y[std::size_t(i)] = coordinate(doc.text(geometry::Axis::Y, i));
            // A corner in view shows its text.
            if (const auto *field = form->table().x(i))
                ASSERT_EQ(field->Text(), doc.text(geometry::Axis::X, i)) << "step " << step;
        }
        ASSERT_EQ(form->controls().Text3->Text(),
                  formatNumber(geometry::PolygonArea(n, X.data(), Y.data()), kAreaPattern))
            << "step " << step;
        // The drawing has the corners of the polygon, each where it is.
        const DrawingLayout &layout = form->plot().layout();
        ASSERT_EQ(layout.cornerCount(), n) << "step " << step;
        // x = 3540 + f * (X - the axes' origin X), X running to the right.
        const double sf = form->view().scaleFactor();
        for (int i = 1; i <= n; ++i) {
            const float x =
                float(sf * (X[std::size_t(i)] - form->view().axisX) + kCrossX);
            if (std::isfinite(x)) ASSERT_DOUBLE_EQ(layout.corner(i).x, x) << "step " << step;
        }
    }
};

TEST_F(RandomSession, TenThousandOperationsKeepTheWindowSound) {
    makeWindow();
    QTemporaryDir dir;
    const QString file = dir.filePath("session.squ");
    for (int step = 0; step < 10000; ++step) {
        SCOPED_TRACE(step);
        fakes.messages.fallback = pick(0, 1) ? MsgResult::Yes : MsgResult::No;
        fakes.messages.shown.clear();
        switch (pick(0, 15)) {
        case 0:
        case 1:
        case 2:
        case 3:
            type(randomField(), randomText());
            break;
        case 4:
            (pick(0, 1) ? form->controls().Command2->button()->click() : form->controls().Command3->button()->click());
            break;
        case 5:
            switch (pick(0, 4)) {
            case 0:
                form->controls().Menu_Tools_Norm->trigger();
                break;
            case 1:
                form->controls().Menu_Tools_Zerkalo->trigger();
                break;
            case 2:
                form->controls().Menu_Tools_90R->trigger();
                break;
            case 3:
                form->controls().Menu_Tools_90L->trigger();
                break;
            default:
                form->controls().CmdNorm->button()->click();
                break;
            }
            break;
        case 6:
            makeCurrentIfThere(pick(0, 20));
            (pick(0, 1) ? form->controls().Menu_lnsertUgol->trigger() : form->controls().Menu_DelUgol->trigger());
            break;
        case 7:
            makeCurrentIfThere(pick(0, 20));
            switch (pick(0, 7)) {
            case 0:
                form->controls().CmdUp->button()->click();
                break;
            case 1:
                form->controls().CmdDown->button()->click();
                break;
            case 2:
                form->controls().CmdRight->button()->click();
                break;
            case 3:
                form->controls().CmLleft->button()->click();
                break;
            case 4:
                form->controls().CmdXUp->button()->click();
                break;
            case 5:
                form->controls().CmdXDw->button()->click();
                break;
            case 6:
                form->controls().CmdYUp->button()->click();
                break;
            default:
                form->controls().CmdYDw->button()->click();
                break;
            }
            break;
        case 8:
            (pick(0, 1) ? form->controls().CmdStepUp->button()->click() : form->controls().CmdStepDw->button()->click());
            break;
        case 9: {
            // A drag: a marker or an angle caption is taken with the mouse
            // and dropped somewhere.
            const int i = pick(1, form->cornerCount());
            const DrawingLayout::Corner &c = form->plot().layout().corner(i);
            const QRectF box = pick(0, 1) ? c.marker.box : c.angle.box;
            if (!drawable(box.left(), box.top())) break;
            const QPoint from(int(std::lround(box.left() / 15)) + 1,
                              int(std::lround(box.top() / 15)) + 1);
            const QPoint to(pick(-100, 1200), pick(-100, 800));
            QWidget *s = form->surface();
            const auto send = [s](QEvent::Type type, Qt::MouseButton b, Qt::MouseButtons held,
                                  QPoint at) {
                QMouseEvent e(type, QPointF(at), s->mapToGlobal(QPointF(at)), b, held,
                              Qt::NoModifier);
                QApplication::sendEvent(s, &e);
            };
            send(QEvent::MouseButtonPress, Qt::LeftButton, Qt::LeftButton, from);
            send(QEvent::MouseMove, Qt::NoButton, Qt::LeftButton, to);
            send(QEvent::MouseButtonRelease, Qt::LeftButton, Qt::NoButton, to);
            break;
        }
        case 10:
            fakes.dialogs.fileAnswers = {file};
            form->SAVE_AS();
            break;
        case 11:
            fakes.dialogs.fileAnswers = {file};
            form->controls().Menu_File_Open->trigger();
            break;
        case 12: {
            const bool dms = pick(0, 1);
            (dms ? form->controls().Menu_Tools_GK->trigger() : form->controls().Menu_Tools_GK1->trigger());
            geographic::GeoWindow *g = dms ? form->frmGK() : form->frmGK1();
            ASSERT_NE(g, nullptr);
            const int row = pick(1, 20);
            for (auto *arr : {&g->txtShG, &g->txtShM, &g->txtShS, &g->txtDG, &g->txtDM, &g->txtDS})
                if ((*arr)[row] && pick(0, 2) == 0) (*arr)[row]->setText(randomText());
            if (pick(0, 3) == 0) (pick(0, 1) ? g->Command2_Click() : g->Command3_Click());
            g->VICHISLIT();
            break;
        }
        case 13:
            chooseOrNot(*form->controls().Cmb1, pick(-1, form->controls().Cmb1->ListCount() - 1));
            chooseOrNot(*form->controls().Cmb2, pick(-1, form->controls().Cmb2->ListCount() - 1));
            break;
        case 14:
            form->controls().CmdClear->button()->click();
            break;
        default:
            form->VICHISLIT();
            break;
        }
        checkInvariants(step);
        if (::testing::Test::HasFatalFailure()) return;
    }
}

} // namespace
} // namespace tarvel::testing
