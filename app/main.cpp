#include "app/Download.h"

#include "platform/QtDialogs.h"
#include "platform/QtReplyTimer.h"
#include "platform/QtSerialPort.h"
#include "platform/StoreLocation.h"

#include <QApplication>
#include <QStringList>

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

    vantelo::Download window(
        {port, replyTimer, *store, fileDialog, clipboard, msgBox, commandLine});
    window.show();
    return QApplication::exec();
}
