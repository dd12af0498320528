// A main window on the offscreen platform, wired to scripted fakes.
#pragma once

#include "drawing/drawing_surface.h"
#include "main_window/form1.h"
#include "support/background_work.h"
#include "support/fake_services.h"
#include "support/qstring_print.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace tarvel::testing {

// The window tests drive the main window and its views by their own names.
using namespace tarvel::main_window;

class WindowTest : public ::testing::Test {
protected:
    // Builds the window; `load` runs Form_Load and shows it, active.
    void makeWindow(bool load = true) {
        services = bundleFor(fakes);
        form = std::make_unique<Form1>(state, *services);
        form->setEndProgram([this] { ++programEnded; });
        if (load) {
            form->Form_Load();
            show();
        }
    }
    void show() {
        form->show();
        QApplication::setActiveWindow(form.get());
        (void)QTest::qWaitForWindowActive(form.get());
    }
    void TearDown() override {
        if (form) {
            form->setEndProgram(nullptr);
            form->hide();
        }
        form.reset();
    }
    static std::unique_ptr<platform::Services> bundleFor(platform::FakeServices &f) {
        return std::make_unique<platform::Services>(f.bundle());
    }
    // Focus moves through Qt as a click or Tab would.
    static void focus(const platform::Control &c) {
        c.widget()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }
    // Types `text` into a field as the user does: the field's widget takes
    // the text and raises the change its handler answers.
    static void type(const platform::TextBox &field, const QString &text) {
        field.edit()->setText(text);
    }
    // Chooses an item of a list as a click on it in the list's pop-up
    // does: the list takes the item and tells it through Qt's activated,
    // which raises the control's Click.
    static void choose(const platform::ComboBox &list, int index) {
        QComboBox *combo = list.combo();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    static void choose(const platform::ComboBox &list, const QString &item) {
        const int index = list.combo()->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        choose(list, index);
    }
    // A left click on a label: a label has no click of its own, its
    // control sees the mouse go down and up on it.
    static void clickLabel(const platform::Label &label) {
        QTest::mouseClick(label.widget(), Qt::LeftButton);
    }

    // Makes corner `i` current as the user does: the focus goes into its X
    // field, whose focus handler makes the corner current and highlights
    // it; a corner out of the table's view is brought into it first with
    // the table's scroll bar. Corner 0, none: a click on the bare window.
    void makeCurrent(int i) {
        if (i == 0) {
            clickBareWindow();
            ASSERT_EQ(form->view().currentCorner, 0);
            return;
        }
        ASSERT_LE(i, form->cornerCount()) << "corner " << i << " is no corner of the polygon";
        // The user's click goes to the main window, which becomes the
        // active one if another window was.
        if (!form->isActiveWindow()) {
            QApplication::setActiveWindow(form.get());
            (void)QTest::qWaitForWindowActive(form.get());
        }
        const CoordinateTable &table = form->table();
        if (!table.x(i)) {
            QScrollBar *bar = table.scrollBar();
            ASSERT_NE(bar, nullptr) << "corner " << i << " is out of the table";
            // The least scroll that shows the corner, as the window's own.
            bar->setValue(i < table.first() ? i : i - CoordinateTable::kRows + 1);
        }
        const platform::TextBox *x = table.x(i);
        ASSERT_NE(x, nullptr) << "corner " << i << " is out of the table";
        if (x->hasFocus()) {
            if (form->view().currentCorner == i) return;
            // A field that has the focus gets no focus event: the user
            // clicks elsewhere and comes back.
            clickBareWindow();
        }
        focus(*x);
        ASSERT_EQ(form->view().currentCorner, i);
    }
    // A point of the window surface with no control on it and nothing
    // drawn there.
    QPoint bareWindowPoint() const {
        const QPoint p(1060, 20);
        EXPECT_EQ(form->surface()->childAt(p), nullptr);
        EXPECT_EQ(drawing::hitTest(form->plot().layout(), p.x() * platform::kTwipsPerPixel,
                                   p.y() * platform::kTwipsPerPixel)
                      .kind,
                  drawing::DrawingHit::Nothing);
        return p;
    }
    // A click on the bare window: no corner is current, and the area field
    // takes the focus.
    void clickBareWindow() {
        QTest::mouseClick(form->surface(), Qt::LeftButton, {}, bareWindowPoint());
    }

    platform::FakeServices fakes;
    std::unique_ptr<platform::Services> services;
    SharedState state;
    std::unique_ptr<Form1> form;
    int programEnded = 0;
};

} // namespace tarvel::testing
