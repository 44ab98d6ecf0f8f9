#include "app/Download.h"

#include "platform/SerialPort.h"

#include <QCoreApplication>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace vantelo {

void Download::ConnectCommands()
{
    connect(Load, &QPushButton::clicked, this, &Download::Load_Click);
    connect(Exit, &QPushButton::clicked, this, &Download::Exit_Click);
    for (int i = 0; i < 4; ++i)
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    connect(Timer2, &QTimer::timeout, this, &Download::Timer2_Timer);
}

void Download::Load_Click()
{
    ResetPodList();
    QString name;
    if (open_pod_file(name))
        search->setEnabled(true);
}

void Download::Option1_Click(int /*Index*/)
{
    ProgramPod->setEnabled(true);
}

void Download::Exit_Click()
{
    if (services_.MSComm1.PortOpen())
        services_.MSComm1.PortOpen(false);
    close();
    QCoreApplication::quit();
}

void Download::Timer2_Timer()
{
    Timer2->stop();
    QString path = services_.commandLine;
    if (path.startsWith(u'"'))
        path.remove(0, 1);
    if (path.endsWith(u'"'))
        path.chop(1);
    if (open_pod_file(path))
        search->setEnabled(true);
}

} // namespace vantelo
