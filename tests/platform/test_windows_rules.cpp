#include "platform/CommandLine.h"
#include "platform/SystemSerialPort.h"

#include <gtest/gtest.h>

namespace vantelo {
namespace {

// Windows hands the program its whole command line, name included; the
// window wants what the user typed after the name, quotes and all.
TEST(CommandLine, WindowsLineLosesOnlyTheProgramNameAndTheBlanksAfterIt)
{
    const struct {
        const char16_t* line;
        const char16_t* rest;
    } rows[] = {
        {uR"("C:\Program Files\Vantelo\vantelo.exe" "C:\Jobs\Hall 2.TXF")", uR"("C:\Jobs\Hall 2.TXF")"},
        {uR"(vantelo.exe C:\Jobs\Hall2.TXF)", uR"(C:\Jobs\Hall2.TXF)"},
        {u"vantelo.exe \t  -style fusion ", u"-style fusion "},
        {uR"("C:\Program Files\Vantelo\vantelo.exe"Hall2.TXF)", u"Hall2.TXF"},
        {uR"("C:\Program Files\Vantelo\vantelo.exe")", u""},
        {u"vantelo.exe   ", u""},
        {uR"(vantelo.exe ")", uR"(")"},
        {uR"(vantelo.exe "")", uR"("")"},
        {uR"("C:\Program Files\vantelo.exe a)", u""},
    };
    for (const auto& row : rows)
        EXPECT_EQ(AfterProgramName(QStringView(row.line)), QStringView(row.rest))
            << QString::fromUtf16(row.line).toStdString();
}

// A USB adapter on COM7 serves slot 3; the variable wins on every system.
TEST(SerialDevice, EnvironmentNamesThePortsDevice)
{
    qputenv("VANTELO_COM3", "COM7");
    EXPECT_EQ(SerialDeviceName(3), "COM7");
    qunsetenv("VANTELO_COM3");
    EXPECT_NE(SerialDeviceName(3), "COM7");
}

} // namespace
} // namespace vantelo
