#include "station/window/StationWindowMain.h"

#include "catalogue/RegisterPod.h"
#include "platform/console/Console.h"
#include "platform/dialogs/QtDialogs.h"
#include "platform/store/StoreLocation.h"
#include "station/window/StationWindow.h"

#include <QApplication>
#include <QSettings>
#include <QTimer>

#include <algorithm>

#include <cstdio>

namespace vantelo::station {

int RunStationWindow(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantelo Station"));
    QStringList arguments = QApplication::arguments().mid(1);
    if (!arguments.contains(QStringLiteral("--window")))
        arguments.prepend(QStringLiteral("--window"));
    QtMsgBox boxes;
    QString error;
    const auto machine = OpenMachineSettingsStore();
    const auto options = ParseStationOptions(arguments, ReadOperatorMode(*machine), error);
    if (!options) {
        // Said on both: a program without a console has only the box.
        error = QStringLiteral("vantelo-station: %1 (see vantelo-station --help)").arg(error);
        WriteText(stderr, error + u'\n');
        boxes.Show(error, QStringLiteral("Vantelo Station"), MsgButtons::Ok, MsgIcon::Exclamation);
        return 2;
    }
    if (options->help) {
        std::fputs(StationUsage, stdout);
        return 0;
    }

    const PodCatalogue podTypes = RegisterPod::InitPodTypes(*machine);
    // Ports the user named on the command line count over those remembered.
    WindowStart start{{}, options->record, options->bootSeconds, options->origin, options->locked, options->released};
    if (std::ranges::any_of(options->ports, &StationPort::named))
        start.ports = options->ports;
    QSettings settings(QStringLiteral("Vantelo"), QStringLiteral("Vantelo Station"));
    QtFileDialog files;
    QtTextPrompt prompts;
    StationWindow window(podTypes, start, settings, files, boxes, prompts);

    // Started from a terminal, Ctrl-C is Stop and SIGTERM closes at once.
    InterruptNotifier interrupts;
    QObject::connect(&interrupts, &InterruptNotifier::Interrupted, &window, &StationWindow::Stop);
    QObject::connect(&interrupts, &InterruptNotifier::Terminated, &window, &StationWindow::CloseAtOnce);

    window.show();
    if (!options->file.isEmpty()) {
        QTimer::singleShot(0, &window, [&] {
            if (window.LoadFile(options->file))
                window.Start();
        });
    }
    const int status = QApplication::exec();
    interrupts.Finished();
    return status ? status : window.ExitStatus();
}

} // namespace vantelo::station
