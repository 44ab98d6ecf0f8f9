#include "station/RecordFile.h"

#include "station/StationWords.h"

namespace vantelo::station {

bool RecordFile::Open(const QString& path, QString& error)
{
    std::string why;
    file_.emplace();
    path_ = path;
    if (file_->Open(path, why))
        return true;
    error = QStringLiteral("Could not open the record %1: %2").arg(path, QString::fromStdString(why));
    return false;
}

bool RecordFile::Write(const PodRecord& record, QString& error)
{
    if (!file_)
        return true;
    const std::lock_guard lock(mutex_);
    std::string why;
    if (file_->Append(RecordLine(record), why))
        return true;
    // Whoever reads this must know which pod has no line.
    error = QStringLiteral("Could not write the record %1: %2; not recorded: %3 %4 %5 on %6")
                .arg(path_, QString::fromStdString(why), record.podName, record.version,
                     QString::fromLatin1(ResultName(record.result)), record.port);
    return false;
}

} // namespace vantelo::station
