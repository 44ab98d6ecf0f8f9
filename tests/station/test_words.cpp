#include "station/StationWords.h"

#include <gtest/gtest.h>

namespace vantelo::station {
namespace {

using namespace std::chrono_literals;

// The station's words for a port's states, as the tiles, the terminal and
// the record say them.
TEST(StationWords, SayEachStateTheSameEverywhere)
{
    const auto now = BoardClock::now();
    const struct {
        PortPhase phase;
        PodStep step;
        std::optional<PodResult> latched;
        const char* status;       // the tile's line
        const char* latchedWords; // the terminal's, for a result
        const char* call;
    } rows[] = {
        {PortPhase::Writing, PodStep::IrMicro, {}, "programming the IR micro", "", ""},
        {PortPhase::Writing, PodStep::Restarting, {}, "restarting", "", ""},
        {PortPhase::Ready, PodStep::Programming, {}, "ready: put the next pod on", "", "READY"},
        {PortPhase::TakeOff, PodStep::Programming, PodResult::Failed, "failed: No reply", "FAILED (1:05 ago): No reply",
         "TAKE OFF"},
        {PortPhase::Changed, PodStep::Programming, PodResult::Skipped, "skipped: another type",
         "skipped: another type (1:05 ago)", "POD CHANGED?"},
        {PortPhase::Restarting, PodStep::SecondaryTable, PodResult::Interrupted, "interrupted",
         "INTERRUPTED (1:05 ago)", ""},
        {PortPhase::Halted, PodStep::Programming, {}, "stopped: the record cannot be written", "", ""},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.status);
        PortState port;
        port.phase = row.phase;
        port.step = row.step;
        port.latched = row.latched;
        port.firstMessage = QStringLiteral("No reply");
        port.latchedAt = now - 65s;
        EXPECT_EQ(StatusWords(port), row.status);
        if (row.latched) {
            EXPECT_EQ(LatchedWords(port, now), row.latchedWords);
            EXPECT_EQ(ResultNamed(ResultName(*row.latched)), row.latched) << "the record's word reads back";
        }
        EXPECT_EQ(CallWords(row.phase), row.call);
    }
    EXPECT_EQ(ResultNamed("Programmed"), std::nullopt);

    EXPECT_EQ(YieldText({{0, 0, 3, 0}}), "-") << "skipped pods make no yield";
}

} // namespace
} // namespace vantelo::station
