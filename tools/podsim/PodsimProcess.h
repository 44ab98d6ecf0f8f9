#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

namespace vantelo {

// podsim as a child process. Starting it waits for its "ready" line and puts
// the device of each port it announces into VANTELO_COMn of this process;
// destroying it stops podsim.
class PodsimProcess {
public:
    // logFile: where podsim's log goes; empty to discard it.
    // Throws std::runtime_error when podsim does not come up.
    PodsimProcess(const QString& program, const QStringList& arguments, const QString& logFile = {});
    ~PodsimProcess();
    PodsimProcess(const PodsimProcess&) = delete;
    PodsimProcess& operator=(const PodsimProcess&) = delete;

private:
    QProcess process_;
};

} // namespace vantelo
