// The multi-file nutrient dialog: several raw files, each with the parameters of its own
// header, gathered into one table that names each row's sensor. Processing starts as soon as
// the files are chosen.
#pragma once

#include <QStringList>

#include "processing/ui/processing_dialog.h"

namespace velacor::processing::ui {

class MultiNutrientDialog final : public ProcessingDialog {
    Q_OBJECT
  public:
    MultiNutrientDialog(widgets::Prompter& prompter, QWidget* parent = nullptr);
    // Asks for the files and starts processing them; false when the chooser was cancelled.
    bool Open();
};

}  // namespace velacor::processing::ui
