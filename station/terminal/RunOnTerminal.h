#pragma once

#include "catalogue/PodTypeInfo.h"
#include "station/StationOptions.h"

#include <cstdio>

namespace vantelo::station {

// The station on a terminal: programs the pods on every port of `options`,
// draws the board on `out` (kept in place where it is a terminal), then the
// summary; refusals go to `err`. Ctrl-C stops. Gives the exit status.
int RunOnTerminal(const StationOptions& options, const PodCatalogue& podTypes, std::FILE* out, std::FILE* err);

// `text` and a line end on `err`; gives `status`.
int Refuse(std::FILE* err, const QString& text, int status);

} // namespace vantelo::station
