#include "platform/serial/LineSettings.h"

#include <charconv>

namespace vantelo {

namespace {

std::optional<std::int32_t> Number(std::string_view field)
{
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc{} || end != field.data() + field.size() || value <= 0)
        return std::nullopt;
    return value;
}

} // namespace

std::optional<LineSettings> ParseLineSettings(std::string_view text)
{
    std::string_view fields[4];
    for (int i = 0; i < 4; ++i) {
        const auto comma = text.find(',');
        if ((i < 3) == (comma == std::string_view::npos))
            return std::nullopt;
        fields[i] = text.substr(0, comma);
        text = i < 3 ? text.substr(comma + 1) : std::string_view{};
    }
    LineSettings settings;
    const auto baud = Number(fields[0]);
    const auto dataBits = Number(fields[2]);
    const auto stopBits = Number(fields[3]);
    if (!baud || !dataBits || *dataBits < 5 || *dataBits > 8 || !stopBits || *stopBits > 2)
        return std::nullopt;
    if (fields[1] == "n")
        settings.parity = Parity::None;
    else if (fields[1] == "o")
        settings.parity = Parity::Odd;
    else if (fields[1] == "e")
        settings.parity = Parity::Even;
    else
        return std::nullopt;
    settings.baud = *baud;
    settings.dataBits = static_cast<std::uint8_t>(*dataBits);
    settings.stopBits = static_cast<std::uint8_t>(*stopBits);
    return settings;
}

} // namespace vantelo
