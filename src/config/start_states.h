// "State Machine Start States": the start state of each of the sensor's 14 run modes, held in
// ChemistryConfig (255 = mode disabled). Opened from the Service menu, or from a view's
// "Autostart" box with the automatic deployment toggled.
#pragma once

#include <array>
#include <optional>
#include <string>

#include "config/editor_message.h"
#include "link/transactor.h"
#include "protocol/chemistry_records.h"

namespace velacor::config {

inline constexpr std::size_t START_STATE_ROWS = 14;
// The row labels, top to bottom; row 0 is the automatic deployment.
extern const std::array<const char*, START_STATE_ROWS> START_STATE_LABELS;
inline constexpr const char* START_STATES_TITLE = "State Machine Control States";

// The field of ChemistryConfig a row edits.
std::uint8_t& StartStateOf(protocol::ChemistryConfig& config, std::size_t row);
std::uint8_t StartStateOf(const protocol::ChemistryConfig& config, std::size_t row);

struct StartStatesForm {
    std::array<bool, START_STATE_ROWS> enabled{};
    std::array<std::string, START_STATE_ROWS> state;
};

struct StartStatesLoad {
    bool open = false;
    std::optional<EditorMessage> message;
    protocol::ChemistryConfig config;
    std::optional<unsigned> lastState;  // the sensor's highest state index, when it said
};
// Reads ChemistryConfig and the state count; with `toggleAutoDeploy` the automatic deployment
// turns off when it was on, and on at state 0 when it was off.
StartStatesLoad LoadStartStates(link::Transactor& sensor, bool toggleAutoDeploy);

StartStatesForm ShowStartStates(const protocol::ChemistryConfig& config);
// A ticked row stores its number capped at 254, a cleared row 255; the rest of `config` stays.
void ReadStartStates(const StartStatesForm& form, protocol::ChemistryConfig& config);

struct StartStatesMarking {
    std::array<bool, START_STATE_ROWS> numberEnabled{};
    std::array<bool, START_STATE_ROWS> red{};  // a ticked row beyond the sensor's last state
};
StartStatesMarking StartStatesMarkingOf(const StartStatesForm& form,
                                        std::optional<unsigned> lastState);

// Writes ChemistryConfig; the message is set only on failure (the editor then stays open).
std::optional<EditorMessage> SaveStartStates(link::Transactor& sensor,
                                             const protocol::ChemistryConfig& config);
inline bool AutoDeployOn(const protocol::ChemistryConfig& config) {
    return config.autoDeployStart != protocol::STATE_NONE;
}

}  // namespace velacor::config
