#include "config/start_states.h"

#include "base/number_text.h"
#include "config/field_rules.h"
#include "protocol/chemistry_commands.h"
#include "protocol/identity_commands.h"

namespace velacor::config {

using protocol::STATE_NONE;

const std::array<const char*, START_STATE_ROWS> START_STATE_LABELS = {
    "Automatic Deployment Start State", "Manual Deployment Start State",
    "Manual Priming Start State",       "Manual Flushing Start State",
    "Manual Loop Flush Start State",    "Manual Special1 Start State",
    "Manual Special2 Start State",      "Manual Special3 Start State",
    "Manual Special4 Start State",      "Manual Special5 Start State",
    "Manual Special6 Start State",      "Manual Special7 Start State",
    "Manual Special8 Start State",      "Manual Special9 Start State",
};

namespace {

// The field of a row, for a ChemistryConfig and a const one alike.
template <class Config>
auto& RowField(Config& c, std::size_t row) {
    switch (row) {
        case 0:
            return c.autoDeployStart;
        case 1:
            return c.manualDeployStart;
        case 2:
            return c.manualPrimeStart;
        case 3:
            return c.manualFlushStart;
        case 4:
            return c.loopedFlushStart;
        default:
            return row < 8 ? c.special1To3Start.at(row - 5) : c.special4To9Start.at(row - 8);
    }
}

}  // namespace

std::uint8_t& StartStateOf(protocol::ChemistryConfig& c, std::size_t row) {
    return RowField(c, row);
}

std::uint8_t StartStateOf(const protocol::ChemistryConfig& c, std::size_t row) {
    return RowField(c, row);
}

StartStatesLoad LoadStartStates(link::Transactor& sensor, bool toggleAutoDeploy) {
    StartStatesLoad load;
    if (protocol::ReadChemistryConfig(sensor, load.config) != protocol::STATUS_OK) {
        load.message = EditorMessage{START_STATES_TITLE,
                                     "Unable to read State Machine Control States from sensor."};
        return load;
    }
    protocol::StateCount count;
    if (protocol::ReadStateCount(sensor, count) == protocol::STATUS_OK && count.count > 0)
        load.lastState = count.count - 1u;
    if (toggleAutoDeploy)
        load.config.autoDeployStart = AutoDeployOn(load.config) ? STATE_NONE : 0;
    load.open = true;
    return load;
}

StartStatesForm ShowStartStates(const protocol::ChemistryConfig& config) {
    StartStatesForm form;
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        const std::uint8_t state = StartStateOf(config, row);
        form.enabled[row] = state != STATE_NONE;
        form.state[row] = NumberText(state != STATE_NONE ? state : 0);
    }
    return form;
}

void ReadStartStates(const StartStatesForm& form, protocol::ChemistryConfig& config) {
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row)
        StartStateOf(config, row) = form.enabled[row] ? ReadStateText(form.state[row]) : STATE_NONE;
}

StartStatesMarking StartStatesMarkingOf(const StartStatesForm& form,
                                        std::optional<unsigned> lastState) {
    StartStatesMarking marking;
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        marking.numberEnabled[row] = form.enabled[row];
        marking.red[row] =
            form.enabled[row] && lastState && base::ReadUnsignedText(form.state[row]) > *lastState;
    }
    return marking;
}

std::optional<EditorMessage> SaveStartStates(link::Transactor& sensor,
                                             const protocol::ChemistryConfig& config) {
    if (protocol::WriteChemistryConfig(sensor, config) == protocol::STATUS_OK)
        return std::nullopt;
    return EditorMessage{"Save", "Failed to write State Machine Control States from sensor."};
}

}  // namespace velacor::config
