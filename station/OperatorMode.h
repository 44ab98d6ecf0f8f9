#pragma once

#include <QStringList>

#include <string_view>

namespace vantelo {
class SettingsStore;
}

namespace vantelo::station {

// Where a supervisor sets a bench up for operators: the machine's settings,
// which only an administrator can write.
inline constexpr std::string_view OperatorModeKey = "Software\\Zantor\\Trellins\\Station";

// What the machine's settings fix for every user of the bench.
struct OperatorMode {
    bool locked = false;   // Locked: a number, not 0
    QString released;      // Released: the configuration's SHA-256 in hex
    QString configuration; // Configuration: the file when the command line names none
    QStringList ports;     // Ports: as --port takes them, separated by blanks
};

OperatorMode ReadOperatorMode(SettingsStore& machine);

} // namespace vantelo::station
