#include "station/window/StationWindow.h"

#include "config/PodFile.h"
#include "platform/UserDialogs.h"
#include "station/RecordFile.h"
#include "station/StationRun.h"
#include "station/window/BoardView.h"
#include "station/window/PortTile.h"
#include "station/window/PortsDialog.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSettings>

#include <algorithm>

namespace vantelo::station {

namespace {

const QString ErrorTitle = QStringLiteral("Error!");
const QString Title = QStringLiteral("Vantelo Station");

QPushButton* Button(const QString& name, const QString& tip, QWidget* parent)
{
    auto* button = new QPushButton(name, parent);
    const QString plain = QString(name).remove(u'&');
    button->setObjectName(plain);
    button->setAccessibleName(plain);
    // Enter presses the button that has the focus.
    button->setAutoDefault(true);
    button->setToolTip(tip);
    return button;
}

// A pod identified and without a result yet is being written.
bool Writing(const BoardSnapshot& board)
{
    return std::ranges::any_of(board.ports, [](const PortState& port) { return !port.pod.isEmpty() && !port.latched; });
}

} // namespace

StationWindow::StationWindow(const PodCatalogue& podTypes, const WindowStart& start, QSettings& settings,
                             FileDialog& files, MsgBox& boxes, TextPrompt& prompts)
    : podTypes_(podTypes), start_(start), settings_(settings), files_(files), boxes_(boxes), prompts_(prompts),
      load_(Button(QStringLiteral("&Load"), QStringLiteral("Load Pod Configuration file (*.TXF)"), this)),
      file_(new QLabel(QStringLiteral("Load a configuration file to start"), this)),
      ports_(Button(QStringLiteral("&Ports"), QStringLiteral("The ports to serve and the record's settings"), this)),
      lot_(new QLineEdit(start.origin.lot, this)),
      startButton_(Button(QStringLiteral("&Start"), QStringLiteral("Program every pod put on a port"), this)),
      stop_(
          Button(QStringLiteral("S&top"), QStringLiteral("Finish the pods being written; again: stop at once"), this)),
      newShift_(Button(QStringLiteral("&New shift"), QStringLiteral("Start the totals, yield and rate again"), this)),
      banner_(new QLabel(this)), view_(new BoardView(this)), record_(new QLabel(this)),
      messages_(new QPlainTextEdit(this))
{
    setWindowTitle(Title);
    // Paths and names come from users: never markup.
    for (QLabel* label : {file_, record_, banner_})
        label->setTextFormat(Qt::PlainText);
    banner_->setObjectName(QStringLiteral("banner"));
    banner_->setWordWrap(true);
    banner_->setStyleSheet(QStringLiteral("background: #c62828; color: white; font-weight: bold; padding: 8px;"));
    banner_->hide();
    file_->setObjectName(QStringLiteral("file"));
    file_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    record_->setObjectName(QStringLiteral("record"));
    record_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    messages_->setObjectName(QStringLiteral("messages"));
    messages_->setAccessibleName(QStringLiteral("Messages"));
    messages_->setReadOnly(true);
    messages_->setMaximumBlockCount(1000);
    messages_->setFixedHeight(messages_->fontMetrics().lineSpacing() * 4 + 10);
    lot_->setObjectName(QStringLiteral("lot"));
    lot_->setAccessibleName(QStringLiteral("Lot"));
    lot_->setToolTip(QStringLiteral("The lot or work order, in every record line from the next Start"));
    auto* lotLabel = new QLabel(QStringLiteral("L&ot:"), this);
    lotLabel->setBuddy(lot_);
    // Operators take the file and ports the supervisor set up.
    load_->setVisible(!start.locked);
    ports_->setVisible(!start.locked);
    if (start.locked)
        file_->setText(QStringLiteral("No configuration file is set up for this bench: ask the supervisor"));
    connect(load_, &QPushButton::clicked, this, &StationWindow::Load);
    connect(ports_, &QPushButton::clicked, this, &StationWindow::ChoosePorts);
    connect(startButton_, &QPushButton::clicked, this, &StationWindow::Start);
    connect(stop_, &QPushButton::clicked, this, &StationWindow::Stop);
    connect(newShift_, &QPushButton::clicked, this, &StationWindow::NewShift);
    connect(&refresh_, &QTimer::timeout, this, &StationWindow::Refresh);

    auto* commands = new QHBoxLayout;
    commands->addWidget(load_);
    commands->addWidget(file_, 1);
    commands->addWidget(ports_);
    commands->addWidget(lotLabel);
    commands->addWidget(lot_);
    commands->addWidget(startButton_);
    commands->addWidget(stop_);
    commands->addWidget(newShift_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(commands);
    layout->addWidget(banner_);
    layout->addWidget(view_, 1);
    layout->addWidget(record_);
    layout->addWidget(messages_);
    ShowRunning(false);
    ShowPorts();
    resize(1280, 720);
}

StationWindow::~StationWindow() = default;

bool StationWindow::Running() const
{
    return run_ && !finished_;
}

void StationWindow::ShowRunning(bool running)
{
    // The file cannot change under a running shift.
    load_->setEnabled(!running);
    ports_->setEnabled(!running);
    lot_->setEnabled(!running);
    startButton_->setEnabled(!running && loaded_);
    stop_->setEnabled(running);
    newShift_->setEnabled(!running && board_);
    stop_->setText(QStringLiteral("S&top"));
    stop_->setAccessibleName(QStringLiteral("Stop"));
    // The focus stays on the commands: Stop while running, Start after.
    if (QPushButton* next = running ? stop_ : startButton_; next->isEnabled())
        next->setFocus();
}

void StationWindow::Load()
{
    const QString path = files_.ShowOpen(FileMustExist, QLatin1String(PodFileFilter), 1);
    if (!path.isEmpty())
        LoadFile(path);
}

bool StationWindow::LoadFile(const QString& path)
{
    if (Running())
        return false;
    QString refusal;
    auto file = LoadStationFile(path, start_.released, refusal);
    if (!file) {
        boxes_.Show(refusal, ErrorTitle, MsgButtons::Ok, MsgIcon::None);
        return false;
    }
    loaded_ = std::move(file);
    const QString type = PodTypeName(podTypes_, loaded_->configuration->type_code);
    file_->setText(QStringLiteral("%1   %2   SHA-256 %3")
                       .arg(loaded_->name,
                            type.isEmpty() ? QStringLiteral("type %1").arg(loaded_->configuration->type_code) : type,
                            loaded_->sha256.left(12)));
    file_->setToolTip(PlainTip(QStringLiteral("%1\nSHA-256 %2").arg(QDir::toNativeSeparators(path), loaded_->sha256)));
    ShowRunning(false);
    return true;
}

std::optional<std::vector<StationPort>> StationWindow::Ports()
{
    if (!start_.ports.empty())
        return start_.ports;
    QString error;
    const auto ports = ParsePorts(ReadWindowSettings(settings_).ports, error);
    if (ports && !ports->empty())
        return ports;
    boxes_.Show(ports ? QStringLiteral("No port to serve: choose them with Ports.") : error, ErrorTitle, MsgButtons::Ok,
                MsgIcon::None);
    return std::nullopt;
}

void StationWindow::ShowPorts()
{
    QString error;
    const auto ports = start_.ports.empty() ? ParsePorts(ReadWindowSettings(settings_).ports, error) : start_.ports;
    std::vector<QString> names;
    for (const StationPort& port : ports.value_or(std::vector<StationPort>{}))
        names.push_back(port.name);
    view_->SetPorts(names);
}

void StationWindow::ChoosePorts()
{
    PortsDialog dialog(ReadWindowSettings(settings_), this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    WriteWindowSettings(settings_, dialog.Chosen());
    // What the user picks now counts over the command line's.
    start_.ports.clear();
    run_.reset(); // ended: the board it reported on goes
    board_.reset();
    last_ = {};
    ShowPorts();
    ShowRunning(false);
}

void StationWindow::Start()
{
    if (Running() || !loaded_)
        return;
    const auto ports = Ports();
    if (!ports)
        return;
    const auto origin = Origin();
    if (!origin)
        return;
    QString path = start_.record;
    if (path.isEmpty()) {
        const QString folder = ReadWindowSettings(settings_).recordFolder;
        QDir().mkpath(folder);
        path = DailyRecord(folder, origin->station, QDate::currentDate());
    }
    // The last run's threads have ended: what they shared can go.
    run_.reset();
    recordFile_ = std::make_unique<RecordFile>();
    QString error;
    if (!recordFile_->Open(path, error)) {
        record_->setText(error);
        boxes_.Show(error, ErrorTitle, MsgButtons::Ok, MsgIcon::None);
        failed_ = true;
        return;
    }
    record_->setText(QStringLiteral("Record: ") + QDir::toNativeSeparators(path));
    banner_->hide();

    std::vector<QString> names;
    for (const StationPort& port : *ports)
        names.push_back(port.name);
    // The same ports keep their shift: totals, and the pods still on them.
    if (!board_ || last_.ports.size() != names.size() ||
        !std::ranges::equal(last_.ports, names, {}, &PortState::name)) {
        board_ = std::make_unique<StatusBoard>(names);
        view_->SetPorts(names);
        started_ = BoardClock::now();
    }
    const double bootSeconds = start_.bootSeconds.value_or(ReadWindowSettings(settings_).bootSeconds);
    job_ = std::make_unique<StationJob>(StationJob{*loaded_->configuration, loaded_->name, loaded_->sha256, true,
                                                   std::chrono::milliseconds(qRound64(bootSeconds * 1000)), *origin});
    run_ = std::make_unique<StationRun>(podTypes_, *job_, *ports, *board_, *recordFile_);
    connect(run_.get(), &StationRun::Finished, this, &StationWindow::Finished);
    finished_ = false;
    run_->Start();
    ShowRunning(true);
    Refresh();
    refresh_.start(200);
}

std::optional<RecordOrigin> StationWindow::Origin()
{
    const WindowSettings remembered = ReadWindowSettings(settings_);
    RecordOrigin origin = start_.origin;
    if (origin.station.isEmpty())
        origin.station = remembered.station.isEmpty() ? HostStationName() : remembered.station;
    origin.lot = lot_->text().trimmed();
    if (origin.operator_.isEmpty() && remembered.askOperator) {
        const auto given = prompts_.Ask(QStringLiteral("Who operates this bench? (name or badge)"), Title, operator_);
        if (!given || given->trimmed().isEmpty())
            return std::nullopt;
        operator_ = given->trimmed();
        origin.operator_ = operator_;
    }
    return origin;
}

void StationWindow::Stop()
{
    if (!Running())
        return;
    if (run_->Stop()) {
        board_->Note(QStringLiteral("Stopping: the pods being written are finished first. Stop again stops at once."));
        stop_->setText(QStringLiteral("S&top at once"));
        stop_->setAccessibleName(QStringLiteral("Stop at once"));
    }
}

void StationWindow::CloseAtOnce()
{
    closeWhenFinished_ = true;
    if (Running())
        run_->StopAtOnce();
    else
        close();
}

void StationWindow::closeEvent(QCloseEvent* event)
{
    if (!Running())
        return event->accept();
    event->ignore();
    if (!closeWhenFinished_) {
        Refresh();
        if (Writing(last_) && boxes_.Show(QStringLiteral("Pods are being written. Stop at once and close? "
                                                         "They will be recorded as interrupted."),
                                          Title, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
            return;
    }
    CloseAtOnce();
}

void StationWindow::NewShift()
{
    if (Running() || !board_ ||
        boxes_.Show(QStringLiteral("Start a new shift? The totals, yield and pods per hour start again from zero."),
                    Title, MsgButtons::YesNo, MsgIcon::Question) != MsgAnswer::Yes)
        return;
    std::vector<QString> names;
    for (const PortState& port : last_.ports)
        names.push_back(port.name);
    run_.reset(); // ended: the board it reported on goes
    board_ = std::make_unique<StatusBoard>(names);
    started_ = BoardClock::now();
    Refresh();
}

void StationWindow::Refresh()
{
    if (!board_)
        return;
    last_ = board_->Take();
    // A stop nobody asked for: said across the window, the results no longer stand.
    if (run_ && run_->Control().recordLost && banner_->isHidden()) {
        banner_->setText(QStringLiteral("Stopped: the record cannot be written, so no pod is being programmed. "
                                        "See the messages below, then Start again."));
        banner_->show();
    }
    view_->Show(last_, started_, BoardClock::now());
    const QString time = QTime::currentTime().toString(QStringLiteral("HH:mm:ss "));
    for (const Happening& happening : last_.happenings) {
        if (happening.message)
            messages_->appendPlainText(time + happening.text);
    }
}

void StationWindow::Finished()
{
    finished_ = true;
    failed_ = failed_ || run_->Control().failed;
    refresh_.stop();
    Refresh();
    ShowRunning(false);
    if (closeWhenFinished_)
        close();
}

} // namespace vantelo::station
