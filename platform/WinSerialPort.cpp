#include "platform/WinSerialPort.h"

#include "platform/OutputDrain.h"
#include "platform/SystemSerialPort.h"

#include <QAbstractEventDispatcher>

#include <algorithm>
#include <limits>
#include <utility>

#include <windows.h>

namespace vantelo {

std::unique_ptr<SerialPort> MakeSerialPort(QString device)
{
    return std::make_unique<WinSerialPort>(std::move(device));
}

namespace {

constexpr int PollMilliseconds = 2;

std::string DescribeOpenError(DWORD error, const QString& device)
{
    switch (error) {
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return QStringLiteral("%1 is in use").arg(device).toStdString();
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return QStringLiteral("%1 does not exist").arg(device).toStdString();
    default:
        return QStringLiteral("%1: system error %2").arg(device).arg(error).toStdString();
    }
}

// No flow control of any kind, and RTS as wanted: every SetCommState sets
// them again, whatever GetCommState read.
void SetLineControl(DCB& dcb, bool rts)
{
    dcb.fBinary = TRUE;
    dcb.fOutxCtsFlow = dcb.fOutxDsrFlow = dcb.fDsrSensitivity = FALSE;
    dcb.fOutX = dcb.fInX = dcb.fErrorChar = dcb.fNull = dcb.fAbortOnError = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = rts ? RTS_CONTROL_ENABLE : RTS_CONTROL_DISABLE;
}

} // namespace

WinSerialPort::WinSerialPort(QString device) : handle_(INVALID_HANDLE_VALUE), device_(std::move(device))
{
    poll_.setTimerType(Qt::PreciseTimer);
    poll_.setInterval(PollMilliseconds);
    QObject::connect(&poll_, &QTimer::timeout, [this] {
        if (!polled_)
            poll_.stop();
        polled_ = false;
        // The tick is a posted event, which Qt's dispatcher does not count.
        if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
            dispatcher->interrupt();
    });
}

WinSerialPort::~WinSerialPort()
{
    PortOpen(false);
}

void WinSerialPort::CommPort(int number)
{
    number_ = number;
}

bool WinSerialPort::PortOpen() const
{
    return handle_ != INVALID_HANDLE_VALUE;
}

bool WinSerialPort::PortOpen(bool open)
{
    if (!open) {
        if (PortOpen())
            CloseHandle(handle_);
        handle_ = INVALID_HANDLE_VALUE;
        poll_.stop();
        return true;
    }
    if (PortOpen())
        return true;
    const QString device = device_.isEmpty() ? SerialDeviceName(number_) : device_;
    // COM10 and above open only by their device path.
    const QString prefix = QStringLiteral("\\\\.\\");
    const std::wstring path = (device.startsWith(prefix) ? device : prefix + device).toStdWString();
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        openError_ = DescribeOpenError(GetLastError(), device);
        return false;
    }
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = MAXDWORD;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(DrainLimit.count());
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool ready = SetCommTimeouts(handle, &timeouts) && GetCommState(handle, &dcb);
    if (ready) {
        SetLineControl(dcb, rts_);
        ready = SetCommState(handle, &dcb);
    }
    if (!ready) {
        openError_ = DescribeOpenError(GetLastError(), device);
        CloseHandle(handle);
        return false;
    }
    handle_ = handle;
    applied_.reset();
    openError_.clear();
    return true;
}

// A line without RTS (a pty under wine) refuses it; that is harmless.
void WinSerialPort::RTSEnable(bool raised)
{
    rts_ = raised;
    if (PortOpen())
        EscapeCommFunction(handle_, raised ? SETRTS : CLRRTS);
}

// A device that fails a call (a USB adapter pulled out) is closed, so the
// operation under way sees it closed instead of waiting on a dead line.
void WinSerialPort::Lost()
{
    PortOpen(false);
}

// Bytes waiting in the driver's input or output queue.
std::optional<long> WinSerialPort::Queued(bool output)
{
    COMSTAT status{};
    DWORD errors = 0;
    if (!ClearCommError(handle_, &errors, &status))
        return std::nullopt;
    return static_cast<long>(output ? status.cbOutQue : status.cbInQue);
}

// New line settings must not reach bytes written before them; a port that
// cannot send them within the limit is lost.
bool WinSerialPort::Drain()
{
    if (DrainOutput([this] { return Queued(true); }, std::chrono::steady_clock::now() + DrainLimit))
        return true;
    Lost();
    return false;
}

bool WinSerialPort::Settings(std::string_view settings)
{
    const auto line = ParseLineSettings(settings);
    if (!line || !PortOpen())
        return false;
    if (applied_ == *line)
        return true;
    if (!Drain())
        return false;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(handle_, &dcb)) {
        Lost();
        return false;
    }
    dcb.BaudRate = static_cast<DWORD>(line->baud);
    dcb.ByteSize = line->dataBits;
    dcb.Parity = line->parity == Parity::Odd ? ODDPARITY : line->parity == Parity::Even ? EVENPARITY : NOPARITY;
    dcb.fParity = line->parity != Parity::None;
    dcb.StopBits = line->stopBits == 2 ? TWOSTOPBITS : ONESTOPBIT;
    SetLineControl(dcb, rts_);
    // A refused setting may leave the line half set: it is set whole next time.
    applied_.reset();
    if (!SetCommState(handle_, &dcb))
        return false;
    applied_ = *line;
    return true;
}

void WinSerialPort::Break(bool on)
{
    if (!PortOpen())
        return;
    if (!on)
        ClearCommBreak(handle_);
    else if (Drain())
        SetCommBreak(handle_);
}

void WinSerialPort::Output(std::span<const std::uint8_t> bytes)
{
    if (!PortOpen())
        return;
    DWORD written = 0;
    if (!WriteFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
        written != bytes.size())
        Lost();
}

std::int16_t WinSerialPort::InBufferCount()
{
    if (!PortOpen())
        return 0;
    const auto waiting = Queued(false);
    if (!waiting) {
        Lost();
        return 0;
    }
    polled_ = true;
    if (!poll_.isActive())
        poll_.start();
    return static_cast<std::int16_t>(std::min<long>(*waiting, std::numeric_limits<std::int16_t>::max()));
}

std::vector<std::uint8_t> WinSerialPort::Input()
{
    if (!PortOpen())
        return {};
    const auto waiting = Queued(false);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(waiting.value_or(0)));
    DWORD read = 0;
    if (!waiting || (!bytes.empty() && !ReadFile(handle_, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr))) {
        Lost();
        return {};
    }
    bytes.resize(read);
    return bytes;
}

} // namespace vantelo
