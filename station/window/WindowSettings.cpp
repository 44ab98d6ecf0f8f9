#include "station/window/WindowSettings.h"

#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <algorithm>

namespace vantelo::station {

WindowSettings ReadWindowSettings(QSettings& settings)
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return {
        settings.value(QStringLiteral("ports"), QStringList{"1", "2", "3", "4"}).toStringList(),
        settings.value(QStringLiteral("recordFolder"), QDir(documents).filePath(QStringLiteral("Vantelo"))).toString(),
        std::clamp(settings.value(QStringLiteral("bootSeconds"), 15.0).toDouble(), 1.0, 600.0),
        settings.value(QStringLiteral("station")).toString().trimmed(),
        settings.value(QStringLiteral("askOperator"), false).toBool()};
}

void WriteWindowSettings(QSettings& settings, const WindowSettings& remembered)
{
    settings.setValue(QStringLiteral("ports"), remembered.ports);
    settings.setValue(QStringLiteral("recordFolder"), remembered.recordFolder);
    settings.setValue(QStringLiteral("bootSeconds"), remembered.bootSeconds);
    settings.setValue(QStringLiteral("station"), remembered.station);
    settings.setValue(QStringLiteral("askOperator"), remembered.askOperator);
}

QString DailyRecord(const QString& folder, const QString& station, QDate day)
{
    // The station's name keeps two benches' files apart in one shared folder;
    // only characters every file system takes.
    QString name = station;
    for (QChar& c : name) {
        if (!c.isLetterOrNumber() && c != u'-' && c != u'.')
            c = u'_';
    }
    return QDir(folder).filePath(QStringLiteral("records-%1-%2.jsonl").arg(name, day.toString(Qt::ISODate)));
}

} // namespace vantelo::station
