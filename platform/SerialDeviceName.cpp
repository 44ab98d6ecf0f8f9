#include "platform/SystemSerialPort.h"

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

} // namespace vantelo
