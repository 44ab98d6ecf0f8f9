#include "support/PodModels.h"
#include "support/SimFixture.h"

#include "programming/SecondaryConfiguration.h"

#include <numeric>

namespace vantelo {
namespace {

class Secondary : public testing::SimFixture {
protected:
    Secondary() : SimFixture(testing::PodModelOf(0xDD, 9600, 2))
    {
        std::iota(table.begin(), table.end(), std::uint8_t{0x80});
    }

    // Secondary frames the pod received, as addresses, one per attempt.
    std::vector<int> AddressesSent() const
    {
        std::vector<int> addresses;
        const auto& got = pod.received();
        for (std::size_t i = 0; i + 2 < got.size(); ++i)
            if (got[i].value == 0x44 && got[i].settings.parity == Parity::Odd)
                addresses.push_back(got[i + 2].value);
        return addresses;
    }

    std::array<std::uint8_t, 256> table{};
};

TEST(SecondaryPacket, CarriesAddressValueAndChecksum)
{
    EXPECT_EQ(SecondaryPacket(5, 0x20), (std::array<std::uint8_t, 4>{0x00, 0x05, 0x20, 0xDA}));
    EXPECT_EQ(SecondaryPacket(0, 0), (std::array<std::uint8_t, 4>{0x00, 0x00, 0x00, 0xFF}));
    EXPECT_EQ(SecondaryPacket(255, 0xFF), (std::array<std::uint8_t, 4>{0x00, 0xFF, 0xFF, 0x01}));
}

TEST_F(Secondary, WholeTableLandsAtItsAddresses)
{
    ASSERT_TRUE(ProgramSecondaryConfiguration(link, 13, table));
    ASSERT_EQ(pod.secondary().size(), 256u);
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(pod.secondary().at(a), table[a]) << a;
    EXPECT_EQ(view.statuses, (std::vector<QString>{"Please wait programing Secondary Configuration"}));
    EXPECT_EQ(view.percentages[1], "0.0%");
    EXPECT_EQ(view.percentages[2], "0.3%");
    EXPECT_EQ(view.percentages.back(), "100.0%");
    EXPECT_EQ(view.progress.back(), 1000);
    EXPECT_EQ(pod.restarts(), 1) << "a pass starts with a restart";
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Secondary, OtherTypesSendNothing)
{
    for (std::uint8_t type : {0, 7, 12, 15}) {
        EXPECT_FALSE(ProgramSecondaryConfiguration(link, type, table));
        EXPECT_TRUE(pod.received().empty());
        EXPECT_TRUE(view.percentages.empty());
    }
    EXPECT_TRUE(ProgramSecondaryConfiguration(link, 14, table)) << "0xDD serves type 14 too";
}

TEST_F(Secondary, RefusedByteStartsANewPassFromAddressZero)
{
    pod.model().faults.refuseSecondaryAddress = 100;
    pod.model().faults.refuseSecondaryTimes = 4;
    ASSERT_TRUE(ProgramSecondaryConfiguration(link, 13, table));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Failed to send secondary byte"}));
    const auto sent = AddressesSent();
    ASSERT_EQ(sent.size(), 101u + 3 + 256);
    EXPECT_EQ(sent[100], 100);
    EXPECT_EQ(sent[103], 100);
    EXPECT_EQ(sent[104], 0) << "the second pass starts over";
    EXPECT_EQ(pod.restarts(), 2);
}

TEST_F(Secondary, FiveFailedPassesGiveUp)
{
    pod.model().faults.refuseSecondaryAddress = 3;
    pod.model().faults.refuseSecondaryTimes = 1000;
    EXPECT_FALSE(ProgramSecondaryConfiguration(link, 13, table));
    std::vector<QString> expected(5, "Error!: Failed to send secondary byte");
    expected.push_back("Error!: Failed to Program Velim Pod Secondary configuration");
    EXPECT_EQ(Messages(), expected);
    EXPECT_EQ(pod.restarts(), 5);
}

TEST_F(Secondary, SilentPodFailsIdentificationFiveTimes)
{
    pod.model().faults.silent = true;
    EXPECT_FALSE(ProgramSecondaryConfiguration(link, 13, table));
    std::vector<QString> expected(5, "Error!: No reply to restart");
    expected.push_back("Error!: Failed to Program Velim Pod Secondary configuration");
    EXPECT_EQ(Messages(), expected);
    EXPECT_TRUE(AddressesSent().empty());
}

TEST_F(Secondary, PodOfAnotherKindIsNoIdentification)
{
    pod.model().reply = 0x88;
    EXPECT_FALSE(ProgramSecondaryConfiguration(link, 13, table));
    EXPECT_EQ(pod.probesAnswered(), 5);
    EXPECT_EQ(pod.restarts(), 5);
    EXPECT_TRUE(AddressesSent().empty());
    EXPECT_EQ(Messages().back(), "Error!: Failed to Program Velim Pod Secondary configuration");
}

} // namespace
} // namespace vantelo
