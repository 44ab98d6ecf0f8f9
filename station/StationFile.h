#pragma once

#include "catalogue/PodTypeInfo.h"
#include "config/PodConfiguration.h"

#include <QString>

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
// refusal in `refusal`, when the window would refuse it.
std::optional<StationFile> LoadStationFile(const QString& path, QString& refusal);

// The catalogue's name for pods of the configuration's type; empty when it
// has none.
QString PodTypeName(const PodCatalogue& podTypes, int typeCode);

} // namespace vantelo::station
