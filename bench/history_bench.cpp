// The memory the undo history holds after 10 000 steps, as the heap in use
// grows while they are made (glibc's mallinfo2), for steps that change one
// field (typing) and steps that change every coordinate (a transformation).
// The counter bytes_per_10000_steps is the figure to watch: the history
// must stay under 5 MB. The time is reported but not judged.
#include "geometry/polygon_document.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>

namespace {

using tarvel::geometry::Axis;
using tarvel::geometry::PolygonDocument;
using tarvel::geometry::PolygonTexts;

constexpr int kSteps = 10000;
constexpr double kCeiling = 5.0 * 1024 * 1024;

std::size_t heapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

PolygonTexts start() {
    PolygonTexts t;
    t.count = QStringLiteral("20");
    for (int i = 1; i <= 20; ++i) {
        t.x[i] = QString::number(i * 10.0, 'f', 2);
        t.y[i] = QString::number(i * 5.0, 'f', 2);
    }
    t.owner = QStringLiteral("Сюда можно ввести информацию о собственнике");
    return t;
}

// A field typed into and left: one step that changes one text.
void typing(PolygonDocument &doc, int step) {
    doc.editField(step % 2 ? Axis::X : Axis::Y, step % 20 + 1,
                  QString::number(1000.0 + step, 'f', 2));
    doc.endTyping();
}

// A transformation: one step that writes all forty coordinates anew.
void transformation(PolygonDocument &doc, int step) {
    PolygonTexts t = doc.texts();
    for (int i = 1; i <= 20; ++i) {
        t.x[i] = QString::number(i * 10.25 + step, 'f', 2);
        t.y[i] = QString::number(i * 5.75 - step, 'f', 2);
    }
    doc.apply(t, QStringLiteral("Переместить"));
}

template <void (*Command)(PolygonDocument &, int)> void BM_History(benchmark::State &state) {
    double bytes = 0;
    double kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<PolygonDocument>();
        doc->reset(start());
        const std::size_t before = heapInUse();
        state.ResumeTiming();
        for (int s = 0; s < kSteps; ++s)
            Command(*doc, s);
        state.PauseTiming();
        bytes = double(heapInUse()) - double(before);
        kept = doc->undoStack().count();
        doc.reset();
        state.ResumeTiming();
    }
    state.counters["bytes_per_10000_steps"] = bytes;
    state.counters["steps_kept"] = kept;
    if (bytes >= kCeiling) state.SkipWithError("the history holds 5 MB or more");
}

BENCHMARK_TEMPLATE(BM_History, typing)
    ->Name("History/typing")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_TEMPLATE(BM_History, transformation)
    ->Name("History/transformation")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace

BENCHMARK_MAIN();
