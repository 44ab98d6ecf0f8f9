#include "station/window/PortTile.h"

#include "serial/PodLink.h"
#include "station/terminal/TerminalBoard.h"

#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace vantelo::station {

namespace {

// The property the window's style sheet colours tiles by.
const char* LookName(TileLook look)
{
    switch (look) {
    case TileLook::Programmed: return "programmed";
    case TileLook::Failed: return "failed";
    case TileLook::Skipped: return "skipped";
    case TileLook::Busy: return "busy";
    case TileLook::Unopened: return "unopened";
    case TileLook::Empty: break;
    }
    return "empty";
}

} // namespace

TileLook LookOf(const PortState& port)
{
    if (port.latched) {
        switch (*port.latched) {
        case PodResult::Programmed: return TileLook::Programmed;
        case PodResult::Skipped: return TileLook::Skipped;
        case PodResult::Failed:
        case PodResult::Interrupted: return TileLook::Failed;
        }
    }
    if (port.phase == PortPhase::Unopened || port.phase == PortPhase::Halted)
        return TileLook::Unopened;
    return port.pod.isEmpty() ? TileLook::Empty : TileLook::Busy;
}

QString StatusText(const PortState& port)
{
    if (!port.latched)
        return port.phase == PortPhase::Writing ? port.step : PhaseWords(port.phase);
    const QString result = ResultWords(*port.latched);
    return *port.latched == PodResult::Failed ? result + QStringLiteral(": ") + port.firstMessage : result;
}

QString PlainTip(const QString& text)
{
    return text.isEmpty() ? text : QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

PortTile::PortTile(const QString& name, QWidget* parent)
    : QFrame(parent), name_(name), title_(new QLabel(this)), pod_(new QLabel(this)), status_(new QLabel(this)),
      call_(new QLabel(this)), progress_(new QProgressBar(this)), left_(new QLabel(this)), look_(TileLook::Empty)
{
    setObjectName(name);
    setAccessibleName(name);
    setProperty("look", LookName(look_));
    QLabel* title = title_;
    title->setObjectName(QStringLiteral("port"));
    title->setToolTip(PlainTip(name));
    // The name is cut to the tile, never the tile widened to the name.
    title->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    // Names, pods and messages come from users and pods: never markup.
    for (QLabel* label : {title, pod_, status_, call_})
        label->setTextFormat(Qt::PlainText);
    title->setText(name);
    QFont bold = title->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.2);
    title->setFont(bold);
    pod_->setObjectName(QStringLiteral("pod"));
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setFont(bold);
    // Room for a failure's first message on two lines: every tile is as high.
    status_->setFixedHeight(status_->fontMetrics().lineSpacing() * 2);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    call_->setObjectName(QStringLiteral("call"));
    QFont large = bold;
    large.setPointSizeF(bold.pointSizeF() * 1.4);
    call_->setFont(large);
    progress_->setRange(0, 1000);
    progress_->setTextVisible(true);
    progress_->hide();
    left_->setObjectName(QStringLiteral("left"));
    left_->hide();
    // The call and the progress bar never show together: they share a row,
    // as high as the higher of them, so that tiles never jump.
    auto* last = new QWidget(this);
    auto* row = new QHBoxLayout(last);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(call_);
    row->addWidget(progress_, 1);
    row->addWidget(left_);
    last->setFixedHeight(std::max(call_->fontMetrics().lineSpacing(), progress_->sizeHint().height()));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(title);
    layout->addWidget(pod_);
    layout->addWidget(status_);
    layout->addWidget(last);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

void PortTile::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    title_->setText(title_->fontMetrics().elidedText(name_, Qt::ElideLeft, title_->width()));
}

void PortTile::Show(const PortState& port, BoardClock::time_point now)
{
    pod_->setText(port.pod.isEmpty() ? QStringLiteral("no pod") : port.pod);
    status_->setText(StatusText(port));
    status_->setToolTip(PlainTip(port.firstMessage));
    call_->setText(CallWords(port.phase));
    const bool writing = port.permille >= 0 && !port.latched;
    progress_->setVisible(writing);
    left_->setVisible(writing);
    if (writing) {
        progress_->setValue(port.permille);
        progress_->setFormat(FormatPercent(port.permille));
        left_->setText(TimeLeft(port, now));
    }
    QStringList said{pod_->text(), status_->text()};
    if (port.latched && !call_->text().isEmpty())
        said << PhaseWords(port.phase);
    if (writing)
        said << progress_->text();
    setAccessibleDescription(said.join(QStringLiteral("; ")));
    const TileLook look = LookOf(port);
    if (look == look_)
        return;
    look_ = look;
    setProperty("look", LookName(look));
    // A property the style sheet selects on takes effect only when polished again.
    style()->unpolish(this);
    style()->polish(this);
}

} // namespace vantelo::station
