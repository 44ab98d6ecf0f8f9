#include "app/Download.h"

#include "platform/QtDialogs.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"
#include "platform/StoreLocation.h"

#include <QApplication>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantelo"));

    // The arguments as one text, as the command line gave them.
    const QString commandLine = QApplication::arguments().mid(1).join(u' ');

    vantelo::QtSerialPort port;
    vantelo::QtReplyTimer replyTimer;
    const auto store = vantelo::OpenMachineSettingsStore();
    vantelo::QtFileDialog fileDialog;
    vantelo::QtClipboard clipboard;
    vantelo::QtMsgBox msgBox;

    // Exit ends the program at once, even from within a wait for a pod;
    // nothing is left to write by then.
    const auto endProgram = [] {
        std::fflush(nullptr);
        std::_Exit(0);
    };
    vantelo::Download window(
        {port, replyTimer, *store, fileDialog, clipboard, msgBox, commandLine, endProgram});
    window.show();
    return QApplication::exec();
}
