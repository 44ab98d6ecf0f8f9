#pragma once

#include "config/PodConfiguration.h"
#include "programming/ConfigurePod.h"

namespace vantelo {

class PodSlots;
struct PodLink;

enum class PortOpening { NoneSelected, Opened, Failed };

// Opens the port of the selected slot; says so when it cannot be opened.
PortOpening OpenSelectedPort(PodLink& link, PodSlots& podList);

// The Download command: programs the pod on the selected slot's port, and
// the next one on the same port for as long as the user asks for another.
// The two-micro pod gets its main image, then its IR image.
void ProgramPod(PodLink& link, PodSlots& podList, const PodConfiguration& configuration,
                TransferBuffers& buffers);

} // namespace vantelo
