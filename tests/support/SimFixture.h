#pragma once

#include "catalogue/RegisterPod.h"
#include "serial/PodLink.h"
#include "sim/Clock.h"
#include "sim/Line.h"
#include "sim/Pod.h"
#include "support/RecordingView.h"
#include "support/ScriptedDialogs.h"

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

    // Bytes the pod received, in order, from the given index on.
    std::vector<std::uint8_t> Received(std::size_t from = 0) const
    {
        std::vector<std::uint8_t> bytes;
        for (std::size_t i = from; i < pod.received().size(); ++i)
            bytes.push_back(pod.received()[i].value);
        return bytes;
    }

    std::vector<QString> Messages() const
    {
        std::vector<QString> texts;
        for (const auto& call : msgBox.calls)
            texts.push_back(call.title + ": " + call.text);
        return texts;
    }

    sim::Clock clock;
    sim::Line line{clock};
    sim::Pod pod;
    ScriptedMsgBox msgBox;
    RecordingView view;
    PodCatalogue podTypes = RegisterPod::LoadDefaultPodTypes();
    PodLink link{line, clock, msgBox, view, podTypes};
};

} // namespace vantelo::testing
