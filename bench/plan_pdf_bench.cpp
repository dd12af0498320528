// Benchmarks: the plan ("Чертёж участка") of a plot of 10 000 corners, a
// star about 2 km across at survey coordinates (X about 6 000 000, Y about
// 2 000 000): its input read from the document (the survey sheet of the
// catalogue included), its layout alone, and the whole plan written as PDF
// pages into memory at the resolution of the program's PDFs. The whole
// PDF should stay under a second.
#include "drawing/plan_layout.h"
#include "drawing/plan_paint.h"
#include "geometry/polygon_document.h"

#include <QBuffer>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

using namespace tarvel;

constexpr int kCorners = 10000;

// Every other corner 100 m nearer the centre: sides of a few metres that
// turn at every corner, as a surveyed outline does.
geometry::PolygonTexts star() {
    geometry::PolygonTexts t;
    t.count = QString::number(kCorners);
    for (int i = 1; i <= kCorners; ++i) {
        const double a = 2 * std::numbers::pi * i / kCorners, r = i % 2 ? 1000 : 900;
        t.x[std::size_t(i)] = QString::number(6000000 + r * std::cos(a), 'f', 2).replace('.', ',');
        t.y[std::size_t(i)] = QString::number(2000000 + r * std::sin(a), 'f', 2).replace('.', ',');
    }
    t.owner = QStringLiteral("Участок с кадастровым номером 26:12:000000:1");
    return t;
}

struct Plot {
    geometry::PolygonDocument doc;
    Plot() { doc.reset(star()); }
};

void BM_PlanInput(benchmark::State &st) {
    Plot plot;
    for (auto _ : st) {
        drawing::PlanInput in = drawing::planInputOf(plot.doc);
        benchmark::DoNotOptimize(in);
    }
}
BENCHMARK(BM_PlanInput)->Unit(benchmark::kMillisecond);

void BM_PlanLayout(benchmark::State &st) {
    Plot plot;
    const drawing::PlanInput in = drawing::planInputOf(plot.doc);
    const drawing::PlanMeasure measure = drawing::planFontMeasure();
    const QSizeF a4(drawing::kA4WidthMm, drawing::kA4HeightMm);
    int pages = 0, labels = 0;
    for (auto _ : st) {
        const drawing::PlanLayout plan =
            drawing::layOutPlan(in, a4, drawing::firstFittingScale(in, a4), measure);
        pages = plan.pageCount();
        labels = int(plan.labels.size());
        benchmark::DoNotOptimize(plan);
    }
    st.counters["pages"] = pages;
    st.counters["labels"] = labels;
}
BENCHMARK(BM_PlanLayout)->Unit(benchmark::kMillisecond);

// What "Сохранить в PDF" does once the file is chosen: the input, the
// layout and every page painted at 600 dpi.
void BM_PlanPdf(benchmark::State &st) {
    Plot plot;
    const drawing::PlanMeasure measure = drawing::planFontMeasure();
    const QSizeF a4(drawing::kA4WidthMm, drawing::kA4HeightMm);
    qint64 bytes = 0;
    for (auto _ : st) {
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            writer.setResolution(600);
            writer.setPageSize(QPageSize(QPageSize::A4));
            writer.setPageMargins(QMarginsF(0, 0, 0, 0));
            QPainter painter(&writer);
            const drawing::PlanInput in = drawing::planInputOf(plot.doc);
            const drawing::PlanLayout plan = drawing::layOutPlan(
                in, drawing::planPaperOf(painter), drawing::firstFittingScale(in, a4), measure);
            drawing::paintPlan(painter, plan, writer.resolution());
        }
        bytes = buffer.size();
    }
    st.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_PlanPdf)->Unit(benchmark::kMillisecond);

} // namespace
