#pragma once

#include "station/PortState.h"

#include <QDateTime>
#include <QString>

#include <optional>
#include <string_view>

namespace vantelo::station {

// What a report needs of one record line, version 1 or 2.
struct RecordEntry {
    QString id;     // the line's own, or a hash of a version 1 line
    QDateTime time; // when the result was known
    PodResult result = PodResult::Failed;
    double seconds = 0;
    QString message; // the first message, if any
    QString station, lot, operator_, podType, file;
};

// Nothing when the line is not a record: not a JSON object, or without a
// time or a known result.
std::optional<RecordEntry> ReadRecordLine(std::string_view line);

} // namespace vantelo::station
