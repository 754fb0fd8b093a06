// Not a test: opens each processing dialog on generated raw files, processes them and saves a
// picture of every dialog, for a person to look at.
//
//   xvfb-run build/tests/processing_dialog_shots OUTDIR
#include <QApplication>
#include <QPushButton>
#include <QTest>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "processing/ui/dic_dialog.h"
#include "processing/ui/multi_nutrient_dialog.h"
#include "processing/ui/nutrient_dialog.h"
#include "processing/ui/ph_dialog.h"
#include "processing/ui/ta_dialog.h"
#include "rawgen/raw_generator.h"
#include "widgets/scripted_prompter.h"
#include "widgets/wait.h"

namespace {

using namespace velacor;

std::string Generate(const std::filesystem::path& dir, const char* name,
                     rawgen::Chemistry chemistry, const std::string& sensor = {}) {
    rawgen::Options options;
    options.chemistry = chemistry;
    options.cycles = 60;
    options.noise = 0.002;
    options.sensorName = sensor;
    const std::string path = (dir / name).string();
    rawgen::GenerateFile(options, path);
    return path;
}

template <class Dialog>
bool Shoot(widgets::testing::ScriptedPrompter& prompter, const std::string& file,
           const std::filesystem::path& picture) {
    prompter.filesToOpen.push_back(QString::fromStdString(file));
    Dialog dialog(prompter);
    if (!dialog.Open())
        return false;
    dialog.show();
    widgets::testing::WaitUntil([&] { return !dialog.Busy(); });  // a header read on the worker
    QTest::mouseClick(dialog.ProcessButton(), Qt::LeftButton);
    widgets::testing::WaitUntil([&] { return !dialog.Busy(); });
    widgets::testing::WaitUntil([] { return false; }, 200);  // let it paint
    return dialog.grab().save(QString::fromStdString(picture.string()));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: processing_dialog_shots OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    widgets::testing::ScriptedPrompter prompter;
    bool ok = Shoot<processing::ui::NutrientDialog>(
        prompter, Generate(out, "QXT0001.CSV", rawgen::Chemistry::Nutrient), out / "nutrient.png");
    ok &= Shoot<processing::ui::PhDialog>(
        prompter, Generate(out, "QXT0002.CSV", rawgen::Chemistry::Ph), out / "ph.png");
    ok &= Shoot<processing::ui::TaDialog>(
        prompter, Generate(out, "QXT0003.CSV", rawgen::Chemistry::Ta), out / "ta.png");
    ok &= Shoot<processing::ui::DicDialog>(
        prompter, Generate(out, "QXT0004.CSV", rawgen::Chemistry::Dic), out / "dic.png");

    prompter.fileListsToOpen.push_back(
        {QString::fromStdString(Generate(out, "A.CSV", rawgen::Chemistry::Nutrient, "Reef North")),
         QString::fromStdString(
             Generate(out, "B.CSV", rawgen::Chemistry::Nutrient, "Reef South"))});
    processing::ui::MultiNutrientDialog multi(prompter);
    ok &= multi.Open();
    multi.show();
    widgets::testing::WaitUntil([&] { return !multi.Busy(); });
    widgets::testing::WaitUntil([] { return false; }, 200);
    ok &= multi.grab().save(QString::fromStdString((out / "multi.png").string()));
    for (const auto& shown : prompter.informed)
        std::fprintf(stderr, "%s: %s\n", shown.title.toUtf8().constData(),
                     shown.text.toUtf8().constData());
    return ok ? 0 : 1;
}
