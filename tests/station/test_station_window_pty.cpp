#include "PodsimProcess.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/Within.h"

#include "catalogue/RegisterPod.h"
#include "station/window/StationWindow.h"

#include <QProgressBar>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantelo::station {
namespace {

using namespace std::chrono_literals;
using testing::Within;

// Closing the window while a pod is being written asks first; No leaves it
// running, Yes stops at once, records the pod as interrupted and closes.
TEST(StationWindowPty, ClosingWhileAPodIsWrittenAsksThenStopsAtOnce)
{
    QTemporaryDir dir;
    // 30,000 bytes at 2,400 baud: minutes of writing.
    PodsimProcess podsim{QStringLiteral(PODSIM_PROGRAM), {"--port", "1:type=1,version=1.12,baud=2400"}};
    const QString file = dir.filePath("Bench1.TXF");
    ASSERT_TRUE(testing::WriteFile(file, testing::ConfigFileBytes(1, 30000).toStdString()));
    QSettings settings(dir.filePath("settings.ini"), QSettings::IniFormat);
    testing::ScriptedFileDialog files;
    testing::ScriptedMsgBox boxes;
    QString error;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    const QString record = dir.filePath("record.jsonl");
    StationWindow window(podTypes, {*ParsePorts({"1"}, error), record}, settings, files, boxes);
    window.show();
    ASSERT_TRUE(window.LoadFile(file));
    window.Start();
    ASSERT_TRUE(Within([&] { return window.findChild<QProgressBar*>()->value() > 0; }, 20s));

    window.close();
    ASSERT_EQ(boxes.calls.size(), 1u);
    EXPECT_EQ(boxes.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_FALSE(Within([&] { return !window.Running(); }, 500ms)) << "No leaves the pod being written";
    EXPECT_TRUE(window.isVisible());

    boxes.answers = {MsgAnswer::Yes};
    window.close();
    ASSERT_TRUE(Within([&] { return !window.isVisible(); }, 5s));
    EXPECT_FALSE(window.Running());
    EXPECT_NE(testing::ReadFile(record).find(R"("result":"interrupted")"), std::string::npos);
}

} // namespace
} // namespace vantelo::station
