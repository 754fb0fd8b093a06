#include "processing/ui/ph_dialog.h"

#include <QGroupBox>
#include <QVBoxLayout>

#include "base/number_text.h"
#include "config/chemistry_pages.h"
#include "processing/processing_runs.h"

namespace velacor::processing::ui {

namespace {

const char* TITLE = "Process Raw pH Data";

}  // namespace

PhDialog::PhDialog(widgets::Prompter& prompter, QWidget* parent)
    : ProcessingDialog(prompter, parent) {
    setWindowTitle(QString::fromUtf8(TITLE));
    auto* params = new QGroupBox(QStringLiteral("Processing Parameters"));
    m_page = new config::ui::PhPageWidget({false, protocol::CHEMISTRY_PH}, false);
    auto* inner = new QVBoxLayout(params);
    inner->addWidget(m_page);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(params);
    layout->addWidget(BuildResultsGroup(true), 1);
    SetHeadings(PhHeadings());
    resize(980, 640);
}

bool PhDialog::Open() {
    if (!ChooseRawFile(TITLE))
        return false;
    // The pH header may stand anywhere: the whole file is read for it, on the worker.
    auto header = std::make_shared<PhHeader>(DefaultPhHeader());
    ScanHeaderOnWorker(
        [header](RawFile& file, const RunControl& control, bool& cancelled) {
            return ReadPhHeader(file, *header, control, cancelled);
        },
        [this, header](bool found) { TakeHeader(found, *header); });
    return true;
}

void PhDialog::TakeHeader(bool found, PhHeader header) {
    const ProcessingTexts texts = TextsOf(Chemistry::Ph);
    found = found || TakeSensorHeader(ReadSensorPhHeader, header, texts);
    m_settings = {header.params, header.sampleIntervalMs, header.thermistor};
    if (!found)
        return;
    if (header.chemistryType != protocol::CHEMISTRY_PH) {
        ShowInform(texts.dialogTitle, texts.wrongChemistry);
        reject();
        return;
    }
    if (const std::string problem = CheckPhSettings(m_settings); !problem.empty())
        ShowInform(texts.dialogTitle, problem);
    WriteControls();
}

void PhDialog::WriteControls() {
    m_page->Show(config::ShowPhPage(m_settings.params, m_settings.sampleIntervalMs, 0));
}

void PhDialog::ReadControls() {
    // The dialog takes the sample interval as typed; only the editor limits it.
    const config::PhPageForm form = m_page->Form();
    m_settings.sampleIntervalMs = base::ReadUnsignedText(form.sampleInterval);
    config::ReadPhPage(form, m_settings.params);
}

void PhDialog::OnProcess() {
    ReadControls();
    if (const std::string problem = CheckPhSettings(m_settings); !problem.empty()) {
        ShowInform(TITLE, problem);
        return;
    }
    const PhSettings settings = m_settings;
    RunOverFile(RowRule::Ph, [settings](RawFile& file, ResultsTable& table, LogSink* log,
                                        const RunControl& control) {
        return RunPh(file, settings, table, log, control);
    });
}

}  // namespace velacor::processing::ui
