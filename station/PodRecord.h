#pragma once

#include "station/PortState.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <string>

namespace vantelo::station {

// Where a record line was written, by whom, and for which lot.
struct RecordOrigin {
    QString station;   // the bench: --station, else the host's name
    QString operator_; // --operator
    QString lot;       // --lot, or nothing
};

// What the station did with one pod.
struct PodRecord {
    QString id; // unique per line
    RecordOrigin origin;
    QDateTime started; // when the pod was found
    QDateTime time;    // when the result was known
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
    int blocks = 0; // acknowledged, over every image the pod takes
    int of = 0;     // in all those images
};

// The record as one line of JSON, newline included.
std::string RecordLine(const PodRecord& record);

} // namespace vantelo::station
