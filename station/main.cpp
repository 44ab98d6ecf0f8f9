#include "catalogue/RegisterPod.h"
#include "platform/store/StoreLocation.h"
#include "station/report/RunReport.h"
#include "station/terminal/RunOnTerminal.h"
#include "station/window/StationWindowMain.h"

#include <QCoreApplication>

#include <cstdio>
#include <cstring>

using namespace vantelo;
using namespace vantelo::station;

int main(int argc, char* argv[])
{
    // The window needs a widget application, made before anything reads the arguments.
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--window") == 0)
            return RunStationWindow(argc, argv);
    }
    QCoreApplication application(argc, argv);
    QString error;
    if (QCoreApplication::arguments().contains(QStringLiteral("--report"))) {
        const auto report = ParseReportOptions(QCoreApplication::arguments().mid(1), error);
        if (!report)
            return Refuse(stderr, QStringLiteral("vantelo-station: %1 (see vantelo-station --help)").arg(error), 2);
        return RunReport(*report, stdout, stderr);
    }
    const auto machine = OpenMachineSettingsStore();
    const auto options = ParseStationOptions(QCoreApplication::arguments().mid(1), ReadOperatorMode(*machine), error);
    if (!options)
        return Refuse(stderr, QStringLiteral("vantelo-station: %1 (see vantelo-station --help)").arg(error), 2);
    if (options->help) {
        std::fputs(StationUsage, stdout);
        return 0;
    }
    return RunOnTerminal(*options, RegisterPod::InitPodTypes(*machine), stdout, stderr);
}
