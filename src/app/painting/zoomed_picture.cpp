#include "app/painting/zoomed_picture.h"

#include <QPaintEngine>
#include <algorithm>
#include <array>
#include <cmath>

namespace app {

namespace {

// The full-size pixels one zoomed pixel covers along one axis, and how much
// of each: in units of 1/num of a full-size pixel, zoomed pixel i covers
// [i den, (i + 1) den) and full-size pixel j covers [j num, (j + 1) num).
// The weights add up to den.
struct Tap {
    int first = 0;
    int count = 0;
    std::array<quint32, Zoom::kMaxDen + 1> weight{};
};

std::vector<Tap> taps(int from, int count, Zoom zoom, int size)
{
    std::vector<Tap> result(static_cast<std::size_t>(count));
    for (int k = 0; k < count; ++k) {
        Tap& t = result[static_cast<std::size_t>(k)];
        const int lo = (from + k) * zoom.den;
        const int hi = lo + zoom.den;
        t.first = std::min(lo / zoom.num, size - 1);
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
    return result;
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

void scaleDown(const QImage& src, Zoom zoom, const QRect& dst, QImage& out)
{
    if (dst.isEmpty() || src.isNull()) return;
    const std::vector<Tap> xs = taps(dst.left(), dst.width(), zoom, src.width());
    const std::vector<Tap> ys = taps(dst.top(), dst.height(), zoom, src.height());
    // Two channels at a time, 16 bits each: a channel's sum is at most
    // 255 den den, which fits for den up to 16.
    const quint32 area = static_cast<quint32>(zoom.den * zoom.den);
    const quint32 half = area / 2;
    for (int y = 0; y < dst.height(); ++y) {
        const Tap& ty = ys[static_cast<std::size_t>(y)];
        auto* to = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < dst.width(); ++x) {
            const Tap& tx = xs[static_cast<std::size_t>(x)];
            quint32 redBlue = 0, green = 0;
            for (int ky = 0; ky < ty.count; ++ky) {
                const auto* row = reinterpret_cast<const QRgb*>(src.constScanLine(ty.first + ky)) + tx.first;
                quint32 rowRedBlue = 0, rowGreen = 0;
                for (int kx = 0; kx < tx.count; ++kx) {
                    const QRgb p = row[kx];
                    rowRedBlue += (p & 0x00ff00ffu) * tx.weight[static_cast<std::size_t>(kx)];
                    rowGreen += (p & 0x0000ff00u) * tx.weight[static_cast<std::size_t>(kx)];
                }
                redBlue += rowRedBlue * ty.weight[static_cast<std::size_t>(ky)];
                green += (rowGreen >> 8) * ty.weight[static_cast<std::size_t>(ky)];
            }
            const quint32 red = ((redBlue >> 16) + half) / area;
            const quint32 blue = ((redBlue & 0xffffu) + half) / area;
            to[x] = 0xff000000u | (red << 16) | (((green + half) / area) << 8) | blue;
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
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const QRect& r : toDevice(zoomed, ratio_)) {
        const QRect dst = r & client;
        if (dst.isEmpty()) continue;
        if (scratch_.width() < dst.width() || scratch_.height() < dst.height())
            scratch_ = QImage(std::max(scratch_.width(), dst.width()), std::max(scratch_.height(), dst.height()),
                              QImage::Format_RGB32);
        scaleDown(full_, zoom_, dst, scratch_);
        painter.drawImage(QRectF(QPointF(dst.topLeft()) / ratio_, QSizeF(dst.size()) / ratio_), scratch_,
                          QRectF(QPointF(0, 0), QSizeF(dst.size())));
    }
    painter.restore();
}

}  // namespace app
