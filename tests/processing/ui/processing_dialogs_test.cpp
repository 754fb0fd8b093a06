// The processing dialogs driven as an operator would: choose a raw file, check the fields the
// header filled, press Process, wait for the worker, Save. What Save writes is compared with
// velacor-cli's output for the same file.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "cli/cli_app.h"
#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "processing/processing_runs.h"
#include "processing/sensor_parameters.h"
#include "processing/test_rows.h"
#include "processing/ui/dic_dialog.h"
#include "processing/ui/multi_nutrient_dialog.h"
#include "processing/ui/nutrient_dialog.h"
#include "processing/ui/ph_dialog.h"
#include "processing/ui/ta_dialog.h"
#include "protocol/chemistry_commands.h"
#include "rawgen/raw_generator.h"
#include "temp_dir.h"
#include "widgets/scripted_prompter.h"
#include "widgets/wait.h"

namespace velacor::processing::ui {
namespace {

using widgets::testing::ScriptedPrompter;
using widgets::testing::Shown;
using widgets::testing::WaitUntil;

std::string Header(int chemistry, std::initializer_list<const char*> keys) {
    std::string text =
        "%VELACOR.HEADER_START\n%VELACOR.CHEMISTRY.TYPE=" + std::to_string(chemistry) + "\n";
    for (const char* key : keys)
        text += std::string("%VELACOR.CHEMISTRY.") + key + "\n";
    return text + "%VELACOR.HEADER_END\n%Counter,State,Ch 0\n";
}

std::string Rows(std::initializer_list<std::pair<std::uint8_t, double>> states, int cycles,
                 int rowsPerState = 3) {
    std::string text;
    for (int c = 0; c < cycles; ++c)
        for (auto [state, level] : states)
            for (int i = 0; i < rowsPerState; ++i) {
                RawRecord r = test::Row(state, level);
                r.channel[6] = r.channel[7] = 2.0;  // thermistors at 20 °C
                text += test::RowText(r);
            }
    return text;
}

std::string NitrateFile(int cycles = 4) {
    return Header(1, {"SAMPLE_INTAKE_STATE=1", "BLANK_MEASUREMENT_STATE=2",
                      "SAMPLE_MEASUREMENT_STATE=3", "STANDARD1_MEASUREMENT_STATE=4",
                      "STANDARD2_MEASUREMENT_STATE=5", "STANDARD1_CONCENTRATION=10.5",
                      "STANDARD2_CONCENTRATION=20", "PROCESSING_TRIGGER=2",
                      "MEASUREMENT_CHANNEL_LONG=0", "MEASUREMENT_CHANNEL_MEDIUM=1",
                      "MEASUREMENT_CHANNEL_SHORT=2", "SAMPLE_PARAM_P1=1", "SAMPLE_PARAM_P2=13"}) +
           Rows({{1, 1.0}, {2, 0.9}, {4, 0.7}, {3, 0.8}, {0, 1.0}}, cycles);
}

std::string PhFile() {
    std::string text =
        Header(4, {"SAMPLE_INTERVAL=1000", "INPUT_CHANNEL_434=0", "INPUT_CHANNEL_578=1",
                   "SAMPLE_INTAKE_STATE=1", "SAMPLE_MEASUREMENT_STATE=2", "BLANK_START_OFFSET=2",
                   "BLANK_END_OFFSET=4", "ABSORBANCE_MIN_434=0", "ABSORBANCE_MAX_578=100",
                   "R_ADJUSTMENT_SCALE=1", "THERMISTOR_INPUT_CHANNEL.0=6", "THERMISTOR_CAL_C.0=10",
                   "THERMISTOR_INPUT_CHANNEL.1=7", "THERMISTOR_CAL_C.1=10"});
    for (int cycle = 0; cycle < 3; ++cycle) {
        text += Rows({{1, 1.0}}, 1);
        text += Rows({{2, 1.0}}, 1, 5);
        for (int k = 0; k < 20; ++k) {
            RawRecord r = test::Row(2, 1.0);
            const double a434 = 0.9 - 0.03 * k;
            r.channel[0] = std::pow(10.0, -a434);
            r.channel[1] = std::pow(10.0, -(1.1 + 0.05 * cycle) * a434);
            r.channel[6] = r.channel[7] = 2.0;
            text += test::RowText(r);
        }
    }
    return text + Rows({{0, 1.0}}, 1);
}

std::string TaFile() {
    return Header(7, {"MEASUREMENT_CHANNEL=0", "SAMPLE_INTAKE_STATE=1",
                      "BLANK_MEASUREMENT_STATE_LED1=2", "BLANK_MEASUREMENT_STATE_LED2=3",
                      "SAMPLE_MEASUREMENT_STATE_LED1=4", "SAMPLE_MEASUREMENT_STATE_LED2=5",
                      "PROCESSING_TRIGGER=3", "CT=0.01", "ACID_MOLARITY=0.1", "pKa=4.2699",
                      "e1=0.00691", "e2=2.222", "e3=0.1331", "THERMISTOR_INPUT_CHANNEL.0=6",
                      "THERMISTOR_CAL_C.0=10", "THERMISTOR_INPUT_CHANNEL.1=7",
                      "THERMISTOR_CAL_C.1=10"}) +
           Rows({{1, 1.0}, {2, 0.8}, {3, 0.9}, {4, 0.3}, {5, 0.25}, {0, 1.0}}, 3);
}

std::string DicFile() {
    std::string text =
        "%VELACOR.HEADER_START\n%VELACOR.CHEMISTRY.TYPE=8\n"
        "%VELACOR.CHEMISTRY.INLET.0.TYPE=2\n"
        "%VELACOR.CHEMISTRY.INLET.0.INTAKE_STATE=1\n"
        "%VELACOR.CHEMISTRY.INLET.0.MEASUREMENT_STATE=2\n"
        "%VELACOR.CHEMISTRY.INLET.0.CRM_VALUE=2000\n"
        "%VELACOR.CHEMISTRY.INLET.1.TYPE=1\n"
        "%VELACOR.CHEMISTRY.INLET.1.INTAKE_STATE=3\n"
        "%VELACOR.CHEMISTRY.INLET.1.MEASUREMENT_STATE=4\n"
        "%VELACOR.CHEMISTRY.THERMISTOR_INPUT_CHANNEL.0=6\n"
        "%VELACOR.CHEMISTRY.THERMISTOR_CAL_C.0=10\n%VELACOR.HEADER_END\n";
    return text + Rows({{3, 0.1}, {4, 0.3}, {1, 0.1}, {2, 0.3}, {0, 0.1}, {3, 0.1}, {4, 0.35}}, 2);
}

class DialogTest : public ::testing::Test {
  protected:
    std::string Write(const std::string& name, const std::string& text) {
        return m_dir.Write(name, text);
    }

    // Presses Process and waits for the worker's results.
    static void Process(ProcessingDialog& dialog) {
        QTest::mouseClick(dialog.ProcessButton(), Qt::LeftButton);
        ASSERT_TRUE(WaitUntil([&] { return !dialog.Busy(); }));
    }

    // Saves through the dialog's Save button and returns the file's bytes.
    std::string Save(ProcessingDialog& dialog, const std::string& name) {
        const std::string path = m_dir / name;
        m_prompter.filesToOpen.push_back(QString::fromStdString(path));
        QTest::mouseClick(dialog.SaveButton(), Qt::LeftButton);
        return velacor::testing::ReadWholeFile(path);
    }

    static std::string Cli(std::vector<std::string> args) {
        std::ostringstream out, err;
        args.insert(args.begin(), "process");
        EXPECT_EQ(cli::RunCli(args, out, err), 0) << err.str();
        return out.str();
    }

    ScriptedPrompter m_prompter;
    velacor::testing::TempDir m_dir;
};

TEST_F(DialogTest, NutrientHeaderFillsTheFieldsAndSaveMatchesTheCommandLine) {
    const std::string raw = Write("QXT0001.CSV", NitrateFile());
    m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(m_prompter.asked.at(0).title, "Raw Output File");
    EXPECT_TRUE(m_prompter.informed.empty());
    EXPECT_EQ(dialog.windowTitle(), "Process Raw Nitrate Data");
    const auto& f = dialog.Fields();
    EXPECT_EQ(f.standard1Conc->text(), "10.500");
    EXPECT_EQ(f.dilution->text(), "1:1.500");
    EXPECT_EQ(f.trigger->currentText(), "Sample");
    EXPECT_EQ(f.mapping[0]->currentText(), "Medium Ch Concentration");
    EXPECT_EQ(dialog.ResultsList()->headerItem()->text(3), "P1 - Medium Ch Conc");
    EXPECT_EQ(dialog.ResultsList()->headerItem()->text(4), "P2 - Medium Blnk Int");
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());

    Process(dialog);
    EXPECT_EQ(dialog.ResultsList()->topLevelItemCount(), 4);
    EXPECT_TRUE(dialog.SaveButton()->isEnabled());
    EXPECT_GT(dialog.LogList()->count(), 0);
    EXPECT_EQ(dialog.LogList()->currentRow(), dialog.LogList()->count() - 1);
    const std::string saved = Save(dialog, "out.csv");
    EXPECT_EQ(m_prompter.informed.back(),
              (Shown{"Save Processed Output",
                     QString::fromStdString("Processed Output saved to " + m_dir / "out.csv")}));
    EXPECT_EQ(saved, Cli({"nutrient", raw}));
    EXPECT_EQ(std::count(saved.begin(), saved.end(), '\n'), 5);
}

TEST_F(DialogTest, NutrientEnablingRulesFollowAdjustmentTriggerAndCorrection) {
    const std::string raw = Write("n.csv", NitrateFile(1));
    m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    const auto& f = dialog.Fields();
    f.adjustment->setCurrentIndex(f.adjustment->findText("Standard 2"));
    EXPECT_FALSE(f.standard1State->isEnabled());  // trigger Sample: standard 1 unused
    EXPECT_FALSE(f.standard1Conc->isEnabled());
    EXPECT_TRUE(f.standard2State->isEnabled());
    f.trigger->setCurrentIndex(f.trigger->findText("Standard 1"));
    EXPECT_TRUE(f.standard1State->isEnabled());
    EXPECT_FALSE(f.standard1Conc->isEnabled());
    EXPECT_FALSE(f.ocSampleState->isEnabled());
    f.opticalCorrection->click();
    EXPECT_TRUE(f.ocSampleState->isEnabled());
    EXPECT_TRUE(f.ocBlankState->isEnabled());
}

TEST_F(DialogTest, NutrientTypeChosenAtProcessSetsTitleHeadingsAndDilution) {
    const std::string raw = Write("n.csv", NitrateFile(1));
    m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    dialog.Fields().nutrientType->setCurrentIndex(
        dialog.Fields().nutrientType->findText("Phosphate"));
    Process(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Process Raw Phosphate Data");
    EXPECT_EQ(dialog.ResultsList()->headerItem()->text(2), "Phosphate (uM)");
    EXPECT_EQ(dialog.ResultsList()->headerItem()->text(3), "P1 - Medium Ch Conc");  // kept
    EXPECT_EQ(dialog.Fields().dilution->text(), "1:3.000");
}

TEST_F(DialogTest, FilesWithoutHeaderOrOfAnotherChemistry) {
    const std::string bare = Write("bare.csv", Rows({{1, 1.0}}, 1));
    const std::string ph = Write("ph.csv", PhFile());
    {
        m_prompter.filesToOpen.push_back(QString::fromStdString(bare));
        NutrientDialog dialog(m_prompter);
        EXPECT_TRUE(dialog.Open());  // stays open for parameters by hand
        EXPECT_EQ(m_prompter.informed.back().title, "Process Raw Nutrient Data");
        EXPECT_TRUE(m_prompter.informed.back().text.startsWith(
            "No Nutrient Processing Parameters found in file header"));
        EXPECT_EQ(dialog.Fields().intakeState->text(), "");
    }
    {
        m_prompter.filesToOpen.push_back(QString::fromStdString(ph));
        TaDialog dialog(m_prompter);
        EXPECT_FALSE(dialog.Open());
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Process Raw TA Data",
                         "This file has the wrong chemistry type for TA processing."}));
    }
    {
        DicDialog dialog(m_prompter);  // the chooser is cancelled
        EXPECT_FALSE(dialog.Open());
    }
}

TEST_F(DialogTest, AFileWithoutHeaderTakesTheConnectedSensorsParameters) {
    const std::string bare = Write("bare.csv", Rows({{1, 1.0}}, 1));
    emulator::VirtualHidPlatform platform;
    link::SensorLink link(platform);
    emulator::SensorOptions nitrate;
    ASSERT_EQ(link.OpenSensor(
                  platform.AddSensor(std::make_shared<emulator::VirtualSensor>(nitrate)), 500),
              0);
    protocol::NutrientProcessing own;
    ASSERT_EQ(protocol::ReadProcessing(link, protocol::CHEMISTRY_NITRATE, own), 0);
    {
        m_prompter.filesToOpen.push_back(QString::fromStdString(bare));
        NutrientDialog dialog(m_prompter);
        dialog.SetSensor(&link);
        ASSERT_TRUE(dialog.Open());
        EXPECT_TRUE(m_prompter.informed.empty());
        EXPECT_EQ(dialog.Fields().sampleState->text(), QString::number(own.sampleMeasureState));
        EXPECT_EQ(dialog.Fields().blankState->text(), QString::number(own.blankMeasureState));
        ASSERT_EQ(dialog.LogList()->count(), 1);
        EXPECT_EQ(dialog.LogList()->item(0)->text().toStdString(), SENSOR_PARAMETERS_LOG_LINE);
    }
    {
        // A sensor of another chemistry has nothing to give: the fields stay empty.
        m_prompter.filesToOpen.push_back(QString::fromStdString(bare));
        TaDialog dialog(m_prompter);
        dialog.SetSensor(&link);
        ASSERT_TRUE(dialog.Open());
        EXPECT_EQ(m_prompter.informed.back().title, "Process Raw TA Data");
        EXPECT_EQ(dialog.Fields().intakeState->text(), "");
        EXPECT_EQ(dialog.LogList()->count(), 0);
    }
}

TEST_F(DialogTest, ThePhHeaderIsReadOnTheWorkerAndAnotherChemistryClosesTheDialog) {
    const std::string ta = Write("ta.csv", TaFile());
    m_prompter.filesToOpen.push_back(QString::fromStdString(ta));
    PhDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Busy(); }));
    EXPECT_EQ(m_prompter.informed.back(),
              (Shown{"Process Raw pH Data",
                     "This file has the wrong chemistry type for pH processing."}));
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
}

TEST_F(DialogTest, EveryChemistrySavesWhatTheCommandLinePrints) {
    struct Case {
        const char* kind;
        std::string text;
    };
    for (const Case& c : {Case{"ph", PhFile()}, Case{"ta", TaFile()}, Case{"dic", DicFile()}}) {
        SCOPED_TRACE(c.kind);
        const std::string raw = Write(std::string(c.kind) + ".csv", c.text);
        m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
        std::unique_ptr<ProcessingDialog> dialog;
        bool opened = false;
        if (std::string(c.kind) == "ph") {
            auto d = std::make_unique<PhDialog>(m_prompter);
            opened = d->Open();
            EXPECT_TRUE(WaitUntil([&] { return !d->Busy(); }));  // the header scan
            dialog = std::move(d);
        } else if (std::string(c.kind) == "ta") {
            auto d = std::make_unique<TaDialog>(m_prompter);
            opened = d->Open();
            EXPECT_FALSE(d->Fields().monitorLed1->isEnabled());
            EXPECT_EQ(d->Fields().ct->text(), "0.01");
            dialog = std::move(d);
        } else {
            auto d = std::make_unique<DicDialog>(m_prompter);
            opened = d->Open();
            EXPECT_EQ(d->Inlet(0).crmValue->text(), "2000.00");
            EXPECT_FALSE(d->Inlet(0).intakeState->isEnabled());
            EXPECT_TRUE(d->Inlet(1).intakeState->isEnabled());
            EXPECT_FALSE(d->Inlet(2).measureState->isEnabled());
            dialog = std::move(d);
        }
        ASSERT_TRUE(opened);
        Process(*dialog);
        EXPECT_GT(dialog->ResultsList()->topLevelItemCount(), 0);
        EXPECT_EQ(Save(*dialog, std::string(c.kind) + "_out.csv"), Cli({c.kind, raw}));
    }
}

TEST_F(DialogTest, ReadErrorKeepsTheRowsAndSaveDisabled) {
    // A file that opens but fails every read: the start of a process's own memory.
    m_prompter.filesToOpen.push_back(QStringLiteral("/proc/self/mem"));
    TaDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());  // no header can be read: parameters by hand
    Process(dialog);
    EXPECT_EQ(m_prompter.informed.back(),
              (Shown{"Process Raw TA Output", "I/O error reading input file"}));
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
}

TEST_F(DialogTest, CancelLeavesSaveDisabled) {
    rawgen::Options options;
    options.minBytes = 8 << 20;
    const std::string raw = m_dir / "big.csv";
    rawgen::GenerateFile(options, raw);
    m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    QTest::mouseClick(dialog.ProcessButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog.CancelButton()->isVisibleTo(&dialog));
    dialog.CancelButton()->click();  // before the worker's first look between blocks
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Busy(); }));
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());
    EXPECT_TRUE(dialog.ProcessButton()->isEnabled());
    EXPECT_FALSE(dialog.CancelButton()->isVisibleTo(&dialog));
}

TEST_F(DialogTest, HeaderChannelsOutsideTheRowAreReportedOnOpening) {
    const std::string raw =
        Write("n.csv", Header(1, {"MEASUREMENT_CHANNEL_SHORT=9"}) + Rows({{1, 1.0}}, 1));
    m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(m_prompter.informed.back(),
              (Shown{"Process Raw Nutrient Data",
                     "The Short measure channel is 9: a channel must be one of 0 to 7."}));
    EXPECT_EQ(dialog.Fields().measure[protocol::PATH_SHORT]->currentText(), "0");
}

TEST_F(DialogTest, PhRefusesASampleIntervalOfZero) {
    const std::string raw = Write("ph.csv", PhFile());
    m_prompter.filesToOpen.push_back(QString::fromStdString(raw));
    PhDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Busy(); }));
    EXPECT_EQ(dialog.Fields().sampleInterval->text(), "1000");
    EXPECT_EQ(dialog.Fields().rScale->text(), "1.00000");
    dialog.Fields().sampleInterval->setText("0");
    QTest::mouseClick(dialog.ProcessButton(), Qt::LeftButton);
    EXPECT_FALSE(dialog.Busy());
    EXPECT_EQ(
        m_prompter.informed.back(),
        (Shown{"Process Raw pH Data", "The sample interval is 0 ms: it must be at least 1 ms."}));
}

TEST_F(DialogTest, SeveralNutrientFilesInOneTable) {
    const std::string a = Write("a.csv", "%VELACOR.CORE.SENSOR_NAME=Reef North\n" + NitrateFile(2));
    const std::string b = Write("b.csv", NitrateFile(3));
    m_prompter.fileListsToOpen.push_back({QString::fromStdString(a), QString::fromStdString(b)});
    MultiNutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    ASSERT_TRUE(WaitUntil([&] { return !dialog.Busy(); }));
    EXPECT_EQ(dialog.ProcessButton(), nullptr);
    EXPECT_EQ(dialog.ResultsList()->topLevelItemCount(), 5);
    EXPECT_EQ(dialog.ResultsList()->topLevelItem(0)->text(8), "Reef North");
    EXPECT_EQ(dialog.LogList()->item(0)->text(), QString::fromStdString("Reading file " + a));
    EXPECT_EQ(Save(dialog, "multi.csv"), Cli({"nutrient-multi", a, b}));
}

TEST(ProcessingWorkerTest, CancelEndsTheRunAndStopWaitsForIt) {
    ProcessingWorker worker;
    std::shared_ptr<const RunReport> finished;
    QObject::connect(&worker, &ProcessingWorker::Finished,
                     [&](std::shared_ptr<const RunReport> report) { finished = report; });
    const RunJob untilCancelled = [](RunReport& report, LogSink& log, const RunControl& control) {
        while (control.keepGoing(0))
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        Log(&log, "stopped");
        report.complete = false;
    };
    worker.Start(untilCancelled, 0);
    EXPECT_TRUE(worker.Running());
    worker.Cancel();
    ASSERT_TRUE(WaitUntil([&] { return finished != nullptr; }));
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(finished->log.back(), "stopped");

    finished.reset();
    worker.Start(untilCancelled, 0);
    worker.Stop();  // joins; the stopped run reports nothing
    QCoreApplication::processEvents();
    EXPECT_FALSE(worker.Running());
    EXPECT_EQ(finished, nullptr);
}

}  // namespace
}  // namespace velacor::processing::ui
