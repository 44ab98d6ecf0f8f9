#include "station/window/BoardView.h"

#include "station/StationWords.h"
#include "station/window/PortTile.h"

#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

#include <algorithm>
#include <numeric>

namespace vantelo::station {

namespace {

const char* const TileColours = R"(
QFrame[look] { border: 2px solid #9e9e9e; border-radius: 6px; background: #e0e0e0; }
QFrame[look="busy"] { border-color: #1565c0; background: palette(base); }
QFrame[look="programmed"] { border-color: #2e7d32; background: #a5d6a7; }
QFrame[look="failed"] { border-color: #c62828; background: #ef9a9a; }
QFrame[look="skipped"] { border-color: #ef6c00; background: #ffcc80; }
QFrame[look="unopened"] { border: 2px dashed #c62828; background: #e0e0e0; }
)";

} // namespace

std::optional<double> PodsPerHour(const Totals& totals, BoardClock::time_point since, BoardClock::time_point now)
{
    // A rate over less than a minute says little.
    if (now - since < std::chrono::minutes(1))
        return std::nullopt;
    return totals[PodResult::Programmed] / std::chrono::duration<double, std::ratio<3600>>(now - since).count();
}

BoardView::BoardView(QWidget* parent)
    : QWidget(parent), scroll_(new QScrollArea(this)), grid_(new QWidget), layout_(new QGridLayout),
      totals_(new QLabel(this))
{
    // Tiles keep their height; the room left over stays below them.
    auto* column = new QVBoxLayout(grid_);
    column->setContentsMargins(2, 2, 2, 2);
    column->addLayout(layout_);
    column->addStretch();
    grid_->setStyleSheet(QLatin1String(TileColours));
    layout_->setSpacing(4);
    scroll_->setWidget(grid_);
    scroll_->setWidgetResizable(true);
    scroll_->setFrameShape(QFrame::NoFrame);
    // Tabbed into, the tile area shows that it has the keys (arrows scroll it).
    scroll_->setStyleSheet(QStringLiteral("QScrollArea:focus { border: 2px solid palette(highlight); }"));
    scroll_->viewport()->installEventFilter(this);
    totals_->setObjectName(QStringLiteral("totals"));
    totals_->setAccessibleName(QStringLiteral("Totals"));
    // Wrapped, the line never makes the window wider than a small screen.
    totals_->setWordWrap(true);
    QFont bold = totals_->font();
    bold.setBold(true);
    totals_->setFont(bold);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll_, 1);
    layout->addWidget(totals_);
}

void BoardView::SetPorts(const std::vector<QString>& names)
{
    // The same ports keep their tiles.
    if (std::ranges::equal(tiles_, names, {}, &QObject::objectName))
        return;
    for (PortTile* tile : tiles_)
        delete tile;
    tiles_.clear();
    for (const QString& name : names)
        tiles_.push_back(new PortTile(name, grid_));
    order_.resize(tiles_.size());
    std::iota(order_.begin(), order_.end(), std::size_t{0});
    columns_ = 0;
    Arrange();
}

void BoardView::Arrange()
{
    if (tiles_.empty())
        return;
    const int spacing = layout_->spacing();
    const int count = int(tiles_.size());
    const QSize room = scroll_->viewport()->size().shrunkBy(grid_->layout()->contentsMargins());
    // As many columns as the tiles' least words let in; then the words as
    // large as the rows leave room for, one tile trying them for all.
    PortTile* probe = tiles_.front();
    probe->Fit(0, QWIDGETSIZE_MAX);
    const int fit = std::clamp((room.width() + spacing) / (probe->minimumWidth() + spacing), 1, count);
    const int width = (room.width() - (fit - 1) * spacing) / fit;
    const int rows = (count + fit - 1) / fit;
    double scale = 1;
    for (;;) {
        const bool least = probe->Fit(scale, width);
        fits_ = rows * (probe->sizeHint().height() + spacing) - spacing <= room.height();
        if (fits_ || least)
            break;
        scale -= 0.1;
    }
    for (PortTile* tile : tiles_)
        tile->Fit(scale, width);
    if (fit == columns_)
        return;
    for (PortTile* tile : tiles_)
        layout_->removeWidget(tile);
    for (int column = 0; column < std::max(columns_, fit); ++column)
        layout_->setColumnStretch(column, column < fit ? 1 : 0);
    columns_ = fit;
    for (std::size_t i = 0; i < tiles_.size(); ++i)
        layout_->addWidget(tiles_[order_[i]], int(i) / columns_, int(i) % columns_);
}

void BoardView::Order(const BoardSnapshot& board)
{
    std::vector<std::size_t> order(tiles_.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    if (!fits_) {
        std::ranges::stable_partition(
            order, [&](std::size_t i) { return i < board.ports.size() && NeedsHand(board.ports[i].phase); });
    }
    if (order == order_)
        return;
    order_ = order;
    columns_ = 0;
    Arrange();
}

bool BoardView::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize)
        Arrange();
    return QWidget::eventFilter(watched, event);
}

void BoardView::Show(const BoardSnapshot& board, BoardClock::time_point since, BoardClock::time_point now)
{
    for (std::size_t i = 0; i < tiles_.size() && i < board.ports.size(); ++i)
        tiles_[i]->Show(board.ports[i], now);
    Order(board);
    const auto rate = PodsPerHour(board.totals, since, now);
    totals_->setText(QStringLiteral("Totals: %1; %2 programmed per hour")
                         .arg(TotalsText(board.totals), rate ? QString::number(*rate, 'f', 0) : QStringLiteral("-")));
    // A screen reader reads the numbers, not only the label's name.
    totals_->setAccessibleName(totals_->text());
}

} // namespace vantelo::station
