#include "platform/serial/SystemSerialPort.h"

#include <QDir>
#include <QFileInfo>

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

} // namespace vantelo
