#include "support/SimFixture.h"

#include "programming/ConfigurePod.h"

#include <ranges>

namespace vantelo {
namespace {

using sim::LateAnswer;
using sim::Millisecond;

constexpr std::uint8_t Block = 0x11, SecondaryByte = 0x44, Restart = 0x33;

// A pod whose answers come after their time-out (a slow flash write) and
// which later refuses something once: judged by what the pod itself holds,
// the sequence succeeds exactly when the pod has the whole image, the whole
// table and a restart after them, and otherwise says why, once.
class LateAnswers : public testing::SimFixture {
protected:
    LateAnswers()
    {
        for (std::size_t i = 0; i < buffers.download_buffer.size(); ++i)
            buffers.download_buffer[i] = static_cast<std::uint8_t>(i * 29 + 1);
        for (std::size_t i = 0; i < buffers.secondary_buffer.size(); ++i)
            buffers.secondary_buffer[i] = static_cast<std::uint8_t>(i * 7 + 3);
        buffers.download_length = 80; // blocks 0 to 9
    }

    bool PodHoldsEverything(const sim::Pod& pod, std::uint8_t type) const
    {
        const auto image = std::span(buffers.download_buffer).first(80);
        return std::ranges::equal(pod.Image(), image) &&
               (type != 13 || std::ranges::equal(pod.secondary() | std::views::values, buffers.secondary_buffer)) &&
               pod.programmed() >= 1;
    }

    TransferBuffers buffers;
};

TEST_F(LateAnswers, CountOnlyForTheirOwnRequest)
{
    const QString sent = "All sent ok: Program another pod";
    const struct {
        const char* pod;
        std::uint8_t type; // 1: image only; 13: image and table
        std::vector<LateAnswer> late;
        std::function<void(sim::PodFaults&)> refuses;
        std::vector<QString> messages;
    } rows[] = {
        // clang-format off
        {"block 3 just after its time-out", 1, {{Block, 3, 1, 560 * Millisecond}},
         [](auto& f) { f.refuseBlock = 6, f.refuseBlockTimes = 1; }, {sent}},
        {"block 3 late within the bound", 1, {{Block, 3, 1, 990 * Millisecond}},
         [](auto& f) { f.refuseBlock = 6, f.refuseBlockTimes = 1; }, {sent}},
        {"block 3 late twice in a row", 1, {{Block, 3, 2, 560 * Millisecond}},
         [](auto& f) { f.refuseBlock = 4, f.refuseBlockTimes = 1; }, {sent}},
        {"every block just at its time-out", 1, {{Block, -1, 1000, 495 * Millisecond}},
         [](auto& f) { f.refuseBlock = 6, f.refuseBlockTimes = 1; }, {sent}},
        {"the last block, then the restart unanswered", 1, {{Block, 9, 1, 560 * Millisecond}},
         [](auto& f) { f.ignoreRestarts = 1; }, {sent}},
        {"block 3, then block 6 refused for good", 1, {{Block, 3, 1, 560 * Millisecond}},
         [](auto& f) { f.refuseBlock = 6, f.refuseBlockTimes = 4; }, {"Error!  6: Reply to download failed"}},
        {"the last block, then a table byte", 13, {{Block, 9, 2, 560 * Millisecond}},
         [](auto& f) { f.refuseSecondaryAddress = 0, f.refuseSecondaryTimes = 1; }, {sent}},
        {"a table byte twice in a row", 13, {{SecondaryByte, 10, 2, 560 * Millisecond}},
         [](auto& f) { f.refuseSecondaryAddress = 11, f.refuseSecondaryTimes = 1; }, {sent}},
        {"the last table byte twice in a row", 13, {{SecondaryByte, 255, 2, 560 * Millisecond}},
         [](auto&) {}, {sent}},
        {"the table's restart", 13, {{Restart, 0, 1, 150 * Millisecond}},
         [](auto& f) { f.refuseSecondaryAddress = 0, f.refuseSecondaryTimes = 1; }, {sent}},
        {"the closing restart", 13, {{Restart, 1, 1, 150 * Millisecond}},
         [](auto& f) { f.refuseBlock = 6, f.refuseBlockTimes = 1; }, {sent}},
        // clang-format on
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        sim::PodModel model = testing::PodModelOf(row.type == 13 ? 0xDD : 0x22);
        model.faults.late = row.late;
        row.refuses(model.faults);
        sim::Pod pod(model);
        line.Connect(1, pod);
        msgBox.calls.clear();
        Configure_Pod(link, false, row.type, buffers);
        EXPECT_EQ(Messages(), row.messages);
        EXPECT_EQ(PodHoldsEverything(pod, row.type), row.messages == std::vector<QString>{sent});
    }
}

} // namespace
} // namespace vantelo
