#include "station/StationOptions.h"

#include "platform/serial/SystemSerialPort.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSysInfo>

#include <filesystem>

namespace vantelo::station {

const char* const StationUsage =
    R"(Usage: vantelo-station [--port N|DEVICE]... [--watch] [--boot-time S]
                       [--record FILE] [--station NAME] [--operator ID]
                       [--lot TEXT] [--locked] [--expect-sha256 HEX] FILE.TXF
       vantelo-station --window [--port N|DEVICE]... [--boot-time S]
                       [--record FILE] [--locked] [--expect-sha256 HEX]
                       [FILE.TXF]
       vantelo-station --report [--by KEYS] [--since WHEN] [--until WHEN]
                       [--csv] RECORD...

Writes the configuration FILE.TXF into the pods on every port at once.

  --port N        serial port COMN, N from 1 to 64 (as the window maps it:
                  VANTELO_COMN, else COMN on Windows and /dev/ttyS{N-1}
                  elsewhere)
  --port DEVICE   a device, such as /dev/ttyUSB0, ./tty1 or COM12
                  Without --port: COM1 to COM4.
  --watch         keep going: program each new pod put on a port. When its
                  line says "take the pod off", take it off, and put the
                  next one on once the line says "ready". Ctrl-C stops
                  taking new pods and lets those being written finish; a
                  second Ctrl-C, SIGTERM or SIGHUP stops at once.
  --boot-time S   the longest a pod stays deaf after a restart, in seconds
                  (default 15): a pod silent since its restart is asked to
                  be taken off after S seconds
  --record FILE   append one JSON line per pod to FILE
  --station NAME  the bench, in every record line (default: the host's name)
  --operator ID   who operates, in every record line
  --lot TEXT      the lot or work order, in every record line
  --expect-sha256 HEX
                  refuse a configuration file whose SHA-256 is not HEX
  --locked        operator mode: the window offers neither Load nor Ports
                  (a machine-wide setting can set it, and the file, ports
                  and released SHA-256, for every user)
  --window        a window with a tile per port, which watches; with
                  FILE.TXF it starts at once
  --report        read records back (any number of files, any stations):
                  pods programmed, failed, skipped and interrupted, the
                  yield and the median seconds a pod, per day and station,
                  then the failures by message. --by takes keys of day,
                  station, lot, operator, pod_type and file; --since and
                  --until a local date (2026-12-07) or time
                  (2026-12-07T14:00); --csv writes it for a spreadsheet
  --help          show this text

Exit status: 2 bad command line or configuration; 1 a pod failed or was
interrupted, a port named with --port could not be opened, or the record
could not be written; 3 no pod of the configuration's type was found
(without --watch); 0 otherwise.
)";

namespace {

constexpr int HighestPort = 64;

// A number is COMn; a name with a slash is a path, made absolute so that a
// relative one names the same device wherever it is opened; anything else
// is a name the serial library reads (COM12, ttyUSB0).
std::optional<StationPort> NamedPort(const QString& given, QString& error)
{
    static const QRegularExpression number(QStringLiteral("^[+-]?[0-9]+$"));
    if (given.isEmpty()) {
        error = QStringLiteral("--port needs a port number (1 to %1) or a device").arg(HighestPort);
        return std::nullopt;
    }
    if (number.match(given).hasMatch()) {
        bool fits = false;
        const int n = given.toInt(&fits);
        if (!fits || n < 1 || n > HighestPort) {
            error = QStringLiteral("port number %1 is not one of 1 to %2").arg(given).arg(HighestPort);
            return std::nullopt;
        }
        return StationPort{QStringLiteral("COM%1").arg(n), SerialDeviceName(n), true, n};
    }
    const QString device = given.contains(u'/') ? QDir::cleanPath(QFileInfo(given).absoluteFilePath()) : given;
    return StationPort{given, device, true, 0};
}

// One file under any two names, hard links included.
bool SameFile(const QString& a, const QString& b)
{
    std::error_code error;
    return !a.isEmpty() && !b.isEmpty() &&
           std::filesystem::equivalent(std::filesystem::path(a.toStdU16String()),
                                       std::filesystem::path(b.toStdU16String()), error);
}

} // namespace

std::optional<QString> ReleasedHash(const QString& given)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-fA-F]{64}$"));
    if (!hex.match(given.trimmed()).hasMatch())
        return std::nullopt;
    return given.trimmed().toLower();
}

QString HostStationName()
{
    return QSysInfo::machineHostName();
}

std::optional<std::vector<StationPort>> ParsePorts(const QStringList& given, QString& error)
{
    std::vector<StationPort> ports;
    for (const QString& name : given) {
        const auto named = NamedPort(name, error);
        if (!named)
            return std::nullopt;
        const QString device = CanonicalDeviceName(named->device);
        for (const StationPort& earlier : ports) {
            if (CanonicalDeviceName(earlier.device) == device) {
                error = QStringLiteral("ports %1 and %2 are the same device").arg(earlier.name, named->name);
                return std::nullopt;
            }
        }
        ports.push_back(*named);
    }
    return ports;
}

std::optional<StationOptions> ParseStationOptions(const QStringList& arguments, const OperatorMode& machine,
                                                  QString& error)
{
    QCommandLineParser parser;
    const QCommandLineOption port(QStringLiteral("port"), {}, QStringLiteral("N|DEVICE"));
    const QCommandLineOption watch(QStringLiteral("watch"));
    const QCommandLineOption record(QStringLiteral("record"), {}, QStringLiteral("FILE"));
    const QCommandLineOption help(QStringLiteral("help"));
    const QCommandLineOption window(QStringLiteral("window"));
    const QCommandLineOption bootTime(QStringLiteral("boot-time"), {}, QStringLiteral("S"));
    const QCommandLineOption station(QStringLiteral("station"), {}, QStringLiteral("NAME"));
    const QCommandLineOption operatorId(QStringLiteral("operator"), {}, QStringLiteral("ID"));
    const QCommandLineOption lot(QStringLiteral("lot"), {}, QStringLiteral("TEXT"));
    const QCommandLineOption locked(QStringLiteral("locked"));
    const QCommandLineOption expected(QStringLiteral("expect-sha256"), {}, QStringLiteral("HEX"));
    parser.addOptions({port, watch, record, help, window, bootTime, station, operatorId, lot, locked, expected});
    // parse() takes the program's name first.
    if (!parser.parse(QStringList{QStringLiteral("vantelo-station")} + arguments)) {
        error = parser.errorText();
        return std::nullopt;
    }
    StationOptions options;
    options.help = parser.isSet(help);
    if (options.help)
        return options;
    options.window = parser.isSet(window);
    options.watch = parser.isSet(watch);

    const QStringList records = parser.values(record);
    if (records.size() > 1) {
        error = QStringLiteral("--record is given more than once");
        return std::nullopt;
    }
    options.record = records.value(0);
    if (parser.isSet(record) && options.record.isEmpty()) {
        error = QStringLiteral("--record needs a file");
        return std::nullopt;
    }

    if (parser.isSet(bootTime)) {
        bool number = false;
        options.bootSeconds = parser.value(bootTime).toDouble(&number);
        if (!number || !(*options.bootSeconds > 0 && *options.bootSeconds <= 600)) {
            error = QStringLiteral("--boot-time needs seconds from above 0 to 600");
            return std::nullopt;
        }
    }

    for (const QCommandLineOption* given : {&station, &operatorId, &lot}) {
        if (parser.values(*given).size() > 1 || (parser.isSet(*given) && parser.value(*given).trimmed().isEmpty())) {
            error = QStringLiteral("--%1 needs one text").arg(given->names().constFirst());
            return std::nullopt;
        }
    }
    options.origin = {parser.value(station), parser.value(operatorId), parser.value(lot)};

    options.locked = parser.isSet(locked) || machine.locked;
    // Each released hash counts, the command line's and the machine's.
    std::vector<std::pair<QString, QString>> released; // where given, what
    for (const QString& given : parser.values(expected))
        released.emplace_back(QStringLiteral("--expect-sha256"), given);
    if (!machine.released.isEmpty())
        released.emplace_back(QStringLiteral("the machine's released SHA-256"), machine.released);
    for (const auto& [where, given] : released) {
        const auto hash = ReleasedHash(given);
        if (!hash) {
            error = where + QStringLiteral(" needs 64 hexadecimal digits: ") + given;
            return std::nullopt;
        }
        options.released.append(*hash);
    }

    const QStringList files = parser.positionalArguments();
    if (files.size() > 1) {
        error = QStringLiteral("one configuration file only: ") + files[1];
        return std::nullopt;
    }
    options.file = files.isEmpty() ? machine.configuration : files[0];
    if (options.file.isEmpty() && !options.window) {
        error = QStringLiteral("no configuration file given");
        return std::nullopt;
    }
    if (SameFile(options.record, options.file)) {
        error = QStringLiteral("the record %1 is the configuration file itself").arg(options.record);
        return std::nullopt;
    }

    const QStringList named = parser.isSet(port) ? parser.values(port) : machine.ports;
    const auto ports = ParsePorts(named, error);
    if (!ports)
        return std::nullopt;
    options.ports = *ports;
    if (options.ports.empty()) {
        for (int number = 1; number <= 4; ++number)
            options.ports.push_back({QStringLiteral("COM%1").arg(number), SerialDeviceName(number), false, number});
    }
    return options;
}

} // namespace vantelo::station
