#include "app/painting/zoomed_picture.h"

#include <QPaintEngine>
#include <algorithm>
#include <array>
#include <cmath>

namespace app {

namespace {

using Tap = ScaleDown::Tap;

// In units of 1/num of a full-size pixel, zoomed pixel i covers
// [i den, (i + 1) den) and full-size pixel j covers [j num, (j + 1) num):
// the weights add up to den.
void taps(std::vector<Tap>& result, int from, int count, Zoom zoom, int size)
{
    result.resize(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        Tap& t = result[static_cast<std::size_t>(k)];
        const int lo = (from + k) * zoom.den;
        const int hi = lo + zoom.den;
        t.first = std::min(lo / zoom.num, size - 1);
        t.count = 0;
        for (int j = lo / zoom.num; j * zoom.num < hi; ++j) {
            const auto w = static_cast<quint32>(std::min(hi, (j + 1) * zoom.num) - std::max(lo, j * zoom.num));
            // (Past the picture's edge its last pixel stands in.)
            const int at = std::min(j, size - 1) - t.first;
            if (at == t.count)
                t.weight[static_cast<std::size_t>(t.count++)] = w;
            else
                t.weight[static_cast<std::size_t>(at)] += w;
        }
    }
}

QRegion toDevice(const QRegion& logical, qreal ratio)
{
    if (ratio == 1) return logical;
    QRegion device;
    for (const QRect& r : logical)
        device += QRectF(QPointF(r.topLeft()) * ratio, QSizeF(r.size()) * ratio).toAlignedRect();
    return device;
}

int ceilTimes(int value, int num, int den)
{
    return (value * num + den - 1) / den;
}

}  // namespace

void ScaleDown::horizontal(const QImage& src, int row, quint32* sums) const
{
    const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(row));
    for (const Tap& t : xs_) {
        // Red and blue in one 32-bit sum, 16 bits each, green in another.
        quint32 redBlue = 0, green = 0;
        const QRgb* p = line + t.first;
        for (int k = 0; k < t.count; ++k) {
            const quint32 w = t.weight[static_cast<std::size_t>(k)];
            redBlue += (p[k] & 0x00ff00ffu) * w;
            green += ((p[k] >> 8) & 0xffu) * w;
        }
        *sums++ = redBlue;
        *sums++ = green;
    }
}

void ScaleDown::operator()(const QImage& src, Zoom zoom, const QRect& dst, uchar* bits, qsizetype bytesPerLine)
{
    if (dst.isEmpty() || src.isNull()) return;
    taps(xs_, dst.left(), dst.width(), zoom, src.width());
    taps(ys_, dst.top(), dst.height(), zoom, src.height());
    // A lane adds up to at most 255 den den, which fits its 16 bits.
    const int area = zoom.den * zoom.den;
    if (dividedBy_ != area) {
        divided_.resize(static_cast<std::size_t>(255 * area + 1));
        for (std::size_t v = 0; v < divided_.size(); ++v)
            divided_[v] = static_cast<quint8>((static_cast<int>(v) + area / 2) / area);
        dividedBy_ = area;
    }
    // Each full-size row is summed across once, for every zoomed row that
    // covers part of it; those of one zoomed row are consecutive.
    const std::size_t width = 2 * static_cast<std::size_t>(dst.width());
    const std::size_t ring = Zoom::kMaxDen + 1;
    sums_.resize(ring * width);
    rowOf_.assign(ring, -1);
    for (int y = 0; y < dst.height(); ++y) {
        const Tap& ty = ys_[static_cast<std::size_t>(y)];
        std::array<const quint32*, Zoom::kMaxDen + 1> rows{};
        for (int k = 0; k < ty.count; ++k) {
            const int row = ty.first + k;
            const std::size_t slot = static_cast<std::size_t>(row) % ring;
            quint32* sums = sums_.data() + slot * width;
            if (rowOf_[slot] != row) {
                horizontal(src, row, sums);
                rowOf_[slot] = row;
            }
            rows[static_cast<std::size_t>(k)] = sums;
        }
        auto* to = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
        for (std::size_t x = 0; x < width; x += 2) {
            quint32 redBlue = 0, green = 0;
            for (int k = 0; k < ty.count; ++k) {
                const quint32 w = ty.weight[static_cast<std::size_t>(k)];
                redBlue += rows[static_cast<std::size_t>(k)][x] * w;
                green += rows[static_cast<std::size_t>(k)][x + 1] * w;
            }
            *to++ = 0xff000000u | (quint32{divided_[redBlue >> 16]} << 16) | (quint32{divided_[green]} << 8) |
                    divided_[redBlue & 0xffffu];
        }
    }
}

void ZoomedPicture::fit(QSize client, Zoom zoom, qreal ratio)
{
    if (client == client_ && zoom == zoom_ && ratio == ratio_) return;
    client_ = client;
    zoom_ = zoom;
    ratio_ = ratio;
    // Every full-size pixel that a pixel of the client area covers, in
    // logical and in device pixels.
    area_ = QRect(0, 0, ceilTimes(client.width(), zoom.den, zoom.num), ceilTimes(client.height(), zoom.den, zoom.num));
    full_ = QImage((QSizeF(area_.size()) * ratio).toSize(), QImage::Format_RGB32);
    full_.setDevicePixelRatio(ratio);
    makeAllStale();
}

QImage& ZoomedPicture::beginRefresh()
{
    // The clip a window's painter has: boxes painted from images of their own
    // are then written straight into the picture's rows (BoxImages).
    full_.paintEngine()->setSystemClip(toDevice(stale_ & area_, ratio_));
    return full_;
}

void ZoomedPicture::endRefresh()
{
    full_.paintEngine()->setSystemClip(QRegion());
    stale_ = QRegion();
}

void ZoomedPicture::show(QPainter& painter, const QRegion& zoomed)
{
    const QRect client(QPoint(0, 0), (QSizeF(client_) * ratio_).toSize());
    // Painting straight on an image of 32-bit pixels (the window's, on every
    // platform the game knows) with no clip of its own, the pixels are
    // written into its rows: a changed frame is hundreds of small
    // rectangles, and drawing each through the painter costs more than
    // scaling it. They are opaque, so every such format takes the same bytes.
    const QPaintDevice* device = painter.paintEngine() ? painter.paintEngine()->paintDevice() : nullptr;
    const QImage* image =
        device && device->devType() == QInternal::Image ? static_cast<const QImage*>(device) : nullptr;
    const QTransform transform = painter.deviceTransform();
    const bool straight =
        image && !painter.hasClipping() && transform.type() <= QTransform::TxScale && transform.m11() == ratio_ &&
        transform.m22() == ratio_ && transform.dx() == std::floor(transform.dx()) &&
        transform.dy() == std::floor(transform.dy()) &&
        (image->format() == QImage::Format_RGB32 || image->format() == QImage::Format_ARGB32_Premultiplied ||
         image->format() == QImage::Format_ARGB32);
    const QPoint origin =
        straight ? QPoint(static_cast<int>(transform.dx()), static_cast<int>(transform.dy())) : QPoint();
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const QRect& r : toDevice(zoomed, ratio_)) {
        QRect dst = r & client;
        if (straight) dst &= image->rect().translated(-origin);
        if (dst.isEmpty()) continue;
        if (straight) {
            // (The painter has made the image its own when it began.)
            uchar* bits = const_cast<uchar*>(image->constBits()) + (dst.top() + origin.y()) * image->bytesPerLine() +
                          (dst.left() + origin.x()) * 4;
            scale_(full_, zoom_, dst, bits, image->bytesPerLine());
            continue;
        }
        if (scratch_.width() < dst.width() || scratch_.height() < dst.height())
            scratch_ = QImage(std::max(scratch_.width(), dst.width()), std::max(scratch_.height(), dst.height()),
                              QImage::Format_RGB32);
        scale_(full_, zoom_, dst, scratch_);
        painter.drawImage(QRectF(QPointF(dst.topLeft()) / ratio_, QSizeF(dst.size()) / ratio_), scratch_,
                          QRectF(QPointF(0, 0), QSizeF(dst.size())));
    }
    painter.restore();
}

}  // namespace app
