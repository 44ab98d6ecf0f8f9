#pragma once

#include "discovery/PodSlots.h"
#include "platform/UserDialogs.h"
#include "programming/ConfigurePod.h"
#include "serial/PodLink.h"
#include "station/StationOptions.h"

#include <QStringList>

#include <chrono>
#include <memory>

namespace vantelo {
class ReplyTimer;
class SerialPort;
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

// One port of the station: finds the pods on it and programs them through
// the window's own program command, telling the board and the record.
class PortRunner {
public:
    PortRunner(SerialPort& port, ReplyTimer& timer, const PortContext& context);

    void Run();

private:
    // The program command's failures, as the window would show them; its
    // question is answered No, since nobody is asked.
    class Messages final : public MsgBox {
    public:
        explicit Messages(PortRunner& runner) : runner_(runner) {}
        MsgAnswer Show(const QString& text, const QString& title, MsgButtons buttons, MsgIcon icon) override;
        QStringList texts;

    private:
        PortRunner& runner_;
    };

    class View final : public ProgressView {
    public:
        explicit View(PortRunner& runner) : runner_(runner) {}
        void Percentage(const QString&) override {}
        void Progress(int permille) override;
        void Status(const QString& text) override;
        void PleaseWait(bool) override {}

    private:
        PortRunner& runner_;
    };

    // The program command's pod list: this port's slot, selected.
    class Slot final : public PodSlots {
    public:
        explicit Slot(int slot) : slot_(slot) {}
        bool OptionSelected(int slot) const override { return slot == slot_; }
        void ShowBlanking(int, bool) override {}
        void ClearOption(int) override {}
        void EnableOption(int, bool) override {}
        void ShowOption(int, bool) override {}
        void SetOptionCaption(int, const QString&) override {}
        void SetPodTypeText(int, const QString&) override {}
        bool PodTypeShown(int) const override { return true; }
        void ShowPodType(int, bool) override {}
        void EnableProgramPod(bool) override {}

    private:
        int slot_;
    };

    bool Open();
    void TakePod(std::int32_t reply, std::chrono::steady_clock::time_point started);

    PortContext c_;
    Messages messages_{*this};
    View view_{*this};
    Slot slot_;
    PodLink link_;
    std::unique_ptr<TransferBuffers> buffers_ = std::make_unique<TransferBuffers>();
    bool closedReported_ = false;
};

} // namespace vantelo::station
