#pragma once

#include <QObject>
#include <QString>

#include <cstdio>

namespace vantelo {

// True when standard output is a terminal that understands cursor movement
// (on Windows, once it has been asked to).
bool StandardOutputIsTerminal();

// Writes the text and flushes it: to a console in its own wide characters
// (Windows), anywhere else as UTF-8 without a byte-order mark, whatever the
// system's code page. A closed output is not an error.
void WriteText(std::FILE* file, const QString& text);

// The ways of stopping a console program, as Qt signals in the thread that
// made the notifier: Interrupted for each Ctrl-C, Terminated for SIGTERM or
// SIGHUP (Ctrl-Break or the console closed, on Windows). A closed standard
// output no longer ends the program: writing to it fails instead. Only one
// notifier may exist at a time.
class InterruptNotifier final : public QObject {
    Q_OBJECT
public:
    InterruptNotifier();
    ~InterruptNotifier() override;

    // What must outlive the program is written: a console being closed may
    // end it now.
    void Finished();

signals:
    void Interrupted();
    void Terminated();
};

} // namespace vantelo
