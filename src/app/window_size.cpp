#include "app/window_size.h"

#include <QGuiApplication>
#include <QWidget>

#include "app/painting/units.h"

namespace app {

QSizeF outerSizeInTwips(const QWidget& window)
{
    static const bool fakeFrames = QGuiApplication::platformName() == QLatin1String("offscreen") ||
                                   QGuiApplication::platformName() == QLatin1String("minimal");
    const QSize client = window.size();
    const QSize outer = fakeFrames ? client : window.frameGeometry().size();
    return QSizeF(outer) * kTwipsPerPixel;
}

bool takeOuterSize(const QWidget& window, QSizeF& told)
{
    const QSizeF outer = outerSizeInTwips(window);
    if (outer == told) return false;
    told = outer;
    return true;
}

}  // namespace app
