#include "station/window/PortTile.h"

#include "station/StationWords.h"

#include <QLabel>
#include <QProgressBar>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace vantelo::station {

namespace {

// Words are sized from the window's font: name and status 1.2 times it, the
// call to the hand 1.4 times, to be read across a bench; shrunk to fit the
// screen, never under 9 pt (12 px at 96 dpi) nor under the window's font
// where that is smaller. A tile is never narrower than 160 px.
constexpr double BoldScale = 1.2;
constexpr double CallScale = 1.4;
constexpr double LegiblePoints = 9;
constexpr int TileWidth = 160;

double Points(const QFont& font)
{
    return font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 0.75;
}

QFont Sized(QFont font, double factor, bool bold)
{
    font.setPointSizeF(Points(font) * factor);
    font.setBold(bold);
    return font;
}

// The widest of the calls to the hand in `font`.
int WidestCall(const QFont& font)
{
    const QFontMetrics metrics(font);
    int widest = 0;
    for (int phase = 0; phase <= int(PortPhase::Halted); ++phase)
        widest = std::max(widest, metrics.horizontalAdvance(CallWords(PortPhase(phase))));
    return widest;
}

// The property the window's style sheet colours tiles by.
const char* LookName(TileLook look)
{
    switch (look) {
    case TileLook::Programmed:
        return "programmed";
    case TileLook::Failed:
        return "failed";
    case TileLook::Skipped:
        return "skipped";
    case TileLook::Busy:
        return "busy";
    case TileLook::Unopened:
        return "unopened";
    case TileLook::Empty:
        break;
    }
    return "empty";
}

} // namespace

TileLook LookOf(const PortState& port)
{
    if (port.latched) {
        switch (*port.latched) {
        case PodResult::Programmed:
            return TileLook::Programmed;
        case PodResult::Skipped:
            return TileLook::Skipped;
        case PodResult::Failed:
        case PodResult::Interrupted:
            return TileLook::Failed;
        }
    }
    if (port.phase == PortPhase::Unopened || port.phase == PortPhase::Halted)
        return TileLook::Unopened;
    return port.pod.isEmpty() ? TileLook::Empty : TileLook::Busy;
}

QString PlainTip(const QString& text)
{
    return text.isEmpty() ? text : QStringLiteral("<p style='white-space:pre'>%1</p>").arg(text.toHtmlEscaped());
}

PortTile::PortTile(const QString& name, QWidget* parent)
    : QFrame(parent), name_(name), title_(new QLabel(this)), pod_(new QLabel(this)), status_(new QLabel(this)),
      call_(new QLabel(this)), progress_(new QProgressBar(this)), left_(new QLabel(this)), row_(new QWidget(this)),
      look_(TileLook::Empty)
{
    setObjectName(name);
    setAccessibleName(name);
    setProperty("look", LookName(look_));
    title_->setObjectName(QStringLiteral("port"));
    title_->setToolTip(PlainTip(name));
    pod_->setObjectName(QStringLiteral("pod"));
    // Names, pods and messages come from users and pods: never markup.
    for (QLabel* label : {title_, pod_, status_, call_})
        label->setTextFormat(Qt::PlainText);
    status_->setObjectName(QStringLiteral("status"));
    status_->setWordWrap(true);
    status_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    // Words are cut or wrapped to the tile, never the tile widened to them:
    // its width is the one Fit sets, whatever the texts.
    for (QLabel* label : {title_, pod_, status_}) {
        QSizePolicy policy = label->sizePolicy();
        policy.setHorizontalPolicy(QSizePolicy::Ignored);
        label->setSizePolicy(policy);
    }
    call_->setObjectName(QStringLiteral("call"));
    progress_->setRange(0, 1000);
    progress_->setTextVisible(true);
    progress_->hide();
    left_->setObjectName(QStringLiteral("left"));
    left_->hide();
    // The call and the progress bar never show together: they share a row,
    // as high as the higher of them, so that tiles never jump.
    auto* row = new QHBoxLayout(row_);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(call_);
    row->addWidget(progress_, 1);
    row->addWidget(left_);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    layout->addWidget(title_);
    layout->addWidget(pod_);
    layout->addWidget(status_);
    layout->addWidget(row_);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    Fit(1, QWIDGETSIZE_MAX);
}

bool PortTile::Fit(double scale, int width)
{
    ensurePolished(); // the style sheet's border counts in the width
    const QFont base = font();
    const double least = std::min(1.0, LegiblePoints / Points(base));
    const auto factor = [&](double wish) { return std::max(least, wish * scale); };
    const QFont bold = Sized(base, factor(BoldScale), true);
    const QFont plain = Sized(base, factor(1), false);
    title_->setFont(bold);
    status_->setFont(bold);
    for (QWidget* part : std::initializer_list<QWidget*>{pod_, progress_, left_})
        part->setFont(plain);
    const QMargins margins = layout()->contentsMargins();
    const int sides = margins.left() + margins.right() + 2 * frameWidth();
    // The call as large as the tile's width lets it be.
    double call = factor(CallScale);
    while (call > least && WidestCall(Sized(base, call, true)) > width - sides)
        call = std::max(least, call * 0.95);
    call_->setFont(Sized(base, call, true));
    const int calls = WidestCall(call_->font());
    call_->setMinimumWidth(calls);
    // The bar reads by its fill at any width; the time left beside it whole.
    progress_->setMinimumWidth(2 * progress_->fontMetrics().height());
    const int writing = progress_->minimumWidth() + row_->layout()->spacing() +
                        left_->fontMetrics().horizontalAdvance(QStringLiteral("0:00 left"));
    // Room for a failure's first message on two lines: every tile is as high.
    status_->setFixedHeight(status_->fontMetrics().lineSpacing() * 2);
    row_->setFixedHeight(std::max(call_->fontMetrics().lineSpacing(), progress_->sizeHint().height()));
    setMinimumWidth(std::max(TileWidth, sides + std::max(calls, writing)));
    Elide();
    return CallScale * scale <= least;
}

void PortTile::resizeEvent(QResizeEvent* event)
{
    QFrame::resizeEvent(event);
    Elide();
}

void PortTile::Elide()
{
    // Until the tile shows, its labels are not yet as wide as it makes them.
    const auto room = [this](const QLabel* label) { return isVisible() ? label->width() : QWIDGETSIZE_MAX; };
    title_->setText(title_->fontMetrics().elidedText(name_, Qt::ElideLeft, room(title_)));
    pod_->setText(pod_->fontMetrics().elidedText(podName_, Qt::ElideRight, room(pod_)));
}

void PortTile::Show(const PortState& port, BoardClock::time_point now)
{
    podName_ = port.pod.isEmpty() ? QStringLiteral("no pod") : port.pod;
    pod_->setToolTip(PlainTip(port.pod));
    Elide();
    status_->setText(StatusWords(port));
    status_->setToolTip(PlainTip(port.firstMessage));
    call_->setText(CallWords(port.phase));
    const bool writing = port.permille >= 0 && !port.latched;
    call_->setVisible(!writing);
    progress_->setVisible(writing);
    left_->setVisible(writing);
    if (writing) {
        progress_->setValue(port.permille);
        progress_->setFormat(PercentWords(port.permille));
        left_->setText(TimeLeft(port, now));
    }
    QStringList said{podName_, status_->text()};
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
