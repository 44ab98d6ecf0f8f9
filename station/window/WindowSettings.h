#pragma once

#include <QDate>
#include <QStringList>

class QSettings;

namespace vantelo::station {

// What the window remembers in the user's settings.
struct WindowSettings {
    QStringList ports;        // as given: "3", "/dev/ttyUSB0"
    QString recordFolder;     // where a record per day is kept
    double bootSeconds = 15;  // the longest a pod may boot
    QString station;          // the bench in record lines; empty: the host's name
    bool askOperator = false; // who operates is asked at every Start
};

// COM1 to COM4 and the documents folder's Vantelo when nothing is remembered.
WindowSettings ReadWindowSettings(QSettings& settings);
void WriteWindowSettings(QSettings& settings, const WindowSettings& remembered);

// The record of `station` on `day` (local) in `folder`: records-STATION-YYYY-MM-DD.jsonl.
QString DailyRecord(const QString& folder, const QString& station, QDate day);

} // namespace vantelo::station
