#include "app/Download.h"

#include "discovery/SearchForPods.h"
#include "platform/SerialPort.h"
#include "programming/ProgramPod.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace vantelo {

void Download::ConnectCommands()
{
    connect(Load, &QPushButton::clicked, this, &Download::Load_Click);
    connect(search, &QPushButton::clicked, this, &Download::search_Click);
    connect(ProgramPod, &QPushButton::clicked, this, &Download::ProgramPod_Click);
    connect(Exit, &QPushButton::clicked, this, &Download::Exit_Click);
    for (int i = 0; i < 4; ++i)
        connect(Option1[i], &QRadioButton::clicked, this, [this, i] { Option1_Click(i); });
    connect(Timer2, &QTimer::timeout, this, &Download::Timer2_Timer);

    // The waits let window events through, so these must not act mid-command.
    for (QWidget* control :
         {static_cast<QWidget*>(Load), static_cast<QWidget*>(search), static_cast<QWidget*>(ProgramPod)})
        control->installEventFilter(this);
    for (QRadioButton* option : Option1)
        option->installEventFilter(this);
}

bool Download::eventFilter(QObject* /*watched*/, QEvent* event)
{
    if (!running_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::Shortcut:
        return true;
    default:
        return false;
    }
}

void Download::RunExclusive(const std::function<void()>& command)
{
    if (running_)
        return;
    running_ = true;
    command();
    running_ = false;
}

void Download::SearchForPods()
{
    vantelo::SearchForPods(link_, view_, configuration_->type_code);
}

void Download::Load_Click()
{
    // The user's own choice wins over the file named on the command line.
    Timer2->stop();
    RunExclusive([this] {
        ResetPodList();
        QString name;
        if (open_pod_file(name)) {
            search->setEnabled(true);
            SearchForPods();
        }
    });
}

void Download::search_Click()
{
    RunExclusive([this] { SearchForPods(); });
}

void Download::Option1_Click(int /*Index*/)
{
    if (!running_)
        ProgramPod->setEnabled(true);
}

void Download::ProgramPod_Click()
{
    RunExclusive([this] { vantelo::ProgramPod(link_, ChosenPort(view_), *configuration_, *buffers_); });
}

void Download::Exit_Click()
{
    if (services_.MSComm1.PortOpen())
        services_.MSComm1.PortOpen(false);
    services_.endProgram();
}

void Download::closeEvent(QCloseEvent* event)
{
    event->accept();
    Exit_Click();
}

void Download::Timer2_Timer()
{
    Timer2->stop();
    // Loading now would start a second search on the port: try again later.
    if (running_) {
        Timer2->start();
        return;
    }
    QString path = services_.commandLine;
    if (path.startsWith(u'"'))
        path.remove(0, 1);
    if (path.endsWith(u'"'))
        path.chop(1);
    RunExclusive([&] {
        if (open_pod_file(path)) {
            search->setEnabled(true);
            SearchForPods();
        }
    });
}

} // namespace vantelo
