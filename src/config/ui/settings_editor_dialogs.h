// "State Machine Start States" and "Configure Thermistors".
#pragma once

#include <array>
#include <optional>

#include "config/start_states.h"
#include "config/thermistors.h"
#include "config/ui/editor_dialog.h"
#include "widgets/form_binding.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace velacor::config::ui {

class StartStatesDialog final : public EditorDialog {
    Q_OBJECT
  public:
    // `toggleAutoDeploy`: opened from a view's "Autostart" box.
    StartStatesDialog(link::Transactor& sensor, widgets::Prompter& prompter, bool toggleAutoDeploy,
                      QWidget* parent = nullptr);
    bool Open();
    // Whether automatic deployment is on as the editor holds it: saved, or toggled on opening.
    bool AutoDeployEnabled() const { return AutoDeployOn(m_config); }

    QCheckBox* Enabled(std::size_t row) const { return m_enabled.at(row); }
    QLineEdit* State(std::size_t row) const { return m_state.at(row); }
    // Whether the row's number shows in red.
    bool Red(std::size_t row) const;

  private:
    void ApplyMarking();
    void OnSave() override;

    bool m_toggle = false;
    protocol::ChemistryConfig m_config;
    std::optional<unsigned> m_lastState;
    std::array<QCheckBox*, START_STATE_ROWS> m_enabled{};
    std::array<QLineEdit*, START_STATE_ROWS> m_state{};
    widgets::FormBinding<StartStatesForm> m_bind;
};

class ThermistorsDialog final : public EditorDialog {
    Q_OBJECT
  public:
    ThermistorsDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                      QWidget* parent = nullptr);
    bool Open();

    QComboBox* Channel(std::size_t i) const { return m_rows.at(i).channel; }
    // 0 volts^3, 1 volts^2, 2 volts, 3 the constant.
    QLineEdit* Coefficient(std::size_t i, std::size_t term) const {
        return m_rows.at(i).coeff.at(term);
    }

  private:
    void Show(const Thermistors& records);
    void OnSave() override;

    struct Row {
        QComboBox* channel = nullptr;
        std::array<QLineEdit*, 4> coeff{};
    };
    std::array<Row, THERMISTORS> m_rows{};
    widgets::FormBinding<ThermistorsForm> m_bind;
    Thermistors m_shown{};
};

}  // namespace velacor::config::ui
