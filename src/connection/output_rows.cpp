#include "connection/output_rows.h"

#include "base/str_printf.h"
#include "base/utc_time.h"

namespace velacor::connection {

using base::StrPrintf;

std::vector<OutputColumn> RawColumns() {
    return {
        {"Counter", 10},
        {"State", 5},
        {"Ch 0", 9},
        {"Ch 1", 9},
        {"Ch 2", 9},
        {"Ch 3", 9},
        {"Ch 4", 9},
        {"Ch 5", 9},
        {"Ch 6", 9},
        {"Ch 7", 9},
        {"Temp (\u00B0C)", 9},
        {"Voltage (V)", 9},
        {"Hall (I)", 9},
        {"Hall (W)", 9},
        {"Sensor Timestamp", 20},
        {"Platform Salinity (PSU)", 15},
        {"Platform Temp (\u00B0C)", 15},
        {"Platform DO (ml/l)", 15},
        {"Platform Depth (m)", 15},
        {"Platform Timestamp", 20},
    };
}

std::vector<OutputColumn> ProcessedColumns(std::uint8_t chemistryType) {
    std::vector<OutputColumn> columns = {
        {"Dive Number", 10},
        {"Sensor Timestamp", 15},
        {"Platform Timestamp", 15},
        {"Value", 10},
        {"Validity", 10},
        {"Platform Depth (m)", 15},
        {"Platform Direction", 15},
        {"Platform Salinity (PSU)", 15},
        {"Platform Temperature (\u00B0C)", 20},
        {"P1", 15},
        {"P2", 15},
        {"P3", 15},
    };
    const char* value = "Unknown Value";
    std::array<const char*, 3> params = {nullptr, nullptr, nullptr};
    switch (chemistryType) {
        case protocol::CHEMISTRY_GENERIC:
            value = "Generic Value";
            break;
        case protocol::CHEMISTRY_NITRATE:
            value = "Nitrate (uM)";
            break;
        case protocol::CHEMISTRY_PHOSPHATE:
            value = "Phosphate (uM)";
            break;
        case protocol::CHEMISTRY_SILICATE:
            value = "Silicate (uM)";
            break;
        case protocol::CHEMISTRY_PH:
            value = "pH";
            params = {"Platform DO (ml/l)", "r", "Thermistor t (degC)"};
            break;
        case protocol::CHEMISTRY_NITRITE:
            value = "Nitrite (uM)";
            break;
        case protocol::CHEMISTRY_IRON:
            value = "Iron (uM)";
            break;
        case protocol::CHEMISTRY_TA:
            value = "TA (umol/kg)";
            params = {"Absorbance LED1", "Absorbance LED2", "Temperature (C)"};
            break;
        case protocol::CHEMISTRY_DIC:
            value = "DIC (umol/kg)";
            params = {"Sample Step (V)", "CRM Step (V)", "Temperature (C)"};
            columns[0] = {"Meas State", 10};
            break;
        case protocol::CHEMISTRY_AMMONIA:
            value = "Ammonia (?\?\?)";
            break;
        default:
            break;
    }
    columns[3].title = value;
    for (std::size_t i = 0; i < params.size(); ++i) {
        if (params[i] != nullptr)
            columns[9 + i].title = params[i];
    }
    return columns;
}

std::string SensorTimeText(std::uint32_t secondsSince1970) {
    return base::FormatSensorTime(secondsSince1970);
}

std::vector<std::string> RawRow(const protocol::SampleRecord& s) {
    std::vector<std::string> row;
    row.reserve(RAW_COLUMN_COUNT);
    row.push_back(StrPrintf("%u", s.counter));
    row.push_back(StrPrintf("%u", unsigned{s.state}));
    for (std::uint16_t raw : s.channel)
        row.push_back(StrPrintf("%.5f", raw * protocol::VOLTS_PER_COUNT));
    row.push_back(StrPrintf("%.1f", s.temperatureMilli / 1000.0));
    row.push_back(StrPrintf("%.1f", s.supplyMillivolts / 1000.0));
    row.push_back(StrPrintf("%u", unsigned{s.hallInject}));
    row.push_back(StrPrintf("%u", unsigned{s.hallWithdraw}));
    row.push_back(SensorTimeText(s.sensorTime));
    if (s.platformValid == 0) {
        row.insert(row.end(), 5, "n/a");
    } else {
        row.push_back(StrPrintf("%.3f", double{s.platformSalinity}));
        row.push_back(StrPrintf("%.3f", double{s.platformTemperature}));
        row.push_back(StrPrintf("%.3f", double{s.platformOxygen}));
        row.push_back(StrPrintf("%.3f", double{s.platformDepth}));
        row.push_back(SensorTimeText(s.platformTime));
    }
    return row;
}

std::vector<std::string> ProcessedRow(const protocol::ProcessedRecord& r) {
    static constexpr std::array<const char*, 5> DIRECTIONS = {"unknown", "surfaced", "diving",
                                                              "climbing", "hovering"};
    const char* validity = r.validity == 1 ? "good" : r.validity == 2 ? "bad" : "unknown";
    const char* direction = r.direction < DIRECTIONS.size() ? DIRECTIONS[r.direction] : "unknown";
    return {
        StrPrintf("%u", unsigned{r.diveNumber}),
        SensorTimeText(r.sensorTime),
        SensorTimeText(r.platformTime),
        StrPrintf("%.3f", r.Value()),
        validity,
        StrPrintf("%.3f", double{r.platformDepth}),
        direction,
        StrPrintf("%.3f", double{r.platformSalinity}),
        StrPrintf("%.3f", double{r.platformTemperature}),
        StrPrintf("%.3f", double{r.param[0]}),
        StrPrintf("%.3f", double{r.param[1]}),
        StrPrintf("%.3f", double{r.param[2]}),
    };
}

std::vector<StartChoice> StartChoices(const protocol::ChemistryConfig& c) {
    std::vector<StartChoice> choices;
    auto offer = [&](std::string name, std::uint8_t state) {
        if (state != protocol::STATE_NONE)
            choices.push_back({std::move(name), state});
    };
    offer("Deploy", c.manualDeployStart);
    offer("Prime", c.manualPrimeStart);
    offer("Flush", c.manualFlushStart);
    offer("Loop Flush", c.loopedFlushStart);
    for (std::size_t i = 0; i < 3; ++i)
        offer(StrPrintf("Special%zu", i + 1), c.special1To3Start[i]);
    for (std::size_t i = 0; i < 6; ++i)
        offer(StrPrintf("Special%zu", i + 4), c.special4To9Start[i]);
    return choices;
}

bool AutostartOn(const protocol::ChemistryConfig& config) {
    return config.autoDeployStart != protocol::STATE_NONE;
}

protocol::ChemistryConfig UnreadableChemistryConfig() {
    protocol::ChemistryConfig c;
    c.chemistryType = 0;
    c.autoDeployStart = 0;
    c.manualDeployStart = protocol::STATE_NONE;
    c.manualPrimeStart = protocol::STATE_NONE;
    c.manualFlushStart = protocol::STATE_NONE;
    c.loopedFlushStart = 0;
    c.special1To3Start = {0, 0, 0};
    c.special4To9Start = {0, 0, 0, 0, 0, 0};
    return c;
}

}  // namespace velacor::connection
