#include "station/report/ShiftReport.h"

#include <algorithm>

namespace vantelo::station {

namespace {

} // namespace

// Local offsets are whole quarters of an hour: one conversion serves a quarter.
QString ShiftReport::LocalDay(const QDateTime& time)
{
    constexpr qint64 Quarter = 15 * 60 * 1000;
    const qint64 quarter = time.toMSecsSinceEpoch() / Quarter;
    if (quarter != dayQuarter_) {
        dayQuarter_ = quarter;
        day_ = time.toLocalTime().date().toString(Qt::ISODate);
    }
    return day_;
}

ShiftReport::ShiftReport(QStringList by) : by_(std::move(by))
{
    for (const QString& key : by_)
        keys_.push_back(ReportKeys.indexOf(key));
}

QString ShiftReport::KeyOf(const RecordEntry& entry, qsizetype key)
{
    if (key == 0)
        return LocalDay(entry.time);
    const QString* const values[] = {&entry.station, &entry.lot, &entry.operator_, &entry.podType, &entry.file};
    const QString& value = *values[key - 1]; // in the order of ReportKeys
    return value.isEmpty() ? QStringLiteral("-") : value;
}

namespace {

double Median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 != 0)
        return *middle;
    return (*middle + *std::max_element(values.begin(), middle)) / 2;
}

// A spreadsheet's cell: quoted when it holds a comma, a quote or a line end.
QString CsvCell(QString text)
{
    if (!text.contains(u',') && !text.contains(u'"') && !text.contains(u'\n'))
        return text;
    return u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
}

} // namespace

void ShiftReport::Add(const RecordEntry& entry)
{
    QStringList key;
    for (const qsizetype index : keys_)
        key << KeyOf(entry, index);
    Tally& tally = groups_[key];
    switch (entry.result) {
    case PodResult::Programmed:
        ++tally.programmed;
        break;
    case PodResult::Failed:
        ++tally.failed;
        break;
    case PodResult::Skipped:
        ++tally.skipped;
        break;
    case PodResult::Interrupted:
        ++tally.interrupted;
        break;
    }
    if (entry.result != PodResult::Skipped)
        tally.seconds.push_back(entry.seconds);
    if (entry.result == PodResult::Failed)
        ++failures_[entry.message.isEmpty() ? QStringLiteral("(no message)") : entry.message];
}

std::vector<QStringList> ShiftReport::Rows(bool forCsv) const
{
    std::vector<QStringList> rows;
    rows.push_back(by_ + QStringList{QStringLiteral("programmed"), QStringLiteral("failed"), QStringLiteral("skipped"),
                                     QStringLiteral("interrupted"), QStringLiteral("yield"),
                                     QStringLiteral("median s")});
    QList<QStringList> keys = groups_.keys();
    std::sort(keys.begin(), keys.end());
    for (const QStringList& key : keys) {
        const Tally& tally = *groups_.constFind(key);
        const int written = tally.programmed + tally.failed + tally.interrupted;
        const QString yield = written == 0 ? (forCsv ? QString() : QStringLiteral("-"))
                                           : QString::number(100.0 * tally.programmed / written, 'f', 1) +
                                                 (forCsv ? QString() : QStringLiteral("%"));
        rows.push_back(key + QStringList{QString::number(tally.programmed), QString::number(tally.failed),
                                         QString::number(tally.skipped), QString::number(tally.interrupted), yield,
                                         QString::number(Median(tally.seconds), 'f', 1)});
    }
    return rows;
}

std::vector<std::pair<QString, int>> ShiftReport::FailuresByCount() const
{
    std::vector<std::pair<QString, int>> failures(failures_.begin(), failures_.end());
    std::stable_sort(failures.begin(), failures.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    return failures;
}

QString ShiftReport::Text() const
{
    const auto rows = Rows(false);
    std::vector<qsizetype> widths(rows.front().size(), 0);
    for (const QStringList& row : rows)
        for (qsizetype i = 0; i < row.size(); ++i)
            widths[static_cast<std::size_t>(i)] = std::max(widths[static_cast<std::size_t>(i)], row[i].size());
    QString text;
    for (const QStringList& row : rows) {
        QStringList cells;
        for (qsizetype i = 0; i < row.size(); ++i) {
            const auto width = widths[static_cast<std::size_t>(i)];
            // Keys to the left, counts to the right.
            cells << (i < by_.size() ? row[i].leftJustified(width) : row[i].rightJustified(width));
        }
        text += cells.join(QStringLiteral("  ")).trimmed() + u'\n';
    }
    text += QStringLiteral("\nFailures by message:\n");
    if (failures_.empty())
        text += QStringLiteral("  none\n");
    for (const auto& [message, count] : FailuresByCount())
        text += QStringLiteral("%1  %2\n").arg(count, 6).arg(message);
    if (unreadable_ > 0)
        text += QStringLiteral("\n%1 lines could not be read (listed on standard error)\n").arg(unreadable_);
    return text;
}

QString ShiftReport::Csv() const
{
    QString text;
    for (const QStringList& row : Rows(true)) {
        QStringList cells;
        for (const QString& cell : row)
            cells << CsvCell(cell);
        text += cells.join(u',') + u'\n';
    }
    text += QStringLiteral("\nmessage,failures\n");
    for (const auto& [message, count] : FailuresByCount())
        text += CsvCell(message) + u',' + QString::number(count) + u'\n';
    if (unreadable_ > 0)
        text += QStringLiteral("\nunreadable lines,%1\n").arg(unreadable_);
    return text;
}

} // namespace vantelo::station
