#include "app/painting/box_images.h"

#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "app/painting/primitives.h"

namespace app {

void BoxImages::begin(QPainter& painter, const QRegion& area)
{
    ratio_ = painter.device()->devicePixelRatioF();
    const QImage* image = paintedImage(painter);
    format_ = image ? image->format() : QImage::Format_Invalid;

    bits_ = nullptr;
    deviceArea_.clear();
    const int ratio = static_cast<int>(ratio_);
    const std::optional<StraightImage> straight =
        ratio == ratio_ && ratio >= 1 ? straightImage(painter, ratio_) : std::nullopt;
    if (!straight) return;
    // Only the rows of boxes go here.
    bits_ = straight->bits;
    bytesPerLine_ = straight->bytesPerLine;
    deviceRect_ = straight->rect;
    origin_ = straight->origin;
    for (const QRect& r : area) {
        deviceArea_.add(QRect(r.topLeft() * ratio + origin_, r.size() * ratio));
    }
}

void BoxImages::copy(const QImage& box, QPoint at) const
{
    deviceArea_.forEachPart(QRect(at, box.size()) & deviceRect_, [&](const QRect& r) {
        const std::size_t bytes = static_cast<std::size_t>(r.width()) * 4;
        const uchar* from = box.constScanLine(r.top() - at.y()) + (r.left() - at.x()) * 4;
        uchar* to = bits_ + r.top() * bytesPerLine_ + r.left() * 4;
        for (int y = 0; y < r.height(); ++y, from += box.bytesPerLine(), to += bytesPerLine_)
            std::memcpy(to, from, bytes);
    });
}

const QImage* BoxImages::image(QSize size, ui::Border border, const QColor& back, const QPixmap* picture,
                               const QPalette& palette, qreal ratio, QImage::Format format, bool bordered)
{
    if ((border != ui::Border::None && !bordered) || back.alpha() != 255 || size.isEmpty()) return nullptr;
    const QRgb rgb = back.rgba();
    const qint64 colours = border == ui::Border::None ? 0 : palette.cacheKey();
    auto it = std::find_if(entries_.begin(), entries_.end(), [&](const Entry& e) {
        return e.picture == picture && e.back == rgb && e.size == size && e.ratio == ratio && e.format == format &&
               e.border == border && e.palette == colours;
    });
    if (it == entries_.end()) {
        // The game shows a handful of looks; should one ever keep changing
        // (a box growing), start again rather than keep them all.
        if (entries_.size() >= 16) entries_.clear();
        QImage image((QSizeF(size) * ratio).toSize(), format);
        image.setDevicePixelRatio(ratio);
        {
            QPainter boxPainter(&image);
            boxPainter.setRenderHint(QPainter::SmoothPixmapTransform, false);
            paintBox(boxPainter, QRect(QPoint(0, 0), size), border, back, picture, palette);
        }
        // Every pixel is opaque: as RGB32 Qt copies the lines instead of
        // blending them, and the bytes are the same.
        if (image.format() == QImage::Format_ARGB32_Premultiplied || image.format() == QImage::Format_ARGB32)
            image.reinterpretAsFormat(QImage::Format_RGB32);
        entries_.push_back(Entry{picture, rgb, size, ratio, format, border, colours, std::move(image)});
        it = entries_.end() - 1;
    }
    return &it->image;
}

void BoxImages::paint(QPainter& painter, const QRect& where, ui::Border border, const QColor& back,
                      const QPixmap* picture, const QPalette& palette)
{
    const QImage* box = ratio_ == std::floor(ratio_) && format_ != QImage::Format_Invalid
                            ? image(where.size(), border, back, picture, palette, ratio_, format_)
                            : nullptr;
    if (!box)
        paintBox(painter, where, border, back, picture, palette);
    else if (bits_)
        copy(*box, where.topLeft() * static_cast<int>(ratio_) + origin_);
    else
        painter.drawImage(where.topLeft(), *box);
}

}  // namespace app
