// The memory the undo history holds after 10 000 steps, as the heap in use
// grows while they are made (glibc's mallinfo2), for steps that change one
// field (typing) and steps that change every coordinate (a transformation).
// The counter bytes_per_10000_steps is the figure to watch: the history
// must stay under 5 MB at 20 corners; the cases at 1 000 corners report
// theirs against the same line. The time is reported but not judged.
#include "geometry/polygon_document.h"

#include <benchmark/benchmark.h>

#include <malloc.h>

#include <memory>
#include <string>

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

PolygonTexts start(int corners) {
    PolygonTexts t;
    t.count = QString::number(corners);
    for (int i = 1; i <= corners; ++i) {
        t.x[std::size_t(i)] = QString::number(i * 10.0, 'f', 2);
        t.y[std::size_t(i)] = QString::number(i * 5.0, 'f', 2);
    }
    t.owner = QStringLiteral("Сюда можно ввести информацию о собственнике");
    return t;
}

// A field typed into and left: one step that changes one text.
template <int Corners> void typing(PolygonDocument &doc, int step) {
    doc.editField(step % 2 ? Axis::X : Axis::Y, step % Corners + 1,
                  QString::number(1000.0 + step, 'f', 2));
    doc.endTyping();
}

// A transformation: one step that writes every coordinate anew (forty at
// 20 corners, 2 000 at 1 000).
template <int Corners> void transformation(PolygonDocument &doc, int step) {
    PolygonTexts t = doc.texts();
    for (int i = 1; i <= Corners; ++i) {
        t.x[std::size_t(i)] = QString::number(i * 10.25 + step, 'f', 2);
        t.y[std::size_t(i)] = QString::number(i * 5.75 - step, 'f', 2);
    }
    doc.apply(t, QStringLiteral("Переместить"));
}

// The 5 MB ceiling holds for the 20-corner polygons; the larger ones report
// their bytes with a label saying where they stand against it.
template <int Corners, void (*Command)(PolygonDocument &, int)>
void BM_History(benchmark::State &state) {
    double bytes = 0;
    double kept = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto doc = std::make_unique<PolygonDocument>();
        doc->reset(start(Corners));
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
    state.SetLabel(bytes < kCeiling ? "under 5 MB" : "5 MB or more");
    if (Corners <= 20 && bytes >= kCeiling) {
        const std::string why = "the history holds 5 MB or more: " +
                                std::to_string(static_cast<long long>(bytes)) + " bytes";
        state.SkipWithError(why.c_str());
    }
}

BENCHMARK_TEMPLATE(BM_History, 20, typing<20>)
    ->Name("History/typing")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_TEMPLATE(BM_History, 20, transformation<20>)
    ->Name("History/transformation")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);
BENCHMARK_TEMPLATE(BM_History, 1000, typing<1000>)
    ->Name("History/typing/1000_corners")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);
BENCHMARK_TEMPLATE(BM_History, 1000, transformation<1000>)
    ->Name("History/transformation/1000_corners")
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
