#include "catalogue/RegisterPod.h"
#include "config/PodFile.h"
#include "platform/Console.h"
#include "platform/StoreLocation.h"
#include "station/PortThread.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/StatusBoard.h"
#include "station/TerminalBoard.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QFile>
#include <QTimer>

#include <cstdio>
#include <memory>

using namespace vantelo;
using namespace vantelo::station;

namespace {

int Refuse(const QString& text, int status)
{
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    return status;
}

QString Sha256Of(const QString& path)
{
    QFile file(path);
    QCryptographicHash hash(QCryptographicHash::Sha256);
    if (!file.open(QIODevice::ReadOnly) || !hash.addData(&file))
        return {};
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication application(argc, argv);
    QString error;
    const auto options = ParseStationOptions(QCoreApplication::arguments().mid(1), error);
    if (!options)
        return Refuse(QStringLiteral("vantelo-station: %1 (see vantelo-station --help)").arg(error), 2);
    if (options->help) {
        std::fputs(StationUsage, stdout);
        return 0;
    }

    // The file as the window takes it, and the same refusals.
    auto configuration = std::make_unique<PodConfiguration>();
    const PodFileStatus status = LoadPodFile(options->file, *configuration);
    if (status.fault != PodFileFault::None)
        return Refuse(PodFileRefusal(options->file, status), 2);
    if (!PodDisplayName(options->file))
        return Refuse(PodFileRefusal(PodFileName(options->file), {PodFileFault::Unreadable}), 2);
    const StationJob job{*configuration, PodFileName(options->file), Sha256Of(options->file), options->watch};
    if (job.sha256.isEmpty())
        return Refuse(PodFileRefusal(options->file, {PodFileFault::Unreadable}), 2);

    const PodCatalogue podTypes = RegisterPod::InitPodTypes(*OpenMachineSettingsStore());

    RecordFile record;
    if (!options->record.isEmpty() && !record.Open(options->record, error))
        return Refuse(error, 1);

    std::vector<QString> names;
    for (const StationPort& port : options->ports)
        names.push_back(port.name);
    StatusBoard board(names);
    // Colour unless the user asked for none (the NO_COLOR convention).
    TerminalBoard view(stdout, StandardOutputIsTerminal(), qEnvironmentVariableIsEmpty("NO_COLOR"));
    StationControl control;

    std::vector<std::unique_ptr<PortThread>> threads;
    InterruptNotifier interrupts;
    QObject::connect(&interrupts, &InterruptNotifier::Interrupted, &application, [&] {
        if (!control.stopTaking.exchange(true)) {
            board.Note(QStringLiteral("Stopping: the pods being written are finished first. "
                                      "Ctrl-C again stops at once."));
            return;
        }
        control.abort = true;
        board.Note(QStringLiteral("Stopping at once."));
        for (const auto& thread : threads)
            thread->WakeUp();
    });

    int running = 0;
    for (std::size_t i = 0; i < options->ports.size(); ++i) {
        auto& thread = threads.emplace_back(std::make_unique<PortThread>(
            PortContext{podTypes, job, options->ports[i], static_cast<int>(i), board, record, control}));
        QObject::connect(thread.get(), &QThread::finished, &application, [&running] {
            if (--running == 0)
                QCoreApplication::quit();
        });
        ++running;
        thread->start();
    }

    QTimer refresh;
    QObject::connect(&refresh, &QTimer::timeout, &application,
                     [&] { view.Draw(board.Take(), StandardOutputTerminalSize()); });
    refresh.start(100);

    QCoreApplication::exec();
    for (const auto& thread : threads)
        thread->wait();
    view.Summary(board.Take());
    return ExitStatus(control, options->watch);
}
