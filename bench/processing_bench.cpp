// Offline processing over raw output files of at least 1 GB, generated when the benchmark
// starts (and removed when it ends), beside `wc -l` over the same file.
//
// Reported per run: MB/s (Google Benchmark's bytes_per_second) and the peak resident memory of
// the run (peak_rss_MB, the process's high-water mark reset before the run). A smaller file is
// processed too, so that the peak can be compared across sizes.
//
//   build/bench/processing_bench [--size=1G] [--dir=/tmp] [benchmark options]
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>

#include "processing/processing_runs.h"
#include "rawgen/raw_generator.h"

namespace {

using namespace velacor;

std::uint64_t g_size = 1ull << 30;
std::filesystem::path g_dir = std::filesystem::temp_directory_path();
std::map<std::string, std::string> g_files;  // name -> path

// The process's resident high-water mark, in MB; ResetPeak starts a new one (Linux 4.0+).
void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}
double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.starts_with("VmHWM:"))
            return std::strtod(line.c_str() + 6, nullptr) / 1024.0;
    return 0;
}

const std::string& File(const std::string& name, rawgen::Chemistry chemistry, std::uint64_t bytes) {
    auto it = g_files.find(name);
    if (it != g_files.end())
        return it->second;
    const std::string path = (g_dir / ("velacor_bench_" + name + ".csv")).string();
    rawgen::Options options;
    options.chemistry = chemistry;
    options.minBytes = bytes;
    options.noise = 0.001;
    if (chemistry == rawgen::Chemistry::Ph)
        options.sampleIntervalMs = 100;  // the sensor's default
    std::fprintf(stderr, "generating %s (%llu MB)...\n", path.c_str(),
                 static_cast<unsigned long long>(bytes >> 20));
    rawgen::GenerateFile(options, path);
    return g_files.emplace(name, path).first->second;
}

void Process(benchmark::State& state, processing::Chemistry chemistry, const std::string& path) {
    const auto bytes = std::filesystem::file_size(path);
    double peak = 0;
    std::size_t rows = 0;
    for (auto _ : state) {
        ResetPeak();
        processing::ResultsTable table;
        const processing::HeaderRun run =
            processing::ProcessWithHeader(chemistry, path, table, nullptr);
        if (!run.ok) {
            state.SkipWithError(run.error.c_str());
            return;
        }
        rows = table.Rows().size();
        peak = std::max(peak, PeakMegabytes());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
    state.counters["peak_rss_MB"] = peak;
    state.counters["file_MB"] = static_cast<double>(bytes) / (1 << 20);
    state.counters["result_rows"] = static_cast<double>(rows);
}

void WcLines(benchmark::State& state, const std::string& path) {
    const auto bytes = std::filesystem::file_size(path);
    const std::string command = "wc -l '" + path + "' >/dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0) {
            state.SkipWithError("wc -l failed");
            return;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes * state.iterations()));
}

void Register() {
    using processing::Chemistry;
    const std::string& nutrient = File("nutrient", rawgen::Chemistry::Nutrient, g_size);
    const std::string& ph = File("ph", rawgen::Chemistry::Ph, g_size);
    const std::string& small = File("nutrient_small", rawgen::Chemistry::Nutrient, g_size / 8);
    const auto add = [](const char* name, auto function) {
        benchmark::RegisterBenchmark(name, function)
            ->Unit(benchmark::kMillisecond)
            ->Iterations(1)
            ->Repetitions(3)
            ->ReportAggregatesOnly(false)
            ->UseRealTime();
    };
    add("wc_l/nutrient", [nutrient](benchmark::State& s) { WcLines(s, nutrient); });
    add("process/nutrient",
        [nutrient](benchmark::State& s) { Process(s, Chemistry::Nutrient, nutrient); });
    add("process/nutrient_eighth_size",
        [small](benchmark::State& s) { Process(s, Chemistry::Nutrient, small); });
    add("wc_l/ph", [ph](benchmark::State& s) { WcLines(s, ph); });
    add("process/ph", [ph](benchmark::State& s) { Process(s, Chemistry::Ph, ph); });
}

}  // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg.starts_with("--size=")) {
            if (const auto size = rawgen::ParseByteSize(arg.substr(7)))
                g_size = *size;
        } else if (arg.starts_with("--dir=")) {
            g_dir = arg.substr(6);
        }
    }
    benchmark::Initialize(&argc, argv);
    int status = 0;
    try {
        Register();
        benchmark::RunSpecifiedBenchmarks();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "processing_bench: %s\n", e.what());
        status = 1;
    }
    benchmark::Shutdown();
    for (const auto& [name, path] : g_files)
        std::filesystem::remove(path);
    return status;
}
