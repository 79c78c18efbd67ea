#pragma once

#include <QRect>
#include <algorithm>
#include <cstddef>
#include <vector>

namespace app {

// The rectangles of an area as a region gives them: in bands, top to bottom,
// each band's left to right, all of a band's rectangles sharing its top and
// bottom (cut by one rectangle they still do). The parts of a rectangle that
// lie in the area are found by two binary searches instead of a scan.
class BandedRects {
public:
    void clear()
    {
        rects_.clear();
        bands_.clear();
    }
    // The next rectangle, in band order.
    void add(const QRect& r)
    {
        if (bands_.empty() || bands_.back().top != r.top())
            bands_.push_back(Band{r.top(), r.bottom(), rects_.size(), rects_.size()});
        rects_.push_back(r);
        ++bands_.back().end;
    }
    bool empty() const { return rects_.empty(); }
    const std::vector<QRect>& rects() const { return rects_; }

    // f(part) for each non-empty part of `r` inside the area, band by band.
    template <typename F>
    void forEachPart(const QRect& r, F&& f) const
    {
        if (r.isEmpty()) return;
        const auto firstBand =
            std::partition_point(bands_.begin(), bands_.end(), [&](const Band& b) { return b.bottom < r.top(); });
        for (auto band = firstBand; band != bands_.end() && band->top <= r.bottom(); ++band) {
            const auto begin = rects_.begin() + static_cast<std::ptrdiff_t>(band->first);
            const auto end = rects_.begin() + static_cast<std::ptrdiff_t>(band->end);
            const auto first = std::partition_point(begin, end, [&](const QRect& z) { return z.right() < r.left(); });
            // (Both meet the band and each other: their intersection is
            // worked out here rather than by a call for each.)
            const int top = std::max(r.top(), band->top), bottom = std::min(r.bottom(), band->bottom);
            for (auto part = first; part != end && part->left() <= r.right(); ++part)
                f(QRect(QPoint(std::max(r.left(), part->left()), top),
                        QPoint(std::min(r.right(), part->right()), bottom)));
        }
    }

private:
    struct Band {
        int top, bottom;
        std::size_t first, end;  // its rectangles in rects_
    };
    std::vector<QRect> rects_;
    std::vector<Band> bands_;
};

}  // namespace app
