#include "platform/serial/LinuxSerialPort.h"

#include "platform/serial/LineSettings.h"
#include "platform/serial/OpenFailure.h"
#include "platform/serial/OutputDrain.h"
#include "platform/serial/SystemSerialPort.h"

#include <QFile>

#include <algorithm>
#include <limits>
#include <utility>

#include <sys/file.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace vantelo {

std::unique_ptr<SerialPort> MakeSerialPort(QString device)
{
    return std::make_unique<LinuxSerialPort>(std::move(device));
}

std::optional<long> TtyQueuedOutput(qintptr handle)
{
    const int fd = static_cast<int>(handle);
    int queued = 0;
    if (ioctl(fd, TIOCOUTQ, &queued) != 0)
        return std::nullopt;
    unsigned int lineStatus = 0;
    if (queued == 0 && ioctl(fd, TIOCSERGETLSR, &lineStatus) == 0 && !(lineStatus & TIOCSER_TEMT))
        return 1;
    return queued;
}

LinuxSerialPort::LinuxSerialPort(QString device, OutputQuery queuedOutput)
    : device_(std::move(device)), queuedOutput_(std::move(queuedOutput))
{
    port_.setFlowControl(QSerialPort::NoFlowControl);
    // A device that vanishes (a USB adapter pulled out) closes the port, so
    // the operation under way sees it closed instead of waiting on a dead line.
    QObject::connect(&port_, &QSerialPort::errorOccurred, [this](QSerialPort::SerialPortError error) {
        if (error == QSerialPort::ResourceError && port_.isOpen())
            port_.close();
    });
}

namespace {

OpenFailure FailureOf(const QSerialPort& port, const QString& device)
{
    switch (port.error()) {
    case QSerialPort::DeviceNotFoundError:
        return OpenFailure::Missing;
    case QSerialPort::PermissionError: {
        // Qt says so too for a device another program holds (EBUSY, or its
        // lock file): one we could open is in use.
        const QByteArray path = QFile::encodeName(CanonicalDeviceName(device));
        return access(path.constData(), R_OK | W_OK) == 0 ? OpenFailure::InUse : OpenFailure::NoPermission;
    }
    default:
        return OpenFailure::Other;
    }
}

std::string DescribeOpenError(const QSerialPort& port, const QString& device)
{
    // Qt's text for a system error is the system's (strerror's) words.
    return OpenFailureText(FailureOf(port, device), port.errorString());
}

} // namespace

void LinuxSerialPort::CommPort(int number)
{
    number_ = number;
}

bool LinuxSerialPort::PortOpen() const
{
    return port_.isOpen();
}

bool LinuxSerialPort::PortOpen(bool open)
{
    if (!open) {
        if (port_.isOpen())
            port_.close();
        return true;
    }
    if (port_.isOpen())
        return true;
    const QString device = device_.isEmpty() ? SerialDeviceName(number_) : device_;
    port_.setPortName(device);
    if (!port_.open(QIODevice::ReadWrite)) {
        openError_ = DescribeOpenError(port_, device);
        return false;
    }
    // The exclusive open does not keep root out: an advisory lock keeps two
    // programs that lock ports this way off one port, whoever runs them.
    if (flock(static_cast<int>(port_.handle()), LOCK_EX | LOCK_NB) != 0) {
        port_.close();
        openError_ = OpenFailureText(OpenFailure::InUse, {});
        return false;
    }
    openError_.clear();
    // Lines without RTS (a pty, some adapters) refuse it; that is harmless.
    port_.setRequestToSend(rts_);
    return true;
}

void LinuxSerialPort::RTSEnable(bool raised)
{
    rts_ = raised;
    if (port_.isOpen())
        port_.setRequestToSend(raised);
}

// New line settings must not reach bytes written before them: hand Qt's
// buffer to the system and wait until the line has sent it. A port that
// cannot within the limit is lost, and closed as a vanished device is.
bool LinuxSerialPort::Drain()
{
    using namespace std::chrono;
    const auto deadline = steady_clock::now() + DrainLimit;
    const auto left = [&] {
        return static_cast<int>(duration_cast<milliseconds>(deadline - steady_clock::now()).count());
    };
    while (port_.bytesToWrite() > 0 && left() > 0 && port_.waitForBytesWritten(left())) {
    }
    const qintptr handle = port_.handle();
    if (port_.bytesToWrite() == 0 && DrainOutput([&] { return queuedOutput_(handle); }, deadline))
        return true;
    port_.close();
    return false;
}

bool LinuxSerialPort::Settings(std::string_view settings)
{
    const auto line = ParseLineSettings(settings);
    if (!line || !port_.isOpen())
        return false;
    const auto parity = line->parity == Parity::Odd    ? QSerialPort::OddParity
                        : line->parity == Parity::Even ? QSerialPort::EvenParity
                                                       : QSerialPort::NoParity;
    const auto dataBits = static_cast<QSerialPort::DataBits>(line->dataBits);
    const auto stopBits = line->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
    // Only what changes is set (a block changes the parity alone): QSerialPort
    // keeps what was set last, and sets it again whenever the port opens.
    const bool baudChanges = port_.baudRate() != line->baud;
    const bool parityChanges = port_.parity() != parity;
    const bool dataChanges = port_.dataBits() != dataBits;
    const bool stopChanges = port_.stopBits() != stopBits;
    if (!baudChanges && !parityChanges && !dataChanges && !stopChanges)
        return true;
    if (!Drain())
        return false;
    const bool baudSet = !baudChanges || port_.setBaudRate(line->baud);
    const bool paritySet = !parityChanges || port_.setParity(parity);
    const bool dataSet = !dataChanges || port_.setDataBits(dataBits);
    const bool stopSet = !stopChanges || port_.setStopBits(stopBits);
    return baudSet && paritySet && dataSet && stopSet;
}

void LinuxSerialPort::Break(bool on)
{
    if (!port_.isOpen())
        return;
    if (!on || Drain())
        port_.setBreakEnabled(on);
}

// A closed port (never opened, or closed when its device vanished) takes
// nothing and has nothing.
void LinuxSerialPort::Output(std::span<const std::uint8_t> bytes)
{
    if (!port_.isOpen())
        return;
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::int16_t LinuxSerialPort::InBufferCount()
{
    const qint64 waiting = port_.isOpen() ? port_.bytesAvailable() : 0;
    return static_cast<std::int16_t>(std::min<qint64>(waiting, std::numeric_limits<std::int16_t>::max()));
}

std::vector<std::uint8_t> LinuxSerialPort::Input()
{
    if (!port_.isOpen())
        return {};
    const QByteArray bytes = port_.readAll();
    return {bytes.begin(), bytes.end()};
}

} // namespace vantelo
