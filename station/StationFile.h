#pragma once

#include "catalogue/PodTypeInfo.h"
#include "config/PodConfiguration.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <optional>

namespace vantelo::station {

// A configuration file as the station programs it.
struct StationFile {
    std::unique_ptr<PodConfiguration> configuration;
    QString name;   // the file's name, without its folder
    QString sha256; // of the very bytes loaded, in hex
};

// The file at `path` as the window takes it; nothing, with the window's own
// refusal in `refusal`, when the window would refuse it or its SHA-256 is
// not every one of `released` (lower-case hex).
std::optional<StationFile> LoadStationFile(const QString& path, const QStringList& released, QString& refusal);

// The catalogue's name for pods of the configuration's type; empty when it
// has none.
QString PodTypeName(const PodCatalogue& podTypes, int typeCode);

} // namespace vantelo::station
