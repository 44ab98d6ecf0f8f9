#pragma once

#include "platform/UserDialogs.h"
#include "programming/ConfigurePod.h"
#include "programming/ProgramPod.h"
#include "serial/PodLink.h"
#include "station/PodPresence.h"
#include "station/PodRecord.h"
#include "station/StationOptions.h"

#include <QStringList>

#include <chrono>
#include <functional>
#include <memory>
#include <optional>

namespace vantelo {
class ReplyTimer;
class SerialPort;
struct PodIdentity;
} // namespace vantelo

namespace vantelo::station {

class RecordFile;
class StatusBoard;
struct StationControl;

// The pod configuration and what the record says of its file.
struct StationJob {
    const PodConfiguration& configuration;
    QString file;
    QString sha256;
    bool watch = false;
    std::chrono::nanoseconds bootLimit = PodPresence::DefaultBootLimit;
    RecordOrigin origin{};
};

// What a port's runner shares with the station, and where it reports.
struct PortContext {
    const PodCatalogue& podTypes;
    const StationJob& job;
    StationPort where;
    int index; // its line on the board
    StatusBoard& board;
    RecordFile& record;
    StationControl& control;
};

// The time the port's waits run on: the steady clock, or a test's virtual one.
using PortClock = std::function<std::chrono::nanoseconds()>;

// One port of the station: finds the pods on it and programs them through
// the window's own program command, telling the board and the record.
class PortRunner {
public:
    PortRunner(SerialPort& port, ReplyTimer& timer, const PortContext& context, PortClock now);

    void Run();

private:
    using Time = PodPresence::Time;

    // The failures of the pod at hand, as the window would show them; its
    // question is answered No, since nobody is asked.
    class Messages final : public MsgBox {
    public:
        explicit Messages(PortRunner& runner) : runner_(runner) {}
        MsgAnswer Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override;
        QStringList texts; // of the pod's programming, or of one restart
        QStringList said;  // shown for the pod on the port, each once

    private:
        PortRunner& runner_;
    };

    class View final : public ProgressView {
    public:
        explicit View(PortRunner& runner) : runner_(runner) {}
        void Percentage(const QString&) override {}
        void Progress(int permille) override;
        void Status(ProgramStep step) override;
        void PleaseWait(bool) override {}
        void Repeated() override { ++retries; }
        void BlockAcknowledged() override { ++blocks; }
        int retries = 0;
        int blocks = 0;

    private:
        PortRunner& runner_;
    };

    bool Open();
    // Waits until the next poll may begin, and gives its start.
    Time AwaitPoll();
    void TakePod(const PodIdentity& pod, Time started);
    void Show(PortPhase phase);
    // Why the port ends: as asked, or the record cannot be written.
    void Stop();

    PortContext c_;
    PortClock now_;
    Messages messages_{*this};
    View view_{*this};
    SelectedPort port_; // as the program command knows it
    PodLink link_;
    std::unique_ptr<TransferBuffers> buffers_ = std::make_unique<TransferBuffers>();
    PodPresence presence_{c_.job.bootLimit};
    std::optional<Time> lastPoll_;
    bool closedReported_ = false;
};

} // namespace vantelo::station
