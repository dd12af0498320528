// Start-up measurement: once a window's first frame is painted, writes
//   first-paint main-ms=<ms since the given start> monotonic-ns=<CLOCK_MONOTONIC> size=<WxH>
// to stderr and ends the program. The program installs it only when
// TARVEL_EXIT_AFTER_FIRST_PAINT is set; the bare Qt program of the start-up
// benchmark uses the same probe, so both are measured alike. "main-ms"
// counts from a steady clock read as the first statement of main;
// "monotonic-ns" lets the caller measure from before exec, dynamic loading
// included.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace tarvel::platform {

class FirstPaintProbe : public QObject {
public:
    FirstPaintProbe(const QWidget &window, std::chrono::steady_clock::time_point started)
        : window_(window), started_(started) {}

    bool eventFilter(QObject *watched, QEvent *event) override {
        if (!seen_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            static_cast<QWidget *>(watched)->window() == &window_) {
            seen_ = true;
            // Queued: it runs once the whole frame, children included, is
            // painted and flushed.
            QMetaObject::invokeMethod(this, &FirstPaintProbe::report, Qt::QueuedConnection);
        }
        return false;
    }

private:
    void report() {
        const auto now = std::chrono::steady_clock::now();
        timespec ts{};
        clock_gettime(CLOCK_MONOTONIC, &ts);
        std::fprintf(stderr, "first-paint main-ms=%.3f monotonic-ns=%lld size=%dx%d\n",
                     std::chrono::duration<double, std::milli>(now - started_).count(),
                     static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec, window_.width(),
                     window_.height());
        QCoreApplication::exit(0);
    }

    const QWidget &window_;
    std::chrono::steady_clock::time_point started_;
    bool seen_ = false;
};

} // namespace tarvel::platform
