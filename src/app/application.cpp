#include "app/application.h"

#include <QApplication>

#include "app/painting/fonts.h"
#include "app/zoom.h"

namespace app {

double setUpBeforeApplication()
{
    const double zoom = takeOverSmallScaleFactor();
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(Qt::HighDpiScaleFactorRoundingPolicy::Round);
    return zoom;
}

void setUpApplication()
{
    QApplication::setApplicationName(QStringLiteral("Zorvane"));
    QApplication::setApplicationDisplayName(QStringLiteral("Zorvane"));
    QApplication::setDesktopFileName(QStringLiteral("io.github.zorvane.Zorvane"));
    installFontSubstitutes();
}

}  // namespace app
