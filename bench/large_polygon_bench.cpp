// A polygon of 10 000 corners in the real main window (offscreen): what the
// user feels of its size.
//   keystroke      a key in a coordinate field up to the painted frame: the
//                  key event, then the whole drawing repainted at once and
//                  whatever else is pending (keystroke_bench's worst case)
//   open           "Файл → Открыть" of a 10 000-corner .squx file, the
//                  dialog answered by the fake, up to the painted window
//   scroll         one step of the coordinate table (setFirst(first() + 1))
//                  with the repaints it leaves pending
//   sheet update   with "Ведомость участка" open: its own update on a
//                  keystroke (the refresh run by the document's change, and
//                  its window painted), and the keystroke beside the one
//                  without the sheet
//
//   large_polygon_bench [--keys N] [--opens N]  (QT_QPA_PLATFORM=offscreen by default)
#include "files/polygon_file.h"
#include "geometry/polygon.h"
#include "drawing/drawing_surface.h"
#include "window_under_test.h"
#include "main_window/form1.h"
#include "main_window/survey_sheet_window.h"
#include "support/fake_services.h"

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tarvel::geometry::Axis;

double ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double percentile(std::vector<double> v, double p) {
    std::sort(v.begin(), v.end());
    const auto i = static_cast<std::size_t>(std::ceil(p * static_cast<double>(v.size())));
    return v[std::min(i == 0 ? 0 : i - 1, v.size() - 1)];
}

// "name: median X ms, p99 Y ms (goal ...: met/NOT met)"; the goal is on the
// 99th percentile, or on the median when `onMedian`.
void report(const char *name, const std::vector<double> &v, double goalMs, bool onMedian = false) {
    const double median = percentile(v, 0.5), p99 = percentile(v, 0.99);
    const bool met = (onMedian ? median : p99) < goalMs;
    std::printf("%s: median %.3f ms, p99 %.3f ms (goal %s < %.0f ms: %s; %zu samples)\n", name,
                median, p99, onMedian ? "median" : "p99", goalMs, met ? "met" : "NOT met",
                v.size());
}

// Corners on a circle of 2 km about (5000, 5000), in centimetres as typed.
QByteArray circleFile(int n) {
    tarvel::files::PolygonFileData d;
    d.count = QString::number(n);
    for (int i = 1; i <= n; ++i) {
        const double a = 2 * M_PI * (i - 1) / n;
        d.x[std::size_t(i)] = QString::number(5000 + 2000 * std::cos(a), 'f', 2);
        d.y[std::size_t(i)] = QString::number(5000 + 2000 * std::sin(a), 'f', 2);
    }
    d.owner = QStringLiteral("Участок в 10 000 углов");
    return tarvel::files::encodeSquxFile(d);
}

// A keystroke and its parts: the key with the change it makes and its
// recompute, the drawing repainted, the other repaints pending.
struct Parts {
    std::vector<double> total, key, surface, pending;
    void print() const {
        const auto part = [](const char *what, const std::vector<double> &v) {
            std::printf("    %-28s median %.3f ms, p99 %.3f ms\n", what, percentile(v, 0.5),
                        percentile(v, 0.99));
        };
        part("key, change, recompute", key);
        part("surface()->repaint()", surface);
        part("other pending repaints", pending);
    }
};

} // namespace

int main(int argc, char **argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    int keys = 300, opens = 9;
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--keys") keys = std::max(10, std::atoi(argv[++i]));
        else if (std::string(argv[i]) == "--opens") opens = std::max(1, std::atoi(argv[++i]));
    }
    QApplication app(argc, argv);
    constexpr int kCorners = tarvel::geometry::kMaxCorners;
    constexpr double kFrameMs = 16.0;

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.squx"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(circleFile(kCorners)) < 0) return 1;
    file.close();

    tarvel::bench::WindowUnderTest window;
    auto &fakes = window.fakes;
    tarvel::main_window::Form1 &form = window.form;

    // Opening: the first one loads the polygon and is not counted. An
    // edited document is answered "No" by the fake's fallback.
    std::vector<double> open;
    for (int k = 0; k <= opens; ++k) {
        fakes.dialogs.fileAnswers = {path};
        const auto t0 = Clock::now();
        form.controls().Menu_File_Open->trigger();
        QApplication::processEvents();
        if (k > 0) open.push_back(ms(Clock::now() - t0));
    }
    if (form.cornerCount() != kCorners) {
        std::fprintf(stderr, "the file did not open: %d corners\n", form.cornerCount());
        return 1;
    }

    // Digits typed into the first row's X field alternate with Backspace,
    // so the polygon stays the same; a few keys first warm up.
    const Qt::Key digits[] = {Qt::Key_1, Qt::Key_2, Qt::Key_3, Qt::Key_5, Qt::Key_7, Qt::Key_9};
    const auto typeKeys = [&](const std::function<void(bool warmUp)> &perKey) {
        QApplication::setActiveWindow(&form);
        const auto *field = form.table().fieldInRow(Axis::X, 1);
        window.focus(*field);
        QLineEdit *edit = field->edit();
        edit->deselect();
        edit->end(false);
        Parts p;
        for (int k = 0; k < keys + 20; ++k) {
            const auto t0 = Clock::now();
            QTest::keyClick(edit, k % 2 == 0 ? digits[(k / 2) % 6] : Qt::Key_Backspace);
            const auto t1 = Clock::now();
            if (perKey) perKey(k < 20);
            const auto t2 = Clock::now();
            form.surface()->repaint();
            const auto t3 = Clock::now();
            QApplication::processEvents();
            const auto t4 = Clock::now();
            if (k < 20) continue;
            p.total.push_back(ms(t4 - t0));
            p.key.push_back(ms(t1 - t0));
            p.surface.push_back(ms(t3 - t2));
            p.pending.push_back(ms(t4 - t3));
        }
        return p;
    };
    const Parts keystroke = typeKeys({});

    // Scrolling from the top, one corner per step: the scroll bar's arrow.
    form.setFocus();
    QScrollBar *bar = form.table().scrollBar();
    bar->triggerAction(QAbstractSlider::SliderToMinimum);
    QApplication::processEvents();
    std::vector<double> scroll;
    for (int k = 0; k < keys + 20; ++k) {
        const auto t0 = Clock::now();
        bar->triggerAction(QAbstractSlider::SliderSingleStepAdd);
        QApplication::processEvents();
        if (k >= 20) scroll.push_back(ms(Clock::now() - t0));
    }
    const int scrolledTo = form.table().first();

    // The sheet: its refresh runs in the document's changed(), between a
    // slot connected before the window was made and one connected after.
    Clock::time_point beforeSheet, afterSheet;
    auto &doc = form.document();
    QObject::connect(&doc, &tarvel::geometry::PolygonDocument::changed,
                     [&] { beforeSheet = Clock::now(); });
    form.controls().Menu_Tools_Sheet->trigger();
    QApplication::processEvents();
    auto *sheet = form.findChild<tarvel::main_window::SurveySheetWindow *>();
    if (!sheet || !sheet->isVisible()) {
        std::fprintf(stderr, "the sheet window did not open\n");
        return 1;
    }
    QObject::connect(&doc, &tarvel::geometry::PolygonDocument::changed,
                     [&] { afterSheet = Clock::now(); });
    std::vector<double> sheetUpdate, sheetRefresh;
    const int updatesBefore = sheet->updateCount();
    const Parts keystrokeWithSheet = typeKeys([&](bool warmUp) {
        const auto t0 = Clock::now();
        sheet->repaint(); // the sheet's window painted with its new texts
        const double refresh = ms(afterSheet - beforeSheet);
        if (warmUp) return;
        sheetRefresh.push_back(refresh);
        sheetUpdate.push_back(refresh + ms(Clock::now() - t0));
    });
    const int updates = sheet->updateCount() - updatesBefore;

    std::printf("A polygon of %d corners in the main window (offscreen), frame %.0f ms\n", kCorners,
                kFrameMs);
    report("keystroke to painted frame", keystroke.total, kFrameMs);
    keystroke.print();
    report("open .squx of 10 000 corners", open, 100, true);
    report("scroll the table one step", scroll, kFrameMs);
    std::printf("    scrolled to corner %d\n", scrolledTo);
    report("sheet update on a keystroke", sheetUpdate, kFrameMs);
    std::printf("    of which the sheet's refresh   median %.3f ms, p99 %.3f ms (%d updates)\n",
                percentile(sheetRefresh, 0.5), percentile(sheetRefresh, 0.99), updates);
    report("    keystroke with the sheet open", keystrokeWithSheet.total, kFrameMs);
    keystrokeWithSheet.print();
    std::printf("    the sheet's cost on a keystroke: median %+.3f ms, p99 %+.3f ms\n",
                percentile(keystrokeWithSheet.total, 0.5) - percentile(keystroke.total, 0.5),
                percentile(keystrokeWithSheet.total, 0.99) - percentile(keystroke.total, 0.99));
    return 0;
}
