#include "platform/console/CommandLine.h"

#include <QStringList>

#ifdef _WIN32
#include <windows.h>
#endif

namespace vantelo {

QString AfterProgramName(QStringView commandLine)
{
    qsizetype i = 0;
    if (commandLine.startsWith(u'"')) {
        const qsizetype close = commandLine.indexOf(u'"', 1);
        i = close < 0 ? commandLine.size() : close + 1;
    } else {
        while (i < commandLine.size() && commandLine[i] > u' ')
            ++i;
    }
    while (i < commandLine.size() && commandLine[i] <= u' ')
        ++i;
    return commandLine.mid(i).toString();
}

QString CommandLineText([[maybe_unused]] int argc, [[maybe_unused]] char* argv[])
{
#ifdef _WIN32
    // argv has lost the quotes the user typed; the raw line keeps them.
    return AfterProgramName(QString::fromWCharArray(GetCommandLineW()));
#else
    QStringList words;
    for (int i = 1; i < argc; ++i)
        words << QString::fromLocal8Bit(argv[i]);
    return words.join(u' ');
#endif
}

} // namespace vantelo
