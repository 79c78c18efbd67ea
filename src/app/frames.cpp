#include "app/frames.h"

#include <QByteArray>
#include <QtGlobal>

namespace app {

void sendFramesThroughTheConnection()
{
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
}

}  // namespace app
