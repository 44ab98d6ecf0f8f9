// Any bytes as a configuration file: refused with the configuration untouched,
// or read field for field from their offsets. Any text as a path: its display name.
#include "Require.h"
#include "config/PodFile.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace vantelo;
using fuzz::Require;

// The layout written out again, so that a wrong offset in the reader's own
// constants shows too.
constexpr std::size_t MainLength = 257, IrLength = 261, MainImage = 265, IrImage = 33034;
constexpr std::uint8_t Sentinel = 0xA5;

std::int32_t Int32At(std::span<const std::uint8_t> bytes, std::size_t at)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | bytes[at + i];
    return static_cast<std::int32_t>(value);
}

// Whether and why these bytes must be refused, from the layout alone.
PodFileStatus Expected(std::span<const std::uint8_t> bytes)
{
    const auto sendable = [](std::int32_t length) { return length >= 0 && length <= 32760; };
    if (bytes.size() < 65803)
        return {PodFileFault::TooShort};
    const auto main = Int32At(bytes, MainLength), ir = Int32At(bytes, IrLength);
    return !sendable(main)                  ? PodFileStatus{PodFileFault::MainLength, main}
           : bytes[0] == 7 && !sendable(ir) ? PodFileStatus{PodFileFault::IrLength, ir}
                                            : PodFileStatus{};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    static PodConfiguration config;
    std::memset(&config, Sentinel, sizeof config);
    const PodFileStatus status = ParsePodConfiguration(bytes, config);
    const PodFileStatus expected = Expected(bytes);
    Require(status.fault == expected.fault && status.length == expected.length,
            "refused exactly when the layout says so, naming the refused length");
    const auto holds = [&](std::span<const std::uint8_t> field, std::size_t at) {
        return std::ranges::equal(field, bytes.subspan(at, field.size()));
    };
    const auto* raw = reinterpret_cast<const std::uint8_t*>(&config);
    if (status.fault != PodFileFault::None)
        Require(std::all_of(raw, raw + sizeof config, [](std::uint8_t b) { return b == Sentinel; }),
                "a refused file leaves the configuration untouched");
    else
        Require(config.type_code == bytes[0] && holds(config.secondary_table, 1) &&
                    config.main_length == Int32At(bytes, MainLength) && config.ir_length == Int32At(bytes, IrLength) &&
                    holds(config.main_image, MainImage) && holds(config.ir_image, IrImage),
                "an accepted file is read field for field from its offsets");

    // What follows the last slash or backslash, less its last four characters.
    const QString path = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    qsizetype start = path.size();
    while (start > 0 && path[start - 1] != u'/' && path[start - 1] != u'\\')
        --start;
    const qsizetype length = path.size() - start - 4;
    const auto name = PodDisplayName(path);
    Require(length < 0 ? !name : name == path.mid(start, length), "display name of any path");
    return 0;
}
