#include "processing/sensor_parameters.h"

#include "protocol/chemistry_commands.h"
#include "protocol/settings_commands.h"

namespace velacor::processing {
namespace {

// The sensor's chemistry configuration, when it answers and `accepts` its type.
template <class Accepts>
std::optional<protocol::ChemistryConfig> ReadConfig(link::Transactor& sensor, Accepts accepts) {
    protocol::ChemistryConfig config;
    if (protocol::ReadChemistryConfig(sensor, config) != protocol::STATUS_OK ||
        !accepts(config.chemistryType)) {
        return std::nullopt;
    }
    return config;
}

HeaderThermistor ReadThermistorOrClear(link::Transactor& sensor, std::uint8_t index) {
    protocol::ThermistorConfig t;
    if (protocol::ReadThermistor(sensor, index, t) != protocol::STATUS_OK)
        return {};
    return {t.inputChannel, t.coeffV3, t.coeffV2, t.coeffV1, t.coeffV0};
}

// The header's chemistry code and processing record, from a sensor of `chemistry`.
template <class Header>
std::optional<Header> ReadHeader(link::Transactor& sensor, std::uint8_t chemistry, Header header) {
    const auto config =
        ReadConfig(sensor, [chemistry](std::uint8_t type) { return type == chemistry; });
    if (!config ||
        protocol::ReadProcessing(sensor, chemistry, header.params) != protocol::STATUS_OK) {
        return std::nullopt;
    }
    header.chemistryType = chemistry;
    return header;
}

}  // namespace

std::optional<NutrientHeader> ReadSensorNutrientHeader(link::Transactor& sensor) {
    const auto config = ReadConfig(sensor, IsNutrientCode);
    NutrientHeader header = DefaultNutrientHeader();
    if (!config || protocol::ReadProcessing(sensor, config->chemistryType, header.params) !=
                       protocol::STATUS_OK) {
        return std::nullopt;
    }
    header.chemistryType = config->chemistryType;
    return header;
}

std::optional<PhHeader> ReadSensorPhHeader(link::Transactor& sensor) {
    const auto config =
        ReadConfig(sensor, [](std::uint8_t type) { return type == protocol::CHEMISTRY_PH; });
    PhHeader header = DefaultPhHeader();
    if (!config || protocol::ReadProcessing(sensor, protocol::CHEMISTRY_PH, header.params) !=
                       protocol::STATUS_OK) {
        return std::nullopt;
    }
    header.sampleIntervalMs = config->sampleIntervalMs;
    header.thermistor = {ReadThermistorOrClear(sensor, 0), ReadThermistorOrClear(sensor, 1)};
    return header;
}

std::optional<TaHeader> ReadSensorTaHeader(link::Transactor& sensor) {
    auto read = ReadHeader(sensor, protocol::CHEMISTRY_TA, DefaultTaHeader());
    if (read)
        read->thermistor = {ReadThermistorOrClear(sensor, 0), ReadThermistorOrClear(sensor, 1)};
    return read;
}

std::optional<DicHeader> ReadSensorDicHeader(link::Transactor& sensor) {
    auto read = ReadHeader(sensor, protocol::CHEMISTRY_DIC, DefaultDicHeader());
    if (read)
        read->thermistor = ReadThermistorOrClear(sensor, 0);
    return read;
}

}  // namespace velacor::processing
