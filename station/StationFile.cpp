#include "station/StationFile.h"

#include "config/PodFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>

namespace vantelo::station {

std::optional<StationFile> LoadStationFile(const QString& path, const QStringList& released, QString& refusal)
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
    StationFile file{std::move(configuration), QFileInfo(path).fileName(),
                     QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex())};
    for (const QString& hash : released) {
        if (hash != file.sha256) {
            refusal = QStringLiteral("%1 is not the released configuration (its SHA-256 is %2).")
                          .arg(QDir::toNativeSeparators(path), file.sha256);
            return std::nullopt;
        }
    }
    return file;
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
