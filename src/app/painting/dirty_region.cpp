#include "app/painting/dirty_region.h"

#include <algorithm>

namespace app {

namespace {

// A run of pixels [left, right) in a band.
struct Span {
    int left, right;
    bool operator==(const Span&) const = default;
};

}  // namespace

QRegion unionOf(std::vector<QRect>& rects)
{
    rects.erase(std::remove_if(rects.begin(), rects.end(), [](const QRect& r) { return r.isEmpty(); }), rects.end());
    if (rects.empty()) return QRegion();
    if (rects.size() == 1) return QRegion(rects.front());

    // Every band between two consecutive edges is covered by the same
    // rectangles throughout.
    std::vector<int> edges;
    edges.reserve(2 * rects.size());
    for (const QRect& r : rects) {
        edges.push_back(r.top());
        edges.push_back(r.bottom() + 1);
    }
    std::sort(edges.begin(), edges.end());
    edges.erase(std::unique(edges.begin(), edges.end()), edges.end());
    std::sort(rects.begin(), rects.end(), [](const QRect& a, const QRect& b) { return a.top() < b.top(); });

    std::vector<QRect> out;            // banded: sorted by top, then left; bands of equal spans merged
    std::vector<const QRect*> active;  // the rectangles across the band, by their left edge
    std::vector<Span> spans, previous;
    std::size_t previousFirst = 0;  // where the previous band's rectangles start in `out`
    int previousBottom = 0;         // one past the previous band's last line
    std::size_t next = 0;
    for (std::size_t e = 0; e + 1 < edges.size(); ++e) {
        const int top = edges[e];
        const int bottom = edges[e + 1];  // one past the band's last line
        active.erase(std::remove_if(active.begin(), active.end(), [top](const QRect* r) { return r->bottom() < top; }),
                     active.end());
        for (; next < rects.size() && rects[next].top() <= top; ++next) {
            const QRect* r = &rects[next];
            active.insert(std::upper_bound(active.begin(), active.end(), r,
                                           [](const QRect* a, const QRect* b) { return a->left() < b->left(); }),
                          r);
        }

        // Overlapping or touching runs become one: a region's rectangles
        // neither overlap nor abut side by side.
        spans.clear();
        for (const QRect* r : active) {
            if (!spans.empty() && r->left() <= spans.back().right)
                spans.back().right = std::max(spans.back().right, r->right() + 1);
            else
                spans.push_back(Span{r->left(), r->right() + 1});
        }
        if (spans.empty()) {
            previous.clear();
            continue;
        }
        if (spans == previous && previousBottom == top) {
            for (std::size_t i = previousFirst; i < out.size(); ++i) out[i].setBottom(bottom - 1);
        } else {
            previousFirst = out.size();
            for (const Span& s : spans) out.emplace_back(QPoint(s.left, top), QPoint(s.right - 1, bottom - 1));
            std::swap(previous, spans);
        }
        previousBottom = bottom;
    }
    QRegion region;
    region.setRects(out.data(), static_cast<int>(out.size()));
    return region;
}

}  // namespace app
