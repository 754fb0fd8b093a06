#include "processing/ui/multi_nutrient_dialog.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include <filesystem>
#include <system_error>

#include "processing/processing_runs.h"
#include "widgets/prompter.h"

namespace velacor::processing::ui {

MultiNutrientDialog::MultiNutrientDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QStringLiteral("Process Raw Nutrient Data (Multi)"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(BuildResultsGroup(false), 1);
    SetHeadings(MultiNutrientHeadings());
    resize(980, 600);
}

bool MultiNutrientDialog::Open() {
    const auto text = [](std::string_view t) {
        return QString::fromUtf8(t.data(), static_cast<qsizetype>(t.size()));
    };
    const QStringList chosen = Prompter().ChooseOpenFiles(
        text(RAW_FILE_CHOOSER_TITLE),
        text(RAW_FILE_FILTER_NAME) + QStringLiteral(";;") + text(ALL_FILES_FILTER_NAME));
    if (chosen.isEmpty())
        return false;
    // The chooser gives whole paths, formed by the platform's own rules.
    std::vector<std::string> paths;
    std::uint64_t totalBytes = 0;
    for (const QString& path : chosen) {
        paths.push_back(path.toStdString());
        std::error_code error;
        const auto size = std::filesystem::file_size(paths.back(), error);
        totalBytes += error ? 0 : size;
    }
    SetInputs(paths);
    StartRun(
        [paths](RunReport& report, LogSink& log, const RunControl& control) {
            const MultiFileOutcome outcome =
                RunMultiNutrient(paths, report.table, &log, control,
                                 [&report](const Message& m) { report.messages.push_back(m); });
            report.complete = outcome.filesComplete > 0 && !outcome.cancelled;
        },
        totalBytes);
    return true;
}

}  // namespace velacor::processing::ui
