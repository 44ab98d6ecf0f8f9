#pragma once

#include "station/window/WindowSettings.h"

#include <QDialog>

class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vantelo::station {

// The ports to serve, as numbers 1 to 64 or devices (those the system lists
// offered), and the record's folder.
class PortsDialog final : public QDialog {
public:
    PortsDialog(const WindowSettings& current, QWidget* parent);

    WindowSettings Chosen() const;
    void accept() override; // only ports the station takes

private:
    QLineEdit* ports_;
    QListWidget* offered_;
    QLineEdit* folder_;
    QDoubleSpinBox* boot_;
    QLabel* error_;
};

} // namespace vantelo::station
