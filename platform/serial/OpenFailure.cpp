#include "platform/serial/OpenFailure.h"

namespace vantelo {

std::string OpenFailureText(OpenFailure failure, const QString& systemWords)
{
    const QString system = systemWords.trimmed();
    const auto known = [&](const char* words, const char* advice = "") {
        const QString said = system.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(system);
        return (QString::fromUtf8(words) + said + QString::fromUtf8(advice)).toStdString();
    };
    switch (failure) {
    case OpenFailure::Missing:
        return known("there is no such port");
    case OpenFailure::InUse:
        return known("another program is using it");
    case OpenFailure::NoPermission:
        return known("you may not use it", "; is your user in the dialout group?");
    case OpenFailure::Other:
        break;
    }
    return system.toStdString();
}

} // namespace vantelo
