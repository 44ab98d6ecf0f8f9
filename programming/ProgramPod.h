#pragma once

#include "config/PodConfiguration.h"
#include "programming/ConfigurePod.h"

#include <QString>

#include <optional>

namespace vantelo {

class PodSlots;
struct PodLink;

// The port of the selected slot: its number, 0 when no slot is selected, and
// the name messages give it.
struct SelectedPort {
    int number = 0;
    QString name;
};

// Opens the port of the selected slot (none selected: the port stays
// closed). Nothing, after telling the user, when it cannot be opened.
std::optional<SelectedPort> OpenSelectedPort(PodLink& link, PodSlots& podList);

// The Download command: programs the pod on the selected slot's port, and
// the next one on the same port for as long as the user asks for another.
// The two-micro pod gets its main image, then its IR image.
void ProgramPod(PodLink& link, PodSlots& podList, const PodConfiguration& configuration,
                TransferBuffers& buffers);

} // namespace vantelo
