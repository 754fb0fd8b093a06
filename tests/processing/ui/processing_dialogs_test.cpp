// The processing dialogs driven as an operator would: choose a raw file, check the fields the
// header filled, press Process, wait for the worker, Save. What Save writes is compared with
// velacor-cli's output for the same file.
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <gtest/gtest.h>

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
#include "widgets/tab_order.h"
#include "widgets/wait.h"

namespace velacor::processing::ui {
namespace {

using widgets::testing::ScriptedPrompter;
using widgets::testing::Shown;
using widgets::testing::WaitUntil;

// A generated raw file of `cycles` measurement cycles.
std::string Generated(rawgen::Chemistry chemistry, unsigned cycles = 2,
                      const std::string& sensorName = {}) {
    rawgen::Options options;
    options.chemistry = chemistry;
    options.cycles = cycles;
    options.sensorName = sensorName;
    return rawgen::GenerateString(options);
}

// One row and no header.
std::string Bare() {
    return test::RowText(test::Row(1));
}

class DialogTest : public ::testing::Test {
  protected:
    // Writes a raw file for the file chooser to offer next; returns its path.
    std::string Offer(const std::string& name, const std::string& text) {
        const std::string path = m_dir.Write(name, text);
        m_prompter.filesToOpen.push_back(QString::fromStdString(path));
        return path;
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
    const std::string raw = Offer("QXT0001.CSV", Generated(rawgen::Chemistry::Nutrient));
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(m_prompter.asked.at(0).title, "Raw Output File");
    EXPECT_TRUE(m_prompter.informed.empty());
    EXPECT_EQ(dialog.windowTitle(), "Process Raw Nitrate Data");
    const auto& f = dialog.Fields();
    EXPECT_EQ(f.standard2Conc->text(), "40.000");
    EXPECT_EQ(f.dilution->text(), "1:1.500");
    EXPECT_EQ(f.trigger->currentText(), "Sample");
    EXPECT_EQ(f.mapping[1]->currentText(), "Short Ch Concentration");
    // Tab in reading order, the dialog's own lists in their places among the page's.
    using widgets::testing::TabOrderAfter;
    EXPECT_EQ(TabOrderAfter(f.nutrientType, 2),
              (std::vector<QWidget*>{f.sensorVersion, f.measure[protocol::PATH_MEDIUM]}));
    EXPECT_EQ(
        TabOrderAfter(f.trigger, 4),
        (std::vector<QWidget*>{f.mapping[0], f.mapping[1], f.mapping[2], f.opticalCorrection}));
    EXPECT_EQ(dialog.ResultsList()->headerItem()->text(4), "P2 - Short Ch Conc");
    EXPECT_FALSE(dialog.SaveButton()->isEnabled());

    Process(dialog);
    EXPECT_EQ(dialog.ResultsList()->topLevelItemCount(), 2);
    EXPECT_TRUE(dialog.SaveButton()->isEnabled());
    EXPECT_EQ(dialog.LogList()->currentRow(), dialog.LogList()->count() - 1);  // the last line
    const std::string saved = Save(dialog, "out.csv");
    EXPECT_EQ(m_prompter.informed.back(),
              (Shown{"Save Processed Output",
                     QString::fromStdString("Processed Output saved to " + m_dir / "out.csv")}));
    EXPECT_EQ(saved, Cli({"nutrient", raw}));

    // The type chosen when Process is pressed names the dialog and the value, and sets the
    // dilution.
    f.nutrientType->setCurrentIndex(f.nutrientType->findText("Phosphate"));
    Process(dialog);
    EXPECT_EQ(dialog.windowTitle(), "Process Raw Phosphate Data");
    EXPECT_EQ(dialog.ResultsList()->headerItem()->text(2), "Phosphate (uM)");
    EXPECT_EQ(f.dilution->text(), "1:3.000");
}

TEST_F(DialogTest, NutrientEnablingRulesFollowAdjustmentTriggerAndCorrection) {
    Offer("n.csv", Generated(rawgen::Chemistry::Nutrient, 1));
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

TEST_F(DialogTest, FilesWithoutHeaderOrOfAnotherChemistryAndACancelledChooser) {
    {
        Offer("bare.csv", Bare());
        NutrientDialog dialog(m_prompter);
        EXPECT_TRUE(dialog.Open());  // stays open for parameters by hand
        EXPECT_EQ(m_prompter.informed.back().title, "Process Raw Nutrient Data");
        EXPECT_EQ(dialog.Fields().intakeState->text(), "");
    }
    {
        Offer("ph.csv", Generated(rawgen::Chemistry::Ph, 1));
        TaDialog dialog(m_prompter);
        EXPECT_FALSE(dialog.Open());
        EXPECT_EQ(m_prompter.informed.back(),
                  (Shown{"Process Raw TA Data",
                         "This file has the wrong chemistry type for TA processing."}));
    }
    {
        // The pH header is read on the worker; the dialog closes once it is.
        Offer("ta.csv", Generated(rawgen::Chemistry::Ta, 1));
        PhDialog dialog(m_prompter);
        ASSERT_TRUE(dialog.Open());
        ASSERT_TRUE(WaitUntil([&] { return !dialog.Busy(); }));
        EXPECT_EQ(m_prompter.informed.back().text,
                  "This file has the wrong chemistry type for pH processing.");
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    DicDialog cancelled(m_prompter);  // the chooser is cancelled
    EXPECT_FALSE(cancelled.Open());
}

TEST_F(DialogTest, AFileWithoutHeaderTakesTheConnectedSensorsParameters) {
    const std::string bare = m_dir.Write("bare.csv", Bare());
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
    }
}

TEST_F(DialogTest, EveryChemistrySavesWhatTheCommandLinePrints) {
    struct Case {
        const char* kind;
        rawgen::Chemistry chemistry;
    };
    for (const Case& c : {Case{"ph", rawgen::Chemistry::Ph}, Case{"ta", rawgen::Chemistry::Ta},
                          Case{"dic", rawgen::Chemistry::Dic}}) {
        SCOPED_TRACE(c.kind);
        const std::string raw = Offer(std::string(c.kind) + ".csv", Generated(c.chemistry));
        std::unique_ptr<ProcessingDialog> dialog;
        bool opened = false;
        if (c.chemistry == rawgen::Chemistry::Ph) {
            auto d = std::make_unique<PhDialog>(m_prompter);
            opened = d->Open();
            EXPECT_TRUE(WaitUntil([&] { return !d->Busy(); }));  // the header scan
            EXPECT_EQ(d->Fields().sampleInterval->text(), "1000");
            EXPECT_EQ(d->Fields().rScale->text(), "1.00000");
            dialog = std::move(d);
        } else if (c.chemistry == rawgen::Chemistry::Ta) {
            auto d = std::make_unique<TaDialog>(m_prompter);
            opened = d->Open();
            EXPECT_FALSE(d->Fields().monitorLed1->isEnabled());
            EXPECT_EQ(d->Fields().ct->text(), "0.0025");
            dialog = std::move(d);
        } else {
            auto d = std::make_unique<DicDialog>(m_prompter);
            opened = d->Open();
            EXPECT_EQ(d->Inlet(0).crmValue->text(), "2015.50");
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

TEST_F(DialogTest, ParametersOutsideTheirRangesAreReported) {
    // On opening: a channel that no row has, shown as channel 0.
    std::string nutrient = Generated(rawgen::Chemistry::Nutrient, 1);
    const std::string key = "MEASUREMENT_CHANNEL_SHORT=";
    nutrient[nutrient.find(key) + key.size()] = '9';
    Offer("n.csv", nutrient);
    NutrientDialog dialog(m_prompter);
    ASSERT_TRUE(dialog.Open());
    EXPECT_EQ(m_prompter.informed.back(),
              (Shown{"Process Raw Nutrient Data",
                     "The Short measure channel is 9: a channel must be one of 0 to 7."}));
    EXPECT_EQ(dialog.Fields().measure[protocol::PATH_SHORT]->currentText(), "0");

    // On Process: a sample interval of zero.
    Offer("ph.csv", Generated(rawgen::Chemistry::Ph, 1));
    PhDialog ph(m_prompter);
    ASSERT_TRUE(ph.Open());
    ASSERT_TRUE(WaitUntil([&] { return !ph.Busy(); }));
    ph.Fields().sampleInterval->setText("0");
    QTest::mouseClick(ph.ProcessButton(), Qt::LeftButton);
    EXPECT_FALSE(ph.Busy());
    EXPECT_EQ(
        m_prompter.informed.back(),
        (Shown{"Process Raw pH Data", "The sample interval is 0 ms: it must be at least 1 ms."}));
}

TEST_F(DialogTest, SeveralNutrientFilesInOneTable) {
    const std::string a =
        m_dir.Write("a.csv", Generated(rawgen::Chemistry::Nutrient, 2, "Reef North"));
    const std::string b = m_dir.Write("b.csv", Generated(rawgen::Chemistry::Nutrient, 3));
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
