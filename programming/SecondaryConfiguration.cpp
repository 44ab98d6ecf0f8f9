#include "programming/SecondaryConfiguration.h"

#include "discovery/ProbePort.h"
#include "platform/SerialPort.h"
#include "serial/Checksum.h"
#include "serial/CommandExchange.h"
#include "serial/PodLink.h"
#include "serial/RestartPod.h"

namespace vantelo {

namespace {

// The identification bytes of the pod types that take a secondary table.
bool TakesSecondaryTable(std::int32_t probeResult)
{
    const auto id = static_cast<std::uint8_t>(probeResult);
    return id == 0xDD || id == 0xEE;
}

bool SendTable(PodLink& link, std::span<const std::uint8_t, 256> table)
{
    for (int address = 0; address < 256; ++address) {
        if (!SendSecondaryByte(link, static_cast<std::uint8_t>(address), table[address]))
            return false;
        const int permille = address * 1000 / 255;
        link.view.Percentage(FormatPercent(permille));
        link.view.Progress(permille);
    }
    return true;
}

} // namespace

bool HasSecondaryConfiguration(std::uint8_t type_code)
{
    return type_code == 13 || type_code == 14;
}

std::array<std::uint8_t, 4> SecondaryPacket(std::uint8_t address, std::uint8_t value)
{
    std::array<std::uint8_t, 4> packet = {0x00, address, value, 0};
    packet[3] = FrameChecksum(std::span(packet).first(3));
    return packet;
}

bool SendSecondaryByte(PodLink& link, std::uint8_t address, std::uint8_t value)
{
    const auto packet = SecondaryPacket(address, value);
    return ExchangeOrReport(
        link, {.command = 0x44, .payload = packet, .flushEachAttempt = true, .timeoutMs = 500, .bytesNeeded = 1},
        {QStringLiteral("No reply to secondary byte"), QStringLiteral("Failed to send secondary byte")});
}

bool ProgramSecondaryConfiguration(PodLink& link, std::uint8_t type_code,
                                   std::span<const std::uint8_t, 256> secondary_buffer)
{
    if (!HasSecondaryConfiguration(type_code))
        return false;
    link.view.Percentage(QStringLiteral("0.0%"));
    link.view.Progress(0);
    link.view.Status(ProgramStep::SecondaryTable);

    const QString failed = QStringLiteral("Failed to Program Velim Pod Secondary configuration");
    // One count for failed identifications and failed passes alike.
    int failures = 0;
    const auto giveUp = [&] {
        if (!link.port.PortOpen())
            return true; // the port vanished: the failed exchange has said so
        if (failures > 3) {
            ShowError(link, failed);
            return true;
        }
        ++failures;
        return false;
    };
    for (;;) {
        RestartPod(link);
        for (;;) {
            const bool wasOpen = link.port.PortOpen();
            if (TakesSecondaryTable(ProbePort(link, false)))
                break;
            // A probe reports nothing of its own: a port that vanished in it
            // would otherwise end the command without a word.
            if (wasOpen && !link.port.PortOpen()) {
                ShowError(link, failed);
                return false;
            }
            if (giveUp())
                return false;
            RestartPod(link);
        }
        if (SendTable(link, secondary_buffer))
            return true;
        if (giveUp())
            return false;
    }
}

} // namespace vantelo
