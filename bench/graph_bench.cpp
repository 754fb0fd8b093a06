// One raw graph redraw with a full history (3600 samples, all eight channels ticked, the
// platform data and thermistor lines on) into a 1920 x 1080 image, and one append to the
// sample history. Reports the median per operation (counters p50_ms, p50_ns).
#include <benchmark/benchmark.h>

#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "connection/sample_history.h"
#include "graph/ui/raw_graph.h"

namespace {

using Clock = std::chrono::steady_clock;

double Median(std::vector<double>& values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

velacor::protocol::SampleRecord Sample(std::uint32_t i) {
    velacor::protocol::SampleRecord sample;
    sample.counter = i;
    sample.state = static_cast<std::uint8_t>(i % 40);
    for (std::size_t c = 0; c < sample.channel.size(); ++c) {
        // A different wave on each channel, with a step every 50 samples, over most of 0..5 V.
        const double wave = std::sin(i * 0.013 * static_cast<double>(c + 1)) * 25000;
        const double step = (i / 50 % 2) * 4000.0;
        sample.channel[c] = static_cast<std::uint16_t>(32768 + wave + step - 2000);
    }
    return sample;
}

void BM_RawGraphRedrawFullHistory(benchmark::State& state) {
    velacor::connection::SampleHistory history;
    if (!history.Allocate()) {
        state.SkipWithError("cannot allocate the history");
        return;
    }
    for (std::uint32_t i = 0; i < velacor::connection::HISTORY_SLOTS; ++i)
        history.Append(Sample(i));

    velacor::graph::ui::RawGraph graph(
        [&history](std::size_t n, std::vector<velacor::protocol::SampleRecord>& out) {
            history.CopyNewest(n, out);
        });
    graph.SetCanvasSize({1920, 1080});
    graph.resize(1920, 1080);
    for (int c = 0; c < velacor::graph::ui::RawGraph::CHANNELS; ++c)
        graph.SetChannelShown(c, true);
    graph.SetPlatformDataShown(true);
    graph.SetThermistorsShown(true);

    std::vector<double> millis;
    millis.reserve(1 << 16);
    for (auto _ : state) {
        const auto start = Clock::now();
        graph.Redraw();
        millis.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    benchmark::DoNotOptimize(graph.Canvas().constBits());
    state.counters["p50_ms"] = Median(millis);
}
BENCHMARK(BM_RawGraphRedrawFullHistory)->MinTime(2.0)->UseRealTime()->Unit(benchmark::kMillisecond);

void BM_SampleHistoryAppend(benchmark::State& state) {
    velacor::connection::SampleHistory history;
    if (!history.Allocate()) {
        state.SkipWithError("cannot allocate the history");
        return;
    }
    velacor::protocol::SampleRecord sample = Sample(7);
    std::vector<double> nanos;
    nanos.reserve(1 << 22);
    for (auto _ : state) {
        ++sample.counter;
        const auto start = Clock::now();
        history.Append(sample);
        const auto end = Clock::now();
        if (nanos.size() < nanos.capacity())
            nanos.push_back(std::chrono::duration<double, std::nano>(end - start).count());
    }
    state.counters["p50_ns"] = Median(nanos);
}
BENCHMARK(BM_SampleHistoryAppend)->MinTime(1.0);

}  // namespace

int main(int argc, char** argv) {
    // The graph is a widget: it needs an application, on a platform without a display.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
