#pragma once

#include <memory>
#include <string>

namespace ui {

// A decoded picture as a box holds it. Pictures have identity: two boxes show
// "the same picture" exactly when they hold the same object, so copies made at
// load are distinct objects even though they name the same image.
struct Picture {
    std::string image;  // resource name of the image, e.g. "mage_left.gif"
    std::string owner;  // the control that held this object when its window loaded
};

using PictureRef = std::shared_ptr<const Picture>;

inline PictureRef makePicture(std::string image, std::string owner)
{
    return std::make_shared<const Picture>(Picture{std::move(image), std::move(owner)});
}

}  // namespace ui
