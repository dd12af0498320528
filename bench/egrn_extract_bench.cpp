// Reading registry extracts: a territory plan of 2 000 plots (about 56 MB,
// written by tests/data/egrn/make_extracts.py --large into a folder of its
// own, named by TARVEL_EGRN_LARGE, else written here into a temporary one)
// and one plot's extract with its plot made into the window's texts. The
// goals: the plan's plots listed in under 2 s, one plot in under 50 ms.
#include "files/egrn_extract.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QString>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>

namespace {

QByteArray readAll(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString largePlan() {
    static std::unique_ptr<QTemporaryDir> dir;
    const QByteArray named = qgetenv("TARVEL_EGRN_LARGE");
    if (!named.isEmpty()) return QString::fromLocal8Bit(named);
    dir = std::make_unique<QTemporaryDir>();
    QProcess::execute(QStringLiteral("python3"),
                      {QStringLiteral(TARVEL_SOURCE_DIR "/tests/data/egrn/make_extracts.py"),
                       QStringLiteral("--large"), dir->path()});
    return dir->filePath(QStringLiteral("territory_plan_large.xml"));
}

void BM_TerritoryPlanOf2000Plots(benchmark::State &state) {
    const QByteArray xml = readAll(largePlan());
    if (xml.isEmpty()) {
        state.SkipWithError("no territory plan");
        return;
    }
    std::size_t plots = 0;
    for (auto _ : state) {
        const tarvel::files::ExtractReading reading = tarvel::files::readEgrnExtract(xml);
        plots = reading.plots.size();
        benchmark::DoNotOptimize(plots);
    }
    state.counters["plots"] = double(plots);
    state.counters["MB"] = double(xml.size()) / 1e6;
}
BENCHMARK(BM_TerritoryPlanOf2000Plots)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_OnePlotsExtractToTexts(benchmark::State &state) {
    const QByteArray xml =
        readAll(QStringLiteral(TARVEL_SOURCE_DIR "/tests/data/egrn/three_contours.xml"));
    for (auto _ : state) {
        const tarvel::files::ExtractReading reading = tarvel::files::readEgrnExtract(xml);
        benchmark::DoNotOptimize(tarvel::files::plotTexts(reading.plots.at(0)));
    }
}
BENCHMARK(BM_OnePlotsExtractToTexts)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
