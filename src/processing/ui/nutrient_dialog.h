// "Process Raw Nutrient Data": one raw file of a nitrate, phosphate, silicate, nitrite or iron
// sensor, processed with the parameters of its header or typed by hand.
#pragma once

#include <array>

#include "config/ui/chemistry_page_widgets.h"
#include "processing/ui/processing_dialog.h"
#include "protocol/chemistry_records.h"

class QComboBox;

namespace velacor::processing::ui {

class NutrientDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    NutrientDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);

    // Asks for the raw file and reads its header. False when the dialog should close at once
    // (chooser cancelled, the file of another chemistry).
    bool Open();

    // The page's controls and the dialog's own: the nutrient type and the P1..P3 mappings.
    struct Controls : config::ui::NutrientPageWidget::Controls {
        QComboBox* nutrientType;
        std::array<QComboBox*, 3> mapping;
    };
    const Controls& Fields() const { return m_c; }

  private:
    void OnProcess() override;
    void ReadControls();
    void WriteControls(std::uint8_t nutrientType);
    void ApplyEnabling();
    void ShowNutrientType(std::uint8_t nutrientType);

    config::ui::NutrientPageWidget* m_page = nullptr;
    Controls m_c{};
    protocol::NutrientProcessing m_params;
};

}  // namespace velacor::processing::ui
