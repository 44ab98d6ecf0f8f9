#pragma once

namespace vantelo::station {

// The station's window, as `vantelo-station --window` starts it: the
// program's arguments, with or without --window.
int RunStationWindow(int argc, char* argv[]);

} // namespace vantelo::station
