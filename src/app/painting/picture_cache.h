#pragma once

#include <QPixmap>
#include <functional>
#include <string>
#include <unordered_map>

#include "ui/picture.h"

namespace app {

// Decoded pictures by image name. Every image is decoded once, the first time
// a box shows it; an image that cannot be found is remembered as missing, so
// its boxes paint without a picture and nothing is retried on every frame.
class PictureCache {
public:
    using Loader = std::function<QPixmap(const std::string& image)>;

    // Makes the built-in pictures known to the resource system; once, before
    // the first picture is read.
    static void registerResources();
    // Reads ":/pictures/<image>" from the program's resources.
    static QPixmap fromResources(const std::string& image);

    explicit PictureCache(Loader loader = &PictureCache::fromResources);

    // The pixmap for a box's picture, or null for no picture or a missing one.
    // Invaders share one picture object, so the last one asked for is kept.
    const QPixmap* find(const ui::PictureRef& picture);
    const QPixmap* find(const std::string& image);

private:
    Loader loader_;
    std::unordered_map<std::string, QPixmap> byName_;
    // Held, so that its address cannot come back as another picture's.
    ui::PictureRef last_;
    const QPixmap* lastPixmap_ = nullptr;
};

}  // namespace app
