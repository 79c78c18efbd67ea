#include "app/window_size.h"

#include <QGuiApplication>
#include <QWidget>

#include "app/painting/units.h"

namespace app {

bool platformInventsScreens()
{
    static const bool madeUp = QGuiApplication::platformName() == QLatin1String("offscreen") ||
                               QGuiApplication::platformName() == QLatin1String("minimal");
    return madeUp;
}

QMargins toldFrame(const QWidget& window)
{
    if (platformInventsScreens()) return QMargins();
    const QRect client = window.geometry();
    const QRect outer = window.frameGeometry();
    return QMargins(client.left() - outer.left(), client.top() - outer.top(), outer.right() - client.right(),
                    outer.bottom() - client.bottom());
}

QSizeF outerSizeInTwips(const QWidget& window, QSize client)
{
    return QSizeF(client.grownBy(toldFrame(window))) * kTwipsPerPixel;
}

bool takeOuterSize(const QWidget& window, QSize client, QSizeF& told)
{
    const QSizeF outer = outerSizeInTwips(window, client);
    if (outer == told) return false;
    told = outer;
    return true;
}

}  // namespace app
