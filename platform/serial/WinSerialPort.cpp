#include "platform/serial/WinSerialPort.h"

#include "platform/serial/OpenFailure.h"
#include "platform/serial/OutputDrain.h"
#include "platform/serial/SystemSerialPort.h"
#include "platform/serial/WinEventWait.h"

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

// A pending read with nothing to read ends after this, and is made again:
// a wake-up that went astray costs no more than this.
constexpr DWORD ReadLimit = 1000;
// A write ends within its write time-out (the drain limit); this bounds the
// wait for it beyond that.
constexpr DWORD WriteLimit = 2 * static_cast<DWORD>(DrainLimit.count());

QString SystemWords(DWORD error)
{
    wchar_t* text = nullptr;
    const DWORD length =
        FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                       nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    const QString words =
        length ? QString::fromWCharArray(text, static_cast<int>(length)) : QStringLiteral("system error %1").arg(error);
    LocalFree(text);
    return words;
}

std::string DescribeOpenError(DWORD error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return OpenFailureText(OpenFailure::Missing, SystemWords(error));
    // Windows denies a port another program holds.
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return OpenFailureText(OpenFailure::InUse, SystemWords(error));
    default:
        return OpenFailureText(OpenFailure::Other, SystemWords(error));
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

// The overlapped requests, their events and the read's buffer, which the
// driver fills while the read is pending.
struct WinSerialPort::Io {
    HANDLE readDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE writeDone = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    OVERLAPPED read{};
    OVERLAPPED write{};
    std::uint8_t buffer[256];

    ~Io()
    {
        CloseHandle(readDone);
        CloseHandle(writeDone);
    }
};

WinSerialPort::WinSerialPort(QString device)
    : handle_(INVALID_HANDLE_VALUE), device_(std::move(device)), io_(std::make_unique<Io>())
{
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
    if (!open)
        Close();
    return !open || PortOpen() || Open();
}

bool WinSerialPort::Open()
{
    const QString device = device_.isEmpty() ? SerialDeviceName(number_) : device_;
    // COM10 and above open only by their device path.
    const QString prefix = QStringLiteral("\\\\.\\");
    const std::wstring path = (device.startsWith(prefix) ? device : prefix + device).toStdWString();
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        openError_ = DescribeOpenError(GetLastError());
        return false;
    }
    // A read waits for all it asks for, up to the read limit.
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = ReadLimit;
    timeouts.WriteTotalTimeoutConstant = static_cast<DWORD>(DrainLimit.count());
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    bool ready = SetCommTimeouts(handle, &timeouts) && GetCommState(handle, &dcb);
    if (ready) {
        SetLineControl(dcb, rts_);
        ready = SetCommState(handle, &dcb);
    }
    if (!ready) {
        openError_ = DescribeOpenError(GetLastError());
        CloseHandle(handle);
        return false;
    }
    handle_ = handle;
    applied_.reset();
    openError_.clear();
    if (!Read()) {
        openError_ = DescribeOpenError(GetLastError());
        Close();
        return false;
    }
    // Received bytes end the thread's wait; the next read starts at once,
    // which resets the event.
    WatchEvent(io_->readDone, [this] { Collect(); });
    return true;
}

void WinSerialPort::Close()
{
    if (PortOpen()) {
        UnwatchEvent(io_->readDone);
        // A cancelled read ends at once; the driver must be done with its buffer.
        if (!HasOverlappedIoCompleted(&io_->read) && CancelIoEx(handle_, &io_->read))
            WaitForSingleObject(io_->readDone, static_cast<DWORD>(DrainLimit.count()));
        CloseHandle(handle_);
    }
    handle_ = INVALID_HANDLE_VALUE;
    received_.clear();
}

// Starts the next read: of the bytes waiting, which ends at once, or with
// none waiting of one byte, which ends when it comes or at the read limit.
// Either sets the read's event when it ends. (Wine ignores the time-outs
// that would have a larger read end at its first byte.)
bool WinSerialPort::Read()
{
    const auto waiting = Queued(false);
    if (!waiting)
        return false;
    const auto size = static_cast<DWORD>(std::clamp<long>(*waiting, 1, sizeof io_->buffer));
    io_->read = {};
    io_->read.hEvent = io_->readDone;
    return ReadFile(handle_, io_->buffer, size, nullptr, &io_->read) || GetLastError() == ERROR_IO_PENDING;
}

// Takes what ended reads brought, starting the next each time; bytes waiting
// in the driver end a read at once, so a few rounds take them all.
void WinSerialPort::Collect()
{
    for (int round = 0; round < 4 && PortOpen() && HasOverlappedIoCompleted(&io_->read); ++round) {
        DWORD got = 0;
        // Wine ends a read that timed out with an error, Windows without.
        const bool ended = GetOverlappedResult(handle_, &io_->read, &got, FALSE) || GetLastError() == ERROR_TIMEOUT;
        if (ended)
            received_.insert(received_.end(), io_->buffer, io_->buffer + got);
        if (!ended || !Read()) {
            Lost();
            return;
        }
        if (got == 0)
            return;
    }
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
    Close();
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

// Returns once the driver has taken the bytes, as a write on a handle without
// overlapped use would, but beside the pending read.
void WinSerialPort::Output(std::span<const std::uint8_t> bytes)
{
    if (!PortOpen() || bytes.empty())
        return;
    io_->write = {};
    io_->write.hEvent = io_->writeDone;
    const auto size = static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    // A write the driver took at once needs no wait (each is a trip to wine's server).
    const bool done = WriteFile(handle_, bytes.data(), size, nullptr, &io_->write);
    const bool started = done || GetLastError() == ERROR_IO_PENDING;
    const bool ended = done || (started && WaitForSingleObject(io_->writeDone, WriteLimit) == WAIT_OBJECT_0);
    if (started && !ended) {
        // The bytes are the caller's: the driver lets go of them before this returns.
        CancelIoEx(handle_, &io_->write);
        WaitForSingleObject(io_->writeDone, WriteLimit);
    }
    if (!ended || !GetOverlappedResult(handle_, &io_->write, &written, FALSE) || written != size)
        Lost();
}

// A pulled adapter ends the pending read with an error, which closes the port.
std::int16_t WinSerialPort::InBufferCount()
{
    Collect();
    if (!PortOpen())
        return 0;
    return static_cast<std::int16_t>(std::min<std::size_t>(received_.size(), std::numeric_limits<std::int16_t>::max()));
}

std::vector<std::uint8_t> WinSerialPort::Input()
{
    Collect();
    return std::exchange(received_, {});
}

} // namespace vantelo
