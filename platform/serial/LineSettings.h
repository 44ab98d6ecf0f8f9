#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace vantelo {

enum class Parity : std::uint8_t { None, Odd, Even };

// One settings string, "baud,parity,data bits,stop bits", e.g. "9600,o,8,1".
struct LineSettings {
    std::int32_t baud = 9600;
    Parity parity = Parity::None;
    std::uint8_t dataBits = 8;
    std::uint8_t stopBits = 1;

    friend bool operator==(const LineSettings&, const LineSettings&) = default;
};

std::optional<LineSettings> ParseLineSettings(std::string_view text);

} // namespace vantelo
