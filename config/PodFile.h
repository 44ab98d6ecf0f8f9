#pragma once

#include "config/PodConfiguration.h"

#include <cstdint>
#include <optional>
#include <span>

#include <QByteArray>
#include <QString>

namespace vantelo {

// Layout of a configuration file: a 265-byte header, then both images.
namespace PodFile {
inline constexpr std::size_t TypeCodeOffset = 0;
inline constexpr std::size_t SecondaryOffset = 1;
inline constexpr std::size_t MainLengthOffset = 257;
inline constexpr std::size_t IrLengthOffset = 261;
inline constexpr std::size_t MainImageOffset = 265;
inline constexpr std::size_t IrImageOffset = MainImageOffset + ImageSize;
inline constexpr std::size_t Size = IrImageOffset + ImageSize; // 65,803
} // namespace PodFile

// The open dialog's filter for configuration files.
inline constexpr char PodFileFilter[] = "Trellin Export File (*.TXF)| *.TXF";

enum class PodFileFault {
    None,
    Unreadable, // missing, a folder, or cannot be read
    TooShort,
    MainLength, // main_length cannot be sent
    IrLength,   // ir_length of a two-micro configuration cannot be sent
};

struct PodFileStatus {
    PodFileFault fault = PodFileFault::None;
    std::int32_t length = 0; // the refused length, for MainLength and IrLength
};

// Reads a configuration from the bytes of a file; bytes past the layout are
// ignored. `out` is written only when the file is accepted.
PodFileStatus ParsePodConfiguration(std::span<const std::uint8_t> bytes, PodConfiguration& out);

// Reads the configuration file at `path` into `out`, which is left as it
// was unless the file is accepted. With `whole`, every byte of the file read
// lands there too.
PodFileStatus LoadPodFile(const QString& path, PodConfiguration& out, QByteArray* whole = nullptr);

// What refuses the file at `path` ("Failed to open file ..."); empty when it was accepted.
QString PodFileRefusal(const QString& path, const PodFileStatus& status);

// The file's name without its folder, which ends at the last slash or backslash.
QString PodFileName(const QString& path);

// The name shown for a loaded file: its file name without the last four
// characters. Nothing when the name is too short to form one.
std::optional<QString> PodDisplayName(const QString& path);

} // namespace vantelo
