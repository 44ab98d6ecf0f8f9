#pragma once

#include "config/PodConfiguration.h"
#include "programming/ConfigurePod.h"

#include <QString>

namespace vantelo {

class PodSlots;
struct PodLink;

// The port of the chosen slot: its number, 0 when no slot is chosen, and the
// name messages give it.
struct SelectedPort {
    int number = 0;
    QString name;
};

// The slot selected in the window's pod list; none selected: number 0.
SelectedPort ChosenPort(const PodSlots& podList);

// The Download command: programs the pod on the chosen port, and the next
// one on the same port for as long as the user asks for another. The
// two-micro pod gets its main image, then its IR image. No port chosen: the
// port stays closed, and the pod is told of as not open.
void ProgramPod(PodLink& link, const SelectedPort& port, const PodConfiguration& configuration,
                TransferBuffers& buffers);

} // namespace vantelo
