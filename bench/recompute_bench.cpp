// Benchmarks: VICHISLIT on the default polygon in the real window on the
// offscreen platform, and PolygonArea on 20 corners beside
// boost::geometry::area on the same ring.
#include "geometry/polygon.h"
#include "window_under_test.h"
#include "main_window/form1.h"
#include "support/fake_services.h"


#include <benchmark/benchmark.h>
#include <boost/geometry.hpp>
#include <boost/geometry/geometries/point_xy.hpp>
#include <boost/geometry/geometries/polygon.hpp>

#include <array>

namespace {

const std::array<double, 21> kX = {0,   26,  26,  6,   6,   96,  101, 106, 114, 118, 126,
                                   176, 176, 140, 140, 176, 176, 96,  96,  76,  76};
const std::array<double, 21> kY = {0,  30, 5,  5,  90, 90, 110, 90, 90, 110, 90,
                                   90, 70, 70, 50, 50, 30, 30,  5,  5,  30};

void BM_VICHISLIT(benchmark::State &st) {
    tarvel::bench::WindowUnderTest window(false);
    for (auto _ : st)
        window.form.VICHISLIT();
}
BENCHMARK(BM_VICHISLIT);

void BM_PolygonArea(benchmark::State &st) {
    for (auto _ : st) {
        double a = tarvel::geometry::PolygonArea(20, kX.data(), kY.data());
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_PolygonArea);

void BM_BoostGeometryArea(benchmark::State &st) {
    namespace bg = boost::geometry;
    using Point = bg::model::d2::point_xy<double>;
    bg::model::polygon<Point, false, false> ring; // anticlockwise, open: the ring as given
    for (int i = 1; i <= 20; ++i)
        ring.outer().push_back(Point(kX[i], kY[i]));
    for (auto _ : st) {
        double a = std::abs(bg::area(ring));
        benchmark::DoNotOptimize(a);
    }
}
BENCHMARK(BM_BoostGeometryArea);

} // namespace
