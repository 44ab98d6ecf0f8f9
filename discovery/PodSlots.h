#pragma once

#include <QString>

namespace vantelo {

// The window's pod list as the search and the program command see it.
// Slot i (0 to 3) belongs to serial port i + 1.
class PodSlots {
public:
    virtual ~PodSlots() = default;

    virtual void ShowBlanking(int slot, bool visible) = 0;
    virtual bool OptionSelected(int slot) const = 0;
    virtual void ClearOption(int slot) = 0; // clears the selection
    virtual void EnableOption(int slot, bool enabled) = 0;
    virtual void ShowOption(int slot, bool visible) = 0;
    virtual void SetOptionCaption(int slot, const QString& caption) = 0;
    virtual void SetPodTypeText(int slot, const QString& text) = 0;
    virtual bool PodTypeShown(int slot) const = 0;
    virtual void ShowPodType(int slot, bool visible) = 0;
    virtual void EnableProgramPod(bool enabled) = 0;
    // How messages name the slot's port.
    virtual QString PortName(int slot) const { return QStringLiteral("COM%1").arg(slot + 1); }
};

} // namespace vantelo
