// A plot of 10 000 corners (the most the program takes) written to each of
// the GIS and CAD formats, into a folder of its own, the file replaced at
// every iteration as a second export over the first replaces it. The
// figure to watch is the time of one export; it should stay under 200 ms.
// KML and GeoJSON include the conversion of every corner to WGS 84.
#include "platform/io/gis_reader.h"

#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <numbers>

namespace {

using tarvel::platform::GdalGis;
using tarvel::platform::GisExport;
using tarvel::platform::GisRing;
using Format = GisExport::Format;

constexpr int kCorners = 10'000;

// A round field of 10 000 corners, 500 m across, in the Gauss-Krüger zone 7
// of Pulkovo 1942, every other corner named.
GisExport bigPlot(Format format) {
    GisExport plot;
    plot.format = format;
    plot.system = QStringLiteral("EPSG:28407");
    plot.title = QStringLiteral("Иванов Иван Иванович, пашня у балки");
    GisRing ring;
    for (int i = 0; i < kCorners; ++i) {
        const double a = 2 * std::numbers::pi * i / kCorners;
        // A wobble makes the sides' lengths and directions all different.
        const double r = 250.0 + 3.0 * std::sin(37 * a);
        ring.points.push_back({7452100.0 + r * std::cos(a), 6123400.0 + r * std::sin(a)});
        ring.names.push_back(i % 2 ? QString() : QStringLiteral("н%1").arg(i + 1));
    }
    plot.rings.push_back(std::move(ring));
    return plot;
}

void exportPlot(benchmark::State &state, Format format, const char *fileName) {
    QTemporaryDir folder;
    if (!folder.isValid()) {
        state.SkipWithError("no scratch folder");
        return;
    }
    const QString path = QDir(folder.path()).filePath(QString::fromLatin1(fileName));
    const GisExport plot = bigPlot(format);
    GdalGis gis;
    for (auto _ : state) {
        const QString reason = gis.write(path, plot);
        if (!reason.isEmpty()) {
            state.SkipWithError(reason.toStdString().c_str());
            return;
        }
    }
    state.counters["corners"] = kCorners;
}

BENCHMARK_CAPTURE(exportPlot, dxf, Format::Dxf, "plot.dxf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPlot, mif, Format::MapInfo, "plot.mif")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPlot, shapefile, Format::Shapefile, "plot.shp")
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPlot, kml, Format::Kml, "plot.kml")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(exportPlot, geojson, Format::GeoJson, "plot.geojson")
    ->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
