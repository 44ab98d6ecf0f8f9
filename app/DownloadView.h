#pragma once

#include "discovery/PodSlots.h"
#include "serial/PodLink.h"

namespace vantelo {

class Download;

// The window's controls as the pod operations see them.
class DownloadView final : public ProgressView, public PodSlots {
public:
    explicit DownloadView(Download& window) : w_(window) {}

    void Percentage(const QString& text) override;
    void Progress(int permille) override;
    void Status(ProgramStep step) override;
    void PleaseWait(bool visible) override;

    void ShowBlanking(int slot, bool visible) override;
    bool OptionSelected(int slot) const override;
    void ClearOption(int slot) override;
    void EnableOption(int slot, bool enabled) override;
    void ShowOption(int slot, bool visible) override;
    void SetOptionCaption(int slot, const QString& caption) override;
    void SetPodTypeText(int slot, const QString& text) override;
    bool PodTypeShown(int slot) const override;
    void ShowPodType(int slot, bool visible) override;
    void EnableProgramPod(bool enabled) override;

private:
    Download& w_;
};

} // namespace vantelo
