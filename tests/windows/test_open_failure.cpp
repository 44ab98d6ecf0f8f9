#include "platform/SystemSerialPort.h"

#include <gtest/gtest.h>

#include <QString>

#include <windows.h>

namespace vantelo {
namespace {

// What the system says of a code, asked here apart from the adapter.
QString SystemWords(DWORD code)
{
    wchar_t text[512];
    const DWORD length = FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0,
                                        text, 512, nullptr);
    return QString::fromWCharArray(text, static_cast<int>(length)).trimmed();
}

// The code with which the port's device refuses to open, or 0.
DWORD OpenCode(int number)
{
    const std::wstring path = (QStringLiteral("\\\\.\\COM%1").arg(number)).toStdWString();
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    const DWORD code = GetLastError();
    if (handle == INVALID_HANDLE_VALUE)
        return code;
    CloseHandle(handle);
    return 0;
}

// Run by the station's wine check, with podsim's pod on COM1 and COM3
// missing. COM1 held by one port is busy for the next. Each reason holds the
// system's words for that very open, never the port's name, which the
// message around it gives.
TEST(OpenFailure, MissingAndBusyPortsGiveTheSystemsWords)
{
    const auto holder = MakeSerialPort();
    holder->CommPort(1);
    ASSERT_TRUE(holder->PortOpen(true));
    for (const int number : {1, 3}) {
        const auto port = MakeSerialPort();
        port->CommPort(number);
        EXPECT_FALSE(port->PortOpen(true));
        const DWORD code = OpenCode(number);
        ASSERT_NE(code, 0u) << "COM" << number;
        const QString why = QString::fromStdString(port->OpenError());
        EXPECT_TRUE(why.contains(SystemWords(code))) << why.toStdString() << " / " << code;
        EXPECT_FALSE(why.contains(QStringLiteral("COM"))) << why.toStdString();
    }
}

} // namespace
} // namespace vantelo
