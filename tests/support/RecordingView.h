#pragma once

#include "serial/PodLink.h"

#include <vector>

namespace vantelo::testing {

// Records what the operations show.
struct RecordingView final : ProgressView {
    std::vector<QString> percentages;
    std::vector<int> progress;
    std::vector<QString> statuses;
    bool pleaseWait = false;

    void Percentage(const QString& text) override { percentages.push_back(text); }
    void Progress(int permille) override { progress.push_back(permille); }
    void Status(const QString& text) override { statuses.push_back(text); }
    void PleaseWait(bool visible) override { pleaseWait = visible; }
};

} // namespace vantelo::testing
