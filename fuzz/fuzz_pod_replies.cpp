// The pod side of the wire in the fuzzer's hands: whatever the line does to
// the requests and however late (within the bound) and short the pod's
// answers are, every operation ends within its time-outs, moves on exactly
// when a reply starts with the acknowledgement, tells the user of a failure
// once, and claims success only when the pod itself holds what was sent.
// The frames it must see are written out here from the protocol, not by the
// program.
#include "Require.h"
#include "catalogue/RegisterPod.h"
#include "programming/DownloadData.h"
#include "programming/SecondaryConfiguration.h"
#include "serial/CommandExchange.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"
#include "sim/Pod.h"
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

// A truthful pod behind a line the input controls (make_seeds.py writes
// inputs in these terms): a payload byte on its way may lose one bit (its
// parity shows it: the frame is lost) or two (its checksum shows it: the pod
// refuses the frame), one byte a frame at most and never the command byte,
// since the frame can show no more than that; each answer may come late, up to the latest an answer may
// come, and arrive whole, cut to its first byte, or not at all. Once the
// input runs out, the line is clean.
struct FuzzedPod final : sim::Device {
    explicit FuzzedPod(FuzzedDataProvider& script) : script_(script) {}

    std::vector<sim::Transmission> Receive(const sim::WireByte& byte) override
    {
        static constexpr std::uint8_t Damage[] = {0x00, 0x01, 0x03};
        sim::WireByte heard = byte;
        if (byte.settings.parity == Parity::Odd) {
            damaged_ = false; // a command byte opens a frame
        } else if (!damaged_) {
            heard.value ^= Damage[script_.ConsumeIntegralInRange(0, 2)];
            damaged_ = heard.value != byte.value;
        }
        auto answers = pod.Receive(heard);
        for (auto& answer : answers) {
            // The answer's last byte arrives within the bound of the request leaving the port.
            answer.delay += script_.ConsumeIntegralInRange(0, LateReplyBoundMs - 50) * sim::Millisecond;
            answer.bytes.resize(std::min<std::size_t>(answer.bytes.size(), 2 - script_.ConsumeIntegralInRange(0, 2)));
        }
        std::erase_if(answers, [](const sim::Transmission& answer) { return answer.bytes.empty(); });
        return answers;
    }
    FuzzedDataProvider& script_;
    bool damaged_ = false; // the frame under way
    sim::Pod pod{sim::PodModel{}};
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
constexpr sim::Nanos Wait(int ms)
{
    return (ms + 50) * sim::Millisecond;
}
// An exchange may first wait out what the pod still owed for the request before.
constexpr sim::Nanos Exchanges(int timeoutMs)
{
    return Wait(LateReplyBoundMs) + 4 * (Wait(10) + Wait(timeoutMs));
}
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
    const int before = b.pod.pod.restarts();
    const bool restarted = b.Run(Exchanges(100), [&] { return RestartPod(b.link); });
    Require(!restarted || b.pod.pod.restarts() > before, "a restart succeeds only when the pod took one");
    Require(Walk(b.port.attempts, 0x33, 1, RestartPayload) == (restarted ? Pass::Complete : Pass::Failed) &&
                b.msgBox.calls.size() == (restarted ? 0u : 1u) &&
                (restarted || b.msgBox.calls[0].text.contains(u"restart", Qt::CaseInsensitive)),
            "a restart succeeds on an acknowledgement, or fails after four attempts, said once");
}

void CheckDownload(Bench& b, std::int32_t length)
{
    const auto blocks = static_cast<std::size_t>(length + 7) / 8;
    b.pod.pod.Clear();
    const bool sent =
        b.Run(static_cast<sim::Nanos>(blocks) * Exchanges(500), [&] { return DownloadData(b.link, Pattern, length); });
    Require(!sent || std::ranges::equal(b.pod.pod.Image(), std::span(Pattern).first(blocks * 8)),
            "a download succeeds only when the pod holds every block");
    const bool showedAll = std::ranges::count(b.view.percentages, QStringLiteral("100%")) != 0;
    Require(Walk(b.port.attempts, 0x11, blocks, BlockPayload) == (sent ? Pass::Complete : Pass::Failed) &&
                showedAll == sent && b.msgBox.calls.size() == (sent ? 0u : 1u) &&
                (!sent || b.view.progress.back() == 1000),
            "a download sends every block until acknowledged, four times at most, and shows 100% or one message");
}

// Table bytes one by one: each acknowledged only when the pod holds it, each
// failure said once.
void CheckTableBytes(Bench& b)
{
    b.pod.pod.Clear();
    for (int address = 0; address < 8; ++address) {
        const auto value = static_cast<std::uint8_t>(Pattern[static_cast<std::size_t>(address)]);
        const bool sent =
            b.Run(Exchanges(500), [&] { return SendSecondaryByte(b.link, static_cast<std::uint8_t>(address), value); });
        const auto& held = b.pod.pod.secondary();
        Require(!sent || (held.contains(address) && held.at(address) == value),
                "a table byte succeeds only when the pod holds it");
        Require(b.msgBox.calls.size() == (sent ? 0u : 1u), "a table byte's failure is said once");
        if (!sent)
            return;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider script(data, size);
    const auto length = script.ConsumeIntegralInRange<std::int32_t>(0, 64);
    Bench bench(script);
    CheckRestart(bench);
    CheckDownload(bench, length);
    CheckRestart(bench); // a late block answer must not pass for the restart's
    CheckTableBytes(bench);
    return 0;
}
