// "Process Raw pH Data": one raw file of a pH sensor.
#pragma once

#include "processing/ph_processing.h"
#include "processing/ui/processing_dialog.h"

class QComboBox;
class QLineEdit;

namespace velacor::processing::ui {

class PhDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    PhDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);
    // Asks for the raw file and starts reading its header on the worker; false when the
    // chooser was cancelled or the file can't be opened. A file of another chemistry closes
    // the dialog once its header has been read.
    bool Open();

    struct Controls {
        QLineEdit* sampleInterval;
        QComboBox* sensorVersion;
        QComboBox* blueChannel;
        QComboBox* yellowChannel;
        QLineEdit* intakeState;
        QLineEdit* measureState;
        QLineEdit* blankStart;
        QLineEdit* blankEnd;
        QLineEdit* absorbanceMinBlue;
        QLineEdit* absorbanceMaxYellow;
        QLineEdit* dpHdT;
        QLineEdit* rScale;
        QLineEdit* rOffset;
        QLineEdit* thermistor1Scale;
        QLineEdit* thermistor2Scale;
    };
    const Controls& Fields() const { return m_c; }

  private:
    void OnProcess() override;
    void ReadControls();
    void WriteControls();
    void TakeHeader(bool found, PhHeader header);

    Controls m_c{};
    PhSettings m_settings;  // the thermistors come from the header only
};

}  // namespace velacor::processing::ui
