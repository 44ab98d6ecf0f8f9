#include "PodsimProcess.h"

#include <stdexcept>

namespace vantelo {

namespace {

constexpr int StartTimeoutMs = 10'000;

std::runtime_error Failure(const QProcess& process, const QString& what)
{
    return std::runtime_error(QStringLiteral("podsim %1: %2").arg(what, process.errorString()).toStdString());
}

} // namespace

PodsimProcess::PodsimProcess(const QString& program, const QStringList& arguments, const QString& logFile)
{
    process_.setStandardErrorFile(logFile.isEmpty() ? QProcess::nullDevice() : logFile);
    process_.start(program, arguments);
    if (!process_.waitForStarted(StartTimeoutMs))
        throw Failure(process_, QStringLiteral("did not start"));
    for (;;) {
        if (!process_.canReadLine() && !process_.waitForReadyRead(StartTimeoutMs))
            throw Failure(process_, QStringLiteral("did not report ready"));
        const QByteArray line = process_.readLine().trimmed();
        if (line == "ready")
            return;
        const auto equals = line.indexOf('=');
        if (line.startsWith("VANTELO_COM") && equals > 0)
            qputenv(line.left(equals).constData(), line.mid(equals + 1));
    }
}

PodsimProcess::~PodsimProcess()
{
    process_.terminate();
    if (!process_.waitForFinished(StartTimeoutMs))
        process_.kill();
    process_.waitForFinished();
}

} // namespace vantelo
