#include "station/window/StationWindowMain.h"

// The station's window as a program of its own, without a console (Windows).
int main(int argc, char* argv[])
{
    return vantelo::station::RunStationWindow(argc, argv);
}
