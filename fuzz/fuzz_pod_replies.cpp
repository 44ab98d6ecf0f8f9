// The pod side of the wire in the fuzzer's hands: whatever it answers, every
// operation ends within its time-outs, moves on exactly when a reply starts
// with the acknowledgement, and tells the user of a failure once.
#include "FuzzedPod.h"
#include "OperationBounds.h"
#include "Passes.h"
#include "Require.h"
#include "WatchedPort.h"
#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "programming/DownloadBlock.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"
#include "sim/Line.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

#include <algorithm>

namespace {

using namespace vantelo;
using fuzz::Require;

constexpr std::uint8_t RestartCommand = 0x33;
constexpr std::uint8_t BlockCommand = 0x11;
constexpr std::uint8_t SecondaryCommand = 0x44;
constexpr std::int32_t MaxImageLength = 64;
const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
constexpr std::uint8_t VelimType = 13;
const QString GiveUp = QStringLiteral("Failed to Program Velim Pod Secondary configuration");

// Image and secondary table alike: no byte equals its neighbours.
const std::array<std::uint8_t, ImageSize> Pattern = [] {
    std::array<std::uint8_t, ImageSize> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 29 + 1);
    return bytes;
}();
const std::span<const std::uint8_t, 256> Table = std::span(Pattern).first<256>();

template <std::size_t N>
std::vector<std::uint8_t> Bytes(const std::array<std::uint8_t, N>& frame)
{
    return {frame.begin(), frame.end()};
}

std::vector<std::uint8_t> RestartPayload(std::size_t)
{
    return {0xFF};
}

std::vector<std::uint8_t> BlockPayload(std::size_t n)
{
    return Bytes(BuildDownloadBlock(static_cast<std::int16_t>(n),
                                    std::span(Pattern).subspan(n * BlockData).first<BlockData>()));
}

std::vector<std::uint8_t> SecondaryPayload(std::size_t address)
{
    return Bytes(SecondaryPacket(static_cast<std::uint8_t>(address), Table[address]));
}

// The fuzzed pod on the open COM1 of the simulated line.
struct Bench {
    explicit Bench(FuzzedDataProvider& script) : pod(script)
    {
        line.Connect(1, pod);
        line.CommPort(1);
        line.PortOpen(true);
    }

    // Runs an operation, which must end within `bound`, and keeps what it
    // showed and sent.
    template <class Operation>
    auto Run(sim::Nanos bound, Operation operation)
    {
        msgBox.calls.clear();
        view = {};
        const sim::Nanos start = clock.Now();
        const int wakeUpsBefore = port.wakeUps();
        const auto result = operation();
        Require(clock.Now() - start <= bound, "the operation ends within its time-outs");
        attempts = port.TakeAttempts();
        identifications = port.wakeUps() - wakeUpsBefore;
        return result;
    }

    std::size_t Messages(const QString& text) const
    {
        return static_cast<std::size_t>(
            std::ranges::count(msgBox.calls, text, &testing::ScriptedMsgBox::Call::text));
    }

    sim::Clock clock;
    sim::Line line{clock};
    fuzz::WatchedPort port{line};
    fuzz::FuzzedPod pod;
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    PodLink link{port, clock, msgBox, view, podTypes};
    std::vector<fuzz::Attempt> attempts;
    int identifications = 0; // wake-up pulses sent
};

void CheckProbe(Bench& b)
{
    const std::int32_t found =
        b.Run(fuzz::ProbeBound(true), [&] { return ProbePort(b.link, true); });
    if (found == 0) {
        Require(b.attempts.empty() && b.msgBox.calls.empty(),
                "a probe that found nothing sends no command and says nothing");
        return;
    }
    Require(static_cast<std::uint32_t>(found) >> 24 == 0, "bits 24 to 31 of a probe result are 0");
    Require(RegisterPod::FindPodType(static_cast<std::uint8_t>(found)).has_value(),
            "a pod found is a catalogue entry");
    const auto restart = fuzz::PassOf(b.attempts, RestartCommand, 1, RestartPayload);
    const bool restarted = fuzz::CompletePass(restart, 1);
    Require(restarted || fuzz::FailedPass(restart), "the pod found is restarted");
    Require(b.msgBox.calls.size() == (restarted ? 0 : 1), "only a failed restart is reported");
}

void CheckRestart(Bench& b)
{
    const bool restarted = b.Run(fuzz::RestartBound, [&] { return RestartPod(b.link); });
    const auto pass = fuzz::PassOf(b.attempts, RestartCommand, 1, RestartPayload);
    if (restarted) {
        Require(fuzz::CompletePass(pass, 1) && b.msgBox.calls.empty(),
                "a restart succeeds on an acknowledgement, silently");
        return;
    }
    Require(fuzz::FailedPass(pass), "a restart fails after four attempts unacknowledged");
    Require(b.msgBox.calls.size() == 1 &&
                b.msgBox.calls.front().text.contains(u"restart", Qt::CaseInsensitive),
            "a failed restart is reported once, as a restart failure");
}

void CheckDownload(Bench& b, std::int32_t length)
{
    const bool sent = b.Run(fuzz::DownloadBound(length),
                            [&] { return DownloadData(b.link, Pattern, length); });
    const auto blocks = static_cast<std::size_t>(BlockCount(length));
    const auto pass = fuzz::PassOf(b.attempts, BlockCommand, blocks, BlockPayload);
    const bool showedAll = std::ranges::count(b.view.percentages, QStringLiteral("100%")) != 0;
    if (sent) {
        Require(fuzz::CompletePass(pass, blocks),
                "a download succeeds with every block acknowledged");
        Require(showedAll && b.view.progress.back() == 1000 && b.msgBox.calls.empty(),
                "a download that succeeds shows 100% and no message");
        return;
    }
    Require(fuzz::FailedPass(pass), "a download fails at a block four times unacknowledged");
    Require(!showedAll && b.msgBox.calls.size() == 1,
            "a failed download shows exactly one message and never 100%");
}

void CheckSecondary(Bench& b)
{
    const bool programmed = b.Run(fuzz::SecondaryBound, [&] {
        return ProgramSecondaryConfiguration(b.link, VelimType, Table);
    });
    // Every identification but a successful last one ended in a failure:
    // of its own, or of the pass over the table that followed it.
    Require(programmed ? b.identifications <= 5 : b.identifications == 5,
            "the table is given up at the fifth failure");
    // Each restart opens a pass over the table; every pass but the last failed.
    const auto passes = fuzz::SplitAt(b.attempts, RestartCommand);
    const auto passOf = [](std::span<const fuzz::Attempt> run) {
        return fuzz::PassOf(run, SecondaryCommand, Table.size(), SecondaryPayload);
    };
    for (std::size_t i = 0; i + 1 < passes.size(); ++i)
        Require(passes[i].empty() || fuzz::FailedPass(passOf(passes[i])),
                "a pass over the table is given up only at a byte four times unacknowledged");
    const auto& last = passes.back();
    if (programmed) {
        Require(fuzz::CompletePass(passOf(last), Table.size()),
                "a table is programmed with every byte acknowledged in one pass");
        Require(b.Messages(GiveUp) == 0 && b.view.progress.back() == 1000,
                "a programmed table shows 100% and was not given up");
        return;
    }
    Require(last.empty() || fuzz::FailedPass(passOf(last)),
            "the last pass of a failed table stops at a byte four times unacknowledged");
    Require(b.Messages(GiveUp) == 1 && b.msgBox.calls.back().text == GiveUp,
            "giving up is reported once, last");
}

} // namespace



extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider script(data, size);
    const auto length = script.ConsumeIntegralInRange<std::int32_t>(0, MaxImageLength);
    Bench bench(script);
    CheckProbe(bench);
    CheckRestart(bench);
    CheckDownload(bench, length);
    CheckSecondary(bench);
    return 0;
}
