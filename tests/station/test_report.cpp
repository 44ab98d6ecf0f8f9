#include "station/report/ReportOptions.h"
#include "station/report/RunReport.h"
#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>

namespace vantelo::station {
namespace {

using testing::Contents;

// Two benches' files, one copied into the other's folder, a version 1 line
// and a line cut short: counted, medians and yields as worked out by hand.
TEST(Report, CountsEachPodOnceByItsKeys)
{
    QTemporaryDir dir;
    const auto line = [](const char* id, const char* time, const char* station, const char* result, int seconds,
                         const char* message = nullptr) {
        return std::string(R"({"schema":2,"id":")") + id + R"(","time":")" + time + R"(","station":")" + station +
               R"(","lot":"L7","operator":"ann","pod_type":1,"file":"Lumo.TXF","result":")" + result +
               R"(","seconds":)" + std::to_string(seconds) + R"(,"messages":[)" +
               (message ? std::string("\"") + message + "\"" : std::string()) + "]}\n";
    };
    const std::string bench1 =
        line("a", "2026-12-07T11:00:00.000Z", "B1", "programmed", 40) +
        line("b", "2026-12-07T11:05:00.000Z", "B1", "failed", 12, "Error!  6: No reply to download") +
        line("c", "2026-12-07T11:10:00.000Z", "B1", "programmed", 50) +
        line("d", "2026-12-07T11:15:00.000Z", "B1", "skipped", 1) +
        R"({"time":"2026-12-06T12:00:00.000Z","port":"COM1","pod_type":1,"result":"interrupted","seconds":30,"messages":[]})"
        "\n"
        R"({"time":"2026-12-07T11:20:0)"
        "\n";
    const std::string bench2 =
        line("e", "2026-12-07T12:00:00.000Z", "B2", "programmed", 41) +
        line("f", "2026-12-07T12:05:00.000Z", "B2", "failed", 9, "Error!  6: No reply to download");
    const QString one = dir.filePath("bench1.jsonl"), two = dir.filePath("bench2.jsonl");
    std::ofstream(one.toStdString()) << bench1;
    std::ofstream(two.toStdString()) << bench2;

    const struct {
        QStringList arguments;
        std::string out;
        int status = 0;
    } rows[] = {
        {{"--by", "station", one, two, one},
         "station  programmed  failed  skipped  interrupted  yield  median s\n"
         "-                 0       0        0            1   0.0%      30.0\n"
         "B1                2       1        1            0  66.7%      40.0\n"
         "B2                1       1        0            0  50.0%      25.0\n"
         "\nFailures by message:\n     2  Error!  6: No reply to download\n"
         "\n2 lines could not be read (listed on standard error)\n"},
        {{"--report", "--by", "day,lot", "--since", "2026-12-07", "--csv", one},
         "day,lot,programmed,failed,skipped,interrupted,yield,median s\n"
         "2026-12-07,L7,2,1,1,0,66.7,40.0\n"
         "\nmessage,failures\nError!  6: No reply to download,1\n\nunreadable lines,1\n"},
        {{"--until", "2026-12-06", "--by", "pod_type", one},
         "pod_type  programmed  failed  skipped  interrupted  yield  median s\n"
         "1                  0       0        0            1   0.0%      30.0\n"
         "\nFailures by message:\n  none\n\n1 lines could not be read (listed on standard error)\n"},
        {{one, dir.filePath("missing.jsonl")}, {}, 1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        QString error;
        const auto options = ParseReportOptions(row.arguments, error);
        ASSERT_TRUE(options) << error.toStdString();
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        EXPECT_EQ(RunReport(*options, out, err), row.status);
        if (!row.out.empty()) {
            EXPECT_EQ(Contents(out), row.out);
        }
        EXPECT_NE(Contents(err).find("bench1.jsonl:6: not a record line"), std::string::npos);
        std::fclose(out), std::fclose(err);
    }

    for (const QStringList& bad :
         {QStringList{"--report"}, QStringList{"--by", "colour", one}, QStringList{"--since", "yesterday", one},
          QStringList{"--csv", "--frob", one}, QStringList{one, "--until"}}) {
        QString error;
        EXPECT_FALSE(ParseReportOptions(bad, error)) << bad.join(' ').toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
}

} // namespace
} // namespace vantelo::station
