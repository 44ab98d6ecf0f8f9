#include "station/PortRunner.h"

#include "discovery/IdentifyPod.h"
#include "platform/SerialPort.h"
#include "programming/DownloadBlock.h"
#include "serial/RestartPod.h"
#include "serial/Waits.h"
#include "station/RecordFile.h"
#include "station/StationControl.h"
#include "station/StatusBoard.h"

#include <QUuid>

#include <algorithm>
#include <utility>

namespace vantelo::station {

namespace {

// Polls start at most this often; an empty port's probe takes 1.3 s.
constexpr std::chrono::milliseconds PollInterval{2000};
constexpr int ReopenPause = 2000;

PodStep StepOf(ProgramStep step)
{
    switch (step) {
    case ProgramStep::Pod:
        return PodStep::Programming;
    case ProgramStep::MainMicro:
        return PodStep::MainMicro;
    case ProgramStep::IrMicro:
        return PodStep::IrMicro;
    case ProgramStep::SecondaryTable:
        return PodStep::SecondaryTable;
    }
    return PodStep::Programming;
}

// A message as the record keeps it: the box's title in front when it says
// more than "Error!" (the download's block number).
QString MessageText(const QString& text, const QString& title)
{
    if (title.isEmpty() || title == QLatin1String("Error!"))
        return text;
    return title + QStringLiteral(": ") + text;
}

} // namespace

MsgAnswer PortRunner::Messages::Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon)
{
    if (buttons == MsgButtons::YesNo)
        return MsgAnswer::No;
    // What fails once the pod is given up is the giving up, not the pod.
    if (runner_.c_.control.abort)
        return MsgAnswer::Ok;
    texts << MessageText(text, title);
    // A pod that keeps refusing its restart is said to once, not every poll.
    if (!said.contains(texts.back())) {
        said << texts.back();
        runner_.c_.board.Event(runner_.c_.index, texts.back());
    }
    return MsgAnswer::Ok;
}

void PortRunner::View::Progress(int permille)
{
    runner_.c_.board.Progress(runner_.c_.index, permille);
}

void PortRunner::View::Status(ProgramStep step)
{
    runner_.c_.board.Step(runner_.c_.index, StepOf(step));
}

PortRunner::PortRunner(SerialPort& port, ReplyTimer& timer, const PortContext& context, PortClock now)
    : c_(context), now_(std::move(now)),
      // COM1 to COM4 as the window numbers them; any other port stands in
      // the first place, which only the two-micro pod's reopening asks for.
      port_{c_.where.number >= 1 && c_.where.number <= 4 ? c_.where.number : 1, c_.where.name}, link_{port, timer,
                                                                                                      messages_, view_,
                                                                                                      c_.podTypes}
{
}

void PortRunner::Run()
{
    // Started again (the window's Stop, then Start): the pod that has its
    // result is not a new one.
    if (c_.board.Latched(c_.index))
        presence_.Keep();
    Show(PortPhase::Searching);
    while (!c_.control.stopTaking) {
        if (!Open()) {
            presence_.Forget();
            if (!c_.job.watch)
                return;
            Pause(link_, ReopenPause);
            continue;
        }
        const Time started = AwaitPoll();
        // Without a restart: a pod about to be programmed must not be
        // booting when the program command probes it, and a pod with its
        // result stays as it is.
        const auto pod = IdentifyPod(link_, false);
        if (!link_.port.PortOpen())
            continue; // gone: reopened above
        if (!pod || !pod->Answered()) {
            if (!c_.job.watch)
                return Show(PortPhase::NoPod);
            presence_.Silent(started);
        } else if (presence_.Answered(pod->type, pod->version, started)) {
            messages_.said.clear();
            TakePod(*pod, started);
            if (!c_.job.watch)
                break;
        }
        if (!c_.control.stopTaking)
            Show(presence_.Phase(now_()));
    }
    Stop();
}

void PortRunner::Show(PortPhase phase)
{
    c_.board.Phase(c_.index, phase);
}

void PortRunner::Stop()
{
    Show(c_.control.recordLost ? PortPhase::Halted : PortPhase::Stopped);
}

bool PortRunner::Open()
{
    if (link_.port.PortOpen())
        return true;
    // With RTS low a two-micro pod answers through its main micro.
    link_.port.RTSEnable(false);
    if (link_.port.PortOpen(true)) {
        if (std::exchange(closedReported_, false))
            Show(PortPhase::Searching);
        return true;
    }
    if (!closedReported_) {
        const std::string why = link_.port.OpenError();
        c_.board.Event(c_.index, QStringLiteral("cannot be opened") +
                                     (why.empty() ? QString() : QStringLiteral(": ") + QString::fromStdString(why)));
        Show(PortPhase::Unopened);
        if (c_.where.named)
            c_.control.failed = true;
        closedReported_ = true;
    }
    return false;
}

PortRunner::Time PortRunner::AwaitPoll()
{
    // Once the pod's silence counts, polls follow each other at once, so
    // that a pod taken off is seen gone within two empty probes; the first
    // poll that counts begins as the boot limit passes.
    if (lastPoll_ && !presence_.Listening(now_())) {
        Time next = *lastPoll_ + PollInterval;
        if (const auto limit = presence_.LimitAt())
            next = std::min(next, *limit);
        const auto wait = std::chrono::ceil<std::chrono::milliseconds>(next - now_());
        if (wait.count() > 0)
            Pause(link_, static_cast<int>(wait.count()));
    }
    lastPoll_ = now_();
    return *lastPoll_;
}

void PortRunner::TakePod(const PodIdentity& pod, Time started)
{
    // Checked right before anything is written to the pod.
    if (c_.control.stopTaking)
        return;
    const PodConfiguration& configuration = c_.job.configuration;
    PodRecord record;
    record.id = QUuid::createUuid().toString(QUuid::WithoutBraces);
    record.origin = c_.job.origin;
    record.of = BlockCount(configuration.main_length) +
                (configuration.type_code == TwoMicroTypeCode ? BlockCount(configuration.ir_length) : 0);
    record.port = c_.where.name;
    record.device = c_.where.device;
    record.podType = pod.type;
    record.podName = pod.name;
    while (record.podName.endsWith(u' '))
        record.podName.chop(1);
    record.version = pod.version;
    record.file = c_.job.file;
    record.sha256 = c_.job.sha256;
    c_.board.Pod(c_.index, record.podName + u' ' + record.version);

    if (pod.type != c_.job.configuration.type_code) {
        c_.board.Step(c_.index, PodStep::Restarting);
        // Left alone, restarted once so that it runs; its failures belong to its record.
        messages_.texts.clear();
        RestartPod(link_);
        record.result = PodResult::Skipped;
    } else {
        c_.control.podOfTypeFound = true;
        messages_.texts.clear();
        view_.retries = 0;
        view_.blocks = 0;
        ProgramPod(link_, port_, c_.job.configuration, *buffers_);
        record.result = c_.control.abort            ? PodResult::Interrupted
                        : messages_.texts.isEmpty() ? PodResult::Programmed
                                                    : PodResult::Failed;
        record.retries = view_.retries;
        record.blocks = view_.blocks;
        if (record.result != PodResult::Programmed)
            c_.control.failed = true;
        // A port gone under the download (a USB adapter pulled out) fails
        // as "no reply": say that the port itself went.
        if (record.result == PodResult::Failed && !Open())
            messages_.texts
                << QStringLiteral("%1 is gone: %2").arg(c_.where.name, QString::fromStdString(link_.port.OpenError()));
    }
    // Its last act was a restart, or its last restart failed: either way
    // its silence means nothing until it has booted.
    presence_.Restarted(now_());
    record.messages = messages_.texts;
    record.time = QDateTime::currentDateTimeUtc();
    record.seconds = std::chrono::duration<double>(now_() - started).count();
    record.started = record.time.addMSecs(-qRound64(record.seconds * 1000));
    c_.board.Result(c_.index, record.result, record.messages.value(0), record.seconds);

    QString error;
    if (!c_.record.Write(record, error)) {
        c_.board.Note(error);
        c_.control.failed = true;
        c_.control.recordLost = true;
        c_.control.stopTaking = true;
    }
}

} // namespace vantelo::station
