#include "station/report/ReportOptions.h"

namespace vantelo::station {

const QStringList ReportKeys = {QStringLiteral("day"),      QStringLiteral("station"),  QStringLiteral("lot"),
                                QStringLiteral("operator"), QStringLiteral("pod_type"), QStringLiteral("file")};

namespace {

// A local date or date and time; a date given as the end means its whole day.
QDateTime LocalTime(const QString& text, bool end)
{
    const QDate date = QDate::fromString(text, Qt::ISODate);
    if (date.isValid())
        return end ? date.addDays(1).startOfDay() : date.startOfDay();
    QString iso = text;
    iso.replace(u' ', u'T');
    QDateTime time = QDateTime::fromString(iso, Qt::ISODate);
    if (time.isValid() && time.timeSpec() == Qt::LocalTime)
        return time;
    return {};
}

} // namespace

std::optional<ReportOptions> ParseReportOptions(const QStringList& arguments, QString& error)
{
    ReportOptions options;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--report") || argument == QLatin1String("--csv")) {
            options.csv = options.csv || argument == QLatin1String("--csv");
            continue;
        }
        if (argument.startsWith(QLatin1String("--"))) {
            const bool known = argument == QLatin1String("--by") || argument == QLatin1String("--since") ||
                               argument == QLatin1String("--until");
            if (!known) {
                error = QStringLiteral("%1 is not an option of --report").arg(argument);
                return std::nullopt;
            }
            if (++i == arguments.size()) {
                error = QStringLiteral("%1 needs a value").arg(argument);
                return std::nullopt;
            }
            const QString& value = arguments[i];
            if (argument == QLatin1String("--by")) {
                options.by = value.split(u',');
                for (const QString& key : options.by) {
                    if (!ReportKeys.contains(key)) {
                        error = QStringLiteral("--by takes keys of %1, not \"%2\"").arg(ReportKeys.join(u','), key);
                        return std::nullopt;
                    }
                }
                continue;
            }
            const bool end = argument == QLatin1String("--until");
            (end ? options.until : options.since) = LocalTime(value, end);
            if (!(end ? options.until : options.since).isValid()) {
                error = QStringLiteral("%1 takes a local date (2026-12-07) or time (2026-12-07T14:00), not \"%2\"")
                            .arg(argument, value);
                return std::nullopt;
            }
            continue;
        }
        options.files << argument;
    }
    if (options.files.isEmpty()) {
        error = QStringLiteral("--report needs at least one record file");
        return std::nullopt;
    }
    return options;
}

} // namespace vantelo::station
