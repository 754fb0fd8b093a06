#include "graph/raw_layout.h"

#include <algorithm>

#include "base/str_printf.h"

namespace velacor::graph {

int RawColumnCount(const PlotArea& plot, std::size_t sampleCount) {
    if (plot.Width() <= 0)
        return 0;
    return static_cast<int>(std::min(static_cast<std::size_t>(plot.Width()), sampleCount));
}

double RawValueY(std::uint16_t raw, const PlotArea& plot) {
    return plot.bottom - (raw * protocol::VOLTS_PER_COUNT / RAW_FULL_SCALE_VOLTS) * plot.Height();
}

std::array<VoltLabel, RAW_VOLT_LABELS> RawVoltLabels(const PlotArea& plot) {
    std::array<VoltLabel, RAW_VOLT_LABELS> labels;
    for (int i = 0; i < RAW_VOLT_LABELS; ++i) {
        VoltLabel& label = labels[static_cast<std::size_t>(i)];
        label.volts = i * 0.5;
        label.y = plot.bottom - (label.volts / RAW_FULL_SCALE_VOLTS) * plot.Height();
        label.text = base::StrPrintf("%.1f", label.volts);
    }
    return labels;
}

CounterColumns RawCounterColumns(int columns) {
    CounterColumns result;
    if (columns <= 0)
        return result;
    result.last = columns - 1;
    if (columns >= RAW_FIRST_LABEL_MIN_COLUMNS)
        result.first = 0;
    return result;
}

std::optional<int> RawColumnAt(PixelPoint mouse, const PlotArea& plot, int columns) {
    const int column = mouse.x - plot.left;
    if (column < 0 || column >= columns || mouse.y < plot.top || mouse.y > plot.bottom)
        return std::nullopt;
    return column;
}

std::string RawCounterText(const protocol::SampleRecord& sample) {
    return base::StrPrintf("%u", sample.counter);
}

std::string RawStateText(const protocol::SampleRecord& sample) {
    return base::StrPrintf("state %u", unsigned{sample.state});
}

std::string PlatformDataText(const protocol::PlatformData& platform) {
    return base::StrPrintf(
        "depth=%.2f m, dir=%d, temp=%.3f C, salin=%.3f PSU, DO=%.3f ml/l, P1=%d, P2=%d, P3=%d",
        double{platform.depth}, int{platform.direction}, double{platform.temperature},
        double{platform.salinity}, double{platform.oxygen}, platform.param[0], platform.param[1],
        platform.param[2]);
}

double ThermistorTemperature(const protocol::ThermistorConfig& config,
                             const protocol::SampleRecord& newest) {
    const double v = config.inputChannel < newest.channel.size()
                         ? newest.channel[config.inputChannel] * protocol::VOLTS_PER_COUNT
                         : 0.0;
    return config.coeffV3 * v * v * v + config.coeffV2 * v * v + config.coeffV1 * v +
           config.coeffV0;
}

std::string ThermistorText(
    const std::array<protocol::ThermistorConfig, protocol::THERMISTOR_COUNT>& thermistors,
    const protocol::SampleRecord& newest) {
    return base::StrPrintf("thermistor1=%.3f, thermistor2=%.3f, thermistor3=%.3f",
                           ThermistorTemperature(thermistors[0], newest),
                           ThermistorTemperature(thermistors[1], newest),
                           ThermistorTemperature(thermistors[2], newest));
}

}  // namespace velacor::graph
