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
    if (!runner_.control_.abort) {
        texts << text;
        runner_.board_.Event(runner_.index_, text);
    }
    return MsgAnswer::Ok;
}

void PortRunner::View::Progress(int permille)
{
    runner_.board_.Progress(runner_.index_, permille);
}

void PortRunner::View::Status(const QString& text)
{
    QString step = text;
    step.remove(QStringLiteral("Please wait "));
    runner_.board_.Step(runner_.index_, step);
}

PortRunner::PortRunner(SerialPort& port, ReplyTimer& timer, const PodCatalogue& podTypes,
                       const StationJob& job, const StationPort& where, int index, StatusBoard& board,
                       RecordFile& record, StationControl& control)
    : podTypes_(podTypes), job_(job), where_(where), index_(index), board_(board), record_(record),
      control_(control), slot_(where.number >= 1 && where.number <= 4 ? where.number - 1 : 0),
      link_{port, timer, messages_, view_, podTypes}
{
}

void PortRunner::Run()
{
    // A pod is taken only after the port was seen without one, so that the
    // pod just programmed is not programmed again.
    bool absent = true;
    while (!control_.stopTaking) {
        if (!Open()) {
            absent = true;
            if (!job_.watch)
                return;
            Pause(link_, ReopenPause);
            continue;
        }
        board_.Step(index_, absent ? QStringLiteral("searching") : QStringLiteral("waiting for the next pod"));
        const auto started = Clock::now();
        const std::int32_t reply = ProbePort(link_, true);
        if (!link_.port.PortOpen())
            continue; // gone: reopened above
        if (reply == 0) {
            absent = true;
            board_.Pod(index_, {});
            if (!job_.watch) {
                board_.Step(index_, QStringLiteral("no pod"));
                return;
            }
            Pause(link_, PollPause);
            continue;
        }
        if (absent && !control_.stopTaking) {
            absent = false;
            TakePod(reply, started);
            if (!job_.watch)
                return;
        }
        Pause(link_, PollPause);
    }
    board_.Step(index_, QStringLiteral("stopped"));
}

bool PortRunner::Open()
{
    if (link_.port.PortOpen())
        return true;
    if (link_.port.PortOpen(true)) {
        closedReported_ = false;
        return true;
    }
    if (!closedReported_) {
        const std::string why = link_.port.OpenError();
        board_.Event(index_, QStringLiteral("Could not open %1").arg(where_.name) +
                                 (why.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(why)));
        board_.Step(index_, QStringLiteral("cannot be opened"));
        if (where_.named)
            control_.failed = true;
        closedReported_ = true;
    }
    return false;
}

void PortRunner::TakePod(std::int32_t reply, Clock::time_point started)
{
    const auto index = RegisterPod::FindPodType(podTypes_, static_cast<std::uint8_t>(reply));
    if (!index)
        return; // the probe answers only for pods of the catalogue
    const PodTypeInfo& type = podTypes_[static_cast<std::size_t>(*index)];

    PodRecord record;
    record.port = where_.name;
    record.device = where_.device;
    record.podType = type.Type;
    record.podName = QString::fromLocal8Bit(type.Name);
    while (record.podName.endsWith(u' '))
        record.podName.chop(1);
    record.version = QStringLiteral("%1.%2").arg((reply >> 8) & 0xFF).arg((reply >> 16) & 0xFF);
    record.file = job_.file;
    record.sha256 = job_.sha256;
    board_.Pod(index_, record.podName + u' ' + record.version);

    if (type.Type != job_.configuration.type_code) {
        record.result = PodResult::Skipped;
        board_.Step(index_, QStringLiteral("skipped: not of the configuration's type"));
    } else {
        control_.podOfTypeFound = true;
        messages_.texts.clear();
        ProgramPod(link_, slot_, job_.configuration, *buffers_);
        record.result = control_.abort                ? PodResult::Interrupted
                        : messages_.texts.isEmpty() ? PodResult::Programmed
                                                    : PodResult::Failed;
        record.messages = messages_.texts;
        board_.Step(index_, QString::fromLatin1(ResultName(record.result)));
        if (record.result != PodResult::Programmed)
            control_.failed = true;
    }
    record.time = QDateTime::currentDateTimeUtc();
    record.seconds = std::chrono::duration<double>(Clock::now() - started).count();
    board_.Result(index_, record.result);

    QString error;
    if (!record_.Write(record, error)) {
        board_.Note(error);
        control_.failed = true;
        control_.stopTaking = true;
    }
}

} // namespace vantelo::station
