#include "discovery/SearchForPods.h"

#include "discovery/IdentifyPod.h"
#include "discovery/PodSlots.h"
#include "platform/SerialPort.h"
#include "serial/PodLink.h"

namespace vantelo {

namespace {
constexpr int Slots = 4;
}

void SearchForPods(PodLink& link, PodSlots& podList, std::uint8_t type_code)
{
    for (int i = 0; i < Slots; ++i) {
        podList.ShowBlanking(i, true);
        podList.ClearOption(i);
        podList.EnableOption(i, false);
        podList.ShowOption(i, false);
        podList.SetOptionCaption(i, QString());
    }
    if (link.port.PortOpen())
        link.port.PortOpen(false);
    // With RTS low a two-micro pod answers through its main micro.
    link.port.RTSEnable(false);

    for (int i = 0; i < Slots; ++i) {
        link.port.CommPort(i + 1);
        if (link.port.PortOpen(true)) {
            const auto pod = IdentifyPod(link, true);
            podList.ShowPodType(i, true);
            if (pod) {
                podList.SetPodTypeText(i, pod->name + pod->version);
                if (pod->type == type_code)
                    podList.EnableOption(i, true);
            }
            link.port.PortOpen(false);
        } else {
            podList.SetPodTypeText(i, QStringLiteral("--------------"));
            podList.EnableOption(i, false);
            podList.ShowPodType(i, false);
        }
        podList.ShowBlanking(i, false);
    }

    for (int i = 0; i < Slots; ++i)
        podList.ShowOption(i, podList.PodTypeShown(i));
    podList.EnableProgramPod(false);
    for (int i = 0; i < Slots; ++i)
        podList.ClearOption(i);
}

} // namespace vantelo
