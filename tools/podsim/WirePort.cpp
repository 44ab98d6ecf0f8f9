#include "WirePort.h"

#include "ImageFile.h"
#include "ProgramSettings.h"
#include "sim/Line.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <system_error>

#include <unistd.h>

namespace vantelo::podsim {

namespace {

constexpr sim::Nanos Second = 1'000'000'000;
// Pods answer 8N1: start bit, eight data bits, stop bit.
constexpr int AnswerCharacterBits = 10;

sim::Nanos CharacterTime(int bits, std::int32_t baud)
{
    return bits * Second / baud;
}

} // namespace

WirePort::WirePort(int number, std::optional<sim::PodModel> pod, sim::Nanos epoch, std::string imagePath,
                   std::optional<sim::Nanos> swap)
    : number_(number), watch_(pty_.slavePath()), pod_(std::move(pod)), log_(number, epoch),
      imagePath_(std::move(imagePath)), swap_(swap)
{
}

void WirePort::ReadAvailable(sim::Nanos now)
{
    std::array<std::uint8_t, 4096> buffer;
    for (;;) {
        const ssize_t count = read(pty_.master(), buffer.data(), buffer.size());
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno == EAGAIN)
            return;
        if (count <= 0) // cannot happen while podsim holds the slave open
            throw std::system_error(count < 0 ? errno : EIO, std::generic_category(), "read from pty");
        // Read within microseconds of being written, and the program changes
        // settings 10 ms after a command byte at the soonest: what is read
        // together left under the settings in force now.
        const LineSettings settings = ProgramSettings(pty_.master());
        for (ssize_t i = 0; i < count; ++i) {
            Arrive(buffer[static_cast<std::size_t>(i)], settings, now);
            if (Unplugged())
                return;
        }
    }
}

void WirePort::ProgramOpenedOrClosed(sim::Nanos now)
{
    if (!watch_.AllClosed())
        return;
    outgoing_.clear();
    if (pty_.RestoreSettings())
        log_.Note(now, "port left in other settings, made raw again");
}

bool WirePort::Unplugged()
{
    const auto& limit = pod_ ? pod_->model().faults.unplugAfterBytes : std::nullopt;
    if (pty_.master() < 0 || !limit || static_cast<int>(pod_->received().size()) < *limit)
        return pty_.master() < 0;
    std::fprintf(stderr, "podsim: COM%d unplugged\n", number_);
    outgoing_.clear();
    pty_.Close();
    return true;
}

// The pod's answer depends only on the order of the bytes, so it decodes each
// byte as soon as it is read; only the byte's time stamp and the answer's
// schedule follow the wire.
void WirePort::Arrive(std::uint8_t value, const LineSettings& settings, sim::Nanos readAt)
{
    const sim::Nanos wireTime = CharacterTime(sim::CharacterBits(settings), settings.baud);
    receiveFree_ = std::max(readAt, receiveFree_) + wireTime;
    const sim::WireByte byte{receiveFree_, value, sim::NinthBit(value, settings), settings, false};
    FreshPodIfDue(byte.time);
    log_.Received(byte);
    if (!pod_ || freshPodAt_)
        return;
    const int programmed = pod_->programmed();
    for (const sim::Transmission& answer : pod_->Receive(byte))
        Transmit(answer, byte.time);
    if (swap_ && pod_->programmed() > programmed) {
        // Lifted off once its answer to the restart is out.
        freshPodAt_ = transmitFree_ + *swap_;
        log_.Note(transmitFree_, "pod taken away");
    }
}

void WirePort::FreshPodIfDue(sim::Nanos time)
{
    if (!freshPodAt_ || *freshPodAt_ > time)
        return;
    log_.Note(*std::exchange(freshPodAt_, std::nullopt), "fresh pod");
    pod_->Clear();
    SaveImage(); // empty until its own blocks arrive
}

void WirePort::Transmit(const sim::Transmission& answer, sim::Nanos after)
{
    // One transmitter: an answer waits for the one before it.
    sim::Nanos arrival = std::max(after + answer.delay, transmitFree_);
    log_.Answered(answer, arrival);
    const sim::Nanos each = CharacterTime(AnswerCharacterBits, answer.baud);
    for (const std::uint8_t value : answer.bytes) {
        arrival += each;
        outgoing_.emplace_back(arrival, value);
    }
    transmitFree_ = arrival;
    SaveImage();
}

void WirePort::SaveImage()
{
    if (imagePath_.empty())
        return;
    auto image = pod_->Image();
    if (image == savedImage_)
        return;
    WriteFileAtomically(imagePath_, image);
    savedImage_ = std::move(image);
}

void WirePort::RunDue(sim::Nanos now)
{
    FreshPodIfDue(now);
    std::vector<std::uint8_t> due;
    while (!outgoing_.empty() && outgoing_.front().first <= now) {
        due.push_back(outgoing_.front().second);
        outgoing_.pop_front();
    }
    if (due.empty())
        return;
    // A full pty drops what does not fit, as a line loses what nobody reads.
    if (write(pty_.master(), due.data(), due.size()) < 0 && errno != EAGAIN)
        std::fprintf(stderr, "podsim: COM%d: write: %s\n", number_, std::strerror(errno));
}

std::optional<sim::Nanos> WirePort::NextDue() const
{
    if (outgoing_.empty())
        return freshPodAt_;
    return freshPodAt_ ? std::min(*freshPodAt_, outgoing_.front().first) : outgoing_.front().first;
}

} // namespace vantelo::podsim
