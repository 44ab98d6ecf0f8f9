#pragma once

#include <QObject>

namespace vantelo {

// True when standard output is a terminal that understands cursor movement
// (on Windows, once it has been asked to).
bool StandardOutputIsTerminal();

// Ctrl-C at the console as a Qt signal in the thread that made the notifier,
// one for each press. Only one notifier may exist at a time.
class InterruptNotifier final : public QObject {
    Q_OBJECT
public:
    InterruptNotifier();
    ~InterruptNotifier() override;

signals:
    void Interrupted();
};

} // namespace vantelo
