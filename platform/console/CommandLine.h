#pragma once

#include <QString>
#include <QStringView>

namespace vantelo {

// The program's command line as one text: everything after the program's own
// name, quotes and blanks as typed, read before Qt takes its options out.
// Windows: from the command line the process was started with. Elsewhere:
// argv[1..] joined by one blank.
QString CommandLineText(int argc, char* argv[]);

// What follows the program name on a Windows command line, split off as the
// system does for WinMain: a quoted name ends at its closing quote, a plain
// one at the first blank; the blanks and tabs after it are skipped.
QString AfterProgramName(QStringView commandLine);

} // namespace vantelo
