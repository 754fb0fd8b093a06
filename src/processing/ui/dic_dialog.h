// "Process Raw DIC Data": one raw file of a dissolved inorganic carbon sensor.
#pragma once

#include <array>

#include "processing/dic_processing.h"
#include "processing/ui/processing_dialog.h"

class QComboBox;
class QFormLayout;
class QLineEdit;

namespace velacor::processing::ui {

class DicDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    DicDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);
    // Asks for the raw file and reads its header; false when the dialog should close at once.
    bool Open();

    struct InletControls {
        QFormLayout* form;
        QComboBox* type;
        QLineEdit* intakeState;
        QLineEdit* measureState;
        QLineEdit* crmValue;
    };
    QComboBox* SensorVersion() const { return m_sensorVersion; }
    const InletControls& Inlet(std::size_t index) const { return m_inlet[index]; }

  private:
    void OnProcess() override;
    void ReadControls();
    void WriteControls();
    void ApplyEnabling(std::size_t inlet);

    QComboBox* m_sensorVersion = nullptr;
    std::array<InletControls, 3> m_inlet{};
    DicSettings m_settings;  // the thermistor comes from the header only
};

}  // namespace velacor::processing::ui
