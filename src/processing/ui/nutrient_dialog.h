// "Process Raw Nutrient Data": one raw file of a nitrate, phosphate, silicate, nitrite or iron
// sensor, processed with the parameters of its header or typed by hand.
#pragma once

#include <array>

#include "processing/ui/processing_dialog.h"
#include "protocol/chemistry_records.h"

class QCheckBox;
class QComboBox;
class QFormLayout;
class QLineEdit;

namespace velacor::processing::ui {

class NutrientDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    NutrientDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);

    // Asks for the raw file and reads its header. False when the dialog should close at once
    // (chooser cancelled, the file of another chemistry).
    bool Open();

    struct Controls {
        QComboBox* nutrientType;
        QComboBox* sensorVersion;
        std::array<QComboBox*, 3> measure;  // by optical path (0 Long, 1 Medium, 2 Short)
        std::array<QComboBox*, 3> monitor;
        QComboBox* output;
        QLineEdit* intakeState;
        QLineEdit* sampleState;
        QLineEdit* blankState;
        QLineEdit* standard1State;
        QLineEdit* standard2State;
        QLineEdit* standard1Conc;
        QLineEdit* standard2Conc;
        QComboBox* adjustment;
        QComboBox* trigger;
        std::array<QComboBox*, 3> mapping;
        QCheckBox* opticalCorrection;
        QLineEdit* dilution;
        QLineEdit* ocSampleState;
        QLineEdit* ocBlankState;
    };
    const Controls& Fields() const { return m_c; }

  private:
    void OnProcess() override;
    void ReadControls();
    void WriteControls(std::uint8_t nutrientType);
    void ApplyEnabling();
    void ShowNutrientType(std::uint8_t nutrientType);

    Controls m_c{};
    QFormLayout* m_stateForm = nullptr;
    QFormLayout* m_correctionForm = nullptr;
    protocol::NutrientProcessing m_params;
};

}  // namespace velacor::processing::ui
