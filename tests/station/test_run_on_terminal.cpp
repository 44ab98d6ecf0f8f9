#include "catalogue/RegisterPod.h"
#include "station/terminal/RunOnTerminal.h"
#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace vantelo::station {
namespace {

// The terminal front end run in-process: what it refuses and why its exit
// status is what it is, each said where the user looks.
TEST(RunOnTerminal, SaysWhyItEndsAsItDoes)
{
    QTemporaryDir dir;
    const QString file = dir.filePath("Lumo.TXF");
    ASSERT_TRUE(testing::WriteFile(file, testing::ConfigFileBytes(1, 32).toStdString()));
    const QString missingPort = dir.filePath("ttyGone");
    const struct {
        QStringList arguments;
        int status;
        std::string out; // said on the board or in its summary
        std::string err; // said as a refusal
    } rows[] = {
        {{"--port", missingPort, dir.filePath("None.TXF")}, 2, "", "None.TXF"},
        {{"--port", missingPort, "--expect-sha256", QString(64, u'0'), file},
         2,
         "",
         "is not the released configuration"},
        {{"--port", missingPort, "--record", dir.path(), file}, 1, "", dir.path().toStdString()},
        {{"--port", missingPort, file}, 1, "Exit status 1: " + missingPort.toStdString() + " could not be opened.", ""},
    };
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        QString error;
        const auto options = ParseStationOptions(row.arguments, {}, error);
        ASSERT_TRUE(options) << error.toStdString();
        const std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::tmpfile(), std::fclose),
            err(std::tmpfile(), std::fclose);
        EXPECT_EQ(RunOnTerminal(*options, podTypes, out.get(), err.get()), row.status);
        const std::string said = testing::Contents(out.get()), refused = testing::Contents(err.get());
        EXPECT_NE(said.find(row.out), std::string::npos) << said;
        EXPECT_NE(refused.find(row.err), std::string::npos) << refused;
        EXPECT_EQ(said.empty(), row.out.empty()) << "a refusal draws no board";
    }
}

} // namespace
} // namespace vantelo::station
