#include "discovery/IdentifyPod.h"

#include "catalogue/RegisterPod.h"
#include "discovery/ProbePort.h"
#include "serial/PodLink.h"

namespace vantelo {

std::optional<PodIdentity> IdentifyProbe(const PodCatalogue& podTypes, std::int32_t probe)
{
    const auto index = RegisterPod::FindPodType(podTypes, static_cast<std::uint8_t>(probe));
    if (!index)
        return std::nullopt;
    const PodTypeInfo& entry = podTypes[static_cast<std::size_t>(*index)];
    PodIdentity pod{probe, entry.Type, QString::fromLocal8Bit(entry.Name), {}};
    if (pod.Answered())
        pod.version = QStringLiteral("%1.%2").arg((probe >> 8) & 0xFF).arg((probe >> 16) & 0xFF);
    return pod;
}

std::optional<PodIdentity> IdentifyPod(PodLink& link, bool restartAfter)
{
    return IdentifyProbe(link.PodTypes, ProbePort(link, restartAfter));
}

} // namespace vantelo
