#include "config/ui/settings_editor_dialogs.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
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
        m_enabled[row] = new QCheckBox(widgets::FromUtf8(START_STATE_LABELS[row]));
        m_state[row] = widgets::MakeNumberField();
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
    const StartStatesForm form = ShowStartStates(m_config);
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        const QSignalBlocker quietBox(m_enabled[row]);
        const QSignalBlocker quietState(m_state[row]);
        m_enabled[row]->setChecked(form.enabled[row]);
        widgets::SetEditText(m_state[row], form.state[row]);
    }
    ApplyMarking();
    return true;
}

StartStatesForm StartStatesDialog::Form() const {
    StartStatesForm form;
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        form.enabled[row] = m_enabled[row]->isChecked();
        form.state[row] = widgets::EditText(m_state[row]);
    }
    return form;
}

bool StartStatesDialog::Red(std::size_t row) const {
    return m_state.at(row)->palette().color(QPalette::Text) == Qt::red;
}

void StartStatesDialog::ApplyMarking() {
    const StartStatesMarking marking = StartStatesMarkingOf(Form(), m_lastState);
    for (std::size_t row = 0; row < START_STATE_ROWS; ++row) {
        m_state[row]->setEnabled(marking.numberEnabled[row]);
        widgets::SetFieldColour(m_state[row], !marking.red[row]);
    }
}

void StartStatesDialog::OnSave() {
    protocol::ChemistryConfig edited = m_config;
    ReadStartStates(Form(), edited);
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
        m_rows[i].channel = widgets::MakeDropDown(INPUT_CHANNELS);
        grid->addWidget(m_rows[i].channel, 0, 1);
        grid->addWidget(widgets::MakeLabel("Temperature (°C) ="), 1, 0);
        for (std::size_t term = 0; term < 4; ++term) {
            const int column = 1 + 2 * static_cast<int>(term);
            m_rows[i].coeff[term] = new QLineEdit;
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
    const ThermistorsForm form = ShowThermistors(records);
    for (std::size_t i = 0; i < THERMISTORS; ++i) {
        m_rows[i].channel->setCurrentIndex(form[i].channel);
        for (std::size_t term = 0; term < 4; ++term)
            widgets::SetEditText(m_rows[i].coeff[term], form[i].coeff[term]);
    }
}

void ThermistorsDialog::OnSave() {
    ThermistorsForm form;
    for (std::size_t i = 0; i < THERMISTORS; ++i) {
        form[i].channel = m_rows[i].channel->currentIndex();
        for (std::size_t term = 0; term < 4; ++term)
            form[i].coeff[term] = widgets::EditText(m_rows[i].coeff[term]);
    }
    Thermistors records = ReadThermistors(form);
    const EditorMessage message = SaveThermistors(Sensor(), records);
    Tell(message);
    if (message == SETTINGS_SAVED)
        Show(records);
}

}  // namespace velacor::config::ui
