#include "platform/serial/SystemSerialPort.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QString>
#include <QTemporaryDir>

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

// The code with which the device refuses to open, or 0.
DWORD OpenCode(const QString& device)
{
    const std::wstring path = (QStringLiteral("\\\\.\\") + device).toStdWString();
    HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_OVERLAPPED, nullptr);
    const DWORD code = GetLastError();
    if (handle == INVALID_HANDLE_VALUE)
        return code;
    CloseHandle(handle);
    return 0;
}

// COM64 is missing. Wine lets two programs hold one COM port, so a file held
// without sharing stands for the busy port. Each reason holds the system's words for that very open, and
// not the device's name, which the message around it gives.
TEST(OpenFailure, MissingAndBusyPortsGiveTheSystemsWords)
{
    QTemporaryDir dir;
    const QString held = QDir::toNativeSeparators(dir.filePath(QStringLiteral("held")));
    HANDLE holder =
        CreateFileW(held.toStdWString().c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(holder, INVALID_HANDLE_VALUE);
    for (const QString& device : {QStringLiteral("COM64"), held}) {
        const auto port = MakeSerialPort(device);
        EXPECT_FALSE(port->PortOpen(true));
        const DWORD code = OpenCode(device);
        ASSERT_NE(code, 0u) << device.toStdString();
        const QString why = QString::fromStdString(port->OpenError());
        EXPECT_TRUE(why.contains(SystemWords(code))) << why.toStdString() << " / " << code;
        EXPECT_FALSE(why.contains(device)) << why.toStdString();
    }
    CloseHandle(holder);
}

} // namespace
} // namespace vantelo
