// A year of a line's records read back: one million lines from eight
// stations through --report, timed against the few seconds it may take.

#include "station/report/ReportOptions.h"
#include "station/report/RunReport.h"

#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>

using namespace vantelo::station;

int main()
{
    constexpr int Lines = 1'000'000;
    constexpr double TargetSeconds = 3.0;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("year.jsonl"));
    {
        std::ofstream file(path.toStdString());
        for (int i = 0; i < Lines; ++i) {
            const int day = 1 + i / 2800 % 28, hour = i / 120 % 24, minute = i % 60;
            const bool failed = i % 37 == 0;
            char line[512];
            std::snprintf(
                line, sizeof line,
                R"({"schema":2,"id":"%08d-0000-4000-8000-000000000000","time":"2026-%02d-%02dT%02d:%02d:00.000Z",)"
                R"("station":"Bench%d","operator":"op%d","lot":"L%d","program":"vantelo-station 1.0",)"
                R"("port":"COM%d","device":"/dev/ttyS%d","pod_type":1,"pod_name":"Lumo Plus","version":"1.12",)"
                R"("file":"Lumo.TXF","sha256":"ab12","result":"%s","messages":[%s],"retries":0,"seconds":%d.%03d})"
                "\n",
                i, 1 + i / 84000 % 12, day, hour, minute, i % 8, i % 5, i / 5000, 1 + i % 4, i % 4,
                failed ? "failed" : "programmed", failed ? R"("Error!  6: No reply to download")" : "", 40 + i % 7,
                i % 1000);
            file << line;
        }
    }
    ReportOptions options;
    options.files = {path};
    options.by = {QStringLiteral("day"), QStringLiteral("station")};
    std::FILE* sink = std::tmpfile();
    const auto start = std::chrono::steady_clock::now();
    const std::clock_t cpuStart = std::clock();
    RunReport(options, sink, stderr);
    const double cpu = double(std::clock() - cpuStart) / CLOCKS_PER_SEC;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    std::fclose(sink);
    // CPU time too: on a busy machine the wall time says more about the others.
    std::printf("report, %d lines                  %8.3f s   target %6.3f s   ratio %.4f\n", Lines, took.count(),
                TargetSeconds, took.count() / TargetSeconds);
    std::printf("  CPU time                                %8.3f s   ratio %.4f\n", cpu, cpu / TargetSeconds);
    return 0;
}
