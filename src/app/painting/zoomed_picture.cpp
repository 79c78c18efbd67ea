#include "app/painting/zoomed_picture.h"

#include <QPaintEngine>
#include <QPixmap>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

#include "app/painting/dirty_region.h"
#include "app/painting/primitives.h"

namespace app {

namespace {

using Tap = ScaleDown::Tap;

int floorDiv(int a, int b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

int ceilDiv(int a, int b)
{
    return -floorDiv(-a, b);
}

// Copies `rows` rows of `width` pixels. Most are a few pixels wide (the edges
// of boxes), where calling memcpy for each row costs more than the copy.
void copyRows(uchar* to, qsizetype toLine, const uchar* from, qsizetype fromLine, int width, int rows)
{
    if (width > 8) {
        for (int y = 0; y < rows; ++y, from += fromLine, to += toLine)
            std::memcpy(to, from, static_cast<std::size_t>(width) * 4);
        return;
    }
    for (int y = 0; y < rows; ++y, from += fromLine, to += toLine) {
        const auto* source = reinterpret_cast<const quint32*>(from);
        auto* target = reinterpret_cast<quint32*>(to);
        for (int x = 0; x < width; ++x) target[x] = source[x];
    }
}

// Takes `r` away from the rectangles `parts`, which stay apart (some empty),
// adding what it takes to `taken`.
void cutAway(std::vector<QRect>& parts, const QRect& r, std::vector<QRect>* taken = nullptr)
{
    const std::size_t count = parts.size();
    for (std::size_t k = 0; k < count; ++k) {
        const QRect p = parts[k];
        if (!p.intersects(r)) continue;
        parts[k] = QRect();
        if (taken) taken->push_back(p & r);
        if (r.top() > p.top()) parts.emplace_back(QPoint(p.left(), p.top()), QPoint(p.right(), r.top() - 1));
        if (r.bottom() < p.bottom()) parts.emplace_back(QPoint(p.left(), r.bottom() + 1), p.bottomRight());
        const int top = std::max(p.top(), r.top()), bottom = std::min(p.bottom(), r.bottom());
        if (r.left() > p.left()) parts.emplace_back(QPoint(p.left(), top), QPoint(r.left() - 1, bottom));
        if (r.right() < p.right()) parts.emplace_back(QPoint(r.right() + 1, top), QPoint(p.right(), bottom));
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

}  // namespace

// In units of 1/num of a full-size pixel, zoomed pixel i covers
// [i den, (i + 1) den) and full-size pixel j covers [j num, (j + 1) num):
// the weights add up to den.
void ScaleDown::taps(std::vector<Tap>& result, int from, int count, Zoom zoom, int size, int at)
{
    result.resize(static_cast<std::size_t>(std::max(count, 0)));
    for (int k = 0; k < count; ++k) {
        Tap& t = result[static_cast<std::size_t>(k)];
        const int lo = (from + k) * zoom.den - at * zoom.num;
        const int hi = lo + zoom.den;
        t.first = std::min(lo / zoom.num, size - 1);
        t.count = 0;
        for (int j = lo / zoom.num; j * zoom.num < hi; ++j) {
            const auto w = static_cast<quint32>(std::min(hi, (j + 1) * zoom.num) - std::max(lo, j * zoom.num));
            // (Past the picture's edge its last pixel stands in.)
            const int place = std::min(j, size - 1) - t.first;
            if (place == t.count)
                t.weight[static_cast<std::size_t>(t.count++)] = w;
            else
                t.weight[static_cast<std::size_t>(place)] += w;
        }
    }
}

void ScaleDown::horizontal(const QImage& src, const Tap* xs, int count, int row, quint32* sums) const
{
    const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(row));
    for (const Tap* t = xs; t != xs + count; ++t) {
        // Red and blue in one 32-bit sum, 16 bits each, green in another.
        quint32 redBlue = 0, green = 0;
        const QRgb* p = line + t->first;
        if (t->count == 2) {
            redBlue = (p[0] & 0x00ff00ffu) * t->weight[0] + (p[1] & 0x00ff00ffu) * t->weight[1];
            green = ((p[0] >> 8) & 0xffu) * t->weight[0] + ((p[1] >> 8) & 0xffu) * t->weight[1];
            *sums++ = redBlue;
            *sums++ = green;
            continue;
        }
        for (int k = 0; k < t->count; ++k) {
            const quint32 w = t->weight[static_cast<std::size_t>(k)];
            redBlue += (p[k] & 0x00ff00ffu) * w;
            green += ((p[k] >> 8) & 0xffu) * w;
        }
        *sums++ = redBlue;
        *sums++ = green;
    }
}

void ScaleDown::divideBy(Zoom zoom)
{
    // A lane adds up to at most 255 den den, which fits its 16 bits.
    const int area = zoom.den * zoom.den;
    if (dividedBy_ == area) return;
    divided_.resize(static_cast<std::size_t>(255 * area + 1));
    for (std::size_t v = 0; v < divided_.size(); ++v)
        divided_[v] = static_cast<quint8>((static_cast<int>(v) + area / 2) / area);
    dividedBy_ = area;
}

void ScaleDown::direct(const quint32* src, qsizetype line, QPoint at, const Tap* xs, const Tap* ys, QSize dst,
                       uchar* bits, qsizetype bytesPerLine) const
{
    // The pixels each zoomed pixel covers summed across, then down, as the
    // rows are below: the very same sums.
    const quint8* const divided = divided_.data();
    for (int y = 0; y < dst.height(); ++y) {
        const Tap& ty = ys[y];
        auto* to = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
        for (int x = 0; x < dst.width(); ++x) {
            const Tap& tx = xs[x];
            quint32 redBlue = 0, green = 0;
            if (tx.count == 2 && ty.count == 2) {
                // (Every zoom n / (n + 1) covers at most two pixels a way.)
                const quint32* p = src + (ty.first - at.y()) * line + (tx.first - at.x());
                const quint32 a = p[0], b = p[1], c = p[line], d = p[line + 1];
                const quint32 x0 = tx.weight[0], x1 = tx.weight[1], y0 = ty.weight[0], y1 = ty.weight[1];
                redBlue = ((a & 0x00ff00ffu) * x0 + (b & 0x00ff00ffu) * x1) * y0 +
                          ((c & 0x00ff00ffu) * x0 + (d & 0x00ff00ffu) * x1) * y1;
                green = (((a >> 8) & 0xffu) * x0 + ((b >> 8) & 0xffu) * x1) * y0 +
                        (((c >> 8) & 0xffu) * x0 + ((d >> 8) & 0xffu) * x1) * y1;
                to[x] = 0xff000000u | (quint32{divided[redBlue >> 16]} << 16) | (quint32{divided[green]} << 8) |
                        divided[redBlue & 0xffffu];
                continue;
            }
            for (int ky = 0; ky < ty.count; ++ky) {
                const quint32* p = src + (ty.first + ky - at.y()) * line + (tx.first - at.x());
                quint32 rowRedBlue = 0, rowGreen = 0;
                for (int kx = 0; kx < tx.count; ++kx) {
                    const quint32 w = tx.weight[static_cast<std::size_t>(kx)];
                    rowRedBlue += (p[kx] & 0x00ff00ffu) * w;
                    rowGreen += ((p[kx] >> 8) & 0xffu) * w;
                }
                const quint32 w = ty.weight[static_cast<std::size_t>(ky)];
                redBlue += rowRedBlue * w;
                green += rowGreen * w;
            }
            to[x] = 0xff000000u | (quint32{divided[redBlue >> 16]} << 16) | (quint32{divided[green]} << 8) |
                    divided[redBlue & 0xffffu];
        }
    }
}

void ScaleDown::operator()(const QImage& src, Zoom zoom, const QRect& dst, uchar* bits, qsizetype bytesPerLine)
{
    if (dst.isEmpty() || src.isNull()) return;
    taps(xs_, dst.left(), dst.width(), zoom, src.width());
    taps(ys_, dst.top(), dst.height(), zoom, src.height());
    (*this)(src, zoom, xs_.data(), ys_.data(), dst.size(), bits, bytesPerLine);
}

void ScaleDown::operator()(const QImage& src, Zoom zoom, const Tap* xs, const Tap* ys, QSize dst, uchar* bits,
                           qsizetype bytesPerLine)
{
    if (dst.isEmpty() || src.isNull()) return;
    divideBy(zoom);
    if (std::min(dst.width(), dst.height()) <= 2) {
        // A thin strip (the edge of a box): each pixel on its own.
        direct(reinterpret_cast<const quint32*>(src.constBits()), src.bytesPerLine() / 4, QPoint(0, 0), xs, ys, dst,
               bits, bytesPerLine);
        return;
    }
    // Each full-size row is summed across once, for every zoomed row that
    // covers part of it; those of one zoomed row are consecutive.
    const std::size_t width = 2 * static_cast<std::size_t>(dst.width());
    const std::size_t ring = Zoom::kMaxDen + 1;
    if (sums_.size() < ring * width) sums_.resize(ring * width);
    rowOf_.assign(ring, -1);
    for (int y = 0; y < dst.height(); ++y) {
        const Tap& ty = ys[y];
        std::array<const quint32*, Zoom::kMaxDen + 1> rows{};
        for (int k = 0; k < ty.count; ++k) {
            const int row = ty.first + k;
            const std::size_t slot = static_cast<std::size_t>(row) % ring;
            quint32* sums = sums_.data() + slot * width;
            if (rowOf_[slot] != row) {
                horizontal(src, xs, dst.width(), row, sums);
                rowOf_[slot] = row;
            }
            rows[static_cast<std::size_t>(k)] = sums;
        }
        auto* to = reinterpret_cast<QRgb*>(bits + y * bytesPerLine);
        if (ty.count == 2) {
            const quint32* first = rows[0];
            const quint32* second = rows[1];
            const quint32 w0 = ty.weight[0], w1 = ty.weight[1];
            for (std::size_t x = 0; x < width; x += 2) {
                const quint32 redBlue = first[x] * w0 + second[x] * w1;
                const quint32 green = first[x + 1] * w0 + second[x + 1] * w1;
                *to++ = 0xff000000u | (quint32{divided_[redBlue >> 16]} << 16) | (quint32{divided_[green]} << 8) |
                        divided_[redBlue & 0xffffu];
            }
            continue;
        }
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
    area_ = QRect(0, 0, ceilDiv(client.width() * zoom.den, zoom.num), ceilDiv(client.height() * zoom.den, zoom.num));
    full_ = QImage((QSizeF(area_.size()) * ratio).toSize(), QImage::Format_RGB32);
    full_.setDevicePixelRatio(ratio);
    const QSize device = (QSizeF(client) * ratio).toSize();
    ScaleDown::taps(columns_, 0, device.width(), zoom, full_.width());
    ScaleDown::taps(rows_, 0, device.height(), zoom, full_.height());
    baseMade_ = false;
    base_ = QImage();
    looks_.clear();
    madeEdges_.clear();
}

QRect ZoomedPicture::zoomedCover(const QRect& design) const
{
    const int left = floorDiv(design.left() * zoom_.num, zoom_.den);
    const int top = floorDiv(design.top() * zoom_.num, zoom_.den);
    return QRect(left, top, ceilDiv((design.right() + 1) * zoom_.num, zoom_.den) - left,
                 ceilDiv((design.bottom() + 1) * zoom_.num, zoom_.den) - top);
}

QRect ZoomedPicture::zoomedInside(const QRect& design) const
{
    const int left = ceilDiv(design.left() * zoom_.num, zoom_.den);
    const int top = ceilDiv(design.top() * zoom_.num, zoom_.den);
    return QRect(left, top, floorDiv((design.right() + 1) * zoom_.num, zoom_.den) - left,
                 floorDiv((design.bottom() + 1) * zoom_.num, zoom_.den) - top);
}

QRect ZoomedPicture::designCover(const QRect& zoomed) const
{
    const int left = floorDiv(zoomed.left() * zoom_.den, zoom_.num);
    const int top = floorDiv(zoomed.top() * zoom_.den, zoom_.num);
    return QRect(left, top, ceilDiv((zoomed.right() + 1) * zoom_.den, zoom_.num) - left,
                 ceilDiv((zoomed.bottom() + 1) * zoom_.den, zoom_.num) - top);
}

QRect ZoomedPicture::begin(QPainter& painter, const QRegion& zoomed)
{
    based_ = false;
    boxes_.clear();
    others_.clear();
    toScale_.clear();
    zoomed_.clear();
    // A scene whose looks keep changing (a box growing) starts again rather
    // than keep them all.
    if (looks_.size() > 32) {
        looks_.clear();
        madeEdges_.clear();
    }

    // Painting straight on an image of 32-bit pixels (the window's, on every
    // platform the game knows) with no clip of its own, the pixels are
    // written into its rows: a changed frame is hundreds of small
    // rectangles, and drawing each through the painter costs more than
    // making it. They are opaque, so every such format takes the same bytes.
    const std::optional<StraightImage> straight = straightImage(painter, ratio_);
    QRect within(QPoint(0, 0), (QSizeF(client_) * ratio_).toSize());
    drawn_ = !straight;
    if (straight) {
        bits_ = straight->bits;
        bytesPerLine_ = straight->bytesPerLine;
        origin_ = straight->origin;
        within &= straight->rect.translated(-origin_);
    } else {
        if (scratch_.width() < within.width() || scratch_.height() < within.height())
            scratch_ = QImage(within.size(), QImage::Format_RGB32);
        bits_ = scratch_.bits();
        bytesPerLine_ = scratch_.bytesPerLine();
        origin_ = QPoint();
    }
    for (const QRect& r : toDevice(zoomed, ratio_)) {
        const QRect d = r & within;
        if (d.isEmpty()) continue;
        zoomed_.add(d);
    }
    if (zoomed_.empty()) return QRect();
    return designCover(zoomed.boundingRect()) & area_;
}

void ZoomedPicture::setBase(const QColor& back, const QPixmap* picture)
{
    based_ = true;
    basePicture_ = picture ? QRect(QPoint(0, 0), picture->size()) : QRect();
    const qint64 key = picture ? picture->cacheKey() : 0;
    if (baseMade_ && back.rgba() == baseBack_ && key == baseKey_) return;
    baseMade_ = true;
    madeEdges_.clear();
    baseBack_ = back.rgba();
    baseKey_ = key;
    // Painted as the window paints them, then scaled whole.
    QImage full(area_.size(), QImage::Format_RGB32);
    {
        QPainter painter(&full);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.fillRect(full.rect(), back);
        if (picture) painter.drawPixmap(0, 0, *picture);
    }
    baseFull_ = full;
    // The colour as the window's pixels hold it, where the picture leaves it.
    const QPoint corner = full.rect().bottomRight();
    baseFilled_ = !full.isNull() && !basePicture_.contains(corner);
    if (baseFilled_) baseFill_ = reinterpret_cast<const quint32*>(full.constScanLine(corner.y()))[corner.x()];
    base_ = QImage(client_, QImage::Format_RGB32);
    scale_(full, zoom_, columns_.data(), rows_.data(), client_, base_.bits(), base_.bytesPerLine());
    // (Averaged, the colour alone stays itself.)
    if (baseFilled_ && !base_.isNull())
        baseFilled_ =
            reinterpret_cast<const quint32*>(base_.constScanLine(base_.height() - 1))[base_.width() - 1] == baseFill_;
}

void ZoomedPicture::addBox(const QRect& design, const QImage& image)
{
    const qint64 key = image.cacheKey();
    std::size_t look = looks_.size();
    if (!boxes_.empty() && looks_[boxes_.back().look].key == key) {
        look = boxes_.back().look;  // invaders share their look
    } else {
        look = static_cast<std::size_t>(
            std::find_if(looks_.begin(), looks_.end(), [&](const Look& l) { return l.key == key; }) - looks_.begin());
        if (look == looks_.size())
            looks_.push_back(
                Look{key, image, std::vector<QImage>(static_cast<std::size_t>(zoom_.den * zoom_.den)), {}, 0});
    }
    boxes_.push_back(Box{design, look});
}

void ZoomedPicture::addOther(const QRect& design)
{
    others_.push_back(design);
}

const QImage& ZoomedPicture::scaledLook(Look& look, int left, int top)
{
    // Where a box's corner falls across the zoomed pixels repeats every den
    // full-size pixels.
    const int x = left - floorDiv(left, zoom_.den) * zoom_.den;
    const int y = top - floorDiv(top, zoom_.den) * zoom_.den;
    QImage& scaled = look.scaled[static_cast<std::size_t>(y * zoom_.den + x)];
    if (scaled.isNull()) {
        const QRect inside = zoomedInside(QRect(QPoint(x, y), look.full.size()));
        scaled = QImage(inside.size(), QImage::Format_RGB32);
        ScaleDown::taps(lookColumns_, inside.left(), inside.width(), zoom_, look.full.width(), x);
        ScaleDown::taps(lookRows_, inside.top(), inside.height(), zoom_, look.full.height(), y);
        scale_(look.full, zoom_, lookColumns_.data(), lookRows_.data(), inside.size(), scaled.bits(),
               scaled.bytesPerLine());
    }
    return scaled;
}

void ZoomedPicture::copy(const QImage& from, QPoint fromAt, const QRect& r)
{
    copyRows(bits_ + (r.top() + origin_.y()) * bytesPerLine_ + (r.left() + origin_.x()) * 4, bytesPerLine_,
             from.constScanLine(r.top() - fromAt.y()) + (r.left() - fromAt.x()) * 4, from.bytesPerLine(), r.width(),
             r.height());
}

void ZoomedPicture::scaleParts(const QRect& r)
{
    // A column cut by the bands goes on as one rectangle.
    const std::size_t from = toScale_.size();
    zoomed_.forEachPart(r, [&](const QRect& part) {
        if (toScale_.size() > from) {
            QRect& last = toScale_.back();
            if (last.left() == part.left() && last.right() == part.right() && last.bottom() + 1 == part.top()) {
                last.setBottom(part.bottom());
                return;
            }
        }
        toScale_.push_back(part);
    });
}

namespace {
constexpr int kCell = 64;
}  // namespace

void ZoomedPicture::buildCells(const std::vector<QRect>& rects)
{
    cellColumns_ = (area_.width() + kCell - 1) / kCell;
    const int cells = cellColumns_ * ((area_.height() + kCell - 1) / kCell);
    auto forEachCell = [&](const QRect& r, auto&& f) {
        for (int y = r.top() / kCell; y <= r.bottom() / kCell; ++y)
            for (int x = r.left() / kCell; x <= r.right() / kCell; ++x)
                f(static_cast<std::size_t>(y * cellColumns_ + x));
    };
    cellStart_.assign(static_cast<std::size_t>(cells) + 1, 0);
    for (const QRect& c : rects)
        if (!c.isEmpty()) forEachCell(c, [&](std::size_t cell) { ++cellStart_[cell + 1]; });
    for (std::size_t k = 1; k < cellStart_.size(); ++k) cellStart_[k] += cellStart_[k - 1];
    cellCovers_.resize(cellStart_.back());
    cellFill_.assign(cellStart_.begin(), cellStart_.end() - 1);
    for (std::size_t i = 0; i < rects.size(); ++i)
        if (!rects[i].isEmpty())
            forEachCell(rects[i], [&](std::size_t cell) { cellCovers_[cellFill_[cell]++] = static_cast<quint32>(i); });
}

template <typename F>
void ZoomedPicture::forEachInCells(const QRect& r, F&& f) const
{
    for (int y = r.top() / kCell; y <= r.bottom() / kCell; ++y)
        for (int x = r.left() / kCell; x <= r.right() / kCell; ++x) {
            const auto cell = static_cast<std::size_t>(y * cellColumns_ + x);
            for (std::size_t k = cellStart_[cell]; k < cellStart_[cell + 1]; ++k) f(cellCovers_[k]);
        }
}

void ZoomedPicture::findNear(std::size_t b, const QRect& cover)
{
    near_.clear();
    const QRect under = designCover(cover) & area_;
    if (under.isEmpty()) return;
    forEachInCells(under, [&](quint32 i) {
        if (i == b || seen_[i] == b) return;  // (met in another cell)
        seen_[i] = b;
        if (reach_[i].intersects(cover)) near_.push_back(i);
    });
}

const QImage& ZoomedPicture::aloneLook(Look& look, int left, int top)
{
    if (look.aloneBack != baseBack_) {
        look.alone.assign(look.scaled.size(), QImage());
        look.aloneBack = baseBack_;
    }
    const int x = left - floorDiv(left, zoom_.den) * zoom_.den;
    const int y = top - floorDiv(top, zoom_.den) * zoom_.den;
    QImage& scaled = look.alone[static_cast<std::size_t>(y * zoom_.den + x)];
    if (scaled.isNull()) {
        // The box on the window's colour, at the same place across the
        // zoomed pixels, averaged down with its edges.
        const QRect cover = zoomedCover(QRect(QPoint(x, y), look.full.size()));
        const QRect under = designCover(cover);
        QImage canvas(under.right() + 1, under.bottom() + 1, QImage::Format_RGB32);
        canvas.fill(baseBack_);
        for (int row = 0; row < look.full.height(); ++row)
            std::memcpy(canvas.scanLine(y + row) + x * 4, look.full.constScanLine(row),
                        static_cast<std::size_t>(look.full.width()) * 4);
        scaled = QImage(cover.size(), QImage::Format_RGB32);
        ScaleDown::taps(lookColumns_, cover.left(), cover.width(), zoom_, canvas.width());
        ScaleDown::taps(lookRows_, cover.top(), cover.height(), zoom_, canvas.height());
        scale_(canvas, zoom_, lookColumns_.data(), lookRows_.data(), cover.size(), scaled.bits(),
               scaled.bytesPerLine());
    }
    return scaled;
}

void ZoomedPicture::paintOwn(std::size_t count)
{
    // The full-size pixels under the edges of boxes: the base, then the boxes
    // bottom up, each copied into the rectangles it meets. The rectangles are
    // few pixels each; a grid of cells finds those a box meets.
    covers_.clear();
    ownParts_.clear();
    for (std::size_t i = 0; i < count; ++i) {
        covers_.push_back(designCover(toScale_[i]));
        ownParts_.push_back(toScale_[i]);
    }
    toScale_.erase(toScale_.begin(), toScale_.begin() + static_cast<std::ptrdiff_t>(count));
    if (covers_.empty()) return;
    buildCells(covers_);

    // Each rectangle's pixels are kept apart, packed, where the picture's
    // rows would be a cache line apiece.
    coverAt_.resize(covers_.size());
    std::size_t pixels = 0;
    for (std::size_t i = 0; i < covers_.size(); ++i) {
        coverAt_[i] = pixels;
        pixels += static_cast<std::size_t>(covers_[i].width()) * static_cast<std::size_t>(covers_[i].height());
    }
    own_.resize(pixels);
    auto put = [&](const QImage& from, QPoint at, std::size_t i, const QRect& r) {
        const QRect& c = covers_[i];
        copyRows(
            reinterpret_cast<uchar*>(own_.data() + coverAt_[i] +
                                     static_cast<std::size_t>((r.top() - c.top()) * c.width() + r.left() - c.left())),
            c.width() * 4, from.constScanLine(r.top() - at.y()) + (r.left() - at.x()) * 4, from.bytesPerLine(),
            r.width(), r.height());
    };
    // Away from the window's picture the base is its colour alone: filled,
    // not read from rows of the whole picture a cache line apiece.
    for (std::size_t i = 0; i < covers_.size(); ++i) {
        if (!baseFilled_ || covers_[i].intersects(basePicture_)) {
            put(baseFull_, QPoint(0, 0), i, covers_[i]);
            continue;
        }
        const auto from = own_.begin() + static_cast<std::ptrdiff_t>(coverAt_[i]);
        std::fill(from, from + static_cast<std::ptrdiff_t>(covers_[i].width()) * covers_[i].height(), baseFill_);
    }
    lastBox_.assign(covers_.size(), std::numeric_limits<std::size_t>::max());
    for (std::size_t b = 0; b < boxes_.size(); ++b) {
        const QRect box = boxes_[b].design;
        const QRect within = box & area_;
        if (within.isEmpty()) continue;
        const QImage& image = looks_[boxes_[b].look].full;
        forEachInCells(within, [&](quint32 i) {
            if (lastBox_[i] == b) return;  // (met in another cell)
            lastBox_[i] = b;
            if (const QRect r = covers_[i] & box; !r.isEmpty()) put(image, box.topLeft(), i, r);
        });
    }
    scale_.divideBy(zoom_);
    for (std::size_t i = 0; i < covers_.size(); ++i) {
        const QRect& r = ownParts_[i];
        scale_.direct(own_.data() + coverAt_[i], covers_[i].width(), covers_[i].topLeft(), columns_.data() + r.left(),
                      rows_.data() + r.top(), r.size(),
                      bits_ + (r.top() + origin_.y()) * bytesPerLine_ + (r.left() + origin_.x()) * 4, bytesPerLine_);
    }
}

void ZoomedPicture::edge(std::size_t b, const QRect& cover, const QRect& strip)
{
    if (strip.isEmpty()) return;
    const QRect under = designCover(strip) & area_;
    if (under.isEmpty()) return;
    // Where the full-size pixels beneath are the box's and the window's
    // colour alone, they are copied from its look averaged on that colour;
    // where the window's picture or a box beneath meets them, made from
    // full-size pixels.
    lone_.assign(1, strip);
    mixed_.clear();
    if (!basePicture_.isEmpty()) cutAway(lone_, pictureReach_, &mixed_);
    for (const std::size_t i : near_)
        if (i < b) cutAway(lone_, reach_[i], &mixed_);
    const Box& box = boxes_[b];
    if (!mixed_.empty()) {
        if (madeEdge(b, cover, strip)) return;
        for (const QRect& r : mixed_) scaleParts(r);
    }
    const QImage* alone = nullptr;
    for (const QRect& part : lone_) {
        if (part.isEmpty()) continue;
        if (!alone) alone = &aloneLook(looks_[box.look], box.design.left(), box.design.top());
        zoomed_.forEachPart(part, [&](const QRect& r) { copy(*alone, cover.topLeft(), r); });
    }
}

std::size_t ZoomedPicture::EdgeKeyHash::operator()(const std::vector<qint32>& key) const
{
    std::size_t h = 14695981039346656037ull;
    for (const qint32 v : key) h = (h ^ static_cast<quint32>(v)) * 1099511628211ull;
    return h;
}

bool ZoomedPicture::madeEdge(std::size_t b, const QRect& cover, const QRect& strip)
{
    // Boxes of one look walking at the same distance from one another, as
    // invaders do, give the same pixels across an edge wherever they are, the
    // edge at the same place across the zoomed pixels: those pixels are made
    // once, from the full-size pixels of the base's colour and the boxes
    // beneath, and copied. What they are depends on the look and the place
    // across the zoomed pixels of this box, where the strip lies in it, and
    // the looks and places relative to it of the boxes beneath that meet it.
    const QRect under = designCover(strip);
    if (!baseFilled_ || strip.intersects(pictureReach_) || !area_.contains(under) ||
        !QRect(QPoint(0, 0), client_).contains(strip))
        return false;
    const Box& box = boxes_[b];
    below_.clear();
    for (const std::size_t i : near_)
        if (i < b && reach_[i].intersects(strip)) below_.push_back(i);
    std::sort(below_.begin(), below_.end());
    const QPoint at = box.design.topLeft();
    key_.assign({static_cast<qint32>(box.look), at.x() - floorDiv(at.x(), zoom_.den) * zoom_.den,
                 at.y() - floorDiv(at.y(), zoom_.den) * zoom_.den, strip.left() - cover.left(),
                 strip.top() - cover.top(), strip.width(), strip.height()});
    for (const std::size_t i : below_) {
        const QRect& d = boxes_[i].design;
        key_.insert(key_.end(),
                    {static_cast<qint32>(boxes_[i].look), d.left() - at.x(), d.top() - at.y(), d.width(), d.height()});
    }
    auto made = madeEdges_.find(key_);
    if (made == madeEdges_.end()) {
        if (madeEdges_.size() >= 4096) madeEdges_.clear();
        std::vector<quint32> pixels(static_cast<std::size_t>(strip.width()) * static_cast<std::size_t>(strip.height()));
        edgeFull_.assign(static_cast<std::size_t>(under.width()) * static_cast<std::size_t>(under.height()), baseFill_);
        auto put = [&](const Box& from) {
            const QRect r = under & from.design;
            if (r.isEmpty()) return;
            const QImage& image = looks_[from.look].full;
            copyRows(reinterpret_cast<uchar*>(edgeFull_.data() + (r.top() - under.top()) * under.width() +
                                              (r.left() - under.left())),
                     under.width() * 4,
                     image.constScanLine(r.top() - from.design.top()) + (r.left() - from.design.left()) * 4,
                     image.bytesPerLine(), r.width(), r.height());
        };
        for (const std::size_t i : below_) put(boxes_[i]);
        put(box);
        scale_.divideBy(zoom_);
        scale_.direct(edgeFull_.data(), under.width(), under.topLeft(), columns_.data() + strip.left(),
                      rows_.data() + strip.top(), strip.size(), reinterpret_cast<uchar*>(pixels.data()),
                      strip.width() * 4);
        made = madeEdges_.emplace(key_, std::move(pixels)).first;
    }
    const quint32* pixels = made->second.data();
    zoomed_.forEachPart(strip, [&](const QRect& r) {
        copyRows(bits_ + (r.top() + origin_.y()) * bytesPerLine_ + (r.left() + origin_.x()) * 4, bytesPerLine_,
                 reinterpret_cast<const uchar*>(pixels + (r.top() - strip.top()) * strip.width() +
                                                (r.left() - strip.left())),
                 strip.width() * 4, r.width(), r.height());
    });
    return true;
}

bool ZoomedPicture::compose()
{
    std::size_t own = 0;
    if (!based_) {
        toScale_ = zoomed_.rects();
    } else {
        // Away from the window's picture the base is its colour alone.
        const QRect picture = zoomedCover(basePicture_);
        for (const QRect& r : zoomed_.rects()) {
            if (!baseFilled_ || r.intersects(picture)) {
                copy(base_, QPoint(0, 0), r);
                continue;
            }
            uchar* row = bits_ + (r.top() + origin_.y()) * bytesPerLine_ + (r.left() + origin_.x()) * 4;
            for (int y = 0; y < r.height(); ++y, row += bytesPerLine_)
                std::fill_n(reinterpret_cast<quint32*>(row), r.width(), baseFill_);
        }
        // The boxes and everything else, and the zoomed pixels each reaches,
        // in a grid of cells that finds those near a box.
        items_.clear();
        for (const Box& box : boxes_) items_.push_back(box.design & area_);
        for (const QRect& other : others_) items_.push_back(other & area_);
        reach_.clear();
        for (const QRect& item : items_) reach_.push_back(item.isEmpty() ? QRect() : zoomedCover(item));
        buildCells(items_);
        seen_.assign(items_.size(), std::numeric_limits<std::size_t>::max());
        pictureReach_ = basePicture_.isEmpty() ? QRect() : zoomedCover(basePicture_);
        for (std::size_t b = 0; b < boxes_.size(); ++b) {
            const Box& box = boxes_[b];
            const QRect cover = zoomedCover(box.design);
            findNear(b, cover);
            // A box alone over the window's colour: nothing else reaches its
            // zoomed pixels.
            if (const QRect under = designCover(cover);
                near_.empty() && area_.contains(under) && !under.intersects(basePicture_)) {
                const QImage& scaled = aloneLook(looks_[box.look], box.design.left(), box.design.top());
                zoomed_.forEachPart(cover, [&](const QRect& part) { copy(scaled, cover.topLeft(), part); });
                continue;
            }
            // Only its zoomed pixels that no later box reaches: those are made
            // by the topmost box that reaches them, inside or across its edge.
            const QRect inside = zoomedInside(box.design);
            shown_.assign(1, cover);
            for (const std::size_t i : near_)
                if (i > b && i < boxes_.size()) cutAway(shown_, reach_[i]);
            for (const QRect& part : shown_) {
                if (part.isEmpty()) continue;
                const QRect in = inside.isEmpty() ? QRect() : part & inside;
                if (in.isEmpty()) {
                    edge(b, cover, part);
                    continue;
                }
                const QImage& scaled = scaledLook(looks_[box.look], box.design.left(), box.design.top());
                zoomed_.forEachPart(in, [&](const QRect& r) { copy(scaled, inside.topLeft(), r); });
                // The zoomed pixels that straddle its edges.
                edge(b, cover, QRect(QPoint(part.left(), part.top()), QPoint(in.left() - 1, part.bottom())));
                edge(b, cover, QRect(QPoint(in.right() + 1, part.top()), QPoint(part.right(), part.bottom())));
                edge(b, cover, QRect(QPoint(in.left(), part.top()), QPoint(in.right(), in.top() - 1)));
                edge(b, cover, QRect(QPoint(in.left(), in.bottom() + 1), QPoint(in.right(), part.bottom())));
            }
        }
        own = toScale_.size();
        for (const QRect& other : others_) scaleParts(zoomedCover(other));
        // Under the edges of boxes the full-size pixels are the base and the
        // boxes; where anything else lies, the zoomed pixel is made again
        // below (everything else paints only inside its rectangle, and every
        // zoomed pixel that meets one is made from the full-size scene).
        paintOwn(own);
    }
    // The full-size pixels the rest covers are painted as the window is.
    covers_.clear();
    for (std::size_t i = 0; i < toScale_.size(); ++i) {
        const QRect full = designCover(toScale_[i]);
        covers_.push_back(ratio_ == 1
                              ? full
                              : QRectF(QPointF(full.topLeft()) / ratio_, QSizeF(full.size()) / ratio_).toAlignedRect());
    }
    fullArea_ = unionOf(covers_) & area_;
    clipped_ = !fullArea_.isEmpty();
    if (!clipped_) return false;
    // The clip a window's painter has: boxes painted from images of their own
    // are then written straight into the picture's rows (BoxImages).
    full_.paintEngine()->setSystemClip(toDevice(fullArea_, ratio_));
    return true;
}

void ZoomedPicture::finish(QPainter& painter)
{
    if (clipped_) full_.paintEngine()->setSystemClip(QRegion());
    for (const QRect& r : toScale_)
        scale_(full_, zoom_, columns_.data() + r.left(), rows_.data() + r.top(), r.size(),
               bits_ + (r.top() + origin_.y()) * bytesPerLine_ + (r.left() + origin_.x()) * 4, bytesPerLine_);
    if (!drawn_) return;
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const QRect& r : zoomed_.rects())
        painter.drawImage(QRectF(QPointF(r.topLeft()) / ratio_, QSizeF(r.size()) / ratio_), scratch_, QRectF(r));
    painter.restore();
}

}  // namespace app
