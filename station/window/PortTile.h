#pragma once

#include "station/StatusBoard.h"

#include <QFrame>

class QLabel;
class QResizeEvent;
class QProgressBar;

namespace vantelo::station {

// How a tile looks, which its colours follow: a latched result, a pod in
// hand, an empty port, or one that cannot be opened or was stopped by a fault.
enum class TileLook { Programmed, Failed, Skipped, Busy, Empty, Unopened };

TileLook LookOf(const PortState& port);

// A tooltip that shows `text` as it is, never as markup.
QString PlainTip(const QString& text);

// One port at a glance: one accessible object named after the port, its
// texts inside it.
class PortTile final : public QFrame {
public:
    PortTile(const QString& name, QWidget* parent);

    void Show(const PortState& port, BoardClock::time_point now);
    // Sizes the words from the window's font for a tile `width` pixels wide:
    // `scale` (at most 1) of their size for reading across a bench, the call
    // to the hand no wider than the tile, none under the legible least. Sets
    // the tile's minimum width; true when every word is at its least.
    bool Fit(double scale, int width);

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // A long name keeps its end, which tells one device from the next; a
    // long pod its start.
    void Elide();

    QString name_;
    QString podName_;
    QLabel* title_;
    QLabel* pod_;
    QLabel* status_;
    QLabel* call_;
    QProgressBar* progress_;
    QLabel* left_;
    QWidget* row_;
    TileLook look_;
};

} // namespace vantelo::station
