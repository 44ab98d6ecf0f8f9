#pragma once

#include "station/PortRunner.h"
#include "station/StationFile.h"
#include "station/StatusBoard.h"
#include "station/window/WindowSettings.h"

#include <QTimer>
#include <QWidget>

#include <memory>
#include <optional>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QSettings;

namespace vantelo {
class FileDialog;
class MsgBox;
class TextPrompt;
} // namespace vantelo

namespace vantelo::station {

class BoardView;
class RecordFile;
class StationRun;

// What the command line fixes for the window's whole life.
struct WindowStart {
    std::vector<StationPort> ports;    // empty: those the settings remember
    QString record;                    // empty: a record per day in the settings' folder
    std::optional<double> bootSeconds; // none: the window's setting
    RecordOrigin origin{};             // for every record line; empty parts: the window's
    bool locked = false;               // neither Load nor Ports offered
    QStringList released{};            // SHA-256s every file loaded must have
};

// The station for operators who click: load a file, start, watch a tile per
// port, stop. The ports' threads report on a board the window polls.
class StationWindow final : public QWidget {
public:
    StationWindow(const PodCatalogue& podTypes, const WindowStart& start, QSettings& settings, FileDialog& files,
                  MsgBox& boxes, TextPrompt& prompts);
    ~StationWindow() override;

    // Loads the file as the window's Load does, asking nothing; false when refused.
    bool LoadFile(const QString& path);
    void Start();
    // Once: the pods being written are finished. Twice: at once.
    void Stop();
    // Stops at once, asking nothing, and closes when the ports have ended.
    void CloseAtOnce();
    bool Running() const;
    // As the terminal's: 1 once a pod failed, a named port could not be
    // opened or the record could not be written; else 0.
    int ExitStatus() const { return failed_ ? 1 : 0; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Load();
    void ChoosePorts();
    // Totals, yield and rate start again, after asking.
    void NewShift();
    void Refresh();
    void Finished();
    void ShowRunning(bool running);
    std::optional<std::vector<StationPort>> Ports();
    // The tiles of the ports Start would serve, before anything runs.
    void ShowPorts();
    // Who, where and which lot, for the record lines of a Start; nothing
    // when the operator, asked, gives no name.
    std::optional<RecordOrigin> Origin();

    const PodCatalogue& podTypes_;
    WindowStart start_;
    QSettings& settings_;
    FileDialog& files_;
    MsgBox& boxes_;
    TextPrompt& prompts_;

    QPushButton* load_;
    QLabel* file_;
    QPushButton* ports_;
    QLineEdit* lot_;
    QPushButton* startButton_;
    QPushButton* stop_;
    QPushButton* newShift_;
    QLabel* banner_;
    BoardView* view_;
    QLabel* record_;
    QPlainTextEdit* messages_;
    QTimer refresh_;

    std::optional<StationFile> loaded_;
    // Of the run under way or the last one, which the tiles still show.
    std::unique_ptr<StationJob> job_;
    std::unique_ptr<StatusBoard> board_;
    std::unique_ptr<RecordFile> recordFile_;
    std::unique_ptr<StationRun> run_;
    BoardClock::time_point started_;
    BoardSnapshot last_;
    QString operator_; // the last one asked for
    bool finished_ = true;
    bool failed_ = false;
    bool closeWhenFinished_ = false;
};

} // namespace vantelo::station
