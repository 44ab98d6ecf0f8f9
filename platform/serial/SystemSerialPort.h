#pragma once

#include "platform/SerialPort.h"

#include <QString>

#include <memory>

namespace vantelo {

// Device of port number n: $VANTELO_COMn when set (on Windows a name such as
// COM7, so an adapter above COM4 can serve one of the four slots), otherwise
// COMn on Windows and /dev/ttyS{n-1} elsewhere.
QString SerialDeviceName(int number);

// The device a name opens, so that two spellings of one port compare equal:
// symbolic links and relative parts resolved, and on Windows "com7",
// "COM7" and "\\.\COM7" all "COM7".
QString CanonicalDeviceName(const QString& device);

// The system's serial port adapter: the Win32 communications functions on
// Windows, QSerialPort elsewhere. With a device, the port is that device
// whatever its number.
std::unique_ptr<SerialPort> MakeSerialPort(QString device = {});

} // namespace vantelo
