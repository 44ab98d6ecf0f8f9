#pragma once

#include "app/DownloadView.h"
#include "config/PodConfiguration.h"
#include "programming/ConfigurePod.h"
#include "serial/PodLink.h"

#include <array>
#include <functional>
#include <memory>

#include <QString>
#include <QWidget>

class QButtonGroup;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QTimer;

namespace vantelo {

class Clipboard;
class FileDialog;
class MsgBox;
class ReplyTimer;
class SerialPort;
class SettingsStore;

// What the window works through: the platform's services, the program's
// command-line arguments as one text, and how the program ends.
struct DownloadServices {
    SerialPort& MSComm1;
    ReplyTimer& Timer1;
    SettingsStore& store;
    FileDialog& CommonDialog1;
    Clipboard& clipboard;
    MsgBox& msgBox;
    QString commandLine;
    std::function<void()> endProgram;
};

// The program's one window: the loaded configuration, the four pod slots
// (slot i belongs to port i + 1) and the commands.
class Download : public QWidget {
    Q_OBJECT

public:
    explicit Download(DownloadServices services, QWidget* parent = nullptr);
    ~Download() override;

    void ResetPodList();
    bool open_pod_file(QString& local_filename);

    void Load_Click();
    void search_Click();
    void Option1_Click(int Index);
    void ProgramPod_Click();
    void Exit_Click();
    void Timer2_Timer();
    void SearchForPods();

    // True while a search or a program command is under way.
    bool running() const { return running_; }

    const PodConfiguration& configuration() const { return *configuration_; }

    QGroupBox* Frame1;
    QLabel* FileName;
    QGroupBox* Frame2;
    std::array<QRadioButton*, 4> Option1;
    QButtonGroup* Option1Group;
    std::array<QLineEdit*, 4> PodType;
    QGroupBox* Frame3;
    QPushButton* Load;
    QPushButton* search;
    QPushButton* ProgramPod;
    QPushButton* Exit;
    std::array<QFrame*, 4> Blanking;
    QLabel* Blanking1;
    QFrame* PleaseWait;
    QLabel* Label3;
    QLabel* Label1;
    QLabel* Label2;
    QProgressBar* ProgressBar1;
    QTimer* Timer2;

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Runs a search or a program command; the commands that would start
    // another on the same port do nothing meanwhile.
    void RunExclusive(const std::function<void()>& command);
    void CreateControls();
    void ConnectCommands();
    void Form_Load();
    // Places a control at a position given in twips within its container.
    void PlaceTwips(QWidget* control, int left, int top, int width, int height) const;
    int TwipsToPixels(double twips) const;

    DownloadServices services_;
    DownloadView view_{*this};
    // Filled by Form_Load, read-only afterwards.
    PodCatalogue PodTypes;
    PodLink link_;
    std::unique_ptr<PodConfiguration> configuration_;
    std::unique_ptr<TransferBuffers> buffers_;
    bool running_ = false;
};

} // namespace vantelo
