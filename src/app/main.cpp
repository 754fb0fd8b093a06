// velacor: the window program.
//   --demo[=OPTION,...]  also list a virtual sensor, "Demo Sensor" (OPTIONs as velacor-cli's
//                        virtual device: a chemistry, bootloader, legacy)
//   --service            the Service menu and the Factory Settings button
#include <QApplication>
#include <QCommandLineParser>

#include <clocale>
#include <iostream>

#include "app/main_window.h"
#include "base/version.h"
#include "emulator/virtual_hid_platform.h"
#include "link/composite_platform.h"
#include "link/device_monitor.h"
#include "link/hidraw_platform.h"
#include "widgets/qt_prompter.h"

int main(int argc, char** argv) {
    using namespace velacor;
    QApplication application(argc, argv);
    // Qt hands the user's locale to the C library; the sensor's numbers, the processing log and
    // every file keep the decimal point whatever the desktop's language.
    std::setlocale(LC_NUMERIC, "C");
    QApplication::setApplicationName(QStringLiteral("velacor"));
    QApplication::setApplicationVersion(QString::fromLatin1(base::VERSION));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Companion program of the Velacor sensor"));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption demo(QStringLiteral("demo"),
                                  QStringLiteral("Also list a virtual sensor, \"Demo Sensor\"."),
                                  QStringLiteral("options"));
    const QCommandLineOption service(QStringLiteral("service"),
                                     QStringLiteral("Offer the service commands."));
    parser.addOption(demo);
    parser.addOption(service);
    // "--demo" alone is allowed: give it an empty option list.
    QStringList arguments = QApplication::arguments();
    for (QString& argument : arguments) {
        if (argument == QStringLiteral("--demo"))
            argument = QStringLiteral("--demo=");
    }
    parser.process(arguments);

    link::HidrawPlatform hidraw;
    emulator::VirtualHidPlatform virtualSensors;
    link::CompositePlatform platform;
    platform.Add(hidraw);
    link::CompositeDeviceMonitor monitor;
    monitor.Add(std::make_unique<link::UdevDeviceMonitor>());
    if (parser.isSet(demo)) {
        std::string error;
        auto options = emulator::ParseSensorOptions(parser.value(demo).toStdString(), error);
        if (!options) {
            std::cerr << "velacor: " << error << '\n';
            return 2;
        }
        virtualSensors.AddSensor(std::make_shared<emulator::VirtualSensor>(*options));
        platform.Add(virtualSensors);
        monitor.Add(std::make_unique<link::PollingDeviceMonitor>(virtualSensors));
    }

    link::SensorLink sensorLink(platform);
    widgets::QtPrompter prompter;
    app::MainWindow window(platform, sensorLink, sensorLink, prompter,
                           app::MainWindowOptions{parser.isSet(service)});
    prompter.SetParent(&window);
    monitor.Start([&window](const link::DeviceEvent& event) { window.PostDeviceEvent(event); },
                  [](const std::string& message) { std::cerr << "velacor: " << message << '\n'; });
    window.show();
    const int status = QApplication::exec();
    monitor.Stop();
    return status;
}
