#pragma once

#include "catalogue/PodTypeInfo.h"
#include "serial/Percent.h"
#include "serial/ProgramStep.h"

#include <QString>

namespace vantelo {

class MsgBox;
class ReplyTimer;
class SerialPort;

// What the pod operations show in the window while they run.
class ProgressView {
public:
    virtual ~ProgressView() = default;

    virtual void Percentage(const QString& text) = 0; // Label2
    virtual void Progress(int permille) = 0;          // ProgressBar1, 0 to 1000
    virtual void Status(ProgramStep step) = 0;        // Label3
    virtual void PleaseWait(bool visible) = 0;
    // A command is sent again after an attempt that was not acknowledged.
    virtual void Repeated() {}
    // The pod acknowledged a block of an image.
    virtual void BlockAcknowledged() {}
};

// Everything a pod operation works through: the port, the reply timer that
// paces its waits, message boxes for its failures, the progress display,
// the catalogue that names the pods it finds, and whether the pod may still
// owe answers.
struct PodLink {
    SerialPort& port;
    ReplyTimer& timer;
    MsgBox& msgBox;
    ProgressView& view;
    const PodCatalogue& PodTypes;
    bool answersOwed = false; // an attempt failed: answers may still come
};

// An error box with the exclamation icon.
void ShowError(PodLink& link, const QString& text, const QString& title = QStringLiteral("Error!"));

} // namespace vantelo
