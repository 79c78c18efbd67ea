#include "app/application.h"

#include <QApplication>
#include <QByteArray>
#include <QtGlobal>

#include "app/painting/fonts.h"
#include "app/zoom.h"

namespace app {

void setUpBeforeApplication()
{
    takeOverSmallScaleFactor();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) qputenv("QT_XCB_NO_MITSHM", QByteArrayLiteral("1"));
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvane"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.zorvane.Zorvane"));
    installFontSubstitutes();
}

}  // namespace app
