// Not a test: opens each configuration editor on a virtual sensor and saves a picture of it,
// for a person to look at.
//
//   xvfb-run build/tests/config_editor_shots OUTDIR
#include <QApplication>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "config/ui/chemistry_editor_dialog.h"
#include "config/ui/settings_editor_dialogs.h"
#include "emulator/virtual_hid_platform.h"
#include "link/sensor_link.h"
#include "widgets/scripted_prompter.h"
#include "widgets/wait.h"

namespace {

using namespace velacor;

class Bench {
  public:
    explicit Bench(std::uint8_t chemistry) {
        emulator::SensorOptions options;
        options.chemistry = chemistry;
        m_open =
            m_link.OpenSensor(
                m_platform.AddSensor(std::make_shared<emulator::VirtualSensor>(options)), 500) == 0;
    }
    link::SensorLink& Link() { return m_link; }
    bool Opened() const { return m_open; }

  private:
    emulator::VirtualHidPlatform m_platform;
    link::SensorLink m_link{m_platform};
    bool m_open = false;
};

template <class Editor, class... Options>
bool Shoot(std::uint8_t chemistry, const std::filesystem::path& picture, Options... options) {
    Bench bench(chemistry);
    widgets::testing::ScriptedPrompter prompter;
    Editor editor(bench.Link(), prompter, options...);
    if (!bench.Opened() || !editor.Open())
        return false;
    editor.show();
    widgets::testing::WaitUntil([] { return false; }, 200);  // let it paint
    for (const auto& shown : prompter.informed)
        std::fprintf(stderr, "%s: %s\n", shown.title.toUtf8().constData(),
                     shown.text.toUtf8().constData());
    return editor.grab().save(QString::fromStdString(picture.string()));
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: config_editor_shots OUTDIR\n");
        return 2;
    }
    const std::filesystem::path out = argv[1];
    std::filesystem::create_directories(out);
    using namespace velacor::config::ui;
    using namespace velacor::protocol;
    bool ok = Shoot<ChemistryEditorDialog>(CHEMISTRY_NITRATE, out / "chemistry_nitrate.png");
    ok &= Shoot<ChemistryEditorDialog>(CHEMISTRY_PH, out / "chemistry_ph.png");
    ok &= Shoot<ChemistryEditorDialog>(CHEMISTRY_DIC, out / "chemistry_generic.png");
    ok &= Shoot<TelemetryEditorDialog>(CHEMISTRY_NITRATE, out / "telemetry.png");
    ok &= Shoot<TelemetryEditorDialog>(CHEMISTRY_PH, out / "telemetry_ph.png");
    ok &= Shoot<StartStatesDialog>(CHEMISTRY_NITRATE, out / "start_states.png", false);
    ok &= Shoot<ThermistorsDialog>(CHEMISTRY_NITRATE, out / "thermistors.png");
    return ok ? 0 : 1;
}
