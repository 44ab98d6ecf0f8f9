#include "support/PodModels.h"
#include "support/SimFixture.h"

#include "programming/SecondaryConfiguration.h"

#include <QLocale>

#include <numeric>
#include <ranges>

namespace vantelo {
namespace {

class Secondary : public testing::SimFixture {
protected:
    Secondary() : SimFixture(testing::PodModelOf(0xDD, 9600, 2))
    {
        std::iota(table.begin(), table.end(), std::uint8_t{0x80});
    }

    // Secondary frames the pod received, as addresses, one per attempt.
    static std::vector<int> AddressesSent(const sim::Pod& pod)
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
    EXPECT_EQ(SecondaryPacket(255, 0xFF), (std::array<std::uint8_t, 4>{0x00, 0xFF, 0xFF, 0x01}));
}

TEST_F(Secondary, WholeTableLandsAtItsAddresses)
{
    // The first caption is fixed; the running ones follow the user's number format.
    QLocale::setDefault(QLocale(QLocale::German));
    const bool sent = ProgramSecondaryConfiguration(link, 13, table);
    QLocale::setDefault(QLocale::c());
    ASSERT_TRUE(sent);
    ASSERT_EQ(pod.secondary().size(), 256u);
    EXPECT_TRUE(std::ranges::equal(pod.secondary() | std::views::values, table));
    EXPECT_EQ(AddressesSent(pod).size(), 256u) << "each byte acknowledged at once";
    EXPECT_EQ(view.statuses, (std::vector<QString>{"Please wait programing Secondary Configuration"}));
    ASSERT_GE(view.percentages.size(), 3u);
    EXPECT_EQ(std::vector(view.percentages.begin(), view.percentages.begin() + 3),
              (std::vector<QString>{"0.0%", "0,0%", "0,3%"}));
    EXPECT_EQ(view.percentages.back(), "100,0%");
    EXPECT_EQ(view.progress.back(), 1000);
    EXPECT_EQ(pod.restarts(), 1) << "a pass starts with a restart";
    EXPECT_TRUE(msgBox.calls.empty());
}

TEST_F(Secondary, OnlyTypes13And14HaveATable)
{
    for (std::uint8_t type : {0, 7, 12, 15}) {
        EXPECT_FALSE(ProgramSecondaryConfiguration(link, type, table));
        EXPECT_TRUE(pod.received().empty());
        EXPECT_TRUE(view.percentages.empty());
    }
    EXPECT_TRUE(ProgramSecondaryConfiguration(link, 14, table)) << "0xDD serves type 14 too";
}

TEST_F(Secondary, FailuresStartANewPassAndFiveInAllGiveUp)
{
    const QString byteFailed = "Error!: Failed to send secondary byte";
    const QString noRestart = "Error!: No reply to restart";
    const QString gaveUp = "Error!: Failed to Program Velim Pod Secondary configuration";
    const auto pod = [](int refusedAddress, int times, bool silent = false, std::uint8_t reply = 0xDD) {
        sim::PodModel model = testing::PodModelOf(reply);
        model.faults.refuseSecondaryAddress = refusedAddress;
        model.faults.refuseSecondaryTimes = times;
        model.faults.silent = silent;
        return model;
    };
    const struct {
        const char* pod;
        sim::PodModel model;
        bool sent;
        std::vector<QString> messages;
        std::size_t attempts; // secondary frames sent
        int restarts;
    } rows[] = {
        {"refuses a byte three times", pod(100, 3), true, {}, 256 + 3, 1},
        {"refuses a byte four times", pod(100, 4), true, {byteFailed}, 101 + 3 + 256, 2},
        {"refuses a byte always", pod(3, 1000), false,
         {byteFailed, byteFailed, byteFailed, byteFailed, byteFailed, gaveUp}, 5 * 7, 5},
        {"silent", pod(-1, 0, true), false, {noRestart, noRestart, noRestart, noRestart, noRestart, gaveUp}, 0, 0},
        {"of another kind", pod(-1, 0, false, 0x88), false, {gaveUp}, 0, 5},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.pod);
        sim::Pod other(row.model);
        line.Connect(1, other);
        msgBox.calls.clear();
        EXPECT_EQ(ProgramSecondaryConfiguration(link, 13, table), row.sent);
        EXPECT_EQ(Messages(), row.messages);
        EXPECT_EQ(AddressesSent(other).size(), row.attempts);
        EXPECT_EQ(other.restarts(), row.restarts);
    }
}

// Late but within the time-out counts; left over from an earlier exchange does not.
TEST_F(Secondary, AcknowledgementCountsOnlyWithinItsExchange)
{
    pod.model().turnaround = 450 * sim::Millisecond;
    EXPECT_TRUE(SendSecondaryByte(link, 7, 0x80));
    EXPECT_EQ(pod.secondary().at(7), 0x80);
    LeaveALateAcknowledgement();
    EXPECT_FALSE(SendSecondaryByte(link, 0, 0x80));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Failed to send secondary byte"}));
}

} // namespace
} // namespace vantelo
