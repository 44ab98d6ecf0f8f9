#include "serial/PodLink.h"

#include "platform/UserDialogs.h"

#include <QLocale>

namespace vantelo {

QString FormatPercent(int permille)
{
    return QLocale().toString(permille / 10.0, 'f', 1) + u'%';
}

void ShowError(PodLink& link, const QString& text, const QString& title)
{
    link.msgBox.Show(text, title, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace vantelo
