#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <optional>

namespace vantelo::station {

struct ReportOptions {
    QStringList files;
    QStringList by = {QStringLiteral("day"), QStringLiteral("station")};
    QDateTime since, until; // invalid: open
    bool csv = false;
};

// The keys a report can group by.
extern const QStringList ReportKeys;

// The arguments after the program name, --report among them; nothing, with
// `error` set, when they are not a report the station understands.
std::optional<ReportOptions> ParseReportOptions(const QStringList& arguments, QString& error);

} // namespace vantelo::station
