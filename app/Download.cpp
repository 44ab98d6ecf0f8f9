#include "app/Download.h"
#include "app/Layout.h"

#include "catalogue/RegisterPod.h"
#include "platform/ReplyTimer.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

namespace vantelo {

Download::Download(DownloadServices services, QWidget* parent)
    : QWidget(parent),
      services_(std::move(services)), link_{services_.MSComm1, services_.Timer1, services_.msgBox, view_, PodTypes},
      configuration_(std::make_unique<PodConfiguration>()), buffers_(std::make_unique<TransferBuffers>())
{
    CreateControls();
    ConnectCommands();
    // The reply timer starts running; its first tick stops it.
    services_.Timer1.Interval(100);
    services_.Timer1.Enabled(true);
    Form_Load();
}

Download::~Download() = default;

void Download::Form_Load()
{
    PodTypes = RegisterPod::InitPodTypes(services_.store);
    ResetPodList();

    for (QFrame* panel : Blanking)
        panel->move(Frame1->x(), panel->y());
    PleaseWait->move(Frame1->x(), PleaseWait->y());
    for (QFrame* panel : Blanking)
        panel->raise();
    PleaseWait->raise();

    // One column: a margin of Frame1's left offset each side, and one more for the border.
    const float width = 3.0f * static_cast<float>(Layout::Frame1.left) + static_cast<float>(Layout::Frame1.width);
    resize(TwipsToPixels(width), height());

    setWindowTitle(QStringLiteral("Vantelo %1.%2.%3")
                       .arg(VANTELO_VERSION_MAJOR)
                       .arg(VANTELO_VERSION_MINOR)
                       .arg(VANTELO_VERSION_PATCH));

    if (!services_.commandLine.isEmpty())
        Timer2->start();
}

void Download::ResetPodList()
{
    for (QRadioButton* option : Option1)
        option->hide();
    for (QLineEdit* pod : PodType)
        pod->hide();
    for (QFrame* panel : Blanking)
        panel->hide();
    search->setEnabled(false);
    ProgramPod->setEnabled(false);
    FileName->setText(QString());
}

} // namespace vantelo
