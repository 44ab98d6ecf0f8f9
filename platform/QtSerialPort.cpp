#include "platform/QtSerialPort.h"

#include "platform/LineSettings.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <limits>
#include <utility>

#ifdef _WIN32
#include <windows.h>
#else
#include <termios.h>
#endif

namespace vantelo {

QString SerialDeviceName(int number)
{
    const QByteArray variable = QStringLiteral("VANTELO_COM%1").arg(number).toLatin1();
    const QString named = qEnvironmentVariable(variable.constData());
    if (!named.isEmpty())
        return named;
#ifdef _WIN32
    return QStringLiteral("COM%1").arg(number);
#else
    return QStringLiteral("/dev/ttyS%1").arg(number - 1);
#endif
}

QString CanonicalDeviceName(const QString& device)
{
#ifdef _WIN32
    QString name = device.toUpper();
    if (name.startsWith(QLatin1String("\\\\.\\")))
        name.remove(0, 4);
    return name;
#else
    // Qt opens a name without a folder under /dev.
    const QString path = device.contains(u'/') ? device : QStringLiteral("/dev/") + device;
    const QString canonical = QFileInfo(path).canonicalFilePath();
    return canonical.isEmpty() ? QDir::cleanPath(QFileInfo(path).absoluteFilePath()) : canonical;
#endif
}

QtSerialPort::QtSerialPort(QString device) : device_(std::move(device))
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

std::string DescribeOpenError(const QSerialPort& port, const QString& device)
{
    switch (port.error()) {
    case QSerialPort::PermissionError:
        return QStringLiteral("no permission to use %1 (is your user in the dialout group?)")
            .arg(device)
            .toStdString();
    case QSerialPort::DeviceNotFoundError:
        return QStringLiteral("%1 does not exist").arg(device).toStdString();
    case QSerialPort::OpenError:
        return QStringLiteral("%1 is in use").arg(device).toStdString();
    default:
        return QStringLiteral("%1: %2").arg(device, port.errorString()).toStdString();
    }
}

} // namespace

void QtSerialPort::CommPort(int number)
{
    number_ = number;
}

bool QtSerialPort::PortOpen() const
{
    return port_.isOpen();
}

bool QtSerialPort::PortOpen(bool open)
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
    openError_.clear();
    // Lines without RTS (a pty, some adapters) refuse it; that is harmless.
    port_.setRequestToSend(rts_);
    return true;
}

void QtSerialPort::RTSEnable(bool raised)
{
    rts_ = raised;
    if (port_.isOpen())
        port_.setRequestToSend(raised);
}

// New line settings must not reach bytes written before them: hand Qt's
// buffer to the system and wait until the transmitter is empty.
void QtSerialPort::Drain()
{
    while (port_.bytesToWrite() > 0) {
        if (!port_.waitForBytesWritten(1000))
            break;
    }
#ifdef _WIN32
    FlushFileBuffers(reinterpret_cast<HANDLE>(port_.handle()));
#else
    tcdrain(port_.handle());
#endif
}

bool QtSerialPort::Settings(std::string_view settings)
{
    const auto line = ParseLineSettings(settings);
    if (!line || !port_.isOpen())
        return false;
    Drain();
    const auto parity = line->parity == Parity::Odd    ? QSerialPort::OddParity
                        : line->parity == Parity::Even ? QSerialPort::EvenParity
                                                       : QSerialPort::NoParity;
    const auto stopBits = line->stopBits == 2 ? QSerialPort::TwoStop : QSerialPort::OneStop;
    const bool baudSet = port_.setBaudRate(line->baud);
    const bool paritySet = port_.setParity(parity);
    const bool dataSet = port_.setDataBits(static_cast<QSerialPort::DataBits>(line->dataBits));
    const bool stopSet = port_.setStopBits(stopBits);
    return baudSet && paritySet && dataSet && stopSet;
}

void QtSerialPort::Break(bool on)
{
    if (!port_.isOpen())
        return;
    if (on)
        Drain();
    port_.setBreakEnabled(on);
}

// A closed port (never opened, or closed when its device vanished) takes
// nothing and has nothing.
void QtSerialPort::Output(std::span<const std::uint8_t> bytes)
{
    if (!port_.isOpen())
        return;
    port_.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
}

std::int16_t QtSerialPort::InBufferCount()
{
    const qint64 waiting = port_.isOpen() ? port_.bytesAvailable() : 0;
    return static_cast<std::int16_t>(std::min<qint64>(waiting, std::numeric_limits<std::int16_t>::max()));
}

std::vector<std::uint8_t> QtSerialPort::Input()
{
    if (!port_.isOpen())
        return {};
    const QByteArray bytes = port_.readAll();
    return {bytes.begin(), bytes.end()};
}

} // namespace vantelo
