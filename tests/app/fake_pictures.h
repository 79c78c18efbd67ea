#pragma once

#include <QImage>
#include <QPixmap>
#include <string>

#include "battlefield/pictures.h"

namespace testing_pictures {

// Pictures with colours a test can predict, standing in for the real ones.
inline const QColor kCastleColour(170, 60, 30);
inline const QColor kRobeColour(20, 40, 220);

// The castle photograph is one flat colour at its real size (598 x 382). The
// mage (50 x 50) is transparent except for a robe band across rows 10-19
// that runs over its full width, so the box must cut its last five columns.
inline QPixmap fakePicture(const std::string& image)
{
    using namespace game::pictures;
    if (image == kCastle) {
        QImage castle(598, 382, QImage::Format_RGB32);
        castle.fill(kCastleColour);
        return QPixmap::fromImage(castle);
    }
    if (image == kMageLeft) {
        QImage mage(50, 50, QImage::Format_ARGB32);
        mage.fill(Qt::transparent);
        for (int y = 10; y < 20; ++y)
            for (int x = 0; x < 50; ++x) mage.setPixelColor(x, y, kRobeColour);
        return QPixmap::fromImage(mage);
    }
    return QPixmap();
}

}  // namespace testing_pictures
