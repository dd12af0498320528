// Benchmarks: the survey sheet of a 20-corner polygon, computed alone, and
// its window's update on a change of the document (offscreen platform). A
// frame is 16 ms; both should stay far below it.
#include "geometry/polygon_commands.h"
#include "geometry/polygon_document.h"
#include "geometry/survey_sheet.h"
#include "main_window/survey_sheet_window.h"
#include "support/fake_services.h"


#include <benchmark/benchmark.h>

#include <optional>

namespace {

using namespace tarvel;

void BM_SheetCompute(benchmark::State &st) {
    geometry::SheetInput in;
    in.polygon.texts = geometry::defaultPolygon(); // the 20 corners of the start
    in.polygon.corners = 20;
    for (auto _ : st) {
        geometry::SurveySheet s = geometry::computeSurveySheet(in);
        benchmark::DoNotOptimize(s);
    }
}
BENCHMARK(BM_SheetCompute)->Unit(benchmark::kMicrosecond);

void BM_SheetTexts(benchmark::State &st) {
    geometry::SheetInput in;
    in.polygon.texts = geometry::defaultPolygon();
    in.polygon.corners = 20;
    const geometry::SurveySheet s = geometry::computeSurveySheet(in);
    for (auto _ : st) {
        QString tsv = geometry::sheetTsv(s), html = geometry::sheetHtml(s);
        benchmark::DoNotOptimize(tsv);
        benchmark::DoNotOptimize(html);
    }
}
BENCHMARK(BM_SheetTexts)->Unit(benchmark::kMicrosecond);

// The window over a document of its own: one edit of a field is one change
// of the document, its recompute and the sheet's update.
struct SheetWindowRig {
    platform::FakeServices fakes;
    platform::Services services = fakes.bundle();
    geometry::PolygonDocument doc;
    main_window::ViewState view;
    files::Settings settings;
    QWidget owner;
    main_window::SurveySheetWindow window{
        owner, services,
        main_window::PrintPage{doc, view, settings, nullptr,
                               [](const QString &, double) { return QSizeF(100, 100); }}};
    SheetWindowRig() {
        doc.reset(geometry::defaultPolygon());
        window.show();
    }
};

void BM_SheetWindowUpdate(benchmark::State &st) {
    SheetWindowRig rig;
    bool flip = false;
    for (auto _ : st) {
        flip = !flip;
        rig.doc.editField(geometry::Axis::X, 1, flip ? QStringLiteral("27") : QStringLiteral("26"));
    }
    st.counters["updates"] = rig.window.updateCount();
}
BENCHMARK(BM_SheetWindowUpdate)->Unit(benchmark::kMicrosecond);

} // namespace
