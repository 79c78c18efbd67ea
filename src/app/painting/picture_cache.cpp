#include "app/painting/picture_cache.h"

#ifdef ZORVANE_HAVE_PICTURES
#include "init_pictures.h"
#endif

namespace app {

void PictureCache::registerResources()
{
#ifdef ZORVANE_HAVE_PICTURES
    zorvaneInitPictures();
#endif
}

QPixmap PictureCache::fromResources(const std::string& image)
{
    return QPixmap(QStringLiteral(":/pictures/") + QString::fromStdString(image));
}

PictureCache::PictureCache(Loader loader) : loader_(std::move(loader)) {}

const QPixmap* PictureCache::find(const ui::PictureRef& picture)
{
    if (!picture) return nullptr;
    if (picture != last_) {
        last_ = picture;
        lastPixmap_ = find(picture->image);  // the map's entries never move
    }
    return lastPixmap_;
}

const QPixmap* PictureCache::find(const std::string& image)
{
    auto it = byName_.find(image);
    if (it == byName_.end()) it = byName_.emplace(image, loader_ ? loader_(image) : QPixmap()).first;
    return it->second.isNull() ? nullptr : &it->second;
}

}  // namespace app
