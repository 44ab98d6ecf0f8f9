#include "Options.h"

#include "catalogue/RegisterPod.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <utility>

namespace vantelo::podsim {

namespace {

std::string Quoted(std::string_view text)
{
    return "\"" + std::string(text) + "\"";
}

long ParseInteger(std::string_view text, long min, long max, std::string_view what)
{
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    long value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || value < min || value > max)
        throw UsageError(std::string(what) + " must be a number from " + std::to_string(min) + " to " +
                         std::to_string(max) + ", not " + Quoted(text));
    return value;
}

std::uint8_t ReplyOfType(long type)
{
    const PodCatalogue types = RegisterPod::LoadDefaultPodTypes();
    const auto entry =
        std::find_if(types.begin(), types.end(), [type](const PodTypeInfo& info) { return info.Type == type; });
    if (entry == types.end())
        throw UsageError("type=" + std::to_string(type) + " is not in the built-in catalogue");
    return entry->Reply;
}

void ParseVersion(std::string_view text, sim::PodModel& pod)
{
    const auto dot = text.find('.');
    if (dot == std::string_view::npos)
        throw UsageError("version must be MAJOR.MINOR, not " + Quoted(text));
    pod.major = static_cast<std::uint8_t>(ParseInteger(text.substr(0, dot), 0, 255, "major version"));
    pod.minor = static_cast<std::uint8_t>(ParseInteger(text.substr(dot + 1), 0, 255, "minor version"));
}

sim::Nanos ParseMilliseconds(std::string_view text, std::string_view what)
{
    double milliseconds = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), milliseconds);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size() || !(milliseconds >= 0) ||
        milliseconds > 60'000)
        throw UsageError(std::string(what) + " must be milliseconds from 0 to 60000, not " + Quoted(text));
    return std::llround(milliseconds * static_cast<double>(sim::Millisecond));
}

// BLOCK:REST of refuse= and late=: the block number, and the text after the colon.
std::pair<int, std::string_view> BlockAnd(std::string_view text, std::string_view form)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        throw UsageError(std::string(form) + ", not " + Quoted(text));
    return {static_cast<int>(ParseInteger(text.substr(0, colon), 0, 4094, "block")), text.substr(colon + 1)};
}

void ParseRefusal(std::string_view text, sim::PodFaults& faults)
{
    const auto [block, times] = BlockAnd(text, "refuse must be BLOCK:TIMES");
    faults.refuseBlock = block;
    faults.refuseBlockTimes = static_cast<int>(ParseInteger(times, 1, 1000, "refusals"));
}

// A slow flash write: the block's first answer comes MS later than usual.
void ParseLateAnswer(std::string_view text, sim::PodFaults& faults)
{
    const auto [block, by] = BlockAnd(text, "late must be BLOCK:MS");
    faults.late.push_back({.command = 0x11, .number = block, .times = 1, .by = ParseMilliseconds(by, "late")});
}

constexpr std::array<std::pair<std::string_view, bool sim::PodFaults::*>, 4> FaultFlags{{
    {"silent", &sim::PodFaults::silent},
    {"wrongack", &sim::PodFaults::wrongAcknowledgement},
    {"single", &sim::PodFaults::singleByteReplies},
    {"badsum", &sim::PodFaults::badProbeChecksum},
}};

// One item of a pod's description: key=value, or a fault's name.
// Returns whether it named the identification byte.
bool ParsePodItem(std::string_view item, PortDescription& port)
{
    sim::PodModel& pod = port.pod;
    const auto equals = item.find('=');
    const std::string_view key = item.substr(0, equals);
    if (equals == std::string_view::npos) {
        const auto flag =
            std::find_if(FaultFlags.begin(), FaultFlags.end(), [key](const auto& entry) { return entry.first == key; });
        if (flag == FaultFlags.end())
            throw UsageError("unknown pod property " + Quoted(item));
        pod.faults.*(flag->second) = true;
        return false;
    }
    const std::string_view value = item.substr(equals + 1);
    if (key == "type") {
        pod.reply = ReplyOfType(ParseInteger(value, 0, 255, "type"));
        return true;
    }
    if (key == "reply") {
        pod.reply = static_cast<std::uint8_t>(ParseInteger(value, 0, 255, "reply"));
        return true;
    }
    if (key == "version")
        ParseVersion(value, pod);
    else if (key == "baud")
        pod.baud = static_cast<std::int32_t>(ParseInteger(value, 50, 4'000'000, "baud"));
    else if (key == "turnaround")
        pod.turnaround = ParseMilliseconds(value, "turnaround");
    else if (key == "reboot")
        pod.reboot = ParseMilliseconds(value, "reboot");
    else if (key == "swap")
        port.swap = ParseMilliseconds(value, "swap");
    else if (key == "refuse")
        ParseRefusal(value, pod.faults);
    else if (key == "late")
        ParseLateAnswer(value, pod.faults);
    else if (key == "missprobe")
        pod.faults.missProbe = static_cast<int>(ParseInteger(value, 1, 1'000'000, "missprobe"));
    else if (key == "unplug")
        pod.faults.unplugAfterBytes = static_cast<int>(ParseInteger(value, 0, 1'000'000, "unplug"));
    else
        throw UsageError("unknown pod property " + Quoted(item));
    return false;
}

PortDescription ParsePort(std::string_view text)
{
    const auto colon = text.find(':');
    if (colon == std::string_view::npos)
        throw UsageError("--port takes N:DESCRIPTION, not " + Quoted(text));
    PortDescription described;
    described.number = static_cast<int>(ParseInteger(text.substr(0, colon), 1, 64, "port number"));
    const std::string_view description = text.substr(colon + 1);
    if (description == "missing") {
        described.kind = PortKind::Missing;
        return described;
    }
    if (description == "empty") {
        described.kind = PortKind::Empty;
        return described;
    }
    described.kind = PortKind::Pod;
    bool identified = false;
    for (std::string_view rest = description; !rest.empty();) {
        const auto comma = rest.find(',');
        identified |= ParsePodItem(rest.substr(0, comma), described);
        rest = comma == std::string_view::npos ? std::string_view{} : rest.substr(comma + 1);
    }
    if (!identified)
        throw UsageError("port " + std::to_string(described.number) + " needs type=N or reply=0xNN");
    return described;
}

} // namespace

Options ParseOptions(const std::vector<std::string_view>& arguments)
{
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string_view argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            options.help = true;
            continue;
        }
        if (argument != "--port" && argument != "--links" && argument != "--images")
            throw UsageError("unknown argument " + Quoted(argument));
        if (i + 1 == arguments.size())
            throw UsageError(std::string(argument) + " needs a value");
        const std::string_view value = arguments[++i];
        if (argument == "--links")
            options.linksDir = value;
        else if (argument == "--images")
            options.imagesDir = value;
        else
            options.ports.push_back(ParsePort(value));
    }
    for (std::size_t i = 0; i < options.ports.size(); ++i)
        for (std::size_t j = 0; j < i; ++j)
            if (options.ports[i].number == options.ports[j].number)
                throw UsageError("port " + std::to_string(options.ports[i].number) + " is given twice");
    if (options.ports.empty() && !options.help)
        throw UsageError("give at least one --port");
    return options;
}

} // namespace vantelo::podsim
