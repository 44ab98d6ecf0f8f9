#include "config/PodFile.h"

#include "platform/LittleEndian.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>

namespace vantelo {

namespace {

std::int32_t ReadInt32(std::span<const std::uint8_t> bytes, std::size_t offset)
{
    return static_cast<std::int32_t>(ReadLittleEndian32(bytes.subspan(offset).first<4>()));
}

bool Sendable(std::int32_t length)
{
    return length >= 0 && length <= MaxDownloadLength;
}

} // namespace

PodFileStatus ParsePodConfiguration(std::span<const std::uint8_t> bytes, PodConfiguration& out)
{
    using namespace PodFile;
    if (bytes.size() < Size)
        return {PodFileFault::TooShort};
    const std::uint8_t typeCode = bytes[TypeCodeOffset];
    const std::int32_t mainLength = ReadInt32(bytes, MainLengthOffset);
    const std::int32_t irLength = ReadInt32(bytes, IrLengthOffset);
    if (!Sendable(mainLength))
        return {PodFileFault::MainLength, mainLength};
    if (typeCode == TwoMicroTypeCode && !Sendable(irLength))
        return {PodFileFault::IrLength, irLength};

    out.type_code = typeCode;
    std::copy_n(bytes.begin() + SecondaryOffset, out.secondary_table.size(), out.secondary_table.begin());
    out.main_length = mainLength;
    out.ir_length = irLength;
    std::copy_n(bytes.begin() + MainImageOffset, ImageSize, out.main_image.begin());
    std::copy_n(bytes.begin() + IrImageOffset, ImageSize, out.ir_image.begin());
    return {};
}

PodFileStatus LoadPodFile(const QString& path, PodConfiguration& out, QByteArray* whole)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return {PodFileFault::Unreadable};
    const QByteArray bytes = file.read(static_cast<qint64>(PodFile::Size));
    if (whole)
        *whole = bytes + file.readAll();
    if (file.error() != QFileDevice::NoError)
        return {PodFileFault::Unreadable};
    return ParsePodConfiguration(
        {reinterpret_cast<const std::uint8_t*>(bytes.constData()), static_cast<std::size_t>(bytes.size())}, out);
}

QString PodFileRefusal(const QString& path, const PodFileStatus& status)
{
    const auto unsendable = [&](const char* field) {
        return QStringLiteral("Failed to open file %1: %2 %3 is outside 0 to %4")
            .arg(path, QLatin1String(field))
            .arg(status.length)
            .arg(MaxDownloadLength);
    };
    switch (status.fault) {
    case PodFileFault::None:
        return {};
    case PodFileFault::Unreadable:
    case PodFileFault::TooShort:
        break;
    case PodFileFault::MainLength:
        return unsendable("main_length");
    case PodFileFault::IrLength:
        return unsendable("ir_length");
    }
    return QStringLiteral("Failed to open file ") + path;
}

QString PodFileName(const QString& path)
{
    const qsizetype folderEnd = std::max(path.lastIndexOf(u'\\'), path.lastIndexOf(u'/'));
    return path.mid(folderEnd + 1);
}

std::optional<QString> PodDisplayName(const QString& path)
{
    const QString name = PodFileName(path);
    if (name.size() < 4)
        return std::nullopt;
    return name.left(name.size() - 4);
}

} // namespace vantelo
