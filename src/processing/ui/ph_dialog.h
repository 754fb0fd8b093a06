// "Process Raw pH Data": one raw file of a pH sensor.
#pragma once

#include "config/ui/chemistry_page_widgets.h"
#include "processing/ph_processing.h"
#include "processing/ui/processing_dialog.h"

namespace velacor::processing::ui {

class PhDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    PhDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);
    // Asks for the raw file and starts reading its header on the worker; false when the
    // chooser was cancelled or the file can't be opened. A file of another chemistry closes
    // the dialog once its header has been read.
    bool Open();

    using Controls = config::ui::PhPageWidget::Controls;
    const Controls& Fields() const { return m_page->Fields(); }

  private:
    void OnProcess() override;
    void ReadControls();
    void WriteControls();
    void TakeHeader(bool found, PhHeader header);

    config::ui::PhPageWidget* m_page = nullptr;
    PhSettings m_settings;  // the thermistors come from the header only
};

}  // namespace velacor::processing::ui
