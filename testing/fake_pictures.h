#pragma once

#include <QImage>
#include <QPixmap>
#include <string>
#include <utility>

#include "battlefield/pictures.h"

namespace testing_pictures {

// Pictures with colours a test can predict, standing in for the real ones.
inline const QColor kCastleColour(170, 60, 30);
inline const QColor kRobeColour(20, 40, 220);
inline const QColor kInvaderColour(90, 20, 20);

// The castle photograph is one flat colour at its real size (598 x 382). The
// mage (50 x 50) is transparent except for a robe band across rows 10-19
// that runs over its full width, so the box must cut its last five columns.
// The invader is a dark block in a transparent picture, the magic icons are
// flat colours; every other picture is missing.
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
    // The invader (49 x 57) is transparent but for a 20 x 20 block in its
    // top left corner, so that one walking shows.
    if (image == kInvader) {
        QImage invader(49, 57, QImage::Format_ARGB32);
        invader.fill(Qt::transparent);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) invader.setPixelColor(x, y, kInvaderColour);
        return QPixmap::fromImage(invader);
    }
    // The magic icons: one flat colour each, so that the indicator's change shows.
    for (auto [icon, colour] : {std::pair{kIconFire, QColor(250, 80, 0)}, std::pair{kIconIce, QColor(120, 200, 250)},
                                std::pair{kIconLightning, QColor(250, 240, 60)}})
        if (image == icon) {
            QImage flat(33, 33, QImage::Format_RGB32);
            flat.fill(colour);
            return QPixmap::fromImage(flat);
        }
    return QPixmap();
}

}  // namespace testing_pictures
