// A main window on the offscreen platform, wired to scripted fakes.
#pragma once

#include "main_window/form1.h"
#include "support/background_work.h"
#include "support/fake_services.h"
#include "support/qstring_print.h"

#include <QAction>
#include <QApplication>
#include <QPushButton>
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
    void focus(platform::Control &c) {
        c.SetFocus();
        QApplication::processEvents();
    }

    platform::FakeServices fakes;
    std::unique_ptr<platform::Services> services;
    SharedState state;
    std::unique_ptr<Form1> form;
    int programEnded = 0;
};

} // namespace tarvel::testing
