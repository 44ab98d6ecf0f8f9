#pragma once

#include <QLocale>
#include <QString>

namespace vantelo {

// Tenths of a per cent as the percentage label shows them: 333 is "33.3%"
// (in the user's locale).
inline QString FormatPercent(int permille)
{
    return QLocale().toString(permille / 10.0, 'f', 1) + u'%';
}

} // namespace vantelo
