#pragma once

#include "catalogue/PodTypeInfo.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace vantelo {

struct PodLink;

// What a probe result says of a pod, read through the catalogue.
struct PodIdentity {
    std::int32_t probe = 0; // ProbePort's result; 0 when nobody answered
    std::uint8_t type = 0;  // the entry's type code
    QString name;           // the entry's list name, its blanks kept
    QString version;        // "major.minor"; empty when nobody answered

    bool Answered() const { return probe != 0; }
};

// The first catalogue entry whose identification byte is the result's low
// byte; nothing when none is. A result of 0 can still name an empty entry.
std::optional<PodIdentity> IdentifyProbe(const PodCatalogue& podTypes, std::int32_t probe);

// Probes the open port and reads the result as IdentifyProbe does.
std::optional<PodIdentity> IdentifyPod(PodLink& link, bool restartAfter);

} // namespace vantelo
