#include "config/thermistors.h"

#include "config/choice_lists.h"
#include "config/field_rules.h"
#include "protocol/settings_commands.h"

namespace velacor::config {

std::optional<Thermistors> LoadThermistors(link::Transactor& sensor) {
    Thermistors records;
    for (std::uint8_t i = 0; i < THERMISTORS; ++i) {
        if (protocol::ReadThermistor(sensor, i, records[i]) != protocol::STATUS_OK)
            return std::nullopt;
    }
    return records;
}

ThermistorsForm ShowThermistors(const Thermistors& records) {
    ThermistorsForm form;
    for (std::size_t i = 0; i < THERMISTORS; ++i) {
        const protocol::ThermistorConfig& r = records[i];
        form[i].channel = base::IndexOfCode(INPUT_CHANNELS, r.inputChannel);
        form[i].coeff = {SingleText(r.coeffV3), SingleText(r.coeffV2), SingleText(r.coeffV1),
                         SingleText(r.coeffV0)};
    }
    return form;
}

Thermistors ReadThermistors(const ThermistorsForm& form, const Thermistors& shown) {
    Thermistors records = shown;
    for (std::size_t i = 0; i < THERMISTORS; ++i) {
        protocol::ThermistorConfig& r = records[i];
        r.thermByte0 = 0;
        r.inputChannel =
            static_cast<std::uint8_t>(base::CodeAtIndex(INPUT_CHANNELS, form[i].channel));
        r.coeffV3 = ReadSingleText(form[i].coeff[0], r.coeffV3);
        r.coeffV2 = ReadSingleText(form[i].coeff[1], r.coeffV2);
        r.coeffV1 = ReadSingleText(form[i].coeff[2], r.coeffV1);
        r.coeffV0 = ReadSingleText(form[i].coeff[3], r.coeffV0);
    }
    return records;
}

EditorMessage SaveThermistors(link::Transactor& sensor, Thermistors& records) {
    for (std::uint8_t i = 0; i < THERMISTORS; ++i) {
        if (protocol::WriteThermistor(sensor, i, records[i]) != protocol::STATUS_OK)
            return SAVE_FAILED;
    }
    const auto readBack = LoadThermistors(sensor);
    if (!readBack)
        return SAVE_FAILED;
    records = *readBack;
    return SETTINGS_SAVED;
}

}  // namespace velacor::config
