#include "station/window/PortsDialog.h"

#include "station/StationOptions.h"
#include "station/window/PortTile.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSerialPortInfo>

namespace vantelo::station {

namespace {

QStringList Split(const QString& ports)
{
    static const QRegularExpression separators(QStringLiteral("[\\s,;]+"));
    return ports.split(separators, Qt::SkipEmptyParts);
}

} // namespace

PortsDialog::PortsDialog(const WindowSettings& current, QWidget* parent)
    : QDialog(parent), ports_(new QLineEdit(current.ports.join(u' '), this)), offered_(new QListWidget(this)),
      folder_(new QLineEdit(current.recordFolder, this)), boot_(new QDoubleSpinBox(this)),
      station_(new QLineEdit(current.station, this)),
      askOperator_(new QCheckBox(QStringLiteral("Ask who operates at every Start"), this)), error_(new QLabel(this))
{
    setWindowTitle(QStringLiteral("Ports"));
    ports_->setAccessibleName(QStringLiteral("Ports"));
    ports_->setToolTip(QStringLiteral("Port numbers 1 to 64 (COM1 to COM64) or devices, separated by blanks"));
    offered_->setAccessibleName(QStringLiteral("Devices on this computer"));
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        auto* item = new QListWidgetItem(info.systemLocation(), offered_);
        item->setToolTip(PlainTip(info.description()));
    }
    // A device offered is added by a double click.
    connect(offered_, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
        if (!Split(ports_->text()).contains(item->text()))
            ports_->setText((ports_->text().trimmed() + u' ' + item->text()).trimmed());
    });
    folder_->setAccessibleName(QStringLiteral("Record folder"));
    auto* browse = new QPushButton(QStringLiteral("Choose..."), this);
    browse->setAccessibleName(QStringLiteral("Choose the record folder"));
    connect(browse, &QPushButton::clicked, this, [this] {
        const QString folder =
            QFileDialog::getExistingDirectory(this, QStringLiteral("Record folder"), folder_->text());
        if (!folder.isEmpty())
            folder_->setText(folder);
    });
    boot_->setRange(1, 600);
    boot_->setDecimals(1);
    boot_->setSuffix(QStringLiteral(" s"));
    boot_->setValue(current.bootSeconds);
    boot_->setAccessibleName(QStringLiteral("Boot limit"));
    boot_->setToolTip(QStringLiteral("The longest a pod stays deaf after a restart: a pod silent since its restart "
                                     "is asked to be taken off after this"));
    station_->setAccessibleName(QStringLiteral("Station name"));
    station_->setPlaceholderText(HostStationName());
    station_->setToolTip(QStringLiteral("The bench's name in every record line and in the daily record's name"));
    askOperator_->setChecked(current.askOperator);
    // An error says what was typed before: a change makes it stale.
    connect(ports_, &QLineEdit::textChanged, error_, &QLabel::clear);
    error_->setWordWrap(true);
    error_->setTextFormat(Qt::PlainText); // it names what the user typed
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &PortsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &PortsDialog::reject);

    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder_, 1);
    folderRow->addWidget(browse);
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("Ports:"), ports_);
    form->addRow(QStringLiteral("Devices found\n(double-click to add):"), offered_);
    form->addRow(QStringLiteral("Record folder:"), folderRow);
    form->addRow(QStringLiteral("Boot limit:"), boot_);
    form->addRow(QStringLiteral("Station name:"), station_);
    form->addRow(askOperator_);
    form->addRow(error_);
    form->addRow(buttons);
}

WindowSettings PortsDialog::Chosen() const
{
    return {Split(ports_->text()), folder_->text().trimmed(), boot_->value(), station_->text().trimmed(),
            askOperator_->isChecked()};
}

void PortsDialog::accept()
{
    QString error;
    const WindowSettings chosen = Chosen();
    if (chosen.ports.isEmpty())
        error = QStringLiteral("Name at least one port.");
    else if (!ParsePorts(chosen.ports, error))
        error[0] = error[0].toUpper();
    if (error.isEmpty())
        return QDialog::accept();
    error_->setText(error);
}

} // namespace vantelo::station
