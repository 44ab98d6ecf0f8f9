#pragma once

#include "station/OperatorMode.h"
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
    bool window = false;               // the station's window, which always watches
    QString record;                    // empty: no record
    QString file;                      // may be empty with window
    std::optional<double> bootSeconds; // how long a pod may stay deaf after a restart; none: 15 s
    RecordOrigin origin{};             // for every record line; no station: the window's or the host's name
    bool locked = false;               // operators may not load another file or change the ports
    QStringList released;              // SHA-256s in lower-case hex the configuration must have

    bool help = false;
};

// The arguments after the program name, with what the machine's settings fix
// (locked when either says so, the machine's released hash checked beside the
// command line's, its file and ports where the command line names none);
// nothing, with `error` set, when they are not a command the station understands.
std::optional<StationOptions> ParseStationOptions(const QStringList& arguments, const OperatorMode& machine,
                                                  QString& error);

// The ports named by `given` (numbers or devices); nothing, with `error`
// set, when one is not a port or two are the same device.
std::optional<std::vector<StationPort>> ParsePorts(const QStringList& given, QString& error);

// `given` as a SHA-256 in lower-case hex; nothing when it is not 64 hex digits.
std::optional<QString> ReleasedHash(const QString& given);

// The name in record lines when no --station is given.
QString HostStationName();

extern const char* const StationUsage;

} // namespace vantelo::station
