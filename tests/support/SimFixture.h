#pragma once

#include "catalogue/RegisterPod.h"
#include "serial/CommandExchange.h"
#include "serial/PodLink.h"
#include "sim/Clock.h"
#include "support/ScriptedDialogs.h"
#include "support/Sim.h"

#include <gtest/gtest.h>

#include <vector>

namespace vantelo::testing {

// A pod on COM1 of the simulated line, the port open, the seed catalogue loaded.
class SimFixture : public ::testing::Test {
protected:
    explicit SimFixture(sim::PodModel model = {}) : pod(model)
    {
        line.Connect(1, pod);
        line.CommPort(1);
        EXPECT_TRUE(line.PortOpen(true));
    }

    // An acknowledgement left waiting after its exchange ended; the pod then
    // refuses whatever comes next.
    void LeaveALateAcknowledgement()
    {
        pod.model().faults = {};
        pod.model().faults.singleByteReplies = true;
        const std::uint8_t payload[] = {0xFF};
        SendCommandFrame(link, 0x33, payload);
        clock.RunAll();
        ASSERT_EQ(line.InBufferCount(), 1);
        pod.model().faults.singleByteReplies = false;
        pod.model().faults.wrongAcknowledgement = true;
    }

    std::vector<QString> Messages() const { return msgBox.Texts(); }

    sim::Clock clock;
    sim::Line line{clock};
    sim::Pod pod;
    ScriptedMsgBox msgBox;
    RecordingView view;
    PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{line, clock, msgBox, view, podTypes};
};

} // namespace vantelo::testing
