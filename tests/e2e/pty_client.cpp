#include "platform/serial/LinuxSerialPort.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>

// A program that dies with its port in odd settings:
//   pty_client DEVICE SETTINGS...
// opens DEVICE with the program's serial adapter, gives it each of the line
// settings in turn, says "set" and waits to be killed.
int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (argc < 2)
        return 2;
    vantelo::LinuxSerialPort port(QString::fromLocal8Bit(argv[1]));
    if (!port.PortOpen(true)) {
        std::fprintf(stderr, "%s\n", port.OpenError().c_str());
        return 1;
    }
    for (int i = 2; i < argc; ++i)
        port.Settings(argv[i]); // as the program, it goes on whatever the answer
    std::puts("set");
    std::fflush(stdout);
    QThread::sleep(60); // killed long before
    return 0;
}
