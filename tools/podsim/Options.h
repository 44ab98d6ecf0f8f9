#pragma once

#include "sim/Pod.h"

#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace vantelo::podsim {

enum class PortKind { Missing, Empty, Pod };

struct PortDescription {
    int number = 0;
    PortKind kind = PortKind::Empty;
    sim::PodModel pod; // for PortKind::Pod
    // How long a programmed pod is away before a fresh one takes its place;
    // none: the pod stays.
    std::optional<sim::Nanos> swap;
};

struct Options {
    std::vector<PortDescription> ports;
    std::string linksDir;  // empty: no links
    std::string imagesDir; // empty: no image files
    bool help = false;
};

// A bad command line; the message names the argument at fault.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The arguments after the program name. Loads the built-in pod type
// catalogue to turn type= into an identification byte.
Options ParseOptions(const std::vector<std::string_view>& arguments);

extern const char* const UsageText;

} // namespace vantelo::podsim
