// A loaded main window with a polygon of the test's own, for the tests of
// the editing commands, the moves, the mouse and the measurement.
#pragma once

#include "support/window_fixture.h"

#include "geometry/numtext.h"

#include <QMouseEvent>

#include <initializer_list>
#include <utility>
#include <vector>

namespace tarvel::testing {

using geometry::plainText;

using Texts = std::vector<std::pair<QString, QString>>;

class EditingTest : public WindowTest {
protected:
    void SetUp() override { makeWindow(); }

    // Makes the polygon from field texts and recomputes; the polygon counts
    // as unchanged and no message has been shown yet.
    void setPolygon(const Texts &corners) {
        geometry::PolygonTexts t = form->document().texts();
        t.count = QString::number(corners.size());
        for (std::size_t i = 1; i <= corners.size(); ++i) {
            t.x[i] = corners[i - 1].first;
            t.y[i] = corners[i - 1].second;
        }
        form->document().apply(t, QStringLiteral("test polygon"));
        form->document().markSaved();
        fakes.messages.shown.clear();
    }
    void setPolygon(std::initializer_list<std::pair<double, double>> corners) {
        Texts t;
        for (const auto &[x, y] : corners)
            t.emplace_back(plainText(x), plainText(y));
        setPolygon(t);
    }

    // The texts of corners 1..n.
    Texts texts(int n) const {
        Texts t;
        for (int i = 1; i <= n; ++i)
            t.emplace_back(form->table().x(i)->Text(), form->table().y(i)->Text());
        return t;
    }

    // Sends a mouse event to a widget at a point of it (pixels), with the
    // screen position Qt would give it. Delivered through the application,
    // so a label passes what it leaves unhandled to its parent, as with a
    // real mouse.
    static void mouse(QWidget *w, QEvent::Type type, Qt::MouseButton button, Qt::MouseButtons held,
                      QPoint at) {
        QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
        QApplication::sendEvent(w, &e);
    }
    static void press(QWidget *w, Qt::MouseButton b, QPoint at) {
        mouse(w, QEvent::MouseButtonPress, b, b, at);
    }
    static void release(QWidget *w, Qt::MouseButton b, QPoint at) {
        mouse(w, QEvent::MouseButtonRelease, b, Qt::NoButton, at);
    }
    static void dragTo(QWidget *w, Qt::MouseButtons held, QPoint at) {
        mouse(w, QEvent::MouseMove, Qt::NoButton, held, at);
    }
    static void hover(QWidget *w, QPoint at = QPoint(2, 2)) {
        mouse(w, QEvent::MouseMove, Qt::NoButton, Qt::NoButton, at);
    }
};

} // namespace tarvel::testing
