#pragma once

#include "station/PodRecord.h"

#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

namespace vantelo::station {

// A port as the user named it, and the device it opens.
struct StationPort {
    QString name;       // as given: "COM3" for 3, "/dev/ttyUSB0", "./tty1", "COM12"
    QString device;     // what is opened: a path made absolute, or a name as given
    bool named = false; // given with --port: failing to open it is a failure
    int number = 0;     // COMn; 0 for a device given by its name
};

struct StationOptions {
    std::vector<StationPort> ports;
    bool watch = false;
    bool window = false; // the station's window, which always watches
    QString record;      // empty: no record
    QString file;        // may be empty with window
    std::optional<double> bootSeconds; // how long a pod may stay deaf after a restart; none: 15 s
    RecordOrigin origin{};             // for every record line

    bool help = false;
};

// The arguments after the program name; nothing, with `error` set, when they
// are not a command the station understands.
std::optional<StationOptions> ParseStationOptions(const QStringList& arguments, QString& error);

// The ports named by `given` (numbers or devices); nothing, with `error`
// set, when one is not a port or two are the same device.
std::optional<std::vector<StationPort>> ParsePorts(const QStringList& given, QString& error);

extern const char* const StationUsage;

} // namespace vantelo::station
