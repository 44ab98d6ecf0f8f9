#pragma once

#include <QByteArray>
#include <QFile>

#include <cstdio>
#include <string>
#include <string_view>

namespace vantelo::testing {

// Replaces the file's contents; false when it cannot be written.
inline bool WriteFile(const QString& path, std::string_view bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

// Reads back what was written to a stream.
inline std::string Contents(std::FILE* stream)
{
    std::rewind(stream);
    std::string text;
    for (int c; (c = std::fgetc(stream)) != EOF;)
        text += static_cast<char>(c);
    return text;
}

inline std::string ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<none>";
}

// The configuration file's layout, written out here so that a wrong offset
// in the reader is not mirrored by the files the tests make.
inline constexpr qsizetype ConfigFileSize = 65803;
inline constexpr std::size_t MainLengthAt = 257, IrLengthAt = 261, MainImageAt = 265, IrImageAt = 33034;

// The bytes of a configuration file of `size` bytes: every image and
// secondary table byte differs from its neighbours.
inline QByteArray ConfigFileBytes(std::uint8_t typeCode, std::int32_t mainLength, std::int32_t irLength = 0,
                                  qsizetype size = ConfigFileSize)
{
    QByteArray bytes(size, '\0');
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = static_cast<char>(i * 13 + (i >> 7));
    const auto put = [&](std::size_t offset, std::int32_t value) {
        for (std::size_t i = 0; i < 4 && offset + i < std::size_t(size); ++i)
            bytes[qsizetype(offset + i)] = static_cast<char>(static_cast<std::uint32_t>(value) >> (8 * i));
    };
    if (size > 0)
        bytes[0] = static_cast<char>(typeCode);
    put(MainLengthAt, mainLength);
    put(IrLengthAt, irLength);
    return bytes;
}

} // namespace vantelo::testing
