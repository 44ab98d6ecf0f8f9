#pragma once

#include <QFile>

#include <string>
#include <string_view>

namespace vantelo::testing {

// Replaces the file's contents; false when it cannot be written.
inline bool WriteFile(const QString& path, std::string_view bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), qint64(bytes.size())) == qint64(bytes.size());
}

inline std::string ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll().toStdString() : "<none>";
}

} // namespace vantelo::testing
