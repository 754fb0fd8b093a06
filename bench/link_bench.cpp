// Round trips through SensorLink::Transact against the virtual sensor, and the bare cost of
// handing a buffer to another thread and back with two binary semaphores for comparison.
// Reports the median and the 99th percentile per round trip (counters p50_us, p99_us).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <semaphore>
#include <thread>
#include <vector>

#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "protocol/command_codes.h"

namespace {

using Clock = std::chrono::steady_clock;

void ReportPercentiles(benchmark::State& state, std::vector<double>& micros) {
    if (micros.empty())
        return;
    std::sort(micros.begin(), micros.end());
    state.counters["p50_us"] = micros[micros.size() / 2];
    state.counters["p99_us"] = micros[micros.size() * 99 / 100];
}

void BM_TransactVirtualSensor(benchmark::State& state) {
    velacor::emulator::VirtualHidPlatform platform;
    auto sensor = std::make_shared<velacor::emulator::VirtualSensor>();
    const std::string path = platform.AddSensor(sensor);
    velacor::link::SensorLink link(platform);
    if (link.OpenSensor(path, velacor::link::CONNECT_TIMEOUT_MS) != 0) {
        state.SkipWithError("cannot open the virtual sensor");
        return;
    }
    std::vector<double> micros;
    micros.reserve(1 << 20);
    for (auto _ : state) {
        velacor::link::HidReport report{};
        report[1] = velacor::protocol::CMD_READ_POWER_STATUS;
        report[2] = 1;
        const auto start = Clock::now();
        const int result = link.Transact(report);
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (result != 0)
            state.SkipWithError("transaction failed");
        benchmark::DoNotOptimize(report);
    }
    ReportPercentiles(state, micros);
}
BENCHMARK(BM_TransactVirtualSensor)->MinTime(2.0)->UseRealTime();

void BM_BareSemaphoreHandOff(benchmark::State& state) {
    std::binary_semaphore request{0};
    std::binary_semaphore response{0};
    std::atomic<bool> stop{false};
    std::array<std::uint8_t, 129> buffer{};
    std::thread worker([&] {
        for (;;) {
            request.acquire();
            if (stop)
                return;
            buffer[3]++;
            response.release();
        }
    });
    std::vector<double> micros;
    micros.reserve(1 << 20);
    for (auto _ : state) {
        const auto start = Clock::now();
        request.release();
        response.acquire();
        micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    stop = true;
    request.release();
    worker.join();
    benchmark::DoNotOptimize(buffer);
    ReportPercentiles(state, micros);
}
BENCHMARK(BM_BareSemaphoreHandOff)->MinTime(2.0)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
