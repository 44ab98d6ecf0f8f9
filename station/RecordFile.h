#pragma once

#include "platform/console/AppendFile.h"
#include "station/PodRecord.h"

#include <QString>

#include <mutex>
#include <optional>

namespace vantelo::station {

// The record of every pod, shared by the ports' threads: one whole line per
// pod, on disk before Write returns. Without a file, Write keeps nothing.
class RecordFile {
public:
    // False, with `error` set, when the file cannot be opened for appending.
    bool Open(const QString& path, QString& error);
    bool Write(const PodRecord& record, QString& error);

private:
    std::mutex mutex_;
    std::optional<AppendFile> file_;
    QString path_;
};

} // namespace vantelo::station
