#include "support/PodModels.h"
#include "support/SimFixture.h"

#include "programming/SecondaryConfiguration.h"

#include <QLocale>

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
    for (int a = 0; a < 256; ++a)
        EXPECT_EQ(pod.secondary().at(a), table[a]) << a;
    EXPECT_EQ(AddressesSent(pod).size(), 256u) << "each byte acknowledged at once";
    EXPECT_EQ(view.statuses, (std::vector<QString>{"Please wait programing Secondary Configuration"}));
    EXPECT_EQ(view.percentages[0], "0.0%");
    EXPECT_EQ(view.percentages[1], "0,0%");
    EXPECT_EQ(view.percentages[2], "0,3%");
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
    struct Row {
        const char* pod;
        sim::PodModel model;
        bool sent;
        std::vector<QString> messages;
        std::size_t attempts; // secondary frames sent
        int restarts;
    };
    const auto refusing = [](int address, int times) {
        sim::PodModel model = testing::PodModelOf(0xDD);
        model.faults.refuseSecondaryAddress = address;
        model.faults.refuseSecondaryTimes = times;
        return model;
    };
    sim::PodModel silent = testing::PodModelOf(0xDD);
    silent.faults.silent = true;
    const std::vector<Row> rows = {
        {"refuses a byte three times", refusing(100, 3), true, {}, 256 + 3, 1},
        {"refuses a byte four times", refusing(100, 4), true, {byteFailed}, 101 + 3 + 256, 2},
        {"refuses a byte always", refusing(3, 1000), false,
         {byteFailed, byteFailed, byteFailed, byteFailed, byteFailed, gaveUp}, 5 * 7, 5},
        {"silent", silent, false,
         {noRestart, noRestart, noRestart, noRestart, noRestart, gaveUp}, 0, 0},
        {"of another kind", testing::PodModelOf(0x88), false, {gaveUp}, 0, 5},
    };
    for (const Row& row : rows) {
        sim::Pod other(row.model);
        line.Connect(1, other);
        msgBox.calls.clear();
        EXPECT_EQ(ProgramSecondaryConfiguration(link, 13, table), row.sent) << row.pod;
        EXPECT_EQ(Messages(), row.messages) << row.pod;
        EXPECT_EQ(AddressesSent(other).size(), row.attempts) << row.pod;
        EXPECT_EQ(other.restarts(), row.restarts) << row.pod;
    }
}

TEST_F(Secondary, AcknowledgementWithinTheTimeOutCounts)
{
    pod.model().turnaround = 450 * sim::Millisecond;
    EXPECT_TRUE(SendSecondaryByte(link, 7, 0x80));
    EXPECT_EQ(pod.secondary().at(7), 0x80);
}

TEST_F(Secondary, LateAcknowledgementOfAnEarlierExchangeDoesNotCount)
{
    LeaveALateAcknowledgement();
    EXPECT_FALSE(SendSecondaryByte(link, 0, 0x80));
    EXPECT_EQ(Messages(), (std::vector<QString>{"Error!: Failed to send secondary byte"}));
}

} // namespace
} // namespace vantelo
