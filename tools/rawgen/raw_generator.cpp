#include "rawgen/raw_generator.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>

#include "rawgen/chemistry_cycles.h"

namespace velacor::rawgen {
namespace {

using detail::Builder;
using detail::CycleWriter;
using detail::HeaderLines;
using detail::MakeCycleWriter;
using detail::NoisyChannels;
using detail::RowWriter;

// The column heading line: short names, so that it stays one piece for the 199-byte reader.
constexpr const char* COLUMN_HEADINGS[] = {
    "%Counter",       "State",         "Ch 0",      "Ch 1",      "Ch 2",
    "Ch 3",           "Ch 4",          "Ch 5",      "Ch 6",      "Ch 7",
    "Temp (C)",       "Voltage (V)",   "Hall (I)",  "Hall (W)",  "Sensor Timestamp",
    "Salinity (PSU)", "Platform Temp", "DO (ml/l)", "Depth (m)", "Platform Timestamp"};

void Validate(const Options& options) {
    if (options.chemistry == Chemistry::Nutrient)
        NutrientSetupFor(options.nutrientType);  // throws for a non-nutrient code
    if (options.shortRows && options.chemistry == Chemistry::Ph)
        throw std::invalid_argument("pH processing reads only 20-field rows");
    if (options.sampleIntervalMs < 1 || options.sampleIntervalMs > 1000)
        throw std::invalid_argument("the sample interval must be 1 to 1000 ms");
    if (!(options.noise >= 0) || !std::isfinite(options.noise))
        throw std::invalid_argument("the noise must be a non-negative number");
    if (options.sensorName.find_first_of("\r\n") != std::string::npos)
        throw std::invalid_argument("the sensor name must be one line");
}

std::uint8_t ChemistryCode(const Options& options) {
    switch (options.chemistry) {
        case Chemistry::Nutrient:
            return options.nutrientType;
        case Chemistry::Ph:
            return 4;
        case Chemistry::Ta:
            return 7;
        case Chemistry::Dic:
            return 8;
    }
    return 0;
}

void Run(const Options& options, RowWriter& writer, Generated& result, CycleWriter& files) {
    HeaderLines header(writer);
    header.Line("%VELACOR.HEADER_START");
    if (!options.sensorName.empty())
        header.Line("%VELACOR.CORE.SENSOR_NAME=" + options.sensorName);
    header.KeyU("TYPE", ChemistryCode(options));
    header.KeyU("SENSOR_VERSION", 0);
    header.KeyU("SAMPLE_INTERVAL", options.sampleIntervalMs);
    files.Header(header);
    header.Line("%VELACOR.HEADER_END");
    std::string headings;
    const std::size_t fields = options.shortRows ? 15 : 20;
    for (std::size_t i = 0; i < fields; ++i)
        headings.append(i ? "," : "").append(COLUMN_HEADINGS[i]);
    header.Line(headings);

    for (unsigned cycle = 0;
         options.minBytes > 0 ? writer.Bytes() < options.minBytes : cycle < options.cycles; ++cycle)
        result.truth.push_back(files.Cycle(cycle));
}

}  // namespace

Generated Generate(const Options& options, const std::function<void(std::string_view)>& write) {
    Validate(options);
    Generated result;
    RowWriter writer(write, options.sampleIntervalMs, options.shortRows);
    Builder builder(options, writer, NoisyChannels(options));
    const std::unique_ptr<CycleWriter> files = MakeCycleWriter(options, builder);
    Run(options, writer, result, *files);
    writer.Finish();
    result.bytes = writer.Bytes();
    result.rows = writer.Rows();
    return result;
}

std::string GenerateString(const Options& options, Generated* info) {
    std::string text;
    Generated generated = Generate(options, [&](std::string_view block) { text.append(block); });
    if (info)
        *info = std::move(generated);
    return text;
}

Generated GenerateFile(const Options& options, const std::string& path) {
    Validate(options);  // before anything is touched
    // A file is written beside its target and renamed over it only when complete, so a failed
    // run leaves an existing file as it was; a device or pipe given as the path is written to.
    std::error_code error;
    const bool direct =
        std::filesystem::exists(path, error) && !std::filesystem::is_regular_file(path, error);
    const std::string target = direct ? path : path + ".partial";
    std::FILE* file = std::fopen(target.c_str(), "wb");
    if (!file)
        throw std::runtime_error("cannot create " + target + ": " + std::strerror(errno));
    const auto discard = [&] {
        if (!direct)
            std::filesystem::remove(target, error);
    };
    Generated result;
    try {
        result = Generate(options, [&](std::string_view block) {
            if (std::fwrite(block.data(), 1, block.size(), file) != block.size())
                throw std::runtime_error("cannot write " + target + ": " + std::strerror(errno));
        });
    } catch (...) {
        std::fclose(file);
        discard();
        throw;
    }
    if (std::fclose(file) != 0) {
        const std::string reason = std::strerror(errno);
        discard();
        throw std::runtime_error("cannot write " + target + ": " + reason);
    }
    if (!direct) {
        std::filesystem::rename(target, path, error);
        if (error) {
            discard();
            throw std::runtime_error("cannot replace " + path + ": " + error.message());
        }
    }
    return result;
}

std::optional<std::uint64_t> ParseByteSize(std::string_view text) {
    std::uint64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end == text.data())
        return std::nullopt;
    const std::string_view suffix(end, static_cast<std::size_t>(text.data() + text.size() - end));
    int shift = 0;
    if (suffix == "K" || suffix == "k")
        shift = 10;
    else if (suffix == "M" || suffix == "m")
        shift = 20;
    else if (suffix == "G" || suffix == "g")
        shift = 30;
    else if (!suffix.empty())
        return std::nullopt;
    if (shift > 0 && value > (~std::uint64_t{0} >> shift))
        return std::nullopt;
    return value << shift;
}

}  // namespace velacor::rawgen