#include "station/report/RunReport.h"

#include "station/report/ShiftReport.h"

#include <QFile>

#include <unordered_set>

namespace vantelo::station {

int RunReport(const ReportOptions& options, std::FILE* out, std::FILE* err)
{
    ShiftReport report(options.by);
    // A file given twice, or copied into two folders, counts once.
    std::unordered_set<QString> seen;
    int status = 0;
    for (const QString& path : options.files) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(err, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
            status = 1;
            continue;
        }
        int number = 0;
        const auto take = [&](std::string_view line) {
            ++number;
            if (line.find_first_not_of(" \t\r") == std::string_view::npos)
                return;
            const auto entry = ReadRecordLine(line);
            if (!entry) {
                std::fprintf(err, "%s:%d: not a record line\n", qPrintable(path), number);
                report.Unreadable();
            } else if ((!options.since.isValid() || entry->time >= options.since) &&
                       (!options.until.isValid() || entry->time < options.until) && seen.insert(entry->id).second) {
                report.Add(*entry);
            }
        };
        // Read in large pieces: a year of a line is a million lines.
        QByteArray pending;
        while (!file.atEnd()) {
            const QByteArray piece = file.read(1 << 20);
            if (piece.isEmpty()) {
                std::fprintf(err, "%s: %s\n", qPrintable(path), qPrintable(file.errorString()));
                status = 1;
                break;
            }
            pending += piece;
            qsizetype start = 0;
            for (qsizetype end; (end = pending.indexOf('\n', start)) >= 0; start = end + 1)
                take(std::string_view(pending.constData() + start, static_cast<std::size_t>(end - start)));
            pending.remove(0, start);
        }
        if (!pending.isEmpty())
            take(std::string_view(pending.constData(), static_cast<std::size_t>(pending.size())));
    }
    std::fputs((options.csv ? report.Csv() : report.Text()).toUtf8().constData(), out);
    return status;
}

} // namespace vantelo::station
