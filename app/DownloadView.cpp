#include "app/DownloadView.h"

#include "app/Download.h"

#include <QButtonGroup>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>

namespace vantelo {

void DownloadView::Percentage(const QString& text)
{
    w_.Label2->setText(text);
}

void DownloadView::Progress(int permille)
{
    w_.ProgressBar1->setValue(permille);
}

void DownloadView::Status(ProgramStep step)
{
    switch (step) {
    case ProgramStep::Pod:
        return w_.Label3->setText(QStringLiteral("Please wait programing pod"));
    case ProgramStep::MainMicro:
        return w_.Label3->setText(QStringLiteral("Please wait programing main data"));
    case ProgramStep::IrMicro:
        return w_.Label3->setText(QStringLiteral("Please wait programing Oxa data"));
    case ProgramStep::SecondaryTable:
        return w_.Label3->setText(QStringLiteral("Please wait programing Secondary Configuration"));
    }
}

void DownloadView::PleaseWait(bool visible)
{
    w_.PleaseWait->setVisible(visible);
}

void DownloadView::ShowBlanking(int slot, bool visible)
{
    w_.Blanking[slot]->setVisible(visible);
}

bool DownloadView::OptionSelected(int slot) const
{
    return w_.Option1[slot]->isChecked();
}

void DownloadView::ClearOption(int slot)
{
    // An exclusive group keeps one button checked; let go of it for a moment.
    w_.Option1Group->setExclusive(false);
    w_.Option1[slot]->setChecked(false);
    w_.Option1Group->setExclusive(true);
}

void DownloadView::EnableOption(int slot, bool enabled)
{
    w_.Option1[slot]->setEnabled(enabled);
}

void DownloadView::ShowOption(int slot, bool visible)
{
    w_.Option1[slot]->setVisible(visible);
}

void DownloadView::SetOptionCaption(int slot, const QString& caption)
{
    w_.Option1[slot]->setText(caption);
}

void DownloadView::SetPodTypeText(int slot, const QString& text)
{
    w_.PodType[slot]->setText(text);
}

bool DownloadView::PodTypeShown(int slot) const
{
    return !w_.PodType[slot]->isHidden();
}

void DownloadView::ShowPodType(int slot, bool visible)
{
    w_.PodType[slot]->setVisible(visible);
}

void DownloadView::EnableProgramPod(bool enabled)
{
    w_.ProgramPod->setEnabled(enabled);
}

} // namespace vantelo
