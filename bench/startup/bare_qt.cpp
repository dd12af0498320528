// The yardstick for the program's start-up: the least a Qt Widgets program
// does to show a window, one window with one label, on the same platform
// plugin. With TARVEL_EXIT_AFTER_FIRST_PAINT set it reports its first
// painted frame exactly as the program's own hook in src/main.cpp does
// (a steady clock read as the first statement of main, and the
// CLOCK_MONOTONIC time at the report), then ends.
//
//   bare_qt [--size WxH]   (640x480 unless given: the driver passes the
//                           main window's size, so both paint as many pixels)
#include "platform/services/first_paint_probe.h"

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include <chrono>
#include <cstdio>
#include <ctime>

int main(int argc, char *argv[]) {
    const auto started = std::chrono::steady_clock::now();
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Тарвел 3.0"));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(new QLabel(QStringLiteral("Площадь многоугольника")));
    int width = 640, height = 480;
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype i = args.indexOf(QStringLiteral("--size")); i >= 0 && i + 1 < args.size()) {
        const QStringList wh = args[i + 1].split(u'x');
        if (wh.size() == 2) {
            width = wh[0].toInt();
            height = wh[1].toInt();
        }
    }
    window.resize(width, height);

    tarvel::platform::FirstPaintProbe probe(window, started);
    if (qEnvironmentVariableIsSet("TARVEL_EXIT_AFTER_FIRST_PAINT")) app.installEventFilter(&probe);

    window.show();
    return QApplication::exec();
}
