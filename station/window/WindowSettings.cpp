#include "station/window/WindowSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace vantelo::station {

WindowSettings ReadWindowSettings(QSettings& settings)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return {settings.value(QStringLiteral("ports"), QStringList{"1", "2", "3", "4"}).toStringList(),
            settings.value(QStringLiteral("recordFolder"), QDir(documents).filePath(QStringLiteral("Vantelo")))
                .toString(),
            std::clamp(settings.value(QStringLiteral("bootSeconds"), 15.0).toDouble(), 1.0, 600.0)};
}

void WriteWindowSettings(QSettings& settings, const WindowSettings& remembered)
{
    settings.setValue(QStringLiteral("ports"), remembered.ports);
    settings.setValue(QStringLiteral("recordFolder"), remembered.recordFolder);
    settings.setValue(QStringLiteral("bootSeconds"), remembered.bootSeconds);
}

QString DailyRecord(const QString& folder, QDate day)
{
    return QDir(folder).filePath(QStringLiteral("records-%1.jsonl").arg(day.toString(Qt::ISODate)));
}

} // namespace vantelo::station
