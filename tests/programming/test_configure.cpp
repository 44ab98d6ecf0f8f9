#include "support/SimFixture.h"

#include "programming/ConfigurePod.h"

namespace vantelo {
namespace {

class Configure : public testing::SimFixture {
protected:
    Configure()
    {
        for (std::size_t i = 0; i < buffers.download_buffer.size(); ++i)
            buffers.download_buffer[i] = static_cast<std::uint8_t>(i ^ 0x5A);
        buffers.download_length = 40;
    }

    TransferBuffers buffers;
};

TEST_F(Configure, OrdinaryPodIsSentRestartedAndAsked)
{
    msgBox.answers = {MsgAnswer::Yes};
    EXPECT_EQ(Configure_Pod(link, false, 1, buffers), ProgramAnother);
    ASSERT_EQ(msgBox.calls.size(), 1u);
    EXPECT_EQ(msgBox.calls[0].text, "Program another pod");
    EXPECT_EQ(msgBox.calls[0].title, "All sent ok");
    EXPECT_EQ(msgBox.calls[0].buttons, MsgButtons::YesNo);
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Question);
    EXPECT_EQ(pod.Image(), std::vector<std::uint8_t>(buffers.download_buffer.begin(),
                                                     buffers.download_buffer.begin() + 40));
    EXPECT_EQ(pod.restarts(), 1);
    EXPECT_TRUE(view.pleaseWait);

    msgBox.calls.clear();
    EXPECT_EQ(Configure_Pod(link, false, 1, buffers), ConfigureDone) << "No";
}

TEST_F(Configure, ClosedPortOrSilentPodStopBeforeSending)
{
    line.PortOpen(false);
    EXPECT_EQ(Configure_Pod(link, false, 1, buffers), PortNotOpen);
    EXPECT_TRUE(pod.received().empty());
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Port not open"}));

    msgBox.calls.clear();
    line.PortOpen(true);
    pod.model().faults.silent = true;
    EXPECT_EQ(Configure_Pod(link, false, 1, buffers), PodNotResponding);
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Pod not responding"}));
    EXPECT_TRUE(pod.blocks().empty());
}

TEST_F(Configure, PodOfAnotherTypeGetsNothing)
{
    EXPECT_EQ(Configure_Pod(link, false, 2, buffers), PodTypeMismatch);
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Pod type does not match configuration"}));
    EXPECT_EQ(msgBox.calls[0].icon, MsgIcon::Exclamation);
    EXPECT_TRUE(pod.blocks().empty());
    EXPECT_EQ(pod.restarts(), 0);
}

TEST_F(Configure, TwoPartStageSendsTheImageOnly)
{
    EXPECT_EQ(Configure_Pod(link, true, 7, buffers), ConfigureDone);
    EXPECT_EQ(pod.blocks().size(), 5u);
    EXPECT_EQ(pod.restarts(), 0);
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Configure, FailedDownloadIsReportedOnceAndEndsQuietly)
{
    pod.model().faults.refuseBlock = 2;
    pod.model().faults.refuseBlockTimes = 4;
    EXPECT_EQ(Configure_Pod(link, false, 1, buffers), ConfigureDone);
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!  2: Reply to download failed"}));
    EXPECT_EQ(pod.restarts(), 0);
}

TEST_F(Configure, FailedRestartIsFollowedByTheProgramFailedMessage)
{
    pod.model().faults.ignoreRestarts = 4;
    EXPECT_EQ(Configure_Pod(link, false, 1, buffers), RestartFailed);
    ASSERT_EQ(msgBox.calls.size(), 2u);
    EXPECT_EQ(msgBox.calls[0].text, "No reply to restart");
    EXPECT_EQ(msgBox.calls[1].text,
              "Program failed, Trellin will fail to operate correctly until reprogrammmed, Try "
              "powering the pod off/wait/on and reprogram again");
    EXPECT_EQ(msgBox.calls[1].icon, MsgIcon::Exclamation);
}

} // namespace
} // namespace vantelo
