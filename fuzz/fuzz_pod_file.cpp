// Any bytes as a configuration file: refused with the configuration untouched,
// or read field for field from their offsets.
#include "Require.h"
#include "config/PodFile.h"

#include <algorithm>
#include <cstring>

namespace {

using namespace vantelo;
using fuzz::Require;

constexpr std::uint8_t Sentinel = 0xA5;

// The file layout written out here again, so that a wrong offset in the
// reader's own constants shows too.
namespace Layout {
constexpr std::size_t TypeCode = 0;
constexpr std::size_t Secondary = 1;
constexpr std::size_t MainLength = 257;
constexpr std::size_t IrLength = 261;
constexpr std::size_t MainImage = 265;
constexpr std::size_t IrImage = 265 + 32769;
constexpr std::size_t Size = 65803;
constexpr std::int32_t MaxLength = 32760;
} // namespace Layout

std::int32_t LittleEndian(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    std::uint32_t value = 0;
    for (std::size_t i = 4; i-- > 0;)
        value = value << 8 | bytes[offset + i];
    return static_cast<std::int32_t>(value);
}

bool InRange(std::int32_t length)
{
    return length >= 0 && length <= Layout::MaxLength;
}

template <std::size_t N>
bool Holds(const std::array<std::uint8_t, N>& field, std::span<const std::uint8_t> bytes,
           std::size_t offset)
{
    return std::ranges::equal(field, bytes.subspan(offset, N));
}

bool AllSentinel(const PodConfiguration& c)
{
    const auto sentinel = [](std::uint8_t b) { return b == Sentinel; };
    std::int32_t sentinelLength;
    std::memset(&sentinelLength, Sentinel, sizeof sentinelLength);
    return c.type_code == Sentinel && c.main_length == sentinelLength &&
           c.ir_length == sentinelLength && std::ranges::all_of(c.secondary_table, sentinel) &&
           std::ranges::all_of(c.main_image, sentinel) && std::ranges::all_of(c.ir_image, sentinel);
}

// Whether and why these bytes must be refused, worked out from the layout
// alone: an accepted file's lengths can be sent.
PodFileStatus Expected(std::span<const std::uint8_t> bytes)
{
    if (bytes.size() < Layout::Size)
        return {PodFileFault::TooShort};
    const std::int32_t mainLength = LittleEndian(bytes, Layout::MainLength);
    if (!InRange(mainLength))
        return {PodFileFault::MainLength, mainLength};
    const std::int32_t irLength = LittleEndian(bytes, Layout::IrLength);
    if (bytes[Layout::TypeCode] == TwoMicroTypeCode && !InRange(irLength))
        return {PodFileFault::IrLength, irLength};
    return {};
}

void CheckRead(const PodConfiguration& c, std::span<const std::uint8_t> bytes)
{
    using namespace Layout;
    Require(c.type_code == bytes[TypeCode], "type code read from its offset");
    Require(Holds(c.secondary_table, bytes, Secondary), "secondary table read exactly");
    Require(c.main_length == LittleEndian(bytes, MainLength), "main length read exactly");
    Require(c.ir_length == LittleEndian(bytes, IrLength), "ir length read exactly");
    Require(Holds(c.main_image, bytes, MainImage), "main image read exactly");
    Require(Holds(c.ir_image, bytes, IrImage), "ir image read exactly");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::span<const std::uint8_t> bytes(data, size);
    PodConfiguration config;
    std::memset(&config, Sentinel, sizeof config);

    const PodFileStatus status = ParsePodConfiguration(bytes, config);
    const PodFileStatus expected = Expected(bytes);
    Require(status.fault == expected.fault && status.length == expected.length,
            "refused exactly when the layout says so, naming the refused length");
    if (status.fault == PodFileFault::None)
        CheckRead(config, bytes);
    else
        Require(AllSentinel(config), "a refused file leaves the configuration untouched");

    const QString path = QString::fromUtf8(reinterpret_cast<const char*>(data),
                                           static_cast<qsizetype>(size));
    const auto name = PodDisplayName(path);
    Require(!name || name->size() + 4 <= path.size(), "display name is part of the path");
    return 0;
}
