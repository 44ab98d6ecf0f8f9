#include "platform/EventWait.h"

#include <QAbstractEventDispatcher>

namespace vantelo {

void EndEventWait()
{
    if (QAbstractEventDispatcher* dispatcher = QAbstractEventDispatcher::instance())
        dispatcher->interrupt();
}

} // namespace vantelo
