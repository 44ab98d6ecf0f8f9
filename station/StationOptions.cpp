#include "station/StationOptions.h"

#include "platform/SystemSerialPort.h"

namespace vantelo::station {

const char* const StationUsage =
    R"(Usage: vantelo-station [--port N|DEVICE]... [--watch] [--record FILE] FILE.TXF

Writes the configuration FILE.TXF into the pods on every port at once.

  --port N        serial port COMN (as the window maps it: VANTELO_COMN, else
                  COMN on Windows and /dev/ttyS{N-1} elsewhere)
  --port DEVICE   a device, such as /dev/ttyUSB0 or COM12
                  Without --port: COM1 to COM4.
  --watch         keep going: program each new pod put on a port, after the
                  one before it has been taken off (leave a port empty for a
                  few seconds between pods). Ctrl-C stops taking new pods and
                  lets those being written finish; a second Ctrl-C stops at once.
  --record FILE   append one JSON line per pod to FILE
  --help          show this text

Exit status: 2 bad command line or configuration; 1 a pod failed or was
interrupted, a port named with --port could not be opened, or the record
could not be written; 3 no pod of the configuration's type was found
(without --watch); 0 otherwise.
)";

namespace {

StationPort NamedPort(const QString& given)
{
    bool isNumber = false;
    const int number = given.toInt(&isNumber);
    if (isNumber && number > 0)
        return {QStringLiteral("COM%1").arg(number), SerialDeviceName(number), true, number};
    return {given, given, true, 0};
}

} // namespace

std::optional<StationOptions> ParseStationOptions(const QStringList& arguments, QString& error)
{
    StationOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const auto value = [&]() -> std::optional<QString> {
            if (i + 1 < arguments.size() && !arguments[i + 1].isEmpty())
                return arguments[++i];
            error = argument + QStringLiteral(" needs a value");
            return std::nullopt;
        };
        if (argument == QLatin1String("--help")) {
            options.help = true;
        } else if (argument == QLatin1String("--watch")) {
            options.watch = true;
        } else if (argument == QLatin1String("--port")) {
            const auto given = value();
            if (!given)
                return std::nullopt;
            const StationPort port = NamedPort(*given);
            for (const StationPort& earlier : options.ports) {
                if (earlier.device == port.device) {
                    error = QStringLiteral("port %1 is given twice").arg(port.name);
                    return std::nullopt;
                }
            }
            options.ports.push_back(port);
        } else if (argument == QLatin1String("--record")) {
            const auto given = value();
            if (!given)
                return std::nullopt;
            options.record = *given;
        } else if (argument.startsWith(u'-') && argument.size() > 1) {
            error = QStringLiteral("unknown option ") + argument;
            return std::nullopt;
        } else if (options.file.isEmpty()) {
            options.file = argument;
        } else {
            error = QStringLiteral("one configuration file only: ") + argument;
            return std::nullopt;
        }
    }
    if (options.help)
        return options;
    if (options.file.isEmpty()) {
        error = QStringLiteral("no configuration file given");
        return std::nullopt;
    }
    if (options.ports.empty()) {
        for (int number = 1; number <= 4; ++number)
            options.ports.push_back({QStringLiteral("COM%1").arg(number), SerialDeviceName(number), false, number});
    }
    return options;
}

} // namespace vantelo::station
