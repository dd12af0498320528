// The real main window for a benchmark: scripted services, loaded and shown
// (offscreen where the platform is), as the program starts it.
#pragma once

#include "main_window/form1.h"
#include "support/fake_services.h"

#include <QApplication>
#include <QTest>

namespace tarvel::bench {

struct WindowUnderTest {
    platform::FakeServices fakes;
    platform::Services services = fakes.bundle();
    main_window::SharedState state;
    main_window::Form1 form{state, services};

    // Form_Load, then shown; `exposed` waits until the window is on the
    // screen and active.
    explicit WindowUnderTest(bool exposed = true) {
        form.Form_Load();
        form.show();
        if (!exposed) return;
        QApplication::setActiveWindow(&form);
        (void)QTest::qWaitForWindowExposed(&form);
    }

    // The window hands out its controls const: the focus goes to one
    // through its widget, as a click or Tab gives it.
    static void focus(const platform::Control &c) {
        c.widget()->setFocus(Qt::OtherFocusReason);
        QApplication::processEvents();
    }
};

} // namespace tarvel::bench
