#pragma once

#include "station/StatusBoard.h"

#include <QWidget>

#include <optional>
#include <vector>

class QGridLayout;
class QLabel;
class QScrollArea;

namespace vantelo::station {

class PortTile;

// Pods programmed per hour from `since` to `now`; none before a minute has passed.
std::optional<double> PodsPerHour(const Totals& totals, BoardClock::time_point since, BoardClock::time_point now);

// The station's board as tiles, a grid that fits its width (more rows
// scroll, when even the least words leave too many), and the totals under them.
class BoardView final : public QWidget {
public:
    explicit BoardView(QWidget* parent = nullptr);

    void SetPorts(const std::vector<QString>& names);
    void Show(const BoardSnapshot& board, BoardClock::time_point since, BoardClock::time_point now);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Arrange();
    // Only when not every tile fits: the tiles that need a hand go first.
    // Otherwise each tile stays where its port is on the bench.
    void Order(const BoardSnapshot& board);

    QScrollArea* scroll_;
    QWidget* grid_;
    QGridLayout* layout_;
    QLabel* totals_;
    std::vector<PortTile*> tiles_;
    std::vector<std::size_t> order_; // the tiles by place in the grid
    int columns_ = 0;
    bool fits_ = true; // every tile shows without scrolling
};

} // namespace vantelo::station
