#include "config/ui/settings_editor_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "config/choice_lists.h"
#include "widgets/colours.h"
#include "widgets/drop_down.h"
#include "widgets/form_fields.h"
#include "widgets/text.h"

namespace velacor::config::ui {

// ---- Start states

StartStatesDialog::StartStatesDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                                     bool toggleAutoDeploy, QWidget* parent)
    : EditorDialog(sensor, prompter, "State Machine Start States", parent),
      m_toggle(toggleAutoDeploy) {
    auto* body = new QWidget;
    auto* grid = new QGridLayout(body);
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        const int r = static_cast<int>(row);
        m_enabled[row] = m_bind.Tick(new QCheckBox(widgets::FromUtf8(START_STATE_LABELS[row])),
                                     widgets::Element(&StartStatesForm::enabled, row));
        m_state[row] =
            m_bind.Text(widgets::MakeNumberField(), widgets::Element(&StartStatesForm::state, row));
        grid->addWidget(m_enabled[row], r, 0);
        grid->addWidget(m_state[row], r, 1);
        connect(m_enabled[row], &QCheckBox::toggled, this, &StartStatesDialog::ApplyMarking);
        connect(m_state[row], &QLineEdit::textChanged, this, &StartStatesDialog::ApplyMarking);
    }
    SetBody(body);
}

bool StartStatesDialog::Open() {
    const StartStatesLoad load = LoadStartStates(Sensor(), m_toggle);
    if (load.message)
        Tell(*load.message);
    if (!load.open)
        return false;
    m_config = load.config;
    m_lastState = load.lastState;
    m_bind.Show(ShowStartStates(m_config));
    ApplyMarking();
    return true;
}

bool StartStatesDialog::Red(std::size_t row) const {
    return m_state.at(row)->palette().color(QPalette::Text) == Qt::red;
}

void StartStatesDialog::ApplyMarking() {
    const StartStatesMarking marking = StartStatesMarkingOf(m_bind.Read(), m_lastState);
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        m_state[row]->setEnabled(marking.numberEnabled[row]);
        widgets::SetFieldColour(m_state[row], !marking.red[row]);
    }
}

void StartStatesDialog::OnSave() {
    protocol::ChemistryConfig edited = m_config;
    ReadStartStates(m_bind.Read(), edited);
    if (const auto failure = SaveStartStates(Sensor(), edited)) {
        Tell(*failure);
        return;
    }
    m_config = edited;
    accept();
}

// ---- Thermistors

ThermistorsDialog::ThermistorsDialog(link::Transactor& sensor, widgets::Prompter& prompter,
                                     QWidget* parent)
    : EditorDialog(sensor, prompter, "Configure Thermistors", parent) {
    auto* body = new QWidget;
    auto* layout = new QVBoxLayout(body);
    constexpr const char* TERMS[] = {"volts^3 +", "volts^2 +", "volts +", nullptr};
    for (std::size_t i = 0; i < THERMISTORS; ++i) {
        auto* grid = new QGridLayout;
        grid->addWidget(widgets::MakeLabel("Input Channel"), 0, 0);
        m_rows[i].channel = m_bind.Index(
            widgets::MakeDropDown(INPUT_CHANNELS), [i](auto& form) -> auto& {
                return form[i].channel;
            });
        grid->addWidget(m_rows[i].channel, 0, 1);
        grid->addWidget(widgets::MakeLabel("Temperature (°C) ="), 1, 0);
        for (std::size_t term = 0; term < 4; ++term) {
            const int column = 1 + 2 * static_cast<int>(term);
            m_rows[i].coeff[term] = m_bind.Text(
                new QLineEdit, [ i, term ](auto& form) -> auto& { return form[i].coeff[term]; });
            grid->addWidget(m_rows[i].coeff[term], 1, column);
            if (TERMS[term] != nullptr)
                grid->addWidget(widgets::MakeLabel(TERMS[term]), 1, column + 1);
        }
        auto* group = new QGroupBox(QStringLiteral("Thermistor %1").arg(i + 1));
        group->setLayout(grid);
        layout->addWidget(group);
    }
    SetBody(body);
}

bool ThermistorsDialog::Open() {
    const auto records = LoadThermistors(Sensor());
    if (!records) {
        Tell(THERMISTORS_UNREADABLE);
        return false;
    }
    Show(*records);
    return true;
}

void ThermistorsDialog::Show(const Thermistors& records) {
    m_shown = records;
    m_bind.Show(ShowThermistors(records));
}

void ThermistorsDialog::OnSave() {
    Thermistors records = ReadThermistors(m_bind.Read(), m_shown);
    const EditorMessage message = SaveThermistors(Sensor(), records);
    Tell(message);
    if (message == SETTINGS_SAVED)
        Show(records);
}

}  // namespace velacor::config::ui
