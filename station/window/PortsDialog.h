#pragma once

#include "station/window/WindowSettings.h"

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QLineEdit;
class QListWidget;

namespace vantelo::station {

// The ports to serve, as numbers 1 to 64 or devices (those the system lists
// offered), and what goes into the record: its folder, the station's name,
// whether the operator is asked at Start.
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
    QLineEdit* station_;
    QCheckBox* askOperator_;
    QLabel* error_;
};

} // namespace vantelo::station
