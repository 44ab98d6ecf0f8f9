#include "serial/PodLink.h"

#include "platform/UserDialogs.h"

namespace vantelo {

void ShowError(PodLink& link, const QString& text, const QString& title)
{
    link.msgBox.Show(text, title, MsgButtons::Ok, MsgIcon::Exclamation);
}

} // namespace vantelo
