#include "platform/store/FileSettingsStore.h"
#include "station/StationOptions.h"
#include "support/Files.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantelo::station {
namespace {

// The machine's settings beside the command line: locked when either says so,
// both released hashes checked, the machine's file and ports only where the
// command line names none.
TEST(StationOptions, TheMachinesOperatorModeBesideTheCommandLine)
{
    const QString a(64, u'a'), b(64, u'B');
    const OperatorMode machine{true, b, "/srv/Released.TXF", {"3", "7"}};
    const struct {
        QStringList arguments;
        OperatorMode machine;
        bool locked;
        QStringList released;
        QString file;
        QStringList ports; // empty: refused
    } rows[] = {
        {{"--locked", "--expect-sha256", a.toUpper(), "f.TXF"},
         {},
         true,
         {a},
         "f.TXF",
         {"COM1", "COM2", "COM3", "COM4"}},
        {{"--window"}, machine, true, {b.toLower()}, "/srv/Released.TXF", {"COM3", "COM7"}},
        {{"--expect-sha256", a, "--port", "2", "mine.TXF"}, machine, true, {a, b.toLower()}, "mine.TXF", {"COM2"}},
        {{"--expect-sha256", a.left(63), "f.TXF"}, {}, false, {}, {}, {}},
        {{"f.TXF"}, {false, "12ab", {}, {}}, false, {}, {}, {}},
        {{"f.TXF"}, {false, {}, {}, {"0"}}, false, {}, {}, {}},
        {{}, {}, false, {}, {}, {}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.arguments.join(' ').toStdString());
        QString error;
        const auto options = ParseStationOptions(row.arguments, row.machine, error);
        ASSERT_EQ(options.has_value(), !row.ports.isEmpty()) << error.toStdString();
        if (!options)
            continue;
        EXPECT_EQ(options->locked, row.locked);
        EXPECT_EQ(options->released, row.released);
        EXPECT_EQ(options->file, row.file);
        QStringList ports;
        for (const StationPort& port : options->ports)
            ports << port.name;
        EXPECT_EQ(ports, row.ports);
    }
}

// What a supervisor writes into the machine's settings, read back; another
// key's values and values of the wrong kind are not taken.
TEST(StationOptions, OperatorModeFromTheMachinesSettings)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("registry.reg");
    ASSERT_TRUE(testing::WriteFile(path, "Windows Registry Editor Version 5.00\n\n"
                                         "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Station]\n"
                                         "\"Locked\"=dword:00000002\n\"Released\"=\" ab12 \"\n"
                                         "\"Configuration\"=\"/srv/Lumo 2.TXF\"\n\"Ports\"=\" 1  /dev/ttyUSB0 \"\n"
                                         "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Other]\n"
                                         "\"Locked\"=dword:00000000\n"));
    FileSettingsStore store(path);
    const OperatorMode mode = ReadOperatorMode(store);
    EXPECT_TRUE(mode.locked);
    EXPECT_EQ(mode.released, "ab12");
    EXPECT_EQ(mode.configuration, "/srv/Lumo 2.TXF");
    EXPECT_EQ(mode.ports, QStringList({"1", "/dev/ttyUSB0"}));

    ASSERT_TRUE(testing::WriteFile(path, "Windows Registry Editor Version 5.00\n\n"
                                         "[HKEY_LOCAL_MACHINE\\Software\\Zantor\\Trellins\\Station]\n"
                                         "\"Locked\"=\"1\"\n"));
    FileSettingsStore text(path);
    EXPECT_FALSE(ReadOperatorMode(text).locked) << "a text is not a number";
}

} // namespace
} // namespace vantelo::station
