#pragma once

#include "station/report/RecordEntry.h"
#include "station/report/ReportOptions.h"

#include <QHash>
#include <QStringList>

#include <map>
#include <vector>

namespace vantelo::station {

// Pods counted by group (day, station, lot, ...), and failures by message.
class ShiftReport {
public:
    // `by`: keys of ReportKeys.
    explicit ShiftReport(QStringList by);

    void Add(const RecordEntry& entry);
    void Unreadable() { ++unreadable_; }

    // Aligned columns for a terminal, or comma-separated for a spreadsheet.
    QString Text() const;
    QString Csv() const;

private:
    struct Tally {
        int programmed = 0, failed = 0, skipped = 0, interrupted = 0;
        std::vector<double> seconds; // of the pods written, whatever their result
    };
    QString KeyOf(const RecordEntry& entry, qsizetype key);
    QString LocalDay(const QDateTime& time);
    // Header, then one row a group, each cell as text.
    std::vector<QStringList> Rows(bool forCsv) const;
    std::vector<std::pair<QString, int>> FailuresByCount() const;

    QStringList by_;
    std::vector<qsizetype> keys_;      // indexes into ReportKeys
    QHash<QStringList, Tally> groups_; // sorted only when printed
    std::map<QString, int> failures_;
    int unreadable_ = 0;
    qint64 dayQuarter_ = -1; // of the last day worked out
    QString day_;
};

} // namespace vantelo::station
