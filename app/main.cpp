#include "app/Download.h"

#include "platform/console/CommandLine.h"
#include "platform/dialogs/QtDialogs.h"
#include "platform/serial/SystemReplyTimer.h"
#include "platform/serial/SystemSerialPort.h"
#include "platform/store/StoreLocation.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[])
{
    const QString commandLine = vantelo::CommandLineText(argc, argv);
    // Qt sees the program name only: the user's words are a file name, never
    // Qt's own options. Its environment variables still apply.
    int qtArgc = 1;
    QApplication app(qtArgc, argv);
    QApplication::setApplicationName(QStringLiteral("Vantelo"));

    const auto port = vantelo::MakeSerialPort();
    const auto replyTimer = vantelo::MakeReplyTimer();
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
    vantelo::Download window({*port, *replyTimer, *store, fileDialog, clipboard, msgBox, commandLine, endProgram});
    window.show();
    return QApplication::exec();
}
