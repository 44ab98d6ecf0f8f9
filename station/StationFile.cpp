#include "station/StationFile.h"

#include "config/PodFile.h"

#include <QCryptographicHash>
#include <QFileInfo>

namespace vantelo::station {

std::optional<StationFile> LoadStationFile(const QString& path, QString& refusal)
{
    auto configuration = std::make_unique<PodConfiguration>();
    QByteArray bytes;
    const PodFileStatus status = LoadPodFile(path, *configuration, &bytes);
    if (status.fault != PodFileFault::None) {
        refusal = PodFileRefusal(path, status);
        return std::nullopt;
    }
    if (!PodDisplayName(path)) {
        refusal = PodFileRefusal(PodFileName(path), {PodFileFault::Unreadable});
        return std::nullopt;
    }
    return StationFile{std::move(configuration), QFileInfo(path).fileName(),
                       QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())};
}

QString PodTypeName(const PodCatalogue& podTypes, int typeCode)
{
    for (const PodTypeInfo& type : podTypes) {
        if (type.Type == typeCode)
            return QString::fromStdString(type.Name).trimmed();
    }
    return {};
}

} // namespace vantelo::station
