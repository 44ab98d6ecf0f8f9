#include "station/PortRunner.h"

#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "platform/SerialPort.h"
#include "programming/ProgramPod.h"
#include "serial/Waits.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/StatusBoard.h"

namespace vantelo::station {

namespace {

// An empty port's probe takes 1.3 s: with this pause it is polled every 2 s.
constexpr int PollPause = 500;
constexpr int ReopenPause = 2000;

using Clock = std::chrono::steady_clock;

} // namespace

MsgAnswer PortRunner::Messages::Show(const QString& text, const QString&, MsgButtons buttons, MsgIcon)
{
    if (buttons == MsgButtons::YesNo)
        return MsgAnswer::No;
    // What fails once the pod is given up is the giving up, not the pod.
    if (!runner_.c_.control.abort) {
        texts << text;
        runner_.c_.board.Event(runner_.c_.index, text);
    }
    return MsgAnswer::Ok;
}

void PortRunner::View::Progress(int permille)
{
    runner_.c_.board.Progress(runner_.c_.index, permille);
}

void PortRunner::View::Status(const QString& text)
{
    QString step = text;
    step.remove(QStringLiteral("Please wait "));
    runner_.c_.board.Step(runner_.c_.index, step);
}

PortRunner::PortRunner(SerialPort& port, ReplyTimer& timer, const PortContext& context)
    : c_(context), slot_(c_.where.number >= 1 && c_.where.number <= 4 ? c_.where.number - 1 : 0),
      link_{port, timer, messages_, view_, c_.podTypes}
{
}

void PortRunner::Run()
{
    // A pod is taken only after the port was seen without one, so that the
    // pod just programmed is not programmed again.
    bool absent = true;
    while (!c_.control.stopTaking) {
        if (!Open()) {
            absent = true;
            if (!c_.job.watch)
                return;
            Pause(link_, ReopenPause);
            continue;
        }
        c_.board.Step(c_.index, absent ? QStringLiteral("searching") : QStringLiteral("waiting for the next pod"));
        const auto started = Clock::now();
        const std::int32_t reply = ProbePort(link_, true);
        if (!link_.port.PortOpen())
            continue; // gone: reopened above
        if (reply == 0) {
            if (!absent)
                c_.board.Empty(c_.index);
            absent = true;
            c_.board.Pod(c_.index, {});
            if (!c_.job.watch) {
                c_.board.Step(c_.index, QStringLiteral("no pod"));
                return;
            }
            Pause(link_, PollPause);
            continue;
        }
        if (absent && !c_.control.stopTaking) {
            absent = false;
            TakePod(reply, started);
            if (!c_.job.watch)
                return;
        }
        Pause(link_, PollPause);
    }
    c_.board.Step(c_.index, QStringLiteral("stopped"));
}

bool PortRunner::Open()
{
    if (link_.port.PortOpen())
        return true;
    // With RTS low a two-micro pod answers through its main micro.
    link_.port.RTSEnable(false);
    if (link_.port.PortOpen(true)) {
        closedReported_ = false;
        return true;
    }
    if (!closedReported_) {
        const std::string why = link_.port.OpenError();
        c_.board.Event(c_.index, QStringLiteral("Could not open %1").arg(c_.where.name) +
                                 (why.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(why)));
        c_.board.Step(c_.index, QStringLiteral("cannot be opened"));
        if (c_.where.named)
            c_.control.failed = true;
        closedReported_ = true;
    }
    return false;
}

void PortRunner::TakePod(std::int32_t reply, Clock::time_point started)
{
    const auto index = RegisterPod::FindPodType(c_.podTypes, static_cast<std::uint8_t>(reply));
    if (!index)
        return; // the probe answers only for pods of the catalogue
    const PodTypeInfo& type = c_.podTypes[static_cast<std::size_t>(*index)];

    PodRecord record;
    record.port = c_.where.name;
    record.device = c_.where.device;
    record.podType = type.Type;
    record.podName = QString::fromLocal8Bit(type.Name);
    while (record.podName.endsWith(u' '))
        record.podName.chop(1);
    record.version = QStringLiteral("%1.%2").arg((reply >> 8) & 0xFF).arg((reply >> 16) & 0xFF);
    record.file = c_.job.file;
    record.sha256 = c_.job.sha256;
    c_.board.Pod(c_.index, record.podName + u' ' + record.version);

    if (type.Type != c_.job.configuration.type_code) {
        record.result = PodResult::Skipped;
        c_.board.Step(c_.index, QStringLiteral("skipped: not of the configuration's type"));
    } else {
        c_.control.podOfTypeFound = true;
        messages_.texts.clear();
        ProgramPod(link_, slot_, c_.job.configuration, *buffers_);
        record.result = c_.control.abort            ? PodResult::Interrupted
                        : messages_.texts.isEmpty() ? PodResult::Programmed
                                                    : PodResult::Failed;
        record.messages = messages_.texts;
        c_.board.Step(c_.index, QString::fromLatin1(ResultName(record.result)));
        if (record.result != PodResult::Programmed)
            c_.control.failed = true;
    }
    record.time = QDateTime::currentDateTimeUtc();
    record.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    c_.board.Result(c_.index, record.result, record.messages.value(0));

    QString error;
    if (!c_.record.Write(record, error)) {
        c_.board.Note(error);
        c_.control.failed = true;
        c_.control.stopTaking = true;
    }
}

} // namespace vantelo::station
