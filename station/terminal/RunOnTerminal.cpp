#include "station/terminal/RunOnTerminal.h"

#include "platform/console/Console.h"
#include "station/RecordFile.h"
#include "station/StationFile.h"
#include "station/StationRun.h"
#include "station/StatusBoard.h"
#include "station/terminal/TerminalBoard.h"

#include <QCoreApplication>
#include <QTimer>

namespace vantelo::station {

namespace {

// Why the station ends with `status`, said under the summary.
QString StatusReason(int status, const BoardSnapshot& board, bool recordLost, const std::vector<StationPort>& ports)
{
    if (status == 3)
        return QStringLiteral("Exit status 3: no pod of the configuration's type was found.");
    if (status != 1)
        return {};
    QStringList why;
    if (const int failed = board.totals[PodResult::Failed] + board.totals[PodResult::Interrupted])
        why << QStringLiteral("%1 pod%2 failed or interrupted").arg(failed).arg(failed == 1 ? "" : "s");
    for (std::size_t i = 0; i < ports.size(); ++i) {
        if (ports[i].named && board.ports[i].phase == PortPhase::Unopened)
            why << ports[i].name + QStringLiteral(" could not be opened");
    }
    if (recordLost)
        why << QStringLiteral("the record could not be written");
    return QStringLiteral("Exit status 1: ") + why.join(QStringLiteral("; ")) + u'.';
}

} // namespace

int Refuse(std::FILE* err, const QString& text, int status)
{
    WriteText(err, text + u'\n');
    return status;
}

int RunOnTerminal(const StationOptions& options, const PodCatalogue& podTypes, std::FILE* out, std::FILE* err)
{
    // The file as the window takes it, and the same refusals.
    QString error;
    const auto file = LoadStationFile(options.file, options.released, error);
    if (!file)
        return Refuse(err, error, 2);
    RecordOrigin origin = options.origin;
    if (origin.station.isEmpty())
        origin.station = HostStationName();
    const StationJob job{*file->configuration,
                         file->name,
                         file->sha256,
                         options.watch,
                         std::chrono::milliseconds(qRound64(options.bootSeconds.value_or(15) * 1000)),
                         origin};

    RecordFile record;
    if (!options.record.isEmpty() && !record.Open(options.record, error))
        return Refuse(err, error, 1);

    std::vector<QString> names;
    for (const StationPort& port : options.ports)
        names.push_back(port.name);
    StatusBoard board(names);
    // Colour unless the user asked for none (the NO_COLOR convention).
    TerminalBoard view(out, out == stdout && StandardOutputIsTerminal(), qEnvironmentVariableIsEmpty("NO_COLOR"));

    InterruptNotifier interrupts;
    int status = 0;
    bool recordLost = false;
    {
        StationRun run(podTypes, job, options.ports, board, record);
        QObject::connect(&interrupts, &InterruptNotifier::Interrupted, &run, [&] {
            if (run.Stop())
                board.Note(QStringLiteral("Stopping: the pods being written are finished first. "
                                          "Ctrl-C again stops at once."));
        });
        QObject::connect(&interrupts, &InterruptNotifier::Terminated, &run, &StationRun::StopAtOnce);
        QObject::connect(&run, &StationRun::Finished, &QCoreApplication::quit);
        run.Start();

        QTimer refresh;
        QObject::connect(&refresh, &QTimer::timeout, &run,
                         [&] { view.Draw(board.Take(), StandardOutputTerminalSize()); });
        refresh.start(100);
        QCoreApplication::exec();
        status = ExitStatus(run.Control(), options.watch);
        recordLost = run.Control().recordLost;
    }
    const BoardSnapshot last = board.Take();
    view.Summary(last, StatusReason(status, last, recordLost, options.ports));
    interrupts.Finished();
    return status;
}

} // namespace vantelo::station
