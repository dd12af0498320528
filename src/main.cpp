// Тарвел 3.0: the area, sides and angles of a plane polygon, drawn to scale.
#include "main_window/form1.h"
#include "main_window/shared_state.h"
#include "platform/real_services.h"

#include <QApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

// ---- Start-up measurement hook (scripts/bench-startup only) ----
// With TARVEL_EXIT_AFTER_FIRST_PAINT set, the program writes one line to
// stderr once the main window's first frame is painted, then ends:
//   first-paint main-ms=<ms since the top of main> monotonic-ns=<CLOCK_MONOTONIC> size=<WxH>
// "main-ms" is measured with a steady clock read as the first statement of
// main; "monotonic-ns" lets the caller measure from before exec, dynamic
// loading included. bench/startup/bare_qt.cpp reports the same way.
#include <QEvent>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>

namespace {

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

} // namespace
// ---- end of the start-up measurement hook ----

int main(int argc, char *argv[]) {
    const auto started = std::chrono::steady_clock::now(); // start-up measurement hook
    QApplication app(argc, argv);
    // Settings and the file-type association go under the executable's base
    // name, so a copy under another name keeps settings of its own.
    const QString appName = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    QCoreApplication::setApplicationName(appName);

    // The interface is Russian, the standard buttons and dialogs included.
    QTranslator qtTranslator;
    if (qtTranslator.load(QStringLiteral("qtbase_ru"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTranslator);

    tarvel::platform::RealServices services(appName, QCoreApplication::applicationFilePath(),
                                            QCoreApplication::arguments());
    auto bundle = services.bundle();
    tarvel::SharedState state;
    tarvel::Form1 form(state, bundle);
    form.Form_Load();

    FirstPaintProbe firstPaintProbe(form, started); // start-up measurement hook
    if (qEnvironmentVariableIsSet("TARVEL_EXIT_AFTER_FIRST_PAINT"))
        app.installEventFilter(&firstPaintProbe);

    form.show();
    return QApplication::exec();
}
