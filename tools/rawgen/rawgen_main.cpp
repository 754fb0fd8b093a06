// velacor-rawgen: writes a synthetic raw output file and, optionally, the true value of each of
// its measurement cycles.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "rawgen/raw_generator.h"

namespace {

using velacor::rawgen::Chemistry;

constexpr int EXIT_OK = 0;
constexpr int EXIT_FAILED = 1;
constexpr int EXIT_USAGE = 2;

constexpr const char* HELP =
    "usage: velacor-rawgen CHEMISTRY -o FILE [OPTIONS]\n"
    "       velacor-rawgen --help\n\n"
    "Writes a raw output file in the sensor's format, built from known true values.\n\n"
    "CHEMISTRY: nutrient, ph, ta or dic\n\n"
    "options:\n"
    "  -o, --output FILE  the raw file to write (replaced if it exists)\n"
    "  --cycles N         measurement cycles (default 10)\n"
    "  --size BYTES       add cycles until the file holds at least BYTES; K, M, G suffixes\n"
    "                     (binary), e.g. 1G; overrides --cycles\n"
    "  --noise X          relative noise on the intensities, e.g. 0.001 (default 0: exact)\n"
    "  --seed S           seed of the true values and the noise (default 1)\n"
    "  --nutrient TYPE    nitrate, phosphate, silicate, nitrite, iron or the code 1, 2, 3, 5,\n"
    "                     6 (default nitrate)\n"
    "  --interval MS      sample interval, 1 to 1000 ms (default 1000)\n"
    "  --short-rows       the older 15-field rows (not for ph)\n"
    "  --name NAME        the sensor name written in the header\n"
    "  --truth FILE       also write the true value of each cycle as CSV\n"
    "                     (sensor_time,platform_time,value)\n\n"
    "exit status: 0 success, 1 the operation failed, 2 wrong usage\n";

std::optional<Chemistry> ParseChemistry(std::string_view text) {
    if (text == "nutrient")
        return Chemistry::Nutrient;
    if (text == "ph")
        return Chemistry::Ph;
    if (text == "ta")
        return Chemistry::Ta;
    if (text == "dic")
        return Chemistry::Dic;
    return std::nullopt;
}

std::optional<std::uint8_t> ParseNutrient(std::string_view text) {
    constexpr std::pair<std::string_view, std::uint8_t> NAMES[] = {
        {"nitrate", 1}, {"phosphate", 2}, {"silicate", 3}, {"nitrite", 5}, {"iron", 6},
        {"1", 1},       {"2", 2},         {"3", 3},        {"5", 5},       {"6", 6}};
    for (const auto& [name, code] : NAMES)
        if (text == name)
            return code;
    return std::nullopt;
}

template <class T>
std::optional<T> ParseUnsigned(std::string_view text) {
    T value{};
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty())
        return std::nullopt;
    return value;
}

std::optional<double> ParseDouble(const std::string& text) {
    char* end = nullptr;
    const double value = std::strtod(text.c_str(), &end);
    if (text.empty() || *end != '\0' || !std::isfinite(value))
        return std::nullopt;
    return value;
}

int Usage(const std::string& problem) {
    std::cerr << "velacor-rawgen: " << problem << "\n(velacor-rawgen --help shows the usage)\n";
    return EXIT_USAGE;
}

void WriteTruth(const std::string& path, const velacor::rawgen::Generated& generated) {
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (!file)
        throw std::runtime_error("cannot create " + path);
    bool ok = std::fputs("sensor_time,platform_time,value\n", file) >= 0;
    for (const velacor::rawgen::CycleTruth& t : generated.truth)
        ok = ok && std::fprintf(file, "%u,%u,%.6f\n", t.sensorTime, t.platformTime, t.value) > 0;
    ok = std::fclose(file) == 0 && ok;
    if (!ok)
        throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    velacor::rawgen::Options options;
    std::optional<Chemistry> chemistry;
    std::string output;
    std::string truthPath;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << HELP;
            return EXIT_OK;
        }
        if (arg == "--short-rows") {
            options.shortRows = true;
            continue;
        }
        if (!arg.starts_with("-")) {
            if (chemistry)
                return Usage("more than one chemistry given");
            chemistry = ParseChemistry(arg);
            if (!chemistry)
                return Usage("unknown chemistry '" + arg + "'");
            continue;
        }
        if (i + 1 == args.size())
            return Usage("option " + arg + " needs a value");
        const std::string& value = args[++i];
        const auto bad = [&] { return Usage("bad value '" + value + "' for " + arg); };
        if (arg == "-o" || arg == "--output") {
            output = value;
        } else if (arg == "--cycles") {
            const auto n = ParseUnsigned<unsigned>(value);
            if (!n)
                return bad();
            options.cycles = *n;
        } else if (arg == "--size") {
            const auto n = velacor::rawgen::ParseByteSize(value);
            if (!n || *n == 0)
                return bad();
            options.minBytes = *n;
        } else if (arg == "--noise") {
            const auto x = ParseDouble(value);
            if (!x || *x < 0)
                return bad();
            options.noise = *x;
        } else if (arg == "--seed") {
            const auto n = ParseUnsigned<std::uint32_t>(value);
            if (!n)
                return bad();
            options.seed = *n;
        } else if (arg == "--nutrient") {
            const auto code = ParseNutrient(value);
            if (!code)
                return bad();
            options.nutrientType = *code;
        } else if (arg == "--interval") {
            const auto n = ParseUnsigned<std::uint32_t>(value);
            if (!n || *n < 1 || *n > 1000)
                return bad();
            options.sampleIntervalMs = *n;
        } else if (arg == "--name") {
            options.sensorName = value;
        } else if (arg == "--truth") {
            truthPath = value;
        } else {
            return Usage("unknown option '" + arg + "'");
        }
    }
    if (!chemistry)
        return Usage("no chemistry given");
    if (output.empty())
        return Usage("no output file given (-o FILE)");
    options.chemistry = *chemistry;

    try {
        const velacor::rawgen::Generated generated = GenerateFile(options, output);
        if (!truthPath.empty())
            WriteTruth(truthPath, generated);
        std::cout << output << ": " << generated.bytes << " bytes, " << generated.rows << " rows, "
                  << generated.truth.size() << " cycles\n";
    } catch (const std::invalid_argument& e) {
        return Usage(e.what());
    } catch (const std::exception& e) {
        std::cerr << "velacor-rawgen: " << e.what() << '\n';
        return EXIT_FAILED;
    }
    return EXIT_OK;
}
