// "Process Raw TA Data": one raw file of a total alkalinity sensor.
#pragma once

#include "processing/ta_processing.h"
#include "processing/ui/processing_dialog.h"

class QComboBox;
class QLineEdit;

namespace velacor::processing::ui {

class TaDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    TaDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);
    // Asks for the raw file and reads its header; false when the dialog should close at once.
    bool Open();

    struct Controls {
        QComboBox* sensorVersion;
        QComboBox* measureChannel;
        QLineEdit* intakeState;
        QLineEdit* blankStateLed1;
        QLineEdit* blankStateLed2;
        QLineEdit* sampleStateLed1;
        QLineEdit* sampleStateLed2;
        QComboBox* trigger;
        QLineEdit* ct;
        QLineEdit* molarity;
        QComboBox* monitorLed1;
        QComboBox* monitorLed2;
        QLineEdit* pKa;
        QLineEdit* e1;
        QLineEdit* e2;
        QLineEdit* e3;
    };
    const Controls& Fields() const { return m_c; }

  private:
    void OnProcess() override;
    void ReadControls();
    void WriteControls();
    void DisableMonitorLists();

    Controls m_c{};
    TaSettings m_settings;  // the thermistors come from the header only
};

}  // namespace velacor::processing::ui
