#include "app/Download.h"
#include "app/Layout.h"

#include <QButtonGroup>
#include <QFont>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <cmath>

namespace vantelo {

namespace {

constexpr double TwipsPerInch = 1440.0;

// Background and text in the system's highlight colours.
void UseHighlightColours(QWidget* control)
{
    QPalette palette = control->palette();
    palette.setColor(QPalette::Window, palette.color(QPalette::Highlight));
    palette.setColor(QPalette::WindowText, palette.color(QPalette::HighlightedText));
    control->setPalette(palette);
    control->setAutoFillBackground(true);
}

QLabel* CentredLabel(const QString& caption, double points, QWidget* container)
{
    auto* label = new QLabel(caption, container);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(points);
    label->setFont(font);
    return label;
}

// A slot's option button answers a click anywhere on it, caption or not.
class SlotOption final : public QRadioButton {
public:
    using QRadioButton::QRadioButton;

protected:
    bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }
};

} // namespace

int Download::TwipsToPixels(double twips) const
{
    return static_cast<int>(std::lround(twips * logicalDpiX() / TwipsPerInch));
}

void Download::PlaceTwips(QWidget* control, int left, int top, int width, int height) const
{
    control->setGeometry(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width), TwipsToPixels(height));
}

// Creation order is the design's stacking order: later controls lie in front.
void Download::CreateControls()
{
    setObjectName(QStringLiteral("Download"));
    resize(TwipsToPixels(Layout::ClientWidth), TwipsToPixels(Layout::ClientHeight));
    const auto place = [this](QWidget* control, const char* name, const Layout::TwipsRect& r, int rowOffset = 0) {
        control->setObjectName(QString::fromLatin1(name));
        PlaceTwips(control, r.left, r.top + rowOffset, r.width, r.height);
    };

    Frame1 = new QGroupBox(QStringLiteral("File"), this);
    place(Frame1, "Frame1", Layout::Frame1);
    FileName = new QLabel(Frame1);
    FileName->setTextFormat(Qt::PlainText); // a file's name, never markup
    place(FileName, "FileName", Layout::FileName);
    FileName->setAlignment(Qt::AlignCenter);
    FileName->setFrameStyle(QFrame::Box | QFrame::Plain);
    FileName->setBackgroundRole(QPalette::Base);
    FileName->setForegroundRole(QPalette::Text);
    FileName->setAutoFillBackground(true);
    FileName->setToolTip(QStringLiteral("Current pod configration file"));

    Frame2 = new QGroupBox(QStringLiteral("Pods"), this);
    place(Frame2, "Frame2", Layout::Frame2);
    Option1Group = new QButtonGroup(this);
    for (int i = 0; i < 4; ++i) {
        const int row = Layout::SlotPitch * i;
        Option1[i] = new SlotOption(QString::number(i + 1), Frame2);
        place(Option1[i], "Option1", Layout::Option1, row);
        Option1[i]->setToolTip(i == 0 ? QStringLiteral("Click to set download to This Pod")
                                      : QStringLiteral("Download to This Pod"));
        Option1Group->addButton(Option1[i], i);
        PodType[i] = new QLineEdit(Frame2);
        place(PodType[i], "PodType", Layout::PodType, row);
        PodType[i]->setToolTip(QStringLiteral("Pod connected to this comm port"));
    }

    Frame3 = new QGroupBox(this);
    place(Frame3, "Frame3", Layout::Frame3);
    const auto button = [&](const char* name, const QString& caption, const QString& tip, const Layout::TwipsRect& r) {
        auto* b = new QPushButton(caption, Frame3);
        place(b, name, r);
        b->setToolTip(tip);
        return b;
    };
    Load = button("Load", QStringLiteral("Load"), QStringLiteral("Load Pod Configuration file (*.TXF)"), Layout::Load);
    search = button("search", QStringLiteral("Search for Pod"), QStringLiteral("Search for pods connected to this PC"),
                    Layout::search);
    ProgramPod = button("ProgramPod", QStringLiteral("Download"), QStringLiteral("Download configuration to pod"),
                        Layout::ProgramPod);
    Exit = button("Exit", QStringLiteral("Exit"), QStringLiteral("Close and exit  Vantelo"), Layout::Exit);

    for (int i = 0; i < 4; ++i) {
        Blanking[i] = new QFrame(this);
        place(Blanking[i], "Blanking", Layout::Blanking[i]);
        UseHighlightColours(Blanking[i]);
    }
    Blanking1 = CentredLabel(QStringLiteral("Please Wait Searching for Pods"), 12, Blanking[3]);
    place(Blanking1, "Blanking1", Layout::Blanking1);
    UseHighlightColours(Blanking1);

    PleaseWait = new QFrame(this);
    place(PleaseWait, "PleaseWait", Layout::PleaseWait);
    PleaseWait->setFrameStyle(QFrame::Box | QFrame::Plain);
    PleaseWait->setAutoFillBackground(true);
    PleaseWait->hide();
    Label3 = CentredLabel(QStringLiteral("Please wait programing pod"), 9.75, PleaseWait);
    place(Label3, "Label3", Layout::Label3);
    Label1 = CentredLabel(QStringLiteral("Percentage complete"), 9.75, PleaseWait);
    place(Label1, "Label1", Layout::Label1);
    Label2 = CentredLabel(QStringLiteral("0%"), 12, PleaseWait);
    place(Label2, "Label2", Layout::Label2);
    ProgressBar1 = new QProgressBar(PleaseWait);
    place(ProgressBar1, "ProgressBar1", Layout::ProgressBar1);
    ProgressBar1->setOrientation(Qt::Vertical);
    ProgressBar1->setRange(0, 1000);
    ProgressBar1->setValue(0);
    ProgressBar1->setTextVisible(false);

    Timer2 = new QTimer(this);
    Timer2->setObjectName(QStringLiteral("Timer2"));
    Timer2->setInterval(500);
}

} // namespace vantelo
