// Waiting in tests for work the window hands to a thread of the pool (the
// reading of a workbook): the thread ends, and its answer reaches the window.
#pragma once

#include <QCoreApplication>
#include <QThreadPool>

namespace tarvel::testing {

inline void finishBackgroundWork() {
    QThreadPool::globalInstance()->waitForDone();
    // The answer comes as an event posted to the window's thread.
    QCoreApplication::processEvents();
}

} // namespace tarvel::testing
