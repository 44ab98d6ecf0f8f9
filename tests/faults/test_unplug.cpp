#include "support/WindowFixture.h"

#include <QFrame>
#include <QLineEdit>
#include <QRadioButton>

namespace vantelo {
namespace {

using sim::Millisecond;

// Notes when the window last touched COM1, when it vanished under it, and
// each frame (wake-up pulse or command byte) it begins on it after that.
struct Watch final : testing::WatchedLine {
    Watch(sim::Line& line, sim::Clock& clock) : WatchedLine(line), clock(clock) {}
    void Used() override
    {
        if (number != 1)
            return;
        if (goneAt < 0 && opened && !line.PortOpen()) // closed, but not by the program
            goneAt = clock.Now();
        lastOnCom1 = clock.Now();
    }
    bool PortOpen(bool open) override
    {
        const bool result = WatchedLine::PortOpen(open);
        opened = open && result && number == 1;
        return result;
    }
    void Setting(const LineSettings& s) override
    {
        begunAfterUnplug += goneAt >= 0 && number == 1 && (s.baud == 110 || s.parity == Parity::Odd);
    }

    sim::Clock& clock;
    bool opened = false;
    sim::Nanos goneAt = -1;
    int begunAfterUnplug = 0;
    sim::Nanos lastOnCom1 = 0;
};

struct Case {
    const char* operation;
    std::uint8_t type; // of the configuration, and of the pod on COM1
    std::int32_t length;
    bool inSearch; // else in the program command
    int bytes, ms; // COM1 vanishes after the pod heard this many bytes, or at this time
    std::vector<QString> messages;
    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.operation; }
};

// Bytes the pod hears: 8 for a probe at 9600, 2 for a restart, 12 for a
// block, 5 for a secondary byte.
const Case Cases[] = {
    {"search", 1, 8, true, 0, 150, {}},
    {"download", 1, 4000, false, 0, 3000, {"Error!  110: No reply to download"}},
    {"closing restart", 1, 16, false, 8 + 24 + 1, 0, {"Error!: No reply to restart"}},
    {"secondary stage's probe",
     13,
     16,
     false,
     8 + 24 + 2 + 4,
     0,
     {"Error!: Failed to Program Velim Pod Secondary configuration"}},
    {"secondary table", 13, 16, false, 8 + 24 + 10 + 5 * 20 + 3, 0, {"Error!: No reply to secondary byte"}},
    // The main micro's selection (pulse, probe, restart), then its pulse, probe and blocks.
    {"main micro's image", 7, 16, false, 10 + 8 + 12 + 6, 0, {"Error!  1: No reply to download"}},
};

// A type 1 pod on COM1 (or one of the case's type), COM3 empty.
class Unplugged : public testing::WindowFixture, public ::testing::WithParamInterface<Case> {
protected:
    Unplugged()
    {
        port = &watch;
        line.Connect(1, pod);
        line.Empty(3);
    }

    Watch watch{line, clock};
    sim::Pod pod{testing::PodModelOf(0x22, 9600, 1, 12)};
    sim::TwoMicroPod twoMicro{testing::PodModelOf(0x88), testing::PodModelOf(0x99)};
};

// A USB adapter pulled out mid-operation: the operation under way ends within
// the pause it is in, says so once, begins nothing more on the port, and
// leaves it closed.
TEST_P(Unplugged, EndsTheOperationUnderWayWithOneMessage)
{
    const Case& c = GetParam();
    SCOPED_TRACE(c.operation);
    pod.model().reply = c.type == 13 ? 0xDD : 0x22;
    if (c.type == 7)
        line.Connect(1, twoMicro);
    const auto unplug = [&] {
        if (c.bytes)
            line.UnplugAfterBytes(c.bytes);
        else
            clock.Schedule(clock.Now() + c.ms * Millisecond, [this] { line.Unplug(1), watch.goneAt = clock.Now(); });
    };
    const auto w = Start();
    if (c.inSearch)
        unplug();
    LoadThroughDialog(*w, ConfigFile("job.TXF", c.type, c.length, 8));
    EXPECT_EQ(w->Option1[0]->isEnabled(), !c.inSearch);
    if (!c.inSearch) {
        w->Option1[0]->click();
        unplug();
        w->ProgramPod_Click();
    }
    EXPECT_EQ(Messages(), c.messages);
    ASSERT_GE(watch.goneAt, 0) << "unplugged under way";
    EXPECT_LE(watch.lastOnCom1 - watch.goneAt, 70 * Millisecond);
    EXPECT_EQ(watch.begunAfterUnplug, 0);
    EXPECT_FALSE(line.PortOpen());
    EXPECT_FALSE(line.rts());
    EXPECT_FALSE(w->PodType[0]->isHidden()) << "COM1 opened";
    EXPECT_FALSE(w->PodType[2]->isHidden()) << "the search went on to COM3";
    EXPECT_FALSE(w->running());
    EXPECT_TRUE(w->PleaseWait->isHidden());
}

INSTANTIATE_TEST_SUITE_P(Operations, Unplugged, ::testing::ValuesIn(Cases));

} // namespace
} // namespace vantelo
