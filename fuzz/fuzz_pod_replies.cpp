// The pod side of the wire in the fuzzer's hands: whatever it answers, every
// operation ends within its time-outs, moves on exactly when a reply starts
// with the acknowledgement, and tells the user of a failure once. The frames
// it must see are written out here from the protocol, not by the program.
#include "Require.h"
#include "catalogue/RegisterPod.h"
#include "programming/DownloadData.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"
#include "support/ScriptedDialogs.h"
#include "support/Sim.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <array>
#include <numeric>
#include <span>

namespace {

using namespace vantelo;
using Bytes = std::vector<std::uint8_t>;
using fuzz::Require;

// A pod that answers each byte it receives as the input says: nothing, or
// some bytes, late or not, at any rate (make_seeds.py writes answers in
// these terms). It falls silent when the input runs out.
struct FuzzedPod final : sim::Device {
    explicit FuzzedPod(FuzzedDataProvider& script) : script_(script) {}

    std::vector<sim::Transmission> Receive(const sim::WireByte&) override
    {
        static constexpr std::int32_t Rates[] = {110, 2400, 4800, 9600, 14400, 19200, 28800, 38400};
        if (!script_.ConsumeBool())
            return {};
        const int delayMs = script_.ConsumeIntegralInRange(0, 600);
        const std::int32_t baud = script_.PickValueInArray(Rates);
        const auto length = script_.ConsumeIntegralInRange<std::size_t>(0, 16);
        return {{delayMs * sim::Millisecond, baud, script_.ConsumeBytes<std::uint8_t>(length)}};
    }
    FuzzedDataProvider& script_;
};

// One attempt at a command: the byte sent under odd parity, the payload
// after it under even parity, and whether the first bytes read before the
// next command or the next settings without parity (the probe) start with
// the acknowledgement.
struct Attempt {
    std::uint8_t command;
    Bytes payload;
    bool replied = false, acknowledged = false;
};

// Notes the attempts.
struct AttemptLog final : testing::WatchedLine {
    using WatchedLine::WatchedLine;
    void Setting(const LineSettings& s) override { inAttempt = inAttempt && s.parity != Parity::None; }
    void Sent(std::span<const std::uint8_t> bytes) override
    {
        for (const std::uint8_t byte : bytes) {
            if (settings.parity == Parity::Odd)
                attempts.push_back({byte, {}}), inAttempt = true;
            else if (settings.parity == Parity::Even && inAttempt)
                attempts.back().payload.push_back(byte);
        }
    }
    void Read(const Bytes& bytes) override
    {
        if (inAttempt && !attempts.back().replied && !bytes.empty())
            attempts.back().replied = true, attempts.back().acknowledged = bytes.front() == 0xF0;
    }

    bool inAttempt = false;
    std::vector<Attempt> attempts;
};

// How the attempts went as one pass over items 0, 1, ...: each sent again
// exactly while unacknowledged, four times at most (else Broken).
enum class Pass { Broken, Complete, Failed, Unfinished };
template <class PayloadOf>
Pass Walk(std::span<const Attempt> attempts, std::uint8_t command, std::size_t items, PayloadOf payloadOf)
{
    std::size_t done = 0;
    int tries = 0; // of the first item not acknowledged
    for (const Attempt& a : attempts) {
        if (tries == 4 || done == items || a.command != command || a.payload != payloadOf(done))
            return Pass::Broken;
        tries = a.acknowledged ? 0 : tries + 1;
        done += a.acknowledged ? 1 : 0;
    }
    return done == items ? Pass::Complete : tries == 4 ? Pass::Failed : Pass::Unfinished;
}

// A payload and its checksum: the byte that makes the payload sum to 0xFF.
Bytes Framed(Bytes bytes)
{
    bytes.push_back(static_cast<std::uint8_t>(0xFF - std::accumulate(bytes.begin(), bytes.end(), 0)));
    return bytes;
}

// No byte of the image equals its neighbours.
const std::array<std::uint8_t, ImageSize> Pattern = [] {
    std::array<std::uint8_t, ImageSize> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 29 + 1);
    return bytes;
}();
const auto RestartPayload = [](std::size_t) { return Bytes{0xFF}; };
const auto BlockPayload = [](std::size_t n) {
    Bytes block{static_cast<std::uint8_t>(n >> 8), static_cast<std::uint8_t>(n)};
    block.insert(block.end(), Pattern.begin() + 8 * n, Pattern.begin() + 8 * n + 8);
    return Framed(block);
};

// Ceilings on an operation's virtual time whatever the pod does: every wait
// runs out, with 50 ms for bytes still leaving the port at a settings change.
constexpr sim::Nanos Wait(int ms) { return (ms + 50) * sim::Millisecond; }
constexpr sim::Nanos Exchanges(int timeoutMs) { return 4 * (Wait(10) + Wait(timeoutMs)); }
const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();

// The fuzzed pod on the open COM1 of the simulated line.
struct Bench {
    explicit Bench(FuzzedDataProvider& script) : pod(script)
    {
        line.Connect(1, pod);
        line.CommPort(1);
        line.PortOpen(true);
    }

    // Runs an operation, which must end within `bound`; keeps what it showed and sent.
    template <class Operation>
    bool Run(sim::Nanos bound, Operation operation)
    {
        msgBox.calls.clear(), view = {};
        port.attempts.clear(), port.inAttempt = false;
        const sim::Nanos start = clock.Now();
        const bool result = operation();
        Require(clock.Now() - start <= bound, "the operation ends within its time-outs");
        return result;
    }

    sim::Clock clock;
    sim::Line line{clock};
    AttemptLog port{line};
    FuzzedPod pod;
    testing::ScriptedMsgBox msgBox;
    testing::RecordingView view;
    PodLink link{port, clock, msgBox, view, podTypes};
};

void CheckRestart(Bench& b)
{
    const bool restarted = b.Run(Exchanges(100), [&] { return RestartPod(b.link); });
    Require(Walk(b.port.attempts, 0x33, 1, RestartPayload) == (restarted ? Pass::Complete : Pass::Failed) &&
                b.msgBox.calls.size() == (restarted ? 0u : 1u) &&
                (restarted || b.msgBox.calls[0].text.contains(u"restart", Qt::CaseInsensitive)),
            "a restart succeeds on an acknowledgement, or fails after four attempts, said once");
}

void CheckDownload(Bench& b, std::int32_t length)
{
    const auto blocks = static_cast<std::size_t>(length + 7) / 8;
    const bool sent = b.Run(static_cast<sim::Nanos>(blocks) * Exchanges(500),
                            [&] { return DownloadData(b.link, Pattern, length); });
    const bool showedAll = std::ranges::count(b.view.percentages, QStringLiteral("100%")) != 0;
    Require(Walk(b.port.attempts, 0x11, blocks, BlockPayload) == (sent ? Pass::Complete : Pass::Failed) &&
                showedAll == sent && b.msgBox.calls.size() == (sent ? 0u : 1u) &&
                (!sent || b.view.progress.back() == 1000),
            "a download sends every block until acknowledged, four times at most, and shows 100% or one message");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider script(data, size);
    const auto length = script.ConsumeIntegralInRange<std::int32_t>(0, 64);
    Bench bench(script);
    CheckRestart(bench);
    CheckDownload(bench, length);
    return 0;
}
