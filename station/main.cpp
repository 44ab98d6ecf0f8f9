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
#include <QFileInfo>
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

    // The file as the window takes it, and the same refusals. The record's
    // hash is of the very bytes loaded.
    auto configuration = std::make_unique<PodConfiguration>();
    QByteArray bytes;
    const PodFileStatus status = LoadPodFile(options->file, *configuration, &bytes);
    if (status.fault != PodFileFault::None)
        return Refuse(PodFileRefusal(options->file, status), 2);
    if (!PodDisplayName(options->file))
        return Refuse(PodFileRefusal(PodFileName(options->file), {PodFileFault::Unreadable}), 2);
    const StationJob job{*configuration, QFileInfo(options->file).fileName(),
                         QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()),
                         options->watch};

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
    const auto stopAtOnce = [&] {
        control.stopTaking = true;
        if (control.abort.exchange(true))
            return;
        board.Note(QStringLiteral("Stopping at once."));
        for (const auto& thread : threads)
            thread->WakeUp();
    };
    InterruptNotifier interrupts;
    QObject::connect(&interrupts, &InterruptNotifier::Interrupted, &application, [&] {
        if (control.stopTaking.exchange(true))
            return stopAtOnce();
        board.Note(QStringLiteral("Stopping: the pods being written are finished first. "
                                  "Ctrl-C again stops at once."));
    });
    QObject::connect(&interrupts, &InterruptNotifier::Terminated, &application, stopAtOnce);

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
    interrupts.Finished();
    return ExitStatus(control, options->watch);
}
