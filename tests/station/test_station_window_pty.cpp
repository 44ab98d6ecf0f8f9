#include "PodsimProcess.h"
#include "support/Files.h"
#include "support/ScriptedDialogs.h"
#include "support/Within.h"

#include "catalogue/RegisterPod.h"
#include "station/window/StationWindow.h"

#include <QCryptographicHash>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace vantelo::station {
namespace {

using namespace std::chrono_literals;
using testing::Within;

// What a station window on COM1 stands among: podsim's pod, a configuration
// of `length` bytes, settings of its own and scripted dialogs.
struct Surroundings {
    Surroundings(const char* pod, std::int32_t length) : podsim{QStringLiteral(PODSIM_PROGRAM), {"--port", pod}}
    {
        EXPECT_TRUE(testing::WriteFile(file, testing::ConfigFileBytes(1, length).toStdString()));
    }
    StationWindow Window(const QString& record, WindowStart start = {})
    {
        QString error;
        start.ports = *ParsePorts({"1"}, error);
        start.record = record;
        return StationWindow(podTypes, start, settings, files, boxes, prompts);
    }

    QTemporaryDir dir;
    PodsimProcess podsim;
    const QString file = dir.filePath("Bench1.TXF");
    QSettings settings{dir.filePath("settings.ini"), QSettings::IniFormat};
    testing::ScriptedFileDialog files;
    testing::ScriptedMsgBox boxes;
    testing::ScriptedTextPrompt prompts;
    const PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
};

// Closing the window while a pod is being written asks first; No leaves it
// running, Yes stops at once, records the pod as interrupted and closes.
TEST(StationWindowPty, ClosingWhileAPodIsWrittenAsksThenStopsAtOnce)
{
    // 30,000 bytes at 2,400 baud: minutes of writing.
    Surroundings at("1:type=1,version=1.12,baud=2400", 30000);
    auto& boxes = at.boxes;
    const QString record = at.dir.filePath("record.jsonl");
    StationWindow window = at.Window(record);
    window.show();
    ASSERT_TRUE(window.LoadFile(at.file));
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

// A shift on one port: a pod left on across Stop and Start is not recorded
// again and the totals stay until New shift, which asks first; a record that
// cannot be written puts a banner up, clears the green and ends with status 1.
TEST(StationWindowPty, AShiftOutlivesStopAndStartButNotALostRecord)
{
    Surroundings at("1:type=1", 32);
    auto& boxes = at.boxes;
    for (const QString& record : {at.dir.filePath("record.jsonl"), QStringLiteral("/dev/full")}) {
        SCOPED_TRACE(record.toStdString());
        StationWindow window = at.Window(record);
        const auto text = [&](const char* name) { return window.findChild<QLabel*>(name)->text(); };
        const auto* tile = window.findChild<QFrame*>("COM1");
        ASSERT_TRUE(tile) << "the ports' tiles before any start";
        ASSERT_TRUE(window.LoadFile(at.file));
        window.Start();
        if (record == "/dev/full") {
            ASSERT_TRUE(Within([&] { return !window.Running(); }, 30s));
            EXPECT_TRUE(window.findChild<QLabel*>("banner")->isVisibleTo(&window));
            EXPECT_EQ(tile->property("look").toString(), "unopened") << "no green left";
            EXPECT_EQ(window.ExitStatus(), 1);
            continue;
        }
        ASSERT_TRUE(Within([&] { return text("call") == "TAKE OFF"; }, 30s));
        window.Stop();
        ASSERT_TRUE(Within([&] { return !window.Running(); }, 5s));
        window.Start();
        ASSERT_TRUE(Within([&] { return text("call") == "TAKE OFF"; }, 10s)) << "the pod still on is known";
        window.Stop();
        ASSERT_TRUE(Within([&] { return !window.Running(); }, 5s));
        EXPECT_EQ(testing::ReadFile(record).size(), testing::ReadFile(record).find('\n') + 1) << "one line";
        EXPECT_TRUE(text("totals").startsWith("Totals: 1 programmed")) << text("totals").toStdString();
        window.findChild<QPushButton*>("New shift")->click(); // answered No
        EXPECT_TRUE(text("totals").startsWith("Totals: 1 programmed"));
        boxes.answers = {MsgAnswer::Yes};
        window.findChild<QPushButton*>("New shift")->click();
        EXPECT_TRUE(text("totals").startsWith("Totals: 0 programmed")) << text("totals").toStdString();
        EXPECT_EQ(boxes.calls.size(), 2u);
        EXPECT_EQ(window.ExitStatus(), 0);
    }
}

// Operator mode: neither Load nor Ports, only the released file; who operates
// is asked at Start, and the bench, the operator and the lot reach the record.
TEST(StationWindowPty, OperatorModeTakesOnlyTheReleasedFileAndRecordsWhoWhereWhich)
{
    Surroundings at("1:type=1", 32);
    const QString released =
        QCryptographicHash::hash(QByteArray::fromStdString(testing::ReadFile(at.file)), QCryptographicHash::Sha256)
            .toHex();
    WriteWindowSettings(at.settings, {{"1"}, at.dir.path(), 15, "Bench 7", true});
    const QString record = at.dir.filePath("record.jsonl");
    {
        StationWindow window = at.Window(record, {{}, {}, {}, {}, true, {QString(64, u'0')}});
        EXPECT_FALSE(window.findChild<QPushButton*>("Load")->isVisibleTo(&window));
        EXPECT_FALSE(window.findChild<QPushButton*>("Ports")->isVisibleTo(&window));
        EXPECT_FALSE(window.LoadFile(at.file));
        EXPECT_EQ(at.boxes.Texts(),
                  std::vector<QString>{"Error!: " + at.file + " is not the released configuration (its SHA-256 is " +
                                       released + ")."});
    }
    StationWindow window = at.Window(record, {{}, {}, {}, {}, true, {released}});
    ASSERT_TRUE(window.LoadFile(at.file));
    window.findChild<QLineEdit*>("lot")->setText(" L-42 ");
    window.Start();
    EXPECT_FALSE(window.Running()) << "the operator cancelled";
    at.prompts.answers = {"Ana"};
    window.Start();
    ASSERT_TRUE(window.Running());
    ASSERT_TRUE(Within([&] { return window.findChild<QLabel*>("call")->text() == "TAKE OFF"; }, 30s));
    window.Stop();
    ASSERT_TRUE(Within([&] { return !window.Running(); }, 5s));
    const QJsonObject line = QJsonDocument::fromJson(QByteArray::fromStdString(testing::ReadFile(record))).object();
    EXPECT_EQ(line["result"], "programmed");
    EXPECT_EQ(line["station"], "Bench 7");
    EXPECT_EQ(line["operator"], "Ana");
    EXPECT_EQ(line["lot"], "L-42");
}

} // namespace
} // namespace vantelo::station
