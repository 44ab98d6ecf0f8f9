#include "station/OperatorMode.h"

#include "platform/store/StoreValues.h"

#include <QRegularExpression>

namespace vantelo::station {

namespace {

// Long enough for a path.
constexpr std::size_t TextBuffer = 4096;

QString Text(SettingsStore& store, StoreKey key, std::string_view name)
{
    // The registry gives the system's code page, the settings file UTF-8:
    // each is what the local 8-bit encoding reads.
    return QString::fromLocal8Bit(QueryText(store, key, name, TextBuffer).value_or(std::string{})).trimmed();
}

} // namespace

OperatorMode ReadOperatorMode(SettingsStore& machine)
{
    const OpenedKey key(machine, machine.OpenKey(OperatorModeKey));
    if (!key)
        return {};
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return {QueryNumber(machine, *key, "Locked").value_or(0) != 0, Text(machine, *key, "Released"),
            Text(machine, *key, "Configuration"), Text(machine, *key, "Ports").split(blanks, Qt::SkipEmptyParts)};
}

} // namespace vantelo::station
