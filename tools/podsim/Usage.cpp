#include "Options.h"

namespace vantelo::podsim {

const char* const UsageText = R"(Usage: podsim --port N:DESCRIPTION [--port ...] [--links DIR] [--images DIR]

Makes virtual serial ports 1 to 64 on pseudo-terminals, each with a simulated
pod (or nobody) on its far end, for trying Vantelo without hardware and for
end-to-end tests.

  --port N:missing      port N cannot be opened
  --port N:empty        port N opens, but nothing answers on it
  --port N:PROPERTIES   port N has a pod; PROPERTIES, separated by commas:
      type=N            identification byte of type N of the built-in catalogue
      reply=0xNN        identification byte given directly
      version=MAJ.MIN   version it reports (default 1.0)
      baud=B            rate at which it answers the probe (default 9600)
      turnaround=MS     milliseconds between a request and its answer (default 0)
      reboot=MS         deaf for MS milliseconds after each restart it accepts
      swap=MS           once programmed (its download, the secondary table if
                        its type has one, then the restart), the pod is taken
                        away; MS milliseconds later a fresh pod of the same
                        model, with nothing stored, is put on; and so on
    and faults:
      silent            answers nothing
      wrongack          answers every command 0x0F 0x00
      single            acknowledges commands with one byte, 0xF0
      refuse=BLOCK:T    refuses download block BLOCK the first T times
      late=BLOCK:MS     answers download block BLOCK the first time MS
                        milliseconds later than usual (a slow flash write)
      badsum            answers the probe with a wrong checksum
      missprobe=N       leaves the Nth probe it hears unanswered
      unplug=N          the port vanishes once the pod has received N bytes, as
                        a USB adapter pulled out
  --links DIR           also make symbolic links DIR/COMn to the ports
  --images DIR          after each accepted download block, write the image the
                        pod holds (blocks 0, 1, ... up to the first missing one)
                        to DIR/COMn.image; a fresh pod (swap=) starts it empty
  --help                show this text

On start-up podsim prints one line VANTELO_COMn=DEVICE for each port given,
then a line "ready"; set those variables where Vantelo runs. A missing port
is given a path that does not exist. Each request and answer is logged to
standard error in hex, and each swap as lines "COMn: pod taken away" and
"COMn: fresh pod". A port that a program left in other settings when it
died is made raw again for the next one ("COMn: port left in other
settings, made raw again"). SIGTERM or SIGINT ends podsim and removes the
links.

Bytes reach the pod no sooner than they would over a real line at the rate
the program set, and answers come back byte by byte at the pod's rate.
A pseudo-terminal has no RTS line, so the two-micro pod, whose micro is
chosen by RTS, cannot be simulated here.

Example:
  podsim --port 1:type=1,version=1.12,baud=38400 --port 2:missing \
         --port 3:empty --port 4:type=13,version=2.0,baud=9600,turnaround=2
)";

} // namespace vantelo::podsim
