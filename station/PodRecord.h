#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <string>

namespace vantelo::station {

enum class PodResult { Programmed, Failed, Skipped, Interrupted };

const char* ResultName(PodResult result);

// What the station did with one pod.
struct PodRecord {
    QDateTime time; // when the result was known
    QString port;
    QString device;
    int podType = 0;
    QString podName;
    QString version; // "major.minor"
    QString file;
    QString sha256;
    PodResult result = PodResult::Failed;
    QStringList messages; // "title: text" where the title says more than "Error!"
    int retries = 0;      // commands sent again while programming
    double seconds = 0;
};

// The record as one line of JSON, newline included.
std::string RecordLine(const PodRecord& record);

} // namespace vantelo::station
